// Drawings in one opaque colour held back by the PDF paint engine and written together:
// cairo's PDF writer spends as much on each drawing operation as on dozens of glyphs, and a
// table page is hundreds of small drawings in a handful of colours. Not for use elsewhere.
#pragma once

#include <cairo.h>

#include <QRectF>
#include <QRgba64>
#include <QTransform>
#include <vector>

#include "platform/CairoText.h"

namespace kavel {

// How a held stroke is drawn: a solid line without a dash pattern.
struct HeldPen {
    double width = 1;
    cairo_line_cap_t cap = CAIRO_LINE_CAP_BUTT;
    cairo_line_join_t join = CAIRO_LINE_JOIN_MITER;
    double miterLimit = 4;
    bool cosmetic = false;  // the width is in device pixels, whatever the transform
};

// Sets the context's line for `pen`; a cosmetic pen's width is measured under `base`.
void SetLine(cairo_t* context, const HeldPen& pen, const cairo_matrix_t& base);

struct HeldDrawing {
    enum class Kind { Fill, Stroke, Text };
    Kind kind = Kind::Fill;
    QRgba64 color{};       // opaque
    QTransform transform;  // the painter's, affine and invertible
    QRectF box;            // device pixels the drawing may touch
    QRectF line;           // text: its stretch of line, where a neighbour is one word away
    std::vector<cairo_path_data_t> path;  // painter coordinates (fills and strokes)
    cairo_fill_rule_t rule = CAIRO_FILL_RULE_WINDING;
    HeldPen pen;
    cairo_font_face_t* face = nullptr;  // text
    cairo_matrix_t fontMatrix{};
    GlyphRun run;
};

// The held drawings as batches of one kind, colour, transform (but for its offset) and
// manner. A drawing joins an earlier batch only where moving it back there paints the same
// page: it touches no drawing of another colour held after that batch (one opaque colour
// painted over itself is that colour). Fills of a batch also do not touch each other, so
// that their winding cannot cancel out. Text never moves before text next to it on its line:
// readers of the PDF join and order words by the order they were written.
class HeldDrawings {
  public:
    void Add(HeldDrawing drawing);
    bool Empty() const { return batches_.empty(); }
    // Whether they are to be written now: each drawing is checked against those held after
    // its batch, so a page of very many drawings is written a thousand at a time.
    bool Full() const { return batches_.size() >= 64 || drawings_ >= 1024; }
    // Writes the batches in order on `context` (whose clip is the one they were drawn
    // under), `base` mapping device pixels to the page, and forgets them.
    void Write(cairo_t* context, const cairo_matrix_t& base, const cairo_font_options_t* options);

  private:
    struct Batch {
        HeldDrawing drawing;  // the first, with the paths and glyphs of the rest added
        std::vector<QRectF> boxes;
        std::vector<QRectF> lines;  // text
        QRectF bounds;
        bool Touches(const QRectF& box) const;
        bool Neighbours(const QRectF& line) const;
    };
    static bool Joins(const Batch& batch, const HeldDrawing& drawing);
    static void Append(Batch& batch, HeldDrawing& drawing);
    std::vector<Batch> batches_;
    size_t drawings_ = 0;
};

// Appends cairo path data for a painter path; a subpath that comes back to where it started
// is closed, so its corners join there as they do when Qt strokes it.
void AppendPathData(std::vector<cairo_path_data_t>& data, const class QPainterPath& path);
void AppendMove(std::vector<cairo_path_data_t>& data, double x, double y);
void AppendLine(std::vector<cairo_path_data_t>& data, double x, double y);
void AppendClose(std::vector<cairo_path_data_t>& data);
// Adds the path data to the context's current path.
void AddPath(cairo_t* context, const std::vector<cairo_path_data_t>& data);

}  // namespace kavel
