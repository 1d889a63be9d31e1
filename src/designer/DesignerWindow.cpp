// Building and opening the designer window, and what it shows of the item last pressed.
#include "designer/DesignerWindow.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScopedValueRollback>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolButton>

#include "control/ShowMode.h"
#include "control/Units.h"
#include "designer/CustomSetup.h"
#include "designer/DesignerButtonImages.h"
#include "designer/PSetupFormUnit.h"
#include "designer/PlacementText.h"
#include "platform/Messages.h"
#include "ui_TPSetupForm.h"

namespace kavel {

namespace {

constexpr int kStatusWidths[3] = {240, 350, 50};
constexpr int kDefaultListWidth = 75;
constexpr int kMaxListWidth = 400;  // a stored width never hides the work area

QString Short(const QString& s) {
    return s.size() < 50 ? s : s.left(48) + QStringLiteral("...");
}

QString Bounds(const TModiControl* i) {
    return QStringLiteral("%1,%2,%3,%4")
        .arg(i->Left())
        .arg(i->Top())
        .arg(i->Width())
        .arg(i->Height());
}

}  // namespace

TDesignerWindow::TDesignerWindow(TPSetupForm* form)
    : QObject(form), form_(form), ui_(std::make_unique<Ui::TPSetupForm>()) {
    const QString title = form->windowTitle();
    // The bare work area's own layout gives way to the window's.
    delete form->layout();
    ui_->setupUi(form);
    form->setWindowTitle(title);
    ui_->DesignerMenus->hide();
    BuildWork();
    BuildStatusBar();
    SetDesignerButtonImages(form);
    WireTools();
    WireMenus();
    WireList();
    InstallItem(form_->PageObject());
    // A new task frees the items: nothing of the old one may stay selected or listed.
    connect(form_, &TPSetupForm::taskReset, this, [this] {
        selectList_.clear();
        blMultiSelect = false;
        lastShown_ = nullptr;
        ui_->DataListBox->clear();
    });
}

TDesignerWindow::~TDesignerWindow() = default;

SetupLimits TDesignerWindow::Limits() const {
    return SetupLimits(form_->Setup().intRunMode, form_->Setup().strSetupEnables);
}

void TDesignerWindow::BuildWork() {
    QScrollArea* work = form_->WorkArea();
    ui_->PanelBootLayout->addWidget(work);
    // The item list keeps its width when the window grows; the work area takes the rest.
    ui_->Splitter1->setStretchFactor(0, 0);
    ui_->Splitter1->setStretchFactor(1, 1);
    work->viewport()->installEventFilter(this);

    band_ = new QFrame(form_->Paper());
    band_->setObjectName("ShapeSelect");
    band_->setStyleSheet(
        "QFrame#ShapeSelect { border: 1px dotted black; background: transparent; }");
    band_->setAttribute(Qt::WA_TransparentForMouseEvents);
    band_->hide();

    panelLock_ = new QFrame(form_->PageObject()->parentWidget());
    panelLock_->setObjectName("PanelLock");
    panelLock_->setFrameShape(QFrame::Panel);
    panelLock_->setFrameShadow(QFrame::Raised);
    panelLock_->setGeometry(0, 0, 26, 26);
    lockButton_ = new QToolButton(panelLock_);
    lockButton_->setObjectName("LockButton");
    lockButton_->setCheckable(true);
    lockButton_->setChecked(true);
    lockButton_->setAutoRaise(true);
    lockButton_->setGeometry(2, 2, 22, 22);
    lockButton_->setToolTip(QStringLiteral("纸钉:双击解锁后可整体拖动"));
    lockButton_->installEventFilter(this);
}

void TDesignerWindow::BuildStatusBar() {
    for (int i = 0; i < 3; ++i) {
        status_[i] = new QLabel(ui_->StatusBar1);
        status_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        status_[i]->setMinimumWidth(kStatusWidths[i]);
        ui_->StatusBar1->addWidget(status_[i], i == 2 ? 1 : 0);
    }
}

void TDesignerWindow::InstallItem(TModiControl* item) {
    if (installed_.contains(item)) return;
    installed_.append(item);
    connect(item, &QObject::destroyed, this, [this, item] {
        selectList_.removeAll(item);
        if (lastShown_ == item) lastShown_ = nullptr;
    });
    connect(item, &TModiControl::onMouseDown, this, &TDesignerWindow::conMouseDown);
    connect(item, &TModiControl::onMouseMove, this, &TDesignerWindow::conMouseMove);
    connect(item, &TModiControl::onMouseUp, this, &TDesignerWindow::conMouseUp);
    connect(item, &TModiControl::OnSelect, this, &TDesignerWindow::OnSelect);
    connect(item, &TModiControl::onBounds, this, &TDesignerWindow::onBounds);
    connect(item, &TModiControl::onModied, this, &TDesignerWindow::onModied);
    connect(item, &TModiControl::markHeadFoot, this, &TDesignerWindow::DispHeadFootColor);
    // Text items take the arrow keys themselves; other items through EditFocus.
    if (IsImageKind(item->ObjectType())) {
        // "显示源代码" on the item's own menu.
        QWidget* inner = item->DataObject();
        inner->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(inner, &QWidget::customContextMenuRequested, this,
                [this, inner](QPoint at) { ui_->PopupMenuHtml->popup(inner->mapToGlobal(at)); });
    }
    if (item->RichEdit()) {
        item->WatchEditBox(this);
        connect(item, &TModiControl::textEdited, this, &TDesignerWindow::TextEdited);
    }
}

void TDesignerWindow::TextEdited(TModiControl* item) {
    const TTextContent* edit = item->RichEdit();
    if (!edit || edit->ReadOnly() || edit->Text() == item->strContent) return;
    // Typed in place: the item is changed like any other edit, and its line shows the text.
    item->blModified = true;
    ButtonEnable(true);
    QListWidget* list = ui_->DataListBox;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->data(Qt::UserRole).value<QObject*>() == item)
            list->item(i)->setText(ItemListText(item));
    }
}

