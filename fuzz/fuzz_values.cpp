// Arbitrary bytes as text for every CSS and colour value routine and for the automation
// value conversions. Routines must never crash, and their answers must stay in range.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>

#include "html/CssValues.h"
#include "platform/Variant.h"

namespace {

using namespace kavel;

void Require(bool condition) {
    if (!condition) std::abort();
}

void Convert(const Variant& value, int32_t k) {
    // Each conversion either answers or raises KavelError; anything else escapes and fails.
    const std::function<void()> conversions[] = {
        [&] { (void)value.ToText(); },   [&] { (void)value.ToInt32(); },
        [&] { (void)value.ToBool(); },   [&] { (void)value.ToDouble(); },
        [&] { (void)value.Matches(k); }, [&] { (void)value.Matches(0); }};
    for (const auto& convert : conversions) {
        try {
            convert();
        } catch (const KavelError&) {
        }
    }
    (void)value.Describe();
}

void CssValues(const QString& text) {
    constexpr int kIntMax = std::numeric_limits<int>::max();
    for (const int ppi : {96, 0, -1, 7, kIntMax}) {
        (void)LengthToPixels(text, 7, ppi);
        (void)FontSizeValue(text, ppi, 120, 100);
        (void)FontSizeValue(text, ppi, kIntMax, std::numeric_limits<int>::min());
    }
    (void)FontWeightValue(text);
    const TFontStyles styles = FontStyleValue(text, fsBold);
    Require((styles & fsBold) != 0 && styles <= (fsBold | fsItalic | fsUnderline | fsStrikeOut));
    Require(PenStyleValue(text, psSolid) <= psClear);
    const int horz = HorzAlignValue(text, -1);
    Require(horz == -1 || horz == 0 || horz == 1 || horz == 2);
    const int vert = VertAlignValue(text, -1);
    Require(vert == -1 || vert == 0 || vert == 4 || vert == 8);

    const QString hex = ColorNameToHex(text);
    Require(hex == text || (hex.size() == 7 && hex[0] == u'#'));
    constexpr TColor kDefault = 0x7F000001;  // outside the colour range on purpose
    for (const double factor : {1.0, 0.5, 2.0, -1.0, 1e300}) {
        const TColor color = ColorValue(text, kDefault, factor);
        Require(color == kDefault || (color >= 0 && color <= 0xFFFFFF));
    }

    // "width|style|tag" for the border width.
    const QStringList parts = text.split(u'|');
    const QString tag = parts.size() > 2 ? parts[2] : QStringLiteral("td");
    const QString style = parts.size() > 1 ? parts[1] : QStringLiteral("inset");
    for (const int ppi : {96, 0, kIntMax}) {
        (void)BorderWidthValue(parts[0], style, 3, ppi, tag);
        (void)BorderWidthValue(text, text, -5, ppi, text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString utf8 = QString::fromUtf8(bytes);
    const QString latin1 = QString::fromLatin1(bytes);
    CssValues(utf8);
    CssValues(latin1);

    int32_t k = 1;
    if (size >= 4) std::memcpy(&k, data, 4);
    Convert(Variant::Str(utf8), k);
    Convert(Variant::NarrowStr(bytes), k);
    if (size >= 8) {
        double number = 0;
        std::memcpy(&number, data, sizeof number);
        Convert(Variant::R8(number), k);
    }
    return 0;
}
