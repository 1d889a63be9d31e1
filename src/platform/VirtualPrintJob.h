// The inside of the virtual printer system: its shared state, the sheet geometry of a
// printer and its print jobs. Not for use outside the virtual printer system.
#pragma once

#include <QMarginsF>
#include <QSizeF>
#include <map>
#include <memory>
#include <vector>

#include "platform/VirtualPrinterSystem.h"

namespace kavel {

// Shared by the system and its jobs, so a job that outlives the system still completes.
struct VirtualPrinterSystem::State {
    struct Entry {
        VirtualPrinter config;
        DeviceMode mode;
    };
    std::vector<Entry> printers;
    QString defaultName;
    std::vector<VirtualJob> jobs;
    std::vector<VirtualRawJob> rawJobs;
    int generation = 0;                  // raised by ClearJobs: older jobs stop recording
    std::map<QString, int> pdfJobCount;  // per printer name, for the "-2" file names
};

// The sheet of a printer for a device mode, orientation applied, in millimetres.
struct SheetGeometry {
    QSizeF paper;
    QMarginsF margins;  // from the paper's edges to the printable area
    QSizeF printable;
};
SheetGeometry GeometryFor(const VirtualPrinter& printer, const DeviceMode& mode);

// The output file of the n-th job (1-based): the file itself, then "-n" before the
// extension.
QString NumberedFileName(const QString& fileName, int n);

std::unique_ptr<PrintJob> StartVirtualJob(const std::shared_ptr<VirtualPrinterSystem::State>& state,
                                          const VirtualPrinter& printer, const DeviceMode& mode,
                                          const QString& title);

}  // namespace kavel
