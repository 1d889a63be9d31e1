// The CUPS printer system against the local scheduler and the capture queues that
// scripts/cups-start.sh sets up.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QPrintDialog>
#include <QPrinter>
#include <QThread>
#include <functional>
#include <optional>

#include "PdfTools.h"
#include "common/TestSupport.h"
#include "platform/CupsJob.h"
#include "platform/CupsPrinterSystem.h"
#include "platform/PaperSizes.h"
#include "platform/Variant.h"

namespace kavel {
namespace {

using test::ReadFile;
using test::RunTool;
using test::ScopedDialogPolicy;

QString CaptureDir(const QString& queueFolder) {
    const QByteArray base = qgetenv("KAVEL_CUPS_DIR");
    return (base.isEmpty() ? QString("/tmp/kavel-cups") : QString::fromLocal8Bit(base)) + "/" +
           queueFolder;
}

// A title no other job of any run has.
QString UniqueTitle(const QString& what) {
    static int counter = 0;
    return QString("Kavel %1 %2-%3-%4")
        .arg(what)
        .arg(QCoreApplication::applicationPid())
        .arg(QDateTime::currentMSecsSinceEpoch())
        .arg(++counter);
}

// Waits up to 30 seconds for a file in the folder that `match` accepts; its name, or empty.
QString WaitForFile(const QString& folder, const QString& pattern,
                    const std::function<bool(const QString& file)>& match) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 30000) {
        for (const QString& name : QDir(folder).entryList({pattern}, QDir::Files)) {
            if (match(QDir(folder).filePath(name))) return QDir(folder).filePath(name);
        }
        QThread::msleep(50);
    }
    return QString();
}

class CupsPrinters : public ::testing::Test {
  protected:
    void SetUp() override {
        if (qgetenv("KAVEL_NO_CUPS") == "1") GTEST_SKIP() << "KAVEL_NO_CUPS=1: no CUPS tests";
        if (!RunTool("lpstat", {"-r"}).contains("is running")) {
            FAIL() << "The CUPS scheduler is not running: run scripts/cups-start.sh as root "
                      "(or set KAVEL_NO_CUPS=1 to skip the CUPS tests)";
        }
        names = system.Printers();
        capture = static_cast<int>(names.indexOf("KavelCap"));
        capture2 = static_cast<int>(names.indexOf("KavelCap2"));
        socket = static_cast<int>(names.indexOf("KavelSock"));
        if (capture < 0 || capture2 < 0 || socket < 0) {
            FAIL() << "The capture queues are missing: run scripts/cups-start.sh as root";
        }
    }

    CupsPrinterSystem system;
    QStringList names;
    int capture = -1, capture2 = -1, socket = -1;
};

TEST_F(CupsPrinters, ListDefaultAndDeviceModes) {
    const QString systemDefault = RunTool("lpstat", {"-d"}).section(':', 1).trimmed();
    EXPECT_EQ(system.DefaultPrinterName(), systemDefault);
    EXPECT_EQ(system.DefaultIndex(), names.indexOf(systemDefault));
    // The script runner's --printer names another default, in any case.
    EXPECT_EQ(CupsPrinterSystem("kavelcap2").DefaultIndex(), capture2);
    EXPECT_THROW(CupsPrinterSystem("No Such Printer").SetCurrent(-1), KavelError);
    // Device modes start from the printer's defaults and are kept per printer.
    const DeviceMode mode = system.GetDeviceMode(capture);
    EXPECT_FALSE(PaperSizeMM(mode.paperSize).isEmpty()) << mode.paperSize;
    EXPECT_EQ(mode.copies, 1);
    EXPECT_EQ(mode.orientation, 0);
    // Jobs print at 1200 dpi on A5 landscape less the raw queue's margins (Qt's 10 points);
    // the whole run through CUPS is checked by the e2e_cups test.
    DeviceMode changed = mode;
    changed.paperSize = 11;
    changed.orientation = 1;
    system.SetDeviceMode(capture, changed);
    EXPECT_EQ(system.GetDeviceMode(capture), changed);
    EXPECT_EQ(system.GetDeviceMode(capture2), mode);
    const PrinterCaps caps = system.Caps(capture);
    EXPECT_EQ(QSize(caps.dpiX, caps.dpiY), QSize(1200, 1200));
    EXPECT_NEAR(caps.horzSizeMM, 203, 1);
    EXPECT_NEAR(caps.vertSizeMM, 141, 1);
    const int outside = static_cast<int>(names.size());
    EXPECT_THROW(system.Caps(-1), KavelError);
    EXPECT_THROW(system.StartJob(outside, "x"), KavelError);
    EXPECT_THROW(system.SetCurrent(outside), KavelError);
}

