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

TEST_F(Styles, ItemsAreFoundByIntegerNumberOrByNameInAnyCase) {
    for (const char* name : {"Title", "other", " TITLE ", ""}) AddText(name);
    for (const Variant& other :
         {Variant(5), Variant::R8(2.0), Variant::Bool(true), Variant::UI1(2), Variant("nobody")}) {
        Call("SET_PRINT_STYLEA", {other, "FontSize", 30});
    }
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(Item(i).intDefSize(), 9);
    Call("SET_PRINT_STYLEA", {Variant::I2(2), "FontSize", 30});
    EXPECT_EQ(Item(2).intDefSize(), 30);
    Call("SET_PRINT_STYLEA", {"  title", "Bold", 1});
    EXPECT_TRUE(Item(1).fsDefFontStyle() & fsBold);
    EXPECT_FALSE(Item(2).fsDefFontStyle() & fsBold);
    EXPECT_TRUE(Item(3).fsDefFontStyle() & fsBold);
    EXPECT_TRUE(Shown().isEmpty());
}

TEST_F(Styles, PageTypesPageIndexAndSyntaxErrors) {
    AddText();
    Call("ADD_PRINT_RECT", {10, 10, 50, 50, 0, 1});
    Call("SET_PRINT_STYLEA", {2, "ItemType", 2});  // page numbers are text only
    EXPECT_EQ(Item(2).ptDefPageType, cptPageData);
    Call("SET_PRINT_STYLEA", {1, "ItemType", 2});
    EXPECT_EQ(Item(1).ptDefPageType, cptPageNo);
    EXPECT_EQ(Item(1).ptPageType, cptPageNo);
    Call("SET_PRINT_STYLEA", {2, "itemtype", "1"});
    EXPECT_EQ(Item(2).ptDefPageType, cptHeadFoot);
    Call("SET_PRINT_STYLEA", {2, "ItemType", "nonsense"});
    EXPECT_EQ(Item(2).ptDefPageType, cptPageData);
    EXPECT_TRUE(Shown().isEmpty());
    Call("SET_PRINT_STYLEA", {1, "PageIndex", "Last"});
    EXPECT_EQ(Item(1).strPageIndex, "last");
    Call("SET_PRINT_STYLEA", {1, "PageIndex", "07"});
    EXPECT_EQ(Item(1).strPageIndex, "7");
    Call("SET_PRINT_STYLEA", {1, "PageIndex", "x"});
    EXPECT_EQ(Item(1).strPageIndex, "7");
    Call("SET_PRINT_STYLE", {"PageIndex", "x"});  // no effect, no message on the default style
    Call("SET_PRINT_STYLEA", {1, "fontsize", "big"});
    EXPECT_EQ(Item(1).intDefSize(), 9);
    EXPECT_EQ(Shown(), (QStringList{"Set \"PageIndex\"(number 1) Error,Please check syntax!",
                                    "Set \"fontsize\"(number 1) Error,Please check syntax!"}));
}

TEST_F(Styles, SwitchesAlignmentPenStyleAngleAndColour) {
    AddText();
    Call("SET_PRINT_STYLEA", {1, "Bold", 1});
    Call("SET_PRINT_STYLEA", {1, "Bold", 2});  // neither on nor off: kept
    EXPECT_TRUE(Item(1).fsDefFontStyle() & fsBold);
    Call("SET_PRINT_STYLEA", {1, "Bold", Variant::Bool(false)});
    EXPECT_FALSE(Item(1).fsDefFontStyle() & fsBold);
    Call("SET_PRINT_STYLEA", {1, "Italic", "1"});
    EXPECT_TRUE(Item(1).fsDefFontStyle() & fsItalic);
    const std::pair<int, TAlignment> alignments[] = {
        {1, taLeftJustify}, {3, taRightJustify}, {2, taCenter}, {0, taLeftJustify}};
    for (const auto& [value, alignment] : alignments) {
        Call("SET_PRINT_STYLEA", {1, "Alignment", value});
        EXPECT_EQ(Item(1).alDefAlignment(), alignment) << value;
    }
    Call("SET_PRINT_STYLEA", {1, "PenStyle", 2});
    Call("ADD_PRINT_RECT", {1, 1, 20, 20, 0, 1});
    EXPECT_EQ(Item(2).psDefPenStyle(), psSolid);
    Call("SET_PRINT_STYLE", {"PenStyle", 3});
    Call("SET_PRINT_STYLE", {"PenWidth", 4});
    Call("SET_PRINT_STYLE", {"Angle", 370});
    for (const char* colour : {"transparent", "#0000FF", ""}) {
        Call("SET_PRINT_STYLE", {"FontColor", colour});  // what is no colour keeps the last
    }
    Call("SET_PRINT_STYLE", {"PreviewOnly", "TRUE"});
    AddText();
    EXPECT_EQ(Item(3).psDefPenStyle(), psDashDot);
    EXPECT_EQ(Item(3).intDefPenWidth(), 4);
    EXPECT_EQ(Item(3).intDefAngle(), 10);
    EXPECT_EQ(Item(3).fcDefFontColor(), RGBColor(0, 0, 255));
    EXPECT_TRUE(Item(3).blPreviewOnly);
}

TEST_F(Styles, FontMethodsSetTheWholeFont) {
    AddText("cell");
    AddText("cell");
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
    // Errors of the fronts are shown with the member name.
    Call("SET_PRINT_TEXT_STYLE", {"x", "Arial", 10, 0, 0, 0, 0});
    ASSERT_EQ(Shown().size(), 1);
    EXPECT_TRUE(Shown()[0].startsWith("SET_PRINT_TEXT_STYLE \"x\" Error:"))
        << Shown()[0].toStdString();
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

}  // namespace
}  // namespace kavel::test
