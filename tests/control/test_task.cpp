// Tasks and adding items: names, numbers, pages, lines and shapes.
#include "ControlFixture.h"

namespace kavel::test {
namespace {

using Task = ControlTest;

TEST_F(Task, ItemsAreNamedAndNumberedAndGivenNamesMayNotContainItem) {
    Call("PRINT_INIT", {"names"});
    for (int i = 0; i < 2; ++i) Call("ADD_PRINT_TEXT", {10, 10, 100, 20, "t"});
    Call("ADD_PRINT_TEXTA", {"MYITEM", 10, 10, 100, 20, "refused"});
    EXPECT_EQ(Shown(), QStringList{"strItemName no permit including \"ITEM\"!"});
    Call("ADD_PRINT_TEXTA", {"  item1  ", 10, 10, 100, 20, "accepted"});  // case counts
    ASSERT_EQ(Form().Items().size(), 4);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Item(i + 1).strItemName, QString("ITEM%1").arg(i));
        EXPECT_EQ(Item(i + 1).intItemIndex, i);
    }
    EXPECT_EQ(Item(4).strItemName, "item1");
    EXPECT_EQ(Shown().size(), 1);
    // Matching by name ignores case and blanks: ITEM1 and item1 both take the style.
    Call("SET_PRINT_STYLEA", {" Item1 ", "FontSize", 17});
    EXPECT_EQ(Item(1).intDefSize(), 9);
    EXPECT_EQ(Item(2).intDefSize(), 17);
    EXPECT_EQ(Item(4).intDefSize(), 17);
}

TEST_F(Task, NewPageCountsOnlyAfterTheFirstItem) {
    Call("PRINT_INIT", {"pages"});
    EXPECT_EQ(Call("NewPage"), Variant::Bool(true));
    Call("ADD_PRINT_TEXT", {10, 10, 100, 20, "p1"});
    Call("NewPage");
    Call("NewPage");
    Call("ADD_PRINT_TEXT", {10, 10, 100, 20, "p3"});
    EXPECT_EQ(Item(1).intPageNo, 0);
    EXPECT_EQ(Item(2).intPageNo, 2);
    Call("PRINT_INIT", {"again"});
    Call("ADD_PRINT_TEXT", {10, 10, 100, 20, "p1"});
    EXPECT_EQ(Item(1).intPageNo, 0);
}

TEST_F(Task, LinesGoDownOrUpByTheirEnds) {
    using Four = std::array<int, 4>;
    struct Case {
        Four ends, box;  // top1, left1, top2, left2; top, left, width, height
        TPRNShapeType type;
    };
    const Case cases[] = {{{10, 10, 50, 100}, {10, 10, 90, 40}, cstDownLine},
                          {{50, 100, 10, 10}, {10, 10, 90, 40}, cstDownLine},
                          {{50, 10, 10, 100}, {10, 10, 90, 40}, cstUpLine},
                          {{10, 100, 50, 10}, {10, 10, 90, 40}, cstUpLine},
                          {{30, 10, 30, 100}, {30, 10, 90, 0}, cstUpLine},
                          {{10, 40, 90, 40}, {10, 40, 0, 80}, cstUpLine}};
    Call("PRINT_INIT", {"lines"});
    for (const Case& c : cases) {
        Call("ADD_PRINT_LINE", {c.ends[0], c.ends[1], c.ends[2], c.ends[3], 0, 1});
        const TModiControl& line = *Form().Items().back();
        EXPECT_EQ(line.stDefShapeType(), c.type) << c.ends[0] << "," << c.ends[1];
        EXPECT_EQ(
            (Four{line.intDefTop(), line.intDefLeft(), line.intDefWidth(), line.intDefHeight()}),
            c.box);
    }
}

