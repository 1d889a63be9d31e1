# Printing for real: a task goes through CUPS to a capture queue that is not the default
# printer and the document that arrives is checked (pages, text, where the text stands,
# paper size, copies); a job the scheduler refuses is reported as not printed, with the
# scheduler's reason.
source "$(dirname "$0")/lib.sh"
CAP=${KAVEL_CUPS_DIR:-/tmp/kavel-cups}/cap2
REFUSING=${KAVEL_REFUSING_QUEUE:-KavelRefuse}
if ! lpstat -r 2>/dev/null | grep -q "is running"; then
    [ "${KAVEL_NO_CUPS:-}" = 1 ] && { echo "skipped: no CUPS"; exit 0; }
    fail "cupsd is not running: run scripts/cups-start.sh"
fi
lpstat -p "$REFUSING" >/dev/null 2>&1 || fail "no queue $REFUSING: run scripts/cups-start.sh"

# The job's attribute file in a capture folder, found by the job's title (other runs may
# print to the same queue at the same time).
wait_for_job() {
    local folder=$1 title=$2 meta
    for i in $(seq 100); do
        meta=$(grep -lx "title=$title" "$folder"/job-*.txt 2>/dev/null | head -1)
        [ -n "$meta" ] && { echo "$meta"; return; }
        sleep 0.1
    done
}

TASK="CUPS check $$"
cat > "$WORK/cups.js" <<JS
KAVEL.PRINT_INIT("$TASK");
KAVEL.SET_PRINT_PAGESIZE(2, 1480, 2100, "A5");
KAVEL.SET_PRINT_STYLE("FontName", "Arial");
KAVEL.SET_PRINT_STYLE("FontSize", 12);
KAVEL.ADD_PRINT_TEXT(96, 192, 300, 30, "Kavel first page");
KAVEL.NewPage();
KAVEL.ADD_PRINT_TEXT(96, 192, 300, 30, "Kavel second page");
KAVEL.SET_PRINT_COPIES(2);
if (KAVEL.SET_PRINTER_INDEXA("KavelCap2") !== true) throw new Error("no KavelCap2 queue");
if (KAVEL.PRINT() !== true) throw new Error("PRINT failed");
JS
expect_status 0 "$WORK/cups.js" --print
meta=$(wait_for_job "$CAP" "$TASK")
[ -n "$meta" ] || fail "no job titled $TASK arrived in $CAP"
pdf=${meta%.txt}.pdf
[ -s "$pdf" ] || fail "no document arrived in $CAP"
grep -q "^copies=2$" "$meta" || { cat "$meta"; fail "copies"; }
[ "$(pages_of "$pdf")" = 2 ] || fail "pages"
pdfinfo "$pdf" | grep -q "Page size: *595.* x 4[12][0-9]" || { pdfinfo "$pdf"; fail "A5 landscape paper"; }
pdftotext -f 2 -l 2 "$pdf" - | grep -q "Kavel second page" || fail "text of page 2"
# The text was put 2 inches from the left and 1 inch from the top of the printable area.
pdftotext -bbox -f 1 -l 1 "$pdf" - | python3 -c '
import re, sys
words = re.findall(r"xMin=\"([\d.]+)\" yMin=\"([\d.]+)\".*?>Kavel<", sys.stdin.read())
x, y = map(float, words[0])
sys.exit(0 if 130 < x < 160 and 70 < y < 95 else "Kavel at %s,%s" % (x, y))' || fail "text position"
pass "a two-page A5 landscape task with 2 copies arrives through CUPS as printed"

# A queue that accepts no jobs: PRINT answers false, and the run fails with the reason.
printf 'KAVEL.PRINT_INIT("Refused %s");\nKAVEL.ADD_PRINT_TEXT(50, 50, 300, 30, "never printed");\n' "$$" > "$WORK/refused.js"
set +e; run "$WORK/refused.js" --print --printer "$REFUSING"; status=$?; set -e
[ "$status" != 0 ] || { cat "$WORK/out.txt"; fail "a refused job counted as printed"; }
grep -qF "The print job on \"$REFUSING\" was refused: the printer is not accepting jobs" "$WORK/out.txt" \
    || { cat "$WORK/out.txt"; fail "the reason of the refusal"; }
pass "a job on a queue that accepts no jobs fails the run with the scheduler's reason"

# More copies than the scheduler takes in one job (MaxCopies; 9999 unless configured).
cat > "$WORK/copies.js" <<JS
KAVEL.PRINT_INIT("Too many copies $$");
KAVEL.ADD_PRINT_TEXT(50, 50, 300, 30, "never printed");
KAVEL.SET_PRINT_COPIES(100000);
if (KAVEL.SET_PRINTER_INDEXA("KavelCap") !== true) throw new Error("no KavelCap queue");
if (KAVEL.PRINT() !== false) throw new Error("PRINT answered true for a refused job");
JS
expect_status 3 "$WORK/copies.js"
grep -qF 'The print job on "KavelCap" was refused: Bad copies value 100000' "$WORK/out.txt" \
    || { cat "$WORK/out.txt"; fail "the reason of the refusal"; }
pass "a job with more copies than the scheduler takes makes PRINT answer false"
echo "$PASSED passed, 0 failed"
