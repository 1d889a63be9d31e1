// Recording a page: a paint engine that writes every operation and state change it is given
// into the page record, and keeps text as the glyph runs the painter shaped.
#include <private/qfontengine_p.h>
#include <private/qtextengine_p.h>
#include <zlib.h>
#include <QBuffer>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QPicture>
#include <QPixmap>
#include <QRegion>

#include <algorithm>

#include "platform/PageMetrics.h"
#include "render/PageRecord.h"
#include "render/PageRecordFormat.h"

namespace kavel {

using pagerecord::Op;

// ---- PageFonts ------------------------------------------------------------------------------

PageFonts::~PageFonts() {
    for (const Entry& entry : entries_) {
        if (!entry.engine->ref.deref()) delete entry.engine;
    }
}

quint32 PageFonts::Add(const QFont& font, QFontEngine* engine) {
    auto [first, last] = byEngine_.equal_range(engine);
    for (auto it = first; it != last; ++it) {
        if (entries_[it->second].font == font) return it->second;
    }
    engine->ref.ref();
    const auto number = static_cast<quint32>(entries_.size());
    entries_.push_back({font, engine});
    byEngine_.emplace(engine, number);
    return number;
}

const PageFonts::Entry* PageFonts::At(quint32 number) const {
    return number < entries_.size() ? &entries_[number] : nullptr;
}

void PageFonts::NoteGlyphs(quint32 number, const quint32* glyphs, int count) {
    if (number >= glyphs_.size()) glyphs_.resize(number + 1);
    glyphs_[number].Add(glyphs, count);
}

GlyphUse PageFonts::Glyphs() const {
    GlyphUse use;
    for (size_t number = 0; number < glyphs_.size(); ++number) {
        const std::optional<FontFile> file = FontFileOf(*entries_[number].engine);
        if (!file) continue;
        use[*file].Unite(glyphs_[number]);
    }
    return use;
}

// ---- the recording engine -------------------------------------------------------------------

namespace {

// A brush that its style and 16-bit RGB colour alone make: no picture, gradient or transform,
// and a colour of no other model.
bool IsPlain(const QBrush& brush) {
    const QColor& color = brush.color();
    return (brush.style() == Qt::NoBrush || brush.style() == Qt::SolidPattern) &&
           brush.transform().isIdentity() && color.isValid() && color == color.toRgb();
}

}  // namespace

class PageRecorder::Engine : public QPaintEngine {
  public:
    explicit Engine(std::shared_ptr<PageFonts> fonts)
        : QPaintEngine(AllFeatures), fonts_(std::move(fonts)) {
        buffer_.open(QIODevice::WriteOnly);
        out_.setDevice(&buffer_);
        pagerecord::SetUp(out_);
    }

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }

