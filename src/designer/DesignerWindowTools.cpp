// The tool buttons and menus of the designer, and its commands on the set of items.
#include <QButtonGroup>
#include <QColorDialog>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextEdit>
#include <QToolButton>
#include <QToolTip>

#include "control/Units.h"
#include "designer/CodePrint.h"
#include "designer/DesignerWindow.h"
#include "designer/LayoutCode.h"
#include "designer/PSetupFormUnit.h"
#include "platform/Messages.h"
#include "platform/PrinterSystem.h"
#include "platform/SettingsStore.h"
#include "ui_TPSetupForm.h"

namespace kavel {

namespace {

// An integer typed into a tool box; nothing when it is not one.
std::optional<int> TypedInt(const QLineEdit* edit) {
    bool ok = false;
    const int v = edit->text().trimmed().toInt(&ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}

int Tag(const QObject* o) {
    return o->property("tag").toInt();
}

}  // namespace

void TDesignerWindow::Run(const ItemList& changed) {
    for (TModiControl* item : changed) RepaintControl(item);
    if (!changed.isEmpty()) EnableLnkButton(changed.last());
}

void TDesignerWindow::WireTools() {
    Ui::TPSetupForm& u = *ui_;
    auto click = [this](QToolButton* b, auto f) { connect(b, &QToolButton::clicked, this, f); };
    auto fast = [] {
        return (QGuiApplication::keyboardModifiers() & Qt::ControlModifier) ? 10 : 1;
    };

    click(u.BTRight, [=, this] { Run(MoveItems(selectList_, fast(), 0)); });
    click(u.BTLeft, [=, this] { Run(MoveItems(selectList_, -fast(), 0)); });
    click(u.BTUp, [=, this] { Run(MoveItems(selectList_, 0, -fast())); });
    click(u.BTDown, [=, this] { Run(MoveItems(selectList_, 0, fast())); });
    click(u.UpWidthButton, [this] { Run(ResizeItems(selectList_, 1, 0)); });
    click(u.DownWidthButton, [this] { Run(ResizeItems(selectList_, -1, 0)); });
    click(u.UpHeightButton, [this] { Run(ResizeItems(selectList_, 0, 1)); });
    click(u.DownHeightButton, [this] { Run(ResizeItems(selectList_, 0, -1)); });
    click(u.UpAngleButton, [this] { Run(StepAngle(selectList_, 1)); });
    click(u.DownAngleButton, [this] { Run(StepAngle(selectList_, -1)); });
    click(u.UpFontSizeButton, [this] { Run(StepFontSize(selectList_, 1)); });
    click(u.DownFontSizeButton, [this] { Run(StepFontSize(selectList_, -1)); });

    auto entered = [this](QLineEdit* edit, auto apply) {
        connect(edit, &QLineEdit::returnPressed, this, [this, edit, apply] {
            if (const auto v = TypedInt(edit)) Run(apply(*v));
        });
    };
    auto screen = [this](int v) {
        return ScaleToScreen(std::clamp(v, 0, kMaxScriptCoordinate), form_->PixelsPerInch());
    };
    entered(u.EditWidth, [this, screen](int v) { return SetItemsWidth(selectList_, screen(v)); });
    entered(u.EditHeight, [this, screen](int v) { return SetItemsHeight(selectList_, screen(v)); });
    entered(u.EditAngle, [this](int v) { return SetAngle(selectList_, v); });
    entered(u.EditFontSize, [this](int v) { return SetFontSize(selectList_, v); });
    connect(u.ComboBoxFont, &QComboBox::textActivated, this,
            [this](const QString& name) { Run(SetFontName(selectList_, name)); });
    click(u.SpeedColor, [this] {
        if (DialogPolicy() != DialogAnswer::Show) return;
        const QColor chosen = QColorDialog::getColor(ToQColor(colorPreset_), form_);
        if (chosen.isValid()) Run(SetItemsColor(selectList_, FromQColor(chosen)));
    });

    click(u.ToolBold, [this] { Run(ToggleFontStyle(selectList_, fsBold)); });
    click(u.ToolItalic, [this] { Run(ToggleFontStyle(selectList_, fsItalic)); });
    click(u.ToolUnderline, [this] { Run(ToggleFontStyle(selectList_, fsUnderline)); });
    auto* align = new QButtonGroup(this);
    for (QToolButton* b : {u.TAligtLeft, u.TAligtCenter, u.TAligtRight}) align->addButton(b);
    click(u.TAligtLeft, [this] { Run(SetAlignButton(selectList_, AlignButton::Left)); });
    click(u.TAligtCenter, [this] { Run(SetAlignButton(selectList_, AlignButton::Center)); });
    click(u.TAligtRight, [this] { Run(SetAlignButton(selectList_, AlignButton::Right)); });
    auto* dash = new QButtonGroup(this);
    for (QToolButton* b :
         {u.ToolDshSolid, u.ToolDshDash, u.ToolDshDot, u.ToolDshDashDot, u.ToolDshDashDotDot}) {
        dash->addButton(b);
        click(b, [this, b] { Run(SetPenStyle(selectList_, Tag(b))); });
    }

    const std::pair<QToolButton*, QMenu*> menus[] = {{u.ToolBnLeftRight, u.PopMenuLeftRight},
                                                     {u.ToolBnUpDown, u.PopMenuUpDown},
                                                     {u.ToolBnWidth, u.PopMenuSameWidth},
                                                     {u.ToolBnHeight, u.PopMenuSameheight},
                                                     {u.ToolButtonGrandImage, u.PopMenuLoadImage},
                                                     {u.ToolButtonDesign, u.PopMenuDesign},
                                                     {u.ToolButtonHeadFoot, u.PopMenuHeadFoot},
                                                     {u.ToolButtonDefault, u.PopMenuDefault},
                                                     {u.ToolButton4, u.PopupMenuCopy}};
    for (auto [button, menu] : menus) {
        // The menu opens just below the button, at its left edge.
        button->setMenu(menu);
        button->setPopupMode(QToolButton::InstantPopup);
    }
    click(u.ToolABout,
          [this] { form_->Context().Messages().ShowInfo(QStringLiteral("Kavel 4.4.4.2")); });
    click(u.ButtonApply, [this] { ButtonApplyClick(true); });
    click(u.ButtonCancel, [this] { ButtonApplyClick(false); });
    click(u.Button2, [this] { form_->NowQuickReport(0); });
    click(u.Button1, [this] { form_->NowQuickReport(1); });
    click(u.CloseFormButton, [this] { form_->close(); });
    click(u.ClosePanelButton, [this] { ui_->RichEditPanel->hide(); });

    u.EditFocus->installEventFilter(this);
    // Every tool shows its hint in the third status panel while the mouse is over it.
    for (QWidget* w : u.PanelToolTop->findChildren<QWidget*>()) {
        if (!w->toolTip().isEmpty()) w->installEventFilter(this);
    }
}

void TDesignerWindow::WireMenus() {
    Ui::TPSetupForm& u = *ui_;
    auto on = [this](QAction* a, auto f) { connect(a, &QAction::triggered, this, f); };
    const std::pair<QAction*, Arrangement> arrangements[] = {
        {u.NGoLeft, Arrangement::AlignLeft},
        {u.NGoRight, Arrangement::AlignRight},
        {u.NGoHCenter, Arrangement::CenterHorizontally},
        {u.NGoHSpace, Arrangement::SpaceHorizontally},
        {u.NGoTop, Arrangement::AlignTop},
        {u.NGoBottom, Arrangement::AlignBottom},
        {u.NGoVCenter, Arrangement::CenterVertically},
        {u.NGoVSpace, Arrangement::SpaceVertically},
        {u.NMinWidth, Arrangement::SmallestWidth},
        {u.NMaxWidth, Arrangement::LargestWidth},
        {u.NAvgWidth, Arrangement::AverageWidth},
        {u.NMinHigh, Arrangement::SmallestHeight},
        {u.NMaxHigh, Arrangement::LargestHeight},
        {u.NAvgHigh, Arrangement::AverageHeight}};
    for (const auto& [action, arrangement] : arrangements) {
        const Arrangement how =
            arrangement;  // a binding cannot be captured before C++20 in clang 14
        on(action, [this, how] {
            TModiControl* page = form_->PageObject();
            Run(Arrange(selectList_, how, QSize(page->Width(), page->Height())));
        });
    }

    on(u.NDefPos, [this] { Run(RestorePosition(selectList_)); });
    on(u.NDefSize, [this] { Run(RestoreSize(selectList_)); });
    on(u.NDefFont, [this] { Run(RestoreFont(selectList_)); });
    on(u.NDefPen, [this] { Run(RestoreFont(selectList_)); });
    on(u.NDefAll, [this] { RestoreAll(); });

    for (QAction* a : {u.NHeadLeft, u.NHeadCenter, u.NHeadRight, u.NHeadClient}) {
        on(a, [this, a] { Run(SetHeadFoot(selectList_, TPRNHorzOrient(Tag(a)), cvnTop)); });
    }
    for (QAction* a : {u.NFootLeft, u.NFootCenter, u.NFootRight, u.NFootClient}) {
        on(a, [this, a] { Run(SetHeadFoot(selectList_, TPRNHorzOrient(Tag(a)), cvnBottom)); });
    }
    for (QAction* a : {u.NHorzLeft, u.NHorzRight, u.NHorzCenter, u.NHorzClient}) {
        on(a, [this, a] { Run(SetHorzLock(selectList_, TPRNHorzOrient(Tag(a)))); });
    }
    for (QAction* a : {u.NVertTop, u.NVertBottom, u.NVertCenter, u.NVertClient}) {
        on(a, [this, a] { Run(SetVertLock(selectList_, TPRNVertOrient(Tag(a)))); });
    }
    for (QAction* a : {u.NPageData, u.NPageNo, u.NPageCount, u.NMulPage}) {
        on(a, [this, a] {
            int refused = 0;
            Run(SetPageType(selectList_, TPRNPageType(Tag(a)), &refused));
            for (int i = 0; i < refused; ++i) {
                form_->Context().Messages().ShowMessage(
                    QStringLiteral("\"页号属性\"只能对\"文本项\"！"));
            }
        });
    }

    for (QAction* a : {u.NInsertTxt, u.NInsertHtml, u.NInsertTable, u.NInsertUrl, u.NInsertTBUrl,
                       u.NInsertImage, u.NInsertRect, u.NInsertSolidRect, u.NInsertEllipse,
                       u.NInsertSolidEllipse, u.NInsertUpLine, u.NInsertDownLine}) {
        on(a, [this, a] { InsertItem(a); });
    }
    on(u.NCtrlDel, [this] { NCtrlDelClick(); });
    on(u.NSelAll, [this] { NSelAllClick(); });

    on(u.NLoadBK, [this] {
        if (DialogPolicy() != DialogAnswer::Show) return;
        const QString file = QFileDialog::getOpenFileName(form_, QStringLiteral("背景图装载"));
        QImage picture;
        if (file.isEmpty() || !picture.load(file)) return;
        form_->BackImage() = picture;
    });
    on(u.NClearBK, [this] { form_->BackImage() = QImage(); });
    on(u.BKCheckItem, [this](bool checked) {
        int& mode = form_->Setup().intBkImgMode;
        mode = checked ? std::max(mode, 1) : 0;
    });

    QTextEdit* code = u.RichEditProChars;
    on(u.NCodesUndo, [code] { code->undo(); });
    on(u.NCodesCut, [code] { code->cut(); });
    on(u.NCodesCopy, [code] { code->copy(); });
    on(u.NCodesPaste, [code] { code->paste(); });
    on(u.NCodesDelete, [code] { code->textCursor().removeSelectedText(); });
    on(u.NCodesSelectAll, [code] { code->selectAll(); });
    code->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(code, &QWidget::customContextMenuRequested, this,
            [this, code](QPoint at) { ui_->PopupMenuCopy->popup(code->mapToGlobal(at)); });
    QPalette tip = code->palette();
    tip.setColor(QPalette::Base, QToolTip::palette().color(QPalette::ToolTipBase));
    code->setPalette(tip);
    // The floating panel covers the paper: its title is drawn solid, in the title colours.
    QPalette title = ui_->PanelCodeTitle->palette();
    title.setColor(QPalette::Window, title.color(QPalette::Highlight));
    title.setColor(QPalette::WindowText, title.color(QPalette::HighlightedText));
    title.setColor(QPalette::ButtonText, title.color(QPalette::HighlightedText));
    ui_->PanelCodeTitle->setPalette(title);
    ui_->PanelCodeTitle->setAutoFillBackground(true);
    ui_->PanelCodeTitle->installEventFilter(this);
    on(u.NCodesPrintClick, [this, code] {
        try {
            PrintCodeText(form_->Context().Printers(), code->toPlainText());
        } catch (const KavelError& e) {
            form_->Context().Messages().ShowMessage(e.Text());
        }
    });
    on(u.NCreateCode, [this] {
        // The code of the layout as it stands now, the paper counted in the work area.
        const QScrollArea* work = form_->WorkArea();
        const QPoint scroll(work->horizontalScrollBar()->value(),
                            work->verticalScrollBar()->value());
        ShowCodePanel(QStringLiteral("当前布局风格的控制代码(可复制到页面程序中做为缺省)"),
                      CreateLayoutCode(*form_, scroll).join('\n'), QTextEdit::NoWrap);
        blPageFocused = false;
    });
    on(u.MenuItemHtmClick, [this] {
        for (TModiControl* item : selectList_) {
            if (!IsImageKind(item->ObjectType())) continue;
            ShowCodePanel(QStringLiteral("源代码"), item->strContent, QTextEdit::WidgetWidth);
            return;
        }
    });
}

void TDesignerWindow::ShowCodePanel(const QString& title, const QString& text,
                                    QTextEdit::LineWrapMode wrap) {
    ui_->PanelCodeCaption->setText(title);
    ui_->PanelCodeTitle->setToolTip(title);
    QTextEdit* code = ui_->RichEditProChars;
    code->setLineWrapMode(wrap);
    code->setPlainText(text);
    code->moveCursor(QTextCursor::Start);
    ui_->RichEditPanel->show();
    ui_->RichEditPanel->raise();
}

bool TDesignerWindow::CodeTitleEvent(QEvent* event) {
    // The panel is dragged by its title, inside the window.
    QWidget* panel = ui_->RichEditPanel;
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseMove) {
        return false;
    }
    auto* e = static_cast<QMouseEvent*>(event);
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            if (e->button() != Qt::LeftButton) return false;
            codeGrab_ = e->globalPosition().toPoint() - panel->pos();
            return true;
        case QEvent::MouseMove: {
            if (!(e->buttons() & Qt::LeftButton)) return false;
            const QRect room = panel->parentWidget()->rect();
            QPoint to = e->globalPosition().toPoint() - codeGrab_;
            to.setX(std::clamp(to.x(), room.left() - panel->width() + 40, room.right() - 40));
            to.setY(std::clamp(to.y(), room.top(), room.bottom() - 20));
            panel->move(to);
            return true;
        }
        default:
            return false;
    }
}

