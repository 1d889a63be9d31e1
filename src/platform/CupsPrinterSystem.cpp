#include "platform/CupsPrinterSystem.h"

#include <cups/cups.h>

#include <QBuffer>
#include <QDir>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <mutex>

#include "platform/CairoPdf.h"
#include "platform/CupsJob.h"
#include "platform/ProcessTemporaryFiles.h"
#include "platform/QtPrinterSetup.h"
#include "platform/Variant.h"

namespace kavel {

namespace {

QPrinterInfo InfoFor(const QString& name) {
    QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull()) {
        throw KavelError(QString("Printer \"%1\" cannot be opened").arg(name));
    }
    return info;
}

// Documents wait for submission in temporary files named "kavel-job", the process id, "-"
// and a unique part.
const QString kDocumentPrefix = QStringLiteral("kavel-job");

QString JobName(const char* kind, const QString& printer) {
    return QString("The %1 on \"%2\"").arg(QLatin1String(kind), printer);
}

// Qt's CUPS engine names duplex modes as these sides.
QByteArray SidesOf(QPrinter::DuplexMode duplex, QPageLayout::Orientation orientation) {
    switch (duplex) {
        case QPrinter::DuplexNone:
            return "one-sided";
        case QPrinter::DuplexAuto:
            return orientation == QPageLayout::Portrait ? "two-sided-long-edge"
                                                        : "two-sided-short-edge";
        case QPrinter::DuplexLongSide:
            return "two-sided-long-edge";
        case QPrinter::DuplexShortSide:
            return "two-sided-short-edge";
    }
    return "one-sided";
}

// A job written as PDF into a private temporary file and then submitted by us, so that we
// know whether the scheduler took it. The printer's own settings (paper, margins, copies,
// sides) come from a QPrinter on it; the drawing goes to our PDF writer at its resolution.
class CupsPrintJob : public PrintJob {
  public:
    CupsPrintJob(const QPrinterInfo& info, const DeviceMode& mode, const QString& title)
        : printer_(info, QPrinter::HighResolution),
          name_(info.printerName()),
          title_(title),
          document_(NewProcessTemporaryFile(QDir::tempPath(), kDocumentPrefix)) {
        // Documents of runs that were killed before they submitted them go first.
        static std::once_flag cleaned;
        std::call_once(cleaned,
                       [] { RemoveOrphanedTemporaryFiles(QDir::tempPath(), kDocumentPrefix); });
        ApplyDeviceMode(printer_, mode);
        printer_.setDocName(title);
        // The origin of drawing is the corner of the printable area, as on the platform
        // printer whose pages the control lays out.
        printer_.setFullPage(false);
        // The file is private (mode 0600, a new name) before anything is written to it.
        if (!document_->open()) {
            Fail("could not be started: no temporary file: " + document_->errorString());
        }
        const QPageLayout layout = printer_.pageLayout();
        const QRectF paper = layout.fullRect(QPageLayout::Millimeter);
        const QRectF printable = layout.paintRect(QPageLayout::Millimeter);
        CairoPdfSettings settings;
        settings.paperMM = paper.size();
        settings.marginsMM =
            QMarginsF(printable.left() - paper.left(), printable.top() - paper.top(),
                      paper.right() - printable.right(), paper.bottom() - printable.bottom());
        settings.dpi = printer_.resolution();
        settings.title = title;
        settings.creator = QStringLiteral("Kavel");
        pdf_ = std::make_unique<CairoPdfDocument>(document_.get(), settings);
    }

    ~CupsPrintJob() override {
        // A job left without Finish (an error while drawing) must not print half: the
        // document is dropped unsent.
        if (painter_.isActive()) painter_.end();
    }

    QPainter& Painter() override {
        Begin();
        return painter_;
    }

    void NewSheet() override {
        Begin();
        pdf_->NewPage();
    }

    void UseGlyphs(const GlyphUse& use) override { pdf_->UseGlyphs(use); }

    void Finish() override {
        // A job without pages still reaches the printer, as an empty job.
        Begin();
        painter_.end();
        finished_ = true;
        // The writer checked every byte and the flush; the job is sent from the start.
        if (!pdf_->Finish()) Fail("could not be written to its end: " + pdf_->Error());
        if (!document_->seek(0)) Fail("could not be read back: " + document_->errorString());
        SubmitCupsJob(name_, title_, CupsFormat::Pdf, Options(), *document_,
                      JobName("print job", name_));
    }

