#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QPicture>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include "PdfTools.h"
#include "platform/PaperSizes.h"
#include "platform/Variant.h"
#include "platform/VirtualPrinterSystem.h"

namespace kavel {
namespace {

using test::ColorBounds;
using test::PointsToMM;
using test::ReadPdfPages;

// Sets the dialog policy for one test and puts the previous one back.
class ScopedDialogPolicy {
  public:
    explicit ScopedDialogPolicy(DialogAnswer answer) : previous_(DialogPolicy()) {
        SetDialogPolicy(answer);
    }
    ~ScopedDialogPolicy() { SetDialogPolicy(previous_); }

  private:
    DialogAnswer previous_;
};

VirtualPrinter Printer(const QString& name, int dpi = 96) {
    VirtualPrinter printer;
    printer.name = name;
    printer.dpi = dpi;
    return printer;
}

// Three printers: "Office" (the default, A4, 5/10 mm margins), "Label" (a fixed
// printable area of 203 x 290 mm, 300 dpi) and "Plain".
class VirtualPrinters : public ::testing::Test {
  protected:
    void SetUp() override {
        VirtualPrinter office = Printer("Office");
        office.marginsMM = QMarginsF(5, 10, 5, 10);
        office.keepImages = true;
        system.AddPrinter(office);
        VirtualPrinter label = Printer("Label", 300);
        label.printableMM = QSizeF(203, 290);
        system.AddPrinter(label);
        system.AddPrinter(Printer("Plain"));
        system.SetDefaultPrinter("Office");
    }

