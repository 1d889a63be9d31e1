// The preview window: its panels, toolbar commands, keys, status line, the printer setup
// with the program's locks, and the user's saved choices.
#include "render/PrevStringFormUnit.h"
#include "render/ComposeTask.h"
#include "render/PreviewButtonImages.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>
#include <optional>

#include "control/PrintChoice.h"
#include "control/RunState.h"
#include "control/ShowMode.h"
#include "platform/Messages.h"
#include "platform/PageImages.h"
#include "platform/PaperSizes.h"
#include "platform/PrinterSystem.h"
#include "platform/Variant.h"
#include "render/kvlPreviewUnit.h"
#include "render/kvlPrintrUnit.h"
#include "ui_PrevStringForm.h"

namespace kavel {

namespace {

const QString kSetupSection = QStringLiteral("PRNSETUP");
const QString kFailure = QStringLiteral("操作失败，请关闭浏览器再试！问题描述:");

constexpr const char* kZoomButtons[] = {"bbZoomH", "bbZoomNormal", "bbZoomW"};

// The zoom button that is down in a zoom state; none for the other fixed zooms.
const char* ZoomButtonFor(TZoomState state) {
    switch (state) {
        case cZoomHeight:
            return "bbZoomH";
        case cZoomWidth:
            return "bbZoomW";
        case cZoom100:
            return "bbZoomNormal";
        default:
            return nullptr;
    }
}

QString BoolText(bool on) {
    return on ? QStringLiteral("-1") : QStringLiteral("0");
}

// A saved check mark: "-1" (any non-zero number) or "true" checks, "0" or "false" clears;
// anything else is treated as not saved.
std::optional<bool> ParseBoolText(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0) return true;
    if (t.compare(QStringLiteral("false"), Qt::CaseInsensitive) == 0) return false;
    bool ok = false;
    const int value = t.toInt(&ok);
    if (!ok) return std::nullopt;
    return value != 0;
}

QString ErrorText(const std::exception& e) {
    if (const auto* k = dynamic_cast<const KavelError*>(&e)) return k->Text();
    return QString::fromUtf8(e.what());
}

void PaintPanel(QWidget* widget, TColor color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// The paper size code as the setup compares it: the user size counts as code 1.
int ComparablePaperSize(int code) {
    return code == kUserPaperSize ? 1 : code;
}

// Runs the form's show handler when the form opens as a window of its own. An embedded
// form is shown inside its control, which runs the handler itself.
class ShowHandler : public QObject {
  public:
    explicit ShowHandler(TPrevStringForm* form) : QObject(form), form_(form) {
        form->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == form_ && event->type() == QEvent::Show && !event->spontaneous() &&
            form_->isWindow()) {
            form_->FormShow();
        }
        return false;
    }

  private:
    TPrevStringForm* form_;
};

}  // namespace

// ---- Creation ------------------------------------------------------------------------------

TPrevStringForm::TPrevStringForm(QWidget* owner, std::shared_ptr<ControlContext> context)
    : QDialog(owner), context_(std::move(context)), ui_(std::make_unique<Ui::TPrevStringForm>()) {
    ui_->setupUi(this);
    FormCreate();
}

TPrevStringForm::~TPrevStringForm() {
    background_ = QImage();
    // The page target and all its pages go with the form.
    if (preview_) preview_->SetSource(nullptr);
}

