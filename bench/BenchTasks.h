// The benchmark tasks. Each builds one print task through the control's members, as
// page script would, and prints it with PRINT on the built-in PDF printer: a fresh
// printer system and a fresh control every time, so repeated runs are alike.
#pragma once

#include <QString>

namespace kavel::bench {

// The long text task: the lines of a 10,000-line <pre>, 10 pt DejaVu Sans Mono on A4
// with 10 mm margins, as one multi-page text item.
constexpr int kPreLines = 10000;
// Lines of the text task on one page (1047 px of item height, 18 px a line).
constexpr int kPreLinesPerPage = 59;
// Line i of the text: "%05d line of text %03d" with i and i × 37 mod 1000.
QString PreLine(int i);
// Lines 0..count-1 joined by "\n".
QString PreText(int count);

// Items on each page of the shapes task: half shapes, half texts.
constexpr int kItemsPerShapePage = 20;

struct Printed {
    bool ok = false;  // PRINT answered true
    int pages = 0;    // sheets of the PDF job
};

// The text task with that many lines, printed to pdfFile.
Printed PrintText(int lines, const QString& pdfFile);
// The same page content without the content growing: the first kPreLinesPerPage lines as
// a header item, drawn on every page, and an empty body item pages - 1 NewPage calls
// later, which keeps the pages coming. What grows with the pages is only what the pages
// themselves hold: the page store and the PDF.
Printed PrintRepeatedPage(int pages, const QString& pdfFile);
// Rectangles, ellipses, lines and texts, kItemsPerShapePage on each page, NewPage
// between pages.
Printed PrintShapes(int pages, const QString& pdfFile);
// One short text item on each page (labels, one per sheet).
Printed PrintTextPerPage(int pages, const QString& pdfFile);
// A one-page invoice like examples/invoice.js.
Printed PrintInvoice(const QString& pdfFile);

// The process's peak resident memory so far (getrusage), in KiB.
long PeakRssKiB();
// The process's resident memory now (/proc/self/status), in KiB; 0 when unknown.
long CurrentRssKiB();

}  // namespace kavel::bench
