// Print items: one TModiControl per element of a print task (and one page object),
// the shape control TPRNShape, the sizing handles TDragPoint and the inner controls
// that show each kind in the designer.
#pragma once

#include <QImage>
#include <QLine>
#include <QMouseEvent>
#include <QPen>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTextEdit>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "control/ItemTypes.h"
#include "control/TextContent.h"
#include "platform/Color.h"

namespace kavel {

// The rich-text edit that shows a text item's content in the designer: built when the item
// is first on screen. Its document is filled only while it is visible, and what the user
// types becomes the content's text.
class TRichEditBox : public QTextEdit {
    Q_OBJECT
  public:
    // The content outlives the edit (the item owns both).
    TRichEditBox(TTextContent& content, QWidget* parent);
    ~TRichEditBox() override;
    TTextContent& Content() const { return content_; }
    TColor BackColor() const;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void ContentChanged();
    // Fills the edit's document from the text, font and alignment.
    void SyncDocument();
    void ApplyFormat();
    void ApplyLook();

    TTextContent& content_;
    bool documentStale_ = false;
    bool syncing_ = false;
};

// The image control of the HTML family and of images: holds a bitmap and shows it
// uncut at its own size (crop), stretched, or scaled with its proportions.
class TImageBox : public QWidget {
    Q_OBJECT
  public:
    explicit TImageBox(QWidget* parent);
    QImage& Picture() { return picture_; }
    const QImage& Picture() const { return picture_; }
    void SetPicture(const QImage& image);
    void SetStretch(bool on);
    void SetProportional(bool on);
    bool Stretch() const { return stretch_; }
    bool Proportional() const { return proportional_; }
    // While the picture is empty the box shows a light-grey placeholder with this caption
    // (an empty caption shows nothing). It is only painted on screen; Picture() stays empty,
    // so nothing of it reaches a printed page.
    void SetPlaceholder(const QString& caption);
    QString Placeholder() const { return placeholder_; }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    QImage picture_;
    QString placeholder_;
    bool stretch_ = false;
    bool proportional_ = false;
};

// A pen as the shape control keeps it.
struct TShapePen {
    TColor color = clBlack;
    int width = 1;
    TPenStyle style = psSolid;
};

// The shape control: draws the item's line, rectangle or ellipse in the designer.
class TPRNShape : public QWidget {
    Q_OBJECT
  public:
    explicit TPRNShape(QWidget* parent);
    const TShapePen& Pen() const { return pen_; }
    void SetPenColor(TColor c);
    void SetPenWidth(int w);
    // 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, every other value solid.
    void SetPenStyle(int style);
    int PenStyle() const { return pen_.style; }
    // The pen style mapping both ways: style code to Qt's line style and back.
    static Qt::PenStyle QtPenStyle(int style);
    static TPenStyle PenStyleOf(Qt::PenStyle style);
    // The pen as painting uses it (colour, width, line style).
    QPen QtPen() const;
    TColor BrushColor() const { return brushColor_; }
    void SetBrushColor(TColor c);
    TPRNShapeType ShapeType() const { return shapeType_; }
    void SetShapeType(TPRNShapeType t);
    // The item's own size, which the figure fills; the widget may be larger (a flat line
    // is given a few pixels to be seen and taken). Unset: the widget's size.
    void SetFigureSize(QSize size);

    // The figure's corners as painting computes them (rectangle and ellipse types),
    // or the line's two ends (line types).
    QLine Geometry() const;

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    TShapePen pen_;
    QSize figure_;
    TColor brushColor_ = clWhite;
    TPRNShapeType shapeType_ = cstUpLine;
};

// A 6 x 6 sizing handle, painted black.
class TDragPoint : public QWidget {
    Q_OBJECT
  public:
    explicit TDragPoint(QWidget* parent);

  protected:
    void paintEvent(QPaintEvent*) override;
};

class TModiControl : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kHandleSize = 6;

