#!/usr/bin/env python3
"""The benchmark tasks as HTML, for timing a browser's print-to-PDF on the same content.

usage: gen_html.py pre OUT.html [LINES]   the text task's lines as a <pre> (default 10000)
       gen_html.py invoice OUT.html       the invoice of examples/invoice.js, absolutely positioned
       gen_html.py table OUT.html OUT.js  the 2,000 x 5 table with head and foot, and a task
                                          printing the same HTML as a table item

Positions are CSS pixels (96 per inch), the control's script units; font sizes are points.
"""
import html
import json
import sys

PAGE_CSS = "@page{size:A4;margin:%s}body{margin:0}"


def pre_line(i):
    return "%05d line of text %03d" % (i, i * 37 % 1000)


def write_pre(out, lines):
    # The same font, size and 10 mm margins as the text task of kavel_bench.
    with open(out, "w", encoding="utf-8") as f:
        f.write("<!DOCTYPE html><html><head><meta charset='utf-8'><title>Text lines</title>"
                "<style>" + PAGE_CSS % "10mm" +
                "pre{margin:0;font-family:'DejaVu Sans Mono',monospace;font-size:10pt}"
                "</style></head><body><pre>\n")
        for i in range(lines):
            f.write(pre_line(i) + "\n")
        f.write("</pre></body></html>\n")


class Page:
    """Absolutely positioned boxes, added like the control's items."""

    def __init__(self):
        self.font = {"family": "黑体", "size": 9, "bold": False, "color": "#000000",
                     "align": "left"}
        self.boxes = []

    def style(self, **kw):
        self.font.update(kw)

    def text(self, top, left, width, height, content):
        f = self.font
        self.boxes.append(
            "<div style='top:%dpx;left:%dpx;width:%dpx;height:%dpx;font-family:\"%s\";"
            "font-size:%dpt;font-weight:%s;color:%s;text-align:%s'>%s</div>"
            % (top, left, width, height, f["family"], f["size"],
               "bold" if f["bold"] else "normal", f["color"], f["align"], html.escape(content)))

    def rect(self, top, left, width, height, pen=1, color="#000000", round_=False):
        self.boxes.append(
            "<div style='top:%dpx;left:%dpx;width:%dpx;height:%dpx;box-sizing:border-box;"
            "border:%dpx solid %s%s'></div>"
            % (top, left, width, height, pen, color, ";border-radius:50%" if round_ else ""))

    def line(self, top1, left1, top2, left2, pen=1):
        if top1 == top2:  # horizontal
            self.boxes.append("<div style='top:%dpx;left:%dpx;width:%dpx;border-top:%dpx solid #000'></div>"
                              % (top1, left1, left2 - left1, pen))
        else:  # vertical
            self.boxes.append("<div style='top:%dpx;left:%dpx;height:%dpx;border-left:%dpx solid #000'></div>"
                              % (top1, left1, top2 - top1, pen))

    def write(self, out, title):
        with open(out, "w", encoding="utf-8") as f:
            f.write("<!DOCTYPE html><html><head><meta charset='utf-8'><title>%s</title><style>"
                    % html.escape(title) + PAGE_CSS % "0" +
                    "div{position:absolute;white-space:nowrap;overflow:hidden}</style></head><body>\n")
            f.write("\n".join(self.boxes))
            f.write("\n</body></html>\n")


