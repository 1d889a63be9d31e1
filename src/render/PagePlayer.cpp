// Playing a page record on a painter: state changes and drawing as recorded, glyph runs
// drawn as the shaped text items they were, clips kept within the player's own clip. Only a
// body whose checksum holds is read: Qt's readers of pens, paths and regions trust the counts
// in their data.
#include <private/qfontengine_p.h>
#include <private/qtextengine_p.h>
#include <zlib.h>
#include <QPainterPath>
#include <QPen>
#include <QRegion>

#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/Variant.h"
#include "render/PageRecord.h"
#include "render/PageRecordFormat.h"

namespace kavel {

using pagerecord::Op;

namespace {

[[noreturn]] void Damaged(const QString& why) {
    throw KavelError(QStringLiteral("The page record is damaged: ") + why);
}

const QString kOutOfRange = QStringLiteral("a value is out of range");

// The body of a record whose header and checksum are sound, pointing into the record.
QByteArray CheckedBody(const QByteArray& record) {
    if (record.size() < pagerecord::kHeaderSize ||
        std::memcmp(record.constData(), pagerecord::kMagic, 4) != 0) {
        Damaged(QStringLiteral("it is no page record"));
    }
    QDataStream header(record);
    pagerecord::SetUp(header);
    header.skipRawData(4);
    quint16 version = 0, reserved = 0;
    quint32 length = 0, checksum = 0;
    header >> version >> reserved >> length >> checksum;
    if (reserved != 0) Damaged(QStringLiteral("its header is not ours"));
    if (version != pagerecord::kVersion) {
        Damaged(QString("it has format version %1, not %2").arg(version).arg(pagerecord::kVersion));
    }
    if (qint64{length} != record.size() - pagerecord::kHeaderSize) {
        Damaged(QStringLiteral("its length does not match its header"));
    }
    // The body as a view of the record, which outlives every use of it: no copy.
    const QByteArray body = QByteArray::fromRawData(record.constData() + pagerecord::kHeaderSize,
                                                    record.size() - pagerecord::kHeaderSize);
    if (crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size())) != checksum) {
        Damaged(QStringLiteral("its checksum does not match"));
    }
    return body;
}

class Player {
  public:
    Player(QPainter& painter, QDataStream& in, const PageFonts& fonts)
        : painter_(painter), in_(in), fonts_(fonts), base_(painter.worldTransform()) {
        // Whatever the record does with clips stays within the clip the page is played in.
        if (painter.hasClipping()) baseClip_ = base_.map(painter.clipPath());
    }

    void Play() {
        while (!in_.atEnd()) {
            quint8 op = 0;
            in_ >> op;
            if (op == 0 || op > quint8(Op::Last)) Damaged(QString("unknown operation %1").arg(op));
            Step(Op(op));
            if (in_.status() != QDataStream::Ok) Damaged(QStringLiteral("an operation is cut off"));
        }
    }

  private:
    template <typename T>
    T Read() {
        T value{};
        in_ >> value;
        return value;
    }
    // An enumeration's value, read as T, that must lie within 0..last.
    template <typename E, typename T = quint8>
    E Enum(E last) {
        const T value = Read<T>();
        if (qint64(value) < 0 || qint64(value) > qint64(last)) Damaged(kOutOfRange);
        return E(value);
    }
    // A count of items of at least `bytesEach` that the rest of the record can hold.
    quint32 Count(quint32 bytesEach) { return CheckCount(Read<quint32>(), bytesEach); }
    quint32 CheckCount(quint32 count, quint32 bytesEach) {
        if (qint64{count} * bytesEach > in_.device()->bytesAvailable()) {
            Damaged(QStringLiteral("a count is larger than the record"));
        }
        return count;
    }
    template <typename T>
    std::vector<T> ReadAll() {
        std::vector<T> items(Count(sizeof(T)));
        for (T& item : items) in_ >> item;
        return items;
    }
    template <typename T>
    void ReadRaw(T* data, quint32 count) {
        const int bytes = int(sizeof(T) * count);
        if (in_.readRawData(reinterpret_cast<char*>(data), bytes) != bytes) {
            Damaged(QStringLiteral("a glyph run is cut off"));
        }
    }

