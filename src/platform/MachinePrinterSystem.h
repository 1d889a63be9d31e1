// The printers of this machine: the system's print queues and, always last, the built-in
// PDF printer, so that on any machine a preview opens and a task can be printed to a file,
// as a browser always offers saving as PDF.
#pragma once

#include <QString>
#include <memory>

#include "platform/VirtualPrinterSystem.h"

namespace kavel {

class MachinePrinterSystem : public PrinterSystem {
  public:
    // queues: the system's printers (CUPS, or a test's). pdfFolder: where the PDF printer
    // writes a job for which no dialog named a file (empty: the user's documents folder).
    explicit MachinePrinterSystem(std::shared_ptr<PrinterSystem> queues,
                                  const QString& pdfFolder = QString());

    QStringList Printers() override;
    // The system's default printer; the PDF printer when the system names none.
    QString DefaultPrinterName() override;
    QString Unreachable() override { return queues_->Unreachable(); }
    DeviceMode GetDeviceMode(int index) override;
    void SetDeviceMode(int index, const DeviceMode& mode) override;
    PrinterCaps Caps(int index) override;
    std::unique_ptr<PrintJob> StartJob(int index, const QString& title) override;
    // Qt's dialogs, which offer the PDF printer as printing to a file.
    bool PrintDialog(PrintDialogValues& values) override;
    bool PageSetupDialog(int& printer) override;
    void SendRaw(int index, const QByteArray& data, const QString& title) override;

    // Why a printer of that name cannot be used (none of that name, or the print system
    // cannot be reached); empty when it can. Names match without regard to case.
    QString WhyNotUsable(const QString& name);
    // The PDF printer's jobs so far, with the files they wrote.
    const std::vector<VirtualJob>& PdfJobs() const { return pdf_->Jobs(); }

  private:
    // The printer of a list index: in the system's queues, or the PDF printer.
    bool IsPdf(int index);
    // The file of a PDF job: the one the print dialog named, else DefaultPdfFile.
    QString PdfFileFor(const QString& title);
    // The job's title as a file in the PDF folder, numbered past files already there.
    QString DefaultPdfFile(const QString& title) const;

    std::shared_ptr<PrinterSystem> queues_;
    std::shared_ptr<VirtualPrinterSystem> pdf_;
    QString pdfFolder_;
    QString chosenPdfFile_;  // named in the print dialog for the next PDF job
};

}  // namespace kavel
