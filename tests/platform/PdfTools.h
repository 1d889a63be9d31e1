// Reading the PDF files that printing produces, through poppler's command-line tools, and
// looking at printed pictures.
#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>

namespace kavel::test {

// Standard output of a tool; empty when it cannot run or fails.
inline QString RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of each page of a PDF; none when it cannot be read.
inline QStringList PdfPageTexts(const QString& fileName) {
    QStringList pages = RunTool("pdftotext", {fileName, "-"}).split('\f');
    pages.removeLast();  // what follows the last page's form feed
    return pages;
}

// A value that pdfinfo gives ("Title", "Page size"); empty when there is none.
inline QString PdfInfo(const QString& fileName, const QString& key) {
    for (const QString& line : RunTool("pdfinfo", {fileName}).split('\n')) {
        if (line.startsWith(key + ':')) return line.mid(key.size() + 1).trimmed();
    }
    return QString();
}

// The smallest rectangle holding every pixel of a colour; empty when there is none.
inline QRect ColorBounds(const QImage& image, QRgb color) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == (color & 0xFFFFFF)) bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

}  // namespace kavel::test
