// Between device modes and Qt's printers: applying a device mode to a QPrinter and
// reading one back from what a Qt dialog chose. Shared by the Qt-based printer code.
#pragma once

#include <QPageLayout>
#include <QPrinter>
#include <optional>

#include "platform/PrinterSystem.h"

namespace kavel {

// Paper, orientation, paper source and copies of the device mode; a paper the mode
// cannot name leaves the printer's own.
void ApplyDeviceMode(QPrinter& printer, const DeviceMode& mode);

// The device mode that a page layout describes, starting from `base` (copies and
// source kept): a paper size code when one matches the size (the base's own code
// first, so Ledger stays Ledger and A4 Small stays A4 Small), else a user size.
DeviceMode DeviceModeFromLayout(const QPageLayout& layout, const DeviceMode& base);

// Paper source codes of the device mode are the printer bin numbers, one above Qt's
// paper source values; 0 means the printer's own choice.
int SourceCodeFor(QPrinter::PaperSource source);

// Qt's print dialog on a printer that carries a printer's device mode, preset with the
// values (copies, page range); `offerFile` adds printing to a PDF file. Confirmed, the
// values hold the copies and range and the printer the choice (its name, or the PDF
// format and a file name). False when cancelled.
bool ShowQtPrintDialog(QPrinter& printer, PrintDialogValues& values, bool offerFile);
// Qt's page-setup dialog on a printer set to `mode`; the chosen device mode when confirmed.
std::optional<DeviceMode> ShowQtPageSetupDialog(QPrinter& printer, const DeviceMode& mode);

}  // namespace kavel
