// A delivery note of 300 lines: a positioned header and footer on every page, and between
// them an HTML table whose head and foot repeat on each page.
KAVEL.PRINT_INIT("Delivery table example");
KAVEL.SET_PRINT_PAGESIZE(1, 2100, 2970, "A4");

KAVEL.ADD_PRINT_TEXTA("head", 30, 40, 500, 26, "Harbour Supplies Ltd. — delivery note 2026-0412");
KAVEL.SET_PRINT_STYLEA("head", "FontName", "Arial");
KAVEL.SET_PRINT_STYLEA("head", "FontSize", 14);
KAVEL.SET_PRINT_STYLEA("head", "Bold", 1);
KAVEL.SET_PRINT_STYLEA("head", "ItemType", 1);
KAVEL.ADD_PRINT_LINE(62, 40, 62, 754, 0, 1);
KAVEL.SET_PRINT_STYLEA(2, "ItemType", 1);

var rows = "";
for (var i = 1; i <= 300; i++) {
  rows += "<tr><td>" + i + "</td><td>A-" + (1000 + i) + "</td><td>Article number " + i +
          (i % 7 == 0 ? ", galvanised, packed in boxes of ten" : "") +
          "</td><td align=right>" + (i % 12 + 1) + "</td><td align=right>" +
          (i * 1.75).toFixed(2) + "</td></tr>";
}
KAVEL.ADD_PRINT_TABLE(80, 40, 714, 960,
  "<table border=1 cellspacing=0 cellpadding=3 width=100% " +
  "style='border-collapse:collapse;font-family:Arial;font-size:12px'>" +
  "<thead><tr style='background:#dde6f0'><th>No.</th><th>Article</th><th>Description</th>" +
  "<th>Qty</th><th>Price</th></tr></thead><tbody>" + rows + "</tbody>" +
  "<tfoot><tr><td colspan=5 style='font-style:italic'>Goods remain our property until paid " +
  "in full.</td></tr></tfoot></table>");

KAVEL.ADD_PRINT_TEXTA("foot", 1060, 40, 400, 20, "Page #/&");
KAVEL.SET_PRINT_STYLEA("foot", "ItemType", 2);
