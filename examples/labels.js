// A sheet of 3 × 8 address labels on A4, each a framed box with three lines.
KAVEL.PRINT_INIT("Label sheet example");
KAVEL.SET_PRINT_PAGESIZE(1, 2100, 2970, "A4");
KAVEL.SET_PRINT_STYLE("FontName", "Arial");
KAVEL.SET_PRINT_STYLE("FontSize", 9);

var names = ["Li Wei", "Anna Berg", "Zhang Min", "Omar Haddad", "Chen Jing", "Marta Silva"];
var cols = 3, rows = 8, width = 240, height = 130, left = 30, top = 40;
for (var r = 0; r < rows; r++) {
  for (var c = 0; c < cols; c++) {
    var n = r * cols + c;
    var x = left + c * (width + 8), y = top + r * (height + 4);
    KAVEL.ADD_PRINT_RECT(y, x, width, height, 2, 1);
    KAVEL.ADD_PRINT_TEXT(y + 14, x + 12, width - 24, 18, names[n % names.length]);
    KAVEL.SET_PRINT_STYLEA(0, "Bold", 0);
    KAVEL.ADD_PRINT_TEXT(y + 36, x + 12, width - 24, 18, (100 + n) + " Harbour Road");
    KAVEL.ADD_PRINT_TEXT(y + 54, x + 12, width - 24, 18, "Ningbo 3150" + (10 + n));
    KAVEL.ADD_PRINT_SHAPE(4, y + 96, x + 12, 60, 18, 0, 1, "#203060");
    KAVEL.ADD_PRINT_TEXT(y + 98, x + 80, 140, 18, "No. " + (5000 + n));
  }
}