void TPrevStringForm::FormCreate() {
    preview_ = new TkvlPreview(ui_->MainPanel);
    preview_->setObjectName(QStringLiteral("kvlPreview1"));
    ui_->MainPanelLayout->addWidget(preview_);
    preview_->show();
    setWindowState(windowState() | Qt::WindowMaximized);
    background_ = QImage();
    new ShowHandler(this);

    StatusBarPW()->addWidget(ui_->StatusPanel0);
    StatusBarPW()->addWidget(ui_->StatusPanel1);
    StatusBarPW()->addWidget(ui_->StatusPanel2);

    const std::pair<QToolButton*, Glyph> images[] = {{ui_->bbZoomH, Glyph::FitHeight},
                                                     {ui_->bbZoomNormal, Glyph::Normal},
                                                     {ui_->bbZoomW, Glyph::FitWidth},
                                                     {ui_->bbZoomIn, Glyph::ZoomIn},
                                                     {ui_->bbZoomOut, Glyph::ZoomOut},
                                                     {ui_->NFirst, Glyph::First},
                                                     {ui_->NPRIOR, Glyph::Prior},
                                                     {ui_->NNext, Glyph::Next},
                                                     {ui_->NLast, Glyph::Last},
                                                     {ui_->ToolButton2, Glyph::Setup},
                                                     {ui_->ToolButtonPrint, Glyph::Print},
                                                     {ui_->ToolButtonQuit, Glyph::Quit}};
    for (const auto& [button, glyph] : images) button->setIcon(GlyphIcon(glyph));

    // Buttons of 35 pixels fill the 38-pixel panel; the style's toolbar margins would cut
    // off the captions under the images.
    ToolBar1()->layout()->setContentsMargins(0, 0, 0, 0);

    // Separators between the groups of the toolbar.
    for (QToolButton* before :
         {ui_->bbZoomIn, ui_->NFirst, ui_->ToolButton2, ui_->ToolButtonQuit}) {
        for (QAction* action : ToolBar1()->actions()) {
            if (ToolBar1()->widgetForAction(action) == before) {
                ToolBar1()->insertSeparator(action);
                break;
            }
        }
    }

    auto* menu1 = new QMenu(this);
    menu1->setObjectName(QStringLiteral("PopupMenu1"));
    QAction* duplex1 = menu1->addAction(QStringLiteral("人工双面打印"));
    duplex1->setObjectName(QStringLiteral("PopDoubleSideCheck"));
    menu1->addSeparator();
    QAction* closeAfter = menu1->addAction(QStringLiteral("打印后关闭窗口"));
    closeAfter->setObjectName(QStringLiteral("PopMenuCheck"));
    auto* menu2 = new QMenu(this);
    menu2->setObjectName(QStringLiteral("PopupMenu2"));
    QAction* duplex2 = menu2->addAction(QStringLiteral("人工双面打印"));
    duplex2->setObjectName(QStringLiteral("pop2DoubleSideCheck"));
    for (QAction* action : {duplex1, closeAfter, duplex2}) {
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, action] {
            // The command toggles the mark itself; undo the toggle Qt already made.
            action->setChecked(!action->isChecked());
            CheckThenCloseClick(action);
        });
    }
    connect(ToolBar1(), &QWidget::customContextMenuRequested, this,
            [this, menu1](const QPoint& pos) { menu1->popup(ToolBar1()->mapToGlobal(pos)); });
    connect(BootPanel(), &QWidget::customContextMenuRequested, this,
            [this, menu2](const QPoint& pos) { menu2->popup(BootPanel()->mapToGlobal(pos)); });

    // A click on a zoom button toggles it before the command runs; while the form is
    // busy the command does nothing, so the buttons are set back to the zoom in effect.
    auto zoomCommand = [this](void (TPrevStringForm::*command)()) {
        return [this, command] {
            (this->*command)();
            if (busy_) SetZoomButtons(ZoomButtonFor(preview_->ZoomState()));
        };
    };
    connect(ui_->bbZoomH, &QToolButton::clicked, this, zoomCommand(&TPrevStringForm::bbZoomHClick));
    connect(ui_->bbZoomNormal, &QToolButton::clicked, this,
            zoomCommand(&TPrevStringForm::bbZoomNormalClick));
    connect(ui_->bbZoomW, &QToolButton::clicked, this, zoomCommand(&TPrevStringForm::bbZoomWClick));
    connect(ui_->bbZoomIn, &QToolButton::clicked, this, [this] { bbZoomInClick(ui_->bbZoomIn); });
    connect(ui_->bbZoomOut, &QToolButton::clicked, this, [this] { bbZoomInClick(ui_->bbZoomOut); });
    connect(ui_->NFirst, &QToolButton::clicked, this, &TPrevStringForm::NFirstClick);
    connect(ui_->NPRIOR, &QToolButton::clicked, this, &TPrevStringForm::NPRIORClick);
    connect(ui_->NNext, &QToolButton::clicked, this, &TPrevStringForm::NNextClick);
    connect(ui_->NLast, &QToolButton::clicked, this, &TPrevStringForm::NLastClick);
    connect(ui_->ToolButton2, &QToolButton::clicked, this, &TPrevStringForm::ToolButton2Click);
    connect(ui_->ToolButtonPrint, &QToolButton::clicked, this,
            [this] { ToolButtonPrintClick(ui_->ToolButtonPrint); });
    connect(ui_->ToolButtonQuit, &QToolButton::clicked, this,
            &TPrevStringForm::ToolButtonQuitClick);
    connect(ui_->PrintButton, &QPushButton::clicked, this,
            [this] { ToolButtonPrintClick(ui_->PrintButton); });
    connect(ui_->PrintCanelButton, &QPushButton::clicked, this,
            &TPrevStringForm::ToolButtonQuitClick);
    connect(ui_->CheckThenClose, &QCheckBox::clicked, this, [this] {
        if (busy_) {
            ui_->CheckThenClose->setChecked(!ui_->CheckThenClose->isChecked());
            return;
        }
        CheckThenCloseClick(ui_->CheckThenClose);
    });
}

