#include "BenchTasks.h"

#include <sys/resource.h>

#include <QFile>
#include <functional>
#include <stdexcept>
#include <string>

#include "BenchApp.h"
#include "control/VelloImpl1.h"
#include "designer/PSetupFormUnit.h"
#include "platform/VirtualPrinterSystem.h"

namespace kavel::bench {

namespace {

// A member that fails is a broken benchmark, not a slow one.
void Check(HRESULT hr, const char* member) {
    if (hr != S_OK) throw std::runtime_error(std::string(member) + " failed");
}

Printed PrintOn(const QString& pdfFile, const std::function<void(TKavelX&)>& build) {
    // A new printer system per task: its first job writes pdfFile itself, not pdfFile-2.
    auto printers = MakePdfPrinterSystem(pdfFile, QString());
    Printed printed;
    {
        TKavelX control(BenchContext(printers));
        control.SetPixelsPerInch(96);
        build(control);
        Variant result;
        Check(control.PRINT(&result), "PRINT");
        printed.ok = !result.IsEmpty() && result.ToBool();
    }
    if (!printers->Jobs().empty()) printed.pages = printers->Jobs().back().pageCount;
    return printed;
}

void Style(TKavelX& c, const char* key, const Variant& value) {
    Check(c.SET_PRINT_STYLE(Variant(key), value), "SET_PRINT_STYLE");
}

void Text(TKavelX& c, int top, int left, int width, int height, const QString& text) {
    Check(c.ADD_PRINT_TEXT(top, left, width, height, Variant(text)), "ADD_PRINT_TEXT");
}

void BeginA4Task(TKavelX& c, const char* name) {
    Variant result;
    Check(c.PRINT_INIT(Variant(name), &result), "PRINT_INIT");
    Check(c.SET_PRINT_PAGESIZE(1, 2100, 2970, Variant("A4")), "SET_PRINT_PAGESIZE");
}

}  // namespace

QString PreLine(int i) {
    return QString::asprintf("%05d line of text %03d", i, i * 37 % 1000);
}

QString PreText(int count) {
    QString text;
    text.reserve(count * 25);
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += QLatin1Char('\n');
        text += PreLine(i);
    }
    return text;
}

Printed PrintText(int lines, const QString& pdfFile) {
    const QString text = PreText(lines);
    return PrintOn(pdfFile, [&](TKavelX& c) {
        BeginA4Task(c, "Text lines");
        Style(c, "FontName", Variant("DejaVu Sans Mono"));
        Style(c, "FontSize", Variant(10));
        // A4 is 794 x 1123 px at 96 px per inch; 10 mm margins are 38 px.
        Text(c, 38, 38, 718, 1047, text);
        Check(c.SET_PRINT_STYLEA(Variant(1), Variant("ItemType"), Variant(4)), "SET_PRINT_STYLEA");
    });
}

Printed PrintRepeatedPage(int pages, const QString& pdfFile) {
    const QString text = PreText(kPreLinesPerPage);
    return PrintOn(pdfFile, [&](TKavelX& c) {
        BeginA4Task(c, "Repeated page");
        Style(c, "FontName", Variant("DejaVu Sans Mono"));
        Style(c, "FontSize", Variant(10));
        Text(c, 38, 38, 718, 1047, text);
        Check(c.SET_PRINT_STYLEA(Variant(1), Variant("ItemType"), Variant(1)), "SET_PRINT_STYLEA");
        for (int page = 2; page <= pages; ++page) {
            Variant result;
            Check(c.NewPage(&result), "NewPage");
        }
        Text(c, 38, 38, 718, 20, QString());
    });
}

Printed PrintTextPerPage(int pages, const QString& pdfFile) {
    return PrintOn(pdfFile, [&](TKavelX& c) {
        BeginA4Task(c, "One text per page");
        for (int page = 1; page <= pages; ++page) {
            if (page > 1) {
                Variant result;
                Check(c.NewPage(&result), "NewPage");
            }
            Text(c, 60, 60, 400, 30, QString("Label %1").arg(page));
        }
    });
}

Printed PrintShapes(int pages, const QString& pdfFile) {
    return PrintOn(pdfFile, [&](TKavelX& c) {
        BeginA4Task(c, "Shapes and texts");
        Style(c, "FontName", Variant("Liberation Sans"));
        Style(c, "FontSize", Variant(11));
        const int rows = kItemsPerShapePage / 2;
        for (int page = 1; page <= pages; ++page) {
            if (page > 1) {
                Variant result;
                Check(c.NewPage(&result), "NewPage");
            }
            for (int row = 0; row < rows; ++row) {
                const int top = 60 + row * 100;
                switch (row % 4) {
                    case 0:
                        Check(c.ADD_PRINT_RECT(top, 60, 200, 80, 0, 1), "ADD_PRINT_RECT");
                        break;
                    case 1:
                        Check(c.ADD_PRINT_ELLIPSE(top, 60, 200, 80, 0, 2), "ADD_PRINT_ELLIPSE");
                        break;
                    case 2:
                        Check(c.ADD_PRINT_LINE(top, 60, top + 80, 260, 0, 1), "ADD_PRINT_LINE");
                        break;
                    default: {
                        const Variant color(0x0000C0);
                        Check(c.ADD_PRINT_SHAPE(4, top, 60, 200, 80, 0, 1, &color),
                              "ADD_PRINT_SHAPE");
                    }
                }
                Text(c, top + 30, 300, 420, 24,
                     QString("Page %1, row %2: %3")
                         .arg(page)
                         .arg(row + 1)
                         .arg(PreLine(page * rows + row)));
            }
        }
    });
}

