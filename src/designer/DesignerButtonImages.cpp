#include "designer/DesignerButtonImages.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolButton>
#include <functional>

namespace kavel {

namespace {

const QColor kInk(40, 40, 40);
const QColor kBlue(30, 100, 200);

using Drawing = std::function<void(QPainter&)>;

QIcon Draw(const Drawing& draw, int w = 16, int h = 16) {
    QPixmap pixmap(w, h);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return QIcon(pixmap);
}

// An arrow from the centre towards (dx, dy).
Drawing Arrow(int dx, int dy) {
    return [=](QPainter& p) {
        const QPointF c(8, 8), dir(dx, dy), side(-dy, dx);
        p.setPen(QPen(kBlue, 2));
        p.drawLine(c - dir * 5, c + dir * 3);
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        QPolygonF head;
        head << c + dir * 7 << c + dir * 2 + side * 4 << c + dir * 2 - side * 4;
        p.drawPolygon(head);
    };
}

// A small triangle for the up and down buttons beside the boxes.
Drawing Triangle(bool up) {
    return [=](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        QPolygonF t;
        if (up) {
            t << QPointF(1.5, 7) << QPointF(9.5, 7) << QPointF(5.5, 3);
        } else {
            t << QPointF(1.5, 3) << QPointF(9.5, 3) << QPointF(5.5, 7);
        }
        p.drawPolygon(t);
    };
}

Drawing Letter(const QString& letter, bool bold, bool italic, bool underline) {
    return [=](QPainter& p) {
        QFont f(QStringLiteral("Liberation Serif"));
        f.setPixelSize(13);
        f.setBold(bold);
        f.setItalic(italic);
        f.setUnderline(underline);
        p.setFont(f);
        p.setPen(kInk);
        p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, letter);
    };
}

// Text lines aligned left (0), centred (1) or right (2).
Drawing Lines(int align) {
    return [=](QPainter& p) {
        p.setPen(QPen(kInk, 1.2));
        const int widths[] = {12, 8, 12, 6};
        for (int i = 0; i < 4; ++i) {
            const int w = widths[i];
            const int x = align == 0 ? 2 : align == 1 ? 8 - w / 2 : 14 - w;
            p.drawLine(QPointF(x, 3.5 + i * 3), QPointF(x + w, 3.5 + i * 3));
        }
    };
}

Drawing Dash(Qt::PenStyle style) {
    return [=](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(kInk, 1, style));
        p.drawLine(1, 8, 15, 8);
    };
}

// Two boxes lined up: along one edge (arrange) or made the same size.
Drawing Boxes(bool horizontal, bool sameSize) {
    return [=](QPainter& p) {
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(200, 220, 245));
        if (horizontal) {
            p.drawRect(QRectF(3.5, 2.5, sameSize ? 10 : 8, 4));
            p.drawRect(QRectF(3.5, 9.5, sameSize ? 10 : 11, 4));
            p.setPen(QPen(kBlue, 1.4));
            if (sameSize) {
                p.drawLine(QPointF(3.5, 15), QPointF(13.5, 15));
            } else {
                p.drawLine(QPointF(1.5, 1), QPointF(1.5, 15));
            }
        } else {
            p.drawRect(QRectF(2.5, 3.5, 4, sameSize ? 10 : 8));
            p.drawRect(QRectF(9.5, 3.5, 4, sameSize ? 10 : 11));
            p.setPen(QPen(kBlue, 1.4));
            if (sameSize) {
                p.drawLine(QPointF(15, 3.5), QPointF(15, 13.5));
            } else {
                p.drawLine(QPointF(1, 1.5), QPointF(15, 1.5));
            }
        }
    };
}

void Picture(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(220, 238, 255));
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 150, 60));
    QPolygonF hill;
    hill << QPointF(2, 13) << QPointF(7, 7) << QPointF(11, 11) << QPointF(14, 9) << QPointF(14, 13);
    p.drawPolygon(hill);
    p.setBrush(QColor(240, 180, 40));
    p.drawEllipse(QPointF(11, 5.5), 1.6, 1.6);
}

