// How script text becomes the bytes a device gets, and bytes a device sends become text.
// A text of characters U+0000 to U+00FF only goes out one byte per character, so that
// command sequences and raster data pass unchanged; a text with any other character goes
// out as UTF-8, the system's character set. Bytes read come back one character each.
#pragma once

#include <QByteArray>
#include <QString>

namespace kavel {

QByteArray DeviceBytes(const QString& text);
QString DeviceText(const QByteArray& bytes);

}  // namespace kavel
