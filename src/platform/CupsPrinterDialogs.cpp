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

bool CupsPrinterSystem::PrintDialog(PrintDialogValues& values) {
    return RunPrintDialog(values, nullptr, [this](PrintDialogValues& chosen) {
        return ShowPrintDialog(*this, chosen);
    });
}

bool CupsPrinterSystem::PageSetupDialog(int& printer) {
    return RunPageSetupDialog(printer, nullptr,
                              [this](int& chosen) { return ShowPageSetupDialog(*this, chosen); });
}

}  // namespace kavel
