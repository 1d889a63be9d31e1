# HTML documents and tables converted to print: text where the browser broke it, every line
# once over page boundaries, table head and foot on every page, rows once and in order.
source "$(dirname "$0")/lib.sh"

# A document of 60 numbered lines in an item of 300 pixels: it runs over several pages and
# every line is printed exactly once, whole, in order.
cat > "$WORK/lines.js" <<'JS'
KAVEL.PRINT_INIT("lines");
// Lines straight in the body, taller than their text: no box crosses a page boundary, so
// only the lines themselves say where each page ends.
var s = "<style>body{font:15px Arial;line-height:55px}</style>";
for (var i = 1; i <= 60; i++) s += "line number " + i + " of the document<br>";
KAVEL.ADD_PRINT_HTM(40, 40, 500, 300, s);
KAVEL.ADD_PRINT_TEXTA("pn", 360, 40, 200, 20, "Page #/&");
KAVEL.SET_PRINT_STYLEA("pn", "ItemType", 2);
JS
expect_status 0 "$WORK/lines.js" --pdf "$WORK/lines.pdf"
pages=$(pages_of "$WORK/lines.pdf")
[ "$pages" -ge 4 ] || fail "60 lines in 300 pixels took $pages pages"
pdftotext -layout "$WORK/lines.pdf" - | grep -o "line number [0-9]* of the document" |
    sed 's/line number \([0-9]*\).*/\1/' > "$WORK/lines.txt"
seq 1 60 | diff - "$WORK/lines.txt" >/dev/null || { diff <(seq 1 60) "$WORK/lines.txt" | head; fail "lines lost, doubled or out of order"; }
for p in $(seq 1 "$pages"); do
    pdftotext -f "$p" -l "$p" "$WORK/lines.pdf" - | grep -q "Page $p/$pages" || fail "page $p is not numbered $p/$pages"
done
pass "a document over $pages pages prints every line once and in order, pages numbered of the total"

# The browser's line breaks: a paragraph wrapped at 200 pixels prints the same lines.
cat > "$WORK/wrap.js" <<'JS'
KAVEL.PRINT_INIT("wrap");
KAVEL.ADD_PRINT_HTM(40, 40, 216, 300, "<p style='font:16px Arial;margin:0'>The quick brown fox jumps over the lazy dog while the printer waits for the next page to arrive.</p>");
JS
expect_status 0 "$WORK/wrap.js" --pdf "$WORK/wrap.pdf"
pdftotext "$WORK/wrap.pdf" - | sed '/^\s*$/d' > "$WORK/wrap.txt"
[ "$(wc -l < "$WORK/wrap.txt")" -ge 4 ] || { cat "$WORK/wrap.txt"; fail "the paragraph is not on several lines"; }
head -1 "$WORK/wrap.txt" | grep -qx "The quick brown fox jumps" || { cat "$WORK/wrap.txt"; fail "the first line is not the browser's"; }
pass "a wrapped paragraph keeps the browser's line breaks"

# table_task NAME ROWS HEIGHT HEAD FOOT: one table item HEIGHT pixels high with the rows
# "row 1" to "row ROWS" between the head and foot rows given as HTML, printed to NAME.pdf.
table_task() {
    cat > "$WORK/$1.js" <<JS
KAVEL.PRINT_INIT("$1");
var rows = "";
for (var i = 1; i <= $2; i++) rows += "<tr><td>row " + i + "</td></tr>";
KAVEL.ADD_PRINT_TABLE(40, 40, 400, $3, "<table border=1 style='font:14px Arial'><thead>$4</thead><tbody>" + rows + "</tbody><tfoot>$5</tfoot></table>");
JS
    expect_status 0 "$WORK/$1.js" --pdf "$WORK/$1.pdf"
}
# The row numbers a table's PDF holds, in order.
rows_printed() { pdftotext -layout "$WORK/$1.pdf" - | grep -o "row [0-9]*" | sed 's/row //'; }

# A table of 90 rows with head and foot over three pages or more.
table_task table 90 600 "<tr><th>HEADNAME</th></tr>" "<tr><td>FOOTNOTE</td></tr>"
pages=$(pages_of "$WORK/table.pdf")
[ "$pages" -ge 3 ] || fail "90 rows in 600 pixels took $pages pages"
for p in $(seq 1 "$pages"); do
    text=$(pdftotext -f "$p" -l "$p" "$WORK/table.pdf" -)
    grep -q HEADNAME <<< "$text" || fail "no head on page $p"
    grep -q FOOTNOTE <<< "$text" || fail "no foot on page $p"
