// The preview control: zoom arithmetic, page walking, and refitting and centring as the
// control changes size.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>

#include "PageInk.h"
#include "common/TestSupport.h"
#include "platform/PaperSizes.h"
#include "platform/VirtualPrinterSystem.h"
#include "render/kvlPreviewUnit.h"
#include "render/kvlPrintrUnit.h"

namespace kavel {
namespace {

TEST(PreviewArithmetic, ZoomStepsAmongFixedStepsAndFits) {
    struct Case {
        int zoom, fitWidth, fitPage;
        std::optional<TZoomState> in, out;
    };
    const Case cases[] = {// The fit width lies between 100 and the next step: it comes first.
                          {100, 120, 80, cZoomWidth, cZoomHeight},
                          {120, 120, 80, cZoom150, cZoom100},
                          {80, 120, 80, cZoom100, cZoom75},
                          // Equal fits: fit width wins both ways.
                          {100, 130, 130, cZoomWidth, cZoom75},
                          {200, 170, 170, cZoom300, cZoomWidth},
                          // A fit equal to the candidate loses to it.
                          {100, 150, 75, cZoom150, cZoom75},
                          // A fit below the zoom (in) or above it (out) is no candidate.
                          {300, 250, 400, cZoomHeight, cZoomWidth},
                          // Ends of the scale.
                          {500, 90, 90, std::nullopt, cZoom300},
                          {600, 700, 800, std::nullopt, cZoom500},
                          {25, 10, 20, cZoom50, std::nullopt},
                          {10, 20, 15, cZoomHeight, std::nullopt},
                          {0, 0, 0, cZoom25, std::nullopt}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "zoom " << c.zoom << " fits " << c.fitWidth << "/" << c.fitPage);
        EXPECT_EQ(ZoomInStep(c.zoom, c.fitWidth, c.fitPage), c.in);
        EXPECT_EQ(ZoomOutStep(c.zoom, c.fitWidth, c.fitPage), c.out);
    }
}

TEST(PreviewArithmetic, FitsImageSizeCentringAndPaperColours) {
    // 600 x 400 page in a 600 x 400 control: 94 % of the width, 96 % of the page.
    EXPECT_EQ(ComputeFits({600, 400}, 0, false, {600, 400}).fitWidth, 94);
    EXPECT_EQ(ComputeFits({600, 400}, 0, false, {600, 400}).fitPage, 96);
    // Strips beside the page widen it: 600 / 640 × 94 = 88.1.
    EXPECT_EQ(ComputeFits({600, 400}, 20, false, {600, 400}).fitWidth, 88);
    // Strips across make it taller: min(400 / 440, 600 / 600) × 96 = 87.3.
    EXPECT_EQ(ComputeFits({600, 400}, 20, true, {600, 400}).fitPage, 87);
    EXPECT_EQ(ComputeFits({600, 400}, 20, true, {600, 400}).fitWidth, 94);
    // Halves go to the even neighbour: 1 / 4 × 94 = 23.5 and 3 / 4 × 94 = 70.5.
    EXPECT_EQ(ComputeFits({4, 1000}, 0, false, {1, 1000}).fitWidth, 24);
    EXPECT_EQ(ComputeFits({4, 1000}, 0, false, {3, 1000}).fitWidth, 70);
    EXPECT_EQ(PreviewImageSize({794, 1123}, 50, 0, false), QSize(399, 564));     // 397, 561.5
    EXPECT_EQ(PreviewImageSize({794, 1123}, 100, 20, false), QSize(834, 1123));  // strips beside
    EXPECT_EQ(PreviewImageSize({794, 529}, 200, 20, true), QSize(1588, 1098));   // not scaled
    EXPECT_EQ(PreviewImageOrigin({1000, 800}, {399, 564}), QPoint(300, 118));
    EXPECT_EQ(PreviewImageOrigin({1000, 800}, {1200, 900}), QPoint(0, 0));
    // Shadows divide each colour byte by 1.3 and keep the top byte (system colour flags).
    EXPECT_EQ(DarkenColor(RGBColor(130, 13, 255)), RGBColor(100, 10, 196));
    EXPECT_EQ(static_cast<uint32_t>(DarkenColor(static_cast<TColor>(0x01FFFFFF))), 0x01C4C4C4u);
    const QList<QRect> holes = StripHoles(20, 300);  // d = 5, 300 / 30 = 10 holes
    ASSERT_EQ(holes.size(), 10);
    EXPECT_EQ(holes[0], QRect(5, 5, 10, 10));
    EXPECT_EQ(holes[9], QRect(5, 275, 10, 10));
    EXPECT_TRUE(StripHoles(1, 300).isEmpty());  // d rounds to 0
}

// One A4 printer, the default (every test starts in a world of its own).
class PreviewControlTest : public ::testing::Test {
  protected:
    void SetUp() override { test::UsePrinters(test::MakePrinters({"Office A4"})); }
    // A target holding `pages` pages, told apart by their bars (RecordBars).
    static std::unique_ptr<TKVPrinter> Recorded(int pages) {
        auto target = std::make_unique<TKVPrinter>(TPrintOption{}, 96, test::SharedContext());
        test::RecordBars(*target, pages);
        return target;
    }
    // The page image as painted.
    static QImage Painted(TkvlPreview& preview) {
        return preview.Image()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    // A preview of the given size on the screen.
    static void Show(TkvlPreview& preview, QSize size) {
        preview.resize(size);
        preview.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    }
};

TEST_F(PreviewControlTest, PagesOutsideTheSourceAreIgnoredAndANewSourceDropsThePage) {
    TkvlPreview preview;
    preview.SetPageNumber(2);  // no source yet
    EXPECT_EQ(preview.PageNumber(), 1);
    preview.SetSource(Recorded(3));
    ASSERT_NE(preview.Image()->Picture(), nullptr);
    for (int wrong : {0, -1, 4}) {
        preview.SetPageNumber(wrong);
        EXPECT_EQ(preview.PageNumber(), 1) << wrong;
    }
    preview.SetPageNumber(3);
    EXPECT_EQ(preview.PageNumber(), 3);
    preview.SetZoomState(cZoom100);
    const QImage image = Painted(preview);
    EXPECT_EQ(image.pixelColor(25, 5), QColor(Qt::black));  // only page 3's bar reaches here
    EXPECT_EQ(image.pixelColor(35, 5), QColor(Qt::white));
    preview.SetSource(Recorded(0));
    EXPECT_EQ(preview.Image()->Picture(), nullptr);
}

TEST_F(PreviewControlTest, FinishedPagesAppearWhileRecording) {
    TkvlPreview preview;
    auto owned = std::make_unique<TKVPrinter>(TPrintOption{}, 96, test::SharedContext());
    TKVPrinter* target = owned.get();
    preview.SetSource(std::move(owned));
    target->BeginDoc();
    target->NewPage();
    QCoreApplication::processEvents();
    EXPECT_EQ(preview.Image()->Picture(), nullptr);  // page 1 is still open
    target->NewPage();
    QCoreApplication::processEvents();
    EXPECT_NE(preview.Image()->Picture(), nullptr);
    target->EndDoc();
    EXPECT_EQ(preview.PageSize(), QSizeF(794, 1123));
}

TEST_F(PreviewControlTest, ResizeRefitsAFitStateAndRecentresAFixedOne) {
    TkvlPreview preview;
    Show(preview, QSize(1014, 935));
    preview.SetSource(Recorded(1));
    preview.SetZoomState(cZoomHeight);
    EXPECT_EQ(preview.Zoom(), 80);  // A4 at 96 per inch
    preview.resize(1014, 500);
    QCoreApplication::processEvents();
    EXPECT_EQ(preview.Zoom(), 43);  // 500 / 1123 × 96 = 42.7
    preview.SetZoomState(cZoom50);
    EXPECT_EQ(preview.Image()->pos(), QPoint(307, 0));  // taller than the control
    preview.resize(1200, 800);
    QCoreApplication::processEvents();
    EXPECT_EQ(preview.Zoom(), 50);
    EXPECT_EQ(preview.Image()->pos(), QPoint(400, 118));
    // A page larger than the control scrolls; a new layout returns to the top.
    preview.resize(400, 300);
    preview.SetZoomState(cZoom200);
    QScrollBar* vertical = preview.verticalScrollBar();
    EXPECT_GT(vertical->maximum(), 1900);  // 2248 high
    vertical->setValue(120);
    EXPECT_EQ(preview.Image()->pos(), QPoint(0, -120));
    preview.SetZoomState(cZoom200);
    EXPECT_EQ(vertical->value(), 0);
    EXPECT_EQ(preview.Image()->pos(), QPoint(0, 0));
}

}  // namespace
}  // namespace kavel
