#include "platform/VirtualPrintJob.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPicture>
#include <algorithm>
#include <optional>

#include "platform/CairoPdf.h"
#include "platform/OutputFile.h"
#include "platform/PageImages.h"
#include "platform/PageMetrics.h"
#include "platform/PaperSizes.h"
#include "platform/Variant.h"

namespace kavel {

namespace {

constexpr double kMMPerInch = 25.4;

int ToPixels(double mm, int dpi) {
    return qRound(mm / kMMPerInch * dpi);
}

// One sheet being drawn: a recorded picture that tells its painter the job's resolution
// and the size of the printable area, so drawing measures as on the printer.
class SheetPicture : public QPicture {
  public:
    SheetPicture(int dpi, QSize size) : dpi_(dpi), size_(size) {}

  protected:
    int metric(PaintDeviceMetric metric) const override {
        if (const auto value = PageMetric(metric, size_, dpi_)) return *value;
        return QPicture::metric(metric);
    }

  private:
    int dpi_;
    QSize size_;
};

// Painter settings that stay from one sheet to the next, as on a printer's painter.
struct CarriedState {
    QFont font;
    QPen pen;
    QBrush brush;
    QBrush background;
    Qt::BGMode backgroundMode;
    QTransform transform;
    QPainter::RenderHints hints;
    qreal opacity;

    explicit CarriedState(const QPainter& painter)
        : font(painter.font()),
          pen(painter.pen()),
          brush(painter.brush()),
          background(painter.background()),
          backgroundMode(painter.backgroundMode()),
          transform(painter.worldTransform()),
          hints(painter.renderHints()),
          opacity(painter.opacity()) {}

    void ApplyTo(QPainter& painter) const {
        painter.setFont(font);
        painter.setPen(pen);
        painter.setBrush(brush);
        painter.setBackground(background);
        painter.setBackgroundMode(backgroundMode);
        painter.setWorldTransform(transform);
        painter.setRenderHints(hints);
        painter.setOpacity(opacity);
    }
};

class VirtualPrintJob : public PrintJob {
  public:
    VirtualPrintJob(std::shared_ptr<VirtualPrinterSystem::State> state,
                    const VirtualPrinter& printer, const DeviceMode& mode, const QString& title)
        : state_(std::move(state)),
          printer_(printer),
          geometry_(GeometryFor(printer, mode)),
          generation_(state_->generation),
          copies_(std::max(1, mode.copies)) {
        printableSize_ = QSize(ToPixels(geometry_.printable.width(), printer.dpi),
                               ToPixels(geometry_.printable.height(), printer.dpi));
        VirtualJob record;
        record.printer = printer.name;
        record.title = title;
        record.mode = mode;
        record.copies = mode.copies;
        record.pageCount = 1;
        if (mode.copies > printer.maxCopies) {
            Fail(QString("was refused: %1 copies are more than the printer allows (%2)")
                     .arg(mode.copies)
                     .arg(printer.maxCopies));
        }
        if (!printer.pngDir.isEmpty()) {
            QString error;
            pngJob_ = BeginPageImageJob(printer.pngDir, &error);
            if (pngJob_ == 0) Fail(error);
        }
        const QString pdfFile =
            printer.pdfFileForJob
                ? printer.pdfFileForJob(title)
                : (printer.pdfFile.isEmpty()
                       ? QString()
                       : NumberedFileName(printer.pdfFile, ++state_->pdfJobCount[printer.name]));
        if (!pdfFile.isEmpty()) {
            record.pdfFile = pdfFile;
            OpenPdf(pdfFile, title);
            if (Direct()) pdfPages_ = 1;  // the first sheet is painted on the first page
        }
        state_->jobs.push_back(record);
        index_ = state_->jobs.size() - 1;
        sheet_ = std::make_unique<SheetPicture>(printer_.dpi, printableSize_);
    }

    ~VirtualPrintJob() override {
        if (painter_.isActive()) painter_.end();
        // A job left without Finish (an error while drawing) leaves no half document: the
        // output file is discarded with the writer.
        if (pdfPainter_.isActive()) pdfPainter_.end();
    }

