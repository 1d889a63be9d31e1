#include "render/kvlPreviewUnit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>

#include "platform/Messages.h"
#include "platform/PaperSizes.h"
#include "platform/Variant.h"
#include "render/kvlPrintrUnit.h"

namespace kavel {

namespace {

int Rounded(double v) {
    return static_cast<int>(RoundHalfEven(v));
}

constexpr int kFixedSteps[] = {25, 50, 75, 100, 150, 200, 300, 500};
constexpr TZoomState kFixedStates[] = {cZoom25,  cZoom50,  cZoom75,  cZoom100,
                                       cZoom150, cZoom200, cZoom300, cZoom500};

bool IsFitState(TZoomState state) {
    return state == cZoomHeight || state == cZoomWidth;
}

}  // namespace

// ---- Arithmetic ------------------------------------------------------------------------

int FixedZoomPercent(TZoomState state) {
    for (int i = 0; i < 8; ++i) {
        if (kFixedStates[i] == state) return kFixedSteps[i];
    }
    return 0;
}

TPreviewFits ComputeFits(QSizeF page, int stripWidth, bool stripsAcross, QSize control) {
    double pw = page.width(), ph = page.height();
    if (stripsAcross) {
        ph += 2.0 * stripWidth;
    } else {
        pw += 2.0 * stripWidth;
    }
    TPreviewFits fits;
    if (pw <= 0 || ph <= 0) return fits;
    fits.fitWidth = Rounded(control.width() / pw * 94);
    fits.fitPage = Rounded(std::min(control.height() / ph * 96, control.width() / pw * 96));
    return fits;
}

std::optional<TZoomState> ZoomInStep(int zoom, int fitWidth, int fitPage) {
    int candidate = -1;
    TZoomState state = cZoom500;
    for (int i = 0; i < 8; ++i) {
        if (zoom < kFixedSteps[i]) {
            candidate = kFixedSteps[i];
            state = kFixedStates[i];
            break;
        }
    }
    if (candidate < 0) return std::nullopt;
    int best = candidate;
    // A fit only wins when it lies strictly between the zoom and the candidate; fit
    // width is tried last so that it wins a tie with fit page.
    if (fitPage > zoom && fitPage < candidate && fitPage < best) {
        best = fitPage;
        state = cZoomHeight;
    }
    if (fitWidth > zoom && fitWidth < candidate && fitWidth <= best) {
        best = fitWidth;
        state = cZoomWidth;
    }
    return state;
}

std::optional<TZoomState> ZoomOutStep(int zoom, int fitWidth, int fitPage) {
    int candidate = -1;
    TZoomState state = cZoom25;
    for (int i = 7; i >= 0; --i) {
        if (zoom > kFixedSteps[i]) {
            candidate = kFixedSteps[i];
            state = kFixedStates[i];
            break;
        }
    }
    if (candidate < 0) return std::nullopt;
    int best = candidate;
    if (fitPage < zoom && fitPage > candidate && fitPage > best) {
        best = fitPage;
        state = cZoomHeight;
    }
    if (fitWidth < zoom && fitWidth > candidate && fitWidth >= best) {
        best = fitWidth;
        state = cZoomWidth;
    }
    return state;
}

QSize PreviewImageSize(QSizeF page, int zoom, int stripWidth, bool stripsAcross) {
    const int w = Rounded(page.width() / 100 * zoom);
    const int h = Rounded(page.height() / 100 * zoom);
    if (stripWidth > 0) {
        return stripsAcross ? QSize(w, h + 2 * stripWidth) : QSize(w + 2 * stripWidth, h);
    }
    return QSize(w + 2, h + 2);
}

QPoint PreviewImageOrigin(QSize control, QSize image) {
    const int left = control.width() > image.width() ? (control.width() - image.width()) / 2 : 0;
    const int top = control.height() > image.height() ? (control.height() - image.height()) / 2 : 0;
    return QPoint(left, top);
}

TColor DarkenColor(TColor color) {
    const uint32_t top = static_cast<uint32_t>(color) & 0xFF000000u;
    const TColor rgb = RGBColor(Rounded(RedOf(color) / 1.3), Rounded(GreenOf(color) / 1.3),
                                Rounded(BlueOf(color) / 1.3));
    return static_cast<TColor>(top | static_cast<uint32_t>(rgb));
}

QList<QRect> StripHoles(int thickness, int length) {
    QList<QRect> holes;
    const int d = Rounded(thickness / 4.0);
    if (d <= 0) return holes;
    const int n = Rounded(length / (6.0 * d));
    for (int i = 0; i < n; ++i) holes.append(QRect(d, (6 * i + 1) * d, 2 * d, 2 * d));
    return holes;
}

// ---- The page image ----------------------------------------------------------------------

TkvlViewImage::TkvlViewImage(QWidget* parent) : QWidget(parent) {
    setGeometry(0, 0, 100, 100);
}

void TkvlViewImage::SetPicture(std::unique_ptr<RecordedPage> picture, QSize pageSize) {
    picture_ = std::move(picture);
    pageSize_ = pageSize;
    update();
}

void TkvlViewImage::SetBackgroundColor(TColor color) {
    backgroundColor_ = color;
    update();
}

void TkvlViewImage::SetShadowColor(TColor color) {
    shadowColor_ = color;
    update();
}

void TkvlViewImage::SetStripsAcross(bool on) {
    stripsAcross_ = on;
    update();
}

void TkvlViewImage::SetStripWidth(int width) {
    stripWidth_ = width;
    update();
}

void TkvlViewImage::paintEvent(QPaintEvent*) {
    if (!picture_) return;
    QPainter painter(this);
    try {
        if (stripWidth_ <= 0) {
            PaintSheet(painter);
        } else {
            PaintContinuousForm(painter);
        }
    } catch (const KavelError&) {
        // The store checked the page when it was read; a page that still cannot be played
        // stays blank rather than ending the program from inside painting.
    }
}

void TkvlViewImage::PaintSheet(QPainter& painter) {
    const int w = width(), h = height();
    const QColor shadow = ToQColor(shadowColor_);
    painter.fillRect(QRect(0, 0, w - 2, h - 2), Qt::white);
    DrawPageStretched(painter, *picture_, pageSize_, QRectF(0, 0, w - 2, h - 2));
    // A thin border on the left and top, a two-pixel shadow on the right and bottom.
    painter.setPen(QPen(shadow, 1));
    painter.drawLine(0, 0, 0, h - 1);
    painter.drawLine(0, 0, w - 1, 0);
    painter.fillRect(QRect(w - 2, 1, 2, h - 1), shadow);
    painter.fillRect(QRect(1, h - 2, w - 1, 2), shadow);
}

void TkvlViewImage::PaintContinuousForm(QPainter& painter) {
    const int w = width(), h = height(), s = stripWidth_;
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QPen(ToQColor(shadowColor_), 1, Qt::DashDotDotLine));
    if (stripsAcross_) {
        painter.drawLine(0, s, w - 1, s);
        painter.drawLine(0, h - s, w - 1, h - s);
        PaintHoles(painter, QRect(0, 0, w, s), true);
        PaintHoles(painter, QRect(0, h - s, w, s), true);
        DrawPageStretched(painter, *picture_, pageSize_, QRectF(0, s, w, h - 2 * s));
    } else {
        painter.drawLine(s, 0, s, h - 1);
        painter.drawLine(w - s, 0, w - s, h - 1);
        PaintHoles(painter, QRect(0, 0, s, h), false);
        PaintHoles(painter, QRect(w - s, 0, s, h), false);
        DrawPageStretched(painter, *picture_, pageSize_, QRectF(s, 0, w - 2 * s, h));
    }
}

