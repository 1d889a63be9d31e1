# The script runner: members bound from the table, results, errors with their lines.
source "$(dirname "$0")/lib.sh"

expect_status 0 "$HERE/scripts/members.js"
pass "a script that checks members and results runs to its end"

printf 'KAVEL.PRINT_INIT("x");\nvar a = ;\n' > "$WORK/syntax.js"
expect_status 1 "$WORK/syntax.js"
grep -q "syntax.js:2:" "$WORK/out.txt" || { cat "$WORK/out.txt"; fail "syntax error without its line"; }
pass "a syntax error exits 1 and names the line"

printf 'KAVEL.ADD_PRINT_TEXT("ten", 1, 1, 1, "x");\n' > "$WORK/type.js"
expect_status 1 "$WORK/type.js"
grep -q "type.js:1: .*ADD_PRINT_TEXT" "$WORK/out.txt" || { cat "$WORK/out.txt"; fail "conversion error not reported"; }
pass "an argument that cannot be converted is a script error"

printf 'KAVEL.PRINT_INIT("m");\nKAVEL.ADD_PRINT_TEXTA("MYITEM",1,1,10,10,"x");\n' > "$WORK/msg.js"
expect_status 0 "$WORK/msg.js"
grep -qx 'message: strItemName no permit including "ITEM"!' "$WORK/out.txt" || { cat "$WORK/out.txt"; fail "message line missing"; }
pass "messages become one line on standard error"

expect_status 2 "$WORK/missing.js"
pass "a script that cannot be read exits 2"

set +e; env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$KAVEL" run --gui > "$WORK/out.txt" 2>&1; got=$?; set -e
[ "$got" = 2 ] && grep -q "needs a display" "$WORK/out.txt" || { cat "$WORK/out.txt"; fail "--gui without a display"; }
pass "--gui without a display is refused with a clear error"

expect_status 2 --dpi 0
expect_status 2 --pdf
expect_status 2 --print --pdf "$WORK/x.pdf"
pass "wrong options are refused"
echo "$PASSED passed, 0 failed"
