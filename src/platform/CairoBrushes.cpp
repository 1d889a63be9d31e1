#include "platform/CairoBrushes.h"

#include <QGradient>
#include <QPainter>
#include <cstring>

namespace kavel {

namespace {

void AddStops(cairo_pattern_t* pattern, const QGradient& gradient) {
    for (const auto& [offset, color] : gradient.stops()) {
        cairo_pattern_add_color_stop_rgba(pattern, offset, color.redF(), color.greenF(),
                                          color.blueF(), color.alphaF());
    }
    switch (gradient.spread()) {
        case QGradient::PadSpread:
            cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
            break;
        case QGradient::RepeatSpread:
            cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
            break;
        case QGradient::ReflectSpread:
            cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REFLECT);
            break;
    }
}

cairo_pattern_t* GradientPattern(const QBrush& brush) {
    const QGradient* gradient = brush.gradient();
    cairo_pattern_t* pattern = nullptr;
    if (gradient->type() == QGradient::LinearGradient) {
        const auto* linear = static_cast<const QLinearGradient*>(gradient);
        pattern = cairo_pattern_create_linear(linear->start().x(), linear->start().y(),
                                              linear->finalStop().x(), linear->finalStop().y());
    } else if (gradient->type() == QGradient::RadialGradient) {
        const auto* radial = static_cast<const QRadialGradient*>(gradient);
        pattern = cairo_pattern_create_radial(radial->focalPoint().x(), radial->focalPoint().y(),
                                              radial->focalRadius(), radial->center().x(),
                                              radial->center().y(), radial->centerRadius());
    } else {
        const QGradientStops stops = gradient->stops();
        const QColor color = stops.isEmpty() ? QColor(Qt::black) : stops.first().second;
        return cairo_pattern_create_rgba(color.redF(), color.greenF(), color.blueF(),
                                         color.alphaF());
    }
    AddStops(pattern, *gradient);
    return pattern;
}

// Hatch and dense patterns repeat every eight units, as on the screen.
QImage HatchImage(const QBrush& brush) {
    QImage image(8, 8, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(image.rect(), QBrush(brush.color(), brush.style()));
    return image;
}

}  // namespace

cairo_matrix_t ToCairo(const QTransform& t) {
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy());
    return matrix;
}

cairo_surface_t* SurfaceForImage(const QImage& source, QColor ink) {
    QImage image;
    cairo_format_t format = CAIRO_FORMAT_ARGB32;
    if (source.depth() == 1) {
        image = source.convertToFormat(QImage::Format_Mono);
        image.setColorCount(2);
        image.setColor(0, qRgba(0, 0, 0, 0));
        image.setColor(1, ink.rgba());
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    } else if (source.hasAlphaChannel()) {
        image = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    } else {
        image = source.convertToFormat(QImage::Format_RGB32);
        format = CAIRO_FORMAT_RGB24;
    }
    cairo_surface_t* surface = cairo_image_surface_create(format, image.width(), image.height());
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) return surface;
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const size_t rowBytes = size_t(image.width()) * 4;
    for (int y = 0; y < image.height(); ++y) {
        std::memcpy(data + size_t(y) * stride, image.constScanLine(y), rowBytes);
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

cairo_pattern_t* PatternForBrush(const QBrush& brush, QPointF origin) {
    cairo_pattern_t* pattern = nullptr;
    switch (brush.style()) {
        case Qt::NoBrush:
            return nullptr;
        case Qt::SolidPattern: {
            const QColor color = brush.color();
            return cairo_pattern_create_rgba(color.redF(), color.greenF(), color.blueF(),
                                             color.alphaF());
        }
        case Qt::LinearGradientPattern:
        case Qt::RadialGradientPattern:
        case Qt::ConicalGradientPattern:
            pattern = GradientPattern(brush);
            break;
        case Qt::TexturePattern: {
            cairo_surface_t* surface = SurfaceForImage(brush.textureImage(), brush.color());
            pattern = cairo_pattern_create_for_surface(surface);
            cairo_surface_destroy(surface);
            cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
            break;
        }
        default: {
            cairo_surface_t* surface = SurfaceForImage(HatchImage(brush));
            pattern = cairo_pattern_create_for_surface(surface);
            cairo_surface_destroy(surface);
            cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
            cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
            break;
        }
    }
    // The pattern's matrix maps the painter's coordinates to the brush's own.
    const QTransform brushToUser =
        brush.transform() * QTransform::fromTranslate(origin.x(), origin.y());
    bool invertible = false;
    const QTransform userToBrush = brushToUser.inverted(&invertible);
    if (invertible) {
        const cairo_matrix_t matrix = ToCairo(userToBrush);
        cairo_pattern_set_matrix(pattern, &matrix);
    }
    return pattern;
}

}  // namespace kavel