    // parent: the paper panel on which the item lies.
    explicit TModiControl(QWidget* parent);
    ~TModiControl() override;

    // Kind and inner control.
    TPRNDataType ObjectType() const { return objectType_; }
    void SetObjectType(TPRNDataType t);
    QWidget* DataObject() const { return dataObject_; }
    // A text item's content, else null.
    TTextContent* RichEdit() const { return textContent_.get(); }
    // The edit that shows it once the item has been on screen, else null.
    TRichEditBox* EditBox() const;
    // Watches the text edit's events once it is built (the designer's keys).
    void WatchEditBox(QObject* filter);
    TImageBox* ImageBox() const;  // the inner control of the image kinds, else null
    TPRNShape* Shape() const;     // the inner control of a shape item, else null

    // The item's bounds in control pixels. Width and height may be negative while a
    // handle is dragged past the opposite edge (NormalizeSize folds them back); the widget
    // itself and the inner control cover the normalised rectangle. Move and size items
    // through these setters: QWidget::move/resize of a hidden paper reach the item late.
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }

    // Visible: not explicitly hidden, whether or not the paper is on screen. The inner
    // control takes the same visibility. Give the item its paper when constructing it: like
    // any widget, an item moved to another parent is hidden until shown again.
    bool Visible() const { return wantVisible_; }
    void setVisible(bool visible) override;

    // Script position and size (control pixels); setting one also moves the item.
    int intDefLeft() const { return defLeft_; }
    int intDefTop() const { return defTop_; }
    int intDefWidth() const { return defWidth_; }
    int intDefHeight() const { return defHeight_; }
    void setIntDefLeft(int v);
    void setIntDefTop(int v);
    void setIntDefWidth(int v);
    void setIntDefHeight(int v);

    // Script ("Def") and current placement values; setting Def sets the current too.
    TPRNPageType ptDefPageType = cptPageData;
    TPRNPageType ptPageType = cptPageData;
    void setPtDefPageType(TPRNPageType t) { ptDefPageType = ptPageType = t; }
    TPRNHorzOrient hnDefHorzOrnt = chnLeft;
    TPRNHorzOrient hnHorzOrnt = chnLeft;
    void setHnDefHorzOrnt(TPRNHorzOrient h) { hnDefHorzOrnt = hnHorzOrnt = h; }
    TPRNVertOrient hnDefVertOrnt = cvnTop;
    TPRNVertOrient hnVertOrnt = cvnTop;
    void setHnDefVertOrnt(TPRNVertOrient v) { hnDefVertOrnt = hnVertOrnt = v; }
    TPRNImgMode hnImgMode() const { return imgMode_; }
    TPRNImgMode hnDefImgMode() const { return defImgMode_; }
    void setHnImgMode(TPRNImgMode m);     // also sets the image control's fitting
    void setHnDefImgMode(TPRNImgMode m);  // sets the current mode too

    // Style values given by script; setting one also applies it to the inner control.
    int intDefSize() const { return defSize_; }
    void setIntDefSize(int v);
    int intDefPenWidth() const { return defPenWidth_; }
    void setIntDefPenWidth(int v);
    TColor fcDefFontColor() const { return defFontColor_; }
    void setFcDefFontColor(TColor c);  // for shapes the pen colour
    TAlignment alDefAlignment() const { return defAlignment_; }
    void setAlDefAlignment(TAlignment a);
    TFontStyles fsDefFontStyle() const { return defFontStyle_; }
    void setFsDefFontStyle(TFontStyles s);
    TPenStyle psDefPenStyle() const { return defPenStyle_; }
    void setPsDefPenStyle(TPenStyle s);
    TPRNShapeType stDefShapeType() const { return defShapeType_; }
    void setStDefShapeType(TPRNShapeType t);
    QString strDefFontName() const { return defFontName_; }
    void setStrDefFontName(const QString& name);

    // Rotation in degrees, kept within -360..360.
    int intAngle() const { return angle_; }
    int intDefAngle() const { return defAngle_; }
    void setIntAngle(int v);
    void setIntDefAngle(int v);  // sets the current angle too
    static int NormalizeAngle(int v);

    // Designer state.
    bool Selected() const { return selected_; }
    void setSelected(bool on);
    bool PermitDrag() const { return permitDrag_; }  // true locks the item
    void setPermitDrag(bool locked);
    TDragPoint* Handle(int i) const;  // null until the first selection
    // Normalises a negative width or height (flipping line items up/down).
    void NormalizeSize();
    // Puts the handles around the bounds again (after moves not made with the mouse).
    void PlaceHandles();

    // Restores the current values from the script values before an output or the
    // designer (the caller clears blModified afterwards). designMode: the rich text
    // may be edited.
    void RestoreToScript(bool designMode);

    // Content, naming and task bookkeeping.
    QString strContent;
    std::unique_ptr<QObject> ConvertedContent;  // converted HTML content, owned
    bool blModified = false;
    bool blDesignAdded = false;
    bool blPreviewOnly = false;
    int intPageNo = 0;
    int intItemIndex = 0;
    QString strItemName;
    QString strPageIndex;

    // Composition state (reset at the start of every composition).
    int intPrintLeft = 0;
    int intPrintTop = 0;
    int intPrintWidth = 0;
    int intPrintHeight = 0;
    int intPrintProgress = 0;
    bool blPrintDone = false;
    bool blTableDone = false;

  signals:
    // The designer's handlers.
    void onMouseDown(TModiControl* item, QMouseEvent* event);
    void onMouseMove(TModiControl* item, QMouseEvent* event);
    void onMouseUp(TModiControl* item, QMouseEvent* event);
    void OnSelect(TModiControl* item, bool selected);
    void onBounds(TModiControl* item);
    void onModied(TModiControl* item, int dLeft, int dTop, int dWidth, int dHeight);
    // Restoring asks the designer to mark header and footer items.
    void markHeadFoot(TModiControl* item);
    // The user typed in the text edit.
    void textEdited(TModiControl* item);

  protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ApplyGeometry();
    void AdoptWidgetGeometry();
    void SyncInner();
    void ApplyCursors();
    void CreateInner();
    void CreateHandles();
    void ApplyImageMode();
    bool MousePress(QObject* source, QMouseEvent* e);
    bool MouseMove(QObject* source, QMouseEvent* e);
    bool MouseRelease(QObject* source, QMouseEvent* e);

    QObject* MouseSource(QObject* watched) const;

    void CreateEditBox();

    QPointer<QWidget> dataObject_;
    std::unique_ptr<TTextContent> textContent_;
    std::vector<QPointer<QObject>> editWatchers_;
    QPointer<QObject> dragSource_;
    bool selected_ = false;
    bool handlesCreated_ = false;
    bool permitDrag_ = false;
    QPoint pressPoint_;
    QPoint lastPoint_;
    std::array<QPointer<TDragPoint>, 8> handles_{};
    TPRNDataType objectType_ = cdtPanel;
    int defLeft_ = 0, defTop_ = 0, defWidth_ = 100, defHeight_ = 100;
    TPRNImgMode imgMode_ = cstCrop, defImgMode_ = cstCrop;
    int defSize_ = 9;
    int defPenWidth_ = 1;
    TColor defFontColor_ = clBlack;
    int angle_ = 0, defAngle_ = 0;
    TAlignment defAlignment_ = taLeftJustify;
    TFontStyles defFontStyle_ = 0;
    TPenStyle defPenStyle_ = psSolid;
    TPRNShapeType defShapeType_ = cstUpLine;
    QString defFontName_ = QStringLiteral("宋体");
    int left_ = 0, top_ = 0, width_ = 100, height_ = 100;
    QRect appliedGeometry_;  // the widget geometry last set from the bounds above
    bool applyingGeometry_ = false;
    bool wantVisible_ = true;
};

}  // namespace kavel