void TPrevStringForm::SetTask(TModiControl* pageObject, const QList<TModiControl*>& items,
                              const TprnSetup& setup, const QImage& background) {
    pageObject_ = pageObject;
    items_.clear();
    for (TModiControl* item : items) items_.append(item);
    prnSetup_ = setup;
    background_ = background;
}

// ---- Components ---------------------------------------------------------------------------

TKVPrinter* TPrevStringForm::Target() const {
    return preview_ ? preview_->Source() : nullptr;
}
QWidget* TPrevStringForm::ToolPanel() const {
    return ui_->ToolPanel;
}
QToolBar* TPrevStringForm::ToolBar1() const {
    return ui_->ToolBar1;
}
QToolButton* TPrevStringForm::ToolButton(const char* name) const {
    return ui_->ToolBar1->findChild<QToolButton*>(QString::fromLatin1(name));
}
QWidget* TPrevStringForm::BootPanel() const {
    return ui_->BootPanel;
}
QCheckBox* TPrevStringForm::CheckThenClose() const {
    return ui_->CheckThenClose;
}
QPushButton* TPrevStringForm::PrintButton() const {
    return ui_->PrintButton;
}
QPushButton* TPrevStringForm::PrintCanelButton() const {
    return ui_->PrintCanelButton;
}
QStatusBar* TPrevStringForm::StatusBarPW() const {
    return ui_->StatusBarPW;
}
QLabel* TPrevStringForm::StatusPanel(int index) const {
    switch (index) {
        case 0:
            return ui_->StatusPanel0;
        case 1:
            return ui_->StatusPanel1;
        case 2:
            return ui_->StatusPanel2;
        default:
            return nullptr;
    }
}
QWidget* TPrevStringForm::MainPanel() const {
    return ui_->MainPanel;
}
QAction* TPrevStringForm::PopDoubleSideCheck() const {
    return findChild<QAction*>(QStringLiteral("PopDoubleSideCheck"));
}
QAction* TPrevStringForm::PopMenuCheck() const {
    return findChild<QAction*>(QStringLiteral("PopMenuCheck"));
}
QAction* TPrevStringForm::pop2DoubleSideCheck() const {
    return findChild<QAction*>(QStringLiteral("pop2DoubleSideCheck"));
}
QMenu* TPrevStringForm::PopupMenu1() const {
    return findChild<QMenu*>(QStringLiteral("PopupMenu1"));
}
QMenu* TPrevStringForm::PopupMenu2() const {
    return findChild<QMenu*>(QStringLiteral("PopupMenu2"));
}

// ---- Form behaviour -------------------------------------------------------------------------

void TPrevStringForm::FormShow() {
    const TprnSetup& s = prnSetup_;
    embedded_ = s.intToolMode == 3 && Context().RunState().blPreviewInBrowse;

    const TColor color = (embedded_ && Context().RunState().intPanelColor != s.intSkinColor)
                             ? Context().RunState().intPanelColor
                             : GetSkinColor(s);
    PaintPanel(ToolPanel(), color);
    PaintPanel(StatusBarPW(), color);
    PaintPanel(BootPanel(), color);
    preview_->SetColor(color);

    ToolPanel()->setVisible(s.intToolMode == 0 || s.intToolMode == 2);
    BootPanel()->setVisible(s.intToolMode == 1 || s.intToolMode == 2);
    if (ToolPanel()->isHidden()) {
        preview_->Image()->SetStripWidth(0);
        preview_->Refit();
    }

    if (s.intPreviewWidth >= 1 && s.intPreviewHeight >= 1) {
        setWindowState(windowState() & ~Qt::WindowMaximized);
        resize(s.intPreviewWidth, s.intPreviewHeight);
    }

    const QString caption = s.strPButtonCaption;
    const qsizetype dot = caption.indexOf(QLatin1Char('.'));
    if (dot >= 0) {
        const QString title = caption.left(dot);
        const QString button = caption.mid(dot + 1);
        if (!title.isEmpty()) setWindowTitle(title);
        if (!button.isEmpty()) PrintButton()->setText(button);
    } else if (!caption.isEmpty()) {
        PrintButton()->setText(caption);
    }

    if (s.IniFile) {
        if (const auto on = ParseBoolText(s.IniFile->Read(kSetupSection, "TPRINTOKCLOSE"))) {
            PopMenuCheck()->setChecked(*on);
        }
        if (const auto on = ParseBoolText(s.IniFile->Read(kSetupSection, "BPRINTOKCLOSE"))) {
            CheckThenClose()->setChecked(*on);
        }
    }
}

