// A styled HTML document as the browser lays it out, printed as text, boxes and pictures:
// headings, bold and italic runs, a bordered box, a picture and Chinese text.
KAVEL.PRINT_INIT("HTML document example");
KAVEL.SET_PRINT_PAGESIZE(1, 2100, 2970, "A4");
KAVEL.ADD_PRINT_HTM(40, 60, 674, 1000,
  "<style>body{font-family:Arial;font-size:14px;line-height:1.4}" +
  " h1{font-size:26px;color:#203060;margin:0 0 8px} h2{font-size:18px;margin:18px 0 6px}" +
  " .box{border:2px solid #203060;background:#eef2f8;padding:10px 14px}</style>" +
  "<h1>Service report</h1>" +
  "<p>The <b>annual inspection</b> of the packing line took place on <i>2 December 2026</i>. " +
  "All stations were checked against the maintenance plan; the findings are below.</p>" +
  "<h2>Findings</h2>" +
  "<div class=box><b>Station 3:</b> the label printer's head was worn and has been replaced. " +
  "<i>No further action is needed.</i></div>" +
  "<p><img src='pictures/logo.png' width=120 height=60 style='float:right;margin-left:12px'>" +
  "The line ran at full speed after the repair. The next inspection is due in twelve months; " +
  "the service team will call two weeks ahead.</p>" +
  "<h2>备注</h2>" +
  "<p style='font-family:宋体'>检查结果良好，所有设备运行正常。下次检查时间为一年以后。" +
  "Mixed text: 标签打印机 label printer.</p>");