    QPainter& Painter() override {
        if (finished_) Fail("is already finished");
        if (Direct()) return pdfPainter_;
        if (!painter_.isActive()) {
            painter_.begin(sheet_.get());
            if (carried_) carried_->ApplyTo(painter_);
        }
        return painter_;
    }

    void NewSheet() override {
        if (finished_) Fail("is already finished");
        if (Direct()) {
            NewPdfPage();
        } else {
            CompleteSheet();
        }
        ++sheetNumber_;
        if (VirtualJob* record = Record()) record->pageCount = sheetNumber_;
    }

    void UseGlyphs(const GlyphUse& use) override {
        if (pdfDocument_) pdfDocument_->UseGlyphs(use);
    }

    void Finish() override {
        if (finished_) Fail("is already finished");
        if (!Direct()) CompleteSheet();
        finished_ = true;
        if (pdfPainter_.isActive()) {
            // The further copies, collated: every sheet again, in order, as a printer
            // gives them.
            for (int copy = 2; copy <= copies_; ++copy) {
                for (const auto& sheet : keptSheets_) {
                    NewPdfPage();
                    Replay(pdfPainter_, *sheet);
                }
            }
            const bool ended = pdfPainter_.end();
            const bool written = pdfDocument_->Finish();
            QString error = pdfDocument_->Error();
            pdfDocument_.reset();
            if (!ended || !written || !pdfOutput_->Commit()) {
                if (error.isEmpty()) error = pdfOutput_->Error();
                if (error.isEmpty()) error = pdfOutput_->FileName();
                Fail(QString("could not complete the PDF: %1").arg(error));
            }
        }
        if (VirtualJob* record = Record()) record->finished = true;
    }

  private:
    // A job whose only output is one copy of a PDF paints on the PDF at once: the sheet
    // need not be recorded to be played again.
    bool Direct() const {
        return pdfPainter_.isActive() && printer_.pngDir.isEmpty() && !printer_.keepImages &&
               copies_ == 1;
    }

    [[noreturn]] void Fail(const QString& what) const {
        throw KavelError(QString("The print job on \"%1\" %2").arg(printer_.name, what));
    }

    VirtualJob* Record() {
        if (state_->generation != generation_ || index_ >= state_->jobs.size()) return nullptr;
        return &state_->jobs[index_];
    }

    void OpenPdf(const QString& fileName, const QString& title) {
        const QFileInfo info(fileName);
        if (!QDir().mkpath(info.absolutePath())) {
            Fail(QString("cannot create the folder \"%1\"").arg(info.absolutePath()));
        }
        pdfOutput_ = std::make_unique<OutputFile>(fileName);
        if (!pdfOutput_->Open()) Fail(pdfOutput_->Error());
        CairoPdfSettings settings;
        settings.paperMM = geometry_.paper;
        settings.marginsMM = geometry_.margins;
        settings.dpi = printer_.dpi;
        settings.title = title;
        settings.creator = QStringLiteral("Kavel");
        pdfDocument_ = std::make_unique<CairoPdfDocument>(pdfOutput_->Device(), settings);
        if (!pdfPainter_.begin(pdfDocument_.get())) {
            Fail(QString("cannot write \"%1\"").arg(fileName));
        }
        pdfPainter_.setClipRect(QRect(QPoint(0, 0), printableSize_));
    }

    void NewPdfPage() {
        if (pdfPages_ > 0) pdfDocument_->NewPage();
        ++pdfPages_;
        pdfPainter_.setClipRect(QRect(QPoint(0, 0), printableSize_));
    }

    // Draws the finished sheet on every output and starts an empty one.
    void CompleteSheet() {
        if (painter_.isActive()) {
            carried_.emplace(painter_);
            painter_.end();
        }
        const QRect printableRect(QPoint(0, 0), printableSize_);
        if (pdfPainter_.isActive()) {
            NewPdfPage();
            Replay(pdfPainter_, *sheet_);
        }
        const bool keep = printer_.keepImages && Record() != nullptr;
        if (keep || pngJob_ > 0) {
            const QImage image = RenderSheet(printableRect);
            if (pngJob_ > 0) {
                const QString file = PageImageFileName(printer_.pngDir, pngJob_, sheetNumber_);
                QString error;
                if (!WritePageImage(image, file, &error)) Fail(error);
            }
            if (keep) Record()->pages.append(image);
        }
        if (copies_ > 1 && pdfPainter_.isActive()) keptSheets_.push_back(std::move(sheet_));
        sheet_ = std::make_unique<SheetPicture>(printer_.dpi, printableSize_);
    }

