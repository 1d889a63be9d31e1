#include "html/CssNumbers.h"

#include <cmath>
#include <limits>

#include "platform/Variant.h"

namespace kavel::css {

namespace {

bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Skips a run of ASCII digits from `i`; answers whether there was one.
bool SkipDigits(const QString& t, qsizetype& i) {
    const qsizetype start = i;
    while (i < t.size() && IsAsciiDigit(t[i])) ++i;
    return i > start;
}

}  // namespace

std::optional<int> ParseInteger(const QString& text) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) negative = t[i++] == u'-';
    if (i == t.size()) return std::nullopt;
    long long value = 0;
    for (; i < t.size(); ++i) {
        if (!IsAsciiDigit(t[i])) return std::nullopt;
        value = value * 10 + (t[i].unicode() - u'0');
        // One past the largest magnitude is enough to know it no longer fits.
        if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1) {
            return std::nullopt;
        }
    }
    if (negative) value = -value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

std::optional<double> ParseNumber(const QString& text) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) ++i;
    bool digits = SkipDigits(t, i);
    if (i < t.size() && t[i] == u'.') {
        ++i;
        digits = SkipDigits(t, i) || digits;
    }
    if (!digits) return std::nullopt;
    if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
        ++i;
        if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) ++i;
        if (!SkipDigits(t, i)) return std::nullopt;
    }
    if (i != t.size()) return std::nullopt;
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<int> RoundToInt(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double rounded = RoundHalfEven(value);
    if (rounded < std::numeric_limits<int>::min() || rounded > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(rounded);
}

QString WithoutUnit(const QString& text, const QString& unit) {
    QString result = text;
    return result.remove(unit);
}

}  // namespace kavel::css
