// Writes and reads a local text file. The control never creates a file: make it first
//   touch /tmp/kavel-example.txt
// The first access asks whether this page may read and write the file; without a display,
// `kavel run examples/local-file.js --answer always` allows it for good (the grant is kept
// in FileAccessSetups.ini in the settings folder) and later runs ask no more.
var FILE = "/tmp/kavel-example.txt";

if (!KAVEL.IS_FILE_EXIST(FILE)) {
  throw new Error(FILE + " does not exist; make it first: touch " + FILE);
}
var status = KAVEL.WRITE_FILE_TEXT(0, FILE, "Order 1001 printed");  // replaces the content
if (status !== "ok") throw new Error("writing " + FILE + " answered " + status);
KAVEL.WRITE_FILE_TEXT(1, FILE, "Order 1002 printed");              // appends a line
KAVEL.WRITE_FILE_TEXT(2, FILE, "Print log");                       // inserts a first line

// Each line comes back ending in CR LF.
console.log(KAVEL.GET_FILE_TEXT(FILE).replace(/\r\n$/, "").split("\r\n").join("\n"));
console.log("last written " + KAVEL.GET_FILE_TIME(FILE));