void TPrevStringForm::setPreviewZoom() {
    if (zoomApplied_) return;
    zoomApplied_ = true;
    SetZoomButtons(nullptr);
    switch (prnSetup_.intDispMode) {
        case 0:
            preview_->SetZoomState(cZoomHeight);
            SetZoomButtons("bbZoomH");
            break;
        case 2:
            preview_->SetZoomState(cZoomWidth);
            SetZoomButtons("bbZoomW");
            break;
        default:
            preview_->SetZoomState(cZoom100);
            SetZoomButtons("bbZoomNormal");
            break;
    }
}

void TPrevStringForm::SetZoomButtons(const char* down) {
    for (const char* name : kZoomButtons) {
        ToolButton(name)->setChecked(down && qstrcmp(name, down) == 0);
    }
}

void TPrevStringForm::RefreshStatus() {
    const TKVPrinter* target = Target();
    const int page = preview_->PageNumber();
    const int count = target ? target->PageCount() : 0;
    StatusPanel(0)->setText(QStringLiteral("状态提示："));
    QString text;
    if (!embedded_) text = QStringLiteral("第%1页/共%2页  ").arg(page).arg(count);
    // Without a page target (no printer, nothing composed) there is no paper to name.
    if (target) {
        text += QStringLiteral("纸张:%1mm×%2mm")
                    .arg(target->PaperWidth() / 10)
                    .arg(target->PaperHeight() / 10);
    }
    StatusPanel(1)->setText(text);
    ToolButton("NFirst")->setEnabled(page >= 2);
    ToolButton("NPRIOR")->setEnabled(page >= 2);
    ToolButton("NNext")->setEnabled(count > page);
    ToolButton("NLast")->setEnabled(count > page);
}

void TPrevStringForm::WriteSetups(const QString& section, const QString& key,
                                  const QString& value) {
    if (!prnSetup_.IniFile) return;
    if (!prnSetup_.IniFile->Write(section, key, value)) {
        qWarning("preview: cannot save %s in %s", qPrintable(key),
                 qPrintable(prnSetup_.IniFile->FileName()));
    }
}

int TPrevStringForm::GetPrinterPageSize() {
    PrinterSystem& printers = Context().Printers();
    const int current = printers.Current();
    if (current < 0) return 0;
    return printers.GetDeviceMode(current).paperSize;
}

bool TPrevStringForm::ComposeForPreview(bool withSetupDialog) {
    if (Context().Printers().Count() == 0) return false;
    if (withSetupDialog) PrintSetup();
    const bool composed = ComposePages(false);
    if (truncated_) Context().Messages().ShowMessage(TruncatedText(Target()->PageCount(), false));
    return composed;
}

