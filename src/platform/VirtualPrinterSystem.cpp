#include "platform/VirtualPrinterSystem.h"

#include <cmath>

#include "platform/Variant.h"
#include "platform/VirtualPrintJob.h"
#include "platform/VirtualPrinterDialogs.h"

namespace kavel {

VirtualPrinterSystem::VirtualPrinterSystem() : state_(std::make_shared<State>()) {}
VirtualPrinterSystem::~VirtualPrinterSystem() = default;

namespace {

VirtualPrinterSystem::State::Entry& EntryAt(VirtualPrinterSystem::State& state, int index) {
    if (index < 0 || index >= static_cast<int>(state.printers.size())) {
        throw KavelError("Printer selected is not valid");
    }
    return state.printers[static_cast<size_t>(index)];
}

}  // namespace

int VirtualPrinterSystem::AddPrinter(const VirtualPrinter& printer) {
    VirtualPrinter config = printer;
    if (config.dpi <= 0) config.dpi = 96;
    state_->printers.push_back({config, config.defaultMode});
    return static_cast<int>(state_->printers.size()) - 1;
}

void VirtualPrinterSystem::RemovePrinter(const QString& name) {
    auto& printers = state_->printers;
    std::erase_if(printers, [&](const State::Entry& entry) { return entry.config.name == name; });
}

void VirtualPrinterSystem::SetDefaultPrinter(const QString& name) {
    state_->defaultName = name;
}

void VirtualPrinterSystem::SetPrintDialogScript(std::function<bool(PrintDialogValues&)> script) {
    printDialogScript_ = std::move(script);
}

void VirtualPrinterSystem::SetPageSetupDialogScript(std::function<bool(int&)> script) {
    pageSetupDialogScript_ = std::move(script);
}

const std::vector<VirtualJob>& VirtualPrinterSystem::Jobs() const {
    return state_->jobs;
}
const std::vector<VirtualRawJob>& VirtualPrinterSystem::RawJobs() const {
    return state_->rawJobs;
}

void VirtualPrinterSystem::ClearJobs() {
    state_->jobs.clear();
    state_->rawJobs.clear();
    ++state_->generation;
}

QStringList VirtualPrinterSystem::Printers() {
    QStringList names;
    for (const auto& entry : state_->printers) names.append(entry.config.name);
    return names;
}

QString VirtualPrinterSystem::DefaultPrinterName() {
    // A default printer that was removed is no default any more.
    return Printers().contains(state_->defaultName) ? state_->defaultName : QString();
}

DeviceMode VirtualPrinterSystem::GetDeviceMode(int index) {
    return EntryAt(*state_, index).mode;
}

void VirtualPrinterSystem::SetDeviceMode(int index, const DeviceMode& mode) {
    EntryAt(*state_, index).mode = mode;
}

PrinterCaps VirtualPrinterSystem::Caps(int index) {
    const State::Entry& entry = EntryAt(*state_, index);
    const SheetGeometry geometry = GeometryFor(entry.config, entry.mode);
    PrinterCaps caps;
    caps.horzSizeMM = static_cast<int>(std::lround(geometry.printable.width()));
    caps.vertSizeMM = static_cast<int>(std::lround(geometry.printable.height()));
    caps.dpiX = entry.config.dpi;
    caps.dpiY = entry.config.dpi;
    return caps;
}

std::unique_ptr<PrintJob> VirtualPrinterSystem::StartJob(int index, const QString& title) {
    const State::Entry& entry = EntryAt(*state_, index);
    return StartVirtualJob(state_, entry.config, entry.mode, title);
}

bool VirtualPrinterSystem::PrintDialog(PrintDialogValues& values) {
    return RunPrintDialog(values, printDialogScript_, [this](PrintDialogValues& chosen) {
        return ShowVirtualPrintDialog(Printers(), chosen);
    });
}

bool VirtualPrinterSystem::PageSetupDialog(int& printer) {
    return RunPageSetupDialog(printer, pageSetupDialogScript_, [this](int& chosen) {
        DeviceMode mode = GetDeviceMode(chosen);
        const bool ok = ShowVirtualPageSetupDialog(Printers(), chosen, mode,
                                                   [this](int i) { return GetDeviceMode(i); });
        if (ok) SetDeviceMode(chosen, mode);
        return ok;
    });
}

void VirtualPrinterSystem::SendRaw(int index, const QByteArray& data, const QString& title) {
    const State::Entry& entry = EntryAt(*state_, index);
    state_->rawJobs.push_back({entry.config.name, title, data});
}

std::shared_ptr<VirtualPrinterSystem> MakePdfPrinterSystem(const QString& pdfFile,
                                                           const QString& pngDir, int dpi) {
    auto system = std::make_shared<VirtualPrinterSystem>();
    VirtualPrinter printer;
    printer.name = kPdfPrinterName;
    printer.dpi = dpi;
    printer.defaultMode.paperSize = 9;  // A4
    printer.pdfFile = pdfFile;
    printer.pngDir = pngDir;
    system->AddPrinter(printer);
    system->SetDefaultPrinter(printer.name);
    return system;
}

}  // namespace kavel
