#include "render/kvlPrintrUnit.h"

#include <QCoreApplication>

#include "platform/Messages.h"
#include "platform/PaperSizes.h"
#include "platform/Variant.h"
#include "render/kvlPageListUnit.h"

namespace kavel {

namespace {
constexpr qint64 kStreamLimit = 250000;
}

int PaperCodeForName(const QString& name) {
    const QString wanted = name.toUpper();
    for (int code = 0; code < kPaperNameCount; ++code) {
        if (PaperName(code).toUpper().contains(wanted)) return code;
    }
    return -1;
}

TKVPrinter::TKVPrinter(const TPrintOption& options, int screenPpi,
                       std::shared_ptr<ControlContext> context)
    : options_(options),
      context_(std::move(context)),
      screenPpi_(screenPpi > 0 ? screenPpi : 96),
      pageList_(std::make_unique<TkvlPageList>()) {
    if (Context().Printers().Count() > 0) ConfigurePrinter();
}

TKVPrinter::~TKVPrinter() {
    canvas_.reset();
    pageList_->FreeStream();
}

void TKVPrinter::SetPaperWidth(int v) {
    if (v < 0) return;
    paperWidth_ = v;
    pageWidth_ = static_cast<int>(RoundHalfEven(screenPpi_ * static_cast<double>(v) / 254.0));
}

void TKVPrinter::SetPaperHeight(int v) {
    if (v < 0) return;
    paperHeight_ = v;
    pageHeight_ = static_cast<int>(RoundHalfEven(screenPpi_ * static_cast<double>(v) / 254.0));
}

void TKVPrinter::ConfigurePrinter() {
    PrinterSystem& printers = Context().Printers();
    const int count = printers.Count();
    const int index = options_.PrinterIndex;
    if ((index >= 0 && index < count && index < 256) || index == -1) {
        try {
            printers.SetCurrent(index);
        } catch (const KavelError&) {
        }
    }
    int current = printers.Current();
    if (current < 0) current = printers.DefaultIndex();
    if (current < 0) current = 0;
    try {
        printers.Caps(current);  // a probe: can the printer be opened?
    } catch (const KavelError&) {
        printers.SetCurrent(-1);
        current = std::max(0, printers.DefaultIndex());
    }
    printer_ = current;

    DeviceMode mode = printers.GetDeviceMode(current);
    if (options_.Orientation == 0 || options_.Orientation == 1)
        mode.orientation = options_.Orientation;
    if (options_.Copies > 0) mode.copies = options_.Copies;

    const int w = options_.Width, h = options_.Height;
    const bool userSize = static_cast<int64_t>(w) * h >= 1;
    if (!userSize && options_.PaperName.isEmpty()) {
        if (options_.PaperSize > 0) {
            if (mode.paperSize == 256) mode.paperWidth = mode.paperLength = 0;
            mode.paperSize = options_.PaperSize;
        }
    } else if (!userSize) {
        const int code = PaperCodeForName(options_.PaperName);
        if (code >= 0) mode.paperSize = code;
    } else {
        mode.paperSize = 256;
        mode.paperWidth = w;
        mode.paperLength = h;
    }
    printers.SetDeviceMode(current, mode);
    const PrinterCaps caps = printers.Caps(current);
    int paperWidth = caps.horzSizeMM * 10;
    int paperHeight = caps.vertSizeMM * 10;
    if (userSize) {
        if (mode.orientation == 1) {
            if (h < paperWidth || paperWidth == 0) paperWidth = h;
            if (w < paperHeight || paperHeight == 0) paperHeight = w;
        } else {
            if (w < paperWidth || paperWidth == 0) paperWidth = w;
            if (h < paperHeight || paperHeight == 0) paperHeight = h;
        }
    }
    paperSize_ = mode.paperSize;
    if (static_cast<int64_t>(paperWidth) * paperHeight < 1) {
        paperWidth = 800;
        paperHeight = 600;
    }
    SetPaperWidth(paperWidth);
    SetPaperHeight(paperHeight);
}

void TKVPrinter::BeginDoc() {
    metafile_.reset();
    if (state_ != 0) throw KavelError(QStringLiteral("Error:It is Busy!"));
    fonts_ = std::make_shared<PageFonts>();
    pageCount_ = 0;
    state_ = 1;
    pageList_->SetStream(std::make_unique<TkvlStream>(kStreamLimit));
}

void TKVPrinter::FinishPage() {
    canvas_.reset();  // completes the page
    pageList_->AddPage(metafile_->Record());
    metafile_.reset();
    if (Preview) QCoreApplication::postEvent(Preview, new PageFinishedEvent(pageCount_));
}

void TKVPrinter::NewPage() {
    if (state_ != 1) throw KavelError(QStringLiteral("Error:No BeginDoc"));
    if (metafile_) FinishPage();
    ++pageCount_;
    ToPage = pageCount_;
    metafile_ = std::make_unique<PageRecorder>(QSize(pageWidth_, pageHeight_), fonts_);
    canvas_ = std::make_unique<QPainter>(metafile_.get());
}

void TKVPrinter::EndDoc() {
    if (state_ != 1) return;
    if (pageCount_ > 0 && metafile_) FinishPage();
    state_ = 2;
    if (Preview) QCoreApplication::postEvent(Preview, new PageFinishedEvent(pageCount_));
    QCoreApplication::processEvents();
    pageList_->Finish();
}

std::unique_ptr<RecordedPage> TKVPrinter::GetPage(int n) {
    if ((state_ != 1 && state_ != 2) || n < 1 || n > pageCount_) return nullptr;
    std::optional<QByteArray> record = pageList_->GetPage(n);
    if (!record) return nullptr;
    return std::make_unique<RecordedPage>(RecordedPage{std::move(*record), fonts_});
}

void TKVPrinter::PrintPages(PrintJob& job, int from, int to, int step, const QRectF& dest) {
    // Every glyph the pages draw is known from their records before the first is drawn.
    if (fonts_) job.UseGlyphs(fonts_->Glyphs());
    bool first = true;
    for (int page = from; page <= to; page += step) {
        if (!first) job.NewSheet();
        first = false;
        if (auto picture = GetPage(page)) {
            DrawPageStretched(job.Painter(), *picture, QSize(pageWidth_, pageHeight_), dest);
        }
    }
}

// The paper in the printer's device pixels.
QRectF TKVPrinter::PaperOnDevice() {
    const PrinterCaps caps = Context().Printers().Caps(printer_);
    return QRectF(0, 0, RoundHalfEven(paperWidth_ / 254.0 * caps.dpiX),
                  RoundHalfEven(paperHeight_ / 254.0 * caps.dpiY));
}

void TKVPrinter::Print(bool doubleSided, const QString& hint) {
    PrinterSystem& printers = Context().Printers();
    const QRectF dest = PaperOnDevice();
    if (!doubleSided) {
        auto job = printers.StartJob(printer_, Title);
        PrintPages(*job, FromPage, ToPage, 1, dest);
        job->Finish();
        return;
    }
    // A side without a page of the range sends no job: a job of nothing is a blank sheet,
    // and turning the paper for it would be for nothing.
    const int firstOdd = FromPage % 2 == 1 ? FromPage : FromPage + 1;
    const int firstEven = FromPage % 2 == 0 ? FromPage : FromPage + 1;
    if (firstOdd <= ToPage) {
        auto odd = printers.StartJob(printer_, Title);
        PrintPages(*odd, firstOdd, ToPage, 2, dest);
        odd->Finish();
    }
    if (ToPage > 1 && firstEven <= ToPage) {
        if (firstOdd <= ToPage) Context().Messages().ShowInfo(hint);
        auto even = printers.StartJob(printer_, Title);
        PrintPages(*even, firstEven, ToPage, 2, dest);
        even->Finish();
    }
}

void DrawPageStretched(QPainter& painter, const RecordedPage& page, QSize pageSize,
                       const QRectF& dest) {
    if (pageSize.width() <= 0 || pageSize.height() <= 0) return;
    BeginStretchedPage(painter, pageSize, dest);
    try {
        page.Play(painter);
    } catch (...) {
        painter.restore();
        throw;
    }
    painter.restore();
}

void BeginStretchedPage(QPainter& painter, QSize pageSize, const QRectF& dest) {
    painter.save();
    painter.translate(dest.topLeft());
    if (pageSize.width() > 0 && pageSize.height() > 0) {
        painter.scale(dest.width() / pageSize.width(), dest.height() / pageSize.height());
    }
    painter.setClipRect(QRect(QPoint(0, 0), pageSize), Qt::IntersectClip);
    // A page starts from the default drawing state, whatever the player drew before:
    // the page records only the changes it made. Pen and brush are set after a different
    // value, so that the painter hands them to its device even when it believes the device
    // holds them already: a PDF starts with a hairline pen of its own, and a one-pixel
    // line drawn with a pen equal to the painter's default would print as a sliver.
    painter.setPen(Qt::NoPen);
    painter.setPen(QPen(Qt::black));
    painter.setBrush(Qt::SolidPattern);
    painter.setBrush(Qt::NoBrush);
    painter.setFont(QFont());
    painter.setOpacity(1.0);
}

}  // namespace kavel
