#include "html/CssValues.h"

#include <array>
#include <cstdint>
#include <limits>

#include "html/CssNumbers.h"

namespace kavel {

using css::ParseInteger;
using css::ParseNumber;
using css::RoundToInt;
using css::WithoutUnit;

namespace {

QString Normalized(const QString& value) {
    return value.trimmed().toLower();
}

// A 64-bit intermediate answered as an int when it fits.
std::optional<int> FitInt(int64_t value) {
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

std::optional<int> LengthOf(const QString& v, int ppi) {
    // The first unit found decides, in this order. The number is always an integer, so a
    // keyword whose letters hold a unit ("thin", "inherit") does not convert.
    struct Unit {
        const char16_t* name;
        std::optional<int> (*pixels)(int n, int ppi);
    };
    static const std::array<Unit, 6> kUnits{{
        {u"px", [](int n, int) -> std::optional<int> { return n; }},
        {u"in", [](int n, int ppi) { return FitInt(int64_t{n} * ppi); }},
        {u"cm", [](int n, int ppi) { return RoundToInt(n / 2.54 * ppi); }},
        {u"mm", [](int n, int ppi) { return RoundToInt(n / 25.4 * ppi); }},
        {u"pt", [](int n, int ppi) { return RoundToInt(n / 72.0 * ppi); }},
        {u"pc", [](int n, int ppi) { return RoundToInt(n * 12.0 / 72.0 * ppi); }},
    }};
    for (const Unit& unit : kUnits) {
        const QString name = QString::fromUtf16(unit.name);
        if (!v.contains(name)) continue;
        const std::optional<int> number = ParseInteger(WithoutUnit(v, name));
        if (!number) return std::nullopt;
        return unit.pixels(*number, ppi);
    }
    return ParseInteger(v);
}

// HTML font sizes 1..7 and the CSS absolute keywords, in tenths of a point.
std::optional<int> KeywordFontSize(const QString& v) {
    struct Size {
        const char16_t* keyword;
        const char16_t* htmlSize;
        int tenths;
    };
    static const std::array<Size, 8> kSizes{{{u"xx-small", nullptr, 70},
                                             {u"x-small", u"1", 80},
                                             {u"small", u"2", 100},
                                             {u"medium", u"3", 120},
                                             {u"large", u"4", 140},
                                             {u"x-large", u"5", 180},
                                             {u"xx-large", u"6", 240},
                                             {nullptr, u"7", 360}}};
    for (const Size& size : kSizes) {
        if ((size.keyword && v == QString::fromUtf16(size.keyword)) ||
            (size.htmlSize && v == QString::fromUtf16(size.htmlSize))) {
            return size.tenths;
        }
    }
    return std::nullopt;
}

std::optional<int> UnitFontSize(const QString& v, int ppi, int parentSize) {
    // Each unit's value of f in tenths of a point, tested in this order.
    struct Unit {
        const char16_t* name;
        double (*tenths)(double f, int ppi, int parent);
    };
    static const std::array<Unit, 8> kUnits{{
        {u"pt", [](double f, int, int) { return f * 10; }},
        {u"in", [](double f, int, int) { return 10 * f * 72; }},
        {u"cm", [](double f, int, int) { return 10 * f / 2.54 * 72; }},
        {u"mm", [](double f, int, int) { return 10 * f / 25.4 * 72; }},
        {u"pc", [](double f, int, int) { return 10 * f * 12; }},
        {u"px", [](double f, int ppi, int) { return 10 * f / ppi * 72; }},
        {u"em", [](double f, int, int parent) { return parent * f; }},
        {u"%", [](double f, int, int parent) { return parent * f / 100; }},
    }};
    for (const Unit& unit : kUnits) {
        const QString name = QString::fromUtf16(unit.name);
        if (!v.contains(name)) continue;
        const std::optional<double> f = ParseNumber(WithoutUnit(v, name));
        if (!f) return std::nullopt;
        // A zero ppi gives an infinity, which RoundToInt refuses.
        return RoundToInt(unit.tenths(*f, ppi, parentSize));
    }
    return std::nullopt;
}

}  // namespace

int LengthToPixels(const QString& value, int defaultValue, int ppi) {
    const QString v = Normalized(value);
    if (v.isEmpty()) return defaultValue;
    return LengthOf(v, ppi).value_or(defaultValue);
}

int FontSizeValue(const QString& value, int ppi, int baseSize, int parentSize) {
    constexpr int kDefault = 120;
    const QString v = Normalized(value);
    if (v.isEmpty()) return kDefault;
    if (const std::optional<int> size = KeywordFontSize(v)) return *size;
    for (int n = 1; n <= 6; ++n) {
        if (v == QString::number(-n)) return baseSize > 20 * n ? baseSize - 20 * n : kDefault;
    }
    if (v.contains(u"pt") || v.contains(u"in") || v.contains(u"cm") || v.contains(u"mm") ||
        v.contains(u"pc") || v.contains(u"px") || v.contains(u"em") || v.contains(u'%')) {
        return UnitFontSize(v, ppi, parentSize).value_or(kDefault);
    }
    if (v == u"smaller") return parentSize > 10 ? parentSize - 5 : kDefault;
    if (v == u"larger") return FitInt(int64_t{parentSize} + 5).value_or(kDefault);
    return kDefault;
}

int FontWeightValue(const QString& value) {
    if (const std::optional<int> weight = ParseInteger(value)) return *weight;
    const QString v = Normalized(value);
    if (v == u"bold") return 600;
    if (v == u"lighter") return 200;
    return 400;
}

TFontStyles FontStyleValue(const QString& value, TFontStyles current) {
    const QString v = value.toLower();
    TFontStyles result = current;
    if (v.contains(u"italic") || v.contains(u"oblique")) result |= fsItalic;
    if (v.contains(u"strike") || v.contains(u"line-through")) result |= fsStrikeOut;
    if (v.contains(u"underline")) result |= fsUnderline;
    if (v.contains(u"bold")) result |= fsBold;
    return result;
}

TPenStyle PenStyleValue(const QString& value, TPenStyle defaultStyle) {
    const QString v = value.toLower();
    TPenStyle result = defaultStyle;
    // The dash and dot names contain one another, so the longest one found decides;
    // "solid" and "clear" are tested after them and win over them.
    if (v.contains(u"dashdotdot")) {
        result = psDashDotDot;
    } else if (v.contains(u"dashdot")) {
        result = psDashDot;
    } else if (v.contains(u"dash")) {
        result = psDash;
    } else if (v.contains(u"dot")) {
        result = psDot;
    }
    if (v.contains(u"solid")) result = psSolid;
    if (v.contains(u"clear")) result = psClear;
    return result;
}

int HorzAlignValue(const QString& text, int defaultValue) {
    const QString v = Normalized(text);
    if (v == u"left") return kAlignLeft;
    if (v == u"right") return kAlignRight;
    if (v == u"center") return kAlignCenter;
    return defaultValue;
}

int VertAlignValue(const QString& text, int defaultValue) {
    const QString v = Normalized(text);
    if (v == u"top") return kAlignTop;
    if (v == u"bottom") return kAlignBottom;
    if (v == u"middle") return kAlignMiddle;
    return defaultValue;
}

int BorderWidthValue(const QString& width, const QString& style, int attributePixels, int ppi,
                     const QString& tag) {
    const QString w = Normalized(width);
    const QString s = Normalized(style);
    const QString t = Normalized(tag);
    if (s == u"none" || s == u"hidden") return 0;

    // A table drawn with its HTML border attribute shows as an outset table with inset
    // cells; there "medium" stands for the attribute's width.
    const bool attributeBorder =
        (t == u"table" && s == u"outset") || ((t == u"td" || t == u"th") && s == u"inset");
    if (attributeBorder) {
        if (w == u"medium") return attributePixels;
    } else {
        if (w == u"thick") return 6;
        if (w == u"thin") return 2;
        if (w == u"medium") return 4;
    }
    if (w.contains(u"px"))
        return ParseInteger(WithoutUnit(w, QStringLiteral("px"))).value_or(attributePixels);
    const std::optional<int> points = ParseInteger(WithoutUnit(w, QStringLiteral("pt")));
    if (!points) return attributePixels;
    return FitInt(int64_t{*points} * ppi / 72).value_or(attributePixels);
}

}  // namespace kavel
