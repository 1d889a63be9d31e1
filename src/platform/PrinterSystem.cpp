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

namespace {

// A dialog's printer: the preset one when it is in the list, else the current one.
bool ResolveDialogPrinter(PrinterSystem& system, int& printer) {
    if (printer >= 0 && printer < system.Count()) return true;
    printer = system.Current();
    return printer >= 0;
}

template <class Value>
bool AnswerDialog(Value& value, const std::function<bool(Value&)>& script,
                  const std::function<bool(Value&)>& show) {
    if (script) return script(value);
    switch (DialogPolicy()) {
        case DialogAnswer::Cancel:
            return false;
        case DialogAnswer::Ok:
            return true;
        case DialogAnswer::Show:
            return show(value);
    }
    return false;
}

}  // namespace

bool PrinterSystem::RunPrintDialog(PrintDialogValues& preset,
                                   const std::function<bool(PrintDialogValues&)>& script,
                                   const std::function<bool(PrintDialogValues&)>& show) {
    PrintDialogValues values = preset;
    if (!ResolveDialogPrinter(*this, values.printer)) return false;
    // A script that picks a printer outside the list cannot confirm.
    if (!AnswerDialog(values, script, show) || values.printer < 0 || values.printer >= Count()) {
        return false;
    }
    SetCurrent(values.printer);
    DeviceMode mode = GetDeviceMode(values.printer);
    if (values.copies > 0 && mode.copies != values.copies) {
        mode.copies = values.copies;
        SetDeviceMode(values.printer, mode);
    }
    preset = values;
    return true;
}

bool PrinterSystem::RunPageSetupDialog(int& printer, const std::function<bool(int&)>& script,
                                       const std::function<bool(int&)>& show) {
    int chosen = printer;
    if (!ResolveDialogPrinter(*this, chosen)) return false;
    if (!AnswerDialog(chosen, script, show) || chosen < 0 || chosen >= Count()) return false;
    SetCurrent(chosen);
    printer = chosen;
    return true;
}

namespace {

// Unset until first asked: the answer depends on the display of the running application.
std::optional<DialogAnswer>& PolicySlot() {
    static std::optional<DialogAnswer> policy;
    return policy;
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

}  // namespace kavel
