// Printing and previewing the task on a preview form of its own.
#include <QAction>
#include <QScrollBar>
#include <memory>

#include "control/PrintChoice.h"
#include "designer/PSetupFormUnit.h"
#include "platform/Messages.h"
#include "platform/PrinterSystem.h"
#include "platform/WindowPresenter.h"
#include "render/ComposeTask.h"
#include "render/PrevStringFormUnit.h"
#include "render/kvlPrintrUnit.h"

namespace kavel {

TPrevStringForm* TPSetupForm::CreatePreviewForm(QWidget* parent) {
    auto* form = new TPrevStringForm(parent, context_);
    form->setWindowIcon(windowIcon());
    form->SetPixelsPerInch(pixelsPerInch_);
    form->SetTask(pageObject_, items_, prnSetup_, backImage_);
    form->PopDoubleSideCheck()->setChecked(prnSetup_.blDoubleSided);
    form->pop2DoubleSideCheck()->setChecked(prnSetup_.blDoubleSided);
    return form;
}

bool TPSetupForm::PrintWithoutWindow() {
    // A print with no dialog, no window and one pass over the paper needs nothing of the
    // preview form: its pages are composed and printed without it.
    TKVPrinter target(PrintOptionOf(*context_, prnSetup_), pixelsPerInch_, context_);
    const QList<QPointer<TModiControl>> items(items_.begin(), items_.end());
    const TaskPages task{pageObject_, &items, &prnSetup_, nullptr};
    const ComposeOutcome outcome = ComposeTask(task, target, true);
    return PrintComposed(outcome, target, Context(), 0, 0, false);
}

bool TPSetupForm::NowQuickReport(int mode) {
    workArea_->horizontalScrollBar()->setValue(0);
    workArea_->verticalScrollBar()->setValue(0);
    if (Context().Printers().Count() == 0) {
        Context().Messages().ShowMessage(QStringLiteral("请在操作系统安装打印机！"));
        return false;
    }
    busy_ = true;
    bool result = false;
    std::unique_ptr<TPrevStringForm> form;
    try {
        if (mode == 1 && !prnSetup_.blDoubleSided) {
            result = PrintWithoutWindow();
        } else if (form.reset(CreatePreviewForm(this)); mode == 1 || mode == 3) {
            result = form->PrintTask(mode == 3);
        } else {
            result = form->ComposeForPreview(mode == 2);
            Context().Presenter().ShowModal(form.get());
        }
    } catch (const KavelError& e) {
        Context().Messages().ShowMessage(QStringLiteral("操作失败，请关闭浏览器再试！问题描述:") +
                                         e.Text());
        result = false;
    } catch (const std::exception& e) {
        Context().Messages().ShowMessage(QStringLiteral("操作失败，请关闭浏览器再试！问题描述:") +
                                         QString::fromUtf8(e.what()));
        result = false;
    }
    form.reset();
    busy_ = false;
    return result;
}

}  // namespace kavel
