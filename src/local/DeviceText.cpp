#include "local/DeviceText.h"

#include <algorithm>

namespace kavel {

QByteArray DeviceBytes(const QString& text) {
    const bool oneByte =
        std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0xFF; });
    return oneByte ? text.toLatin1() : text.toUtf8();
}

QString DeviceText(const QByteArray& bytes) {
    return QString::fromLatin1(bytes);
}

}  // namespace kavel
