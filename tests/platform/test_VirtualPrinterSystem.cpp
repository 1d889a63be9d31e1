// The virtual printer system: the printer list and the current printer, device modes and
// printable areas, jobs kept as pictures or written as PDF files, and the dialogs.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileInfo>
#include <QPicture>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include "PdfTools.h"
#include "common/TestSupport.h"
#include "platform/Variant.h"
#include "platform/VirtualPrinterSystem.h"

namespace kavel {
namespace {

using test::AnswerNextDialog;
using test::ColorBounds;
using test::ScopedDialogPolicy;

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
        label.keepImages = true;
        system.AddPrinter(label);
        system.AddPrinter(Printer("Plain"));
        system.SetDefaultPrinter("Office");
    }

    VirtualPrinterSystem system;
};

TEST_F(VirtualPrinters, CurrentPrinterFollowsTheDefaultUntilChosen) {
    EXPECT_EQ(system.Current(), 0);
    system.SetCurrent(-1);
    system.SetDefaultPrinter("Label");
    EXPECT_EQ(system.Current(), 1);  // -1 follows the default
    system.SetCurrent(2);
    for (int index : {3, -2}) EXPECT_THROW(system.SetCurrent(index), KavelError) << index;
    EXPECT_EQ(system.Current(), 2) << "a failed choice keeps the current printer";
    // A removed printer leaves the list and its place; the default takes over.
    system.RemovePrinter("Plain");
    EXPECT_EQ(system.Current(), 1);
    system.RemovePrinter("Label");
    EXPECT_EQ(system.DefaultIndex(), -1);
    EXPECT_EQ(system.Current(), -1);
    EXPECT_THROW(system.SetCurrent(-1), KavelError);  // no default to follow
    EXPECT_THROW(system.StartJob(1, "t"), KavelError);
}

TEST_F(VirtualPrinters, PrintableAreaFollowsPaperMarginsAndOrientation) {
    struct Case {
        int printer;
        DeviceMode mode;
        int horz, vert;
    };
    const Case cases[] = {
        {0, {9, 0, 0, 0, 1, 0}, 200, 277},          // A4 less 5/10 mm margins
        {0, {9, 0, 0, 1, 1, 0}, 277, 200},          // landscape
        {0, {256, 800, 600, 0, 1, 0}, 70, 40},      // user size 80 x 60 mm
        {1, {9, 0, 0, 0, 1, 0}, 203, 290},          // fixed area, portrait
        {1, {9, 0, 0, 1, 1, 0}, 290, 203},          // fixed area swapped in landscape
        {1, {256, 2100, 1400, 0, 1, 0}, 203, 290},  // whatever the paper
        {2, {1, 0, 0, 0, 1, 0}, 216, 279},          // Letter without margins
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.printer << " paper " << c.mode.paperSize);
        system.SetDeviceMode(c.printer, c.mode);
        EXPECT_EQ(system.GetDeviceMode(c.printer), c.mode);
        const PrinterCaps caps = system.Caps(c.printer);
        EXPECT_EQ(QSize(caps.horzSizeMM, caps.vertSizeMM), QSize(c.horz, c.vert));
        EXPECT_EQ(caps.dpiY, c.printer == 1 ? 300 : 96);
    }
    EXPECT_EQ(system.GetDeviceMode(0).paperSize, 256);  // each printer keeps its own mode
    EXPECT_THROW(system.Caps(3), KavelError);
}

