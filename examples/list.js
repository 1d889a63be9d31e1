// A long list over many pages: a header and a rule on every page, the rows flowing
// from page to page at the same height, and "第#页/共&页" in the footer.
KAVEL.PRINT_INIT("Stock list example");
KAVEL.SET_PRINT_PAGESIZE(1, 2100, 2970, "A4");

KAVEL.ADD_PRINT_TEXTA("head", 40, 60, 674, 24, "Warehouse 3 — stock list 库存清单");
KAVEL.SET_PRINT_STYLEA("head", "FontSize", 14);
KAVEL.SET_PRINT_STYLEA("head", "Bold", 1);
KAVEL.SET_PRINT_STYLEA("head", "ItemType", 1);
KAVEL.ADD_PRINT_LINE(70, 60, 70, 734, 0, 1);
KAVEL.SET_PRINT_STYLEA(2, "ItemType", 1);

var rows = [];
for (var i = 1; i <= 400; i++) {
  var code = ("0000" + i).slice(-5);
  rows.push(code + "    Article " + code + "    bin " + (i % 37 + 1) + "    qty " + ((i * 7919) % 500));
}
KAVEL.SET_PRINT_STYLE("FontName", "Courier New");
KAVEL.SET_PRINT_STYLE("FontSize", 10);
KAVEL.ADD_PRINT_TEXT(90, 60, 674, 960, rows.join("\n"));
KAVEL.SET_PRINT_STYLEA(3, "ItemType", 4);  // continues over pages

KAVEL.SET_PRINT_STYLE("FontName", "宋体");
KAVEL.SET_PRINT_STYLE("FontSize", 9);
KAVEL.SET_PRINT_STYLE("Alignment", 2);
KAVEL.ADD_PRINT_TEXT(1080, 60, 674, 20, "第#页/共&页");
KAVEL.SET_PRINT_STYLEA(4, "ItemType", 2);
