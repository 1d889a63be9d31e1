#include "platform/PrinterSystem.h"

#include "platform/Display.h"

#include <QGuiApplication>
#include <optional>

#include "platform/CupsPrinterSystem.h"
#include "platform/MachinePrinterSystem.h"
#include "platform/Variant.h"

namespace kavel {

int PrinterSystem::DefaultIndex() {
    const QString name = DefaultPrinterName();
    if (name.isEmpty()) return -1;
    return static_cast<int>(Printers().indexOf(name));
}

int PrinterSystem::Current() {
    // A printer that left the list since it was chosen gives way to the default.
    if (current_ >= 0 && current_ < Count()) return current_;
    return DefaultIndex();
}

void PrinterSystem::SetCurrent(int index) {
    if (index == -1) {
        if (DefaultIndex() < 0) throw KavelError("There is no default printer currently selected");
        current_ = -1;
        return;
    }
    if (index < -1 || index >= Count()) throw KavelError("Printer selected is not valid");
    current_ = index;
}

bool PrinterSystem::ResolveDialogPrinter(int& printer) {
    if (printer >= 0 && printer < Count()) return true;
    printer = Current();
    return printer >= 0;
}

void PrinterSystem::ApplyPrintDialog(const PrintDialogValues& values) {
    SetCurrent(values.printer);
    DeviceMode mode = GetDeviceMode(values.printer);
    if (values.copies > 0 && mode.copies != values.copies) {
        mode.copies = values.copies;
        SetDeviceMode(values.printer, mode);
    }
}

bool PrinterSystem::AnswerDialog(const std::function<bool()>& script,
                                 const std::function<bool()>& show) {
    if (script) return script();
    switch (DialogPolicy()) {
        case DialogAnswer::Cancel:
            return false;
        case DialogAnswer::Ok:
            return true;
        case DialogAnswer::Show:
            return show();
    }
    return false;
}

namespace {

// Unset until first asked: the answer depends on the display of the running application.
std::optional<DialogAnswer>& PolicySlot() {
    static std::optional<DialogAnswer> policy;
    return policy;
}

std::shared_ptr<PrinterSystem>& SystemSlot() {
    static std::shared_ptr<PrinterSystem> system;
    return system;
}

}  // namespace

DialogAnswer DialogPolicy() {
    auto& policy = PolicySlot();
    // Without a display nobody could answer a dialog: it is confirmed as preset.
    if (!policy) policy = HasDisplay() ? DialogAnswer::Show : DialogAnswer::Ok;
    return *policy;
}

void SetDialogPolicy(DialogAnswer answer) {
    PolicySlot() = answer;
}

PrinterSystem& Printers() {
    auto& system = SystemSlot();
    if (!system) {
        system = std::make_shared<MachinePrinterSystem>(std::make_shared<CupsPrinterSystem>());
    }
    return *system;
}

std::shared_ptr<PrinterSystem> SetPrinterSystem(std::shared_ptr<PrinterSystem> system) {
    auto previous = SystemSlot();
    SystemSlot() = std::move(system);
    return previous;
}

}  // namespace kavel
