#include "control/PrintChoice.h"

#include "platform/Messages.h"
#include "platform/PrinterSystem.h"
#include "platform/Variant.h"

namespace kavel {

namespace {

QString SavedSetup(const TprnSetup& setup, const QString& key) {
    return setup.IniFile ? setup.IniFile->Read(QStringLiteral("PRNSETUP"), key) : QString();
}

// A saved value that is present must be an integer: the print reports it otherwise.
int SavedInteger(const TprnSetup& setup, const QString& key, int absent) {
    const QString text = SavedSetup(setup, key);
    if (text.isEmpty()) return absent;
    return Variant::Str(text).ToInt32();
}

}  // namespace

int GetPrintPrinter(const ControlContext& context, const TprnSetup& setup) {
    const int no = setup.intPrinterNo;
    if (no < 0) return std::max(-1, SavedInteger(setup, QStringLiteral("PRINTERINDEX"), -1));
    if (no <= context.Printers().Count()) return no - 1;
    context.Messages().ShowMessage(QString::number(no - 1) + QStringLiteral("号打印机未找到！"));
    return -2;
}

TPrintPaper GetPrintPaper(const ControlContext& context, const TprnSetup& setup) {
    TPrintPaper paper;
    paper.printer = GetPrintPrinter(context, setup);
    QString orient = SavedSetup(setup, QStringLiteral("PAPERORIENT"));
    if (setup.intOrient == 1 || setup.intOrient == 2) orient = QString::number(setup.intOrient);
    paper.orientation = orient.isEmpty() ? -1 : (orient.trimmed() == "2" ? 1 : 0);
    paper.copies = SavedInteger(setup, QStringLiteral("PAPECOPIES"), -1);
    if (setup.intCopies > 0) paper.copies = setup.intCopies;
    paper.pageWidth = setup.intPageWidth;
    paper.pageHeight = setup.intPageHeight;
    paper.pageName = setup.strPageName;
    paper.paperSize = SavedInteger(setup, QStringLiteral("PAPERSIZE"), 0);
    return paper;
}

TPrintOption PrintOptionOf(const ControlContext& context, const TprnSetup& setup) {
    const TPrintPaper p = GetPrintPaper(context, setup);
    TPrintOption o;
    o.PrinterIndex = p.printer;
    o.Copies = p.copies;
    o.Orientation = p.orientation;
    o.PaperSize = p.paperSize;
    o.Width = p.pageWidth;
    o.Height = p.pageHeight;
    o.PaperName = p.pageName;
    return o;
}

}  // namespace kavel
