// Reading the PDF files that printing produces, through poppler's command-line tools.
#pragma once

#include <QImage>
#include <QList>
#include <QProcess>
#include <QRect>
#include <QRectF>
#include <QRegularExpression>
#include <QSizeF>
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

struct PdfPage {
    QSizeF sizePt;  // as shown, rotation applied
    struct Word {
        QString text;
        QRectF boxPt;  // from the top left corner of the page
    };
    QList<Word> words;
    QString Text() const {
        QStringList texts;
        for (const Word& word : words) texts.append(word.text);
        return texts.join(' ');
    }
    const Word* Find(const QString& text) const {
        for (const Word& word : words) {
            if (word.text == text) return &word;
        }
        return nullptr;
    }
};

// The pages of a PDF with their words (pdftotext -bbox); empty when it cannot be read.
inline QList<PdfPage> ReadPdfPages(const QString& fileName) {
    const QString html = RunTool("pdftotext", {"-bbox", fileName, "-"});
    QList<PdfPage> pages;
    static const QRegularExpression tag(
        R"re(<page width="([\d.]+)" height="([\d.]+)">|<word xMin="([\d.]+)" yMin="([\d.]+)" )re"
        R"re(xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    for (auto match = tag.globalMatch(html); match.hasNext();) {
        const auto m = match.next();
        if (!m.captured(1).isEmpty()) {
            PdfPage page;
            page.sizePt = QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
            pages.append(page);
        } else if (!pages.isEmpty()) {
            const QPointF topLeft(m.captured(3).toDouble(), m.captured(4).toDouble());
            const QPointF bottomRight(m.captured(5).toDouble(), m.captured(6).toDouble());
            pages.last().words.append({m.captured(7), QRectF(topLeft, bottomRight)});
        }
    }
    return pages;
}

// The "Title:" line of pdfinfo.
inline QString PdfTitle(const QString& fileName) {
    static const QRegularExpression line(R"(^Title:\s*(.*)$)", QRegularExpression::MultilineOption);
    return line.match(RunTool("pdfinfo", {fileName})).captured(1).trimmed();
}

inline double PointsToMM(double points) {
    return points * 25.4 / 72;
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
