// Brushes and pictures as cairo sources, for the PDF paint engine. Not for use elsewhere.
#pragma once

#include <cairo.h>

#include <QBrush>
#include <QImage>
#include <QPointF>
#include <QTransform>

namespace kavel {

// Converts between Qt's and cairo's affine matrices (Qt maps row vectors, cairo columns;
// the six numbers are the same).
cairo_matrix_t ToCairo(const QTransform& transform);

// A pattern filling with the brush in the painter's logical coordinates, the brush origin
// and the brush's own transform applied; null for Qt::NoBrush. The caller destroys it.
// Gradients in object coordinates are resolved by the painter before they arrive here;
// conical gradients paint with the colour of their first stop.
cairo_pattern_t* PatternForBrush(const QBrush& brush, QPointF origin);

// An image surface owning a copy of the pixels (premultiplied ARGB, or RGB when the image
// has no alpha), so the document may write it after the image is gone. A one-bit image is
// painted in `ink` where its bits are set and left clear elsewhere. The caller destroys it.
cairo_surface_t* SurfaceForImage(const QImage& image, QColor ink = Qt::black);

}  // namespace kavel