void TkvlViewImage::PaintHoles(QPainter& painter, const QRect& strip, bool across) {
    const QColor background = ToQColor(backgroundColor_);
    painter.save();
    QPen pen = painter.pen();
    pen.setColor(background);
    if (across) pen.setStyle(Qt::SolidLine);
    painter.setPen(pen);
    painter.setBrush(background);
    const int thickness = across ? strip.height() : strip.width();
    const int length = across ? strip.width() : strip.height();
    for (const QRect& hole : StripHoles(thickness, length)) {
        const QRect r =
            across ? QRect(strip.x() + hole.y(), strip.y() + hole.x(), hole.height(), hole.width())
                   : hole.translated(strip.topLeft());
        painter.drawEllipse(r.adjusted(0, 0, -1, -1));
    }
    painter.restore();
}

// ---- The scrolling control -------------------------------------------------------------

TkvlPreview::TkvlPreview(QWidget* parent) : QScrollArea(parent), color_(ButtonFaceColor()) {
    setFrameShape(QFrame::NoFrame);
    // Clicking the page must not move the focus here: entering the control lays the page
    // out again and scrolls back to the top.
    setFocusPolicy(Qt::TabFocus);
    resize(250, 250);
    image_ = new TkvlViewImage(viewport());
    SetColor(color_);
}

TkvlPreview::~TkvlPreview() {
    if (source_ && source_->Preview == this) source_->Preview = nullptr;
}

void TkvlPreview::SetSource(std::unique_ptr<TKVPrinter> source) {
    if (source_ && source_->Preview == this) source_->Preview = nullptr;
    // The page on display belongs to the target being replaced.
    image_->SetPicture(nullptr, QSize());
    source_ = std::move(source);
    if (source_) source_->Preview = this;
    SetPageNumber(1);
}

void TkvlPreview::SetPageNumber(int n) {
    if (n < 1 || !source_ || n > source_->PageCount()) return;
    if (n == pageNumber_ && image_->Picture()) return;
    pageNumber_ = n;
    ShowPage();
}

void TkvlPreview::SetZoomState(TZoomState state) {
    zoomState_ = state;
    if (IsFitState(state)) {
        const TPreviewFits fits =
            ComputeFits(PageSize(), image_->StripWidth(), image_->StripsAcross(), size());
        if (state == cZoomHeight) {
            fitPage_ = fits.fitPage;
            zoom_ = fitPage_;
        } else {
            fitWidth_ = fits.fitWidth;
            zoom_ = fitWidth_;
        }
    } else {
        zoom_ = FixedZoomPercent(state);
    }
    image_->SetBackgroundColor(color_);
    image_->SetShadowColor(DarkenColor(color_));
    Layout();
}

