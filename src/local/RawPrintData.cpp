#include "local/RawPrintData.h"

#include "local/DeviceText.h"
#include "platform/PrinterSystem.h"
#include "platform/Variant.h"
#include "platform/VirtualPrinterSystem.h"

namespace kavel {

namespace {

constexpr int kNameBytes = 50;

bool BlankOrControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7F;
}

}  // namespace

QString RawDocumentName(const QByteArray& data) {
    qsizetype begin = 0;
    qsizetype end = data.size();
    while (begin < end && BlankOrControl(data[begin])) ++begin;
    while (end > begin && BlankOrControl(data[end - 1])) --end;
    QByteArray part = data.mid(begin, std::min<qsizetype>(end - begin, kNameBytes));
    for (char& c : part) {
        if (BlankOrControl(c)) c = ' ';
    }
    // UTF-8 text keeps its characters, less one that the 50th byte cuts; other bytes are
    // one character each.
    QByteArray whole = part;
    qsizetype lead = whole.size();
    while (lead > 0 && (static_cast<unsigned char>(whole[lead - 1]) & 0xC0) == 0x80) --lead;
    if (lead > 0 && static_cast<unsigned char>(whole[lead - 1]) >= 0xC0) {
        const auto first = static_cast<unsigned char>(whole[lead - 1]);
        const qsizetype length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : 2;
        if (whole.size() - (lead - 1) < length) whole.truncate(lead - 1);
    }
    QString name = QString::fromUtf8(whole);
    if (name.contains(QChar::ReplacementCharacter)) name = DeviceText(part);
    return "SendRawData:" + name;
}

QString RawPrinterName(const QString& printer) {
    const qsizetype on = printer.indexOf(" on ");
    return on < 0 ? printer : printer.left(on);
}

RawSendResult SendPrintRawData(PrinterSystem& printers, int printer, const QString& text) {
    const int index = printer < 0 ? printers.Current() : printer;
    const QStringList names = printers.Printers();
    if (index < 0 || index >= names.size()) {
        return {false, QString("Selected printer no exist!ErrorID:%1").arg(kPrinterNotFound)};
    }
    try {
        // The built-in PDF printer makes pages, not devices' data: nothing would arrive.
        if (RawPrinterName(names[index]) == QLatin1String(kPdfPrinterName)) {
            throw KavelError(QString("\"%1\" takes no raw data").arg(kPdfPrinterName));
        }
        const QByteArray data = DeviceBytes(text);
        printers.SendRaw(index, data, RawDocumentName(data));
        return {true, QString()};
    } catch (const KavelError& e) {
        return {false, "SEND_PRINT_RAWDATA Error:" + e.Text()};
    }
}

}  // namespace kavel
