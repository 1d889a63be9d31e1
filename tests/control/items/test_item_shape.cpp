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
        {cstDownLine, 60, 2, 1, QLine(0, 0, 60, 2)},
    };
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

TEST(ShapeTest, ThickRectangleOutlineFillsTheBoxEdge) {
    TPRNShape shape(nullptr);
    shape.resize(60, 30);
    shape.SetShapeType(cstRect);
    shape.SetPenWidth(3);
    ASSERT_EQ(shape.Geometry(), QLine(1, 1, 59, 29));
    const QImage image = Paint(shape);

    // The three-pixel outline runs along the box's outermost pixels and stays inside.
    for (int x : {0, 1, 2, 30, 57, 58, 59}) {
        EXPECT_TRUE(IsInk(image, x, 0)) << x;
        EXPECT_TRUE(IsInk(image, x, 29)) << x;
    }
    for (int y : {0, 2, 15, 27, 29}) {
        EXPECT_TRUE(IsInk(image, 0, y)) << y;
        EXPECT_TRUE(IsInk(image, 59, y)) << y;
    }
    EXPECT_TRUE(IsInk(image, 2, 15));
    EXPECT_TRUE(IsInk(image, 57, 15));
    EXPECT_TRUE(IsInk(image, 30, 2));
    EXPECT_TRUE(IsInk(image, 30, 27));
    // Inside the outline the brush is clear.
    EXPECT_FALSE(IsInk(image, 3, 15));
    EXPECT_FALSE(IsInk(image, 56, 15));
    EXPECT_FALSE(IsInk(image, 30, 3));
    EXPECT_FALSE(IsInk(image, 30, 26));
}

TEST(ShapeTest, OnlySolidTypesFillInThePenColour) {
    const QColor red(255, 0, 0);
    struct Case {
        TPRNShapeType type;
        bool filled;
    };
    for (const Case& c : {Case{cstRect, false}, Case{cstEllipse, false}, Case{cstSolidRect, true},
                          Case{cstSolidEllipse, true}}) {
        SCOPED_TRACE(int(c.type));
        TPRNShape shape(nullptr);
        shape.resize(60, 30);
        shape.SetShapeType(c.type);
        shape.SetPenWidth(1);
        shape.SetPenColor(RGBColor(255, 0, 0));
        // A silver brush (the designer's marking) does not fill a non-solid figure.
        shape.SetBrushColor(clSilver);
        const QImage image = Paint(shape);
        EXPECT_EQ(IsInk(image, 30, 15, red), c.filled);
        EXPECT_TRUE(IsInk(image, 30, 15, c.filled ? red : QColor(Qt::white)));
    }
}

TEST(ShapeTest, LinesRunBetweenTheirCorners) {
    TPRNShape shape(nullptr);
    shape.resize(60, 30);
    shape.SetPenWidth(1);
    shape.SetShapeType(cstUpLine);
    QImage up = Paint(shape);
    EXPECT_TRUE(IsInk(up, 58, 1) || IsInk(up, 59, 0));
    EXPECT_FALSE(IsInk(up, 1, 1));
    shape.SetShapeType(cstDownLine);
    QImage down = Paint(shape);
    EXPECT_TRUE(IsInk(down, 0, 0));
    EXPECT_FALSE(IsInk(down, 59, 0));

    // A flat box draws a horizontal line along the top.
    shape.resize(60, 1);
    QImage flat = Paint(shape);
    EXPECT_TRUE(IsInk(flat, 0, 0));
    EXPECT_TRUE(IsInk(flat, 59, 0));
}

TEST(ShapeTest, PenStyleMapsBothWays) {
    struct Case {
        int code;
        Qt::PenStyle qt;
        int stored;
    };
    const Case cases[] = {
        {0, Qt::SolidLine, psSolid},
        {1, Qt::DashLine, psDash},
        {2, Qt::DotLine, psDot},
        {3, Qt::DashDotLine, psDashDot},
        {4, Qt::DashDotDotLine, psDashDotDot},
        {5, Qt::SolidLine, psSolid},
        {9, Qt::SolidLine, psSolid},
        {-1, Qt::SolidLine, psSolid},
    };
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

TEST(ShapeTest, NegativePenWidthPaintsLikeAThinPen) {
    TPRNShape shape(nullptr);
    shape.resize(20, 10);
    shape.SetShapeType(cstRect);
    shape.SetPenWidth(-4);
    EXPECT_EQ(shape.Geometry(), QLine(0, 0, 20, 10));
    const QImage image = Paint(shape);
    EXPECT_TRUE(IsInk(image, 0, 0));
    EXPECT_FALSE(IsInk(image, 10, 5));
}

}  // namespace
}  // namespace kavel::test