TEST_F(Task, ShapeTypesAndPenStylesOutOfRangeFallBack) {
    Call("PRINT_INIT", {"shapes"});
    Call("ADD_PRINT_SHAPE", {7, 10, 10, 50, 50, 0, 1, "blue"});
    Call("ADD_PRINT_SHAPE", {-1, 10, 10, 50, 50, 0, 1, "#00FF00"});
    Call("ADD_PRINT_SHAPE", {4, 10, 10, 50, 50, 2, 3, "rgb(1,2,3)"});
    Call("ADD_PRINT_RECT", {10, 10, 50, 50, 9, 1});
    Call("ADD_PRINT_ELLIPSEA", {10, 10, 50, 50, 1, 2, 0x123456});
    EXPECT_EQ(Item(1).stDefShapeType(), cstUpLine);
    EXPECT_EQ(Item(1).fcDefFontColor(), RGBColor(0, 0, 255));
    EXPECT_EQ(Item(2).stDefShapeType(), cstUpLine);
    EXPECT_EQ(Item(3).stDefShapeType(), cstSolidRect);
    EXPECT_EQ(Item(3).psDefPenStyle(), psDot);
    EXPECT_EQ(Item(3).intDefPenWidth(), 3);
    EXPECT_EQ(Item(3).fcDefFontColor(), RGBColor(1, 2, 3));
    EXPECT_EQ(Item(4).psDefPenStyle(), psSolid);
    EXPECT_EQ(Item(4).stDefShapeType(), cstRect);
    EXPECT_EQ(Item(5).fcDefFontColor(), 0x123456);
    EXPECT_EQ(Item(5).stDefShapeType(), cstEllipse);
}

TEST_F(Task, ContentKindsAreStoredAsGiven) {
    Call("PRINT_INIT", {"kinds"});
    Call("ADD_PRINT_HTM", {0, 0, 100, 100, "<b>x</b>"});
    Call("ADD_PRINT_TABLE", {0, 0, 100, 100, "<table></table>"});
    Call("ADD_PRINT_URL", {0, 0, 100, 100, "http://example.test/a.html"});
    Call("ADD_PRINT_IMAGE", {0, 0, 100, 100, "<img src='a.png'>"});
    Call("ADD_PRINT_HTMLA", {"box", 0, 0, 100, 100, "<i>y</i>"});
    const TPRNDataType kinds[] = {cdtHtmText, cdtTable, cdtUrl, cdtImage, cdtHtml};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Item(i + 1).ObjectType(), kinds[i]);
    EXPECT_EQ(Item(3).strContent, "http://example.test/a.html");
    EXPECT_EQ(Item(5).strItemName, "box");
}

TEST_F(Task, PrinterChosenInTheDialogSurvivesTheReset) {
    printers->SetPrintDialogScript([](PrintDialogValues& v) {
        v.printer = 0;
        v.copies = 4;
        return true;
    });
    EXPECT_EQ(Call("SELECT_PRINTER"), Variant::I4(0));
    Call("PRINT_INIT", {"after"});
    EXPECT_EQ(Form().Setup().intPrinterNo, 1);
    EXPECT_EQ(Form().Setup().intCopies, 4);
    printers->SetPrintDialogScript([](PrintDialogValues&) { return false; });
    EXPECT_EQ(Call("SELECT_PRINTER"), Variant::I4(-1));
    EXPECT_EQ(Form().Setup().intCopies, 4);
}

TEST_F(Task, ShowModeHoldsOnlyAfterTheTaskBegins) {
    EXPECT_EQ(Call("SET_SHOW_MODE", {"PREVIEW_IN_BROWSE", 1}), Variant::Bool(true));
    Call("PRINT_INIT", {"t"});
    EXPECT_FALSE(RunState().blPreviewInBrowse);
    Call("SET_SHOW_MODE", {"preview_in_browse", "TRUE"});
    Call("ADD_PRINT_TEXT", {1, 1, 10, 10, "x"});
    EXPECT_TRUE(RunState().blPreviewInBrowse);
    Call("SET_PRINT_PAPER", {0, 0, 100, 100, "t2"});
    EXPECT_FALSE(RunState().blPreviewInBrowse);
}

}  // namespace
}  // namespace kavel::test
