// Paper, printers, copies and the print and preview settings of a task.
#include "ControlFixture.h"
#include "control/PrintChoice.h"

namespace kavel::test {
namespace {

class PageSetup : public ControlTest {
  protected:
    void SetUp() override {
        ControlTest::SetUp();
        Call("PRINT_INIT", {"setup"});
    }
};

TEST_F(PageSetup, PaperSizeSizesThePageObjectUnlessThePaperIsFixed) {
    Call("SET_PRINT_PAGESIZE", {2, 2100, 2970, "A4"});
    EXPECT_EQ(Form().PageObject()->intDefWidth(), 1122);
    EXPECT_EQ(Form().PageObject()->intDefHeight(), 793);
    EXPECT_EQ(Form().Setup().intOrient, 2);
    Call("SET_PRINT_PAGESIZE", {1, 2100, 2970, " A4 "});
    EXPECT_EQ(Form().PageObject()->intDefWidth(), 793);
    EXPECT_EQ(Form().PageObject()->intDefHeight(), 1122);
    EXPECT_EQ(Form().Setup().strPageName, "A4");
    Call("SET_PRINT_PAGESIZE", {3, 0, 0, "Letter"});
    EXPECT_EQ(Form().Setup().intOrient, 0);
    EXPECT_EQ(Form().PageObject()->intDefWidth(), 793);  // a name alone keeps the page
    Call("SET_PRINT_PAPER", {10, 20, 600, 400, "paper"});
    Call("SET_PRINT_PAGESIZE", {1, 1000, 1000, ""});
    EXPECT_EQ(Form().PageObject()->intDefWidth(), 600);
    EXPECT_EQ(Form().PageObject()->intDefTop(), 10);
    EXPECT_TRUE(Form().Setup().blPageSizeSet);
}

TEST_F(PageSetup, PrinterNamesAndTheirRangeMessage) {
    EXPECT_EQ(Call("GET_PRINTER_NAME", {1}), Variant::Str("Beta Ink"));
    EXPECT_EQ(Call("GET_PRINTER_NAME", {-1}), Variant::Str("Beta Ink"));
    EXPECT_TRUE(Shown().isEmpty());
    EXPECT_EQ(Call("GET_PRINTER_NAME", {2}), Variant::Str(""));
    EXPECT_EQ(Call("GET_PRINTER_NAME", {-2}), Variant::Str(""));
    EXPECT_EQ(Shown(), (QStringList{"2号打印机不存在(编号范围：-1..1)",
                                    "-2号打印机不存在(编号范围：-1..1)"}));
    UsePrinters(std::make_shared<VirtualPrinterSystem>());
    Recorder().Clear();
    EXPECT_EQ(Call("GET_PRINTER_COUNT"), Variant::I4(0));
    EXPECT_EQ(Call("GET_PRINTER_NAME", {0}), Variant::Str(""));
    EXPECT_EQ(Shown(), QStringList{"无打印机！"});
}

TEST_F(PageSetup, PrinterChoiceByNumberAndByName) {
    const int current = printers->Current();
    EXPECT_EQ(Call("SET_PRINTER_INDEX", {-1}), Variant::Bool(true));
    EXPECT_EQ(Form().Setup().intPrinterNo, 0);
    EXPECT_EQ(GetPrintPrinter(Context(), Form().Setup()), -1);
    EXPECT_EQ(Call("SET_PRINTER_INDEX", {1}), Variant::Bool(true));
    EXPECT_EQ(Form().Setup().intPrinterNo, 2);
    EXPECT_EQ(Call("SET_PRINTER_INDEX", {2}), Variant::Bool(false));
    EXPECT_EQ(Shown(), QStringList{"2号打印机不存在"});
    Recorder().Clear();
    EXPECT_EQ(Call("SET_PRINTER_INDEXA", {"alpha laser"}), Variant::Bool(true));
    EXPECT_EQ(Form().Setup().intPrinterNo, 1);
    EXPECT_EQ(Call("SET_PRINTER_INDEXA", {" Alpha Laser"}), Variant::Bool(false));
    EXPECT_EQ(Shown(), QStringList{"名称为\" Alpha Laser\"的打印机无效！"});
    // The selection test leaves the current printer as it was.
    EXPECT_EQ(printers->Current(), current);
}

TEST_F(PageSetup, ModesCopiesAndPreviewSettings) {
    EXPECT_EQ(Call("SET_PRINT_MODE", {"double_sided_print", "TRUE"}), Variant::Bool(true));
    EXPECT_TRUE(Form().Setup().blDoubleSided);
    EXPECT_EQ(Call("SET_PRINT_MODE", {"DOUBLE_SIDED_PRINT", "yes"}), Variant::Bool(true));
    EXPECT_FALSE(Form().Setup().blDoubleSided);
    EXPECT_EQ(Call("SET_PRINT_MODE", {"COLLATE", 1}), Variant::Bool(false));
    EXPECT_EQ(Call("SET_PRINT_COPIES", {-5}), Variant::Bool(true));
    EXPECT_EQ(Form().Setup().intCopies, -5);
    Call("SET_PREVIEW_MODE", {2});
    Call("SET_PREVIEW_MODE", {5});
    EXPECT_EQ(Form().Setup().intDispMode, 2);
    Call("SET_PREVIEW_WINDOW", {5, 7, 1, 0, 0, ""});
    EXPECT_EQ(Form().Setup().intDispMode, 1);
    EXPECT_EQ(Form().Setup().intToolMode, 0);
    EXPECT_TRUE(Form().Setup().blDirectPrint);
    control->SetPixelsPerInch(120);
    Call("SET_PREVIEW_WINDOW", {0, 2, 0, 800, 600, "Title.Print"});
    EXPECT_EQ(Form().Setup().intPreviewWidth, 1000);
    EXPECT_EQ(Form().Setup().strPButtonCaption, "Title.Print");
    EXPECT_FALSE(Form().Setup().blDirectPrint);
}

TEST_F(PageSetup, ScriptSettingsWinOverSavedOnesExceptThePaperCode) {
    TprnSetup setup;
    QTemporaryDir dir;
    setup.IniFile = std::make_shared<SettingsStore>(dir.filePath("s.ini"));
    using Paper = std::array<int, 4>;  // printer, orientation, copies, paper size
    const auto paper = [&] {
        const TPrintPaper p = GetPrintPaper(Context(), setup);
        return Paper{p.printer, p.orientation, p.copies, p.paperSize};
    };
    EXPECT_EQ(paper(), (Paper{-1, -1, -1, 0}));
    setup.IniFile->Write("PRNSETUP", "PRINTERINDEX", "-7");
    setup.IniFile->Write("PRNSETUP", "PAPERORIENT", "2");
    setup.IniFile->Write("PRNSETUP", "PAPECOPIES", "3");
    setup.IniFile->Write("PRNSETUP", "PAPERSIZE", "11");
    EXPECT_EQ(paper(), (Paper{-1, 1, 3, 11}));
    setup.intPrinterNo = 2;
    setup.intOrient = 1;
    setup.intCopies = 5;
    EXPECT_EQ(paper(), (Paper{1, 0, 5, 11}));
    setup.intPrinterNo = 9;
    EXPECT_EQ(GetPrintPrinter(Context(), setup), -2);
    EXPECT_EQ(Shown(), QStringList{"8号打印机未找到！"});
    setup.intPrinterNo = -1;
    setup.IniFile->Write("PRNSETUP", "PAPECOPIES", "many");
    EXPECT_THROW(GetPrintPaper(Context(), setup), KavelError);
}

}  // namespace
}  // namespace kavel::test