int TkvlPreview::FitWidth() {
    if (fitWidth_ == 0) {
        fitWidth_ =
            ComputeFits(PageSize(), image_->StripWidth(), image_->StripsAcross(), size()).fitWidth;
    }
    return fitWidth_;
}

int TkvlPreview::FitPage() {
    if (fitPage_ == 0) {
        fitPage_ =
            ComputeFits(PageSize(), image_->StripWidth(), image_->StripsAcross(), size()).fitPage;
    }
    return fitPage_;
}

void TkvlPreview::ZoomIn() {
    if (zoomState_ == cZoom500) return;
    const int fitWidth = FitWidth(), fitPage = FitPage();
    if (const auto next = ZoomInStep(zoom_, fitWidth, fitPage)) SetZoomState(*next);
}

void TkvlPreview::ZoomOut() {
    if (zoomState_ == cZoom25) return;
    const int fitWidth = FitWidth(), fitPage = FitPage();
    if (const auto next = ZoomOutStep(zoom_, fitWidth, fitPage)) SetZoomState(*next);
}

void TkvlPreview::ShowPage() {
    if (!source_) return;
    image_->SetPicture(nullptr, QSize());
    image_->SetStripsAcross(source_->Options().Orientation == 1);
    std::unique_ptr<RecordedPage> picture;
    try {
        picture = source_->GetPage(pageNumber_);
    } catch (const KavelError& e) {
        // A damaged page store: the page stays blank and the user learns why.
        source_->Context().Messages().ShowMessage(e.Text());
    }
    if (source_->PageWidth() > 0) pageWidth_ = source_->PageWidth();
    if (source_->PageHeight() > 0) pageHeight_ = source_->PageHeight();
    image_->SetPicture(std::move(picture), QSize(source_->PageWidth(), source_->PageHeight()));
    // Only user-sized paper is continuous form; once a printed paper size is seen the
    // strips stay off.
    if (source_->PaperSize() != kUserPaperSize) image_->SetStripWidth(0);
    // The page size may have changed: the fits are computed afresh.
    fitPage_ = fitWidth_ = 0;
    SetZoomState(zoomState_);
    image_->update();
}

void TkvlPreview::Refit() {
    fitPage_ = fitWidth_ = 0;
    if (IsFitState(zoomState_)) {
        SetZoomState(zoomState_);
    } else {
        Layout();
    }
}

void TkvlPreview::SetColor(TColor color) {
    color_ = color;
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Base, ToQColor(color));
    palette.setColor(QPalette::Window, ToQColor(color));
    setPalette(palette);
    viewport()->setPalette(palette);
    viewport()->setAutoFillBackground(true);
    image_->SetBackgroundColor(color);
    image_->SetShadowColor(DarkenColor(color));
}

bool TkvlPreview::event(QEvent* event) {
    if (event->type() == PageFinishedEvent::kType) {
        if (static_cast<PageFinishedEvent*>(event)->Page == pageNumber_) ShowPage();
        return true;
    }
    return QScrollArea::event(event);
}

void TkvlPreview::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    Refit();
}

void TkvlPreview::focusInEvent(QFocusEvent* event) {
    QScrollArea::focusInEvent(event);
    // Coming back to the window or out of a menu is no entering of the control.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason) {
        Refit();
    }
}

void TkvlPreview::scrollContentsBy(int, int) {
    PlaceImage();
}

void TkvlPreview::keyPressEvent(QKeyEvent* event) {
    event->ignore();
}

void TkvlPreview::wheelEvent(QWheelEvent* event) {
    event->ignore();
}

void TkvlPreview::Layout() {
    const QSize image =
        PreviewImageSize(PageSize(), zoom_, image_->StripWidth(), image_->StripsAcross());
    image_->resize(image);
    origin_ = PreviewImageOrigin(size(), image);
    UpdateScrollRanges();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    PlaceImage();
}

void TkvlPreview::UpdateScrollRanges() {
    // The scrolled extent is the image with its centring offset, as in a scroll box whose
    // child sits at that offset; the bars take room only when the extent needs them.
    const int extentW = origin_.x() + image_->width();
    const int extentH = origin_.y() + image_->height();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    bool needH = extentW > width(), needV = extentH > height();
    if (needH && !needV) needV = extentH > height() - bar;
    if (needV && !needH) needH = extentW > width() - bar;
    const int visibleW = std::max(1, width() - (needV ? bar : 0));
    const int visibleH = std::max(1, height() - (needH ? bar : 0));
    horizontalScrollBar()->setRange(0, std::max(0, extentW - visibleW));
    horizontalScrollBar()->setPageStep(visibleW);
    verticalScrollBar()->setRange(0, std::max(0, extentH - visibleH));
    verticalScrollBar()->setPageStep(visibleH);
}

void TkvlPreview::PlaceImage() {
    image_->move(origin_ - QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()));
}

}  // namespace kavel