void TDesignerWindow::PlaceWindow() {
    if (!form_->isWindow()) return;
    if (QScreen* screen = form_->screen()) {
        QRect frame(QPoint(), form_->size());
        frame.moveCenter(screen->availableGeometry().center());
        form_->move(frame.topLeft());
    }
}

// ---------------------------------------------------------------- opening and closing

void TDesignerWindow::FormShow() {
    const TprnSetup& setup = form_->Setup();
    QPalette pal = form_->palette();
    pal.setColor(QPalette::Window, ToQColor(GetSkinColor(setup)));
    form_->setPalette(pal);
    form_->setAutoFillBackground(true);
    ApplyListLayout();

    const SetupLimits limits = Limits();
    const bool design = limits.Design();
    for (QMenu* m :
         {ui_->NInsertHtmls, ui_->NInsertRects, ui_->NInsertEllipses, ui_->NInsertLine}) {
        m->menuAction()->setEnabled(design);
    }
    ui_->NInsertTxt->setEnabled(design);
    const bool move = limits.Allowed(SetupRight::MoveAndSize);
    for (QWidget* w :
         {static_cast<QWidget*>(ui_->ToolBarMove), static_cast<QWidget*>(ui_->EditWidth),
          static_cast<QWidget*>(ui_->UpDownWidthPanel), static_cast<QWidget*>(ui_->EditHeight),
          static_cast<QWidget*>(ui_->UpDownHeightPanel)}) {
        w->setEnabled(move);
    }
    panelLock_->setVisible(move);
    panelLock_->raise();
    ui_->NCtrlDel->setEnabled(limits.Allowed(SetupRight::Delete));
    ui_->NHead->menuAction()->setEnabled(limits.Allowed(SetupRight::Header));
    ui_->NFoot->menuAction()->setEnabled(limits.Allowed(SetupRight::Footer));
    ui_->NPosFast->menuAction()->setEnabled(limits.Allowed(SetupRight::PositionLock));
    ui_->NPagePerty->menuAction()->setEnabled(limits.Allowed(SetupRight::ObjectProperty));
    ui_->CloseFormButton->setProperty("tag", limits.CloseButtonShown() ? 1 : 0);
    ui_->CloseFormButton->setVisible(!form_->isWindow() && limits.CloseButtonShown());

    ui_->ButtonApply->setText(design ? QStringLiteral(" 暂存 ") : QStringLiteral(" 应用 "));
    form_->setWindowTitle(design ? QStringLiteral("打印设计") : QStringLiteral("打印维护"));
    ui_->BKCheckItem->setChecked(setup.intBkImgMode > 0);
    if (ui_->ComboBoxFont->count() == 0) ui_->ComboBoxFont->addItems(QFontDatabase::families());

    for (TModiControl* item : form_->Items()) InstallItem(item);
    ClearSelects();
    form_->PageObject()->setSelected(false);
    ButtonEnable(false);
    RebuildList();
    // The pin stays beside the paper, where it covers no item.
    TModiControl* page = form_->PageObject();
    panelLock_->move(page->Left() + page->Width() + 8, page->Top() + 8);
    dispControlPos(page);
    EnableLnkButton(page);
    PlaceWindow();
}

