// Calls members through KAVEL and checks what they answer.
function check(what, got, want) {
  if (got !== want) throw new Error(what + ": got " + JSON.stringify(got) + ", want " + JSON.stringify(want));
}
check("Version", KAVEL.Version, "4.4.4.2");
KAVEL.Version = "1.0";
check("Version after put", KAVEL.VERSION, "4.4.4.2");
KAVEL.Inbrowse = 12;
check("Inbrowse", KAVEL.inbrowse, "12");
check("Caption", KAVEL.Caption, "打印控件已安装好");
KAVEL.Border = 2;
check("Border", KAVEL.Border, 2);
check("PRINT_INIT", KAVEL.PRINT_INIT("members"), true);
check("print_init in lower case", KAVEL.print_init("members"), true);
check("ADD_PRINT_TEXT has no result", KAVEL.ADD_PRINT_TEXT(10, 10, 100, 20, "a"), undefined);
KAVEL.ADD_PRINT_TEXTA("Title", 40, 10, 100, 20, "b");
KAVEL.SET_PRINT_STYLEA("title", "FontSize", 12);
check("NewPage", KAVEL.NewPage(), true);
check("GET_CELL_VALUE", KAVEL.GET_CELL_VALUE(1, 2), undefined);
check("SET_PRINT_MODE", KAVEL.SET_PRINT_MODE("double_sided_print", true), true);
check("SET_PRINT_MODE other", KAVEL.SET_PRINT_MODE("nothing", 1), false);
check("SET_SHOW_MODE", KAVEL.SET_SHOW_MODE("SKIN_TYPE", "3"), true);
check("SET_PRINT_COPIES", KAVEL.SET_PRINT_COPIES(2), true);
var name = KAVEL.GET_PRINT_INIFFNAME("  members ");
check("settings file", /PrintSetups_members\.ini$/.test(name), true);
check("BURL_HOST", KAVEL.BURL_HOST().indexOf("file:") === 0, true);
KAVEL.Color = "#00FF00";
check("Color", KAVEL.Color, 0x00FF00);
var message = "";
try { KAVEL.ADD_PRINT_TXT(1, 1, 1, 1, "x"); } catch (e) { message = e.message; }
check("unknown member", message, "KAVEL has no member ADD_PRINT_TXT; did you mean ADD_PRINT_TEXT?");
check("member test", "PRINT" in KAVEL, true);
var failed = false;
try { KAVEL.NoSuchProperty = 1; } catch (e) { failed = true; }
check("setting an unknown property fails", failed, true);