// ---------------------------------------------------------------- commands on items

TModiControl* TDesignerWindow::InsertItem(QAction* entry) {
    if (!Limits().Design()) return nullptr;
    Ui::TPSetupForm& u = *ui_;
    TModiControl* page = form_->PageObject();
    intInsertLeft = std::min(intInsertLeft, page->Width() - 100);
    intInsertTop = std::min(intInsertTop, page->Height() - 60);
    const int count = static_cast<int>(form_->Items().size());
    const std::pair<QAction*, TPRNDataType> kinds[] = {{u.NInsertHtml, cdtHtmText},
                                                       {u.NInsertUrl, cdtUrl},
                                                       {u.NInsertTable, cdtTable},
                                                       {u.NInsertTBUrl, cdtTBUrl},
                                                       {u.NInsertImage, cdtImage}};
    const std::pair<QAction*, TPRNShapeType> shapes[] = {
        {u.NInsertUpLine, cstUpLine},   {u.NInsertDownLine, cstDownLine},
        {u.NInsertRect, cstRect},       {u.NInsertSolidRect, cstSolidRect},
        {u.NInsertEllipse, cstEllipse}, {u.NInsertSolidEllipse, cstSolidEllipse}};
    TModiControl* item = nullptr;
    if (entry == u.NInsertTxt) {
        item = form_->AddItem(QString(), intInsertTop, true,
                              QStringLiteral("新加文本") + QString::number(count + 1), cdtText, 20,
                              100, intInsertLeft);
    }
    for (auto [action, kind] : kinds) {
        if (entry == action) {
            item = form_->AddItem(QString(), intInsertTop, true, QString(), kind, 160, 220,
                                  intInsertLeft);
        }
    }
    for (auto [action, type] : shapes) {
        if (entry != action) continue;
        const TDefaultStyle& d = form_->DefaultStyle();
        item = form_->AddShape(intInsertTop, intInsertLeft, true, Variant::I4(d.fontColor), type,
                               d.penWidth, d.penStyle, 60, 100);
    }
    if (!item) return nullptr;
    InstallItem(item);
    item->RestoreToScript(true);
    item->setVisible(true);
    item->blModified = true;
    ClearSelects();
    form_->PageObject()->setSelected(false);
    SelectItem(item);
    MarkHeadFoot(item);
    RebuildList();
    dispControlPos(item);
    EnableLnkButton(item);
    ButtonEnable(true);
    return item;
}

