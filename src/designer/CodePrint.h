// Printing the text of the designer's code panel as a plain document: the generated
// page-script code (or an item's HTML source) on paper, for a developer to read.
#pragma once

#include <QString>

namespace kavel {

class PrinterSystem;

// The document name of the printed code.
inline constexpr const char* kCodeDocumentName = "Kavel生成的JS代码";

// Prints text line by line in a fixed-pitch font on the current printer, as many sheets as
// it needs; lines too long for the sheet wrap. Answers the number of sheets; raises
// KavelError when there is no printer or the printer system refuses the job, so that a
// document counts as printed only when the whole of it was accepted.
int PrintCodeText(PrinterSystem& printers, const QString& text,
                  const QString& title = QString::fromUtf8(kCodeDocumentName));

}  // namespace kavel
