# HTML content printed through the browser engine: pictures on the page, checked by pixels,
# and a browser that cannot start.
source "$(dirname "$0")/lib.sh"

# The colour of the pixel at x,y (96 per inch) of page 1 of a PDF, as "r g b".
pixel() {
    pdftoppm -r 96 -f 1 -l 1 -x "$2" -y "$3" -W 1 -H 1 "$1" | tail -c 3 | od -An -tu1 | xargs
}
near() {  # near "r g b" "r g b": each channel within 40
    python3 -c "import sys; a,b=[list(map(int,s.split())) for s in sys.argv[1:]]; sys.exit(0 if all(abs(x-y)<=40 for x,y in zip(a,b)) else 1)" "$1" "$2"
}

expect_status 0 "$SRC/examples/delivery-note.js" --pdf "$WORK/note.pdf" --png "$WORK/note"
near "$(pixel "$WORK/note.pdf" 80 60)" "32 48 96" || fail "the logo's disc is not at its place"
near "$(pixel "$WORK/note.pdf" 160 60)" "230 120 30" || fail "the logo's bar is not at its place"
near "$(pixel "$WORK/note.pdf" 120 194)" "221 230 240" || fail "the table head's shading is missing"
near "$(pixel "$WORK/note.pdf" 400 500)" "255 255 255" || fail "the page below the note is not blank"
# The HTML body (700 pixels wide) is embedded at 200 dots per inch, the logo with its own
# 320 x 160 pixels.
pdfimages -list "$WORK/note.pdf" | awk '$3 == "image" && $4 >= 1400 && $13 >= 199 {h = 1}
    $3 == "image" && $4 == 320 && $5 == 160 {l = 1} END {exit !(h && l)}' ||
    { pdfimages -list "$WORK/note.pdf"; fail "the pictures' resolutions"; }
[ "$(pdftotext "$WORK/note.pdf" - | grep -c "Delivery note 2026-0412")" = 1 ] || fail "the title"
pass "the delivery note prints its logo, its HTML body and its title"

# The background picture shows on the preview's pages, not on paper.
expect_status 0 "$SRC/examples/delivery-note.js" --preview --png "$WORK/preview"
# The header band at the top right and a ruled line at y = 1000.
[ "$(python3 "$HERE/pixels.py" rgb "$WORK/preview/page-1.png" 760 10)" = "235 242 250" ] &&
    [ "$(python3 "$HERE/pixels.py" rgb "$WORK/preview/page-1.png" 400 1000)" = "205 210 220" ] ||
    fail "the background picture is not on the preview page"
pass "the background picture is on the preview page"

# Without a browser the HTML items print nothing, the rest prints, and the reason is told once.
cat > "$WORK/nobrowser.js" <<'JS'
KAVEL.PRINT_INIT("no browser");
KAVEL.ADD_PRINT_HTM(10, 10, 300, 100, "<p>one</p>");
KAVEL.ADD_PRINT_IMAGE(120, 10, 300, 100, "<img src='x.png'>");
KAVEL.ADD_PRINT_TEXT(240, 10, 300, 20, "plain text still prints");
JS
KAVEL_BROWSER=/nonexistent/browser expect_status 0 "$WORK/nobrowser.js" --pdf "$WORK/nb.pdf"
[ "$(grep -c "the browser engine could not be started" "$WORK/out.txt")" = 1 ] ||
    { cat "$WORK/out.txt"; fail "the reason is not told exactly once"; }
pdftotext "$WORK/nb.pdf" - | grep -q "plain text still prints" || fail "the text item"
pass "a browser that cannot start is told once and the rest of the task prints"
# A browser that exits at once is named by its exit status, and nobody waits for it.
started=$SECONDS
KAVEL_BROWSER=/bin/false expect_status 0 "$WORK/nobrowser.js" --pdf "$WORK/nb.pdf"
grep -q "could not be started: it exited with status 1" "$WORK/out.txt" ||
    { cat "$WORK/out.txt"; fail "no exit status for a browser that exits"; }
[ $((SECONDS - started)) -lt 10 ] || fail "a browser that exited was waited for"
pass "a browser that exits at once is named by its exit status without waiting"
echo "$PASSED passed, 0 failed"
