// The designer form: the owner of the print task (page object, items, default style,
// print setup, background picture). Its task routines live in src/control; its
// designer window grows here.
#pragma once

#include <QImage>
#include <QList>
#include <QScrollArea>
#include <QWidget>
#include <memory>

#include "control/ControlContext.h"
#include "control/ModiControls.h"
#include "control/PrnSetup.h"
#include "platform/Variant.h"

namespace kavel {

class TKavelX;
class TPrevStringForm;
class TDesignerWindow;

class TPSetupForm : public QWidget {
    Q_OBJECT
  public:
    // owner: the control; context: the control's world; pixelsPerInch: the control's, for
    // paper and page sizes.
    TPSetupForm(QWidget* owner, std::shared_ptr<ControlContext> context, int pixelsPerInch);
    ~TPSetupForm() override;

    ControlContext& Context() const { return *context_; }
    const std::shared_ptr<ControlContext>& SharedContext() const { return context_; }

    int PixelsPerInch() const { return pixelsPerInch_; }
    // Also the density at which the text items break their lines.
    void SetPixelsPerInch(int ppi);

    // ---- The task ------------------------------------------------------------------
    TModiControl* PageObject() const { return pageObject_; }
    QWidget* Paper() const;  // the page object's inner panel: the parent of every item
    const QList<TModiControl*>& Items() const { return items_; }
    TModiControl* ItemAt(int number) const;  // 1-based; null outside the list
    TprnSetup& Setup() { return prnSetup_; }
    const TprnSetup& Setup() const { return prnSetup_; }
    TDefaultStyle& DefaultStyle() { return defaultStyle_; }
    const TDefaultStyle& DefaultStyle() const { return defaultStyle_; }
    QImage& BackImage() { return backImage_; }
    QString BackContent() const { return backContent_; }

    // Busy while a print or preview of this control is produced.
    bool Busy() const { return busy_; }
    void SetBusy(bool on) { busy_ = on; }

    void ResetTask();
    TModiControl* AddItem(const QString& name, int top, bool designAdded, const QString& content,
                          TPRNDataType kind, int height, int width, int left);
    TModiControl* AddShape(int top, int left, bool designAdded, const Variant& color, int shapeType,
                           int penWidth, int penStyle, int height, int width);
    void AddLine(int top1, int left1, int top2, int left2, int penStyle, int penWidth);
    bool NewPage();
    void SetPaper(int top, int left, int width, int height);
    // The background picture, made from HTML content as a picture item is.
    void SetBackgroundContent(const QString& content);

    // ---- Styles --------------------------------------------------------------------
    // The key parser on one item number (0 and below: the default style).
    void SetItemStyle(int number, const QString& key, const Variant& value);
    // The whole font of one item.
    void SetItemFont(int number, const QString& fontName, const Variant& color, int alignment,
                     int underline, int italic, int bold, int size);
    // Item numbers that an item reference (number, name or Empty) resolves to.
    QList<int> ResolveItemReference(const Variant& reference) const;
    QList<int> ItemsNamed(const QString& name) const;

    // ---- Page setup and printers ------------------------------------------------------
    void SetPageSize(int orient, int pageWidth, int pageHeight, const QString& pageName);
    bool TrySelectPrinter(int number);

    // ---- Output --------------------------------------------------------------------
    // The task preparation before every output: runMode 0 output, 1 setup, 2 design.
    // withContent: HTML items are loaded too (not needed for the layout alone).
    void PrepareTask(int runMode, bool skipAdjustments, bool withContent = true);
    // Reads the layout adjustments saved for the task (all: every stored value).
    void ReadPostionValue(bool all);
    // Stores every modified item (and the paper when moved) in the task's layout file;
    // false when a value could not be written (those items stay modified).
    bool WritePostionValue();
    // Loads every HTML item's content into the browser and makes its picture.
    void PrepareHtmlItems(bool designing);
    // Prints (mode 1: without dialog, 3: with the print dialog) or previews (0; 2: after
    // the setup dialog) the task on a preview form of its own.
    bool NowQuickReport(int mode);
    bool PrintWithoutWindow();
    // Creates a preview form for this task (caller owns it).
    TPrevStringForm* CreatePreviewForm(QWidget* parent);

    // The scroll area of the designer's work area and the page object's parent.
    QScrollArea* WorkArea() const { return workArea_; }
    // The designer window's widgets and handlers, built when first asked for (the first
    // time the designer is shown).
    TDesignerWindow* Designer();
    TDesignerWindow* DesignerIfBuilt() const { return designer_.get(); }
    // Closes the designer for the next script call: the script goes on, nobody is asked.
    // Any other close (the window's own, the "×" in the page) asks about unapplied changes.
    void CloseWithoutQuestions();

  signals:
    void taskReset();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void ResetDefaultStyle();
    void ApplyDefaultStyle(TModiControl* item) const;
    QString ItemName(const QString& given) const;

    std::shared_ptr<ControlContext> context_;
    int pixelsPerInch_;
    QScrollArea* workArea_ = nullptr;
    QWidget* workSurface_ = nullptr;
    TModiControl* pageObject_ = nullptr;
    QList<TModiControl*> items_;
    TprnSetup prnSetup_;
    TDefaultStyle defaultStyle_;
    QImage backImage_;
    QString backContent_;
    bool busy_ = false;
    bool closingQuietly_ = false;
    std::unique_ptr<TDesignerWindow> designer_;
};

}  // namespace kavel
