// The machine's printers always include the built-in PDF printer: a preview opens and a
// task prints to a file on a machine without printers, and a printer that is not there is
// named as missing instead of being replaced by another.
#include <QTemporaryDir>

#include "control/ControlFixture.h"
#include "platform/MachinePrinterSystem.h"
#include "platform/PdfTools.h"
#include "platform/WindowPresenter.h"
#include "render/PrevStringFormUnit.h"
#include "render/kvlPrintrUnit.h"

namespace kavel::test {
namespace {

// A print system whose service does not answer.
class DownQueues : public VirtualPrinterSystem {
  public:
    QString Unreachable() override { return "the print service is not running"; }
};

class MachinePrinters : public ControlTest {
  protected:
    void SetUp() override {
        ControlTest::SetUp();
        machine = std::make_shared<MachinePrinterSystem>(queues, dir.path());
        UsePrinters(machine);
    }
    QTemporaryDir dir;
    std::shared_ptr<VirtualPrinterSystem> queues = std::make_shared<DownQueues>();
    std::shared_ptr<MachinePrinterSystem> machine;
};

TEST_F(MachinePrinters, WithoutPrintersThePreviewOpensAndPrintsToAFile) {
    EXPECT_EQ(machine->Printers(), QStringList{kPdfPrinterName});
    EXPECT_EQ(machine->DefaultPrinterName(), kPdfPrinterName);
    int previewPages = 0;
    auto presenter = std::make_shared<HeadlessPresenter>();
    presenter->onOpen = [&](QWidget* window) {
        if (auto* form = qobject_cast<TPrevStringForm*>(window)) {
            previewPages = form->Target()->PageCount();
        }
    };
    UsePresenter(presenter);
    for (int run = 1; run <= 2; ++run) {
        Call("PRINT_INIT", {"Monthly report"});
        Call("ADD_PRINT_TEXT", {50, 50, 300, 30, "on any machine"});
        Call("PREVIEW");
        Call("ADD_PRINT_TEXT", {50, 50, 300, 30, "on any machine"});
        EXPECT_EQ(Call("PRINT"), Variant::Bool(true));
    }
    EXPECT_EQ(previewPages, 1);
    EXPECT_TRUE(Shown().isEmpty()) << Shown().join("|").toStdString();
    // A second job keeps the first job's file.
    for (const char* name : {"Monthly report.pdf", "Monthly report-2.pdf"}) {
        const QStringList pages = PdfPageTexts(dir.filePath(name));
        ASSERT_EQ(pages.size(), 1) << name;
        EXPECT_TRUE(pages[0].contains("on any machine")) << name;
    }
}

TEST_F(MachinePrinters, APrinterThatIsNotThereIsNamedAsMissing) {
    EXPECT_EQ(machine->WhyNotUsable("kavel pdf"), "");
    EXPECT_EQ(machine->WhyNotUsable("Office"),
              "the printer \"Office\" cannot be reached: the print service is not running");
    auto reachable = MakePrinters({"Office Laser"}, -1);  // no default
    MachinePrinterSystem withQueue(reachable, dir.path());
    EXPECT_EQ(withQueue.WhyNotUsable("office laser"), "");
    EXPECT_EQ(withQueue.WhyNotUsable("Office"),
              "there is no printer called \"Office\"; the printers are: Office Laser, Kavel PDF");
    // The system's own printers come first; the PDF printer is the default only when the
    // system names none.
    EXPECT_EQ(withQueue.Printers(), QStringList({"Office Laser", kPdfPrinterName}));
    EXPECT_EQ(withQueue.DefaultPrinterName(), kPdfPrinterName);
    reachable->SetDefaultPrinter("Office Laser");
    EXPECT_EQ(withQueue.DefaultPrinterName(), "Office Laser");
}

}  // namespace
}  // namespace kavel::test
