// Printing a task from the preview form: the print dialog with the program's locks,
// composition for the printer, and the pages sent to the page target.
#include <QAction>

#include "platform/Messages.h"
#include "platform/PrinterSystem.h"
#include "platform/Variant.h"
#include "render/ComposeTask.h"
#include "render/PrevStringFormUnit.h"
#include "render/kvlPreviewUnit.h"
#include "render/kvlPrintrUnit.h"

namespace kavel {

namespace {
const QString kDuplexHint = QStringLiteral(
    "双面打印提示:将打好一面的纸张正确翻页重装后,按确定继续...\r（输出顺序为[1、3、5...][2、4、6..."
    "]）");
}

QString TruncatedText(int pages, bool printed) {
    return printed ? QString(
                         "Only %1 page(s) were printed: the task was cut at the page limit, "
                         "and the rest of it was not printed.")
                         .arg(pages)
                   : QString(
                         "Only the first %1 page(s) are shown: the task was cut at the page "
                         "limit.")
                         .arg(pages);
}

bool TPrevStringForm::PrintTask(bool withDialog) {
    PrinterSystem& printers = Context().Printers();
    if (printers.Count() == 0) return false;
    int from = 1, to = 0;
    if (withDialog) {
        if (!Target() || Target()->State() == 0) ComposePages(true);
        const int count = Target() ? Target()->PageCount() : 0;
        PrintDialogValues values;
        values.printer = Target() ? Target()->Printer() : std::max(0, printers.DefaultIndex());
        values.copies = prnSetup_.intCopies > 0 ? prnSetup_.intCopies : 1;
        values.minPage = 1;
        values.maxPage = values.toPage = count;
        values.fromPage = 1;
        if (!printers.PrintDialog(values)) return false;
        if (prnSetup_.intPrinterNo > 0 && values.printer != prnSetup_.intPrinterNo - 1) {
            Context().Messages().ShowMessage(QStringLiteral("目标打印机已由程序控制，无法改变！"));
        } else {
            WriteSetups("PRNSETUP", "PRINTERINDEX", QString::number(values.printer));
        }
        if (prnSetup_.intCopies > 0 && values.copies != prnSetup_.intCopies) {
            Context().Messages().ShowMessage(QStringLiteral("打印份数已由程序控制，无法改变！"));
        } else {
            WriteSetups("PRNSETUP", "PAPECOPIES", QString::number(values.copies));
        }
        if (values.range != PrintDialogValues::AllPages) {
            from = values.fromPage;
            to = values.toPage;
        }
    }
    const bool composed = ComposePages(true);
    if (!Target()) {
        throw KavelError(composeError_.isEmpty() ? QStringLiteral("no pages were composed")
                                                 : composeError_);
    }
    const ComposeOutcome outcome{composed, truncated_, composeError_};
    return PrintComposed(outcome, *Target(), Context(), from, to,
                         PopDoubleSideCheck()->isChecked());
}

bool PrintComposed(const ComposeOutcome& outcome, TKVPrinter& target, ControlContext& context,
                   int from, int to, bool doubleSided) {
    // A composition that stopped half-way is not printed as if it were the task.
    if (!outcome.composed) {
        throw KavelError(outcome.error.isEmpty() ? QStringLiteral("no pages were composed")
                                                 : outcome.error);
    }
    const int count = target.PageCount();
    // An empty task wastes no sheet.
    if (count == 0) {
        context.Messages().ShowMessage(
            QStringLiteral("Nothing was printed: the task has no pages."));
        return false;
    }
    target.FromPage = from < 1 ? 1 : from;
    target.ToPage = to < 1 ? count : to;
    target.Print(doubleSided, kDuplexHint);
    if (outcome.truncated) {
        context.Messages().ShowMessage(TruncatedText(count, true));
        return false;
    }
    return true;
}

}  // namespace kavel
