// Opens the print designer on a small shipping label. Move, size and restyle the items,
// press " 应用 " to keep the layout for the task; every later print or preview of the task
// "Designer example" comes out adjusted (the window's " 打印 " button prints it at once).
//   build/kavel run examples/designer.js --gui
// Without --gui the designer is laid out and pictured headless (--screenshot DIR).
KAVEL.PRINT_INIT("Designer example");
KAVEL.SET_PRINT_PAGESIZE(1, 1500, 1000, "Label");

KAVEL.SET_PRINT_STYLE("FontSize", 16);
KAVEL.SET_PRINT_STYLE("Bold", 1);
KAVEL.ADD_PRINT_TEXTA("title", 20, 30, 300, 30, "SHIPPING LABEL 发货标签");
KAVEL.SET_PRINT_STYLE("FontSize", 10);
KAVEL.SET_PRINT_STYLE("Bold", 0);
KAVEL.ADD_PRINT_LINE(58, 30, 58, 530, 0, 2);
KAVEL.ADD_PRINT_TEXT(70, 30, 250, 20, "From: Harbour Supplies Ltd.");
KAVEL.ADD_PRINT_TEXT(92, 30, 250, 20, "12 Quay Road, Ningbo");
KAVEL.ADD_PRINT_RECT(130, 30, 500, 110, 0, 1);
KAVEL.SET_PRINT_STYLE("FontSize", 14);
KAVEL.ADD_PRINT_TEXT(145, 45, 460, 24, "To: Warehouse 3, Gate B");
KAVEL.ADD_PRINT_TEXT(175, 45, 460, 24, "Dock Street 7, Shanghai");
KAVEL.SET_PRINT_STYLE("FontSize", 9);
KAVEL.ADD_PRINT_ELLIPSE(260, 430, 100, 60, 1, 1);
KAVEL.ADD_PRINT_TEXTA("footer", 340, 30, 200, 20, "Parcel 1 of 1");

KAVEL.PRINT_SETUP();
