# The examples print to PDF and to pictures through the built-in PDF printer.
source "$(dirname "$0")/lib.sh"

expect_status 0 --pdf "$WORK/default.pdf"
[ "$(pages_of "$WORK/default.pdf")" = 1 ] || fail "the embedded example is not one page"
pdftotext "$WORK/default.pdf" - | grep -q "INVOICE" || fail "the embedded example lacks its title"
pass "the embedded example prints to PDF"

expect_status 0 "$SRC/examples/invoice.js" --pdf "$WORK/invoice.pdf" --png "$WORK/invoice"
pdfinfo "$WORK/invoice.pdf" | grep -q "595 x 842 pts (A4)" || fail "invoice is not A4"
pdftotext "$WORK/invoice.pdf" - | grep -q "Bill to: Harbour Supplies Ltd." || fail "invoice text"
[ -f "$WORK/invoice/page-1.png" ] && [ ! -f "$WORK/invoice/page-2.png" ] || fail "invoice pictures"
python3 - "$WORK/invoice/page-1.png" <<'PY' || fail "invoice picture size"
import struct, sys
w, h = struct.unpack(">II", open(sys.argv[1], "rb").read()[16:24])
sys.exit(0 if (w, h) == (794, 1123) else 1)
PY
pass "the invoice prints to one A4 page and its picture is 96 per inch"

expect_status 0 "$SRC/examples/list.js" --pdf "$WORK/list.pdf"
pages=$(pages_of "$WORK/list.pdf")
[ "$pages" -ge 5 ] || fail "the list should take several pages, took $pages"
pdftotext -f 2 -l 2 "$WORK/list.pdf" - | grep -q "第2./共${pages}." || fail "page numbers on page 2"
pdftotext -f "$pages" -l "$pages" "$WORK/list.pdf" - | grep -q "Article 00400" || fail "last row on the last page"
for p in $(seq 1 "$pages"); do
    pdftotext -f "$p" -l "$p" "$WORK/list.pdf" - | grep -q "stock list" || fail "header missing on page $p"
done
pass "the list flows over $pages pages with header and page numbers on each"

expect_status 0 "$SRC/examples/labels.js" --pdf "$WORK/labels.pdf"
[ "$(pdftotext "$WORK/labels.pdf" - | grep -c "Harbour Road")" = 24 ] || fail "24 labels"
pass "the label sheet holds 24 labels"

expect_status 0 "$SRC/examples/delivery-table.js" --pdf "$WORK/dt.pdf"
pages=$(pages_of "$WORK/dt.pdf")
[ "$pages" -ge 5 ] || fail "300 table rows took $pages pages"
for p in $(seq 1 "$pages"); do
    t=$(pdftotext -f "$p" -l "$p" "$WORK/dt.pdf" -)
    for want in "delivery note 2026-0412" "Description" "Goods remain our property" "Page $p/$pages"; do
        grep -q "$want" <<< "$t" || fail "page $p of the delivery table lacks \"$want\""
    done
done
pass "the delivery table repeats header, table head and foot and page number on its $pages pages"

expect_status 0 "$SRC/examples/html-document.js" --pdf "$WORK/doc.pdf"
pdftotext "$WORK/doc.pdf" - | grep -q "The annual inspection of the packing line" || fail "document text"
pass "the HTML document prints as text"

printf 'KAVEL.PRINT_INIT("two");\nKAVEL.ADD_PRINT_TEXT(10,10,100,20,"first");\nKAVEL.PRINT();\nKAVEL.ADD_PRINT_TEXT(10,10,100,20,"second");\nKAVEL.PRINT();\n' > "$WORK/two.js"
expect_status 0 "$WORK/two.js" --pdf "$WORK/two.pdf"
pdftotext "$WORK/two.pdf" - | grep -q first || fail "first job"
pdftotext "$WORK/two-2.pdf" - | grep -q second || fail "second job goes to two-2.pdf"
pass "a second print job of a run writes FILE-2.pdf"
echo "$PASSED passed, 0 failed"
