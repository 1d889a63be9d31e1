// Printing and previewing the task on a preview form of its own.
#include <QAction>
#include <QScrollBar>

#include "designer/PSetupFormUnit.h"
#include "platform/Messages.h"
#include "platform/PrinterSystem.h"
#include "platform/WindowPresenter.h"
#include "render/PrevStringFormUnit.h"

namespace kavel {

TPrevStringForm* TPSetupForm::CreatePreviewForm(QWidget* parent) {
    auto* form = new TPrevStringForm(parent);
    form->setWindowIcon(windowIcon());
    form->SetPixelsPerInch(pixelsPerInch_);
    form->SetTask(pageObject_, items_, prnSetup_, backImage_);
    form->PopDoubleSideCheck()->setChecked(prnSetup_.blDoubleSided);
    form->pop2DoubleSideCheck()->setChecked(prnSetup_.blDoubleSided);
    return form;
}

bool TPSetupForm::NowQuickReport(int mode) {
    workArea_->horizontalScrollBar()->setValue(0);
    workArea_->verticalScrollBar()->setValue(0);
    if (Printers().Count() == 0) {
        Messages().ShowMessage(QStringLiteral("请在操作系统安装打印机！"));
        return false;
    }
    busy_ = true;
    bool result = false;
    TPrevStringForm* form = nullptr;
    try {
        form = CreatePreviewForm(this);
        if (mode == 1 || mode == 3) {
            result = form->PrintTask(mode == 3);
        } else {
            result = form->ComposeForPreview(mode == 2);
            Presenter().ShowModal(form);
        }
    } catch (const KavelError& e) {
        Messages().ShowMessage(QStringLiteral("操作失败，请关闭浏览器再试！问题描述:") + e.Text());
        result = false;
    } catch (const std::exception& e) {
        Messages().ShowMessage(QStringLiteral("操作失败，请关闭浏览器再试！问题描述:") +
                               QString::fromUtf8(e.what()));
        result = false;
    }
    delete form;
    busy_ = false;
    return result;
}

}  // namespace kavel
