#include "platform/QtPrinterSetup.h"

#include <algorithm>

#include "platform/PaperSizes.h"

namespace kavel {

void ApplyDeviceMode(QPrinter& printer, const DeviceMode& mode) {
    const QPageSize pageSize = PageSizeFor(mode.paperSize, mode.paperWidth, mode.paperLength);
    if (pageSize.isValid()) printer.setPageSize(pageSize);
    printer.setPageOrientation(mode.orientation == 1 ? QPageLayout::Landscape
                                                     : QPageLayout::Portrait);
    if (mode.source > 0 && mode.source <= QPrinter::CustomSource + 1) {
        printer.setPaperSource(static_cast<QPrinter::PaperSource>(mode.source - 1));
    }
    printer.setCopyCount(std::max(1, mode.copies));
}

DeviceMode DeviceModeFromLayout(const QPageLayout& layout, const DeviceMode& base) {
    DeviceMode mode = base;
    const QSizeF sizeMM = layout.pageSize().size(QPageSize::Millimeter);
    const QSizeF baseSize = PaperSizeMM(base.paperSize);
    int code = PaperCodeForSizeMM(sizeMM);
    if (code != 0 && PaperCodeForSizeMM(baseSize) == code) code = base.paperSize;
    if (code != 0) {
        mode.paperSize = code;
        mode.paperWidth = 0;
        mode.paperLength = 0;
    } else if (!sizeMM.isEmpty()) {
        mode.paperSize = kUserPaperSize;
        mode.paperWidth = qRound(sizeMM.width() * 10);
        mode.paperLength = qRound(sizeMM.height() * 10);
    }
    mode.orientation = layout.orientation() == QPageLayout::Landscape ? 1 : 0;
    return mode;
}

int SourceCodeFor(QPrinter::PaperSource source) {
    return static_cast<int>(source) + 1;
}

}  // namespace kavel
