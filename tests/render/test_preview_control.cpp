// The preview control: zoom arithmetic, page walking, layout and centring, and the
// painted sheet and continuous-form paper.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTest>

#include "platform/PaperSizes.h"
#include "platform/PrinterSystem.h"
#include "platform/VirtualPrinterSystem.h"
#include "render/kvlPreviewUnit.h"
#include "render/kvlPrintrUnit.h"

namespace kavel {
namespace {

// One A4 printer, the default, for the duration of a test.
class PreviewControlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        system_ = std::make_shared<VirtualPrinterSystem>();
        VirtualPrinter printer;
        printer.name = QStringLiteral("Office A4");
        printer.defaultMode.paperSize = 9;
        system_->AddPrinter(printer);
        system_->SetDefaultPrinter(printer.name);
        previous_ = SetPrinterSystem(system_);
    }
    void TearDown() override { SetPrinterSystem(previous_); }

    // A target holding `pages` pages; page n has a black block whose left edge is at
    // 40 × n, so the page on display can be told by its pixels.
    static std::unique_ptr<TKVPrinter> Recorded(int pages, const TPrintOption& options = {}) {
        auto target = std::make_unique<TKVPrinter>(options, 96);
        target->BeginDoc();
        for (int n = 1; n <= pages; ++n) {
            target->NewPage();
            target->Canvas()->fillRect(QRect(40 * n, 100, 30, 60), Qt::black);
        }
        target->EndDoc();
        return target;
    }