    VirtualPrinterSystem system;
};

TEST_F(VirtualPrinters, ListDefaultAndCurrentPrinter) {
    EXPECT_EQ(system.Printers(), (QStringList{"Office", "Label", "Plain"}));
    EXPECT_EQ(system.Count(), 3);
    EXPECT_EQ(system.DefaultPrinterName(), "Office");
    EXPECT_EQ(system.DefaultIndex(), 0);
    EXPECT_EQ(system.Current(), 0);  // the default until another is chosen
    system.SetCurrent(2);
    EXPECT_EQ(system.Current(), 2);
    system.SetCurrent(-1);
    EXPECT_EQ(system.Current(), 0);
    system.SetDefaultPrinter("Label");
    EXPECT_EQ(system.Current(), 1);  // -1 follows the default
}

TEST_F(VirtualPrinters, SetCurrentOutsideTheListRaises) {
    system.SetCurrent(1);
    for (int index : {3, 4, -2, 1000}) {
        try {
            system.SetCurrent(index);
            ADD_FAILURE() << "no error for " << index;
        } catch (const KavelError& error) {
            EXPECT_EQ(error.Text(), "Printer selected is not valid");
        }
        EXPECT_EQ(system.Current(), 1) << "a failed choice keeps the current printer";
    }
    system.SetDefaultPrinter(QString());
    EXPECT_EQ(system.DefaultIndex(), -1);
    EXPECT_THROW(system.SetCurrent(-1), KavelError);
    EXPECT_EQ(system.Current(), 1);
}

TEST_F(VirtualPrinters, RemovedPrintersLeaveTheListAndTheirPlace) {
    system.SetCurrent(2);
    system.RemovePrinter("Plain");
    EXPECT_EQ(system.Printers(), (QStringList{"Office", "Label"}));
    EXPECT_EQ(system.Current(), 0);  // back to the default
    system.RemovePrinter("Office");
    EXPECT_EQ(system.DefaultPrinterName(), QString());
    EXPECT_EQ(system.Current(), -1);
    EXPECT_THROW(system.GetDeviceMode(1), KavelError);
    EXPECT_THROW(system.StartJob(1, "t"), KavelError);
}

TEST_F(VirtualPrinters, PrintableAreaFollowsPaperMarginsAndOrientation) {
    struct Case {
        int printer;
        DeviceMode mode;
        int horz, vert, dpi;
    };
    const Case cases[] = {
        {0, {9, 0, 0, 0, 1, 0}, 200, 277, 96},           // A4 less 5/10 mm margins
        {0, {9, 0, 0, 1, 1, 0}, 277, 200, 96},           // landscape
        {0, {11, 0, 0, 0, 1, 0}, 138, 190, 96},          // A5
        {0, {256, 800, 600, 0, 1, 0}, 70, 40, 96},       // user size 80 x 60 mm
        {1, {9, 0, 0, 0, 1, 0}, 203, 290, 300},          // fixed area, portrait
        {1, {9, 0, 0, 1, 1, 0}, 290, 203, 300},          // fixed area swapped in landscape
        {1, {256, 2100, 1400, 0, 1, 0}, 203, 290, 300},  // whatever the paper
        {2, {1, 0, 0, 0, 1, 0}, 216, 279, 96},           // Letter without margins
    };
    for (const Case& c : cases) {
        system.SetDeviceMode(c.printer, c.mode);
        EXPECT_EQ(system.GetDeviceMode(c.printer), c.mode);
        const PrinterCaps caps = system.Caps(c.printer);
        EXPECT_EQ(caps.horzSizeMM, c.horz) << c.printer << " paper " << c.mode.paperSize;
        EXPECT_EQ(caps.vertSizeMM, c.vert) << c.printer << " paper " << c.mode.paperSize;
        EXPECT_EQ(caps.dpiX, c.dpi);
        EXPECT_EQ(caps.dpiY, c.dpi);
    }
    EXPECT_THROW(system.Caps(3), KavelError);
}

TEST_F(VirtualPrinters, DeviceModesAreKeptPerPrinter) {
    DeviceMode landscape = system.GetDeviceMode(1);
    landscape.orientation = 1;
    landscape.copies = 3;
    system.SetDeviceMode(1, landscape);
    EXPECT_EQ(system.GetDeviceMode(1), landscape);
    EXPECT_EQ(system.GetDeviceMode(0), DeviceMode{});
}

TEST_F(VirtualPrinters, JobKeepsTitleModeCopiesAndSheets) {
    DeviceMode mode = system.GetDeviceMode(0);
    mode.copies = 2;
    system.SetDeviceMode(0, mode);
    auto job = system.StartJob(0, "Invoice 7");
    job->Painter().fillRect(QRect(96, 96, 96, 96), Qt::black);  // 1 inch from the corner
    job->NewSheet();
    job->Painter().fillRect(QRect(0, 0, 10, 10), Qt::blue);
    // The mode is taken when the job starts.
    system.SetDeviceMode(0, DeviceMode{});
    job->Finish();

    ASSERT_EQ(system.Jobs().size(), 1u);
    const VirtualJob& record = system.Jobs()[0];
    EXPECT_EQ(record.printer, "Office");
    EXPECT_EQ(record.title, "Invoice 7");
    EXPECT_EQ(record.mode, mode);
    EXPECT_EQ(record.copies, 2);
    EXPECT_EQ(record.pageCount, 2);
    EXPECT_TRUE(record.finished);
    ASSERT_EQ(record.pages.size(), 2);
    // Whole A4 sheets at 96 dpi; drawing starts at the printable area (5 mm, 10 mm).
    EXPECT_EQ(record.pages[0].size(), QSize(794, 1123));
    EXPECT_EQ(ColorBounds(record.pages[0], qRgb(0, 0, 0)), QRect(19 + 96, 38 + 96, 96, 96));
    EXPECT_EQ(ColorBounds(record.pages[1], qRgb(0, 0, 255)), QRect(19, 38, 10, 10));
    EXPECT_TRUE(ColorBounds(record.pages[1], qRgb(0, 0, 0)).isEmpty());
    EXPECT_THROW(job->NewSheet(), KavelError);
}

TEST_F(VirtualPrinters, DrawingOutsideThePrintableAreaIsCut) {
    auto job = system.StartJob(0, "edge");
    job->Painter().fillRect(QRect(-50, -50, 2000, 2000), Qt::red);
    job->Finish();
    // 200 x 277 mm at 96 dpi from (5 mm, 10 mm).
    EXPECT_EQ(ColorBounds(system.Jobs()[0].pages[0], qRgb(255, 0, 0)), QRect(19, 38, 756, 1047));
}

TEST_F(VirtualPrinters, PainterSettingsCarryOverToTheNextSheet) {
    auto job = system.StartJob(0, "pen");
    job->Painter().setBrush(Qt::green);
    job->Painter().setPen(Qt::NoPen);
    job->Painter().translate(100, 0);
    job->NewSheet();
    job->Painter().drawRect(QRect(0, 0, 20, 20));
    job->Finish();
    EXPECT_EQ(ColorBounds(system.Jobs()[0].pages[1], qRgb(0, 255, 0)), QRect(119, 38, 20, 20));
}

TEST_F(VirtualPrinters, EmptyJobIsOneBlankSheet) {
    system.StartJob(2, "empty")->Finish();
    ASSERT_EQ(system.Jobs().size(), 1u);
    EXPECT_EQ(system.Jobs()[0].pageCount, 1);
    EXPECT_TRUE(system.Jobs()[0].pages.isEmpty());  // "Plain" keeps no pictures
}

TEST_F(VirtualPrinters, RecordedPagesPlayAtThePrintersResolution) {
    // A page recorded on the screen (96 per inch) and played into a 300 dpi job lands
    // where it would on paper: the picture scales itself to the job's resolution.
    VirtualPrinter fine = Printer("Fine", 300);
    fine.keepImages = true;
    const int index = system.AddPrinter(fine);
    QPicture page;
    {
        QPainter painter(&page);
        painter.fillRect(QRect(96, 192, 96, 48), Qt::black);  // 1 x 0.5 inch at (1, 2) inch
    }
    auto job = system.StartJob(index, "screen page");
    EXPECT_EQ(job->Painter().device()->logicalDpiX(), 300);
    job->Painter().drawPicture(0, 0, page);
    job->Finish();
    const QImage& sheet = system.Jobs().back().pages[0];
    EXPECT_EQ(sheet.size(), QSize(2480, 3508));  // A4 at 300 dpi
    EXPECT_EQ(ColorBounds(sheet, qRgb(0, 0, 0)), QRect(300, 600, 300, 150));
}

TEST_F(VirtualPrinters, JobsAfterClearingStartAfresh) {
    auto running = system.StartJob(0, "old");
    system.ClearJobs();
    EXPECT_TRUE(system.Jobs().empty());
    running->NewSheet();
    running->Finish();  // a job older than the clearing completes without a record
    EXPECT_TRUE(system.Jobs().empty());
    system.StartJob(0, "new")->Finish();
    ASSERT_EQ(system.Jobs().size(), 1u);
    EXPECT_EQ(system.Jobs()[0].title, "new");
}

TEST_F(VirtualPrinters, RawDataIsKeptUnchanged) {
    const QByteArray data("\x1B@receipt\x00\xFF", 11);
    system.SendRaw(1, data, "SendRawData:receipt");
    ASSERT_EQ(system.RawJobs().size(), 1u);
    EXPECT_EQ(system.RawJobs()[0].printer, "Label");
    EXPECT_EQ(system.RawJobs()[0].title, "SendRawData:receipt");
    EXPECT_EQ(system.RawJobs()[0].data, data);
    EXPECT_THROW(system.SendRaw(5, data, "x"), KavelError);
}

TEST(VirtualPrinterOutput, EachJobIsAPdfFileNumberedFromTheSecondOn) {
    QTemporaryDir dir;
    VirtualPrinterSystem system;
    VirtualPrinter printer = Printer("Pdf", 600);
    printer.marginsMM = QMarginsF(10, 20, 10, 20);
    printer.pdfFile = dir.filePath("out/task.pdf");
    system.AddPrinter(printer);

    DeviceMode a5Landscape;
    a5Landscape.paperSize = 11;
    a5Landscape.orientation = 1;
    system.SetDeviceMode(0, a5Landscape);
    auto first = system.StartJob(0, "First job");
    QFont font("Liberation Sans");
    font.setPointSize(12);
    first->Painter().setFont(font);
    first->Painter().drawText(QPointF(600, 600), "Alpha");  // one inch into the printable area
    first->NewSheet();
    first->Painter().drawText(QPointF(0, 300), "Beta");
    first->Finish();
    system.SetDeviceMode(0, DeviceMode{});
    for (int n = 2; n <= 3; ++n) system.StartJob(0, QString("Job %1").arg(n))->Finish();

    ASSERT_EQ(system.Jobs().size(), 3u);
    EXPECT_EQ(system.Jobs()[0].pdfFile, dir.filePath("out/task.pdf"));
    EXPECT_EQ(system.Jobs()[1].pdfFile, dir.filePath("out/task-2.pdf"));
    EXPECT_EQ(system.Jobs()[2].pdfFile, dir.filePath("out/task-3.pdf"));

    const QList<test::PdfPage> pages = ReadPdfPages(dir.filePath("out/task.pdf"));
    ASSERT_EQ(pages.size(), 2);
    EXPECT_NEAR(PointsToMM(pages[0].sizePt.width()), 210, 0.5);  // A5 landscape
    EXPECT_NEAR(PointsToMM(pages[0].sizePt.height()), 148, 0.5);
    const auto* alpha = pages[0].Find("Alpha");
    ASSERT_NE(alpha, nullptr) << pages[0].Text().toStdString();
    // Landscape margins: 20 mm left, 10 mm top; the text starts one inch further in.
    EXPECT_NEAR(PointsToMM(alpha->boxPt.left()), 20 + 25.4, 1);
    EXPECT_NE(pages[1].Find("Beta"), nullptr);
    EXPECT_EQ(test::PdfTitle(dir.filePath("out/task.pdf")), "First job");

    const QList<test::PdfPage> third = ReadPdfPages(dir.filePath("out/task-3.pdf"));
    ASSERT_EQ(third.size(), 1);
    EXPECT_NEAR(PointsToMM(third[0].sizePt.width()), 210, 0.5);  // A4 portrait again
    EXPECT_NEAR(PointsToMM(third[0].sizePt.height()), 297, 0.5);
}

TEST(VirtualPrinterOutput, FileNamesWithoutOrWithSeveralDots) {
    QTemporaryDir dir;
    VirtualPrinterSystem system;
    VirtualPrinter plain = Printer("NoSuffix");
    plain.pdfFile = dir.filePath("report");
    system.AddPrinter(plain);
    VirtualPrinter dotted = Printer("Dotted");
    dotted.pdfFile = dir.filePath("v1.2.pdf");
    system.AddPrinter(dotted);
    for (int i = 0; i < 2; ++i) {
        system.StartJob(0, "a")->Finish();
        system.StartJob(1, "b")->Finish();
    }
    for (const char* name : {"report", "report-2", "v1.2.pdf", "v1.2-2.pdf"}) {
        EXPECT_TRUE(QFileInfo::exists(dir.filePath(name))) << name;
    }
}

TEST(VirtualPrinterOutput, PagesAsPicturesNamedPerJob) {
    QTemporaryDir dir;
    auto system = MakePdfPrinterSystem(QString(), dir.filePath("png"));
    auto first = system->StartJob(0, "one");
    first->Painter().fillRect(QRect(10, 10, 5, 5), Qt::black);
    first->NewSheet();
    first->Finish();
    system->StartJob(0, "two")->Finish();
    // The second job's pages are named as a second PDF would be.
    for (const char* name : {"page-1.png", "page-2.png", "page-1-2.png"}) {
        const QImage page(dir.filePath(QString("png/") + name));
        EXPECT_EQ(page.size(), QSize(794, 1123)) << name;  // A4 at 96 dpi, no margins
    }
    EXPECT_EQ(QDir(dir.filePath("png")).entryList(QDir::Files).size(), 3);
    EXPECT_EQ(ColorBounds(QImage(dir.filePath("png/page-1.png")), qRgb(0, 0, 0)),
              QRect(10, 10, 5, 5));
}

TEST(VirtualPrinterOutput, JobLeftUnfinishedLeavesNoDocument) {
    QTemporaryDir dir;
    auto system = MakePdfPrinterSystem(dir.filePath("x.pdf"), QString());
    {
        auto job = system->StartJob(0, "broken");
        job->Painter().drawLine(0, 0, 10, 10);
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("x.pdf")));
    EXPECT_FALSE(system->Jobs()[0].finished);
}

TEST(VirtualPrinterOutput, UnwritableOutputRaisesWhenTheJobStarts) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    auto pdf = MakePdfPrinterSystem(dir.filePath("file/x.pdf"), QString());
    EXPECT_THROW(pdf->StartJob(0, "t"), KavelError);
    auto png = MakePdfPrinterSystem(QString(), dir.filePath("file/png"));
    EXPECT_THROW(png->StartJob(0, "t"), KavelError);
}

