#include "platform/MachinePrinterSystem.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <utility>

#include "platform/QtPrinterSetup.h"
#include "platform/Variant.h"
#include "platform/VirtualPrintJob.h"

namespace kavel {

MachinePrinterSystem::MachinePrinterSystem(std::shared_ptr<PrinterSystem> queues,
                                           const QString& pdfFolder)
    : queues_(std::move(queues)), pdfFolder_(pdfFolder) {
    pdf_ = std::make_shared<VirtualPrinterSystem>();
    VirtualPrinter printer;
    printer.name = kPdfPrinterName;
    printer.defaultMode.paperSize = 9;  // A4
    printer.pdfFileForJob = [this](const QString& title) { return PdfFileFor(title); };
    pdf_->AddPrinter(printer);
}

QString MachinePrinterSystem::PdfFileFor(const QString& title) {
    if (!chosenPdfFile_.isEmpty()) return std::exchange(chosenPdfFile_, QString());
    return DefaultPdfFile(title);
}

QString MachinePrinterSystem::DefaultPdfFile(const QString& title) const {
    QString folder = pdfFolder_;
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // The job's title as a file name: no folders, no control characters.
    QString name = title.trimmed().left(100);
    for (QChar& c : name) {
        if (c == '/' || c == '\\' || c.unicode() < 0x20) c = '_';
    }
    if (name.isEmpty() || name.startsWith('.')) name.prepend(QStringLiteral("Kavel"));
    const QString file = QDir(folder).filePath(name + ".pdf");
    // A file that is there already is kept: the job takes the next free number.
    QString free = file;
    for (int n = 2; QFileInfo::exists(free); ++n) free = NumberedFileName(file, n);
    return free;
}

bool MachinePrinterSystem::IsPdf(int index) {
    const int queues = queues_->Count();
    if (index < 0 || index > queues) throw KavelError("Printer selected is not valid");
    return index == queues;
}

QStringList MachinePrinterSystem::Printers() {
    return queues_->Printers() << QString::fromLatin1(kPdfPrinterName);
}

QString MachinePrinterSystem::DefaultPrinterName() {
    const QString name = queues_->DefaultPrinterName();
    return name.isEmpty() ? QString::fromLatin1(kPdfPrinterName) : name;
}

DeviceMode MachinePrinterSystem::GetDeviceMode(int index) {
    return IsPdf(index) ? pdf_->GetDeviceMode(0) : queues_->GetDeviceMode(index);
}

void MachinePrinterSystem::SetDeviceMode(int index, const DeviceMode& mode) {
    IsPdf(index) ? pdf_->SetDeviceMode(0, mode) : queues_->SetDeviceMode(index, mode);
}

PrinterCaps MachinePrinterSystem::Caps(int index) {
    return IsPdf(index) ? pdf_->Caps(0) : queues_->Caps(index);
}

std::unique_ptr<PrintJob> MachinePrinterSystem::StartJob(int index, const QString& title) {
    return IsPdf(index) ? pdf_->StartJob(0, title) : queues_->StartJob(index, title);
}

void MachinePrinterSystem::SendRaw(int index, const QByteArray& data, const QString& title) {
    if (IsPdf(index)) throw KavelError(QString("\"%1\" takes no raw data").arg(kPdfPrinterName));
    queues_->SendRaw(index, data, title);
}

namespace {

// A QPrinter on a printer of the list, carrying its device mode; the PDF printer is Qt's
// printing to a file.
std::unique_ptr<QPrinter> QtPrinterFor(MachinePrinterSystem& system, int index, bool pdf,
                                       const QString& pdfFile) {
    auto printer =
        pdf ? std::make_unique<QPrinter>(QPrinter::HighResolution)
            : std::make_unique<QPrinter>(QPrinterInfo::printerInfo(system.Printers()[index]),
                                         QPrinter::HighResolution);
    if (pdf) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdfFile);
    }
    ApplyDeviceMode(*printer, system.GetDeviceMode(index));
    return printer;
}

}  // namespace

bool MachinePrinterSystem::PrintDialog(PrintDialogValues& values) {
    QString file;
    const bool confirmed = RunPrintDialog(values, nullptr, [&](PrintDialogValues& chosen) {
        const int pdfIndex = queues_->Count();
        auto printer = QtPrinterFor(*this, chosen.printer, chosen.printer == pdfIndex,
                                    DefaultPdfFile(QStringLiteral("Kavel")));
        if (!ShowQtPrintDialog(*printer, chosen, true)) return false;
        if (printer->outputFormat() == QPrinter::PdfFormat) {
            chosen.printer = pdfIndex;
            file = printer->outputFileName();
            return true;
        }
        chosen.printer = static_cast<int>(Printers().indexOf(printer->printerName()));
        return chosen.printer >= 0;
    });
    if (confirmed && !file.isEmpty()) chosenPdfFile_ = file;
    return confirmed;
}

bool MachinePrinterSystem::PageSetupDialog(int& printer) {
    return RunPageSetupDialog(printer, nullptr, [this](int& chosen) {
        // The PDF printer's dialog lists every paper size there is.
        auto qtPrinter = QtPrinterFor(*this, chosen, IsPdf(chosen), QString());
        const auto mode = ShowQtPageSetupDialog(*qtPrinter, GetDeviceMode(chosen));
        if (mode) SetDeviceMode(chosen, *mode);
        return mode.has_value();
    });
}

QString MachinePrinterSystem::WhyNotUsable(const QString& name) {
    const QStringList names = Printers();
    for (const QString& printer : names) {
        if (printer.compare(name, Qt::CaseInsensitive) == 0) return QString();
    }
    const QString unreachable = Unreachable();
    if (!unreachable.isEmpty()) {
        return QString("the printer \"%1\" cannot be reached: %2").arg(name, unreachable);
    }
    return QString("there is no printer called \"%1\"; the printers are: %2")
        .arg(name, names.join(", "));
}

}  // namespace kavel