void TDesignerWindow::FormClose() {
    ClearSelects();
    form_->PageObject()->setSelected(false);
    if (listLayoutChanged_) {
        const QList<int> sizes = ui_->Splitter1->sizes();
        StoreListLayout({sizes.value(0), !ui_->DataListPanel->isHidden()});
        listLayoutChanged_ = false;
    }
}

bool TDesignerWindow::ConfirmClose() {
    if (!ui_->ButtonApply->isEnabled()) return true;
    MessageSink& messages = form_->Context().Messages();
    if (messages.AskQuestion(QStringLiteral("当前布局已修改，是否保存？"))) {
        ButtonApplyClick(true);
        return !ui_->ButtonApply->isEnabled();
    }
    return messages.AskQuestion(QStringLiteral("放弃所作的修改并关闭吗？"));
}

void TDesignerWindow::ApplyListLayout() {
    const ListLayout layout = StoredListLayout(static_cast<int>(form_->Items().size()));
    ui_->DataListPanel->setVisible(layout.visible);
    ui_->DataListOpen->setVisible(!layout.visible);
    SetListWidth(layout.width >= 0 ? std::min(layout.width, kMaxListWidth) : kDefaultListWidth);
    listLayoutChanged_ = false;
}

void TDesignerWindow::SetListWidth(int width) {
    // The splitter shares out its whole width in proportion to the sizes it is given: give
    // it exactly its width, laid out first.
    form_->layout()->activate();
    QSplitter* splitter = ui_->Splitter1;
    const int total = splitter->width() - splitter->handleWidth();
    splitter->setSizes({width, std::max(1, total - width)});
}

// ---------------------------------------------------------------- showing an item

void TDesignerWindow::dispControlPos(TModiControl* item) {
    if (!item) return;
    lastShown_ = item;
    ui_->RichEditPanel->hide();
    const int ppi = form_->PixelsPerInch();
    ui_->EditWidth->setText(QString::number(ScaleToScript(item->Width(), ppi)));
    ui_->EditHeight->setText(QString::number(ScaleToScript(item->Height(), ppi)));
    ui_->EditAngle->setText(QString::number(item->intAngle()));
    const QString where =
        PositionText(item->Left(), item->Top(), item->Width(), item->Height(), ppi);
    status_[1]->setText(where);
    status_[1]->setMinimumWidth(
        std::max(kStatusWidths[1], status_[1]->fontMetrics().horizontalAdvance(where) + 8));
    ui_->Label6->setText(QStringLiteral("大小"));
    if (const TTextContent* e = item->RichEdit()) {
        ui_->EditFontSize->setText(QString::number(e->FontSize()));
        ui_->ComboBoxFont->setEditText(e->FontName());
        colorPreset_ = e->FontColor();
    } else if (item->ObjectType() == cdtPanel) {
        ui_->EditFontSize->setText(QString::number(form_->Paper()->font().pointSize()));
        ui_->ComboBoxFont->setEditText(form_->Paper()->font().family());
    } else if (const TPRNShape* s = item->Shape()) {
        ui_->EditFontSize->setText(QString::number(s->Pen().width));
        colorPreset_ = s->Pen().color;
        ui_->Label6->setText(QStringLiteral("线宽"));
    }
    dispHeadFootCaption(item);
}

