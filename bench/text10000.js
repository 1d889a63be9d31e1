// The long text task of the benchmarks: the 10,000 lines of a <pre> as one multi-page
// text item, 10 pt DejaVu Sans Mono on A4 with 10 mm margins (38 px at 96 px per inch).
// kavel_bench builds the same task in C++; gen_html.py writes it as HTML.
KAVEL.PRINT_INIT("Text lines");
KAVEL.SET_PRINT_PAGESIZE(1, 2100, 2970, "A4");
KAVEL.SET_PRINT_STYLE("FontName", "DejaVu Sans Mono");
KAVEL.SET_PRINT_STYLE("FontSize", 10);

function pad(n, width) {
  var s = String(n);
  while (s.length < width) s = "0" + s;
  return s;
}
var lines = [];
for (var i = 0; i < 10000; i++) lines.push(pad(i, 5) + " line of text " + pad(i * 37 % 1000, 3));

KAVEL.ADD_PRINT_TEXT(38, 38, 718, 1047, lines.join("\n"));
KAVEL.SET_PRINT_STYLEA(1, "ItemType", 4);  // multi-page: continues on the following pages