bool TPrevStringForm::PrintSetup() {
    PrinterSystem& printers = Context().Printers();
    if (busy_ || printers.Count() == 0) return false;
    const TprnSetup& s = prnSetup_;

    // The task's printer, else the default one (the first when the system names none).
    const int effective = GetPrintPrinter(Context(), s);
    int select = -1;
    if (effective >= 0 && effective < printers.Count()) {
        select = effective;
    } else if (printers.DefaultIndex() < 0) {
        select = 0;
    }
    printers.SetCurrent(select);
    const int selected = printers.Current();
    DeviceMode mode = printers.GetDeviceMode(selected);
    // The orientation is taken from the printer the dialog opens on, so that a change is
    // one the user made.
    const int orientationBefore = mode.orientation;
    const int copies = s.intCopies < 1 ? 1 : s.intCopies;
    if (mode.copies != copies) {
        mode.copies = copies;
        printers.SetDeviceMode(selected, mode);
    }
    const int sizeBefore = ComparablePaperSize(GetPrinterPageSize());

    int chosen = selected;
    if (!printers.PageSetupDialog(chosen)) return false;
    if (chosen < 0 || chosen >= printers.Count()) chosen = printers.Current();
    const DeviceMode after = printers.GetDeviceMode(chosen);
    const bool orientationChanged = after.orientation != orientationBefore;
    const bool sizeChanged = ComparablePaperSize(after.paperSize) != sizeBefore;

    if (s.intPrinterNo > 0 && chosen != selected) {
        Context().Messages().ShowMessage(QStringLiteral("目标打印机已由程序控制，无法改变！"));
    } else {
        WriteSetups(kSetupSection, "PRINTERINDEX", QString::number(chosen));
    }
    if (s.intCopies > 0 && after.copies != copies) {
        Context().Messages().ShowMessage(QStringLiteral("打印份数已由程序控制，无法改变！"));
    } else {
        WriteSetups(kSetupSection, "PAPECOPIES", QString::number(after.copies));
    }

    // Saved orientations are 1 portrait and 2 landscape, as the print reads them back.
    const QString orientation = QString::number(after.orientation + 1);
    const QString paperSize = QString::number(after.paperSize);
    const bool sizeFixed = s.blPageSizeSet;
    const bool orientationFixed = s.intOrient == 1 || s.intOrient == 2;
    if (sizeFixed && orientationFixed) {
        if (orientationChanged || sizeChanged) {
            Context().Messages().ShowMessage(
                QStringLiteral("纸张大小和打印方向已由程序控制，无法改变！"));
        }
    } else if (sizeFixed) {
        if (sizeChanged)
            Context().Messages().ShowMessage(QStringLiteral("纸张大小已由程序控制，无法改变！"));
        WriteSetups(kSetupSection, "PAPERORIENT", orientation);
    } else if (orientationFixed) {
        if (orientationChanged) {
            Context().Messages().ShowMessage(QStringLiteral("打印方向已由程序控制，无法改变！"));
        }
        WriteSetups(kSetupSection, "PAPERSIZE", paperSize);
    } else {
        WriteSetups(kSetupSection, "PAPERSIZE", paperSize);
        WriteSetups(kSetupSection, "PAPERORIENT", orientation);
    }
    WriteSetups(kSetupSection, "PAPERSOURCE", QString::number(after.source));
    return true;
}

// ---- Commands -------------------------------------------------------------------------------

void TPrevStringForm::bbZoomHClick() {
    if (busy_) return;
    preview_->SetZoomState(cZoomHeight);
    SetZoomButtons("bbZoomH");
}

void TPrevStringForm::bbZoomNormalClick() {
    if (busy_) return;
    preview_->verticalScrollBar()->setValue(0);
    preview_->SetZoomState(cZoom100);
    SetZoomButtons("bbZoomNormal");
}

void TPrevStringForm::bbZoomWClick() {
    if (busy_) return;
    preview_->SetZoomState(cZoomWidth);
    SetZoomButtons("bbZoomW");
}

void TPrevStringForm::bbZoomInClick(QObject* sender) {
    if (busy_) return;
    SetZoomButtons(nullptr);
    if (sender == ui_->bbZoomOut) {
        preview_->ZoomOut();
    } else {
        preview_->ZoomIn();
    }
    SetZoomButtons(ZoomButtonFor(preview_->ZoomState()));
}

void TPrevStringForm::NFirstClick() {
    if (busy_) return;
    preview_->SetPageNumber(1);
    RefreshStatus();
}

void TPrevStringForm::NPRIORClick() {
    if (busy_) return;
    preview_->SetPageNumber(preview_->PageNumber() - 1);
    RefreshStatus();
}

void TPrevStringForm::NNextClick() {
    if (busy_) return;
    preview_->SetPageNumber(preview_->PageNumber() + 1);
    RefreshStatus();
}

void TPrevStringForm::NLastClick() {
    if (busy_) return;
    preview_->SetPageNumber(Target() ? Target()->PageCount() : 0);
    RefreshStatus();
}

void TPrevStringForm::ToolButton2Click() {
    if (busy_) return;
    try {
        if (!PrintSetup()) return;
        ComposeForPreview(false);
        preview_->SetPageNumber(1);
        RefreshStatus();
    } catch (const std::exception& e) {
        Context().Messages().ShowMessage(kFailure + ErrorText(e));
    }
}

void TPrevStringForm::ToolButtonPrintClick(QObject* sender) {
    if (busy_) return;
    bool done = false;
    try {
        if (prnSetup_.blDirectPrint) {
            PrintTask(false);
            done = true;
        } else {
            done = PrintTask(true);
        }
    } catch (const std::exception& e) {
        Context().Messages().ShowMessage(kFailure + ErrorText(e));
        return;
    }
    if (!done) return;
    const bool closeNow = (sender == ui_->ToolButtonPrint && PopMenuCheck()->isChecked()) ||
                          (sender == ui_->PrintButton && CheckThenClose()->isChecked());
    if (closeNow) close();
}

