#include "platform/CairoHeld.h"

#include <QPainterPath>
#include <cstring>

#include "platform/CairoBrushes.h"

namespace kavel {

namespace {

void AppendPoint(std::vector<cairo_path_data_t>& data, cairo_path_data_type_t type, int length,
                 const double* xy, int points) {
    cairo_path_data_t header;
    header.header.type = type;
    header.header.length = length;
    data.push_back(header);
    for (int i = 0; i < points; ++i) {
        cairo_path_data_t point;
        point.point.x = xy[2 * i];
        point.point.y = xy[2 * i + 1];
        data.push_back(point);
    }
}

bool SameLinearPart(const QTransform& a, const QTransform& b) {
    return a.m11() == b.m11() && a.m12() == b.m12() && a.m21() == b.m21() && a.m22() == b.m22();
}

bool SameColor(QRgba64 a, QRgba64 b) {
    return quint64(a) == quint64(b);
}

bool SamePen(const HeldPen& a, const HeldPen& b) {
    return a.width == b.width && a.cap == b.cap && a.join == b.join &&
           a.miterLimit == b.miterLimit && a.cosmetic == b.cosmetic;
}

void Shift(std::vector<cairo_path_data_t>& data, QPointF by) {
    for (size_t i = 0; i < data.size(); i += data[i].header.length) {
        for (int k = 1; k < data[i].header.length; ++k) {
            data[i + k].point.x += by.x();
            data[i + k].point.y += by.y();
        }
    }
}

}  // namespace

void AppendMove(std::vector<cairo_path_data_t>& data, double x, double y) {
    const double xy[] = {x, y};
    AppendPoint(data, CAIRO_PATH_MOVE_TO, 2, xy, 1);
}

void AppendLine(std::vector<cairo_path_data_t>& data, double x, double y) {
    const double xy[] = {x, y};
    AppendPoint(data, CAIRO_PATH_LINE_TO, 2, xy, 1);
}

void AppendClose(std::vector<cairo_path_data_t>& data) {
    AppendPoint(data, CAIRO_PATH_CLOSE_PATH, 1, nullptr, 0);
}

void AppendPathData(std::vector<cairo_path_data_t>& data, const QPainterPath& path) {
    QPointF start;
    QPointF last;
    int segments = 0;
    const auto closeIfReturned = [&] {
        if (segments >= 2 && qFuzzyCompare(last.x() + 1, start.x() + 1) &&
            qFuzzyCompare(last.y() + 1, start.y() + 1)) {
            AppendClose(data);
        }
    };
    const int count = path.elementCount();
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
            case QPainterPath::MoveToElement:
                closeIfReturned();
                AppendMove(data, e.x, e.y);
                start = e;
                segments = 0;
                break;
            case QPainterPath::LineToElement:
                AppendLine(data, e.x, e.y);
                ++segments;
                break;
            case QPainterPath::CurveToElement: {
                if (i + 2 >= count) break;
                const QPainterPath::Element c2 = path.elementAt(i + 1);
                const QPainterPath::Element end = path.elementAt(i + 2);
                const double xy[] = {e.x, e.y, c2.x, c2.y, end.x, end.y};
                AppendPoint(data, CAIRO_PATH_CURVE_TO, 4, xy, 3);
                i += 2;
                ++segments;
                last = end;
                continue;
            }
            case QPainterPath::CurveToDataElement:
                break;
        }
        last = e;
    }
    closeIfReturned();
}

void AddPath(cairo_t* context, const std::vector<cairo_path_data_t>& data) {
    if (data.empty()) return;
    cairo_path_t path{CAIRO_STATUS_SUCCESS, const_cast<cairo_path_data_t*>(data.data()),
                      int(data.size())};
    cairo_append_path(context, &path);
}

void SetLine(cairo_t* context, const HeldPen& pen, const cairo_matrix_t& base) {
    if (pen.cosmetic) cairo_set_matrix(context, &base);
    cairo_set_line_width(context, pen.width);
    cairo_set_line_cap(context, pen.cap);
    cairo_set_line_join(context, pen.join);
    cairo_set_miter_limit(context, pen.miterLimit);
}

