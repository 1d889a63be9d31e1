// Bytes sent unchanged to the current printer as one raw job, for receipt and label
// printers (their CUPS queue made with -m raw).
#pragma once

#include <QByteArray>
#include <QString>

namespace kavel {

class PrinterSystem;

// What the print system answers for a printer it does not know (IPP client-error-not-found),
// the number shown when the current printer is not there.
constexpr int kPrinterNotFound = 0x0406;

// The job's name: "SendRawData:" and the first 50 bytes of the data after blanks and
// control characters around it are removed; control characters inside become blanks, as a
// job name is one line.
QString RawDocumentName(const QByteArray& data);

// The printer's name as the raw job addresses it: the part before " on " of names of the
// form "printer on port".
QString RawPrinterName(const QString& printer);

struct RawSendResult {
    bool sent = false;
    QString message;  // for the user's message box; empty when nothing is to be shown
};

// Sends the text's bytes (DeviceText.h) to a printer of the list; -1: the one current in the
// system.
RawSendResult SendPrintRawData(PrinterSystem& printers, int printer, const QString& text);

}  // namespace kavel