void TPrevStringForm::ToolButtonQuitClick() {
    if (busy_) return;
    close();
}

void TPrevStringForm::CheckThenCloseClick(QObject* sender) {
    if (busy_ || !sender) return;
    if (sender == PopMenuCheck()) {
        PopMenuCheck()->setChecked(!PopMenuCheck()->isChecked());
        WriteSetups(kSetupSection, "TPRINTOKCLOSE", BoolText(PopMenuCheck()->isChecked()));
    } else if (sender == CheckThenClose()) {
        WriteSetups(kSetupSection, "BPRINTOKCLOSE", BoolText(CheckThenClose()->isChecked()));
    } else if (sender == PopDoubleSideCheck() || sender == pop2DoubleSideCheck()) {
        auto* item = static_cast<QAction*>(sender);
        QAction* other =
            item == PopDoubleSideCheck() ? pop2DoubleSideCheck() : PopDoubleSideCheck();
        item->setChecked(!item->isChecked());
        other->setChecked(item->isChecked());
    }
}

// ---- Keys, wheel, closing -------------------------------------------------------------------

void TPrevStringForm::keyPressEvent(QKeyEvent* event) {
    QScrollBar* horizontal = preview_->horizontalScrollBar();
    QScrollBar* vertical = preview_->verticalScrollBar();
    switch (event->key()) {
        case Qt::Key_Escape:
            ToolButtonQuitClick();
            break;
        case Qt::Key_PageUp:
            NPRIORClick();
            break;
        case Qt::Key_PageDown:
            NNextClick();
            break;
        case Qt::Key_Home:
            NFirstClick();
            break;
        case Qt::Key_End:
            NLastClick();
            break;
        case Qt::Key_Left:
            horizontal->setValue(horizontal->value() - 50);
            break;
        case Qt::Key_Right:
            horizontal->setValue(horizontal->value() + 50);
            break;
        case Qt::Key_Up:
            vertical->setValue(vertical->value() - 50);
            break;
        case Qt::Key_Down:
            vertical->setValue(vertical->value() + 50);
            break;
        default:
            QDialog::keyPressEvent(event);
            return;
    }
    event->accept();
}

void TPrevStringForm::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        event->ignore();
        return;
    }
    // One step of 30 pixels per notch of the wheel (120 units), at least one per event.
    const int steps = std::max(1, std::abs(delta) / 120);
    QScrollBar* bar = (event->modifiers() & Qt::ControlModifier) ? preview_->horizontalScrollBar()
                                                                 : preview_->verticalScrollBar();
    bar->setValue(bar->value() + (delta < 0 ? 30 : -30) * steps);
    event->accept();
}

void TPrevStringForm::closeEvent(QCloseEvent* event) {
    // A composition is running inside this window: it must not go away under it.
    if (busy_) {
        event->ignore();
        return;
    }
    background_ = QImage();
    QDialog::closeEvent(event);
}

// ---- Export ---------------------------------------------------------------------------------

int TPrevStringForm::SavePagesAsPng(const QString& dir) {
    TKVPrinter* target = Target();
    if (!target || target->PageCount() < 1) return 0;
    const int w = static_cast<int>(RoundHalfEven(target->PaperWidth() * 96 / 254.0));
    const int h = static_cast<int>(RoundHalfEven(target->PaperHeight() * 96 / 254.0));
    if (w < 1 || h < 1) return 0;
    QString error;
    const int job = BeginPageImageJob(dir, &error);
    if (job == 0) throw KavelError(error);
    for (int n = 1; n <= target->PageCount(); ++n) {
        const auto page = target->GetPage(n);
        QImage image(w, h, QImage::Format_RGB32);
        image.setDotsPerMeterX(3780);  // 96 per inch
        image.setDotsPerMeterY(3780);
        image.fill(Qt::white);
        if (page) {
            QPainter painter(&image);
            DrawPageStretched(painter, *page, QSize(target->PageWidth(), target->PageHeight()),
                              QRectF(0, 0, w, h));
        }
        if (!WritePageImage(image, PageImageFileName(dir, job, n), &error)) {
            throw KavelError(error);
        }
    }
    return target->PageCount();
}

}  // namespace kavel