    void Step(Op op) {
        switch (op) {
            case Op::Pen:
                painter_.setPen(Read<QPen>());
                break;
            case Op::Brush:
                painter_.setBrush(Read<QBrush>());
                break;
            case Op::BrushOrigin:
                painter_.setBrushOrigin(Read<QPointF>());
                break;
            case Op::Background:
                painter_.setBackground(Read<QBrush>());
                break;
            case Op::BackgroundMode:
                painter_.setBackgroundMode(Read<quint8>() ? Qt::OpaqueMode : Qt::TransparentMode);
                break;
            case Op::Transform:
                painter_.setWorldTransform(Read<QTransform>() * base_);
                break;
            case Op::ClipRegion: {
                const auto operation = Enum(Qt::IntersectClip);
                QPainterPath path;
                path.addRegion(Read<QRegion>());
                Clip(operation, path);
                break;
            }
            case Op::ClipPath: {
                const auto operation = Enum(Qt::IntersectClip);
                Clip(operation, Read<QPainterPath>());
                break;
            }
            case Op::ClipEnabled:
                clipEnabled_ = Read<bool>();
                ApplyClip();
                break;
            case Op::Hints: {
                const auto hints = QPainter::RenderHints(Read<qint32>());
                painter_.setRenderHints(painter_.renderHints() & ~hints, false);
                painter_.setRenderHints(hints, true);
                break;
            }
            case Op::Composition:
                painter_.setCompositionMode(
                    Enum<QPainter::CompositionMode, qint32>(QPainter::RasterOp_NotDestination));
                break;
            case Op::Opacity:
                painter_.setOpacity(Read<double>());
                break;
            case Op::Rects: {
                const auto rects = ReadAll<QRectF>();
                painter_.drawRects(rects.data(), int(rects.size()));
                break;
            }
            case Op::Lines: {
                const auto lines = ReadAll<QLineF>();
                painter_.drawLines(lines.data(), int(lines.size()));
                break;
            }
            case Op::Ellipse:
                painter_.drawEllipse(Read<QRectF>());
                break;
            case Op::Path:
                painter_.drawPath(Read<QPainterPath>());
                break;
            case Op::Points: {
                const auto points = ReadAll<QPointF>();
                painter_.drawPoints(points.data(), int(points.size()));
                break;
            }
            case Op::Polygon:
                Polygon();
                break;
            case Op::Image: {
                const auto r = Read<QRectF>();
                const auto sr = Read<QRectF>();
                const auto flags = Qt::ImageConversionFlags(Read<qint32>());
                const QImage image = pagerecord::ReadImage(in_);
                if (!image.isNull()) painter_.drawImage(r, image, sr, flags);
                break;
            }
            case Op::TiledImage: {
                const auto r = Read<QRectF>();
                const auto s = Read<QPointF>();
                const QImage image = pagerecord::ReadImage(in_);
                if (!image.isNull()) {
                    // Tiles as a texture from the image itself: no pixmap, so that pages
                    // play without a graphical application too.
                    QBrush tiles(image);
                    tiles.setTransform(QTransform::fromTranslate(r.x() - s.x(), r.y() - s.y()));
                    painter_.fillRect(r, tiles);
                }
                break;
            }
            case Op::GlyphRun:
                GlyphRun();
                break;
            case Op::PlainPen:
                PlainPen();
                break;
            case Op::PlainBrush: {
                pagerecord::Packed values = Values(pagerecord::kPlainBrushBytes);
                quint8 style = 0;
                quint64 rgba = 0;
                values >> style >> rgba;
                if (style != Qt::NoBrush && style != Qt::SolidPattern) Damaged(kOutOfRange);
                painter_.setBrush(
                    QBrush(QColor::fromRgba64(QRgba64::fromRgba64(rgba)), Qt::BrushStyle(style)));
                break;
            }
            case Op::Affine: {
                pagerecord::Packed values = Values(pagerecord::kAffineBytes);
                double m[6] = {};
                for (double& v : m) values >> v;
                painter_.setWorldTransform(QTransform(m[0], m[1], m[2], m[3], m[4], m[5]) * base_);
                break;
            }
        }
    }

    pagerecord::Packed Values(int size) {
        pagerecord::Packed values;
        if (!values.ReadFrom(in_, size)) Damaged(QStringLiteral("an operation is cut off"));
        return values;
    }

    void PlainPen() {
        pagerecord::Packed values = Values(pagerecord::kPlainPenBytes);
        quint64 rgba = 0;
        double width = 0, miterLimit = 0;
        quint8 style = 0, cap = 0, cosmetic = 0;
        quint16 join = 0;
        values >> rgba >> width >> miterLimit >> style >> cap >> join >> cosmetic;
        const bool known = style < Qt::CustomDashLine &&
                           (cap == Qt::FlatCap || cap == Qt::SquareCap || cap == Qt::RoundCap) &&
                           (join == Qt::MiterJoin || join == Qt::BevelJoin ||
                            join == Qt::RoundJoin || join == Qt::SvgMiterJoin) &&
                           cosmetic <= 1 && std::isfinite(width) && width >= 0 &&
                           std::isfinite(miterLimit);
        if (!known) Damaged(kOutOfRange);
        QPen pen(QBrush(QColor::fromRgba64(QRgba64::fromRgba64(rgba))), width, Qt::PenStyle(style),
                 Qt::PenCapStyle(cap), Qt::PenJoinStyle(join));
        pen.setMiterLimit(miterLimit);
        pen.setCosmetic(cosmetic != 0);
        painter_.setPen(pen);
    }

