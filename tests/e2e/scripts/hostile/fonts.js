// Blank font names through every way of setting a font; the task prints with the
// default face.
KAVEL.PRINT_INIT("fonts");
KAVEL.SET_PRINT_STYLE("FontName", "");
KAVEL.ADD_PRINT_TEXTA("a", 20, 20, 300, 30, "default style");
KAVEL.ADD_PRINT_TEXTA("b", 60, 20, 300, 30, "style of one item");
KAVEL.SET_PRINT_STYLEA("b", "FontName", null);
KAVEL.ADD_PRINT_TEXTA("c", 100, 20, 300, 30, "text style");
KAVEL.SET_PRINT_TEXT_STYLE(3, "   ", 12, 1, 0, 0, 1);
KAVEL.SET_PRINT_TEXT_STYLEA("c", undefined, 12, 0, 1, 0, 2, "#ff0000");
KAVEL.SET_PRINT_TEXT_STYLEB("c", "", 12, 0, 0, 1, 3, 255);
KAVEL.ADD_PRINT_TEXTA("d", 140, 20, 300, 30, "page #");
KAVEL.SET_PRINT_STYLEA("d", "ItemType", 2);
KAVEL.SET_PRINT_STYLEA("d", "FontName", "");
KAVEL.PREVIEW();
KAVEL.PRINT_INIT("fonts");
KAVEL.SET_PRINT_STYLE("FontName", "");
KAVEL.ADD_PRINT_TEXT(20, 20, 300, 30, "printed with the default face");
if (KAVEL.PRINT() !== true) throw new Error("not printed");
