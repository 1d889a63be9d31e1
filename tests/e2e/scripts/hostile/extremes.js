// Extreme but legal 32-bit values through every member that takes geometry, pens, fonts,
// paper and copies. Nothing may overflow, crash or flood pages; values beyond the ranges
// are refused with a message, and the one sane item still prints.
var MAX = 2147483647, MIN = -2147483648;
KAVEL.PRINT_INIT("extremes");
KAVEL.SET_PRINT_PAGESIZE(1, MAX, MIN, "");
KAVEL.SET_PRINT_PAGESIZE(2, -1, -1, "");
KAVEL.SET_PRINT_PAPER(MAX, MIN, MAX, MAX, "extremes");
KAVEL.SET_PREVIEW_WINDOW(0, 0, 0, MAX, MAX, "");
var boxes = [[MAX, MAX, MAX, MAX], [MIN, MIN, MIN, MIN], [0, 0, MAX, MAX], [MAX, 0, 1, 1]];
for (var i = 0; i < boxes.length; i++) {
  var b = boxes[i];
  KAVEL.ADD_PRINT_TEXT(b[0], b[1], b[2], b[3], "text");
  KAVEL.ADD_PRINT_TEXTA("t" + i, b[0], b[1], b[2], b[3], "text");
  KAVEL.ADD_PRINT_RECT(b[0], b[1], b[2], b[3], 0, MAX);
  KAVEL.ADD_PRINT_ELLIPSEA(b[0], b[1], b[2], b[3], MAX, MIN, MAX);
  KAVEL.ADD_PRINT_SHAPE(MAX, b[0], b[1], b[2], b[3], MIN, 1, MAX);
  KAVEL.ADD_PRINT_LINE(b[0], b[1], b[2], b[3], 0, 1);
  KAVEL.ADD_PRINT_IMAGE(b[0], b[1], b[2], b[3], "x");
}
KAVEL.ADD_PRINT_TEXTA("ok", 100, 100, 400, 40, "the one sane item");
var keys = ["FontSize", "PenWidth", "Angle", "PenStyle", "ItemType", "HOrient", "VOrient",
            "Stretch", "Alignment", "Bold", "PageIndex", "FontColor"];
var values = [MAX, MIN, -1, 0, 2147483648, -2147483649, 1e308, "99999999999", ""];
for (var k = 0; k < keys.length; k++) {
  for (var v = 0; v < values.length; v++) {
    KAVEL.SET_PRINT_STYLE(keys[k], values[v]);
    KAVEL.SET_PRINT_STYLEA("ok", keys[k] == "PageIndex" ? "Angle" : keys[k], values[v]);
  }
}
KAVEL.SET_PRINT_STYLE("FontSize", 9);
KAVEL.SET_PRINT_STYLE("PenWidth", 1);
KAVEL.SET_PRINT_TEXT_STYLE(1, "Arial", MAX, 1, 1, 1, MAX);
KAVEL.SET_PRINT_TEXT_STYLEA("ok", "", MIN, MIN, MIN, MIN, MIN, MAX);
KAVEL.SET_PRINT_TEXT_STYLEB("ok", "Arial", 12, 0, 0, 0, 2, MIN);
KAVEL.SET_PRINT_PROPERTYA("ok", MAX, MIN, MAX);
KAVEL.SET_PRINTER_INDEX(MAX);
KAVEL.GET_PRINTER_NAME(MIN);
if (KAVEL.PRINT() !== true) throw new Error("the sane item was not printed");