bool HeldDrawings::Batch::Touches(const QRectF& box) const {
    if (!bounds.intersects(box)) return false;
    for (const QRectF& b : boxes) {
        if (b.intersects(box)) return true;
    }
    return false;
}

bool HeldDrawings::Batch::Neighbours(const QRectF& line) const {
    for (const QRectF& l : lines) {
        if (l.intersects(line)) return true;
    }
    return false;
}

bool HeldDrawings::Joins(const Batch& batch, const HeldDrawing& d) {
    const HeldDrawing& b = batch.drawing;
    if (b.kind != d.kind || !SameColor(b.color, d.color) ||
        !SameLinearPart(b.transform, d.transform)) {
        return false;
    }
    switch (d.kind) {
        case HeldDrawing::Kind::Fill:
            return b.rule == d.rule && !batch.Touches(d.box);
        case HeldDrawing::Kind::Stroke:
            return SamePen(b.pen, d.pen);
        case HeldDrawing::Kind::Text:
            return b.face == d.face &&
                   std::memcmp(&b.fontMatrix, &d.fontMatrix, sizeof d.fontMatrix) == 0 &&
                   b.run.clusters.empty() == d.run.clusters.empty();
    }
    return false;
}

void HeldDrawings::Append(Batch& batch, HeldDrawing& d) {
    HeldDrawing& b = batch.drawing;
    // The drawing's coordinates as the batch's transform reads them.
    const QPointF by = b.transform.inverted().map(d.transform.map(QPointF()));
    if (d.kind == HeldDrawing::Kind::Text) {
        GlyphRun& all = b.run;
        for (cairo_glyph_t g : d.run.glyphs) {
            g.x += by.x();
            g.y += by.y();
            all.glyphs.push_back(g);
        }
        all.utf8 += d.run.utf8;
        all.clusters.insert(all.clusters.end(), d.run.clusters.begin(), d.run.clusters.end());
    } else {
        Shift(d.path, by);
        b.path.insert(b.path.end(), d.path.begin(), d.path.end());
    }
    batch.boxes.push_back(d.box);
    if (d.kind == HeldDrawing::Kind::Text) batch.lines.push_back(d.line);
    batch.bounds |= d.box;
}

void HeldDrawings::Add(HeldDrawing drawing) {
    ++drawings_;
    for (size_t i = batches_.size(); i-- > 0;) {
        Batch& batch = batches_[i];
        if (Joins(batch, drawing)) {
            Append(batch, drawing);
            return;
        }
        if (!SameColor(batch.drawing.color, drawing.color) && batch.Touches(drawing.box)) break;
        if (drawing.kind == HeldDrawing::Kind::Text && batch.Neighbours(drawing.line)) break;
    }
    Batch batch{std::move(drawing), {}, {}, {}};
    batch.boxes.push_back(batch.drawing.box);
    if (batch.drawing.kind == HeldDrawing::Kind::Text) batch.lines.push_back(batch.drawing.line);
    batch.bounds = batch.drawing.box;
    batches_.push_back(std::move(batch));
}

void HeldDrawings::Write(cairo_t* context, const cairo_matrix_t& base,
                         const cairo_font_options_t* options) {
    for (const Batch& batch : batches_) {
        const HeldDrawing& d = batch.drawing;
        cairo_set_matrix(context, &base);
        const cairo_matrix_t matrix = ToCairo(d.transform);
        cairo_transform(context, &matrix);
        cairo_set_source_rgb(context, d.color.red() / 65535.0, d.color.green() / 65535.0,
                             d.color.blue() / 65535.0);
        cairo_new_path(context);
        switch (d.kind) {
            case HeldDrawing::Kind::Fill:
                AddPath(context, d.path);
                cairo_set_fill_rule(context, d.rule);
                cairo_fill(context);
                break;
            case HeldDrawing::Kind::Stroke:
                AddPath(context, d.path);
                SetLine(context, d.pen, base);
                cairo_stroke(context);
                break;
            case HeldDrawing::Kind::Text:
                cairo_set_font_face(context, d.face);
                cairo_set_font_matrix(context, &d.fontMatrix);
                cairo_set_font_options(context, options);
                ShowGlyphRun(context, d.run);
                break;
        }
    }
    batches_.clear();
    drawings_ = 0;
}

}  // namespace kavel
