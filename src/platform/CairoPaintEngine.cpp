#include "platform/CairoPaintEngine.h"

#include <private/qfontengine_p.h>
#include <private/qtextengine_p.h>

#include <QPainter>
#include <QPixmap>
#include <QVarLengthArray>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/CairoBrushes.h"

namespace kavel {

namespace {

// Everything QPainter can hand over as vectors; conical gradients it paints itself.
const QPaintEngine::PaintEngineFeatures kFeatures =
    QPaintEngine::PaintEngineFeatures(QPaintEngine::AllFeatures) &
    ~QPaintEngine::PaintEngineFeatures(QPaintEngine::ConicalGradientFill |
                                       QPaintEngine::ObjectBoundingModeGradients);

// FreeType's oblique: a shear of 0x0366A / 0x10000, about twelve degrees.
constexpr double kObliqueSlant = 0x0366A / 65536.0;

bool Finite(const QTransform& t) {
    return std::isfinite(t.m11()) && std::isfinite(t.m12()) && std::isfinite(t.m21()) &&
           std::isfinite(t.m22()) && std::isfinite(t.dx()) && std::isfinite(t.dy());
}

cairo_line_cap_t CapOf(Qt::PenCapStyle cap) {
    switch (cap) {
        case Qt::SquareCap:
            return CAIRO_LINE_CAP_SQUARE;
        case Qt::RoundCap:
            return CAIRO_LINE_CAP_ROUND;
        default:
            return CAIRO_LINE_CAP_BUTT;
    }
}

cairo_line_join_t JoinOf(Qt::PenJoinStyle join) {
    switch (join) {
        case Qt::BevelJoin:
            return CAIRO_LINE_JOIN_BEVEL;
        case Qt::RoundJoin:
            return CAIRO_LINE_JOIN_ROUND;
        default:
            return CAIRO_LINE_JOIN_MITER;
    }
}

// An image that was drawn before is written once: cairo knows it again by this id.
void MarkUnique(cairo_surface_t* surface, qint64 cacheKey) {
    const QByteArray id = "kavel-image-" + QByteArray::number(cacheKey);
    auto* data = static_cast<unsigned char*>(std::malloc(id.size()));
    if (data == nullptr) return;
    std::memcpy(data, id.constData(), id.size());
    if (cairo_surface_set_mime_data(surface, CAIRO_MIME_TYPE_UNIQUE_ID, data, id.size(), std::free,
                                    data) != CAIRO_STATUS_SUCCESS) {
        std::free(data);
    }
}

// The brush as a source; a plain colour carries the painter's opacity in its alpha.
cairo_pattern_t* SourceFor(const QBrush& brush, QPointF origin, qreal opacity) {
    if (brush.style() == Qt::SolidPattern) {
        const QColor c = brush.color();
        return cairo_pattern_create_rgba(c.redF(), c.greenF(), c.blueF(), c.alphaF() * opacity);
    }
    return PatternForBrush(brush, origin);
}

}  // namespace

CairoPaintEngine::CairoPaintEngine(cairo_t* context, const cairo_matrix_t& base)
    : QPaintEngine(kFeatures), context_(context), base_(base) {
    fontOptions_ = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(fontOptions_, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(fontOptions_, CAIRO_HINT_STYLE_NONE);
}

CairoPaintEngine::~CairoPaintEngine() {
    cairo_font_options_destroy(fontOptions_);
}

bool CairoPaintEngine::begin(QPaintDevice*) {
    if (context_ == nullptr) return false;
    // A new painter starts from the device's own state, as on any device.
    pen_ = QPen();
    brush_ = QBrush();
    brushOrigin_ = QPointF();
    transform_ = QTransform();
    clips_.clear();
    clipEnabled_ = false;
    opacity_ = 1.0;
    setActive(true);
    return true;
}

bool CairoPaintEngine::end() {
    Flush();
    setActive(false);
    return context_ != nullptr && cairo_status(context_) == CAIRO_STATUS_SUCCESS;
}

void CairoPaintEngine::updateState(const QPaintEngineState& state) {
    const DirtyFlags flags = state.state();
    // Held drawings keep their own colours and transforms; only their clip is the engine's.
    if (flags & (DirtyClipPath | DirtyClipRegion | DirtyClipEnabled)) Flush();
    if (flags & DirtyTransform) transform_ = state.transform();
    if (flags & DirtyPen) pen_ = state.pen();
    if (flags & DirtyBrush) brush_ = state.brush();
    if (flags & DirtyBrushOrigin) brushOrigin_ = state.brushOrigin();
    if (flags & DirtyBackground) background_ = state.backgroundBrush();
    if (flags & DirtyBackgroundMode) backgroundMode_ = state.backgroundMode();
    if (flags & DirtyHints) hints_ = state.renderHints();
    if (flags & DirtyOpacity) opacity_ = qBound(0.0, state.opacity(), 1.0);
    if (flags & (DirtyClipPath | DirtyClipRegion)) {
        QPainterPath clip;
        if (flags & DirtyClipPath) {
            clip = state.clipPath();
        } else {
            clip.addRegion(state.clipRegion());
        }
        // Clips are kept in device pixels: a later transform does not move them.
        clip = Bounded(transform_.map(clip));
        switch (state.clipOperation()) {
            case Qt::NoClip:
                clips_.clear();
                clipEnabled_ = false;
                break;
            case Qt::ReplaceClip:
                clips_.assign(1, clip);
                clipEnabled_ = true;
                break;
            case Qt::IntersectClip:
                clips_.push_back(clip);
                clipEnabled_ = true;
                break;
        }
    }
    if (flags & DirtyClipEnabled) clipEnabled_ = state.isClipEnabled();
}

QPainterPath CairoPaintEngine::Bounded(const QPainterPath& clip) const {
    // cairo keeps coordinates as fixed-point numbers of about eight million points; a clip
    // that reaches "everywhere" would wrap around and hide everything.
    const double reach = 1e6 / std::max(std::abs(base_.xx), std::abs(base_.yy));
    const QRectF far(-reach, -reach, 2 * reach, 2 * reach);
    const QRectF bounds = clip.boundingRect();
    if (far.contains(bounds)) return clip;
    QPainterPath box;
    box.addRect(far);
    return clip.intersected(box);
}

bool CairoPaintEngine::Drawable() const {
    return context_ != nullptr && Finite(transform_) && transform_.isInvertible() &&
           transform_.isAffine();
}

void CairoPaintEngine::ApplyClip() {
    cairo_set_matrix(context_, &base_);
    if (!clipEnabled_) return;
    for (const QPainterPath& clip : clips_) {
        cairo_new_path(context_);
        AppendPath(clip);
        cairo_set_fill_rule(context_, clip.fillRule() == Qt::WindingFill
                                          ? CAIRO_FILL_RULE_WINDING
                                          : CAIRO_FILL_RULE_EVEN_ODD);
        cairo_clip(context_);
    }
}

bool CairoPaintEngine::Open() {
    // Held drawings are written first: whatever is drawn now lies over them.
    Flush();
    if (!Drawable()) return false;
    cairo_save(context_);
    ApplyClip();
    const cairo_matrix_t matrix = ToCairo(transform_);
    cairo_transform(context_, &matrix);
    cairo_new_path(context_);
    return true;
}

void CairoPaintEngine::Flush() {
    if (held_.Empty()) return;
    if (context_ == nullptr) {
        held_ = HeldDrawings();
        return;
    }
    cairo_save(context_);
    ApplyClip();
    held_.Write(context_, base_, fontOptions_);
    cairo_new_path(context_);
    cairo_restore(context_);
}

void CairoPaintEngine::Shut() {
    cairo_new_path(context_);
    cairo_restore(context_);
}

void CairoPaintEngine::AppendPath(const QPainterPath& path) {
    std::vector<cairo_path_data_t> data;
    AppendPathData(data, path);
    AddPath(context_, data);
}

bool CairoPaintEngine::Cosmetic() const {
    return pen_.isCosmetic() || pen_.widthF() == 0;
}

HeldPen CairoPaintEngine::PenOf() const {
    HeldPen line;
    line.cosmetic = Cosmetic();
    line.width = pen_.widthF();
    if (line.cosmetic && line.width <= 0) line.width = 1;
    line.cap = CapOf(pen_.capStyle());
    line.join = JoinOf(pen_.joinStyle());
    // Qt limits the miter's reach from the joint in pen widths; PDF its whole length.
    line.miterLimit = std::max(1.0, 2 * pen_.miterLimit());
    return line;
}

std::optional<QRgba64> CairoPaintEngine::OpaqueColor(const QBrush& brush) const {
    if (brush.style() != Qt::SolidPattern || opacity_ < 1) return std::nullopt;
    const QRgba64 color = brush.color().rgba64();
    if (!color.isOpaque()) return std::nullopt;
    return color;
}

void CairoPaintEngine::Keep(HeldDrawing drawing) {
    held_.Add(std::move(drawing));
    if (held_.Full()) Flush();
}

bool CairoPaintEngine::Hold(std::vector<cairo_path_data_t>& path, const QRectF& bounds,
                            Qt::FillRule rule, bool fill, bool rightAngles) {
    if (!Drawable()) return false;
    fill = fill && brush_.style() != Qt::NoBrush;
    const bool stroke = pen_.style() != Qt::NoPen;
    const std::optional<QRgba64> fillColor = fill ? OpaqueColor(brush_) : std::nullopt;
    const std::optional<QRgba64> strokeColor =
        stroke && pen_.style() == Qt::SolidLine ? OpaqueColor(pen_.brush()) : std::nullopt;
    if ((fill && !fillColor) || (stroke && !strokeColor)) return false;
    HeldDrawing drawing;
    drawing.transform = transform_;
    if (fill) {
        drawing.kind = HeldDrawing::Kind::Fill;
        drawing.color = *fillColor;
        drawing.rule = rule == Qt::WindingFill ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD;
        drawing.box = transform_.mapRect(bounds);
        drawing.path = stroke ? path : std::move(path);
        Keep(drawing);
    }
    if (stroke) {
        drawing.kind = HeldDrawing::Kind::Stroke;
        drawing.color = *strokeColor;
        drawing.pen = PenOf();
        // How far a corner of the outline may stick out, in pen widths: a square's corner
        // at right angles, a miter's tip at sharper ones.
        const bool miter = drawing.pen.join == CAIRO_LINE_JOIN_MITER && !rightAngles;
        const double reach = std::max(M_SQRT1_2, miter ? drawing.pen.miterLimit / 2 : 0);
        const double out = drawing.pen.width * reach;
        if (drawing.pen.cosmetic) {
            drawing.box = transform_.mapRect(bounds).adjusted(-out, -out, out, out);
        } else {
            drawing.box = transform_.mapRect(bounds.adjusted(-out, -out, out, out));
        }
        drawing.path = std::move(path);
        Keep(std::move(drawing));
    }
    return true;
}

void CairoPaintEngine::PaintSource(cairo_pattern_t* pattern, bool stroke) {
    if (pattern == nullptr) return;
    const bool group = opacity_ < 1 && cairo_pattern_get_type(pattern) != CAIRO_PATTERN_TYPE_SOLID;
    if (group) cairo_push_group(context_);
    cairo_set_source(context_, pattern);
    if (stroke) {
        // Cosmetic pens measure in device pixels, whatever the painter's transform; the
        // source above stays locked to the painter's coordinates.
        cairo_save(context_);
        const HeldPen line = PenOf();
        SetLine(context_, line, base_);
        const double width = line.width;
        if (pen_.style() != Qt::SolidLine) {
            const QList<qreal> pattern = pen_.dashPattern();
            const double unit = std::max(1.0, width);
            std::vector<double> dashes;
            for (qreal d : pattern) dashes.push_back(std::max(0.0, d * unit));
            double total = 0;
            for (double d : dashes) total += d;
            if (!dashes.empty() && total > 0) {
                cairo_set_dash(context_, dashes.data(), int(dashes.size()),
                               pen_.dashOffset() * unit);
            }
        }
        cairo_stroke_preserve(context_);
        cairo_restore(context_);
    } else {
        cairo_fill_preserve(context_);
    }
    if (group) {
        cairo_pop_group_to_source(context_);
        cairo_paint_with_alpha(context_, opacity_);
    }
}

void CairoPaintEngine::FillWith(const QBrush& brush) {
    cairo_pattern_t* pattern = SourceFor(brush, brushOrigin_, opacity_);
    if (pattern == nullptr) return;
    if ((hints_ & QPainter::SmoothPixmapTransform) == 0) {
        cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
    }
    PaintSource(pattern, false);
    cairo_pattern_destroy(pattern);
}

void CairoPaintEngine::Stroke() {
    if (pen_.style() == Qt::NoPen) return;
    cairo_pattern_t* pattern = SourceFor(pen_.brush(), brushOrigin_, opacity_);
    PaintSource(pattern, true);
    if (pattern) cairo_pattern_destroy(pattern);
}

void CairoPaintEngine::FillAndStroke(Qt::FillRule rule, bool fill) {
    cairo_set_fill_rule(
        context_, rule == Qt::WindingFill ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
    if (fill && brush_.style() != Qt::NoBrush) {
        // A pattern brush shows the background between its lines when the painter's
        // background is opaque.
        const bool pattern =
            brush_.style() > Qt::SolidPattern && brush_.style() < Qt::LinearGradientPattern;
        if (pattern && backgroundMode_ == Qt::OpaqueMode) FillWith(QBrush(background_.color()));
        FillWith(brush_);
    }
    Stroke();
}

void CairoPaintEngine::drawPath(const QPainterPath& path) {
    std::vector<cairo_path_data_t> data;
    AppendPathData(data, path);
    if (Hold(data, path.controlPointRect(), path.fillRule(), true, false) || !Open()) return;
    AddPath(context_, data);
    FillAndStroke(path.fillRule());
    Shut();
}

void CairoPaintEngine::drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) {
    if (count <= 0) return;
    const bool polyline = mode == PolylineMode;
    std::vector<cairo_path_data_t> data;
    QRectF bounds(points[0], QSizeF());
    AppendMove(data, points[0].x(), points[0].y());
    for (int i = 1; i < count; ++i) {
        AppendLine(data, points[i].x(), points[i].y());
        bounds |= QRectF(points[i], QSizeF());
    }
    if (!polyline) AppendClose(data);
    const Qt::FillRule rule = mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill;
    if (Hold(data, bounds, rule, !polyline, false) || !Open()) return;
    AddPath(context_, data);
    FillAndStroke(rule, !polyline);
    Shut();
}

void CairoPaintEngine::drawRects(const QRectF* rects, int count) {
    if (count <= 0) return;
    // Held one by one: a rectangle's corners reach out no further than a square's.
    int held = 0;
    for (; held < count; ++held) {
        const QRectF& r = rects[held];
        std::vector<cairo_path_data_t> data;
        AppendMove(data, r.x(), r.y());
        AppendLine(data, r.x() + r.width(), r.y());
        AppendLine(data, r.x() + r.width(), r.y() + r.height());
        AppendLine(data, r.x(), r.y() + r.height());
        AppendClose(data);
        if (!Hold(data, r.normalized(), Qt::WindingFill, true, true)) break;
    }
    rects += held;
    count -= held;
    if (count <= 0 || !Open()) return;
    for (int i = 0; i < count; ++i) {
        const QRectF& r = rects[i];
        cairo_rectangle(context_, r.x(), r.y(), r.width(), r.height());
        FillAndStroke(Qt::WindingFill);
        cairo_new_path(context_);
    }
    Shut();
}

void CairoPaintEngine::drawLines(const QLineF* lines, int count) {
    if (count <= 0 || pen_.style() == Qt::NoPen) return;
    std::vector<cairo_path_data_t> data;
    QRectF bounds(lines[0].p1(), QSizeF());
    for (int i = 0; i < count; ++i) {
        AppendMove(data, lines[i].x1(), lines[i].y1());
        AppendLine(data, lines[i].x2(), lines[i].y2());
        bounds |= QRectF(lines[i].p1(), lines[i].p2()).normalized();
    }
    if (Hold(data, bounds, Qt::WindingFill, false, true) || !Open()) return;
    AddPath(context_, data);
    Stroke();
    Shut();
}

void CairoPaintEngine::drawEllipse(const QRectF& rect) {
    QPainterPath path;
    path.addEllipse(rect);
    drawPath(path);
}

void CairoPaintEngine::drawPoints(const QPointF* points, int count) {
    if (count <= 0 || pen_.style() == Qt::NoPen || !Open()) return;
    for (int i = 0; i < count; ++i) {
        cairo_move_to(context_, points[i].x(), points[i].y());
        cairo_line_to(context_, points[i].x(), points[i].y());
    }
    // A point is a dot of the pen's width: round for a round cap, else square.
    const QPen pen = pen_;
    pen_.setStyle(Qt::SolidLine);
    pen_.setCapStyle(pen.capStyle() == Qt::RoundCap ? Qt::RoundCap : Qt::SquareCap);
    Stroke();
    pen_ = pen;
    Shut();
}

void CairoPaintEngine::DrawSurface(const QRectF& target, cairo_surface_t* surface,
                                   const QRectF& source, bool tiled, QPointF offset) {
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS || target.isEmpty() ||
        source.isEmpty() || !Open()) {
        return;
    }
    // Image pixels to the painter's coordinates.
    QTransform imageToUser;
    if (tiled) {
        imageToUser.translate(target.x() - offset.x(), target.y() - offset.y());
    } else {
        imageToUser.translate(target.x(), target.y());
        imageToUser.scale(target.width() / source.width(), target.height() / source.height());
        imageToUser.translate(-source.x(), -source.y());
    }
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
    const cairo_matrix_t matrix = ToCairo(imageToUser.inverted());
    cairo_pattern_set_matrix(pattern, &matrix);
    cairo_pattern_set_extend(pattern, tiled ? CAIRO_EXTEND_REPEAT : CAIRO_EXTEND_NONE);
    cairo_pattern_set_filter(pattern, (hints_ & QPainter::SmoothPixmapTransform)
                                          ? CAIRO_FILTER_GOOD
                                          : CAIRO_FILTER_NEAREST);
    cairo_rectangle(context_, target.x(), target.y(), target.width(), target.height());
    cairo_clip(context_);
    cairo_set_source(context_, pattern);
    cairo_paint_with_alpha(context_, opacity_);
    cairo_pattern_destroy(pattern);
    Shut();
}

void CairoPaintEngine::DrawImageOf(const QRectF& target, const QImage& image, const QRectF& source,
                                   qint64 cacheKey) {
    if (image.isNull()) return;
    cairo_surface_t* surface = SurfaceForImage(image, pen_.color());
    if (cacheKey != 0) MarkUnique(surface, cacheKey);
    DrawSurface(target, surface, source, false, QPointF());
    cairo_surface_destroy(surface);
}

void CairoPaintEngine::drawPixmap(const QRectF& target, const QPixmap& pixmap,
                                  const QRectF& source) {
    const bool bitmap = pixmap.depth() == 1;
    // A bitmap paints its set bits with the pen and, on an opaque background, the rest
    // with the background.
    if (bitmap && backgroundMode_ == Qt::OpaqueMode && Open()) {
        cairo_rectangle(context_, target.x(), target.y(), target.width(), target.height());
        FillWith(background_);
        Shut();
    }
    DrawImageOf(target, pixmap.toImage(), source, bitmap ? 0 : pixmap.cacheKey());
}

void CairoPaintEngine::drawImage(const QRectF& target, const QImage& image, const QRectF& source,
                                 Qt::ImageConversionFlags) {
    // A one-bit image keeps its own colours.
    if (image.depth() == 1) {
        DrawImageOf(target, image.convertToFormat(QImage::Format_ARGB32_Premultiplied), source, 0);
    } else {
        DrawImageOf(target, image, source, image.cacheKey());
    }
}

void CairoPaintEngine::drawTiledPixmap(const QRectF& target, const QPixmap& pixmap,
                                       const QPointF& offset) {
    if (pixmap.isNull()) return;
    cairo_surface_t* surface = SurfaceForImage(pixmap.toImage(), pen_.color());
    DrawSurface(target, surface, QRectF(pixmap.rect()), true, offset);
    cairo_surface_destroy(surface);
}

void CairoPaintEngine::DrawGlyphOutlines(const QTextItemInt& item, const GlyphRun& run) {
    QVarLengthArray<glyph_t> glyphs;
    QVarLengthArray<QFixedPoint> positions;
    for (const cairo_glyph_t& g : run.glyphs) {
        glyphs.append(glyph_t(g.index));
        positions.append(QFixedPoint::fromPointF(QPointF(g.x, g.y)));
    }
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    item.fontEngine->addGlyphsToPath(glyphs.data(), positions.data(), int(glyphs.size()), &path,
                                     item.flags);
    AppendPath(path);
    cairo_set_fill_rule(context_, CAIRO_FILL_RULE_WINDING);
    FillWith(pen_.brush());
}

void CairoPaintEngine::drawTextItem(const QPointF& origin, const QTextItem& textItem) {
    const auto& item = static_cast<const QTextItemInt&>(textItem);
    if (item.fontEngine == nullptr || item.glyphs.numGlyphs <= 0 || pen_.style() == Qt::NoPen) {
        return;
    }
    GlyphRun run = MakeGlyphRun(item, origin);
    if (run.glyphs.empty()) return;
    QFontEngine& engine = *item.fontEngine;
    const qreal size = engine.fontDef.pixelSize;
    cairo_font_face_t* face = faces_.FaceFor(engine, run);
    if (face == nullptr || !(size > 0) || !std::isfinite(size)) {
        if (!Open()) return;
        // Without a font file the shapes still print; the text is not searchable then.
        DrawGlyphOutlines(item, run);
        Shut();
        return;
    }
    double width = size;
    if ((engine.synthesized() & QFontEngine::SynthesizedStretch) && engine.fontDef.stretch > 0) {
        width = size * engine.fontDef.stretch / 100.0;
    }
    // A face without an italic style is slanted as FreeType slants it for the screen.
    const double slant =
        (engine.synthesized() & QFontEngine::SynthesizedItalic) ? -kObliqueSlant * size : 0;
    cairo_matrix_t fontMatrix;
    cairo_matrix_init(&fontMatrix, width, 0, slant, size, 0, 0);
    const std::optional<QRgba64> color = OpaqueColor(pen_.brush());
    if (!color || !Drawable()) {
        DrawRun(face, fontMatrix, run);
        return;
    }
    // The run's line box, and room for ink beyond it (accents, overhangs, the slant).
    const double ascent = engine.ascent().toReal(), descent = engine.descent().toReal();
    const double side = 0.2 * size + std::abs(slant), over = 0.1 * size;
    const QRectF box(origin.x() - side, origin.y() - ascent - over, item.width.toReal() + 2 * side,
                     ascent + descent + 2 * over);
    HeldDrawing drawing;
    drawing.kind = HeldDrawing::Kind::Text;
    drawing.color = *color;
    drawing.transform = transform_;
    drawing.box = transform_.mapRect(box.normalized());
    // Its baseline's upper stretch, widened by an em: text on another line or a word away
    // stays clear of it.
    drawing.line = transform_.mapRect(QRectF(origin.x() - size, origin.y() - ascent / 2,
                                             item.width.toReal() + 2 * size, ascent / 2)
                                          .normalized());
    drawing.face = face;
    drawing.fontMatrix = fontMatrix;
    drawing.run = std::move(run);
    Keep(std::move(drawing));
}

void CairoPaintEngine::DrawRun(cairo_font_face_t* face, const cairo_matrix_t& fontMatrix,
                               const GlyphRun& run) {
    if (!Open()) return;
    cairo_set_font_face(context_, face);
    cairo_set_font_matrix(context_, &fontMatrix);
    cairo_set_font_options(context_, fontOptions_);
    cairo_pattern_t* pattern = SourceFor(pen_.brush(), brushOrigin_, opacity_);
    if (pattern == nullptr) pattern = cairo_pattern_create_rgb(0, 0, 0);
    const bool group = opacity_ < 1 && cairo_pattern_get_type(pattern) != CAIRO_PATTERN_TYPE_SOLID;
    if (group) cairo_push_group(context_);
    cairo_set_source(context_, pattern);
    ShowGlyphRun(context_, run);
    if (group) {
        cairo_pop_group_to_source(context_);
        cairo_paint_with_alpha(context_, opacity_);
    }
    cairo_pattern_destroy(pattern);
    Shut();
}

}  // namespace kavel