TEST_F(VirtualPrinters, JobKeepsTitleModeCopiesAndSheets) {
    DeviceMode mode = system.GetDeviceMode(0);
    mode.copies = 2;
    system.SetDeviceMode(0, mode);
    auto job = system.StartJob(0, "Invoice 7");
    job->Painter().fillRect(QRect(96, 96, 96, 96), Qt::black);  // 1 inch from the corner
    job->Painter().fillRect(QRect(-50, 300, 2000, 2000), Qt::red);
    // Settings of the painter carry over to the next sheet.
    job->Painter().setBrush(Qt::green);
    job->Painter().setPen(Qt::NoPen);
    job->Painter().translate(100, 0);
    job->NewSheet();
    job->Painter().drawRect(QRect(0, 0, 20, 20));
    system.SetDeviceMode(0, DeviceMode{});  // the mode is taken when the job starts
    job->Finish();
    ASSERT_EQ(system.Jobs().size(), 1u);
    const VirtualJob& record = system.Jobs()[0];
    EXPECT_EQ(record.title, "Invoice 7");
    EXPECT_EQ(record.mode, mode);
    EXPECT_EQ(record.copies, 2);
    ASSERT_EQ(record.pages.size(), 2);
    // Whole A4 sheets at 96 dpi; drawing starts at the printable area (5 mm, 10 mm) and
    // is cut at its edges (200 x 277 mm).
    EXPECT_EQ(record.pages[0].size(), QSize(794, 1123));
    EXPECT_EQ(ColorBounds(record.pages[0], qRgb(0, 0, 0)), QRect(19 + 96, 38 + 96, 96, 96));
    EXPECT_EQ(ColorBounds(record.pages[0], qRgb(255, 0, 0)), QRect(19, 338, 756, 747));
    EXPECT_EQ(ColorBounds(record.pages[1], qRgb(0, 255, 0)), QRect(119, 38, 20, 20));
    EXPECT_THROW(job->NewSheet(), KavelError);
}

TEST_F(VirtualPrinters, FixedAreaSitsInTheMiddleAndScreenPagesPlayAtThePrintersResolution) {
    // A page recorded on the screen (96 per inch) lands where it would on paper: the
    // picture scales itself to the job's resolution.
    QPicture page;
    {
        QPainter painter(&page);
        painter.fillRect(QRect(96, 192, 96, 48), Qt::blue);  // 1 x 0.5 inch at (1, 2) inch
    }
    auto job = system.StartJob(1, "label");
    EXPECT_EQ(job->Painter().device()->logicalDpiX(), 300);
    job->Painter().fillRect(QRect(0, 0, 30, 30), Qt::black);
    job->Painter().drawPicture(0, 0, page);
    job->Finish();
    // A4 at 300 dpi; the area of 203 x 290 mm is 3.5 mm in from each side.
    const QImage& sheet = system.Jobs()[0].pages[0];
    EXPECT_EQ(sheet.size(), QSize(2480, 3508));
    EXPECT_EQ(ColorBounds(sheet, qRgb(0, 0, 0)), QRect(41, 41, 30, 30));
    EXPECT_EQ(ColorBounds(sheet, qRgb(0, 0, 255)), QRect(41 + 300, 41 + 600, 300, 150));
}

// The text of each sheet: test_machine_printers and the e2e_examples whole run; the title:
// test_DesignerCommands.
TEST(VirtualPrinterOutput, EachJobIsAPdfFileNumberedFromTheSecondOn) {
    QTemporaryDir dir;
    VirtualPrinterSystem system;
    VirtualPrinter printer = Printer("Pdf");
    printer.pdfFile = dir.filePath("out/task.pdf");
    system.AddPrinter(printer);
    for (const char* name : {"report", "v1.2.pdf"}) {  // without or with several dots
        VirtualPrinter named = Printer(name);
        named.pdfFile = dir.filePath(name);
        system.AddPrinter(named);
    }
    system.SetDeviceMode(0, DeviceMode{11, 0, 0, 1, 1, 0});  // A5 landscape
    auto first = system.StartJob(0, "First job");
    first->NewSheet();
    first->Finish();
    for (int printer : {0, 0, 1, 2, 1, 2}) system.StartJob(printer, "x")->Finish();
    ASSERT_EQ(system.Jobs().size(), 7u);
    EXPECT_EQ(system.Jobs()[2].pdfFile, dir.filePath("out/task-3.pdf"));
    for (const char* name : {"out/task-2.pdf", "report-2", "v1.2-2.pdf"}) {
        EXPECT_TRUE(QFileInfo::exists(dir.filePath(name))) << name;
    }
    const QString pdf = dir.filePath("out/task.pdf");
    EXPECT_EQ(test::PdfInfo(pdf, "Pages"), "2");
    const QStringList size = test::PdfInfo(pdf, "Page size").split(' ');  // in points
    EXPECT_NEAR(size.value(0).toDouble(), 595.3, 1);                      // A5 landscape
    EXPECT_NEAR(size.value(2).toDouble(), 419.5, 1);
}