TEST(VirtualPrinterOutput, BuiltInPdfPrinter) {
    auto system = MakePdfPrinterSystem("", "");
    EXPECT_EQ(system->Printers(), QStringList{"Kavel PDF"});
    EXPECT_EQ(system->DefaultIndex(), 0);
    EXPECT_EQ(system->GetDeviceMode(0).paperSize, 9);
    const PrinterCaps caps = system->Caps(0);
    EXPECT_EQ(caps.horzSizeMM, 210);
    EXPECT_EQ(caps.vertSizeMM, 297);
    EXPECT_EQ(caps.dpiX, 96);
}

TEST(PrinterSystemGlobal, ReplacedForTestsAndPutBack) {
    auto mine = MakePdfPrinterSystem("", "");
    auto previous = SetPrinterSystem(mine);
    EXPECT_EQ(&Printers(), mine.get());
    EXPECT_EQ(SetPrinterSystem(previous), mine);
}

// Dialogs answered by scripts and by the dialog policy.
class VirtualDialogs : public VirtualPrinters {};

TEST_F(VirtualDialogs, ScriptedPrintDialogChoosesPrinterCopiesAndRange) {
    system.SetPrintDialogScript([](PrintDialogValues& values) {
        EXPECT_EQ(values.printer, 0);  // preset from the current printer
        values.printer = 2;
        values.copies = 3;
        values.range = PrintDialogValues::PageRange;
        values.fromPage = 2;
        values.toPage = 4;
        return true;
    });
    PrintDialogValues values;
    values.maxPage = values.toPage = 5;
    ASSERT_TRUE(system.PrintDialog(values));
    EXPECT_EQ(values.printer, 2);
    EXPECT_EQ(values.copies, 3);
    EXPECT_EQ(values.range, PrintDialogValues::PageRange);
    EXPECT_EQ(values.fromPage, 2);
    EXPECT_EQ(values.toPage, 4);
    EXPECT_EQ(system.Current(), 2);                // the chosen printer is current
    EXPECT_EQ(system.GetDeviceMode(2).copies, 3);  // and prints the copies chosen
    EXPECT_EQ(system.GetDeviceMode(0).copies, 1);
}