def write_invoice(out):
    p = Page()
    p.style(family="黑体", size=20, bold=True)
    p.text(40, 60, 400, 40, "销售发票  INVOICE")
    p.style(family="宋体", size=10, bold=False)
    p.text(50, 520, 220, 20, "No. 2026-12-0042")
    p.text(72, 520, 220, 20, "Date: 2026-12-06")
    p.line(100, 60, 100, 734, 2)
    p.text(115, 60, 320, 20, "Bill to: Harbour Supplies Ltd.")
    p.text(135, 60, 320, 20, "12 Quay Road, Ningbo")
    p.text(115, 420, 320, 20, "Ship to: Warehouse 3")
    p.text(135, 420, 320, 20, "Gate B, Dock Street 7")

    top, row_height = 180, 26
    p.rect(top, 60, 674, row_height)
    p.style(bold=True)
    for left, caption in [(60, "Item"), (360, "Qty"), (450, "Unit price"), (600, "Amount")]:
        p.text(top + 6, left + 6, 140, 20, caption)
    p.style(bold=False)
    rows = [("Steel brackets M8", 120, 2.40), ("Hex bolts 40 mm", 500, 0.18),
            ("Shelf boards 1200 mm", 24, 31.50), ("Cable ties (box)", 10, 6.90),
            ("Delivery", 1, 45.00)]
    total = 0.0
    for r, (item, qty, price) in enumerate(rows):
        y = top + row_height * (r + 1)
        amount = qty * price
        total += amount
        p.rect(y, 60, 674, row_height)
        p.text(y + 6, 66, 290, 20, item)
        p.text(y + 6, 366, 80, 20, str(qty))
        p.text(y + 6, 456, 140, 20, "%.2f" % price)
        p.text(y + 6, 606, 120, 20, "%.2f" % amount)
    bottom = top + row_height * (len(rows) + 1)
    for x in (354, 444, 594):
        p.line(top, x, bottom, x, 1)

    p.style(size=12, bold=True, align="right")
    p.text(bottom + 14, 434, 300, 24, "Total: %.2f CNY" % total)
    p.style(size=9, bold=False, align="left", color="#555555")
    p.text(1040, 60, 674, 20,
           "Payment within 30 days to account 6222 0000 1234 5678. Thank you for your business.")
    p.rect(980, 560, 150, 60, pen=2, color="#C00000", round_=True)
    p.style(color="red")
    p.text(1000, 590, 100, 20, "PAID")
    p.write(out, "Invoice example")


def table_document(rows=2000, columns=5):
    # The table of bench/kavel_bench_engine.cpp, character for character.
    out = ["<!DOCTYPE html><html><head><meta charset='utf-8'><style>"
           "body{font-family:'宋体';font-size:12px;margin:8px}"
           "table{border-collapse:collapse;width:100%;border:2px solid #000}"
           "td,th{border:1px solid #333;padding:2px 4px;text-align:left}"
           "thead th{background:#ddd;font-weight:bold;text-align:center}"
           "tbody tr:nth-child(even){background:#eef}tfoot td{background:#ffd;font-style:italic}"
           "</style></head><body><table id=t><thead><tr>"]
    out += ["<th>Column %d 列</th>" % (c + 1) for c in range(columns)]
    out.append("</tr></thead><tfoot><tr>")
    out += ["<td>Foot %d 合计</td>" % (c + 1) for c in range(columns)]
    out.append("</tr></tfoot><tbody>\n")
    for r in range(rows):
        out.append("<tr>" + "".join("<td>R%dC%d 数据 value %d</td>" % (r, c, r * columns + c)
                                    for c in range(columns)) + "</tr>\n")
    out.append("</tbody></table></body></html>\n")
    return "".join(out)


def write_table(out_html, out_js):
    document = table_document()
    with open(out_html, "w", encoding="utf-8") as f:
        f.write(document)
    with open(out_js, "w", encoding="utf-8") as f:
        # A4; the item 700 px wide, 1,000 px high a page, head and foot on every page.
        f.write('KAVEL.PRINT_INIT("2,000-row table");\n'
                'KAVEL.SET_PRINT_PAGESIZE(1, 2100, 2970, "A4");\n'
                "KAVEL.ADD_PRINT_TABLE(40, 40, 700, 1000, %s);\n" % json.dumps(document))


def main(argv):
    if len(argv) >= 3 and argv[1] == "pre":
        write_pre(argv[2], int(argv[3]) if len(argv) > 3 else 10000)
    elif len(argv) == 3 and argv[1] == "invoice":
        write_invoice(argv[2])
    elif len(argv) == 4 and argv[1] == "table":
        write_table(argv[2], argv[3])
    else:
        sys.stderr.write(__doc__)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
