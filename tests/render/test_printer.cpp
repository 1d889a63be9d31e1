// The page target: printer configuration, recording, printing and the print dialog's locks.
#include "PageInk.h"
#include "control/ControlFixture.h"
#include "render/PrevStringFormUnit.h"
#include "render/kvlPrintrUnit.h"

namespace kavel::test {
namespace {

class PageTarget : public ::testing::Test {
  protected:
    void SetUp() override {
        printers = MakePrinters({"Plain"});  // the default
        VirtualPrinter narrow;
        narrow.name = "Narrow";
        narrow.printableMM = QSizeF(203, 290);
        printers->AddPrinter(narrow);
        UsePrinters(printers);
    }
    static int BarOf(const QImage& page) {
        return InkBounds(page, QRect(0, 0, 200, 20)).width() / 10;
    }

    std::shared_ptr<VirtualPrinterSystem> printers;
};

TEST_F(PageTarget, UserPaperIsLimitedByThePrintableArea) {
    TPrintOption options;
    options.PrinterIndex = 1;
    options.Width = 2100;
    options.Height = 1400;
    TKVPrinter target(options, 96, test::SharedContext());
    EXPECT_EQ(target.PaperWidth(), 2030);
    EXPECT_EQ(target.PaperHeight(), 1400);
    EXPECT_EQ(target.PaperSize(), 256);
    EXPECT_EQ(target.PageWidth(), 767);
    options.Orientation = 1;  // landscape: the printable area turns, the user size too
    TKVPrinter landscape(options, 96, test::SharedContext());
    EXPECT_EQ(landscape.PaperWidth(), 1400);
    EXPECT_EQ(landscape.PaperHeight(), 2030);
}

TEST_F(PageTarget, PaperNamesPickTheFirstTableEntryThatContainsThem) {
    const std::pair<const char*, int> names[] = {
        {"a4", 9}, {"A4 SMALL", 10}, {"letter", 1}, {"no such paper", -1}};
    for (const auto& [name, code] : names) EXPECT_EQ(PaperCodeForName(name), code) << name;
    TPrintOption options;
    options.PaperName = "a5";
    TKVPrinter target(options, 96, test::SharedContext());
    EXPECT_EQ(target.PaperSize(), 11);
    EXPECT_EQ(target.PaperWidth(), 1480);
    EXPECT_EQ(target.PageWidth(), 559);
    EXPECT_EQ(printers->GetDeviceMode(0).paperSize, 11);
}

TEST_F(PageTarget, RecordingRulesAndPagesReadInAnyOrder) {
    TKVPrinter target(TPrintOption{}, 96, test::SharedContext());
    EXPECT_THROW(target.NewPage(), KavelError);
    RecordBars(target, 5);
    EXPECT_THROW(target.BeginDoc(), KavelError);
    EXPECT_EQ(target.PageCount(), 5);
    EXPECT_EQ(target.GetPage(0), nullptr);
    EXPECT_EQ(target.GetPage(6), nullptr);
    for (int n : {3, 2, 1, 5, 4}) {
        auto page = target.GetPage(n);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(BarOf(Replay(*page, QSize(200, 20))), n);
    }
}

TEST_F(PageTarget, ManualDuplexPrintsOddPagesThenTheHintThenEvenPages) {
    TKVPrinter target(TPrintOption{}, 96, test::SharedContext());
    RecordBars(target, 5);
    target.FromPage = 1;
    target.ToPage = 5;
    target.Print(true, "turn the paper");
    ASSERT_EQ(printers->Jobs().size(), 2u);
    QList<int> odd, even;
    for (const QImage& p : printers->Jobs()[0].pages) odd << BarOf(p);
    for (const QImage& p : printers->Jobs()[1].pages) even << BarOf(p);
    EXPECT_EQ(odd, (QList<int>{1, 3, 5}));
    EXPECT_EQ(even, (QList<int>{2, 4}));
    EXPECT_EQ(Recorder().infos, QStringList{"turn the paper"});
    // A side without a page of the range wastes no sheet, and nobody turns the paper for it.
    struct Case {
        int from, to;
        size_t jobs;
        bool hint;
    };
    for (const Case& c :
         {Case{1, 1, 1, false}, Case{3, 3, 1, false}, Case{2, 2, 1, false}, Case{2, 3, 2, true}}) {
        printers->ClearJobs();
        Recorder().Clear();
        target.FromPage = c.from;
        target.ToPage = c.to;
        target.Print(true, "turn the paper");
        EXPECT_EQ(printers->Jobs().size(), c.jobs) << c.from << "-" << c.to;
        EXPECT_EQ(Recorder().infos.isEmpty(), !c.hint) << c.from << "-" << c.to;
    }
}

class PrintDialogLocks : public ControlTest {
  protected:
    void SetUp() override {
        ControlTest::SetUp();
        Call("PRINT_INIT", {"locks"});
        Call("ADD_PRINT_TEXT", {10, 10, 100, 20, "x"});
    }
    QString Saved(const char* key) { return Form().Setup().IniFile->Read("PRNSETUP", key); }
};

TEST_F(PrintDialogLocks, FixedCopiesAndPrinterAreKeptAndTheUserIsTold) {
    Call("SET_PRINT_COPIES", {2});
    Call("SET_PRINTER_INDEX", {1});
    printers->SetPrintDialogScript([](PrintDialogValues&) { return true; });  // as preset
    EXPECT_EQ(Call("PRINTA"), Variant::Bool(true));
    EXPECT_TRUE(Shown().isEmpty());
    EXPECT_EQ(Saved("PRINTERINDEX"), "1");
    Call("ADD_PRINT_TEXT", {10, 10, 100, 20, "x"});  // a new task after the print
    Call("SET_PRINT_COPIES", {2});
    Call("SET_PRINTER_INDEX", {1});
    printers->SetPrintDialogScript([](PrintDialogValues& v) {
        v.printer = 0;
        v.copies = 3;
        return true;
    });
    EXPECT_EQ(Call("PRINTA"), Variant::Bool(true));
    EXPECT_EQ(Shown(), (QStringList{"目标打印机已由程序控制，无法改变！",
                                    "打印份数已由程序控制，无法改变！"}));
    EXPECT_EQ(Saved("PRINTERINDEX"), "1");  // the locked choices are not saved
    EXPECT_EQ(Saved("PAPECOPIES"), "2");
    EXPECT_EQ(printers->Jobs().back().printer, "Beta Ink");
    EXPECT_EQ(printers->Jobs().back().copies, 2);
}

TEST_F(PrintDialogLocks, ChoicesOfAFreeTaskAreSavedAndUsed) {
    printers->SetPrintDialogScript([](PrintDialogValues& v) {
        v.printer = 0;
        v.copies = 3;
        return true;
    });
    EXPECT_EQ(Call("PRINTA"), Variant::Bool(true));
    EXPECT_TRUE(Shown().isEmpty());
    EXPECT_EQ(Saved("PRINTERINDEX"), "0");
    EXPECT_EQ(Saved("PAPECOPIES"), "3");
    EXPECT_EQ(printers->Jobs().back().printer, "Alpha Laser");
    EXPECT_EQ(printers->Jobs().back().copies, 3);
    // The next print of the task uses them without asking.
    Call("PRINT_INIT", {"locks"});
    Call("ADD_PRINT_TEXT", {10, 10, 100, 20, "again"});
    EXPECT_EQ(Call("PRINT"), Variant::Bool(true));
    EXPECT_EQ(printers->Jobs().back().printer, "Alpha Laser");
}

// An empty task that prints nothing is checked by the e2e_honest whole run.
TEST_F(PrintDialogLocks, FailedPrintsTellTheUserAndLeaveTheControlReady) {
    Form().PrepareTask(0, false);
    Form().Setup().IniFile->Write("PRNSETUP", "PAPECOPIES", "lots");
    EXPECT_EQ(Call("PRINT"), Variant::Bool(false));
    ASSERT_EQ(Shown().size(), 1);
    EXPECT_TRUE(Shown()[0].startsWith("操作失败，请关闭浏览器再试！问题描述:"))
        << Shown()[0].toStdString();
    EXPECT_FALSE(Form().Busy());
    Recorder().Clear();
    UsePrinters(std::make_shared<VirtualPrinterSystem>());
    Call("ADD_PRINT_TEXT", {10, 10, 100, 20, "x"});
    EXPECT_EQ(Call("PRINT"), Variant::Bool(false));
    EXPECT_EQ(Shown(), QStringList{"请在操作系统安装打印机！"});
    EXPECT_FALSE(Form().Busy());
}

TEST(PagePlayback, APageStartsFromTheDefaultStateWhateverThePlayerDrewBefore) {
    const auto fonts = std::make_shared<PageFonts>();
    PageRecorder recorder(QSize(100, 40), fonts);
    {
        QPainter painter(&recorder);
        painter.drawText(QRect(0, 0, 100, 40), Qt::AlignCenter, "MMMM");  // no pen set
    }
    const RecordedPage page{recorder.Record(), fonts};
    QImage image(100, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter player(&image);
    player.setPen(QPen(QColor(250, 250, 250)));
    player.setOpacity(0.2);
    DrawPageStretched(player, page, QSize(100, 40), QRectF(0, 0, 100, 40));
    player.end();
    const QRect ink = InkBounds(image, QRect(), 80);
    EXPECT_FALSE(ink.isNull());
}

}  // namespace
}  // namespace kavel::test
