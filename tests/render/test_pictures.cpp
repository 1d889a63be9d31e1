// Pictures and HTML bitmaps on pages: the three image modes and slices over pages.
#include "PageInk.h"
#include "control/ControlFixture.h"

namespace kavel::test {
namespace {

class Pictures : public PaperPrinterTest {
  protected:
    void SetUp() override {
        ControlTest::SetUp();
        UsePaper("pictures");
    }
    static QImage Solid(int w, int h) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::black);
        return image;
    }
};

TEST_F(Pictures, ProportionalPicturesShrinkButNeverGrow) {
    Call("ADD_PRINT_IMAGE", {100, 100, 100, 100, "a picture"});
    Call("ADD_PRINT_IMAGE", {300, 100, 500, 500, "a picture"});
    Call("SET_PRINT_STYLE", {"Stretch", 2});
    Call("SET_PRINT_STYLEA", {1, "Stretch", 2});
    Call("SET_PRINT_STYLEA", {2, "Stretch", 2});
    Item(1).ImageBox()->SetPicture(Solid(400, 200));
    Item(2).ImageBox()->SetPicture(Solid(400, 200));
    const QList<QImage> pages = Print();
    ASSERT_EQ(pages.size(), 1);
    const QRect small = InkBounds(pages[0], QRect(0, 0, 794, 250));
    EXPECT_NEAR(small.width(), 100, 2);
    EXPECT_NEAR(small.height(), 50, 2);
    const QRect large = InkBounds(pages[0], QRect(0, 280, 794, 600));
    EXPECT_NEAR(large.width(), 400, 2);
    EXPECT_NEAR(large.height(), 200, 2);
    EXPECT_NEAR(large.left(), 101, 1);  // drawn one pixel in from the item's corner
}

TEST_F(Pictures, CroppedPicturesShowTheirTopLeftAndStretchedOnesFillTheItem) {
    QImage quarters(400, 400, QImage::Format_RGB32);
    quarters.fill(Qt::white);
    {
        QPainter p(&quarters);
        p.fillRect(0, 0, 50, 50, Qt::black);  // only the top-left corner is dark
    }
    Call("ADD_PRINT_IMAGE", {100, 100, 100, 100, "crop"});
    Call("ADD_PRINT_IMAGE", {400, 100, 300, 150, "stretch"});
    Call("SET_PRINT_STYLEA", {2, "Stretch", 1});
    Item(1).ImageBox()->SetPicture(quarters);
    Item(2).ImageBox()->SetPicture(Solid(10, 10));
    const QList<QImage> pages = Print();
    ASSERT_EQ(pages.size(), 1);
    const QRect crop = InkBounds(pages[0], QRect(0, 0, 794, 300));
    EXPECT_NEAR(crop.width(), 50, 2);
    EXPECT_NEAR(crop.left(), 101, 1);
    const QRect stretch = InkBounds(pages[0], QRect(0, 350, 794, 400));
    EXPECT_NEAR(stretch.width(), 300, 2);
    EXPECT_NEAR(stretch.height(), 150, 2);
}

TEST_F(Pictures, TallHtmlBitmapsGoOnInSlicesOverPages) {
    Call("SET_PRINT_PAPER", {0, 0, 794, 1000, "pictures"});
    Call("SET_PRINT_PAGESIZE", {1, 2100, 2646, ""});  // 1000 pixels high at 96 per inch
    Call("ADD_PRINT_HTML", {0, 0, 200, 1000, "<div>tall</div>"});
    QImage tall(200, 2500, QImage::Format_RGB32);
    tall.fill(Qt::white);
    {
        QPainter p(&tall);
        p.fillRect(0, 2400, 200, 100, Qt::black);  // ink only at the very end
    }
    Item(1).ImageBox()->SetPicture(tall);
    const QList<QImage> pages = Print();
    ASSERT_EQ(pages.size(), 3);
    EXPECT_FALSE(HasInk(pages[0], QRect()));
    EXPECT_FALSE(HasInk(pages[1], QRect()));
    const QRect end = InkBounds(pages[2]);
    EXPECT_NEAR(end.top(), 401, 2);  // 2400 - 2000, one pixel in
    EXPECT_NEAR(end.bottom(), 500, 2);
}

TEST_F(Pictures, ItemsWithoutConvertedContentPrintNothingAndEnd) {
    Call("ADD_PRINT_HTM", {100, 100, 300, 300, "<p>later</p>"});
    Call("ADD_PRINT_TABLE", {100, 100, 300, 300, "<table><tr><td>x</td></tr></table>"});
    Call("ADD_PRINT_TEXT", {100, 500, 100, 20, "text"});
    const QList<QImage> pages = Print();
    ASSERT_EQ(pages.size(), 1);
    EXPECT_FALSE(HasInk(pages[0], QRect(90, 90, 320, 320)));
}

}  // namespace
}  // namespace kavel::test
