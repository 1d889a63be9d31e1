// Styling by key, by font and by placement.
#include "ControlFixture.h"

namespace kavel::test {
namespace {

class Styles : public ControlTest {
  protected:
    void SetUp() override {
        ControlTest::SetUp();
        Call("PRINT_INIT", {"styles"});
    }
    void AddText(const char* name = "") { Call("ADD_PRINT_TEXTA", {name, 10, 10, 100, 20, "t"}); }
};

TEST_F(Styles, DefaultStyleReachesOnlyLaterItems) {
    AddText();
    Call("SET_PRINT_STYLE", {"FontSize", 12});
    AddText();
    EXPECT_EQ(Item(1).intDefSize(), 9);
    EXPECT_EQ(Item(2).intDefSize(), 12);
    for (const Variant& zero :
         {Variant(0), Variant(-3), Variant("  "), Variant(), Variant::Null()}) {
        Call("SET_PRINT_STYLEA", {zero, "FontName", "黑体"});
        AddText();
        EXPECT_EQ(Form().Items().back()->strDefFontName(), "黑体") << zero.Describe().toStdString();
        Call("SET_PRINT_STYLE", {"FontName", "宋体"});
    }
    EXPECT_EQ(Item(1).strDefFontName(), "宋体");
}

TEST_F(Styles, ItemReferencesOutsideTheListOrOfOtherTypesChangeNothing) {
    for (int i = 0; i < 4; ++i) AddText();
    Call("SET_PRINT_STYLEA", {5, "FontSize", 30});
    Call("SET_PRINT_STYLEA", {Variant::R8(2.0), "FontSize", 30});
    Call("SET_PRINT_STYLEA", {Variant::Bool(true), "FontSize", 30});
    Call("SET_PRINT_STYLEA", {Variant::UI1(2), "FontSize", 30});
    Call("SET_PRINT_STYLEA", {"nobody", "FontSize", 30});
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(Item(i).intDefSize(), 9);
    Call("SET_PRINT_STYLEA", {Variant::I2(2), "FontSize", 30});
    EXPECT_EQ(Item(2).intDefSize(), 30);
    EXPECT_TRUE(Shown().isEmpty());
}

TEST_F(Styles, NamesMatchEveryItemInAnyCase) {
    AddText("Title");
    AddText("other");
    AddText(" TITLE ");
    Call("SET_PRINT_STYLEA", {"  title", "Bold", 1});
    EXPECT_TRUE(Item(1).fsDefFontStyle() & fsBold);
    EXPECT_FALSE(Item(2).fsDefFontStyle() & fsBold);
    EXPECT_TRUE(Item(3).fsDefFontStyle() & fsBold);
}

TEST_F(Styles, PageTypesTwoAndThreeOnlyOnText) {
    AddText();
    Call("ADD_PRINT_RECT", {10, 10, 50, 50, 0, 1});
    Call("SET_PRINT_STYLEA", {2, "ItemType", 2});
    EXPECT_EQ(Item(2).ptDefPageType, cptPageData);
    Call("SET_PRINT_STYLEA", {1, "ItemType", 2});
    EXPECT_EQ(Item(1).ptDefPageType, cptPageNo);
    EXPECT_EQ(Item(1).ptPageType, cptPageNo);
    Call("SET_PRINT_STYLEA", {2, "itemtype", "1"});
    EXPECT_EQ(Item(2).ptDefPageType, cptHeadFoot);
    Call("SET_PRINT_STYLEA", {2, "ItemType", "nonsense"});
    EXPECT_EQ(Item(2).ptDefPageType, cptPageData);
    EXPECT_TRUE(Shown().isEmpty());
}

TEST_F(Styles, PageIndexTakesWordsAndNumbers) {
    AddText();
    Call("SET_PRINT_STYLEA", {1, "PageIndex", "Last"});
    EXPECT_EQ(Item(1).strPageIndex, "last");
    Call("SET_PRINT_STYLEA", {1, "PageIndex", "07"});
    EXPECT_EQ(Item(1).strPageIndex, "7");
    Call("SET_PRINT_STYLEA", {1, "PageIndex", "x"});
    EXPECT_EQ(Item(1).strPageIndex, "7");
    EXPECT_EQ(Shown(), QStringList{"Set \"PageIndex\"(number 1) Error,Please check syntax!"});
    Recorder().Clear();
    Call("SET_PRINT_STYLE", {"PageIndex", "x"});  // no effect on the default style
    EXPECT_TRUE(Shown().isEmpty());
    Call("SET_PRINT_STYLEA", {1, "fontsize", "big"});
    EXPECT_EQ(Shown(), QStringList{"Set \"fontsize\"(number 1) Error,Please check syntax!"});
    EXPECT_EQ(Item(1).intDefSize(), 9);
}

TEST_F(Styles, SwitchesAlignmentAndPenStyle) {
    AddText();
    Call("SET_PRINT_STYLEA", {1, "Bold", 1});
    Call("SET_PRINT_STYLEA", {1, "Bold", 2});
    EXPECT_TRUE(Item(1).fsDefFontStyle() & fsBold);
    Call("SET_PRINT_STYLEA", {1, "Bold", Variant::Bool(false)});
    EXPECT_FALSE(Item(1).fsDefFontStyle() & fsBold);
    Call("SET_PRINT_STYLEA", {1, "Italic", "1"});
    EXPECT_TRUE(Item(1).fsDefFontStyle() & fsItalic);
    struct {
        int value;
        TAlignment alignment;
    } alignments[] = {{1, taLeftJustify}, {3, taRightJustify}, {2, taCenter}, {0, taLeftJustify}};
    for (const auto& a : alignments) {
        Call("SET_PRINT_STYLEA", {1, "Alignment", a.value});
        EXPECT_EQ(Item(1).alDefAlignment(), a.alignment) << a.value;
    }
    Call("SET_PRINT_STYLEA", {1, "PenStyle", 2});
    Call("ADD_PRINT_RECT", {1, 1, 20, 20, 0, 1});
    EXPECT_EQ(Item(2).psDefPenStyle(), psSolid);
    Call("SET_PRINT_STYLE", {"PenStyle", 3});
    Call("SET_PRINT_STYLE", {"PenWidth", 4});
    Call("SET_PRINT_STYLE", {"Angle", 370});
    AddText();
    EXPECT_EQ(Item(3).psDefPenStyle(), psDashDot);
    EXPECT_EQ(Item(3).intDefPenWidth(), 4);
    EXPECT_EQ(Item(3).intDefAngle(), 10);
    Call("SET_PRINT_STYLE", {"FontColor", "transparent"});
    Call("SET_PRINT_STYLE", {"FontColor", "#0000FF"});
    Call("SET_PRINT_STYLE", {"FontColor", ""});
    Call("SET_PRINT_STYLE", {"PreviewOnly", "TRUE"});
    AddText();
    EXPECT_EQ(Item(4).fcDefFontColor(), RGBColor(0, 0, 255));
    EXPECT_TRUE(Item(4).blPreviewOnly);
}

TEST_F(Styles, FontMethodsSetTheWholeFont) {
    AddText("cell");
    AddText("cell");
    Recorder().Clear();
    Call("SET_PRINT_TEXT_STYLE", {0, "黑体", 20, 1, 1, 1, 2});
    EXPECT_EQ(Item(1).intDefSize(), 9);
    EXPECT_TRUE(Shown().isEmpty());
    Call("SET_PRINT_TEXT_STYLE", {1, "黑体", 20, 1, 0, 1, 3});
    EXPECT_EQ(Item(1).strDefFontName(), "黑体");
    EXPECT_EQ(Item(1).intDefSize(), 20);
    EXPECT_EQ(Item(1).fsDefFontStyle(), fsBold | fsUnderline);
    EXPECT_EQ(Item(1).alDefAlignment(), taRightJustify);
    Call("SET_PRINT_TEXT_STYLEA", {"CELL", "Arial", 11, 0, 1, 0, 2, "red"});
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ(Item(i).strDefFontName(), "Arial");
        EXPECT_EQ(Item(i).fsDefFontStyle(), fsItalic);
        EXPECT_EQ(Item(i).fcDefFontColor(), RGBColor(255, 0, 0));
    }
    Call("SET_PRINT_TEXT_STYLEA", {2, "Courier New", 8, 0, 0, 0, 0, 0x00FF00});
    EXPECT_EQ(Item(2).strDefFontName(), "Courier New");
    EXPECT_EQ(Item(1).strDefFontName(), "Arial");
    Call("SET_PRINT_TEXT_STYLEB", {" cell ", "宋体", 12, 0, 0, 0, 0, 0x0000FF});
    EXPECT_EQ(Item(2).fcDefFontColor(), 0x0000FF);
    EXPECT_EQ(Item(2).intDefSize(), 12);
}

TEST_F(Styles, PropertyFrontsSetPlacement) {
    Call("SET_PRINT_PROPERTY", {0, 1, 2, 0});
    AddText("foot");
    EXPECT_EQ(Item(1).ptDefPageType, cptHeadFoot);
    EXPECT_EQ(Item(1).hnDefHorzOrnt, chnCenter);
    EXPECT_EQ(Item(1).hnDefVertOrnt, cvnTop);
    Call("SET_PRINT_PROPERTYA", {"FOOT", 4, 3, 1});
    EXPECT_EQ(Item(1).ptPageType, cptMulPage);
    EXPECT_EQ(Item(1).hnHorzOrnt, chnClient);
    EXPECT_EQ(Item(1).hnVertOrnt, cvnBottom);
}

TEST_F(Styles, ErrorsOfTheFrontsAreShownWithTheMemberName) {
    AddText();
    Call("SET_PRINT_TEXT_STYLE", {"x", "Arial", 10, 0, 0, 0, 0});
    ASSERT_EQ(Shown().size(), 1);
    EXPECT_TRUE(Shown()[0].startsWith("SET_PRINT_TEXT_STYLE \"x\" Error:"))
        << Shown()[0].toStdString();
}

}  // namespace
}  // namespace kavel::test
