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
#include "platform/Color.h"

namespace kavel {

// The rich-text edit that shows and holds a text item. The item's text, font and
// alignment are kept here; the edit's own document is filled only while the control is
// on screen, so that long texts print without being formatted for display.
class TRichEditBox : public QTextEdit {
    Q_OBJECT
  public:
    explicit TRichEditBox(QWidget* parent);
    // The control's lines as it breaks them at its own width: every visual line of
    // every paragraph, in order, without line-end characters.
    QStringList Lines() const;
    // The same lines without copying them: their number, and line i as a view into the
    // text (valid until the text changes).
    int LineCount() const;
    QStringView Line(int i) const;
    // The font applied to the whole text (name, point size, style) and its colour.
    void SetTextFont(const QString& name, int pointSize, TFontStyles style, TColor color);
    QString FontName() const { return fontName_; }
    int FontSize() const { return fontSize_; }
    TFontStyles FontStyle() const { return fontStyle_; }
    TColor FontColor() const { return fontColor_; }
    // The pixel density the item is drawn at: font sizes in points become pixels with it.
    void SetPixelsPerInch(int ppi);
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetTextAlignment(TAlignment a);
    TAlignment TextAlignment() const { return alignment_; }
    // Replaces the text, keeping font and alignment. Line ends of any platform ("\r\n",
    // "\r", "\n") each end one paragraph.
    void SetText(const QString& text);
    QString Text() const;
    // Background of the edit: the designer marks fixed items silver; reset gives the
    // system window colour back.
    void SetBackColor(TColor c);
    void ResetBackColor();
    TColor BackColor() const;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    struct LinesKey {
        int revision;
        int width;
        bool operator==(const LinesKey&) const = default;
    };
    struct Span {
        qsizetype start;
        qsizetype length;
    };
    // Characters laid out at once when a long paragraph is broken.
    static constexpr qsizetype kLayoutPiece = 4096;
    const std::vector<Span>& Spans() const;
    std::vector<Span> LayOutLines() const;
    void BreakParagraph(qsizetype start, qsizetype end, const QFont& font, qreal width,
                        std::vector<Span>& spans) const;
    QFont TextFont() const;
    void Changed();
    // Fills the edit's document from the text, font and alignment.
    void SyncDocument();
    void ApplyFormat();

    QString text_;
    int revision_ = 0;  // counts changes of text, font and alignment
    bool documentStale_ = false;
    bool syncing_ = false;
    mutable std::optional<LinesKey> linesKey_;
    mutable std::vector<Span> spans_;
    QString fontName_ = QStringLiteral("宋体");
    int fontSize_ = 9;
    TFontStyles fontStyle_ = 0;
    TColor fontColor_ = clBlack;
    TAlignment alignment_ = taLeftJustify;
    int pixelsPerInch_ = 96;
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
    TRichEditBox* RichEdit() const;  // the inner control of a text item, else null
    TImageBox* ImageBox() const;     // the inner control of the image kinds, else null
    TPRNShape* Shape() const;        // the inner control of a shape item, else null

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

  protected:
    bool event(QEvent* event) override;
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

    QPointer<QWidget> dataObject_;
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