    // The page image as painted.
    static QImage Painted(TkvlPreview& preview) {
        return preview.Image()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    std::shared_ptr<VirtualPrinterSystem> system_;
    std::shared_ptr<PrinterSystem> previous_;
};

// ---- Arithmetic ----------------------------------------------------------------------------

TEST(PreviewArithmetic, ZoomStepsAmongFixedStepsAndFits) {
    struct Case {
        int zoom, fitWidth, fitPage;
        std::optional<TZoomState> in, out;
    };
    const Case cases[] = {
        // The fit width lies between 100 and the next step: it comes first.
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
        {0, 0, 0, cZoom25, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "zoom " << c.zoom << " fits " << c.fitWidth << "/" << c.fitPage);
        EXPECT_EQ(ZoomInStep(c.zoom, c.fitWidth, c.fitPage), c.in);
        EXPECT_EQ(ZoomOutStep(c.zoom, c.fitWidth, c.fitPage), c.out);
    }
}

TEST(PreviewArithmetic, FitsCountTheStripsOnTheirSide) {
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
}

TEST(PreviewArithmetic, ImageSizeAndCentring) {
    EXPECT_EQ(PreviewImageSize({794, 1123}, 50, 0, false), QSize(399, 564));     // 397, 561.5
    EXPECT_EQ(PreviewImageSize({794, 1123}, 100, 20, false), QSize(834, 1123));  // strips beside
    EXPECT_EQ(PreviewImageSize({794, 529}, 200, 20, true), QSize(1588, 1098));   // not scaled
    EXPECT_EQ(PreviewImageOrigin({1000, 800}, {399, 564}), QPoint(300, 118));
    EXPECT_EQ(PreviewImageOrigin({1000, 800}, {1200, 564}), QPoint(0, 118));
    EXPECT_EQ(PreviewImageOrigin({1000, 800}, {1000, 900}), QPoint(0, 0));
}

TEST(PreviewArithmetic, DarkeningDividesEachColourByte) {
    EXPECT_EQ(DarkenColor(clWhite), RGBColor(196, 196, 196));
    EXPECT_EQ(DarkenColor(clBlack), clBlack);
    EXPECT_EQ(DarkenColor(RGBColor(130, 13, 255)), RGBColor(100, 10, 196));
    // The top byte (system colour flags) is kept.
    EXPECT_EQ(static_cast<uint32_t>(DarkenColor(static_cast<TColor>(0x01FFFFFF))), 0x01C4C4C4u);
}

TEST(PreviewArithmetic, SprocketHolesAlongAStrip) {
    const QList<QRect> holes = StripHoles(20, 300);  // d = 5, 300 / 30 = 10 holes
    ASSERT_EQ(holes.size(), 10);
    EXPECT_EQ(holes[0], QRect(5, 5, 10, 10));
    EXPECT_EQ(holes[9], QRect(5, 275, 10, 10));
    EXPECT_TRUE(StripHoles(1, 300).isEmpty());  // d rounds to 0
    EXPECT_TRUE(StripHoles(0, 300).isEmpty());
}

// ---- The control ---------------------------------------------------------------------------

TEST_F(PreviewControlTest, PagesOutsideTheSourceAreIgnored) {
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
    EXPECT_EQ(image.pixelColor(40 * 3 + 10, 130), QColor(Qt::black));  // page 3's block
    EXPECT_EQ(image.pixelColor(40 * 1 + 10, 130), QColor(Qt::white));  // page 1's
}

TEST_F(PreviewControlTest, FinishedPagesAppearWhileRecording) {
    TkvlPreview preview;
    auto owned = std::make_unique<TKVPrinter>(TPrintOption{}, 96);
    TKVPrinter* target = owned.get();
    preview.SetSource(std::move(owned));
    EXPECT_EQ(target->Preview.data(), static_cast<QObject*>(&preview));
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

TEST_F(PreviewControlTest, ANewSourceDropsThePageOfTheOldOne) {
    TkvlPreview preview;
    preview.SetSource(Recorded(2));
    ASSERT_NE(preview.Image()->Picture(), nullptr);
    preview.SetSource(Recorded(0));
    EXPECT_EQ(preview.Image()->Picture(), nullptr);
    EXPECT_EQ(preview.Source()->PageCount(), 0);
}

TEST_F(PreviewControlTest, ZoomInAndOutPassTheFits) {
    TkvlPreview preview;
    preview.resize(1014, 935);  // A4 at 96 per inch: fit width 120, fit page 80
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    preview.SetSource(Recorded(1));
    preview.SetZoomState(cZoom100);
    ASSERT_EQ(preview.FitWidth(), 120);
    ASSERT_EQ(preview.FitPage(), 80);

    const std::pair<bool, TZoomState> steps[] = {
        {true, cZoomWidth}, {true, cZoom150},    {true, cZoom200},  {true, cZoom300},
        {true, cZoom500},   {true, cZoom500},    {false, cZoom300}, {false, cZoom200},
        {false, cZoom150},  {false, cZoomWidth}, {false, cZoom100}, {false, cZoomHeight},
        {false, cZoom75},   {false, cZoom50},    {false, cZoom25},  {false, cZoom25}};
    for (const auto& [in, expected] : steps) {
        in ? preview.ZoomIn() : preview.ZoomOut();
        EXPECT_EQ(preview.ZoomState(), expected);
    }
    EXPECT_EQ(preview.Zoom(), 25);
    preview.SetZoomState(cZoomWidth);
    EXPECT_EQ(preview.Zoom(), 120);
    EXPECT_EQ(preview.Image()->size(), QSize(955, 1350));  // 952.8 and 1347.6, plus shadow
}

TEST_F(PreviewControlTest, ResizeRefitsAFitStateAndRecentresAFixedOne) {
    TkvlPreview preview;
    preview.resize(1014, 935);
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    preview.SetSource(Recorded(1));

    preview.SetZoomState(cZoomHeight);
    EXPECT_EQ(preview.Zoom(), 80);
    preview.resize(1014, 500);
    QCoreApplication::processEvents();
    EXPECT_EQ(preview.ZoomState(), cZoomHeight);
    EXPECT_EQ(preview.Zoom(), 43);  // 500 / 1123 × 96 = 42.7
    EXPECT_EQ(preview.FitPage(), 43);

    preview.SetZoomState(cZoom50);
    EXPECT_EQ(preview.Image()->size(), QSize(399, 564));
    EXPECT_EQ(preview.Image()->pos(), QPoint(307, 0));  // taller than the control
    preview.resize(1200, 800);
    QCoreApplication::processEvents();
    EXPECT_EQ(preview.Zoom(), 50);
    EXPECT_EQ(preview.Image()->size(), QSize(399, 564));
    EXPECT_EQ(preview.Image()->pos(), QPoint(400, 118));
}

TEST_F(PreviewControlTest, AWidePageScrollsAndLayoutReturnsToTheTop) {
    TkvlPreview preview;
    preview.resize(400, 300);
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    preview.SetSource(Recorded(1));
    preview.SetZoomState(cZoom200);
    QScrollBar* vertical = preview.verticalScrollBar();
    EXPECT_GT(vertical->maximum(), 1900);  // 2248 high
    vertical->setValue(120);
    EXPECT_EQ(preview.Image()->pos(), QPoint(0, -120));
    preview.SetZoomState(cZoom200);
    EXPECT_EQ(vertical->value(), 0);
    EXPECT_EQ(preview.Image()->pos(), QPoint(0, 0));
}

TEST_F(PreviewControlTest, PlainSheetHasBorderAndShadowInTheDarkenedColour) {
    TkvlPreview preview;
    preview.SetColor(clWhite);
    preview.SetSource(Recorded(1));
    preview.SetZoomState(cZoom50);
    EXPECT_EQ(preview.Image()->StripWidth(), 0);  // A4 is no continuous form
    EXPECT_EQ(preview.Image()->ShadowColor(), RGBColor(196, 196, 196));
    const QImage image = Painted(preview);
    const int w = image.width(), h = image.height();
    const QColor shadow(196, 196, 196);
    EXPECT_EQ(image.pixelColor(0, h / 2), shadow);      // left border
    EXPECT_EQ(image.pixelColor(w / 2, 0), shadow);      // top border
    EXPECT_EQ(image.pixelColor(w - 1, h / 2), shadow);  // right shadow
    EXPECT_EQ(image.pixelColor(w / 2, h - 1), shadow);  // bottom shadow
    EXPECT_EQ(image.pixelColor(w / 2, h / 2), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::white));  // no holes
}

TEST_F(PreviewControlTest, LandscapeUserPaperShowsStripsAcross) {
    TPrintOption options;
    options.Orientation = 1;
    options.Width = 1400;  // the device mode's portrait width and length
    options.Height = 2100;
    TkvlPreview preview;
    const TColor background = RGBColor(200, 100, 50);
    preview.SetColor(background);
    preview.SetSource(Recorded(1, options));
    ASSERT_EQ(preview.Source()->PaperSize(), kUserPaperSize);
    preview.SetZoomState(cZoom100);

    TkvlViewImage* view = preview.Image();
    EXPECT_TRUE(view->StripsAcross());
    EXPECT_EQ(view->StripWidth(), 20);
    EXPECT_EQ(view->size(), QSize(794, 529 + 40));
    const QImage image = Painted(preview);
    const int h = image.height();
    const QColor holes = ToQColor(background);
    const QColor perforation = ToQColor(DarkenColor(background));
    EXPECT_EQ(image.pixelColor(10, 10), holes);              // first hole of the top strip
    EXPECT_EQ(image.pixelColor(40, 10), holes);              // the next one along it
    EXPECT_EQ(image.pixelColor(25, 10), QColor(Qt::white));  // paper between them
    EXPECT_EQ(image.pixelColor(10, h - 10), holes);          // bottom strip
    EXPECT_EQ(image.pixelColor(1, 20), perforation);         // perforation lines
    EXPECT_EQ(image.pixelColor(1, h - 20), perforation);
    EXPECT_EQ(image.pixelColor(10, h / 2), QColor(Qt::white));          // no strip at the side
    EXPECT_EQ(image.pixelColor(40 + 10, 20 + 130), QColor(Qt::black));  // the page, below the strip
}

TEST_F(PreviewControlTest, WithoutStripsTheUserPaperIsAPlainSheet) {
    TPrintOption options;
    options.Width = 2100;
    options.Height = 1400;
    TkvlPreview preview;
    preview.SetSource(Recorded(1, options));
    preview.Image()->SetStripWidth(0);
    preview.Refit();
    preview.SetZoomState(cZoom100);
    EXPECT_EQ(preview.Image()->size(), QSize(794 + 2, 529 + 2));
    const QImage image = Painted(preview);
    EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::white));
}

}  // namespace
}  // namespace kavel
