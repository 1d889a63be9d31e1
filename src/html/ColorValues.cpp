#include <algorithm>

#include "html/ColorNames.h"
#include "html/CssNumbers.h"
#include "html/CssValues.h"

namespace kavel {

namespace {

// One colour component scaled by the factor, kept within a byte so that a factor above 1
// brightens to white instead of wrapping around.
std::optional<int> Scaled(int component, double factor) {
    const std::optional<int> value = css::RoundToInt(component * factor);
    if (!value) return std::nullopt;
    return std::clamp(*value, 0, 255);
}

std::optional<TColor> Combined(std::optional<int> red, std::optional<int> green,
                               std::optional<int> blue, double factor) {
    if (!red || !green || !blue) return std::nullopt;
    const auto r = Scaled(*red, factor);
    const auto g = Scaled(*green, factor);
    const auto b = Scaled(*blue, factor);
    if (!r || !g || !b) return std::nullopt;
    return RGBColor(*r, *g, *b);
}

std::optional<int> HexDigits(const QString& digits) {
    // toInt would also take a sign, blanks or "0x"; a component is hexadecimal digits only.
    for (QChar c : digits) {
        if (!(c >= u'0' && c <= u'9') && !(c >= u'A' && c <= u'F')) return std::nullopt;
    }
    bool ok = false;
    const int value = digits.toInt(&ok, 16);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<TColor> HashColor(const QString& text, double factor) {
    const QString v = text.toUpper();
    if (v.size() == 7) {
        return Combined(HexDigits(v.mid(1, 2)), HexDigits(v.mid(3, 2)), HexDigits(v.mid(5, 2)),
                        factor);
    }
    if (v.size() == 4) {
        const auto doubled = [&v](int i) { return HexDigits(QString(2, v[i])); };
        return Combined(doubled(1), doubled(2), doubled(3), factor);
    }
    return std::nullopt;
}

std::optional<TColor> FunctionalColor(const QString& lower, double factor) {
    QString v = lower;
    v.remove(QStringLiteral("rgb(")).remove(u')');
    const qsizetype first = v.indexOf(u',');
    const qsizetype second = first < 0 ? -1 : v.indexOf(u',', first + 1);
    if (second < 0) return std::nullopt;
    return Combined(css::ParseInteger(v.left(first)),
                    css::ParseInteger(v.mid(first + 1, second - first - 1)),
                    css::ParseInteger(v.mid(second + 1)), factor);
}

// A colour given as a number is already in the 0x00BBGGRR layout.
std::optional<TColor> NumberColor(const QString& text) {
    const std::optional<int> value = css::ParseInteger(text);
    if (!value || *value < 0 || *value > 0xFFFFFF) return std::nullopt;
    return static_cast<TColor>(*value);
}

}  // namespace

QString ColorNameToHex(const QString& text) {
    const QString lower = text.toLower();
    if (lower.contains(u'#') || lower.contains(u"rgb(")) return text;
    if (const std::optional<uint32_t> rgb = css::LookupColorName(text)) {
        return u'#' + QString::number(*rgb, 16).toUpper().rightJustified(6, u'0');
    }
    return text;
}

TColor ColorValue(const QString& value, TColor defaultColor, double factor) {
    const QString trimmed = value.trimmed();
    if (trimmed.isEmpty() || trimmed.compare(u"transparent", Qt::CaseInsensitive) == 0) {
        return defaultColor;
    }
    const QString v = ColorNameToHex(trimmed);
    std::optional<TColor> color;
    if (v.contains(u'#')) {
        color = HashColor(v, factor);
    } else if (const QString lower = v.toLower(); lower.contains(u"rgb(")) {
        color = FunctionalColor(lower, factor);
    } else {
        color = NumberColor(v);
    }
    return color.value_or(defaultColor);
}

}  // namespace kavel
