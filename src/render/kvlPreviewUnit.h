// The preview control: one composed page at a time, scaled to a zoom, in a scrolling
// area. The page is painted as a plain sheet with a shadow, or for user-sized paper as
// continuous form paper with perforated strips and sprocket holes.
#pragma once

#include <QList>
#include <QRect>
#include <QScrollArea>
#include <QSize>
#include <QSizeF>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/Color.h"
#include "render/PageRecord.h"

namespace kavel {

class TKVPrinter;

enum TZoomState : uint8_t {
    cZoomHeight,  // the whole page
    cZoomWidth,   // the page width
    cZoom25,
    cZoom50,
    cZoom75,
    cZoom100,
    cZoom150,
    cZoom200,
    cZoom300,
    cZoom500
};

// ---- The preview's arithmetic, free of widgets --------------------------------------

// The percent of a fixed zoom state; 0 for the two fit states.
int FixedZoomPercent(TZoomState state);

// Zoom percents that show the whole page, or fill the width, of a control.
struct TPreviewFits {
    int fitWidth = 0;
    int fitPage = 0;
};
// page: the page at 100 % in pixels; the strips (unscaled) are added along the side
// they run on.
TPreviewFits ComputeFits(QSizeF page, int stripWidth, bool stripsAcross, QSize control);

// The state one step in (out) from the zoom, among the fixed steps and the two fits;
// nothing at the end of the scale.
std::optional<TZoomState> ZoomInStep(int zoom, int fitWidth, int fitPage);
std::optional<TZoomState> ZoomOutStep(int zoom, int fitWidth, int fitPage);

// The page image at a zoom: the scaled page with the strips (not scaled) beside it, or
// without strips the page and two pixels of shadow.
QSize PreviewImageSize(QSizeF page, int zoom, int stripWidth, bool stripsAcross);
// The image's corner in the control: centred on each axis where the control is larger.
QPoint PreviewImageOrigin(QSize control, QSize image);
// The border and shadow colour of a background: each colour byte divided by 1.3.
TColor DarkenColor(TColor color);
// The sprocket holes of a strip of a thickness (across) and a length (along), as
// rectangles with x across and y along the strip, from the strip's start.
QList<QRect> StripHoles(int thickness, int length);

// ---- The page image ----------------------------------------------------------------

class TkvlViewImage : public QWidget {
    Q_OBJECT
  public:
    explicit TkvlViewImage(QWidget* parent);

    // The page on display (owned) and its recorded size in pixels; null shows nothing.
    const RecordedPage* Picture() const { return picture_.get(); }
    void SetPicture(std::unique_ptr<RecordedPage> picture, QSize pageSize);

    TColor BackgroundColor() const { return backgroundColor_; }  // the holes' colour
    void SetBackgroundColor(TColor color);
    TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor color);
    bool StripsAcross() const { return stripsAcross_; }  // strips along top and bottom
    void SetStripsAcross(bool on);
    int StripWidth() const { return stripWidth_; }  // 0: a plain sheet
    void SetStripWidth(int width);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void PaintSheet(QPainter& painter);
    void PaintContinuousForm(QPainter& painter);
    void PaintHoles(QPainter& painter, const QRect& strip, bool across);

    std::unique_ptr<RecordedPage> picture_;
    QSize pageSize_;
    TColor backgroundColor_ = clWhite;
    TColor shadowColor_ = clBlack;
    bool stripsAcross_ = false;
    int stripWidth_ = 20;
};

// ---- The scrolling control -----------------------------------------------------------

class TkvlPreview : public QScrollArea {
    Q_OBJECT
  public:
    explicit TkvlPreview(QWidget* parent = nullptr);
    ~TkvlPreview() override;

    // The page target whose pages are shown; the control owns it and frees the previous
    // one. Its finished pages are announced here; page 1 shows once it is recorded.
    void SetSource(std::unique_ptr<TKVPrinter> source);
    TKVPrinter* Source() const { return source_.get(); }

    // The page on display, 1-based. Numbers outside the source's pages are ignored.
    int PageNumber() const { return pageNumber_; }
    void SetPageNumber(int n);

    // Writing the state (even the same one) computes the zoom and lays the page out.
    TZoomState ZoomState() const { return zoomState_; }
    void SetZoomState(TZoomState state);
    int Zoom() const { return zoom_; }  // percent
    // The fit percents for the current control and page, computed when not cached.
    int FitWidth();
    int FitPage();
    void ZoomIn();
    void ZoomOut();

    // Reads the page on display from the source again and lays it out.
    void ShowPage();
    // After a change of the control's size or of the strips: fresh fits, a fit state
    // fitted again, a fixed state laid out again.
    void Refit();

    // The control's colour, behind the page and in the sprocket holes.
    TColor Color() const { return color_; }
    void SetColor(TColor color);

    TkvlViewImage* Image() const { return image_; }
    QSizeF PageSize() const { return QSizeF(pageWidth_, pageHeight_); }

  protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    // Keys and the wheel are left to the form, which scrolls and pages for the control.
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void Layout();
    void UpdateScrollRanges();
    void PlaceImage();

    TkvlViewImage* image_ = nullptr;
    int pageNumber_ = 1;
    int zoom_ = 100;
    int fitPage_ = 0;
    int fitWidth_ = 0;
    std::unique_ptr<TKVPrinter> source_;
    double pageWidth_ = 600;
    double pageHeight_ = 400;
    TZoomState zoomState_ = cZoom100;
    TColor color_;
    QPoint origin_;  // the image's centred corner before scrolling
};

}  // namespace kavel
