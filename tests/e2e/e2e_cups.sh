# Printing for real: a task goes through CUPS to a capture queue that is not the default
# printer and the document that arrives is checked (pages, text, where the text stands,
# paper size, copies).
source "$(dirname "$0")/lib.sh"
CAP=${KAVEL_CUPS_DIR:-/tmp/kavel-cups}/cap2
if ! lpstat -r 2>/dev/null | grep -q "is running"; then
    [ "${KAVEL_NO_CUPS:-}" = 1 ] && { echo "skipped: no CUPS"; exit 0; }
    fail "cupsd is not running: run scripts/cups-start.sh"
fi
before=$(ls "$CAP"/job-*.txt 2>/dev/null | wc -l)
cat > "$WORK/cups.js" <<'JS'
KAVEL.PRINT_INIT("CUPS check");
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
for i in $(seq 100); do
    [ "$(ls "$CAP"/job-*.txt 2>/dev/null | wc -l)" -gt "$before" ] && break
    sleep 0.1
done
meta=$(ls -t "$CAP"/job-*.txt | head -1)
pdf=${meta%.txt}.pdf
[ -s "$pdf" ] || fail "no document arrived in $CAP"
grep -q "^copies=2$" "$meta" || { cat "$meta"; fail "copies"; }
grep -q "^title=CUPS check" "$meta" || { cat "$meta"; fail "job title"; }
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

# --printer names the printer that counts as the default one for the run.
CAP2=$CAP
before=$(ls "$CAP2"/job-*.txt 2>/dev/null | wc -l)
printf 'KAVEL.PRINT_INIT("Default printer");\nKAVEL.ADD_PRINT_TEXTA("t", 50, 50, 300, 30, "to the second queue");\n' > "$WORK/second.js"
expect_status 0 "$WORK/second.js" --print --printer kavelcap2
for i in $(seq 100); do
    [ "$(ls "$CAP2"/job-*.txt 2>/dev/null | wc -l)" -gt "$before" ] && break
    sleep 0.1
done
[ "$(ls "$CAP2"/job-*.txt 2>/dev/null | wc -l)" -gt "$before" ] || fail "nothing arrived at KavelCap2"
pdftotext "$(ls -t "$CAP2"/job-*.pdf | head -1)" - | grep -q "to the second queue" || fail "text on KavelCap2"
pass "--printer makes a queue the default printer of the run"
echo "$PASSED passed, 0 failed"
