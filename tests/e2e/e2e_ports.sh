# Local services in whole runs: text files granted, refused and remembered per site (the
# ways around a grant are tested in tests/local); a serial port played by a socat
# pseudo-terminal pair (line settings, bytes both ways, the end mark, the time-out, a busy
# or missing port); raw printer data through CUPS to a capture queue, byte for byte, and to
# a queue that refuses it.
source "$(dirname "$0")/lib.sh"
command -v socat >/dev/null || fail "socat is missing: run scripts/install-deps.sh"
SETTINGS=$WORK/settings/Tarvenhold/Kavel
mkdir -p "$SETTINGS" "$WORK/docs"

# ---- Files --------------------------------------------------------------------------------
DOC=$WORK/docs/note.txt
printf 'a\nb' >"$DOC"
cat >"$WORK/files.js" <<JS
console.log("read=" + JSON.stringify(KAVEL.GET_FILE_TEXT("$DOC")));
console.log("write=" + KAVEL.WRITE_FILE_TEXT(1, "$WORK/docs/../docs/note.txt", "x"));
console.log("missing=" + KAVEL.WRITE_FILE_TEXT(0, "$WORK/docs/none.txt", "x"));
console.log("exists=" + KAVEL.IS_FILE_EXIST("$DOC") + "," + KAVEL.IS_FILE_EXIST("$WORK/docs"));
JS
expect_status 0 "$WORK/files.js" --answer cancel --screenshot "$WORK/shots"
grep -qx 'read=""' "$WORK/out.txt" && grep -qx 'write=do nothing' "$WORK/out.txt" \
    && grep -qx 'missing=do nothing' "$WORK/out.txt" && grep -qx 'exists=true,false' "$WORK/out.txt" \
    || { cat "$WORK/out.txt"; fail "refused file access"; }
compgen -G "$WORK/shots/*-AskForm.png" >/dev/null || fail "the question form was not shown"
[ ! -e "$SETTINGS/FileAccessSetups.ini" ] || fail "a refusal was remembered"
pass "refused: nothing read or written, the question shown each time, nothing remembered"

expect_status 0 "$WORK/files.js" --answer ok --answer always
grep -qx 'read="a\\r\\nb\\r\\n"' "$WORK/out.txt" && grep -qx 'write=ok' "$WORK/out.txt" \
    && grep -qx 'missing=file not exist' "$WORK/out.txt" || { cat "$WORK/out.txt"; fail "granted"; }
[ "$(od -An -c "$DOC" | tr -d ' \n')" = 'a\r\nb\r\nx\r\n' ] || fail "the appended file: $(od -c "$DOC")"
grep -qx "$DOC=1" "$SETTINGS/FileAccessSetups.ini" || fail "the grant (canonical path) was not kept"
[ ! -e "$WORK/docs/none.txt" ] || fail "a write created a file"
pass "granted once, then for good (kept under the canonical path); status texts; no file created"

expect_status 0 "$WORK/files.js" --answer cancel
grep -qx 'read="a\\r\\nb\\r\\nx\\r\\n"' "$WORK/out.txt" || { cat "$WORK/out.txt"; fail "remembered"; }
pass "a grant for good is remembered by the next run"

sed "s|^var FILE = .*|var FILE = \"$WORK/docs/example.txt\";|" "$SRC/examples/local-file.js" \
    >"$WORK/local-file.js"
expect_status 1 "$WORK/local-file.js"
grep -q "example.txt does not exist; make it first" "$WORK/out.txt" || fail "the example's hint"
touch "$WORK/docs/example.txt"
expect_status 0 "$WORK/local-file.js" --answer always
[ "$(grep -A2 -x 'Print log' "$WORK/out.txt")" = "$(printf 'Print log\nOrder 1001 printed\nOrder 1002 printed')" ] \
    || { cat "$WORK/out.txt"; fail "the local-file example"; }
pass "the local-file example writes and reads a granted file"

