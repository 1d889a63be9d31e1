// A till receipt sent as ESC/POS commands, unchanged, to a receipt printer. The printer
// needs a raw CUPS queue, which passes the bytes through without a driver; make one with
//   lpinfo -v                                  (lists the devices, e.g. usb://EPSON/TM-T20)
//   lpadmin -p Receipt -E -v usb://EPSON/TM-T20 -m raw
// and name it below.
var QUEUE = "Receipt";

var ESC = "\x1B", GS = "\x1D";
function line(left, right) {
  var gap = 32 - left.length - right.length;  // 32 characters on 58 mm paper
  return left + new Array(Math.max(gap, 1) + 1).join(" ") + right + "\n";
}
var items = [["Flat white", 2, 3.80], ["Almond croissant", 1, 3.20], ["Water 0.5 l", 1, 1.50]];
var total = 0;
var receipt = ESC + "@"                      // reset the printer
    + ESC + "a" + "\x01"                     // centred
    + ESC + "!" + "\x30" + "KAVEL CAFE\n"    // double height and width
    + ESC + "!" + "\x00" + "12 Harbour Road\n\n"
    + ESC + "a" + "\x00";                    // left
for (var i = 0; i < items.length; i++) {
  var amount = items[i][1] * items[i][2];
  total += amount;
  receipt += line(items[i][1] + " x " + items[i][0], amount.toFixed(2));
}
receipt += new Array(33).join("-") + "\n"
    + ESC + "E" + "\x01" + line("TOTAL EUR", total.toFixed(2)) + ESC + "E" + "\x00"
    + "\n" + ESC + "a" + "\x01" + "Thank you\n"
    + GS + "V" + "\x42" + "\x03";            // feed three lines and cut

if (KAVEL.SET_PRINTER_INDEXA(QUEUE) !== true) {
  throw new Error("there is no printer queue \"" + QUEUE + "\"; make a raw one: " +
                  "lpadmin -p " + QUEUE + " -E -v DEVICE-URI -m raw (lpinfo -v lists devices)");
}
if (KAVEL.SEND_PRINT_RAWDATA(receipt) !== true) {
  throw new Error("the receipt did not reach " + QUEUE);
}
console.log("receipt sent to " + QUEUE + " (" + receipt.length + " bytes)");
