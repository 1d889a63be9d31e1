// The printer system of the machine: the CUPS printers as Qt PrintSupport sees them,
// print jobs drawn by QPrinter at the printer's high resolution; every job, drawn or raw,
// submitted through libcups and counted as printed only when the scheduler took it whole.
#pragma once

#include <QString>
#include <map>

#include "platform/PrinterSystem.h"

namespace kavel {

class CupsPrinterSystem : public PrinterSystem {
  public:
    // defaultPrinter names the printer that counts as the default instead of the
    // system's one (the script runner's --printer); a name not in the list, compared
    // without regard to case, leaves the system without a default.
    explicit CupsPrinterSystem(const QString& defaultPrinter = QString())
        : defaultPrinter_(defaultPrinter) {}

    QStringList Printers() override;
    QString DefaultPrinterName() override;
    // The scheduler does not answer: it is not running, or not where the client looks.
    QString Unreachable() override;

    // Device modes start from the printer's defaults: its default paper mapped to a
    // paper size code (or a user size), its default orientation, one copy.
    DeviceMode GetDeviceMode(int index) override;
    void SetDeviceMode(int index, const DeviceMode& mode) override;
    PrinterCaps Caps(int index) override;

    // A QPrinter job with the printer's device mode; its painter's origin is the corner
    // of the printable area and its unit the printer's dots (Caps().dpiX). Finish raises
    // KavelError with the scheduler's reason when the job is refused, aborted or cancelled.
    std::unique_ptr<PrintJob> StartJob(int index, const QString& title) override;

    bool PrintDialog(PrintDialogValues& values) override;
    bool PageSetupDialog(int& printer) override;

    void SendRaw(int index, const QByteArray& data, const QString& title) override;

  private:
    // The name of a printer in the list; KavelError for an index outside it.
    QString NameAt(int index);
    DeviceMode& ModeOf(const QString& name);

    QString defaultPrinter_;
    std::map<QString, DeviceMode> modes_;
};

}  // namespace kavel
