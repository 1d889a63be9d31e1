// The paint engine of CairoPdfDocument: QPainter's state and primitives drawn on a cairo
// context whose surface is a PDF page. Not for use elsewhere.
#pragma once

#include <cairo.h>

#include <QBrush>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QTransform>
#include <optional>
#include <vector>

#include "platform/CairoHeld.h"
#include "platform/CairoText.h"

namespace kavel {

class CairoPaintEngine : public QPaintEngine {
  public:
    // `base` maps device pixels to the page's points; the context stays the caller's.
    CairoPaintEngine(cairo_t* context, const cairo_matrix_t& base);
    ~CairoPaintEngine() override;

    bool begin(QPaintDevice* device) override;
    bool end() override;
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState& state) override;

    void drawPath(const QPainterPath& path) override;
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override;
    void drawRects(const QRectF* rects, int count) override;
    void drawLines(const QLineF* lines, int count) override;
    void drawEllipse(const QRectF& rect) override;
    void drawPoints(const QPointF* points, int count) override;
    void drawPixmap(const QRectF& target, const QPixmap& pixmap, const QRectF& source) override;
    void drawImage(const QRectF& target, const QImage& image, const QRectF& source,
                   Qt::ImageConversionFlags flags) override;
    void drawTiledPixmap(const QRectF& target, const QPixmap& pixmap,
                         const QPointF& offset) override;
    void drawTextItem(const QPointF& origin, const QTextItem& item) override;

    // Takes the glyphs the document will draw (CairoFontFaces::Prepare).
    void UseGlyphs(const GlyphUse& use) { faces_.Prepare(use); }
    // Writes the drawings held back; before the page ends.
    void Flush();
    // Refuses all further drawing (the document has ended).
    void Close() {
        Flush();
        context_ = nullptr;
    }

  private:
    // Whether the painter's transform can be drawn with at all.
    bool Drawable() const;
    void ApplyClip();
    // Opens a drawing step: the clip set and the painter's transform in force.
    bool Open();
    QPainterPath Bounded(const QPainterPath& clip) const;
    void Shut();
    void AppendPath(const QPainterPath& path);
    // Fills and strokes the current path as the brush and pen say.
    void FillAndStroke(Qt::FillRule rule, bool fill = true);
    // The colour of a brush that paints one opaque colour at full opacity.
    std::optional<QRgba64> OpaqueColor(const QBrush& brush) const;
    HeldPen PenOf() const;
    // Holds a path (painter coordinates, within `bounds`) filled and stroked as the brush
    // and pen say, taking its data; false, the data left, when they do not paint plain
    // opaque colours and it is to be drawn now. `rightAngles`: its corners are no sharper.
    bool Hold(std::vector<cairo_path_data_t>& path, const QRectF& bounds, Qt::FillRule rule,
              bool fill, bool rightAngles);
    // Holds a drawing, writing what is held when that is full.
    void Keep(HeldDrawing drawing);
    void DrawRun(cairo_font_face_t* face, const cairo_matrix_t& fontMatrix, const GlyphRun& run);
    void FillWith(const QBrush& brush);
    void Stroke();
    void PaintSource(cairo_pattern_t* pattern, bool stroke);
    void DrawSurface(const QRectF& target, cairo_surface_t* surface, const QRectF& source,
                     bool tiled, QPointF offset);
    // `cacheKey` names the picture so that drawing it again does not write it again; 0
    // for pictures made for this one drawing.
    void DrawImageOf(const QRectF& target, const QImage& image, const QRectF& source,
                     qint64 cacheKey);
    void DrawGlyphOutlines(const QTextItemInt& item, const GlyphRun& run);
    bool Cosmetic() const;

    cairo_t* context_;
    cairo_matrix_t base_;
    QPen pen_;
    QBrush brush_;
    QPointF brushOrigin_;
    QBrush background_;
    Qt::BGMode backgroundMode_ = Qt::TransparentMode;
    QTransform transform_;
    std::vector<QPainterPath> clips_;  // device pixels, each intersecting the previous
    bool clipEnabled_ = false;
    QPainter::RenderHints hints_;
    qreal opacity_ = 1.0;
    CairoFontFaces faces_;
    cairo_font_options_t* fontOptions_ = nullptr;
    HeldDrawings held_;
};

}  // namespace kavel
