// The print and page-setup dialogs of the CUPS printer system: Qt's own dialogs on a
// QPrinter that carries the printer's device mode.
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/CupsPrinterSystem.h"
#include "platform/QtPrinterSetup.h"

namespace kavel {

namespace {

// Qt's print dialog on the printer of the values; they change when it is confirmed.
bool ShowPrintDialog(CupsPrinterSystem& system, PrintDialogValues& values) {
    const QStringList names = system.Printers();
    QPrinter printer(QPrinterInfo::printerInfo(names[values.printer]), QPrinter::HighResolution);
    ApplyDeviceMode(printer, system.GetDeviceMode(values.printer));
    // Only printers of the list can be chosen: no printing to a file.
    if (!ShowQtPrintDialog(printer, values, false)) return false;
    const int chosen = static_cast<int>(system.Printers().indexOf(printer.printerName()));
    if (chosen < 0) return false;
    values.printer = chosen;
    return true;
}

// Qt's page-setup dialog on a printer; a confirmed choice becomes its device mode.
bool ShowPageSetupDialog(CupsPrinterSystem& system, int printerIndex) {
    const QStringList names = system.Printers();
    QPrinter printer(QPrinterInfo::printerInfo(names[printerIndex]), QPrinter::HighResolution);
    const auto chosen = ShowQtPageSetupDialog(printer, system.GetDeviceMode(printerIndex));
    if (!chosen) return false;
    system.SetDeviceMode(printerIndex, *chosen);
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
