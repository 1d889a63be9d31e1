# Converted HTML against the browser's own picture of the same document: a styled block, a
# bordered table with head and foot, mixed Chinese and Latin text. Each is printed as an item
# to PDF and rendered at 96 dpi, the browser takes a screenshot at the item's width, and the
# ink of the two must agree (docs/html-fidelity.md says how it is measured).
source "$(dirname "$0")/lib.sh"
export FONTCONFIG_FILE=${FONTCONFIG_FILE:-$SRC/data/fonts.conf}
BROWSER=${KAVEL_BROWSER:-/usr/lib/chromium/chromium}
DOCS=$HERE/fidelity
WIDTH=600     # the item's width, CSS px: the browser's window is as wide
# Agreement in percent below which a document fails: 95 at least; a document that agrees
# almost wholly is held near its figure, so that a frame or row drawn a pixel off shows.
FLOOR=95

browser() {  # browser ARGS... URL: the headless browser at the item's width
    timeout 120 "$BROWSER" --headless --no-sandbox --disable-gpu --hide-scrollbars \
        --window-size=$WIDTH,1000 "$@" 2>/dev/null
}

# print_item NAME CALL: the document as the task's only item, 40 px from the page's corner,
# to PDF; page 1 rendered at 96 dpi (one CSS px a pixel) as $WORK/NAME-kavel.pgm.
print_item() {
    python3 - "$DOCS/$1.html" "$2" "$WIDTH" > "$WORK/$1.js" <<'PY'
import json, sys
html = open(sys.argv[1], encoding="utf-8").read()
print('KAVEL.PRINT_INIT("fidelity");')
print('KAVEL.SET_PRINT_PAGESIZE(1, 2100, 2970, "A4");')
print('KAVEL.%s(40, 40, %s, 1000, %s);' % (sys.argv[2], sys.argv[3], json.dumps(html)))
PY
    expect_status 0 "$WORK/$1.js" --pdf "$WORK/$1.pdf"
    pdftoppm -r 96 -gray -f 1 -l 1 -singlefile "$WORK/$1.pdf" "$WORK/$1-kavel"
}

for case in styled:ADD_PRINT_HTM:99 table:ADD_PRINT_TABLE:99 mixed:ADD_PRINT_HTM:96; do
    IFS=: read -r name kind floor <<< "$case"
    print_item "$name" "$kind"
    browser --screenshot="$WORK/$name-browser.png" "file://$DOCS/$name.html"
    [ -s "$WORK/$name-browser.png" ] || fail "the browser took no screenshot of $name.html"
    result=$(python3 "$HERE/pixels.py" agreement "$WORK/$name-kavel.pgm" "$WORK/$name-browser.png" \
        "${FIDELITY_DIFF:-$WORK}/$name-diff.png")
    echo "# $name: ${result%% *} % of the ink agrees ${result#* }"
    [ "$floor" -ge "$FLOOR" ] || fail "a floor under $FLOOR %"
    python3 -c "import sys; sys.exit(float(sys.argv[1]) < float(sys.argv[2]))" "${result%% *}" "$floor" ||
        fail "$name.html: the printed ink agrees with the browser's for ${result%% *} %, under $floor %"
    pass "$name.html prints as the browser shows it (${result%% *} %)"
done

# The styled block's text comes out of the PDF on the browser's lines. The browser's lines
# are read in the browser itself, by the top of each character, at the same width.
{ cat "$DOCS/styled.html"; echo "<script>"; cat "$DOCS/lines.js"; echo "</script>"; } > "$WORK/lines.html"
browser --dump-dom "file://$WORK/lines.html" | python3 -c '
import html, re, sys
found = re.search(r"<pre id=\"browser-lines\">(.*?)</pre>", sys.stdin.read(), re.S)
print(html.unescape(found.group(1)) if found else "")' > "$WORK/browser-lines.txt"
[ "$(wc -l < "$WORK/browser-lines.txt")" -ge 8 ] || fail "the browser gave no lines of styled.html"
pdftotext -f 1 -l 1 "$WORK/styled.pdf" - | sed 's/\s\+/ /g; s/^ //; s/ $//; /^$/d' > "$WORK/pdf-lines.txt"
diff "$WORK/browser-lines.txt" "$WORK/pdf-lines.txt" >&2 || fail "the PDF's text is not on the browser's lines"
pass "the styled block's text is extractable on the browser's lines"
echo "$PASSED passed, 0 failed"