Printed PrintInvoice(const QString& pdfFile) {
    return PrintOn(pdfFile, [&](TKavelX& c) {
        BeginA4Task(c, "Invoice example");
        Style(c, "FontName", Variant("黑体"));
        Style(c, "FontSize", Variant(20));
        Style(c, "Bold", Variant(1));
        Check(c.ADD_PRINT_TEXTA(Variant("title"), 40, 60, 400, 40, Variant("销售发票  INVOICE")),
              "ADD_PRINT_TEXTA");
        Style(c, "FontSize", Variant(10));
        Style(c, "Bold", Variant(0));
        Style(c, "FontName", Variant("宋体"));

        Text(c, 50, 520, 220, 20, "No. 2026-12-0042");
        Text(c, 72, 520, 220, 20, "Date: 2026-12-06");
        Check(c.ADD_PRINT_LINE(100, 60, 100, 734, 0, 2), "ADD_PRINT_LINE");
        Text(c, 115, 60, 320, 20, "Bill to: Harbour Supplies Ltd.");
        Text(c, 135, 60, 320, 20, "12 Quay Road, Ningbo");
        Text(c, 115, 420, 320, 20, "Ship to: Warehouse 3");
        Text(c, 135, 420, 320, 20, "Gate B, Dock Street 7");

        const int top = 180, rowHeight = 26;
        const std::pair<int, const char*> columns[] = {
            {60, "Item"}, {360, "Qty"}, {450, "Unit price"}, {600, "Amount"}};
        Check(c.ADD_PRINT_RECT(top, 60, 674, rowHeight, 0, 1), "ADD_PRINT_RECT");
        Style(c, "Bold", Variant(1));
        for (const auto& [left, caption] : columns) Text(c, top + 6, left + 6, 140, 20, caption);
        Style(c, "Bold", Variant(0));

        struct Row {
            const char* item;
            int quantity;
            double price;
        };
        const Row rows[] = {{"Steel brackets M8", 120, 2.40},
                            {"Hex bolts 40 mm", 500, 0.18},
                            {"Shelf boards 1200 mm", 24, 31.50},
                            {"Cable ties (box)", 10, 6.90},
                            {"Delivery", 1, 45.00}};
        double total = 0;
        int y = top;
        for (const Row& row : rows) {
            y += rowHeight;
            const double amount = row.quantity * row.price;
            total += amount;
            Check(c.ADD_PRINT_RECT(y, 60, 674, rowHeight, 0, 1), "ADD_PRINT_RECT");
            Text(c, y + 6, 66, 290, 20, row.item);
            Text(c, y + 6, 366, 80, 20, QString::number(row.quantity));
            Text(c, y + 6, 456, 140, 20, QString::number(row.price, 'f', 2));
            Text(c, y + 6, 606, 120, 20, QString::number(amount, 'f', 2));
        }
        const int bottom = y + rowHeight;
        for (const int x : {354, 444, 594}) {
            Check(c.ADD_PRINT_LINE(top, x, bottom, x, 0, 1), "ADD_PRINT_LINE");
        }

        Style(c, "FontSize", Variant(12));
        Style(c, "Bold", Variant(1));
        Style(c, "Alignment", Variant(3));
        Text(c, bottom + 14, 434, 300, 24, QString("Total: %1 CNY").arg(total, 0, 'f', 2));
        Style(c, "Alignment", Variant(1));
        Style(c, "Bold", Variant(0));
        Style(c, "FontSize", Variant(9));
        Style(c, "FontColor", Variant("#555555"));
        Text(c, 1040, 60, 674, 20,
             "Payment within 30 days to account 6222 0000 1234 5678. Thank you for your business.");
        Check(c.ADD_PRINT_ELLIPSEA(980, 560, 150, 60, 0, 2, 0x0000C0), "ADD_PRINT_ELLIPSEA");
        Style(c, "FontColor", Variant("red"));
        Text(c, 1000, 590, 100, 20, "PAID");
    });
}

long PeakRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;  // KiB on Linux
}

long CurrentRssKiB() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

}  // namespace kavel::bench