    void Polygon() {
        const auto mode = Enum(QPaintEngine::PolylineMode);
        const auto points = ReadAll<QPointF>();
        const int n = int(points.size());
        switch (mode) {
            case QPaintEngine::PolylineMode:
                painter_.drawPolyline(points.data(), n);
                break;
            case QPaintEngine::ConvexMode:
                painter_.drawConvexPolygon(points.data(), n);
                break;
            case QPaintEngine::WindingMode:
                painter_.drawPolygon(points.data(), n, Qt::WindingFill);
                break;
            default:
                painter_.drawPolygon(points.data(), n, Qt::OddEvenFill);
                break;
        }
    }

    // The recorded clip, kept in device coordinates, and applied within the player's own.
    void Clip(Qt::ClipOperation operation, const QPainterPath& path) {
        const QPainterPath onDevice = painter_.worldTransform().map(path);
        if (operation == Qt::NoClip) {
            clip_.reset();
        } else if (operation == Qt::IntersectClip && clip_) {
            clip_ = clip_->intersected(onDevice);
        } else {
            clip_ = onDevice;
        }
        clipEnabled_ = true;
        ApplyClip();
    }

    void ApplyClip() {
        std::optional<QPainterPath> clip;
        if (clipEnabled_ && clip_) clip = clip_;
        if (baseClip_) clip = clip ? baseClip_->intersected(*clip) : *baseClip_;
        if (!clip) {
            painter_.setClipping(false);
            return;
        }
        const QTransform current = painter_.worldTransform();
        painter_.setWorldTransform(QTransform());
        painter_.setClipPath(*clip, Qt::ReplaceClip);
        painter_.setWorldTransform(current);
    }

    void GlyphRun() {
        pagerecord::Packed values = Values(pagerecord::kGlyphRunBytes);
        quint32 fontIndex = 0, n = 0;
        QPointF position;
        quint8 flags = 0;
        qint32 width = 0, ascent = 0, descent = 0;
        values >> fontIndex >> position.rx() >> position.ry() >> flags >> width >> ascent >>
            descent >> n;
        const PageFonts::Entry* font = fonts_.At(fontIndex);
        if (!font) Damaged(QStringLiteral("a glyph run names an unknown font"));
        CheckCount(n, QGlyphLayout::SpaceNeeded);
        std::vector<char> buffer(size_t(n) * QGlyphLayout::SpaceNeeded);
        QGlyphLayout glyphs(buffer.data(), int(n));
        ReadRaw(glyphs.glyphs, n);
        ReadRaw(glyphs.advances, n);
        ReadRaw(glyphs.offsets, n);
        ReadRaw(glyphs.justifications, n);
        ReadRaw(glyphs.attributes, n);
        const quint32 chars = Count(2 * sizeof(quint16));
        std::vector<QChar> text(chars);
        std::vector<quint16> clusters(chars);
        ReadRaw(text.data(), chars);
        ReadRaw(clusters.data(), chars);
        for (const quint16 c : clusters) {
            if (c >= n) Damaged(QStringLiteral("a glyph run's clusters point past its glyphs"));
        }

        QFont itemFont = font->font;
        QTextItemInt item;
        item.glyphs = glyphs;
        item.f = &itemFont;
        item.chars = chars ? text.data() : nullptr;
        item.num_chars = int(chars);
        item.fontEngine = font->engine;
        item.logClusters = chars ? clusters.data() : nullptr;
        // Lines under, over and through the text were recorded as drawing of their own, and
        // so was an opaque background behind it.
        item.flags = QTextItem::RenderFlags(flags) &
                     ~(QTextItem::Underline | QTextItem::Overline | QTextItem::StrikeOut);
        item.underlineStyle = QTextCharFormat::NoUnderline;
        item.width = QFixed::fromFixed(width);
        item.ascent = QFixed::fromFixed(ascent);
        item.descent = QFixed::fromFixed(descent);
        const Qt::BGMode mode = painter_.backgroundMode();
        painter_.setBackgroundMode(Qt::TransparentMode);
        painter_.drawTextItem(position, item);
        painter_.setBackgroundMode(mode);
    }

    QPainter& painter_;
    QDataStream& in_;
    const PageFonts& fonts_;
    QTransform base_;
    std::optional<QPainterPath> baseClip_;  // the player's clip, in device coordinates
    std::optional<QPainterPath> clip_;      // the record's, in device coordinates
    bool clipEnabled_ = true;
};

}  // namespace

void CheckPageRecord(const QByteArray& record) {
    CheckedBody(record);
}

void PlayPageRecord(QPainter& painter, const QByteArray& record, const PageFonts& fonts) {
    const QByteArray body = CheckedBody(record);
    QDataStream in(body);
    pagerecord::SetUp(in);
    painter.save();
    try {
        Player(painter, in, fonts).Play();
    } catch (...) {
        painter.restore();
        throw;
    }
    painter.restore();
}

}  // namespace kavel
