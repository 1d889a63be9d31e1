// The designer window over the task of a TPSetupForm: builds the form's widgets from
// TPSetupForm.ui, opens in setup or design mode within the SETUP_ENABLESS limits, shows
// the item last pressed, and turns mouse, keys, tool buttons and menus into the item
// commands of ItemCommands.h and the layout store of the form. Built when the designer is
// first shown; the form alone (printing, previews) never builds it.
#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTextEdit>
#include <memory>

#include "designer/ItemCommands.h"
#include "designer/SetupLimits.h"
#include "platform/Color.h"

class QAbstractButton;
class QAction;
class QFrame;
class QLabel;
class QMouseEvent;
class QKeyEvent;
class QToolButton;

namespace Ui {
class TPSetupForm;
}

namespace kavel {

class TPSetupForm;

class TDesignerWindow : public QObject {
    Q_OBJECT
  public:
    explicit TDesignerWindow(TPSetupForm* form);
    ~TDesignerWindow() override;

    Ui::TPSetupForm& Form() { return *ui_; }
    SetupLimits Limits() const;

    // Each time the window is shown: skin colour, item list, the limits of the mode, an
    // empty selection, the page object displayed.
    void FormShow();
    // When the window closes: the selection is dropped and the item list layout saved.
    void FormClose();
    // Before the user closes the window: with changes not applied, asks whether to keep
    // them (OK applies them), then whether to close without them. False keeps the window
    // open; so does a failed apply, so that nothing is lost unasked.
    bool ConfirmClose();

    // ---- What the window shows ----------------------------------------------------------
    void dispControlPos(TModiControl* item);
    void EnableLnkButton(TModiControl* item);
    void dispHeadFootCaption(TModiControl* item);
    void DispHeadFootColor(TModiControl* item) { MarkHeadFoot(item); }
    // After a tool changed the item: displayed, marked modified, handles placed, apply on.
    void RepaintControl(TModiControl* item);
    void ButtonEnable(bool on);
    void reIndexList(TModiControl* item);
    void RebuildList();
    static QString ItemListText(const TModiControl* item);

    // ---- Selection ---------------------------------------------------------------------
    const QList<TModiControl*>& SelectList() const { return selectList_; }
    void ClearSelects();
    void SelectItem(TModiControl* item);
    bool blMultiSelect = false;
    bool blPageFocused = false;
    QPoint DragStartPos;  // screen position of the last press on an item
    int intInsertLeft = 10;
    int intInsertTop = 10;

    // ---- Commands ------------------------------------------------------------------------
    // A copy of source moved by (dx, dy), selected; the page object is never copied.
    TModiControl* PasteOneMcontrol(TModiControl* source, int dx, int dy);
    TModiControl* InsertItem(QAction* entry);
    void NCtrlDelClick();
    void NSelAllClick();
    void ButtonApplyClick(bool apply);
    void RestoreAll();

    // The status bar's three panels.
    QLabel* StatusPanel(int i) const { return status_[i]; }
    // The rubber band and the paper pin, on the work area.
    QFrame* ShapeSelect() const { return band_; }
    QToolButton* LockButton() const { return lockButton_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildWork();
    void BuildStatusBar();
    void WireTools();
    void WireMenus();
    void WireList();
    void InstallItem(TModiControl* item);
    void PlaceWindow();
    void LetDrag(TModiControl* item);

    void conMouseDown(TModiControl* item, QMouseEvent* e);
    void PageMouseDown(QMouseEvent* e);
    void conMouseMove(TModiControl* item, QMouseEvent* e);
    void conMouseUp(TModiControl* item, QMouseEvent* e);
    void OnSelect(TModiControl* item, bool selected);
    void onBounds(TModiControl* item);
    void onModied(TModiControl* sender, int dLeft, int dTop, int dWidth, int dHeight);
    bool EditFocusKeyDown(QKeyEvent* e);
    bool LockButtonEvent(QEvent* e);

    // Runs a command on the selection and shows the items it changed.
    void Run(const ItemList& changed);
    void ShowBand(int left, int top, int width, int height);
    QRect BandRect() const;
    void SelectInBand();
    void ListLayoutChanged() { listLayoutChanged_ = true; }
    // The list's selected lines follow the selection of the work area.
    void MarkListLine(TModiControl* item, bool selected);
    void TextEdited(TModiControl* item);
    void ShowCodePanel(const QString& title, const QString& text, QTextEdit::LineWrapMode wrap);
    bool CodeTitleEvent(QEvent* event);
    void ApplyListLayout();
    void SetListWidth(int width);

    TPSetupForm* form_;
    std::unique_ptr<Ui::TPSetupForm> ui_;
    QList<TModiControl*> selectList_;
    QList<QPointer<TModiControl>> installed_;
    TModiControl* lastShown_ = nullptr;
    QLabel* status_[3] = {};
    QFrame* band_ = nullptr;
    int bandLeft_ = 0, bandTop_ = 0, bandWidth_ = 0, bandHeight_ = 0;
    QFrame* panelLock_ = nullptr;
    QToolButton* lockButton_ = nullptr;
    QPoint pinGrab_;
    QPoint codeGrab_;  // where the code panel's title was pressed, from the panel's corner
    bool pinDragging_ = false;
    bool listLayoutChanged_ = false;
    bool listSelecting_ = false;    // the selection is being made from the list's lines
    TColor colorPreset_ = clBlack;  // the colour dialog starts from the item's colour
};

}  // namespace kavel