  private:
    void Begin() {
        if (finished_) Fail("is already finished");
        if (painter_.isActive()) return;
        if (!painter_.begin(pdf_.get())) Fail("could not be started");
    }

    // The options Qt's CUPS engine gives a job: paper, copies and collation (the document
    // holds every page once), sides, and a landscape mark.
    CupsOptions Options() const {
        const QPageLayout layout = printer_.pageLayout();
        CupsOptions options{{"media", layout.pageSize().key().toUtf8()}};
        const int copies = printer_.copyCount();
        if (copies > 1) options.push_back({"copies", QByteArray::number(copies)});
        if (copies > 1 && printer_.collateCopies()) options.push_back({"Collate", "True"});
        options.push_back({"sides", SidesOf(printer_.duplex(), layout.orientation())});
        if (layout.orientation() == QPageLayout::Landscape) options.push_back({"landscape", ""});
        return options;
    }

    [[noreturn]] void Fail(const QString& what) {
        throw KavelError(JobName("print job", name_) + " " + what);
    }

    QPrinter printer_;
    QString name_;
    QString title_;
    std::unique_ptr<QTemporaryFile> document_;
    std::unique_ptr<CairoPdfDocument> pdf_;  // writes into document_
    QPainter painter_;                       // paints on pdf_
    bool finished_ = false;
};

}  // namespace

QStringList CupsPrinterSystem::Printers() {
    return QPrinterInfo::availablePrinterNames();
}

QString CupsPrinterSystem::DefaultPrinterName() {
    if (defaultPrinter_.isEmpty()) return QPrinterInfo::defaultPrinterName();
    for (const QString& name : Printers()) {
        if (name.compare(defaultPrinter_, Qt::CaseInsensitive) == 0) return name;
    }
    return QString();
}

QString CupsPrinterSystem::Unreachable() {
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                3000, nullptr);
    if (!http) {
        return QString("the CUPS print scheduler is not running (it does not answer at %1)")
            .arg(QString::fromUtf8(cupsServer()));
    }
    httpClose(http);
    return QString();
}

QString CupsPrinterSystem::NameAt(int index) {
    const QStringList names = Printers();
    if (index < 0 || index >= names.size()) throw KavelError("Printer selected is not valid");
    return names[index];
}

DeviceMode& CupsPrinterSystem::ModeOf(const QString& name) {
    auto found = modes_.find(name);
    if (found != modes_.end()) return found->second;
    // The printer's own defaults, as a new QPrinter on it sees them.
    QPrinter printer(InfoFor(name), QPrinter::HighResolution);
    DeviceMode mode = DeviceModeFromLayout(printer.pageLayout(), DeviceMode{});
    mode.copies = 1;
    mode.source = 0;
    return modes_.emplace(name, mode).first->second;
}

DeviceMode CupsPrinterSystem::GetDeviceMode(int index) {
    return ModeOf(NameAt(index));
}

void CupsPrinterSystem::SetDeviceMode(int index, const DeviceMode& mode) {
    ModeOf(NameAt(index)) = mode;
}

PrinterCaps CupsPrinterSystem::Caps(int index) {
    const QString name = NameAt(index);
    QPrinter printer(InfoFor(name), QPrinter::HighResolution);
    ApplyDeviceMode(printer, ModeOf(name));
    const QRectF area = printer.pageLayout().paintRect(QPageLayout::Millimeter);
    PrinterCaps caps;
    caps.horzSizeMM = qRound(area.width());
    caps.vertSizeMM = qRound(area.height());
    caps.dpiX = printer.logicalDpiX();
    caps.dpiY = printer.logicalDpiY();
    return caps;
}

std::unique_ptr<PrintJob> CupsPrinterSystem::StartJob(int index, const QString& title) {
    const QString name = NameAt(index);
    return std::make_unique<CupsPrintJob>(InfoFor(name), ModeOf(name), title);
}

void CupsPrinterSystem::SendRaw(int index, const QByteArray& data, const QString& title) {
    const QString name = NameAt(index);
    QBuffer document;
    document.setData(data);
    document.open(QIODevice::ReadOnly);
    SubmitCupsJob(name, title, CupsFormat::Raw, {}, document, JobName("raw print job", name));
}

}  // namespace kavel
