// The layout of a page record, shared by its writer and its player. A record is a header
// (magic "KVPR", format version, body length, CRC-32 of the body) and a body of operations,
// each an opcode byte and its values in a little-endian QDataStream of a fixed version.
#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QImage>
#include <cstdint>

namespace kavel::pagerecord {

constexpr char kMagic[4] = {'K', 'V', 'P', 'R'};
constexpr quint16 kVersion = 1;
constexpr int kHeaderSize = 16;

enum class Op : quint8 {
    Pen = 1,
    Brush,
    BrushOrigin,
    Background,
    BackgroundMode,
    Transform,
    ClipEnabled,
    ClipRegion,
    ClipPath,
    Hints,
    Composition,
    Opacity,
    Rects,
    Lines,
    Ellipse,
    Path,
    Points,
    Polygon,
    Image,
    TiledImage,
    GlyphRun,
    Last = GlyphRun,
};

inline void SetUp(QDataStream& stream) {
    stream.setVersion(QDataStream::Qt_6_0);
    stream.setByteOrder(QDataStream::LittleEndian);
}

// Pictures are kept as their pixels, not compressed: a page record is written once and read
// for every preview and print of the page.
void WriteImage(QDataStream& out, const QImage& image);
// A null image and a failed stream status when the values do not make a picture.
QImage ReadImage(QDataStream& in);

}  // namespace kavel::pagerecord
