#include "platform/ComputedValues.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace kavel {

namespace {

bool IsColorProperty(const QString& property) {
    return property == QLatin1String("color") || property == QLatin1String("background-color") ||
           (property.startsWith(QLatin1String("border-")) &&
            property.endsWith(QLatin1String("-color")));
}

QString MapTextAlign(const QString& value, bool rightToLeft) {
    const QString left = QStringLiteral("left"), right = QStringLiteral("right");
    if (value == QLatin1String("start")) return rightToLeft ? right : left;
    if (value == QLatin1String("end")) return rightToLeft ? left : right;
    if (value == QLatin1String("-webkit-center")) return QStringLiteral("center");
    if (value == QLatin1String("-webkit-left")) return left;
    if (value == QLatin1String("-webkit-right")) return right;
    if (value == QLatin1String("-webkit-auto") || value == QLatin1String("match-parent") ||
        value == QLatin1String("auto")) {
        return rightToLeft ? right : left;
    }
    return value;
}

}  // namespace

QString MapComputedColor(const QString& value) {
    const QString text = value.trimmed().toLower();
    const bool rgba = text.startsWith(QLatin1String("rgba("));
    if (text == QLatin1String("transparent")) return text;
    if (!rgba && !text.startsWith(QLatin1String("rgb("))) return value;
    if (!text.endsWith(')')) return value;
    const qsizetype open = text.indexOf('(');
    // Both the comma form and the space form with "/ alpha".
    QString inner = text.mid(open + 1, text.size() - open - 2);
    inner.replace(',', ' ').replace('/', ' ');
    const QStringList parts = inner.split(' ', Qt::SkipEmptyParts);
    if (parts.size() != 3 && parts.size() != 4) return value;
    double channel[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        channel[i] = parts[i].trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(channel[i])) return value;
    }
    double alpha = 1.0;
    if (parts.size() == 4) {
        QString a = parts[3].trimmed();
        const bool percent = a.endsWith('%');
        if (percent) a.chop(1);
        bool ok = false;
        alpha = a.toDouble(&ok);
        if (!ok || !std::isfinite(alpha)) return value;
        if (percent) alpha /= 100.0;
        alpha = std::clamp(alpha, 0.0, 1.0);
    }
    if (alpha <= 0.0) return QStringLiteral("transparent");
    int out[3];
    for (int i = 0; i < 3; ++i) {
        // Print has no alpha: what shows on white paper is the colour over white.
        const double c = std::clamp(channel[i], 0.0, 255.0) * alpha + 255.0 * (1.0 - alpha);
        out[i] = static_cast<int>(std::lround(c));
    }
    return QStringLiteral("rgb(%1, %2, %3)").arg(out[0]).arg(out[1]).arg(out[2]);
}

QString MapComputedValue(const QString& property, const QString& value, bool rightToLeft) {
    if (IsColorProperty(property)) return value.isEmpty() ? value : MapComputedColor(value);
    if (property == QLatin1String("text-align")) return MapTextAlign(value, rightToLeft);
    return value;
}

QString CssPropertyName(const QString& name) {
    QString css;
    css.reserve(name.size() + 4);
    for (const QChar c : name) {
        if (c.isUpper()) {
            css += '-';
            css += c.toLower();
        } else {
            css += c;
        }
    }
    if (css == QLatin1String("text-decoration")) return QStringLiteral("text-decoration-line");
    return css;
}

}  // namespace kavel
