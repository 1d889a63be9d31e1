#include "designer/PSetupFormUnit.h"

#include <QCloseEvent>
#include <QHideEvent>
#include <QScopedValueRollback>
#include <QShowEvent>
#include <QVBoxLayout>

#include "control/RunState.h"
#include "designer/DesignerWindow.h"

namespace kavel {

TPSetupForm::TPSetupForm(QWidget* owner, std::shared_ptr<ControlContext> context, int pixelsPerInch)
    : QWidget(owner, Qt::Window),
      context_(std::move(context)),
      pixelsPerInch_(pixelsPerInch > 0 ? pixelsPerInch : 96) {
    setObjectName("PSetupForm");
    setWindowTitle(QStringLiteral("打印维护"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    workArea_ = new QScrollArea(this);
    workArea_->setObjectName("MainScrollBox");
    workSurface_ = new QWidget;
    workSurface_->resize(3000, 3000);
    workArea_->setWidget(workSurface_);
    layout->addWidget(workArea_);

    pageObject_ = new TModiControl(workSurface_);
    pageObject_->SetObjectType(cdtPanel);
    pageObject_->strItemName = QStringLiteral("ITEMPanelPPTL");
    prnSetup_.intSkinColor = ButtonFaceColor();
    prnSetup_.intCustomSkinColor = prnSetup_.intSkinColor;
    ResetTask();
}

TPSetupForm::~TPSetupForm() {
    // The window's handlers go before the items they watch.
    designer_.reset();
}

TDesignerWindow* TPSetupForm::Designer() {
    if (!designer_) designer_ = std::make_unique<TDesignerWindow>(this);
    return designer_.get();
}

void TPSetupForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) Designer()->FormShow();
}

void TPSetupForm::hideEvent(QHideEvent* event) {
    // Closed by the user, by the next script call, or taken out of the page: the designer
    // closes the same way each time.
    if (designer_ && !event->spontaneous()) designer_->FormClose();
    QWidget::hideEvent(event);
}

void TPSetupForm::closeEvent(QCloseEvent* event) {
    if (designer_ && isVisible() && !closingQuietly_ && !designer_->ConfirmClose()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TPSetupForm::CloseWithoutQuestions() {
    const QScopedValueRollback quiet(closingQuietly_, true);
    close();
    hide();
}

void TPSetupForm::SetPixelsPerInch(int ppi) {
    pixelsPerInch_ = ppi > 0 ? ppi : 96;
    for (TModiControl* item : items_) {
        if (auto* edit = item->RichEdit()) edit->SetPixelsPerInch(pixelsPerInch_);
    }
}

QWidget* TPSetupForm::Paper() const {
    return pageObject_->DataObject();
}

TModiControl* TPSetupForm::ItemAt(int number) const {
    return number >= 1 && number <= items_.size() ? items_[number - 1] : nullptr;
}

void TPSetupForm::ResetTask() {
    // Items first: they lie on the paper and own their content.
    const QList<TModiControl*> old = std::exchange(items_, {});
    for (TModiControl* item : old) delete item;

    pageObject_->setIntDefLeft(0);
    pageObject_->setIntDefTop(0);
    pageObject_->setIntDefWidth(800 * pixelsPerInch_ / 96);
    pageObject_->setIntDefHeight(600 * pixelsPerInch_ / 96);
    pageObject_->blModified = false;

    TprnSetup& s = prnSetup_;
    s.strPageName.clear();
    s.intOrient = 0;
    s.intPageWidth = s.intPageHeight = 0;
    s.intPreviewWidth = s.intPreviewHeight = 0;
    s.blPaperSet = s.blPageSizeSet = false;
    s.intDispMode = 1;
    s.intToolMode = 0;
    s.blDirectPrint = false;
    s.intBkImgMode = 0;
    s.strPButtonCaption.clear();
    s.strSetupEnables = kDefaultSetupEnables;
    s.blDoubleSided = false;
    s.intCurPageNo = 0;
    s.intSkinType = 0;
    s.intCustomSkinColor = s.intSkinColor;
    if (!s.blPrinterSelected) {
        s.intPrinterNo = -1;
        s.intCopies = 0;
    }

    TRunState& run = Context().RunState();
    run.blPreviewInBrowse = run.blSetupInBrowse = run.blDesignInBrowse = run.blShowModal = false;
    run.HtmFontZoom = 0;
    run.blOutputDone = false;

    backImage_ = QImage();
    backContent_.clear();
    ResetDefaultStyle();
    emit taskReset();
}

void TPSetupForm::ResetDefaultStyle() {
    defaultStyle_ = TDefaultStyle();
}

}  // namespace kavel
