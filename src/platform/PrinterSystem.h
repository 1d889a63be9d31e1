// The printer system seam: the printer list, the default and the current printer,
// each printer's device mode, its capabilities, the print and page-setup dialogs and
// print jobs. Two implementations: CUPS through Qt PrintSupport, and a virtual
// printer system (tests, the built-in PDF printer).
#pragma once

#include <QPainter>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "platform/FontSubsets.h"

namespace kavel {

// What a printer's device mode holds for the control.
struct DeviceMode {
    int paperSize = 9;    // system paper size code (see PaperSizes.h); 256 = user size
    int paperWidth = 0;   // user size, tenths of a millimetre (with paperSize 256)
    int paperLength = 0;  // user size, tenths of a millimetre (with paperSize 256)
    int orientation = 0;  // 0 portrait, 1 landscape
    int copies = 1;
    int source = 0;  // paper source code, kept for the setup dialog's saved choice
    bool operator==(const DeviceMode&) const = default;
};

// Device capabilities for the current device mode.
struct PrinterCaps {
    int horzSizeMM = 0;  // printable width in millimetres (as the orientation gives it)
    int vertSizeMM = 0;  // printable height in millimetres
    int dpiX = 0;        // logical pixels per inch of print jobs
    int dpiY = 0;
};

// The print dialog's values: preset by the caller, changed by the user.
struct PrintDialogValues {
    enum Range { AllPages, PageRange, Selection };
    int printer = -1;  // index in the printer list
    int copies = 1;
    int minPage = 1, maxPage = 1;
    int fromPage = 1, toPage = 1;
    Range range = AllPages;
};

// One print job on one printer. The painter draws the current sheet.
class PrintJob {
  public:
    virtual ~PrintJob() = default;
    virtual QPainter& Painter() = 0;
    virtual void NewSheet() = 0;
    // The glyphs the job will draw, given before they are drawn, so that a PDF is written
    // with fonts cut down to them; jobs that write no PDF need not know.
    virtual void UseGlyphs(const GlyphUse&) {}
    // Completes the job; raises KavelError when the printer system refuses it.
    virtual void Finish() = 0;
};

class PrinterSystem {
  public:
    virtual ~PrinterSystem() = default;

    // Printer names in the system's order.
    virtual QStringList Printers() = 0;
    int Count() { return static_cast<int>(Printers().size()); }
    // Name of the system's default printer; empty when there is none.
    virtual QString DefaultPrinterName() = 0;
    // Why the system's printers cannot be listed (its print service is not running);
    // empty when they can.
    virtual QString Unreachable() { return QString(); }
    int DefaultIndex();  // -1 when there is no default printer

    // The current printer, as the platform keeps one per process. SetCurrent(-1) makes
    // the default printer current; an index outside the list raises KavelError.
    int Current();
    void SetCurrent(int index);

    // The device mode of a printer, kept per process and printer.
    virtual DeviceMode GetDeviceMode(int index) = 0;
    virtual void SetDeviceMode(int index, const DeviceMode& mode) = 0;
    // Capabilities for the printer's device mode; KavelError when it cannot be opened.
    virtual PrinterCaps Caps(int index) = 0;

    // Starts a job on a printer with its device mode; KavelError on failure.
    virtual std::unique_ptr<PrintJob> StartJob(int index, const QString& title) = 0;

    // The print dialog (choose printer, copies, page range); false when cancelled or
    // when there is no printer. Confirmed, the chosen printer becomes current and its
    // device mode takes the copies. DialogPolicy() decides whether it is shown.
    virtual bool PrintDialog(PrintDialogValues& values) = 0;
    // The page-setup dialog on a printer (-1: the current one); may choose another
    // printer and change the chosen printer's device mode; false when cancelled.
    // Confirmed, the chosen printer becomes current.
    virtual bool PageSetupDialog(int& printer) = 0;

    // Sends bytes unchanged to a printer; KavelError on failure.
    virtual void SendRaw(int index, const QByteArray& data, const QString& title) = 0;

  protected:
    // The frame every implementation's dialogs share. The dialog opens on the preset
    // printer when it is in the list, else the current one (false when there is none);
    // it is answered by the test script when there is one, else by the dialog policy,
    // shown only when the policy says so. The preset values change only when it is
    // confirmed with a printer of the list, which then becomes current (with the chosen
    // copies in its device mode, for the print dialog).
    bool RunPrintDialog(PrintDialogValues& preset,
                        const std::function<bool(PrintDialogValues&)>& script,
                        const std::function<bool(PrintDialogValues&)>& show);
    bool RunPageSetupDialog(int& printer, const std::function<bool(int&)>& script,
                            const std::function<bool(int&)>& show);

    int current_ = -1;  // -1: the default printer is current
};

// How dialogs behave when the process has no display or a script answers them: Show
// shows them, Ok confirms them with their preset values, Cancel cancels them. Until set,
// Show on a display and Ok without one.
enum class DialogAnswer { Show, Ok, Cancel };
DialogAnswer DialogPolicy();
void SetDialogPolicy(DialogAnswer answer);

}  // namespace kavel
