// The shape control of shape items: a line, rectangle or ellipse in the item's box.
#include <QPainter>
#include <algorithm>

#include "control/ModiControls.h"

namespace kavel {

TPRNShape::TPRNShape(QWidget* parent) : QWidget(parent) {
    resize(10, 10);
    setAttribute(Qt::WA_NoMousePropagation);
}

void TPRNShape::SetPenColor(TColor c) {
    pen_.color = c;
    update();
}

void TPRNShape::SetPenWidth(int w) {
    pen_.width = w;
    update();
}

void TPRNShape::SetPenStyle(int style) {
    pen_.style = PenStyleOf(QtPenStyle(style));
    update();
}

Qt::PenStyle TPRNShape::QtPenStyle(int style) {
    switch (style) {
        case psDash:
            return Qt::DashLine;
        case psDot:
            return Qt::DotLine;
        case psDashDot:
            return Qt::DashDotLine;
        case psDashDotDot:
            return Qt::DashDotDotLine;
        default:
            return Qt::SolidLine;
    }
}

TPenStyle TPRNShape::PenStyleOf(Qt::PenStyle style) {
    switch (style) {
        case Qt::DashLine:
            return psDash;
        case Qt::DotLine:
            return psDot;
        case Qt::DashDotLine:
            return psDashDot;
        case Qt::DashDotDotLine:
            return psDashDotDot;
        default:
            return psSolid;
    }
}

QPen TPRNShape::QtPen() const {
    QPen pen(ToQColor(pen_.color));
    pen.setWidth(std::max(0, pen_.width));
    pen.setStyle(QtPenStyle(pen_.style));
    // Wide lines end round; rectangle corners stay square so the outline fills the box.
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

void TPRNShape::SetBrushColor(TColor c) {
    brushColor_ = c;
    update();
}

void TPRNShape::SetShapeType(TPRNShapeType t) {
    shapeType_ = t;
    update();
}

void TPRNShape::SetFigureSize(QSize size) {
    if (size == figure_) return;
    figure_ = size;
    update();
}

QLine TPRNShape::Geometry() const {
    // A negative width is meaningless for a pen; it draws like width 0.
    const int w = std::max(0, pen_.width);
    const int boxWidth = figure_.isValid() ? figure_.width() : width();
    const int boxHeight = figure_.isValid() ? figure_.height() : height();
    if (shapeType_ == cstUpLine || shapeType_ == cstDownLine) {
        // A box no wider than the pen gives a vertical line, one no higher a horizontal one.
        const int x = boxWidth <= w ? 0 : boxWidth;
        const int y = boxHeight <= w ? 0 : boxHeight;
        if (shapeType_ == cstDownLine) return QLine(0, 0, x, y);
        return QLine(0, y, x, 0);
    }
    if (w == 0) return QLine(0, 0, boxWidth, boxHeight);
    // Inset by half the pen so that the whole outline stays inside the box.
    const int h = w / 2;
    return QLine(h, h, boxWidth - w + 1 + h, boxHeight - w + 1 + h);
}

void TPRNShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QtPen());
    const bool solid = shapeType_ == cstSolidRect || shapeType_ == cstSolidEllipse;
    if (solid) {
        painter.setBrush(QBrush(ToQColor(pen_.color), Qt::SolidPattern));
    } else {
        painter.setBrush(Qt::NoBrush);
    }

    const QLine g = Geometry();
    switch (shapeType_) {
        case cstUpLine:
        case cstDownLine:
            painter.drawLine(g);
            return;
        default:
            break;
    }
    // The figure's corners are exclusive at the right and bottom: the outline's centre runs
    // along the last column and row inside them.
    const QRectF figure(g.x1(), g.y1(), g.x2() - 1 - g.x1(), g.y2() - 1 - g.y1());
    if (shapeType_ == cstRect || shapeType_ == cstSolidRect) {
        painter.drawRect(figure);
    } else if (shapeType_ == cstEllipse || shapeType_ == cstSolidEllipse) {
        painter.drawEllipse(figure);
    }
}

}  // namespace kavel
