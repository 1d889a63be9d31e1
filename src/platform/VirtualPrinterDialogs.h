// Small print and page-setup dialogs for the virtual printer system, shown when its
// dialogs are neither scripted nor answered by the dialog policy.
#pragma once

#include <QStringList>
#include <functional>

#include "platform/PrinterSystem.h"

namespace kavel {

// Printer, copies and page range; the values are preset and, on OK, replaced.
// Object names: "PrinterBox", "CopiesBox", "AllPagesButton", "PageRangeButton",
// "SelectionButton", "FromBox", "ToBox". False when cancelled.
bool ShowVirtualPrintDialog(const QStringList& printers, PrintDialogValues& values);

// Printer, paper and orientation; `printer` and `mode` are preset and, on OK, replaced
// (the mode keeps copies and source). Object names: "PrinterBox", "PaperBox",
// "PortraitButton", "LandscapeButton". `modeOf` gives the device mode of a printer
// chosen in the dialog. False when cancelled.
bool ShowVirtualPageSetupDialog(const QStringList& printers, int& printer, DeviceMode& mode,
                                const std::function<DeviceMode(int)>& modeOf);

}  // namespace kavel
