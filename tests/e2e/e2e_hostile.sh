# Hostile input: extreme values, blank fonts, huge texts and tasks that never end. Nothing
# crashes or overflows (the sanitizer build runs these too), nothing floods pages, and the
# user is told what was refused or cut.
source "$(dirname "$0")/lib.sh"
HOSTILE="$HERE/scripts/hostile"

expect_status 0 "$HOSTILE/extremes.js" --pdf "$WORK/extremes.pdf"
[ "$(pages_of "$WORK/extremes.pdf")" = 1 ] || fail "extreme values flooded pages"
pdftotext "$WORK/extremes.pdf" - | grep -q "the one sane item" || fail "the sane item is missing"
for text in "ADD_PRINT_TEXT refused: the top 2147483647 is out of range" \
            "SET_PRINT_PAGESIZE: the paper size 2147483647 × -2147483648 is out of range" \
            "SET_PRINT_STYLE Error:PenWidth 2147483647 is out of range (0 to 1000)"; do
    grep -qF "$text" "$WORK/out.txt" || { cat "$WORK/out.txt"; fail "no message: $text"; }
done
pass "extreme values are refused with a message and print no pages of nothing"

expect_status 0 "$HOSTILE/fonts.js" --pdf "$WORK/fonts.pdf"
pdftotext "$WORK/fonts.pdf" - | grep -q "printed with the default face" || fail "blank font name"
pass "blank font names print with the default face"

expect_status 3 "$HOSTILE/pages.js" --pdf "$WORK/pages.pdf"
[ "$(pages_of "$WORK/pages.pdf")" = 2000 ] && grep -q "Only 2000 page(s) were printed" "$WORK/out.txt" ||
    { tail -3 "$WORK/out.txt"; fail "a cut task"; }
pass "a task cut at the page limit says how much was printed"

printf 'KAVEL.PRINT_INIT("long");\nKAVEL.ADD_PRINT_TEXT(10,10,600,900,"x".repeat(1 << 27));\n' > "$WORK/long.js"
set +e; timeout 120 "$KAVEL" run "$WORK/long.js" --pdf "$WORK/long.pdf" --settings "$WORK/s" > "$WORK/out.txt" 2>&1; got=$?; set -e
[ "$got" = 0 ] && grep -q "is cut to its first 4194304 of 134217728 characters" "$WORK/out.txt" ||
    { cat "$WORK/out.txt"; fail "a line of 2^27 characters ended with $got"; }
pass "a line of 2^27 characters is cut with a message"
printf 'KAVEL.PRINT_INIT("v");\nvar big = "x".repeat(50 * 1024 * 1024);\nKAVEL.SET_PRINTER_INDEXA(big);\nKAVEL.SET_PRINT_STYLE("PageIndex", big);\nKAVEL.ADD_PRINT_TEXT(big, 1, 1, 1, "x");\n' > "$WORK/big.js"
expect_status 1 "$WORK/big.js"
[ "$(wc -c < "$WORK/out.txt")" -lt 10000 ] || fail "a 50 MB value was echoed"
grep -q "(52428800 characters)" "$WORK/out.txt" || { cat "$WORK/out.txt"; fail "no excerpt of the value"; }
pass "a 50 MB value is quoted by its start and length"
echo "$PASSED passed, 0 failed"
