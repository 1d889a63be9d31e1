// Display settings and the layout stored for a task, applied before every output.
#include "ControlFixture.h"
#include "control/ShowMode.h"
#include "platform/SettingsStore.h"

namespace kavel::test {
namespace {

class Layout : public ControlTest {
  protected:
    void WriteLayout(const QString& task, const QByteArray& text) {
        ASSERT_TRUE(WriteFile(GetSettingsFileName(false, task), text));
    }
    void BuildTask(const char* name) {
        Call("PRINT_INIT", {name});
        Call("ADD_PRINT_TEXT", {10, 20, 200, 30, "moved"});
        Call("ADD_PRINT_TEXTA", {"notes", 100, 20, 200, 30, "hidden"});
        Call("ADD_PRINT_RECT", {200, 20, 100, 50, 0, 1});
    }
};

TEST_F(Layout, AStoredLayoutIsAppliedBeforeEveryOutput) {
    WriteLayout(
        "Orders",
        "; adjusted by hand\r\n[ITEM0]\r\nPRNTOP=50\r\nPRNLEFT=60\r\nPRNWIDTH=abc\r\n"
        "PRNFONTSIZE=14\r\nPRNBOLD=1\r\nPRNHEIGHT\r\n= no key\r\n[NOTES]\r\nprninvisible=1\r\n"
        "PRNFONTSIZE=\r\nPRNWIDTH=9999999999\r\n[ITEMPanelPPTL]\r\nPRNTOP=-x\r\n"
        "[ITEM2]\r\nPRNTOP=x\r\nPRNPENWIDTH=5\r\nPRNSHAPETYPE=3\r\n");
    BuildTask("Orders");
    const int pageTop = Form().PageObject()->Top();
    Form().PrepareTask(0, false);
    // Values that are no integers, lines without a key or value, are ignored one by one.
    EXPECT_EQ(Bounds(Item(1)), QRect(60, 50, 200, 30));
    EXPECT_EQ(Item(1).RichEdit()->FontSize(), 14);
    EXPECT_TRUE(Item(1).RichEdit()->FontStyle() & fsBold);
    EXPECT_EQ(Item(1).intDefTop(), 10);  // the script's values stay
    EXPECT_FALSE(Item(2).Visible());
    EXPECT_EQ(Item(2).Width(), 200);
    EXPECT_EQ(Item(2).RichEdit()->FontSize(), 9);
    EXPECT_EQ(Form().PageObject()->Top(), pageTop);
    EXPECT_EQ(Item(3).Top(), 200);
    EXPECT_EQ(Item(3).Shape()->Pen().width, 5);
    EXPECT_EQ(Item(3).Shape()->ShapeType(), cstEllipse);
    // Without adjustments (PRINTB, PREVIEWB) every item is where script put it.
    Form().PrepareTask(0, true);
    EXPECT_EQ(Item(1).Top(), 10);
    EXPECT_TRUE(Item(2).Visible());
    EXPECT_EQ(Item(1).RichEdit()->FontSize(), 9);
}

TEST_F(Layout, StoredScriptPixelsAreConvertedAndAnEmptyTaskNameReadsNothing) {
    control->SetPixelsPerInch(120);
    WriteLayout("Wide", "[ITEM0]\nPRNTOP=40\nPRNLEFT=100\n");
    BuildTask("Wide");
    Form().PrepareTask(0, false);
    EXPECT_EQ(Item(1).Left(), 125);
    EXPECT_EQ(Item(1).Top(), 50);
    control->SetPixelsPerInch(96);
    WriteLayout("", "[ITEM0]\nPRNTOP=77\n");
    BuildTask("");
    Form().PrepareTask(0, false);
    EXPECT_EQ(Item(1).Top(), 10);
}

TEST_F(Layout, DesignModeStartsFromTheScriptLayout) {
    Call("PRINT_INIT", {""});
    Call("ADD_PRINT_TEXT", {10, 20, 200, 30, "x"});
    const QString design = GetSettingsFileName(true, "NoPrintTaskName");
    ASSERT_TRUE(WriteFile(design, "[ITEM0]\nPRNTOP=90\n"));
    Form().PrepareTask(2, false);
    EXPECT_EQ(Form().Setup().strTaskName, "NoPrintTaskName");
    EXPECT_EQ(Form().Setup().strIniFileName, design);
    EXPECT_FALSE(QFile::exists(design));
    EXPECT_EQ(Item(1).Top(), 10);
}

TEST_F(Layout, ShowModeKeys) {
    Call("PRINT_INIT", {"show"});
    TprnSetup& s = Form().Setup();
    EXPECT_EQ(Call("SET_SHOW_MODE", {"setup_enabless", "0x1"}), Variant::Bool(true));
    EXPECT_EQ(s.strSetupEnables, "01111111000001");
    Call("SET_SHOW_MODE", {"BKIMG_IN_FIRSTPAGE", "false"});
    EXPECT_EQ(s.intBkImgMode, 0);
    Call("SET_SHOW_MODE", {"BKIMG_IN_FIRSTPAGE", "true"});
    EXPECT_EQ(s.intBkImgMode, 2);
    EXPECT_EQ(Call("SET_SHOW_MODE", {"Show_Modal", "TRUE"}), Variant::Bool(true));
    EXPECT_TRUE(RunState().blShowModal);
    EXPECT_EQ(Call("SET_SHOW_MODE", {"HTM_FONT_ZOOM", 255}), Variant::Bool(true));
    EXPECT_EQ(RunState().HtmFontZoom, 0);
    EXPECT_EQ(Call("SET_SHOW_MODE", {"NO_SUCH_KEY", 1}), Variant::Bool(false));
    EXPECT_EQ(Call("SET_SHOW_MODE", {"SKIN_TYPE", "abc"}), Variant::Bool(false));
    EXPECT_EQ(GetSkinColor(s), s.intSkinColor);
    Call("SET_SHOW_MODE", {"SKIN_TYPE", 2});
    EXPECT_EQ(GetSkinColor(s), RGBColor(0xE6, 0xE6, 0xFA));
    Call("SET_SHOW_MODE", {"SKIN_TYPE", 20});
    EXPECT_EQ(GetSkinColor(s), RGBColor(0xFF, 0xE4, 0xC4));
    Call("SET_SHOW_MODE", {"SKIN_CUSTOM_COLOR", "#102030"});
    EXPECT_EQ(GetSkinColor(s), RGBColor(0x10, 0x20, 0x30));
}

}  // namespace
}  // namespace kavel::test