TEST_F(VirtualDialogs, CancelledOrInvalidChoiceChangesNothing) {
    PrintDialogValues values;
    values.copies = 4;
    const PrintDialogValues before = values;
    system.SetPrintDialogScript([](PrintDialogValues& v) {
        v.copies = 9;
        return false;
    });
    EXPECT_FALSE(system.PrintDialog(values));
    system.SetPrintDialogScript([](PrintDialogValues& v) {
        v.printer = 7;
        return true;
    });
    EXPECT_FALSE(system.PrintDialog(values));
    EXPECT_EQ(values.copies, before.copies);
    EXPECT_EQ(system.Current(), 0);
    EXPECT_EQ(system.GetDeviceMode(0).copies, 1);
}

TEST_F(VirtualDialogs, ScriptedPageSetupChangesTheChosenPrintersMode) {
    system.SetPageSetupDialogScript([this](int& printer) {
        EXPECT_EQ(printer, 1);
        printer = 2;
        DeviceMode mode = system.GetDeviceMode(2);
        mode.paperSize = 11;
        mode.orientation = 1;
        system.SetDeviceMode(2, mode);
        return true;
    });
    int printer = 1;
    ASSERT_TRUE(system.PageSetupDialog(printer));
    EXPECT_EQ(printer, 2);
    EXPECT_EQ(system.Current(), 2);
    EXPECT_EQ(system.GetDeviceMode(2).paperSize, 11);
    EXPECT_EQ(system.Caps(2).horzSizeMM, 210);
}