done
seq 1 90 | diff - <(rows_printed table) >/dev/null || fail "rows lost, doubled or out of order"
pass "a table over $pages pages has its head and foot on each and every row once"

# A head taller than the page is printed once and the rows go on: the task ends.
table_task tallhead 10 200 "<tr><td style='height:500px'>TALLHEAD</td></tr>" ""
[ "$(pdftotext "$WORK/tallhead.pdf" - | grep -c TALLHEAD)" = 1 ] || fail "a head taller than the page repeats"
seq 1 10 | diff - <(rows_printed tallhead) >/dev/null || fail "rows under a tall head"
pass "a head taller than the page is printed once and the rows follow"

# Spanning cells, nested tables and empty cells: every cell's text prints.
cat > "$WORK/spans.js" <<'JS'
KAVEL.PRINT_INIT("spans");
KAVEL.ADD_PRINT_TABLE(40, 40, 500, 200, "<table border=1><tr><td rowspan=3>SPANDOWN</td><td colspan=2>SPANRIGHT</td></tr><tr><td>C1</td><td>D1</td></tr><tr><td><table border=1><tr><td>NESTED</td></tr></table></td><td></td></tr></table>");
JS
expect_status 0 "$WORK/spans.js" --pdf "$WORK/spans.pdf"
# Each word must show: ink where the PDF says the word is (text painted over is still text).
for want in SPANDOWN SPANRIGHT C1 D1 NESTED; do
    box=$(pdftotext -bbox "$WORK/spans.pdf" - | grep ">$want<" | sed 's/.*xMin="\([0-9.]*\)" yMin="\([0-9.]*\)" xMax="\([0-9.]*\)" yMax="\([0-9.]*\)".*/\1 \2 \3 \4/')
    [ -n "$box" ] || fail "$want is missing from a table with spans"
    read -r x0 y0 x1 y1 <<< "$box"
    dark=$(pdftoppm -r 72 -gray -f 1 -l 1 -x "${x0%.*}" -y "${y0%.*}" -W $(( ${x1%.*} - ${x0%.*} + 1 )) \
        -H $(( ${y1%.*} - ${y0%.*} + 1 )) "$WORK/spans.pdf" |
        python3 -c "import sys; d = sys.stdin.buffer.read(); h = d.split(b'\n', 3); print(sum(v < 128 for v in h[3]))")
    [ "$dark" -gt 5 ] || fail "$want is covered in a table with spans"
done
pass "spanning cells, nested tables and empty cells print"

# A head and foot that fill the whole item still let the table end.
table_task nofit 6 100 "<tr><td style='height:45px'>H</td></tr>" "<tr><td style='height:45px'>F</td></tr>"
[ "$(pages_of "$WORK/nofit.pdf")" -le 6 ] || fail "a table without room for rows runs on"
seq 1 6 | diff - <(rows_printed nofit) >/dev/null || fail "rows of a table without room"
pass "a table whose head and foot fill the item still ends"

# A row taller than the page goes on over pages at line boundaries: no line is lost.
cat > "$WORK/tallrow.js" <<'JS'
KAVEL.PRINT_INIT("tall row");
var lines = ""; for (var i = 1; i <= 80; i++) lines += "cell line " + i + "<br>";
KAVEL.ADD_PRINT_TABLE(40, 40, 400, 400, "<table border=1 style='font:14px Arial'><thead><tr><th>HEAD</th></tr></thead><tr><td>first row</td></tr><tr><td>" + lines + "</td></tr><tr><td>last row</td></tr></table>");
JS
expect_status 0 "$WORK/tallrow.js" --pdf "$WORK/tallrow.pdf"
pdftotext -layout "$WORK/tallrow.pdf" - | grep -o "cell line [0-9]*" | sed 's/cell line //' > "$WORK/cells.txt"
seq 1 80 | diff - "$WORK/cells.txt" >/dev/null || fail "lines of a tall row lost or doubled"
pdftotext "$WORK/tallrow.pdf" - | grep -q "last row" || fail "the row after a tall row"
pass "a row taller than the page goes on over pages, every line once"
echo "$PASSED passed, 0 failed"
