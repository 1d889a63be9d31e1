// The invoice of the benchmarks (as examples/invoice.js): positioned texts, lines and
// boxes on A4. kavel_bench builds the same task in C++; gen_html.py writes it as HTML.
KAVEL.PRINT_INIT("Invoice example");
KAVEL.SET_PRINT_PAGESIZE(1, 2100, 2970, "A4");

KAVEL.SET_PRINT_STYLE("FontName", "黑体");
KAVEL.SET_PRINT_STYLE("FontSize", 20);
KAVEL.SET_PRINT_STYLE("Bold", 1);
KAVEL.ADD_PRINT_TEXTA("title", 40, 60, 400, 40, "销售发票  INVOICE");
KAVEL.SET_PRINT_STYLE("FontSize", 10);
KAVEL.SET_PRINT_STYLE("Bold", 0);
KAVEL.SET_PRINT_STYLE("FontName", "宋体");

KAVEL.ADD_PRINT_TEXT(50, 520, 220, 20, "No. 2026-12-0042");
KAVEL.ADD_PRINT_TEXT(72, 520, 220, 20, "Date: 2026-12-06");
KAVEL.ADD_PRINT_LINE(100, 60, 100, 734, 0, 2);

KAVEL.ADD_PRINT_TEXT(115, 60, 320, 20, "Bill to: Harbour Supplies Ltd.");
KAVEL.ADD_PRINT_TEXT(135, 60, 320, 20, "12 Quay Road, Ningbo");
KAVEL.ADD_PRINT_TEXT(115, 420, 320, 20, "Ship to: Warehouse 3");
KAVEL.ADD_PRINT_TEXT(135, 420, 320, 20, "Gate B, Dock Street 7");

var top = 180, rowHeight = 26;
var columns = [[60, "Item"], [360, "Qty"], [450, "Unit price"], [600, "Amount"]];
KAVEL.ADD_PRINT_RECT(top, 60, 674, rowHeight, 0, 1);
KAVEL.SET_PRINT_STYLE("Bold", 1);
for (var c = 0; c < columns.length; c++) {
  KAVEL.ADD_PRINT_TEXT(top + 6, columns[c][0] + 6, 140, 20, columns[c][1]);
}
KAVEL.SET_PRINT_STYLE("Bold", 0);

var rows = [["Steel brackets M8", 120, 2.40], ["Hex bolts 40 mm", 500, 0.18],
            ["Shelf boards 1200 mm", 24, 31.50], ["Cable ties (box)", 10, 6.90],
            ["Delivery", 1, 45.00]];
var total = 0;
for (var r = 0; r < rows.length; r++) {
  var y = top + rowHeight * (r + 1);
  var amount = rows[r][1] * rows[r][2];
  total += amount;
  KAVEL.ADD_PRINT_RECT(y, 60, 674, rowHeight, 0, 1);
  KAVEL.ADD_PRINT_TEXT(y + 6, 66, 290, 20, rows[r][0]);
  KAVEL.ADD_PRINT_TEXT(y + 6, 366, 80, 20, String(rows[r][1]));
  KAVEL.ADD_PRINT_TEXT(y + 6, 456, 140, 20, rows[r][2].toFixed(2));
  KAVEL.ADD_PRINT_TEXT(y + 6, 606, 120, 20, amount.toFixed(2));
}
var bottom = top + rowHeight * (rows.length + 1);
KAVEL.ADD_PRINT_LINE(top, 354, bottom, 354, 0, 1);
KAVEL.ADD_PRINT_LINE(top, 444, bottom, 444, 0, 1);
KAVEL.ADD_PRINT_LINE(top, 594, bottom, 594, 0, 1);

KAVEL.SET_PRINT_STYLE("FontSize", 12);
KAVEL.SET_PRINT_STYLE("Bold", 1);
KAVEL.SET_PRINT_STYLE("Alignment", 3);
KAVEL.ADD_PRINT_TEXT(bottom + 14, 434, 300, 24, "Total: " + total.toFixed(2) + " CNY");
KAVEL.SET_PRINT_STYLE("Alignment", 1);
KAVEL.SET_PRINT_STYLE("Bold", 0);
KAVEL.SET_PRINT_STYLE("FontSize", 9);
KAVEL.SET_PRINT_STYLE("FontColor", "#555555");
KAVEL.ADD_PRINT_TEXT(1040, 60, 674, 20, "Payment within 30 days to account 6222 0000 1234 5678. Thank you for your business.");
KAVEL.ADD_PRINT_ELLIPSEA(980, 560, 150, 60, 0, 2, 0x0000C0);
KAVEL.SET_PRINT_STYLE("FontColor", "red");
KAVEL.ADD_PRINT_TEXT(1000, 590, 100, 20, "PAID");
