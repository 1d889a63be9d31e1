#include "designer/CodePrint.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include "platform/PrinterSystem.h"
#include "platform/Variant.h"

namespace kavel {

namespace {

constexpr double kMarginInch = 0.5;
constexpr int kFontPoints = 10;

// The visual lines of the text at a width: each text line broken where it is too long.
QStringList WrappedLines(const QString& text, const QFont& font, QPaintDevice* device,
                         double width) {
    QStringList out;
    QString normalized = text;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalized.replace('\r', '\n');
    for (const QString& line : normalized.split('\n')) {
        if (line.isEmpty()) {
            out << QString();
            continue;
        }
        QTextLayout layout(line, font, device);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
            l.setLineWidth(width);
            out << line.mid(l.textStart(), l.textLength());
        }
        layout.endLayout();
    }
    return out;
}

}  // namespace

int PrintCodeText(PrinterSystem& printers, const QString& text, const QString& title) {
    const int printer = printers.Current();
    if (printer < 0) throw KavelError(QStringLiteral("请在操作系统安装打印机！"));
    std::unique_ptr<PrintJob> job = printers.StartJob(printer, title);
    QPainter& painter = job->Painter();
    QPaintDevice* device = painter.device();
    const double dpi = device ? device->logicalDpiY() : 96;
    const double margin = kMarginInch * dpi;
    const QRectF area(margin, margin, (device ? device->width() : 8 * dpi) - 2 * margin,
                      (device ? device->height() : 10.5 * dpi) - 2 * margin);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(kFontPoints);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(font, device);
    const double lineHeight = metrics.lineSpacing();
    const int perSheet = std::max(1, static_cast<int>(area.height() / lineHeight));
    const QStringList lines = WrappedLines(text, font, device, area.width());

    int sheets = 1;
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0 && i % perSheet == 0) {
            job->NewSheet();
            painter.setFont(font);
            painter.setPen(Qt::black);
            ++sheets;
        }
        const double y = area.top() + (i % perSheet) * lineHeight + metrics.ascent();
        painter.drawText(QPointF(area.left(), y), lines[i]);
    }
    job->Finish();
    return sheets;
}

}  // namespace kavel
