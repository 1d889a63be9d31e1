// Composing tasks into pages and printing them, checked on the printed pictures.
#include "PageInk.h"
#include "control/ControlFixture.h"
#include "platform/SettingsStore.h"
#include "render/DrawPrintCanvasUnit.h"
#include "render/PrevStringFormUnit.h"
#include "render/kvlPrintrUnit.h"

namespace kavel::test {
namespace {

// A task on one A4 printer without margins at 96 per inch, the default: the pictures of
// printed pages are in script pixels.
class Compose : public ControlTest {
  protected:
    void SetUp() override {
        ControlTest::SetUp();
        UsePrinters(printers = MakePrinters({"Paper"}));
        Call("PRINT_INIT", {"compose"});
    }
    // Prints the task; the pictures of the job's sheets.
    QList<QImage> Print() {
        const size_t before = printers->Jobs().size();
        EXPECT_EQ(Call("PRINT"), Variant::Bool(true));
        if (printers->Jobs().size() != before + 1) return {};
        return printers->Jobs().back().pages;
    }
    void Text(int top, int left, const char* text, int width = 300, int height = 30) {
        Call("ADD_PRINT_TEXT", {top, left, width, height, text});
    }
};

TEST_F(Compose, FixedItemsAloneMakeNoPages) {
    Call("SET_PRINT_STYLE", {"ItemType", 1});
    Text(10, 10, "header");
    Call("SET_PRINT_STYLE", {"ItemType", 2});
    Text(1000, 10, "page #");
    Form().PrepareTask(0, false);
    std::unique_ptr<TPrevStringForm> form(Form().CreatePreviewForm(nullptr));
    ASSERT_TRUE(form->ComposePages(true));
    EXPECT_EQ(form->Target()->PageCount(), 0);
    // Printed, nothing reaches the printer: no sheet is wasted.
    EXPECT_EQ(Call("PRINT"), Variant::Bool(false));
    EXPECT_TRUE(printers->Jobs().empty());
}

TEST_F(Compose, MultiPageTextContinuesAtTheSameHeight) {
    QStringList lines;
    for (int i = 0; i < 200; ++i) lines << QString("line %1").arg(i);
    Call("ADD_PRINT_TEXT", {300, 50, 400, 2000, lines.join("\n")});
    Call("SET_PRINT_STYLEA", {1, "ItemType", 4});
    // Lines whose offset is within the height are drawn (0, 16, 32, 48), the rest is lost.
    Call("ADD_PRINT_TEXT", {300, 500, 200, 48, lines.join("\n")});
    const QList<QImage> pages = Print();
    ASSERT_GE(pages.size(), 3);
    for (int p = 0; p + 1 < pages.size(); ++p) {
        const QRect ink = InkBounds(pages[p], QRect(40, 0, 420, 1123));
        EXPECT_NEAR(ink.top(), 302, 4);      // every page resumes at the item's height
        EXPECT_GT(ink.bottom(), 1123 - 40);  // one line's height held back, no more
        EXPECT_LT(ink.bottom(), 1123);
    }
    const QRect four = InkBounds(pages[0], QRect(500, 0, 200, 1123));
    EXPECT_GT(four.bottom(), 300 + 48);
    EXPECT_LT(four.bottom(), 300 + 64);
    EXPECT_FALSE(HasInk(pages[1], QRect(500, 0, 200, 1123)));
}

// Each printed page drawing its own number and the count: the e2e_honest whole run.
TEST(Placement, PageNumbersAndCountsAreSubstituted) {
    EXPECT_EQ(PageNumberText("第#页/共&页", cptPageNo, 2, 5), "第2页/共5页");
    EXPECT_EQ(PageNumberText("##&", cptPageCount, 2, 5), "225");
    EXPECT_EQ(PageNumberText("total #", cptPageCount, 2, 5), "total 5");
    EXPECT_EQ(PageNumberText("page &", cptPageNo, 2, 5), "page 2");
    EXPECT_EQ(PageNumberText("Page ", cptPageNo, 12, 15), "Page 12");
    EXPECT_EQ(PageNumberText("of ", cptPageCount, 12, 15), "of 15");
}

TEST_F(Compose, PageRulesPickTheirPages) {
    for (int i = 0; i < 4; ++i) {
        if (i) Call("NewPage");
        Text(100, 100, "body");
    }
    Text(300, 100, "last");
    Call("SET_PRINT_STYLEA", {5, "PageIndex", "last"});
    Text(500, 100, "even");
    Call("SET_PRINT_STYLEA", {6, "PageIndex", "even"});
    const QList<QImage> pages = Print();
    ASSERT_EQ(pages.size(), 4);
    for (int p = 1; p <= 4; ++p) {
        EXPECT_EQ(HasInk(pages[p - 1], QRect(100, 300, 200, 30)), p == 4) << p;
        EXPECT_EQ(HasInk(pages[p - 1], QRect(100, 500, 200, 30)), p % 2 == 0) << p;
    }
}

TEST_F(Compose, PreviewOnlyAndHiddenItemsStayOffPaper) {
    Text(100, 100, "paper");
    Call("SET_PRINT_STYLE", {"PreviewOnly", 1});
    Text(300, 100, "screen only");
    Call("ADD_PRINT_TEXT", {20000, 100, 100, 30, "hidden far below"});
    // Deleted in the designer: the stored layout hides it for every output of the task.
    ASSERT_TRUE(WriteFile(GetSettingsFileName(false, "compose"), "[ITEM2]\nPRNINVISIBLE=1\n"));
    Form().PrepareTask(0, false);
    std::unique_ptr<TPrevStringForm> form(Form().CreatePreviewForm(nullptr));
    ASSERT_TRUE(form->ComposePages(false));
    EXPECT_EQ(form->Target()->PageCount(), 1);  // the hidden item keeps no pages open
    auto preview = form->Target()->GetPage(1);
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(HasInk(Replay(*preview, QSize(794, 1123)),
                       QRect(100, 300, 200, 30)));  // shown in the preview
    const QList<QImage> pages = Print();
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(HasInk(pages[0], QRect(100, 100, 200, 30)));
    EXPECT_FALSE(HasInk(pages[0], QRect(100, 300, 200, 30)));
}

TEST_F(Compose, AnchoredItemsFollowThePaper) {
    // Designed on A4, printed on A5: a footer anchored to the bottom right keeps its
    // distances to the bottom and right edges; a block centred across stays centred.
    Call("SET_PRINT_PAPER", {0, 0, 793, 1123, "compose"});
    Call("SET_PRINT_PAGESIZE", {1, 1480, 2100, ""});
    Call("ADD_PRINT_TEXT", {1073, 600, 150, 30, "footer"});
    Call("SET_PRINT_STYLEA", {1, "VOrient", 1});
    Call("SET_PRINT_STYLEA", {1, "HOrient", 1});
    Call("ADD_PRINT_SHAPE", {4, 100, 0, 80, 20, 0, 1, "black"});
    Call("SET_PRINT_STYLEA", {2, "HOrient", 2});
    QList<QImage> pages = Print();
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages[0].size(), QSize(559, 794));
    const QRect ink = InkBounds(pages[0], QRect(0, 600, 559, 194));
    EXPECT_NEAR(ink.top(), 794 - 50 + 2, 4);
    EXPECT_NEAR(ink.left(), 600 - (793 - 559), 3);
    EXPECT_EQ(InkBounds(pages[0], QRect(0, 90, 559, 40)), QRect((559 - 80) / 2, 100, 80, 20));
}

TEST_F(Compose, ShapesAreDrawnOnTheirBoxes) {
    Call("ADD_PRINT_RECT", {100, 100, 60, 30, 0, 1});
    Call("ADD_PRINT_SHAPE", {4, 200, 100, 40, 40, 0, 1, "black"});
    Call("ADD_PRINT_LINE", {300, 100, 300, 200, 0, 1});  // horizontal
    Call("ADD_PRINT_DNLINE", {400, 100, 100, 1, 0, 1});  // a box one pixel high
    const QList<QImage> pages = Print();
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(InkBounds(pages[0], QRect(90, 90, 100, 50)), QRect(100, 100, 60, 30));
    EXPECT_LT(qGray(pages[0].pixel(120, 220)), 100);  // solid inside
    const QRect line = InkBounds(pages[0], QRect(90, 290, 150, 20));
    EXPECT_EQ(line.height(), 1);
    EXPECT_NEAR(line.width(), 100, 1);
    EXPECT_EQ(InkBounds(pages[0], QRect(90, 390, 150, 20)).height(), 1);
}

// HTML content that the browser shows as a black block inside a clear box.
QString Block(QSize box, QRect dark) {
    return QStringLiteral(
               "<div style='position:relative;width:%1px;height:%2px'><div "
               "style='position:absolute;left:%3px;top:%4px;width:%5px;height:%6px;"
               "background:#000'></div></div>")
        .arg(box.width())
        .arg(box.height())
        .arg(dark.x())
        .arg(dark.y())
        .arg(dark.width())
        .arg(dark.height());
}

TEST_F(Compose, PicturesShrinkProportionallyAreCroppedOrStretched) {
    const std::pair<QSize, QRect> pictures[] = {
        {{400, 200}, {0, 0, 400, 200}},  // shrinks
        {{400, 200}, {0, 0, 400, 200}},  // never grows
        {{400, 400}, {0, 0, 50, 50}},    // cropped
        {{10, 10}, {0, 0, 10, 10}},      // stretched
    };
    const int top[] = {100, 300, 850, 950};
    for (int i = 0; i < 4; ++i) {
        const int size = top[i] == 300 ? 500 : 100;
        Call("ADD_PRINT_IMAGE",
             {top[i], 100, size, size, Block(pictures[i].first, pictures[i].second)});
    }
    for (int n : {1, 2}) Call("SET_PRINT_STYLEA", {n, "Stretch", 2});  // proportional
    Call("SET_PRINT_STYLEA", {4, "Stretch", 1});
    const QList<QImage> pages = Print();
    ASSERT_EQ(pages.size(), 1);
    const QRect bands[] = {
        InkBounds(pages[0], QRect(0, 0, 794, 250)), InkBounds(pages[0], QRect(0, 280, 794, 560)),
        InkBounds(pages[0], QRect(0, 840, 794, 100)), InkBounds(pages[0], QRect(0, 940, 794, 180))};
    const QSize sizes[] = {{100, 50}, {400, 200}, {50, 50}, {100, 100}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(bands[i].width(), sizes[i].width(), 2) << i;
        EXPECT_NEAR(bands[i].height(), sizes[i].height(), 2) << i;
        EXPECT_NEAR(bands[i].left(), 101, 1) << i;  // drawn one pixel in from the item's corner
    }
}

TEST_F(Compose, TallHtmlBitmapsGoOnInSlices) {
    Call("SET_PRINT_PAPER", {0, 0, 794, 1000, "compose"});
    Call("SET_PRINT_PAGESIZE", {1, 2100, 2646, ""});  // 1000 pixels high at 96 per inch
    Call("ADD_PRINT_HTML",
         {0, 0, 200, 1000, "<body style='margin:0'>" + Block({200, 2500}, {0, 2400, 200, 100})});
    const QList<QImage> pages = Print();
    ASSERT_EQ(pages.size(), 3);
    EXPECT_FALSE(HasInk(pages[0], QRect()));
    EXPECT_FALSE(HasInk(pages[1], QRect()));
    const QRect end = InkBounds(pages[2]);
    EXPECT_NEAR(end.top(), 401, 2);  // 2400 - 2000, one pixel in
    EXPECT_NEAR(end.bottom(), 500, 2);
    EXPECT_LT(end.right(), 300);
}

TEST(Placement, PageIndexRules) {
    struct Case {
        const char* rule;
        int total, page, answer;
    } cases[] = {{"", 5, 1, 0},     {" \t", 5, 2, 0},  {"first", 5, 1, 1}, {"first", 5, 2, 2},
                 {"last", 5, 5, 1}, {"last", 5, 4, 2}, {"odd", 5, 3, 1},   {"even", 5, 3, 2},
                 {"3", 5, 3, 1},    {"03", 5, 3, 2},   {"Last", 5, 5, 2}};
    for (const Case& c : cases) {
        EXPECT_EQ(PageIndexMatch(c.rule, c.total, c.page), c.answer) << c.rule << " " << c.page;
    }
}

}  // namespace
}  // namespace kavel::test