# ---- A serial port on a pseudo-terminal pair --------------------------------------------
socat pty,raw,echo=0,link="$WORK/com" pty,raw,echo=0,link="$WORK/peer" 2>/dev/null &
SOCAT=$!
trap 'kill $SOCAT 2>/dev/null; rm -rf "$WORK"' EXIT
for _ in $(seq 50); do [ -e "$WORK/peer" ] && break; sleep 0.1; done
printf '[Ports]\nCOM3=%s\nCOM9=%s\n' "$WORK/com" "$WORK/nothing" >"$SETTINGS/PortMap.ini"

cat >"$WORK/mode.js" <<'JS'
if (KAVEL.WRITE_PORT_DATA("com3", "mode  com3: 19200,n,8,2,400") !== true) throw new Error("MODE");
if (KAVEL.WRITE_PORT_DATA("COM3", "MODE COM3:9600,E,7,1") !== false)
  throw new Error("7 data bits counted as set on a pseudo-terminal, which keeps 8");
JS
expect_status 0 "$WORK/mode.js"
settings=$(stty -F "$WORK/com" -a)
grep -q 'speed 19200 baud' <<<"$settings" && grep -qw cstopb <<<"$settings" \
    && grep -qw cs8 <<<"$settings" && grep -qw -- -parenb <<<"$settings" \
    || { echo "$settings"; fail "the MODE settings did not arrive"; }
pass "MODE sets speed, parity, data and stop bits (stty on the device); a setting not taken answers false and is put back"

timeout 10 head -c 22 "$WORK/peer" >"$WORK/got" &
READER=$!
sleep 0.2
cat >"$WORK/write.js" <<'JS'
var data = "\x1B@MODE text\n\x00\x01\xFE\xFF end\r\n";
if (KAVEL.WRITE_PORT_DATA("COM3", data) !== true) throw new Error("write");
JS
expect_status 0 "$WORK/write.js"
wait $READER || fail "the data did not arrive whole"
printf '\033@MODE text\n\000\001\376\377 end\r\n' | cmp -s - "$WORK/got" \
    || fail "the bytes differ: $(od -c "$WORK/got")"
pass "data written arrives byte for byte, without a line end or translation"

cat >"$WORK/read.js" <<'JS'
// Time-outs stay with the port for the life of the process, line settings with the device;
// MODE discards what was received before it.
if (KAVEL.WRITE_PORT_DATA("COM3", "MODE COM3:19200,N,8,1,1000") !== true) throw new Error("MODE");
console.log("first=" + JSON.stringify(KAVEL.READ_PORT_DATA("COM3")));
var start = Date.now();
console.log("second=" + JSON.stringify(KAVEL.READ_PORT_DATA("COM3")));
var waited = Date.now() - start;
if (waited < 900 || waited > 2500) throw new Error("the read time-out took " + waited + " ms");
JS
(sleep 0.6; printf 'weight 12.5 kg\032tail' >"$WORK/peer") &
expect_status 0 "$WORK/read.js"
grep -qx 'first="weight 12.5 kg"' "$WORK/out.txt" && grep -qx 'second="tail"' "$WORK/out.txt" \
    || { cat "$WORK/out.txt"; fail "reading to the end mark"; }
pass "reading stops at the end mark (0x1A), the rest is read next, and the time-out ends a read"

flock -x "$WORK/com" -c 'sleep 3' &
LOCKER=$!
sleep 0.3
cat >"$WORK/busy.js" <<'JS'
var start = Date.now();
console.log("busy=" + KAVEL.WRITE_PORT_DATA("COM3", "x"));
console.log("read=" + JSON.stringify(KAVEL.READ_PORT_DATA("COM3")));
console.log("missing=" + KAVEL.WRITE_PORT_DATA("COM9", "x"));
console.log("prn=" + KAVEL.WRITE_PORT_DATA("prn", "x"));
if (Date.now() - start > 1500) throw new Error("failing ports waited");
JS
expect_status 0 "$WORK/busy.js"
kill $LOCKER 2>/dev/null || true
grep -qx 'busy=false' "$WORK/out.txt" && grep -q 'message: ReadPortData Error：.*is busy' "$WORK/out.txt" \
    && grep -qx 'missing=false' "$WORK/out.txt" && grep -qx 'prn=false' "$WORK/out.txt" \
    && grep -qF 'message: the port "PRN" can not found!' "$WORK/out.txt" \
    || { cat "$WORK/out.txt"; fail "busy and missing ports"; }