void TDesignerWindow::dispHeadFootCaption(TModiControl* item) {
    status_[0]->setText(
        item->ObjectType() == cdtPanel
            ? QString()
            : HeadFootCaption(item->hnHorzOrnt, item->hnVertOrnt, item->ptPageType));
}

void TDesignerWindow::EnableLnkButton(TModiControl* item) {
    if (!item) return;
    const SetupLimits limits = Limits();
    const TTextContent* edit = item->RichEdit();
    const TPRNShape* shape = item->Shape();
    const bool image = item->ObjectType() == cdtImage;
    const bool text = edit != nullptr;
    auto allow = [&](SetupRight r, bool fits) { return limits.Allowed(r) && fits; };

    ui_->SpeedColor->setEnabled(allow(SetupRight::Color, text || shape));
    ui_->ComboBoxFont->setEnabled(allow(SetupRight::FontName, text));
    const bool size = allow(SetupRight::FontSize, text || shape);
    ui_->EditFontSize->setEnabled(size);
    ui_->UpDownFontSizePanel->setEnabled(size);
    const bool angle = allow(SetupRight::Angle, text);
    ui_->EditAngle->setEnabled(angle);
    ui_->UpDownAnglePanel->setEnabled(angle);
    const bool biual = allow(SetupRight::TextStyle, text || image);
    ui_->ToolBarBIUAL->setEnabled(biual);
    const bool dash = allow(SetupRight::PenStyle, shape != nullptr);
    ui_->ToolBarDashDot->setEnabled(dash);
    ui_->ToolBarLRTB->setEnabled(limits.Allowed(SetupRight::Arrange));
    const bool several = selectList_.size() > 1;
    for (QToolButton* b :
         {ui_->ToolBnLeftRight, ui_->ToolBnUpDown, ui_->ToolBnWidth, ui_->ToolBnHeight}) {
        b->setEnabled(several);
    }
    ui_->NDefFont->setEnabled(text);
    ui_->NDefPen->setEnabled(shape != nullptr);

    if (biual && text) {
        const TFontStyles style = edit->FontStyle();
        for (auto [button, bit] :
             {std::pair{ui_->ToolBold, fsBold}, std::pair{ui_->ToolItalic, fsItalic},
              std::pair{ui_->ToolUnderline, fsUnderline}}) {
            button->setEnabled(true);
            button->setChecked(style & bit);
        }
        ui_->TAligtLeft->setChecked(edit->TextAlignment() == taLeftJustify);
        ui_->TAligtCenter->setChecked(edit->TextAlignment() == taCenter);
        ui_->TAligtRight->setChecked(edit->TextAlignment() == taRightJustify);
    } else if (biual && image) {
        for (QToolButton* b : {ui_->ToolBold, ui_->ToolItalic, ui_->ToolUnderline})
            b->setEnabled(false);
        ui_->TAligtLeft->setChecked(item->hnImgMode() == cstCrop);
        ui_->TAligtCenter->setChecked(item->hnImgMode() == cstStretch);
        ui_->TAligtRight->setChecked(item->hnImgMode() == cstProport);
    }
    if (dash) {
        for (QToolButton* b : {ui_->ToolDshSolid, ui_->ToolDshDash, ui_->ToolDshDot,
                               ui_->ToolDshDashDot, ui_->ToolDshDashDotDot}) {
            b->setChecked(b->property("tag").toInt() == shape->PenStyle());
        }
    }
}

void TDesignerWindow::RepaintControl(TModiControl* item) {
    dispControlPos(item);
    item->blModified = true;
    item->PlaceHandles();
    ButtonEnable(true);
}

void TDesignerWindow::ButtonEnable(bool on) {
    ui_->ButtonApply->setEnabled(on);
    ui_->ButtonCancel->setEnabled(on);
    ui_->NDefAll->setEnabled(true);
}

// ---------------------------------------------------------------- item list