TEST(CupsJobState, OnlyAbortedAndCancelledJobsFailWithTheirReasons) {
    struct Case {
        int state;
        QStringList reasons;
        QString message;
        std::optional<QString> problem;
    };
    const Case cases[] = {
        {5, {"job-printing"}, "", std::nullopt},  // processing
        {6, {"printer-stopped"}, "out of paper", std::nullopt},
        {9, {"job-completed-successfully"}, "", std::nullopt},
        {7, {"job-canceled-by-user"}, "", QString("was cancelled: a user cancelled it")},
        {8,
         {"aborted-by-system", "document-format-error"},
         "Filter failed",
         QString("was aborted: the print system aborted it; the printer could not read the "
                 "document; Filter failed")},
        {8, {"job-some-new-reason"}, "", QString("was aborted: job-some-new-reason")},
        {8, {"none"}, "  ", QString("was aborted")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JobStateProblem(c.state, c.reasons, c.message), c.problem)
            << c.state << " " << c.reasons.join(",").toStdString();
    }
}

// Print jobs that the scheduler refuses: the e2e_cups whole run; raw data byte for byte to
// the capture queue and to a queue that refuses it: the e2e_ports whole run.
TEST_F(CupsPrinters, RawDataArrivesUnchangedAtANetworkPrinter) {
    const QByteArray data =
        QByteArray("\x1B@KavelRaw\r\n\x00\x01\xFE\xFF", 16) + UniqueTitle("raw").toUtf8();
    system.SendRaw(socket, data, UniqueTitle("SendRawData:"));
    EXPECT_FALSE(WaitForFile(CaptureDir("sock"), "job-*.bin", [&](const QString& file) {
                     return ReadFile(file) == data;  // found by its content
                 }).isEmpty());
}

TEST_F(CupsPrinters, ShownPrintDialogIsPresetFromTheValues) {
    ScopedDialogPolicy show(DialogAnswer::Show);
    test::AnswerNextDialog([](QDialog* dialog) {
        auto* print = qobject_cast<QPrintDialog*>(dialog);
        ASSERT_NE(print, nullptr);
        EXPECT_EQ(print->printer()->printerName(), "KavelCap2");
        EXPECT_EQ(print->maxPage(), 7);
        EXPECT_EQ(print->fromPage(), 2);
        EXPECT_EQ(print->toPage(), 5);
        EXPECT_EQ(print->printRange(), QAbstractPrintDialog::PageRange);
        EXPECT_FALSE(print->testOption(QAbstractPrintDialog::PrintToFile));
    });
    PrintDialogValues values;
    values.printer = capture2;
    values.copies = 2;
    values.maxPage = 7;
    values.fromPage = 2;
    values.toPage = 5;
    values.range = PrintDialogValues::PageRange;
    EXPECT_TRUE(system.PrintDialog(values));
    EXPECT_EQ(values.printer, capture2);
    EXPECT_EQ(system.Current(), capture2);  // the chosen printer prints the copies chosen
    EXPECT_EQ(system.GetDeviceMode(capture2).copies, 2);
}

}  // namespace
}  // namespace kavel
