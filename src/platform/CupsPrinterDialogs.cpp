// The print and page-setup dialogs of the CUPS printer system: Qt's own dialogs on a
// QPrinter that carries the printer's device mode.
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

#include "platform/CupsPrinterSystem.h"
#include "platform/QtPrinterSetup.h"

namespace kavel {

namespace {

QAbstractPrintDialog::PrintRange QtRange(PrintDialogValues::Range range) {
    switch (range) {
        case PrintDialogValues::PageRange:
            return QAbstractPrintDialog::PageRange;
        case PrintDialogValues::Selection:
            return QAbstractPrintDialog::Selection;
        case PrintDialogValues::AllPages:
            break;
    }
    return QAbstractPrintDialog::AllPages;
}

PrintDialogValues::Range RangeOf(QAbstractPrintDialog::PrintRange range) {
    switch (range) {
        case QAbstractPrintDialog::PageRange:
        case QAbstractPrintDialog::CurrentPage:
            return PrintDialogValues::PageRange;
        case QAbstractPrintDialog::Selection:
            return PrintDialogValues::Selection;
        case QAbstractPrintDialog::AllPages:
            break;
    }
    return PrintDialogValues::AllPages;
}

// Qt's print dialog on the printer of the values; they change when it is confirmed.
bool ShowPrintDialog(CupsPrinterSystem& system, PrintDialogValues& values) {
    const QStringList names = system.Printers();
    QPrinter printer(QPrinterInfo::printerInfo(names[values.printer]), QPrinter::HighResolution);
    ApplyDeviceMode(printer, system.GetDeviceMode(values.printer));
    printer.setCopyCount(std::max(1, values.copies));

    QPrintDialog dialog(&printer);
    // Only printers of the list can be chosen: no printing to a file.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection,
                     values.range == PrintDialogValues::Selection);
    const int minPage = std::max(1, values.minPage);
    const int maxPage = std::max(minPage, values.maxPage);
    dialog.setMinMax(minPage, maxPage);
    dialog.setFromTo(std::clamp(values.fromPage, minPage, maxPage),
                     std::clamp(values.toPage, minPage, maxPage));
    dialog.setPrintRange(QtRange(values.range));
    if (dialog.exec() != QDialog::Accepted) return false;

    const int chosen = static_cast<int>(system.Printers().indexOf(printer.printerName()));
    if (chosen < 0) return false;
    values.printer = chosen;
    values.copies = printer.copyCount();
    values.range = RangeOf(dialog.printRange());
    if (values.range == PrintDialogValues::PageRange) {
        values.fromPage = dialog.fromPage();
        values.toPage = dialog.toPage();
    }
    return true;
}

// Qt's page-setup dialog on a printer; a confirmed choice becomes its device mode.
bool ShowPageSetupDialog(CupsPrinterSystem& system, int printerIndex) {
    const QStringList names = system.Printers();
    const DeviceMode mode = system.GetDeviceMode(printerIndex);
    QPrinter printer(QPrinterInfo::printerInfo(names[printerIndex]), QPrinter::HighResolution);
    ApplyDeviceMode(printer, mode);
    const QPrinter::PaperSource sourceBefore = printer.paperSource();
    QPageSetupDialog dialog(&printer);
    if (dialog.exec() != QDialog::Accepted) return false;

    DeviceMode chosen = DeviceModeFromLayout(printer.pageLayout(), mode);
    // Only a source the user changed is kept: the printer's own choice stays unnamed.
    if (printer.paperSource() != sourceBefore) chosen.source = SourceCodeFor(printer.paperSource());
    system.SetDeviceMode(printerIndex, chosen);
    return true;
}

}  // namespace

bool CupsPrinterSystem::PrintDialog(PrintDialogValues& preset) {
    // The preset values change only when the dialog is confirmed.
    PrintDialogValues values = preset;
    if (!ResolveDialogPrinter(values.printer)) return false;
    if (!AnswerDialog(nullptr, [&] { return ShowPrintDialog(*this, values); })) return false;
    ApplyPrintDialog(values);
    preset = values;
    return true;
}

bool CupsPrinterSystem::PageSetupDialog(int& chosenPrinter) {
    int printerIndex = chosenPrinter;
    if (!ResolveDialogPrinter(printerIndex)) return false;
    if (!AnswerDialog(nullptr, [&] { return ShowPageSetupDialog(*this, printerIndex); })) {
        return false;
    }
    SetCurrent(printerIndex);
    chosenPrinter = printerIndex;
    return true;
}

}  // namespace kavel