TModiControl* TDesignerWindow::PasteOneMcontrol(TModiControl* source, int dx, int dy) {
    if (!source || source->ObjectType() == cdtPanel) return nullptr;
    const int count = static_cast<int>(form_->Items().size());
    const int left = source->Left() + dx, top = source->Top() + dy;
    TModiControl* copy = nullptr;
    if (const TTextContent* e = source->RichEdit()) {
        copy = form_->AddItem(QString(), top, true,
                              QStringLiteral("新加文本") + QString::number(count + 1), cdtText,
                              source->Height(), source->Width(), left);
        copy->setStrDefFontName(e->FontName());
        copy->setIntDefSize(e->FontSize());
        copy->setFcDefFontColor(e->FontColor());
        copy->setFsDefFontStyle(e->FontStyle());
        copy->setAlDefAlignment(e->TextAlignment());
    } else if (const TPRNShape* s = source->Shape()) {
        copy = form_->AddShape(top, left, true, Variant::I4(s->Pen().color), s->ShapeType(),
                               s->Pen().width, s->PenStyle(), source->Height(), source->Width());
    } else {
        copy = form_->AddItem(QString(), top, true, QString(), source->ObjectType(),
                              source->Height(), source->Width(), left);
    }
    copy->setPtDefPageType(source->ptPageType);
    copy->setHnDefHorzOrnt(source->hnHorzOrnt);
    copy->setHnDefVertOrnt(source->hnVertOrnt);
    copy->setHnDefImgMode(source->hnImgMode());
    InstallItem(copy);
    copy->RestoreToScript(true);
    copy->setVisible(true);
    copy->blModified = true;
    SelectItem(copy);
    MarkHeadFoot(copy);
    RebuildList();
    dispControlPos(copy);
    EnableLnkButton(copy);
    ButtonEnable(true);
    return copy;
}

