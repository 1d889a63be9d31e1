// Between device modes and Qt's printers: applying a device mode to a QPrinter and
// reading one back from what a Qt dialog chose. Shared by the Qt-based printer code.
#pragma once

#include <QPageLayout>
#include <QPrinter>

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

}  // namespace kavel
