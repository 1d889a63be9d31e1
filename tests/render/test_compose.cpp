// Composing tasks into pages and printing them, checked on the printed pictures.
#include <QDir>

#include "PageInk.h"
#include "control/ControlFixture.h"
#include "render/DrawPrintCanvasUnit.h"
#include "render/PrevStringFormUnit.h"
#include "render/kvlPrintrUnit.h"

namespace kavel::test {
namespace {

// One A4 printer without margins at 96 per inch: page pixels are script pixels.
class Compose : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        printers = std::make_shared<VirtualPrinterSystem>();
        VirtualPrinter paper;
        paper.name = "Paper";
        paper.keepImages = true;
        printers->AddPrinter(paper);
        printers->SetDefaultPrinter("Paper");
        SetPrinterSystem(printers);
        Call("PRINT_INIT", {"compose"});
    }
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

TEST_F(Compose, TextLandsWhereScriptPutIt) {
    Text(100, 200, "Hello");
    const QList<QImage> pages = Print();
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages[0].size(), QSize(794, 1123));
    const QRect ink = InkBounds(pages[0]);
    EXPECT_NEAR(ink.left(), 200, 3);
    EXPECT_NEAR(ink.top(), 102, 4);  // the cell top, then the glyphs
    EXPECT_LT(ink.bottom(), 120);
}

TEST_F(Compose, FixedItemsAloneMakeNoPages) {
    Call("SET_PRINT_STYLE", {"ItemType", 1});
    Text(10, 10, "header");
    Call("SET_PRINT_STYLE", {"ItemType", 2});
    Text(1000, 10, "page #");
    EXPECT_TRUE(Print().isEmpty());
}

TEST_F(Compose, NewPageMovesLaterItemsToFollowingPages) {
    Text(100, 100, "one");
    Call("NewPage");
    Call("NewPage");
    Text(100, 100, "three");
    Call("SET_PRINT_STYLE", {"ItemType", 1});
    Text(20, 600, "head");
    const QList<QImage> pages = Print();
    ASSERT_EQ(pages.size(), 3);
    EXPECT_TRUE(HasInk(pages[0], QRect(100, 100, 200, 30)));
    EXPECT_FALSE(HasInk(pages[1], QRect(100, 100, 200, 30)));
    EXPECT_TRUE(HasInk(pages[1], QRect(600, 20, 150, 30)));  // only the fixed item
    EXPECT_TRUE(HasInk(pages[2], QRect(100, 100, 200, 30)));
}

TEST_F(Compose, MultiPageTextContinuesAtTheSameHeight) {
    QStringList lines;
    for (int i = 0; i < 200; ++i) lines << QString("line %1").arg(i);
    Call("ADD_PRINT_TEXT", {300, 50, 400, 2000, lines.join("\n")});
    Call("SET_PRINT_STYLEA", {1, "ItemType", 4});
    Call("ADD_PRINT_TEXT", {300, 500, 200, 2000, lines.join("\n")});  // loses what does not fit
    const QList<QImage> pages = Print();
    ASSERT_GE(pages.size(), 3);
    for (const QImage& page : pages) {
        const QRect ink = InkBounds(page, QRect(40, 0, 420, 1123));
        EXPECT_NEAR(ink.top(), 302, 4);  // every page resumes at the item's height
        EXPECT_LT(ink.bottom(), 1123 - 10);
    }
    EXPECT_TRUE(HasInk(pages[0], QRect(500, 0, 200, 1123)));
    EXPECT_FALSE(HasInk(pages[1], QRect(500, 0, 200, 1123)));
}

