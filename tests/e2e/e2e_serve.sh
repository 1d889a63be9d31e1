# The print service driven by a real browser: a headless Chromium loads an ordinary page
# from a separate web server; with kavel.js the page prints a task to a CUPS capture queue,
# shows an embedded preview, survives a restart of the service and prints to the PDF
# printer; a page of an origin not allowed is refused with a clear error.
source "$(dirname "$0")/lib.sh"
CHROMIUM=${KAVEL_CHROMIUM:-/usr/lib/chromium/chromium}
CAP=${KAVEL_CUPS_DIR:-/tmp/kavel-cups}/cap2
if ! lpstat -r 2>/dev/null | grep -q "is running"; then
    [ "${KAVEL_NO_CUPS:-}" = 1 ] && { echo "skipped: no CUPS"; exit 0; }
    fail "cupsd is not running: run scripts/cups-start.sh"
fi
[ -x "$CHROMIUM" ] || fail "no browser at $CHROMIUM"

PIDS=()
cleanup() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
SERVICE_PORT=$(free_port)
PAGE_PORT=$(free_port)
REPORTS=$WORK/reports
mkdir -p "$REPORTS"
TASK="Serve check $$"
TASK_Q=$(python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1]))' "$TASK")

start_service() {
    "$KAVEL" serve --port "$SERVICE_PORT" --allow "http://127.0.0.1:$PAGE_PORT" \
        --settings "$WORK/settings" "$@" >>"$WORK/service.log" 2>&1 &
    SERVICE=$!
    PIDS+=("$SERVICE")
    for i in $(seq 100); do
        curl -sf "http://127.0.0.1:$SERVICE_PORT/kavel.js" -o /dev/null && return
        sleep 0.1
    done
    cat "$WORK/service.log" >&2
    fail "the service did not start"
}
browse() {
    "$CHROMIUM" --headless --no-sandbox --disable-gpu --no-first-run --disable-sync \
        --disable-background-networking --disable-component-update \
        --user-data-dir="$WORK/browser-$1" "$2" >/dev/null 2>&1 &
    PIDS+=("$!")
}
wait_report() {
    for i in $(seq 600); do
        [ -f "$REPORTS/$1.json" ] && { cat "$REPORTS/$1.json"; return; }
        sleep 0.1
    done
    cat "$WORK/service.log" >&2
    fail "the page sent no report \"$1\""
}
field() { python3 -c 'import json,sys; v=json.load(open(sys.argv[1]))[sys.argv[2]]; print(json.dumps(v) if not isinstance(v,str) else v)' "$REPORTS/$1.json" "$2"; }

python3 "$HERE/serve/page_server.py" "$PAGE_PORT" "$REPORTS" &
PIDS+=("$!")
start_service

# The service's own pages.
# (Fetched whole before looking: grep -q stops reading at its match, and with pipefail the
# writer's broken pipe would fail the check.)
curl -sf "http://127.0.0.1:$SERVICE_PORT/kavel.d.ts" -o "$WORK/kavel.d.ts" &&
    grep -q "ADD_PRINT_TEXT(intTop?: number" "$WORK/kavel.d.ts" || fail "kavel.d.ts declares the members"
curl -sf "http://127.0.0.1:$SERVICE_PORT/" -o "$WORK/status.html" &&
    grep -q "127.0.0.1:$PAGE_PORT" "$WORK/status.html" || fail "the status page"
[ "$(curl -s -o /dev/null -w '%{http_code}' -H "Host: printer.example.com:$SERVICE_PORT" \
    "http://127.0.0.1:$SERVICE_PORT/kavel.js")" = 403 ] || fail "a foreign Host header is refused"
pass "kavel.js, kavel.d.ts and the status page are served to this machine's names only"

browse main "http://127.0.0.1:$PAGE_PORT/print.html?service=$SERVICE_PORT&task=$TASK_Q"
browse refused "http://localhost:$PAGE_PORT/refused.html?service=$SERVICE_PORT"

wait_report first >/dev/null
[ "$(field first failed 2>/dev/null || true)" = "" ] || fail "the page failed: $(field first failed)"
[ "$(field first printed)" = true ] || fail "PRINT answered $(field first printed)"
[ "$(field first chosen)" = true ] || fail "KavelCap2 was not chosen"
[ "$(field first thenable)" = undefined ] || fail "the control object is a thenable"
[ "$(field first moduleWorks)" = true ] || fail "kavel.mjs does not import as an ES module"
[ "$(field first host)" = "http://127.0.0.1:$PAGE_PORT" ] || fail "BURL_HOST is $(field first host)"
field first unknown | grep -q "did you mean PRINT_INIT" || fail "an unknown member: $(field first unknown)"
field first events | grep -q OnCreate || fail "the create event did not reach the page"
# The captured document of the job with the title.
captured() {
    local meta=
    for i in $(seq 100); do
        meta=$(grep -lx "title=$1" "$CAP"/job-*.txt 2>/dev/null | head -1) && [ -n "$meta" ] && break
        sleep 0.1
    done
    [ -n "$meta" ] || fail "no job titled \"$1\" arrived in $CAP"
    echo "${meta%.txt}.pdf"
}
pdf=$(captured "$TASK cups")
[ "$(pages_of "$pdf")" = 2 ] || fail "the captured job has $(pages_of "$pdf") pages"
pdftotext "$pdf" - | grep -q "Second page from the web" || fail "the captured job's text"
pass "a page prints a two-page task through kavel.js to a CUPS queue; events reach it"

[ "$(field first previewPages)" = 3 ] || fail "the embedded preview has $(field first previewPages) pages"
[ "$(field first previewLabel)" = "2 / 3" ] || fail "preview navigation: $(field first previewLabel)"
[ "$(field first pictureWidth)" -gt 100 ] || fail "the preview picture"
[ "$(field first previewPrinted)" = true ] || fail "the preview's print button: $(field first previewPrinted)"
[ "$(pages_of "$(captured "$TASK preview")")" = 3 ] || fail "the previewed task's printed pages"
pass "the embedded preview draws the task's three pages in the page, with navigation and print"

wait_report refused >/dev/null
[ "$(field refused connected)" = false ] || fail "a page of an origin not allowed connected"
field refused error | grep -q "http://localhost:$PAGE_PORT may not print on this computer" \
    || fail "the refusal says: $(field refused error)"
field refused error | grep -q -- "--allow" || fail "the refusal does not say how to allow"
pass "a page of an origin not allowed is refused, and told how it could be allowed"

# The service goes and comes back (now printing to the PDF printer): the page reconnects.
kill "$SERVICE"
wait "$SERVICE" 2>/dev/null || true
sleep 1
start_service --pdf "$WORK/restarted.pdf"
wait_report second >/dev/null
[ "$(field second again)" = true ] || fail "printing after the restart answered $(field second again)"
field second whileGone | grep -q "kavel serve" || fail "a call while the service is gone: $(field second whileGone)"
[ "$(pages_of "$WORK/restarted.pdf")" = 1 ] || fail "the PDF printer's document"
pdftotext "$WORK/restarted.pdf" - | grep -q "Printed again after a restart" || fail "the PDF's text"
pass "after a restart of the service the page reconnects and prints to the PDF printer"

echo "$PASSED passed"