    QByteArray Record() const {
        const QByteArray& body = buffer_.data();
        QByteArray record;
        record.reserve(pagerecord::kHeaderSize + body.size());
        QDataStream header(&record, QIODevice::WriteOnly);
        pagerecord::SetUp(header);
        header.writeRawData(pagerecord::kMagic, 4);
        header << pagerecord::kVersion << quint16(0) << quint32(body.size())
               << quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()),
                                uInt(body.size())));
        record.append(body);
        return record;
    }

    void updateState(const QPaintEngineState& s) override {
        // Transform before clip: a clip is given in the coordinates of the transform that
        // comes with it.
        const DirtyFlags dirty = s.state();
        if (dirty & DirtyPen) PutPen(s.pen());
        if (dirty & DirtyBrush) PutBrush(s.brush());
        if (dirty & DirtyBrushOrigin) Put(Op::BrushOrigin) << s.brushOrigin();
        if (dirty & DirtyBackground) Put(Op::Background) << s.backgroundBrush();
        if (dirty & DirtyBackgroundMode) Put(Op::BackgroundMode) << quint8(s.backgroundMode());
        if (dirty & DirtyTransform) PutTransform(s.transform());
        if (dirty & DirtyClipRegion) {
            Put(Op::ClipRegion) << quint8(s.clipOperation()) << s.clipRegion();
        }
        if (dirty & DirtyClipPath) Put(Op::ClipPath) << quint8(s.clipOperation()) << s.clipPath();
        if (dirty & DirtyClipEnabled) Put(Op::ClipEnabled) << s.isClipEnabled();
        if (dirty & DirtyHints) Put(Op::Hints) << qint32(s.renderHints());
        if (dirty & DirtyCompositionMode) Put(Op::Composition) << qint32(s.compositionMode());
        if (dirty & DirtyOpacity) Put(Op::Opacity) << s.opacity();
    }

    void drawRects(const QRectF* rects, int count) override {
        Put(Op::Rects) << quint32(count);
        for (int i = 0; i < count; ++i) out_ << rects[i];
    }
    void drawLines(const QLineF* lines, int count) override {
        Put(Op::Lines) << quint32(count);
        for (int i = 0; i < count; ++i) out_ << lines[i];
    }
    void drawEllipse(const QRectF& r) override { Put(Op::Ellipse) << r; }
    void drawPath(const QPainterPath& path) override { Put(Op::Path) << path; }
    void drawPoints(const QPointF* points, int count) override {
        Put(Op::Points) << quint32(count);
        for (int i = 0; i < count; ++i) out_ << points[i];
    }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        Put(Op::Polygon) << quint8(mode) << quint32(count);
        for (int i = 0; i < count; ++i) out_ << points[i];
    }
    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override {
        PutImage(r, pm.toImage(), sr, Qt::AutoColor);
    }
    void drawImage(const QRectF& r, const QImage& image, const QRectF& sr,
                   Qt::ImageConversionFlags flags) override {
        PutImage(r, image, sr, flags);
    }
    void drawTiledPixmap(const QRectF& r, const QPixmap& pm, const QPointF& s) override {
        Put(Op::TiledImage) << r << s;
        pagerecord::WriteImage(out_, pm.toImage());
    }

    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        const auto& ti = static_cast<const QTextItemInt&>(item);
        const int n = ti.glyphs.numGlyphs;
        if (n <= 0 || !ti.fontEngine) return;
        const quint32 font = fonts_->Add(ti.font(), ti.fontEngine);
        Put(Op::GlyphRun);
        pagerecord::Packed values;
        values << font << p.x() << p.y() << quint8(ti.flags) << qint32(ti.width.value())
               << qint32(ti.ascent.value()) << qint32(ti.descent.value()) << quint32(n);
        values.WriteTo(out_);
        Raw(ti.glyphs.glyphs, n);
        fonts_->NoteGlyphs(font, ti.glyphs.glyphs, n);
        Raw(ti.glyphs.advances, n);
        Raw(ti.glyphs.offsets, n);
        Raw(ti.glyphs.justifications, n);
        Raw(ti.glyphs.attributes, n);
        // The characters and, for each, its first glyph counted from this run's first: a
        // run of several font engines' glyphs comes here a piece at a time, its clusters
        // still counted from the whole.
        const int chars = ti.chars && ti.logClusters ? ti.num_chars : 0;
        out_ << quint32(chars);
        if (chars == 0) return;
        Raw(ti.chars, chars);
        const unsigned short base = *std::min_element(ti.logClusters, ti.logClusters + chars);
        std::vector<quint16> clusters(ti.logClusters, ti.logClusters + chars);
        for (quint16& c : clusters) c = quint16(c - base);
        Raw(clusters.data(), chars);
    }

  private:
    QDataStream& Put(Op op) {
        out_ << quint8(op);
        return out_;
    }
    void PutPen(const QPen& pen) {
        const bool plain = pen.style() != Qt::CustomDashLine && pen.dashOffset() == 0 &&
                           pen.brush().style() == Qt::SolidPattern && IsPlain(pen.brush());
        if (!plain) {
            Put(Op::Pen) << pen;
            return;
        }
        Put(Op::PlainPen);
        pagerecord::Packed values;
        values << quint64(pen.color().rgba64()) << pen.widthF() << pen.miterLimit()
               << quint8(pen.style()) << quint8(pen.capStyle()) << quint16(pen.joinStyle())
               << quint8(pen.isCosmetic());
        values.WriteTo(out_);
    }
    void PutBrush(const QBrush& brush) {
        if (!IsPlain(brush)) {
            Put(Op::Brush) << brush;
            return;
        }
        Put(Op::PlainBrush);
        pagerecord::Packed values;
        values << quint8(brush.style()) << quint64(brush.color().rgba64());
        values.WriteTo(out_);
    }
    void PutTransform(const QTransform& t) {
        if (t.m13() != 0 || t.m23() != 0 || t.m33() != 1) {
            Put(Op::Transform) << t;
            return;
        }
        Put(Op::Affine);
        pagerecord::Packed values;
        values << t.m11() << t.m12() << t.m21() << t.m22() << t.dx() << t.dy();
        values.WriteTo(out_);
    }
    template <typename T>
    void Raw(const T* data, int count) {
        out_.writeRawData(reinterpret_cast<const char*>(data), int(sizeof(T)) * count);
    }
    void PutImage(const QRectF& r, const QImage& image, const QRectF& sr,
                  Qt::ImageConversionFlags flags) {
        Put(Op::Image) << r << sr << qint32(flags);
        pagerecord::WriteImage(out_, image);
    }

    std::shared_ptr<PageFonts> fonts_;
    QBuffer buffer_;
    QDataStream out_;
};

