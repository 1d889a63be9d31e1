// The shape control: figure geometry, painted pixels and the pen style mapping.
#include <QImage>
#include <QPainter>

#include "ItemTestSupport.h"

namespace kavel::test {
namespace {

// Paints the shape on white and answers the picture.
QImage Paint(TPRNShape& shape) {
    QImage image(shape.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    shape.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

bool IsInk(const QImage& image, int x, int y, QColor ink = Qt::black) {
    return image.pixelColor(x, y) == ink;
}

TEST(ShapeTest, FigureCornersFollowThePenWidth) {
    struct Case {
        TPRNShapeType type;
        int width, height, pen;
        QLine expected;
    };
    const Case cases[] = {
        {cstRect, 60, 30, 3, QLine(1, 1, 59, 29)},
        {cstRect, 60, 30, 1, QLine(0, 0, 60, 30)},
        {cstRect, 60, 30, 0, QLine(0, 0, 60, 30)},
        {cstEllipse, 60, 30, 4, QLine(2, 2, 59, 29)},
        {cstSolidRect, 60, 30, 5, QLine(2, 2, 58, 28)},
        {cstUpLine, 60, 30, 1, QLine(0, 30, 60, 0)},
        {cstDownLine, 60, 30, 1, QLine(0, 0, 60, 30)},
        // A box no wider than the pen is a vertical line, one no higher a horizontal one.
        {cstUpLine, 3, 30, 3, QLine(0, 30, 0, 0)},
        {cstDownLine, 60, 1, 1, QLine(0, 0, 60, 0)},
        {cstDownLine, 60, 2, 1, QLine(0, 0, 60, 2)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << int(c.type) << " " << c.width << "x" << c.height << " pen " << c.pen);
        TPRNShape shape(nullptr);
        shape.resize(c.width, c.height);
        shape.SetShapeType(c.type);
        shape.SetPenWidth(c.pen);
        EXPECT_EQ(shape.Geometry(), c.expected);
    }
}

TEST(ShapeTest, PaintedFiguresStayInTheirBoxAndOnlySolidOnesFill) {
    TPRNShape shape(nullptr);
    shape.resize(60, 30);
    shape.SetShapeType(cstRect);
    shape.SetPenWidth(3);
    shape.SetBrushColor(clSilver);  // the designer's marking does not fill a figure
    QImage image = Paint(shape);
    // The three-pixel outline runs along the box's outermost pixels and stays inside.
    for (const QPoint& p : {QPoint(0, 0), QPoint(2, 2), QPoint(59, 29), QPoint(57, 15)}) {
        EXPECT_TRUE(IsInk(image, p.x(), p.y())) << p.x() << "," << p.y();
    }
    EXPECT_FALSE(IsInk(image, 3, 15));
    EXPECT_FALSE(IsInk(image, 30, 26));
    shape.SetShapeType(cstSolidEllipse);
    shape.SetPenColor(RGBColor(255, 0, 0));
    EXPECT_TRUE(IsInk(Paint(shape), 30, 15, QColor(255, 0, 0)));
    shape.SetShapeType(cstUpLine);
    shape.SetPenWidth(-4);  // paints like a thin pen
    image = Paint(shape);
    EXPECT_TRUE(IsInk(image, 58, 1, QColor(255, 0, 0)) || IsInk(image, 59, 0, QColor(255, 0, 0)));
    EXPECT_FALSE(IsInk(image, 1, 1, QColor(255, 0, 0)));
}

TEST(ShapeTest, PenStyleMapsBothWays) {
    struct Case {
        int code;
        Qt::PenStyle qt;
        int stored;
    };
    const Case cases[] = {{0, Qt::SolidLine, psSolid},
                          {1, Qt::DashLine, psDash},
                          {2, Qt::DotLine, psDot},
                          {3, Qt::DashDotLine, psDashDot},
                          {4, Qt::DashDotDotLine, psDashDotDot},
                          {5, Qt::SolidLine, psSolid},
                          {-1, Qt::SolidLine, psSolid}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        TPRNShape shape(nullptr);
        shape.SetPenStyle(c.code);
        EXPECT_EQ(shape.PenStyle(), c.stored);
        EXPECT_EQ(shape.QtPen().style(), c.qt);
        EXPECT_EQ(TPRNShape::PenStyleOf(c.qt), c.stored);
    }
    EXPECT_EQ(TPRNShape::PenStyleOf(Qt::NoPen), psSolid);
    EXPECT_EQ(TPRNShape::PenStyleOf(Qt::CustomDashLine), psSolid);
}

}  // namespace
}  // namespace kavel::test