pass "a busy, missing or unknown port answers its failure at once"

# ---- Raw printer data through CUPS ------------------------------------------------------
if ! lpstat -r 2>/dev/null | grep -q "is running"; then
    [ "${KAVEL_NO_CUPS:-}" = 1 ] && { echo "$PASSED passed, raw data skipped: no CUPS"; exit 0; }
    fail "cupsd is not running: run scripts/cups-start.sh"
fi
CAP=${KAVEL_CUPS_DIR:-/tmp/kavel-cups}/cap
REFUSING=${KAVEL_REFUSING_QUEUE:-KavelRefuse}
TOKEN="ports$$"
# The capture file of the job whose name holds the token (other runs share the queue).
job_data() {
    local meta
    for _ in $(seq 100); do
        meta=$(grep -l "^title=SendRawData:.*$1" "$CAP"/job-*.txt 2>/dev/null | head -1)
        [ -n "$meta" ] && { echo "${meta%.txt}.pdf"; return; }
        sleep 0.1
    done
}
cat >"$WORK/raw.js" <<JS
if (KAVEL.SET_PRINTER_INDEXA("KavelCap") !== true) throw new Error("no KavelCap queue");
var escpos = "\x1B@\x1Ba\x01ESCPOS $TOKEN\n\x1B!\x30Total 9.50\n\x00\xFF\x1DV\x42\x03";
var zpl = "^XA^FO40,40^A0N,40,40^FDZPL $TOKEN^FS^BY2^FO40,100^BCN,80,Y,N,N^FD4006381333931^FS^XZ\r\n";
if (KAVEL.SEND_PRINT_RAWDATA(escpos) !== true) throw new Error("ESC/POS");
if (KAVEL.SEND_PRINT_RAWDATA(zpl) !== true) throw new Error("ZPL");
JS
expect_status 0 "$WORK/raw.js"
got=$(job_data "ESCPOS $TOKEN")
[ -n "$got" ] || fail "no ESC/POS job arrived in $CAP"
printf '\033@\033a\001ESCPOS %s\n\033!0Total 9.50\n\000\377\035VB\003' "$TOKEN" | cmp -s - "$got" \
    || fail "the ESC/POS bytes differ: $(od -c "$got" | head)"
got=$(job_data "ZPL $TOKEN")
[ -n "$got" ] || fail "no ZPL job arrived in $CAP"
printf '^XA^FO40,40^A0N,40,40^FDZPL %s^FS^BY2^FO40,100^BCN,80,Y,N,N^FD4006381333931^FS^XZ\r\n' \
    "$TOKEN" | cmp -s - "$got" || fail "the ZPL bytes differ"
pass "ESC/POS and ZPL data arrive at the task's raw queue exactly as sent"

sed 's/^var QUEUE = .*/var QUEUE = "KavelCap";/' "$SRC/examples/receipt-raw.js" >"$WORK/receipt.js"
expect_status 0 "$WORK/receipt.js"
grep -q 'receipt sent to KavelCap' "$WORK/out.txt" || { cat "$WORK/out.txt"; fail "the receipt example"; }
pass "the receipt example prints through a raw queue"

cat >"$WORK/refused.js" <<JS
if (KAVEL.SET_PRINTER_INDEXA("$REFUSING") !== true) throw new Error("no $REFUSING queue");
console.log("sent=" + KAVEL.SEND_PRINT_RAWDATA("^XA^FDrefused^FS^XZ"));
JS
expect_status 3 "$WORK/refused.js"
grep -qx 'sent=false' "$WORK/out.txt" \
    && grep -qF "message: SEND_PRINT_RAWDATA Error:The raw print job on \"$REFUSING\" was refused: the printer is not accepting jobs" \
        "$WORK/out.txt" || { cat "$WORK/out.txt"; fail "the refused raw job"; }
pass "raw data to a queue that refuses it answers false with the reason and fails the run"

echo "$PASSED passed, 0 failed"