// ---- the device -----------------------------------------------------------------------------

PageRecorder::PageRecorder(QSize size, std::shared_ptr<PageFonts> fonts)
    : size_(size), engine_(std::make_unique<Engine>(std::move(fonts))) {}

PageRecorder::~PageRecorder() = default;

QByteArray PageRecorder::Record() const {
    return engine_->Record();
}

QPaintEngine* PageRecorder::paintEngine() const {
    return engine_.get();
}

int PageRecorder::metric(PaintDeviceMetric metric) const {
    // What a picture answers: composition measures pages as it always has.
    static const int dpi = QPicture().logicalDpiX();
    if (const auto value = PageMetric(metric, size_, dpi)) return *value;
    switch (metric) {
        case PdmNumColors:
            return 16777216;
        case PdmDepth:
            return 24;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return QPaintDevice::metric(metric);
    }
}

// ---- pictures -------------------------------------------------------------------------------

namespace pagerecord {

void WriteImage(QDataStream& out, const QImage& given) {
    // Colour tables and odd formats are made plain, so that reading needs only the pixels.
    QImage image = given;
    if (image.colorCount() > 0 || image.format() == QImage::Format_Invalid) {
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                              : QImage::Format_RGB32);
    }
    out << qint32(image.format()) << qint32(image.width()) << qint32(image.height())
        << qint32(image.bytesPerLine()) << qint32(image.dotsPerMeterX())
        << qint32(image.dotsPerMeterY());
    if (!image.isNull())
        out.writeRawData(reinterpret_cast<const char*>(image.constBits()),
                         int(image.sizeInBytes()));
}

QImage ReadImage(QDataStream& in) {
    qint32 format = 0, width = 0, height = 0, bytesPerLine = 0, dpmX = 0, dpmY = 0;
    in >> format >> width >> height >> bytesPerLine >> dpmX >> dpmY;
    if (in.status() != QDataStream::Ok) return QImage();
    if (width == 0 && height == 0) return QImage();  // a null picture was drawn
    constexpr int kLargest = 1 << 15;
    if (format <= QImage::Format_Invalid || format >= QImage::NImageFormats || width <= 0 ||
        height <= 0 || width > kLargest || height > kLargest) {
        in.setStatus(QDataStream::ReadCorruptData);
        return QImage();
    }
    QImage image(width, height, QImage::Format(format));
    if (image.isNull() || image.bytesPerLine() != bytesPerLine) {
        in.setStatus(QDataStream::ReadCorruptData);
        return QImage();
    }
    const auto size = int(image.sizeInBytes());
    if (in.readRawData(reinterpret_cast<char*>(image.bits()), size) != size) {
        in.setStatus(QDataStream::ReadPastEnd);
        return QImage();
    }
    image.setDotsPerMeterX(dpmX);
    image.setDotsPerMeterY(dpmY);
    return image;
}

}  // namespace pagerecord

}  // namespace kavel
