// The layout of a page record, shared by its writer and its player. A record is a header
// (magic "KVPR", format version, body length, CRC-32 of the body) and a body of operations,
// each an opcode byte and its values in a little-endian QDataStream of a fixed version.
#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QImage>
#include <QtEndian>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace kavel::pagerecord {

constexpr char kMagic[4] = {'K', 'V', 'P', 'R'};
constexpr quint16 kVersion = 2;
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
    // The plain kinds of pens, brushes and transforms, kept as a few raw values: a page
    // changes them for every piece of text and every line it draws.
    PlainPen,    // one RGB colour, no dash pattern of its own
    PlainBrush,  // no brush, or one RGB colour
    Affine,      // a transform without perspective
    Last = Affine,
};

// The bytes of the packed values after those operations' codes.
constexpr int kPlainPenBytes = 8 + 8 + 8 + 1 + 1 + 2 + 1;  // colour, width, miter limit, style,
                                                           // cap, join, cosmetic
constexpr int kPlainBrushBytes = 1 + 8;                    // style, colour
constexpr int kAffineBytes = 6 * 8;                        // m11 m12 m21 m22 dx dy
constexpr int kGlyphRunBytes = 4 + 2 * 8 + 1 + 3 * 4 + 4;  // font, position, flags, width,
                                                           // ascent, descent, glyph count

// Values packed little-endian into one block, so that a handful of them is one write to the
// stream and one read from it.
class Packed {
  public:
    static constexpr int kCapacity = 64;

    template <typename T>
    Packed& operator<<(T value) {
        static_assert(std::is_arithmetic_v<T>);
        value = qToLittleEndian(value);
        Q_ASSERT(size_ + int(sizeof value) <= kCapacity);
        std::memcpy(bytes_ + size_, &value, sizeof value);
        size_ += int(sizeof value);
        return *this;
    }
    template <typename T>
    Packed& operator>>(T& value) {
        static_assert(std::is_arithmetic_v<T>);
        Q_ASSERT(size_ + int(sizeof value) <= kCapacity);
        std::memcpy(&value, bytes_ + size_, sizeof value);
        value = qFromLittleEndian(value);
        size_ += int(sizeof value);
        return *this;
    }
    void WriteTo(QDataStream& out) const { out.writeRawData(bytes_, size_); }
    // Reads `size` bytes for the values to come; false when the stream has fewer.
    bool ReadFrom(QDataStream& in, int size) {
        size_ = 0;
        return size <= kCapacity && in.readRawData(bytes_, size) == size;
    }

  private:
    char bytes_[kCapacity] = {};
    int size_ = 0;
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
