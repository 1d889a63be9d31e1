// Qt's print and page-setup dialogs on a QPrinter that carries a printer's device mode.
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>

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

}  // namespace

bool ShowQtPrintDialog(QPrinter& printer, PrintDialogValues& values, bool offerFile) {
    printer.setCopyCount(std::max(1, values.copies));
    QPrintDialog dialog(&printer);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, offerFile);
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
    values.copies = printer.copyCount();
    values.range = RangeOf(dialog.printRange());
    if (values.range == PrintDialogValues::PageRange) {
        values.fromPage = dialog.fromPage();
        values.toPage = dialog.toPage();
    }
    return true;
}

std::optional<DeviceMode> ShowQtPageSetupDialog(QPrinter& printer, const DeviceMode& mode) {
    ApplyDeviceMode(printer, mode);
    const QPrinter::PaperSource sourceBefore = printer.paperSource();
    QPageSetupDialog dialog(&printer);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    DeviceMode chosen = DeviceModeFromLayout(printer.pageLayout(), mode);
    // Only a source the user changed is kept: the printer's own choice stays unnamed.
    if (printer.paperSource() != sourceBefore) chosen.source = SourceCodeFor(printer.paperSource());
    return chosen;
}

}  // namespace kavel
