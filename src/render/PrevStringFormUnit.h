// The preview form: the print preview window, and the object in which every
// composition and every print of a task runs (hidden for PRINT, PRINTA, PRINTB).
#pragma once

#include <QDialog>
#include <QImage>
#include <QList>
#include <QPointer>
#include <memory>

#include "control/ControlContext.h"
#include "control/ModiControls.h"
#include "control/PrnSetup.h"

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;
class QToolBar;
class QToolButton;

namespace Ui {
class TPrevStringForm;
}

namespace kavel {

class TkvlPreview;
class TKVPrinter;

class TPrevStringForm : public QDialog {
    Q_OBJECT
  public:
    // context: the world of the control whose task is previewed.
    TPrevStringForm(QWidget* owner, std::shared_ptr<ControlContext> context);
    ControlContext& Context() const { return *context_; }
    ~TPrevStringForm() override;

    // The task to compose: the page object, the item list and a copy of the setup.
    void SetTask(TModiControl* pageObject, const QList<TModiControl*>& items,
                 const TprnSetup& setup, const QImage& background);
    TprnSetup& Setup() { return prnSetup_; }
    // Pixels per inch of the control, in which pages are recorded.
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int ppi) { pixelsPerInch_ = ppi > 0 ? ppi : 96; }
    QImage& Background() { return background_; }

    bool Busy() const { return busy_; }
    bool Embedded() const { return embedded_; }
    TkvlPreview* Preview() const { return preview_; }
    TKVPrinter* Target() const;  // the page target of the last composition

    // Components (object names as in the form layout).
    QWidget* ToolPanel() const;
    QToolBar* ToolBar1() const;
    QToolButton* ToolButton(const char* name) const;
    QWidget* BootPanel() const;
    QCheckBox* CheckThenClose() const;
    QPushButton* PrintButton() const;
    QPushButton* PrintCanelButton() const;
    QStatusBar* StatusBarPW() const;
    QLabel* StatusPanel(int index) const;
    QWidget* MainPanel() const;
    QAction* PopDoubleSideCheck() const;
    QAction* PopMenuCheck() const;
    QAction* pop2DoubleSideCheck() const;
    QMenu* PopupMenu1() const;
    QMenu* PopupMenu2() const;

    // Form behaviour.
    void FormShow();
    void setPreviewZoom();
    void RefreshStatus();
    void WriteSetups(const QString& section, const QString& key, const QString& value);
    int GetPrinterPageSize();

    // Composition and printing.
    bool ComposePages(bool forPrinter);
    // The last composition stopped at the page limit with items left to lay out.
    bool Truncated() const { return truncated_; }
    bool ComposeForPreview(bool withSetupDialog);
    bool PrintTask(bool withDialog);
    bool PrintSetup();

    // Commands of the toolbar, the bottom panel and the menus.
    void bbZoomHClick();
    void bbZoomNormalClick();
    void bbZoomWClick();
    void bbZoomInClick(QObject* sender);
    void NFirstClick();
    void NPRIORClick();
    void NNextClick();
    void NLastClick();
    void ToolButton2Click();
    void ToolButtonPrintClick(QObject* sender);
    void ToolButtonQuitClick();
    void CheckThenCloseClick(QObject* sender);

    // Writes the composed pages as pictures at 96 pixels per inch into DIR, as one job of
    // page pictures (PageImages.h); answers the number written, KavelError when a page
    // cannot be written.
    int SavePagesAsPng(const QString& dir);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void FormCreate();
    void SetZoomButtons(const char* down);
    void SetBusy(bool on) { busy_ = on; }

    std::shared_ptr<ControlContext> context_;
    std::unique_ptr<Ui::TPrevStringForm> ui_;
    TkvlPreview* preview_ = nullptr;
    bool busy_ = false;
    bool embedded_ = false;
    bool zoomApplied_ = false;
    int pixelsPerInch_ = 96;
    QString composeError_;  // why the last composition stopped; empty when it ran through
    bool truncated_ = false;
    QPointer<TModiControl> pageObject_;
    QList<QPointer<TModiControl>> items_;
    TprnSetup prnSetup_;
    QImage background_;
};

}  // namespace kavel