TEST(VirtualPrinterOutput, UnfinishedOrUnwritableOutputLeavesNoDocument) {
    QTemporaryDir dir;
    auto system = MakePdfPrinterSystem(dir.filePath("x.pdf"), QString());
    system->StartJob(0, "broken")->Painter().drawLine(0, 0, 10, 10);  // never finished
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("x.pdf")));
    EXPECT_FALSE(system->Jobs()[0].finished);
    ASSERT_TRUE(test::WriteFile(dir.filePath("file")));  // no folder to write into
    EXPECT_THROW(MakePdfPrinterSystem(dir.filePath("file/x.pdf"), "")->StartJob(0, "t"),
                 KavelError);
    EXPECT_THROW(MakePdfPrinterSystem("", dir.filePath("file/png"))->StartJob(0, "t"), KavelError);
}

// ---- Dialogs answered by scripts and by the dialog policy ----

using VirtualDialogs = VirtualPrinters;

TEST_F(VirtualDialogs, ScriptsOrThePolicyAnswerAndTheChosenPrinterPrintsTheCopies) {
    system.SetPrintDialogScript([](PrintDialogValues& values) {
        EXPECT_EQ(values.printer, 0);  // preset from the current printer
        values.printer = 2;
        values.copies = 3;
        values.range = PrintDialogValues::PageRange;
        values.fromPage = 2;
        return true;
    });
    PrintDialogValues values;
    values.maxPage = values.toPage = 5;
    ASSERT_TRUE(system.PrintDialog(values));
    EXPECT_EQ(values.printer, 2);
    EXPECT_EQ(system.Current(), 2);                // the chosen printer is current
    EXPECT_EQ(system.GetDeviceMode(2).copies, 3);  // and prints the copies chosen
    EXPECT_EQ(system.GetDeviceMode(0).copies, 1);
    // Cancelled, or a printer outside the list: nothing changes.
    for (int printer : {1, 7}) {
        system.SetPrintDialogScript([printer](PrintDialogValues& v) {
            v.printer = printer;
            v.copies = 9;
            return printer == 7;
        });
        PrintDialogValues kept = values;
        EXPECT_FALSE(system.PrintDialog(kept));
        EXPECT_EQ(kept.copies, 3);
    }
    EXPECT_EQ(system.Current(), 2);
    EXPECT_EQ(system.GetDeviceMode(1).copies, 1);
    // Without scripts the policy answers, without showing; never without printers.
    system.SetPrintDialogScript(nullptr);
    int printer = 1;
    {
        ScopedDialogPolicy cancel(DialogAnswer::Cancel);
        EXPECT_FALSE(system.PrintDialog(values));
        EXPECT_FALSE(system.PageSetupDialog(printer));
    }
    ScopedDialogPolicy ok(DialogAnswer::Ok);
    system.SetCurrent(1);
    values.printer = -1;
    ASSERT_TRUE(system.PrintDialog(values));
    EXPECT_EQ(values.printer, 1);  // no printer preset: the current one
    VirtualPrinterSystem empty;
    EXPECT_FALSE(empty.PrintDialog(values));
    EXPECT_FALSE(empty.PageSetupDialog(printer));
}

TEST_F(VirtualDialogs, ShownDialogsTakeTheUsersChoice) {
    ScopedDialogPolicy show(DialogAnswer::Show);
    AnswerNextDialog([](QDialog* dialog) {
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
    AnswerNextDialog([](QDialog* dialog) {
        auto* paper = dialog->findChild<QComboBox*>("PaperBox");
        EXPECT_GE(paper->count(), 20);
        EXPECT_EQ(paper->currentText(), "A4 210 x 297 mm");
        paper->setCurrentIndex(paper->findText("B5 182 x 257 mm"));
        dialog->findChild<QRadioButton*>("LandscapeButton")->setChecked(true);
    });
    int printer = 0;
    ASSERT_TRUE(system.PageSetupDialog(printer));
    EXPECT_EQ(system.GetDeviceMode(0), (DeviceMode{13, 0, 0, 1, 1, 0}));
}

}  // namespace
}  // namespace kavel
