// A delivery note with HTML content: the company logo as a picture item, the note's body as
// an HTML picture item laid out by the browser, and a ruled form as the background picture
// of the preview. Relative addresses resolve against this script's folder.
KAVEL.PRINT_INIT("Delivery note example");
KAVEL.SET_PRINT_PAGESIZE(1, 2100, 2970, "A4");
KAVEL.ADD_PRINT_SETUP_BKIMG('<img src="pictures/form-background.png">');
KAVEL.SET_SHOW_MODE("BKIMG_IN_PREVIEW", 1);

KAVEL.ADD_PRINT_IMAGE(20, 40, 160, 80, '<img src="pictures/logo.png" width="160" height="80">');
KAVEL.ADD_PRINT_TEXTA("title", 40, 420, 320, 30, "Delivery note 2026-0412");
KAVEL.SET_PRINT_STYLEA("title", "FontName", "Arial");
KAVEL.SET_PRINT_STYLEA("title", "FontSize", 16);
KAVEL.SET_PRINT_STYLEA("title", "Bold", 1);

var rows = "";
var goods = [["A-100", "Steel bracket, galvanised", 24, "pcs"],
             ["B-220", "Hex bolt M8 x 40", 400, "pcs"],
             ["C-031", "Cable tray 2 m", 12, "pcs"],
             ["D-007", "Mounting rail 35 mm", 30, "m"]];
for (var i = 0; i < goods.length; i++) {
  var g = goods[i];
  rows += "<tr><td>" + g[0] + "</td><td>" + g[1] + "</td><td align=right>" + g[2] +
          "</td><td>" + g[3] + "</td></tr>";
}
KAVEL.ADD_PRINT_HTML(130, 40, 700, 500,
  "<style>body,td,th{font-family:Arial;font-size:13px} table{border-collapse:collapse;width:100%}" +
  " td,th{border:1px solid #555;padding:4px 6px} th{background:#dde6f0;text-align:left}</style>" +
  "<p><b>To:</b> Anna Berg, 12 Harbour Road, Ningbo<br><b>Order:</b> 77-3120 of 2 December 2026</p>" +
  "<table><tr><th>Article</th><th>Description</th><th>Quantity</th><th>Unit</th></tr>" + rows +
  "</table><p style='color:#a03020'>Please check the goods on arrival and sign below.</p>");
