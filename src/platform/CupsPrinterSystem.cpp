#include "platform/CupsPrinterSystem.h"

#include <cups/cups.h>

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

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

class CupsPrintJob : public PrintJob {
  public:
    CupsPrintJob(const QPrinterInfo& info, const DeviceMode& mode, const QString& title)
        : printer_(info, QPrinter::HighResolution), name_(info.printerName()) {
        ApplyDeviceMode(printer_, mode);
        printer_.setDocName(title);
        // The origin of drawing is the corner of the printable area, as on the platform
        // printer whose pages the control lays out.
        printer_.setFullPage(false);
    }

    ~CupsPrintJob() override {
        // A job left without Finish (an error while drawing) must not print half.
        if (painter_.isActive()) {
            printer_.abort();
            painter_.end();
        }
    }

    QPainter& Painter() override {
        Begin();
        return painter_;
    }

    void NewSheet() override {
        Begin();
        if (!printer_.newPage()) Fail("could not start a new sheet");
    }

    void Finish() override {
        // A job without pages still reaches the printer, as an empty job.
        Begin();
        painter_.end();
        finished_ = true;
        if (printer_.printerState() == QPrinter::Error) Fail("was refused");
    }

  private:
    void Begin() {
        if (finished_) Fail("is already finished");
        if (painter_.isActive()) return;
        if (!painter_.begin(&printer_)) Fail("could not be started");
    }

    [[noreturn]] void Fail(const char* what) {
        throw KavelError(QString("The print job on \"%1\" %2").arg(name_, what));
    }

    QPrinter printer_;
    QPainter painter_;
    QString name_;
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
    const QByteArray name = NameAt(index).toUtf8();
    const QByteArray jobTitle = title.toUtf8();
    const auto fail = [&](const char* what) {
        throw KavelError(
            QString("Raw job on \"%1\" %2: %3 (IPP status %4)")
                .arg(QString::fromUtf8(name), what, QString::fromUtf8(cupsLastErrorString()))
                .arg(static_cast<int>(cupsLastError())));
    };

    const int job =
        cupsCreateJob(CUPS_HTTP_DEFAULT, name.constData(), jobTitle.constData(), 0, nullptr);
    if (job == 0) fail("could not be created");
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, name.constData(), job, jobTitle.constData(),
                          CUPS_FORMAT_RAW, 1) != HTTP_STATUS_CONTINUE) {
        cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 0);
        fail("could not be started");
    }
    if (!data.isEmpty() &&
        cupsWriteRequestData(CUPS_HTTP_DEFAULT, data.constData(),
                             static_cast<size_t>(data.size())) != HTTP_STATUS_CONTINUE) {
        cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData());
        cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 0);
        fail("could not be written");
    }
    if (cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData()) > IPP_STATUS_OK_EVENTS_COMPLETE) {
        fail("could not be completed");
    }
}

}  // namespace kavel