TEST_F(VirtualDialogs, PolicyAnswersWithoutShowing) {
    PrintDialogValues values;
    values.printer = -1;
    values.copies = 2;
    {
        ScopedDialogPolicy cancel(DialogAnswer::Cancel);
        EXPECT_FALSE(system.PrintDialog(values));
        int printer = 1;
        EXPECT_FALSE(system.PageSetupDialog(printer));
    }
    {
        ScopedDialogPolicy ok(DialogAnswer::Ok);
        system.SetCurrent(1);
        ASSERT_TRUE(system.PrintDialog(values));
        EXPECT_EQ(values.printer, 1);  // no printer preset: the current one
        EXPECT_EQ(values.copies, 2);
        int printer = 2;
        EXPECT_TRUE(system.PageSetupDialog(printer));
        EXPECT_EQ(system.Current(), 2);
    }
}

TEST(VirtualDialogsWithoutPrinters, AreNeverConfirmed) {
    ScopedDialogPolicy ok(DialogAnswer::Ok);
    VirtualPrinterSystem empty;
    PrintDialogValues values;
    EXPECT_FALSE(empty.PrintDialog(values));
    int printer = -1;
    EXPECT_FALSE(empty.PageSetupDialog(printer));
}

// Answers the next modal dialog as a user would: `act` changes its widgets, then OK.
void AnswerNextDialog(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        act(dialog);
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        buttons->button(QDialogButtonBox::Ok)->click();
    });
}

