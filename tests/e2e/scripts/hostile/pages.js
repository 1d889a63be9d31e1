// A task that needs more pages than a print may have: the pages up to the limit print,
// and the user is told the rest did not.
KAVEL.PRINT_INIT("many pages");
KAVEL.ADD_PRINT_TEXT(10, 10, 300, 20, "first");
for (var i = 0; i < 2100; i++) KAVEL.NewPage();
KAVEL.ADD_PRINT_TEXT(10, 10, 300, 20, "beyond the limit");
if (KAVEL.PRINT() !== false) throw new Error("a cut task counted as printed");
