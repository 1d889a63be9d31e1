// A printer system of configured printers: the built-in PDF printer of the script
// runner, and the printers of tests. Every job is kept in memory; a printer may also
// write each job as a PDF file and each page as a PNG picture.
#pragma once

#include <QImage>
#include <QList>
#include <QMarginsF>
#include <QSizeF>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "platform/PrinterSystem.h"

namespace kavel {

// One configured printer.
struct VirtualPrinter {
    QString name;
    int dpi = 96;  // logical pixels per inch of its jobs
    // A fixed printable area in millimetres, portrait (swapped in landscape). When empty,
    // the printable area is the paper less the margins.
    QSizeF printableMM;
    QMarginsF marginsMM;  // portrait margins; in landscape left/top and right/bottom swap
    DeviceMode defaultMode;
    // Each job as a PDF: the first job of the process writes this file, later ones the
    // same name with "-2", "-3", ... before the extension. Empty: no PDF.
    QString pdfFile;
    // When set, names the PDF of each job instead (from the job's title); empty: no PDF.
    std::function<QString(const QString& title)> pdfFileForJob;
    // Each page as a picture in pngDir (named as PageImages.h says). Empty: no pictures.
    QString pngDir;
    bool keepImages = false;  // keep each page's picture in Jobs()
    int maxCopies = 999;      // a job asking for more is refused, as a print server does
};

// A print job as the printer received it.
struct VirtualJob {
    QString printer;
    QString title;
    DeviceMode mode;      // the printer's device mode when the job started
    int copies = 1;       // the PDF holds every sheet this many times, collated
    int pageCount = 0;    // sheets of one copy so far (an empty job has one blank sheet)
    QList<QImage> pages;  // whole sheets at the job's resolution, when kept
    QString pdfFile;      // the file written, if any
    bool finished = false;
};

// Data sent unchanged to a printer.
struct VirtualRawJob {
    QString printer;
    QString title;
    QByteArray data;
};

class VirtualPrinterSystem : public PrinterSystem {
  public:
    VirtualPrinterSystem();
    ~VirtualPrinterSystem() override;

    // Adds a printer at the end of the list and answers its index.
    int AddPrinter(const VirtualPrinter& printer);
    // Takes a printer out of the list (a printer removed from the system).
    void RemovePrinter(const QString& name);
    // The default printer by name; empty: no default printer.
    void SetDefaultPrinter(const QString& name);

    // Scripts that answer the dialogs instead of the dialog policy: they may change the
    // values (or the chosen printer, or call SetDeviceMode) and answer true for OK.
    void SetPrintDialogScript(std::function<bool(PrintDialogValues&)> script);
    void SetPageSetupDialogScript(std::function<bool(int& printer)> script);

    // Every job so far, in order, and the raw data sent.
    const std::vector<VirtualJob>& Jobs() const;
    const std::vector<VirtualRawJob>& RawJobs() const;
    void ClearJobs();

    QStringList Printers() override;
    QString DefaultPrinterName() override;
    DeviceMode GetDeviceMode(int index) override;
    void SetDeviceMode(int index, const DeviceMode& mode) override;
    PrinterCaps Caps(int index) override;
    // A job whose painter draws in the printer's pixels (dpi), with the origin at the
    // corner of the printable area. KavelError when an output file cannot be written.
    std::unique_ptr<PrintJob> StartJob(int index, const QString& title) override;
    bool PrintDialog(PrintDialogValues& values) override;
    bool PageSetupDialog(int& printer) override;
    void SendRaw(int index, const QByteArray& data, const QString& title) override;

    struct State;

  private:
    std::shared_ptr<State> state_;
    std::function<bool(PrintDialogValues&)> printDialogScript_;
    std::function<bool(int&)> pageSetupDialogScript_;
};

// The script runner's built-in printer: one virtual printer "Kavel PDF", the default,
// A4 portrait without margins, writing pdfFile and/or pngDir (either may be empty).
std::shared_ptr<VirtualPrinterSystem> MakePdfPrinterSystem(const QString& pdfFile,
                                                           const QString& pngDir, int dpi = 96);
constexpr const char* kPdfPrinterName = "Kavel PDF";

}  // namespace kavel