TEST_F(VirtualDialogs, ShownPrintDialogTakesTheUsersChoice) {
    ScopedDialogPolicy show(DialogAnswer::Show);
    AnswerNextDialog([](QWidget* dialog) {
        EXPECT_EQ(dialog->findChild<QComboBox*>("PrinterBox")->currentText(), "Label");
        EXPECT_EQ(dialog->findChild<QSpinBox*>("CopiesBox")->value(), 2);
        dialog->findChild<QComboBox*>("PrinterBox")->setCurrentIndex(2);
        dialog->findChild<QSpinBox*>("CopiesBox")->setValue(5);
        dialog->findChild<QRadioButton*>("PageRangeButton")->setChecked(true);
        dialog->findChild<QSpinBox*>("FromBox")->setValue(3);
        dialog->findChild<QSpinBox*>("ToBox")->setValue(9);  // beyond the last page
    });
    PrintDialogValues values;
    values.printer = 1;
    values.copies = 2;
    values.maxPage = values.toPage = 6;
    ASSERT_TRUE(system.PrintDialog(values));
    EXPECT_EQ(values.printer, 2);
    EXPECT_EQ(values.copies, 5);
    EXPECT_EQ(values.range, PrintDialogValues::PageRange);
    EXPECT_EQ(values.fromPage, 3);
    EXPECT_EQ(values.toPage, 6);
}

TEST_F(VirtualDialogs, ShownPageSetupDialogStoresPaperAndOrientation) {
    ScopedDialogPolicy show(DialogAnswer::Show);
    AnswerNextDialog([](QWidget* dialog) {
        auto* paper = dialog->findChild<QComboBox*>("PaperBox");
        EXPECT_EQ(paper->currentText(), "A4 210 x 297 mm");
        paper->setCurrentIndex(paper->findText("B5 182 x 257 mm"));
        dialog->findChild<QRadioButton*>("LandscapeButton")->setChecked(true);
    });
    int printer = 0;
    ASSERT_TRUE(system.PageSetupDialog(printer));
    EXPECT_EQ(printer, 0);
    EXPECT_EQ(system.GetDeviceMode(0).paperSize, 13);
    EXPECT_EQ(system.GetDeviceMode(0).orientation, 1);
}

}  // namespace
}  // namespace kavel