QString TDesignerWindow::ItemListText(const TModiControl* item) {
    const QString number = QString::number(item->intItemIndex + 1);
    const QString content = QStringLiteral(" ") + Short(item->strContent);
    switch (item->ObjectType()) {
        case cdtPanel:
            return number + "PAPER:" + Bounds(item);
        case cdtText: {
            const QString shown = item->RichEdit() ? item->RichEdit()->Text() : QString();
            return number + "TEXT:" + Short(shown.isEmpty() ? item->strContent : shown);
        }
        case cdtShape: {
            static const char* const kShapes[] = {"LINE",    "LINE",      "RECT",
                                                  "ELLIPSE", "RECT_ZONE", "ELLIPSE_ZONE"};
            const int t = item->Shape() ? item->Shape()->ShapeType() : -1;
            return number + (t >= 0 && t <= 5 ? kShapes[t] : "SHAPE") + ":" + Bounds(item);
        }
        case cdtHtml:
        case cdtHtmText:
        case cdtUrl:
        case cdtTable:
        case cdtTBUrl:
        case cdtImage: {
            // Content items: their kind, bounds and the start of their content.
            static const char* const kKinds[] = {"",    "HTML",  "",          "",     "HTM",
                                                 "URL", "TABLE", "URL_TABLE", "IMAGE"};
            return number + kKinds[item->ObjectType()] + ":" + Bounds(item) + content;
        }
    }
    return number;
}

void TDesignerWindow::RebuildList() {
    QListWidget* list = ui_->DataListBox;
    list->clear();
    for (TModiControl* item : form_->Items()) {
        if (!item->Visible()) continue;
        auto* line = new QListWidgetItem(ItemListText(item), list);
        line->setData(Qt::UserRole, QVariant::fromValue(static_cast<QObject*>(item)));
        if (item->Selected()) MarkListLine(item, true);
    }
}

void TDesignerWindow::MarkListLine(TModiControl* item, bool selected) {
    if (listSelecting_) return;
    QListWidget* list = ui_->DataListBox;
    const QSignalBlocker quiet(list);
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem* line = list->item(i);
        if (line->data(Qt::UserRole).value<QObject*>() == item) line->setSelected(selected);
    }
}

void TDesignerWindow::reIndexList(TModiControl* item) {
    QListWidget* list = ui_->DataListBox;
    if (ui_->DataListPanel->isHidden()) return;
    QListWidgetItem* current = list->currentItem();
    if (current && current->data(Qt::UserRole).value<QObject*>() == item) return;
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem* line = list->item(i);
        if (line->data(Qt::UserRole).value<QObject*>() != item) continue;
        line->setText(ItemListText(item));
        // The selected lines already follow the selection (a group keeps its lines); the
        // pressed item's line becomes the current one.
        const QSignalBlocker quiet(list);
        list->setCurrentItem(line, QItemSelectionModel::NoUpdate);
        list->scrollToItem(line);
        return;
    }
}

void TDesignerWindow::WireList() {
    QListWidget* list = ui_->DataListBox;
    connect(list, &QListWidget::itemSelectionChanged, this, [this, list] {
        const QScopedValueRollback fromList(listSelecting_, true);
        ClearSelects();
        form_->PageObject()->setSelected(false);
        TModiControl* last = nullptr;
        for (QListWidgetItem* line : list->selectedItems()) {
            auto* item = qobject_cast<TModiControl*>(line->data(Qt::UserRole).value<QObject*>());
            if (!item || !item->Visible()) continue;
            SelectItem(item);
            last = item;
        }
        if (last) {
            dispControlPos(last);
            EnableLnkButton(last);
            blMultiSelect = true;
        }
    });
    connect(ui_->CloseDataList, &QToolButton::clicked, this, [this] {
        ui_->DataListPanel->hide();
        ui_->DataListOpen->show();
        ListLayoutChanged();
    });
    connect(ui_->DataListOpen, &QToolButton::clicked, this, [this] {
        ui_->DataListPanel->show();
        ui_->DataListOpen->hide();
        if (ui_->Splitter1->sizes().value(0) <= 0) SetListWidth(kDefaultListWidth);
        ListLayoutChanged();
    });
    connect(ui_->Splitter1, &QSplitter::splitterMoved, this, [this] { ListLayoutChanged(); });
    ui_->ListTopPanel->installEventFilter(this);
}

}  // namespace kavel