    QImage RenderSheet(const QRect& printableRect) {
        const int dpi = printer_.dpi;
        QImage image(ToPixels(geometry_.paper.width(), dpi),
                     ToPixels(geometry_.paper.height(), dpi), QImage::Format_RGB32);
        const int dotsPerMeter = qRound(dpi / kMMPerInch * 1000);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.translate(ToPixels(geometry_.margins.left(), dpi),
                          ToPixels(geometry_.margins.top(), dpi));
        painter.setClipRect(printableRect);
        Replay(painter, *sheet_);
        return image;
    }

    void Replay(QPainter& painter, SheetPicture& sheet) {
        // Playing a picture scales it from the resolution that Qt assumes for pictures to
        // the target's; the sheet was drawn at the job's resolution already.
        static const int pictureDpi = QPicture().logicalDpiX();
        painter.save();
        painter.scale(double(pictureDpi) / printer_.dpi, double(pictureDpi) / printer_.dpi);
        sheet.play(&painter);
        painter.restore();
    }

    std::shared_ptr<VirtualPrinterSystem::State> state_;
    VirtualPrinter printer_;
    SheetGeometry geometry_;
    QSize printableSize_;
    int generation_;
    int copies_;
    size_t index_ = 0;
    int sheetNumber_ = 1;
    int pdfPages_ = 0;
    int pngJob_ = 0;
    bool finished_ = false;
    std::unique_ptr<SheetPicture> sheet_;
    std::vector<std::unique_ptr<SheetPicture>> keptSheets_;
    QPainter painter_;
    std::optional<CarriedState> carried_;
    std::unique_ptr<OutputFile> pdfOutput_;
    std::unique_ptr<CairoPdfDocument> pdfDocument_;
    QPainter pdfPainter_;
};

}  // namespace

SheetGeometry GeometryFor(const VirtualPrinter& printer, const DeviceMode& mode) {
    QPageSize pageSize = PageSizeFor(mode.paperSize, mode.paperWidth, mode.paperLength);
    if (!pageSize.isValid()) pageSize = QPageSize(QPageSize::A4);
    QSizeF paper = PageSizeMM(pageSize);
    QSizeF printable = printer.printableMM;
    QMarginsF margins = printer.marginsMM;
    const bool landscape = mode.orientation == 1;
    if (landscape) {
        paper.transpose();
        printable.transpose();
        margins = QMarginsF(margins.top(), margins.left(), margins.bottom(), margins.right());
    }
    SheetGeometry geometry;
    geometry.paper = paper;
    if (printable.isEmpty()) {
        geometry.margins = margins;
        geometry.printable =
            QSizeF(std::max(0.0, paper.width() - margins.left() - margins.right()),
                   std::max(0.0, paper.height() - margins.top() - margins.bottom()));
    } else {
        // A fixed printable area sits in the middle of whatever paper is loaded.
        const double horizontal = std::max(0.0, (paper.width() - printable.width()) / 2);
        const double vertical = std::max(0.0, (paper.height() - printable.height()) / 2);
        geometry.margins = QMarginsF(horizontal, vertical, horizontal, vertical);
        geometry.printable = printable;
    }
    return geometry;
}

QString NumberedFileName(const QString& fileName, int n) {
    if (n <= 1) return fileName;
    const QFileInfo info(fileName);
    const QString suffix = info.suffix();
    if (suffix.isEmpty()) return fileName + QString("-%1").arg(n);
    return fileName.chopped(suffix.size() + 1) + QString("-%1.").arg(n) + suffix;
}

std::unique_ptr<PrintJob> StartVirtualJob(const std::shared_ptr<VirtualPrinterSystem::State>& state,
                                          const VirtualPrinter& printer, const DeviceMode& mode,
                                          const QString& title) {
    return std::make_unique<VirtualPrintJob>(state, printer, mode, title);
}

}  // namespace kavel
