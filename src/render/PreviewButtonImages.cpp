#include "render/PreviewButtonImages.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

namespace kavel {

namespace {

void DrawSheet(QPainter& p, const QRectF& r) {
    p.setPen(QPen(QColor(70, 70, 70), 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    for (double y = r.top() + 3; y < r.bottom() - 1.5; y += 2.5) {
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
    }
}

void DrawArrowHead(QPainter& p, QPointF tip, QPointF dir) {
    const QPointF side(-dir.y(), dir.x());
    QPolygonF head;
    head << tip << tip - dir * 3 + side * 2.5 << tip - dir * 3 - side * 2.5;
    p.drawPolygon(head);
}

void DrawDoubleArrow(QPainter& p, QPointF a, QPointF b) {
    const QColor blue(30, 100, 200);
    p.setPen(QPen(blue, 1.4));
    p.setBrush(blue);
    QPointF dir = b - a;
    dir /= std::hypot(dir.x(), dir.y());
    p.drawLine(a + dir * 2, b - dir * 2);
    DrawArrowHead(p, b, dir);
    DrawArrowHead(p, a, -dir);
}

void DrawLens(QPainter& p, int sign) {
    p.setPen(QPen(QColor(90, 60, 30), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(QColor(205, 228, 250));
    p.drawEllipse(QPointF(6.5, 6.5), 5, 5);
    p.setPen(QPen(QColor(20, 20, 20), 1.6));
    p.drawLine(QPointF(4, 6.5), QPointF(9, 6.5));
    if (sign > 0) p.drawLine(QPointF(6.5, 4), QPointF(6.5, 9));
}

void DrawTriangle(QPainter& p, bool left, double x) {
    const QColor blue(30, 100, 200);
    p.setPen(QPen(blue.darker(130), 1));
    p.setBrush(blue);
    QPolygonF t;
    if (left) {
        t << QPointF(x, 8) << QPointF(x + 7, 2.5) << QPointF(x + 7, 13.5);
    } else {
        t << QPointF(x + 7, 8) << QPointF(x, 2.5) << QPointF(x, 13.5);
    }
    p.drawPolygon(t);
}

void DrawGear(QPainter& p) {
    QPainterPath gear;
    const QPointF c(8, 8);
    for (int i = 0; i < 16; ++i) {
        const double r = (i % 2 == 0) ? 7.2 : 5.2;
        for (int k = 0; k < 2; ++k) {
            const double a = (i + k * 0.9) * M_PI / 8 - M_PI / 16;
            const QPointF pt = c + QPointF(std::cos(a), std::sin(a)) * r;
            if (i == 0 && k == 0) {
                gear.moveTo(pt);
            } else {
                gear.lineTo(pt);
            }
        }
    }
    gear.closeSubpath();
    gear.addEllipse(c, 2.2, 2.2);
    gear.setFillRule(Qt::OddEvenFill);
    p.setPen(QPen(QColor(60, 60, 60), 0.8));
    p.setBrush(QColor(150, 155, 165));
    p.drawPath(gear);
}

void DrawPrinter(QPainter& p) {
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(120, 125, 135));
    p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1.5, 1.5);
    p.setBrush(QColor(90, 200, 90));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(11, 8, 2, 1.5));
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 10.5, 7, 4.5));
}

void DrawQuit(QPainter& p) {
    p.setPen(QPen(QColor(200, 40, 40), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
}

}  // namespace

QIcon GlyphIcon(Glyph glyph) {
    // Drawn at twice the size so that the images stay sharp on high-density screens.
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(2, 2);
    switch (glyph) {
        case Glyph::FitHeight:
            DrawSheet(p, QRectF(6.5, 1.5, 8, 13));
            DrawDoubleArrow(p, QPointF(3, 1.5), QPointF(3, 14.5));
            break;
        case Glyph::Normal:
            DrawSheet(p, QRectF(3.5, 1.5, 9, 13));
            break;
        case Glyph::FitWidth:
            DrawSheet(p, QRectF(2.5, 1.5, 11, 9));
            DrawDoubleArrow(p, QPointF(1, 13.5), QPointF(15, 13.5));
            break;
        case Glyph::ZoomIn:
            DrawLens(p, 1);
            break;
        case Glyph::ZoomOut:
            DrawLens(p, -1);
            break;
        case Glyph::First:
            p.fillRect(QRectF(3, 2.5, 2, 11), QColor(30, 100, 200));
            DrawTriangle(p, true, 6);
            break;
        case Glyph::Prior:
            DrawTriangle(p, true, 4.5);
            break;
        case Glyph::Next:
            DrawTriangle(p, false, 4.5);
            break;
        case Glyph::Last:
            DrawTriangle(p, false, 3);
            p.fillRect(QRectF(11, 2.5, 2, 11), QColor(30, 100, 200));
            break;
        case Glyph::Setup:
            DrawGear(p);
            break;
        case Glyph::Print:
            DrawPrinter(p);
            break;
        case Glyph::Quit:
            DrawQuit(p);
            break;
    }
    p.end();
    pixmap.setDevicePixelRatio(2.0);
    return QIcon(pixmap);
}

}  // namespace kavel