TEST_F(Compose, PageNumbersAndCountsAreSubstituted) {
    EXPECT_EQ(PageNumberText("第#页/共&页", cptPageNo, 2, 5), "第2页/共5页");
    EXPECT_EQ(PageNumberText("##&", cptPageCount, 2, 5), "225");
    EXPECT_EQ(PageNumberText("total #", cptPageCount, 2, 5), "total 5");
    EXPECT_EQ(PageNumberText("page &", cptPageNo, 2, 5), "page 2");
    EXPECT_EQ(PageNumberText("Page ", cptPageNo, 12, 15), "Page 12");
    EXPECT_EQ(PageNumberText("of ", cptPageCount, 12, 15), "of 15");

    for (int i = 0; i < 5; ++i) {
        if (i) Call("NewPage");
        Text(100, 100, "body");
    }
    Call("SET_PRINT_STYLE", {"ItemType", 2});
    Call("SET_PRINT_STYLE", {"FontName", "Arial"});
    Call("SET_PRINT_STYLE", {"FontSize", 30});
    Text(1000, 100, "#/&", 300, 60);
    const QList<QImage> pages = Print();
    ASSERT_EQ(pages.size(), 5);
    // Page 2 of 5 and page 5 of 5 read differently; each page is drawn from its own text.
    const QImage p2 = pages[1].copy(100, 1000, 300, 60);
    const QImage p5 = pages[4].copy(100, 1000, 300, 60);
    EXPECT_TRUE(HasInk(p2, QRect()));
    EXPECT_NE(p2, p5);
}

TEST_F(Compose, PageRulesPickTheirPages) {
    for (int i = 0; i < 4; ++i) {
        if (i) Call("NewPage");
        Text(100, 100, "body");
    }
    Text(300, 100, "last");
    Call("SET_PRINT_STYLEA", {5, "PageIndex", "last"});
    Text(400, 100, "third");
    Call("SET_PRINT_STYLEA", {6, "PageIndex", "3"});
    Text(500, 100, "even");
    Call("SET_PRINT_STYLEA", {7, "PageIndex", "even"});
    Text(600, 100, "first");
    Call("SET_PRINT_STYLEA", {8, "PageIndex", "First"});
    const QList<QImage> pages = Print();
    ASSERT_EQ(pages.size(), 4);
    for (int p = 1; p <= 4; ++p) {
        const QImage& page = pages[p - 1];
        EXPECT_EQ(HasInk(page, QRect(100, 300, 200, 30)), p == 4) << p;
        EXPECT_EQ(HasInk(page, QRect(100, 400, 200, 30)), p == 3) << p;
        EXPECT_EQ(HasInk(page, QRect(100, 500, 200, 30)), p % 2 == 0) << p;
        EXPECT_EQ(HasInk(page, QRect(100, 600, 200, 30)), p == 1) << p;
    }
}

TEST_F(Compose, PreviewOnlyAndHiddenItemsStayOffPaper) {
    Text(100, 100, "paper");
    Call("SET_PRINT_STYLE", {"PreviewOnly", 1});
    Text(300, 100, "screen only");
    Call("ADD_PRINT_TEXT", {20000, 100, 100, 30, "hidden far below"});
    Form().ItemAt(3)->setVisible(false);
    Form().PrepareTask(0, true);
    // PrepareTask shows script items again; hide it the way a stored layout would.
    Form().ItemAt(3)->setVisible(false);
    TPrevStringForm* form = Form().CreatePreviewForm(nullptr);
    ASSERT_TRUE(form->ComposePages(true));
    EXPECT_EQ(form->Target()->PageCount(), 1);  // the hidden item keeps no pages open
    delete form;
    const QList<QImage> pages = Print();
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(HasInk(pages[0], QRect(100, 100, 200, 30)));
    EXPECT_FALSE(HasInk(pages[0], QRect(100, 300, 200, 30)));
}

TEST_F(Compose, AnchoredItemsFollowThePaper) {
    // A footer anchored to the bottom keeps its distance to the bottom edge.
    Call("SET_PRINT_PAGESIZE", {1, 2100, 2970, ""});
    Call("ADD_PRINT_TEXT", {1073, 100, 200, 30, "footer"});
    Call("SET_PRINT_STYLEA", {1, "VOrient", 1});
    Call("SET_PRINT_STYLEA", {1, "HOrient", 1});
    printers->SetDeviceMode(0, DeviceMode{11, 0, 0, 0, 1, 0});  // the printer holds A5
    QList<QImage> pages = Print();
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages[0].size(), QSize(559, 794));
    const QRect ink = InkBounds(pages[0]);
    EXPECT_NEAR(ink.top(), 794 - 50 + 2, 4);
    EXPECT_NEAR(ink.left(), 100 - (793 - 559), 3);
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
    EXPECT_EQ(line.width(), 100);
    EXPECT_EQ(InkBounds(pages[0], QRect(90, 390, 150, 20)).height(), 1);
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
