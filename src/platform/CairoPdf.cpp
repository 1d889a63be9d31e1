#include "platform/CairoPdf.h"

#include "platform/PageMetrics.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <QFileDevice>
#include <cerrno>
#include <climits>
#include <cmath>

#include "platform/CairoPaintEngine.h"
#include "platform/OutputFile.h"

namespace kavel {

namespace {

constexpr double kMMPerInch = 25.4;
constexpr double kPointsPerInch = 72.0;

// Sheets and margins are whole points, as in the documents printers and viewers got
// from the earlier writer: A4 is 595 x 842 and pages land where they did.
double MMToPoints(double mm) {
    return std::round(mm / kMMPerInch * kPointsPerInch);
}

}  // namespace

// The stream cairo writes into, and what went wrong with it. cairo writes in small pieces
// (a number, an operator); they reach the device in blocks.
struct CairoPdfOutput {
    static constexpr qsizetype kBlock = 64 * 1024;

    QIODevice* device = nullptr;
    QByteArray pending;
    QString error;
    bool discarded = false;
    bool finished = false;
    cairo_surface_t* surface = nullptr;
    cairo_t* context = nullptr;

    bool Flush() {
        qsizetype done = 0;
        while (done < pending.size() && error.isEmpty()) {
            errno = 0;
            const qint64 written = device->write(pending.constData() + done, pending.size() - done);
            if (written <= 0) {
                error = Reason(*device, errno);
            } else {
                done += written;
            }
        }
        pending.clear();
        return error.isEmpty();
    }

    static cairo_status_t Write(void* closure, const unsigned char* data, unsigned int length) {
        auto* output = static_cast<CairoPdfOutput*>(closure);
        if (output->discarded || !output->error.isEmpty()) return CAIRO_STATUS_WRITE_ERROR;
        output->pending.append(reinterpret_cast<const char*>(data), length);
        if (output->pending.size() >= kBlock && !output->Flush()) return CAIRO_STATUS_WRITE_ERROR;
        return CAIRO_STATUS_SUCCESS;
    }
};

CairoPdfDocument::CairoPdfDocument(QIODevice* device, const CairoPdfSettings& settings)
    : settings_(settings), output_(std::make_unique<CairoPdfOutput>()) {
    if (settings_.dpi <= 0) settings_.dpi = 1200;
    if (settings_.paperMM.isEmpty()) settings_.paperMM = QSizeF(210, 297);
    const QMarginsF& m = settings_.marginsMM;
    printable_ = QSize(qRound(std::max(0.0, settings_.paperMM.width() - m.left() - m.right()) /
                              kMMPerInch * settings_.dpi),
                       qRound(std::max(0.0, settings_.paperMM.height() - m.top() - m.bottom()) /
                              kMMPerInch * settings_.dpi));

    output_->device = device;
    output_->pending.reserve(CairoPdfOutput::kBlock * 2);
    output_->surface = cairo_pdf_surface_create_for_stream(&CairoPdfOutput::Write, output_.get(),
                                                           MMToPoints(settings_.paperMM.width()),
                                                           MMToPoints(settings_.paperMM.height()));
    if (!settings_.title.isEmpty()) {
        cairo_pdf_surface_set_metadata(output_->surface, CAIRO_PDF_METADATA_TITLE,
                                       settings_.title.toUtf8().constData());
    }
    if (!settings_.creator.isEmpty()) {
        cairo_pdf_surface_set_metadata(output_->surface, CAIRO_PDF_METADATA_CREATOR,
                                       settings_.creator.toUtf8().constData());
    }
    output_->context = cairo_create(output_->surface);
    // Device pixels from the printable area's corner to the page's points.
    cairo_matrix_t base;
    cairo_matrix_init_translate(&base, MMToPoints(m.left()), MMToPoints(m.top()));
    const double scale = kPointsPerInch / settings_.dpi;
    cairo_matrix_scale(&base, scale, scale);
    engine_ = std::make_unique<CairoPaintEngine>(output_->context, base);
}

CairoPdfDocument::~CairoPdfDocument() {
    // A document never finished writes nothing more: its output is being discarded.
    output_->discarded = true;
    engine_->Close();
    cairo_destroy(output_->context);
    cairo_surface_destroy(output_->surface);
}

QPaintEngine* CairoPdfDocument::paintEngine() const {
    return engine_.get();
}

void CairoPdfDocument::UseGlyphs(const GlyphUse& use) {
    if (!output_->finished) engine_->UseGlyphs(use);
}

void CairoPdfDocument::NewPage() {
    if (output_->finished) return;
    engine_->Flush();
    cairo_show_page(output_->context);
}

bool CairoPdfDocument::Finish() {
    if (output_->finished) return output_->error.isEmpty();
    output_->finished = true;
    engine_->Close();
    const cairo_status_t drawing = cairo_status(output_->context);
    // The last page goes out even when blank; finishing alone would drop a blank one.
    cairo_show_page(output_->context);
    cairo_surface_finish(output_->surface);
    const cairo_status_t writing = cairo_surface_status(output_->surface);
    if (output_->error.isEmpty()) {
        if (drawing != CAIRO_STATUS_SUCCESS) {
            output_->error = QString::fromUtf8(cairo_status_to_string(drawing));
        } else if (writing != CAIRO_STATUS_SUCCESS) {
            output_->error = QString::fromUtf8(cairo_status_to_string(writing));
        }
    }
    output_->Flush();
    // Bytes still buffered by a file count only once they reached it.
    if (auto* file = qobject_cast<QFileDevice*>(output_->device);
        file != nullptr && output_->error.isEmpty()) {
        errno = 0;
        if (!file->flush()) output_->error = Reason(*file, errno);
    }
    return output_->error.isEmpty();
}

QString CairoPdfDocument::Error() const {
    return output_->error;
}

int CairoPdfDocument::metric(PaintDeviceMetric metric) const {
    if (const auto value = PageMetric(metric, printable_, settings_.dpi)) return *value;
    switch (metric) {
        case PdmNumColors:
            return INT_MAX;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 0;
    }
}

}  // namespace kavel