void Pencil(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(250, 200, 70));
    QPolygonF body;
    body << QPointF(3, 13) << QPointF(4, 10) << QPointF(12, 2) << QPointF(14, 4) << QPointF(6, 12);
    p.drawPolygon(body);
}

void HeadFoot(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 0.5, 11, 15));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(QRectF(3, 1, 10, 3));
    p.drawRect(QRectF(3, 12, 10, 3));
}

void About(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    QFont f;
    f.setPixelSize(11);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
}

void Colours(QPainter& p) {
    const QColor colours[] = {QColor(220, 40, 40), QColor(40, 160, 40), QColor(40, 80, 220),
                              QColor(240, 200, 0)};
    for (int i = 0; i < 4; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(colours[i]);
        p.drawRect(QRectF(1 + (i % 2) * 7.5, 1 + (i / 2) * 7.5, 6.5, 6.5));
    }
}

void Undo(QPainter& p) {
    p.setPen(QPen(kBlue, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(3, 4, 10, 9), 90 * 16, -240 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    QPolygonF head;
    head << QPointF(2, 3) << QPointF(8, 2) << QPointF(6, 8);
    p.drawPolygon(head);
}

void Pin(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(220, 50, 50));
    p.drawEllipse(QRectF(4, 1.5, 8, 7));
    p.setPen(QPen(kInk, 1.5));
    p.drawLine(QPointF(8, 8.5), QPointF(8, 15));
}

}  // namespace

void SetDesignerButtonImages(QWidget* form) {
    const std::pair<const char*, Drawing> images[] = {
        {"BTRight", Arrow(1, 0)},
        {"BTLeft", Arrow(-1, 0)},
        {"BTUp", Arrow(0, -1)},
        {"BTDown", Arrow(0, 1)},
        {"SpeedColor", Colours},
        {"ToolBold", Letter("B", true, false, false)},
        {"ToolItalic", Letter("I", false, true, false)},
        {"ToolUnderline", Letter("U", false, false, true)},
        {"TAligtLeft", Lines(0)},
        {"TAligtCenter", Lines(1)},
        {"TAligtRight", Lines(2)},
        {"ToolDshSolid", Dash(Qt::SolidLine)},
        {"ToolDshDash", Dash(Qt::DashLine)},
        {"ToolDshDot", Dash(Qt::DotLine)},
        {"ToolDshDashDot", Dash(Qt::DashDotLine)},
        {"ToolDshDashDotDot", Dash(Qt::DashDotDotLine)},
        {"ToolBnLeftRight", Boxes(true, false)},
        {"ToolBnUpDown", Boxes(false, false)},
        {"ToolBnWidth", Boxes(true, true)},
        {"ToolBnHeight", Boxes(false, true)},
        {"ToolButtonGrandImage", Picture},
        {"ToolButtonDesign", Pencil},
        {"ToolButtonHeadFoot", HeadFoot},
        {"ToolABout", About},
        {"ToolButtonDefault", Undo},
        {"LockButton", Pin},
    };
    for (const auto& [name, draw] : images) {
        if (auto* b = form->findChild<QToolButton*>(QString::fromLatin1(name)))
            b->setIcon(Draw(draw));
    }
    for (const char* name :
         {"UpFontSizeButton", "UpAngleButton", "UpWidthButton", "UpHeightButton"}) {
        if (auto* b = form->findChild<QToolButton*>(QString::fromLatin1(name))) {
            b->setIcon(Draw(Triangle(true), 11, 10));
            b->setIconSize(QSize(11, 10));
        }
    }
    for (const char* name :
         {"DownFontSizeButton", "DownAngleButton", "DownWidthButton", "DownHeightButton"}) {
        if (auto* b = form->findChild<QToolButton*>(QString::fromLatin1(name))) {
            b->setIcon(Draw(Triangle(false), 11, 10));
            b->setIconSize(QSize(11, 10));
        }
    }
}

}  // namespace kavel