void TDesignerWindow::NCtrlDelClick() {
    for (TModiControl* item : selectList_) {
        item->setVisible(false);
        item->blModified = true;
    }
    ButtonEnable(true);
    ClearSelects();
    RebuildList();
}

void TDesignerWindow::NSelAllClick() {
    ClearSelects();
    form_->PageObject()->setSelected(false);
    TModiControl* last = nullptr;
    for (TModiControl* item : form_->Items()) {
        if (!item->Visible()) continue;
        SelectItem(item);
        last = item;
    }
    if (!last) return;
    dispControlPos(last);
    EnableLnkButton(last);
    blMultiSelect = true;
}

void TDesignerWindow::RestoreAll() {
    TModiControl* page = form_->PageObject();
    page->SetBounds(page->intDefLeft(), page->intDefTop(), page->intDefWidth(),
                    page->intDefHeight());
    page->blModified = true;
    const bool design = Limits().Design();
    for (TModiControl* item : form_->Items()) item->RestoreToScript(design);
    form_->PrepareHtmlItems(true);
    for (TModiControl* item : selectList_) item->PlaceHandles();
    RebuildList();
    status_[0]->clear();
    ButtonEnable(true);
    ui_->NDefAll->setEnabled(false);
}

void TDesignerWindow::ButtonApplyClick(bool apply) {
    QScrollArea* work = form_->WorkArea();
    work->horizontalScrollBar()->setValue(0);
    work->verticalScrollBar()->setValue(0);
    TprnSetup& setup = form_->Setup();
    if (apply) {
        ClearSelects();
        if (ui_->NDefAll->isEnabled()) {
            if (setup.strTaskName.trimmed().isEmpty()) {
                form_->Context().Messages().ShowMessage(QStringLiteral(
                    "打印任务名(PrintTaskName)空，无法保存当前布局！\n"
                    "请用\"PRINT_INIT\"或\"SET_PRINT_PAPER\"在初始化时指定PrintTaskName"));
                return;
            }
            if (!form_->WritePostionValue()) {
                // What was not stored stays modified, and the buttons stay on to try again.
                form_->Context().Messages().ShowMessage(
                    QStringLiteral("The layout could not be saved in %1.")
                        .arg(setup.strIniFileName));
                return;
            }
        } else {
            // The whole layout went back to what script gave: nothing of it is kept.
            if (!DeleteSettingsFile(setup.strIniFileName)) {
                form_->Context().Messages().ShowMessage(
                    QStringLiteral("The stored layout %1 could not be deleted.")
                        .arg(setup.strIniFileName));
                return;
            }
            form_->PageObject()->blModified = false;
            for (TModiControl* item : form_->Items()) item->blModified = false;
        }
    } else {
        if (!QFile::exists(setup.strIniFileName)) {
            TModiControl* page = form_->PageObject();
            page->SetBounds(page->intDefLeft(), page->intDefTop(), page->intDefWidth(),
                            page->intDefHeight());
            const bool design = Limits().Design();
            for (TModiControl* item : form_->Items()) {
                item->RestoreToScript(design);
                item->blModified = false;
            }
            page->blModified = false;
        } else {
            form_->ReadPostionValue(false);
        }
        RebuildList();
        status_[0]->clear();
    }
    ButtonEnable(false);
    const QList<TModiControl*> selected = selectList_;
    for (TModiControl* item : selected) {
        if (!item->Visible()) item->setSelected(false);
    }
    for (TModiControl* item : selectList_) item->PlaceHandles();
    if (!selectList_.isEmpty()) dispControlPos(selectList_.last());
}

}  // namespace kavel
