# What a run reports is what it made: extra jobs, failed writes and failed scripts are
# never counted as printed, and the exit status says so.
source "$(dirname "$0")/lib.sh"

# A script that printed, then started a new task by asking the printers, prints one job.
printf 'KAVEL.PRINT_INIT("a");\nKAVEL.ADD_PRINT_TEXT(10,10,200,20,"one");\nKAVEL.PRINT();\nKAVEL.GET_PRINTER_COUNT();\nKAVEL.SET_PRINT_MODE("DOUBLE_SIDED_PRINT", 1);\n' > "$WORK/after.js"
expect_status 0 "$WORK/after.js" --pdf "$WORK/after.pdf"
[ -f "$WORK/after.pdf" ] && [ ! -e "$WORK/after-2.pdf" ] || fail "an extra job was printed"
pass "only a script without output of its own gets the runner's print"

# A preview and a print in one run, twice into the same folder: each job's pages are its
# own, and nothing of the first run is left looking like the second's. The preview, without
# a display, does not wait: it writes its pages and a picture of its window.
printf 'KAVEL.PRINT_INIT("p");\nKAVEL.ADD_PRINT_TEXT(10,10,200,20,"x");\nKAVEL.NewPage();\nKAVEL.ADD_PRINT_TEXT(10,10,200,20,"y");\nKAVEL.PREVIEW();\nKAVEL.ADD_PRINT_TEXT(10,10,200,20,"z");\nKAVEL.PRINT();\n' > "$WORK/two.js"
expect_status 0 "$WORK/two.js" --png "$WORK/png" --screenshot "$WORK/shots"
[ "$(ls "$WORK/png")" = "$(printf 'page-1-2.png\npage-1.png\npage-2.png')" ] || { ls "$WORK/png"; fail "page pictures of two jobs"; }
ls "$WORK/shots"/*PrevStringForm*.png >/dev/null 2>&1 || { ls "$WORK/shots"; fail "no picture of the preview window"; }
printf 'KAVEL.PRINT_INIT("q");\nKAVEL.ADD_PRINT_TEXT(10,10,200,20,"q");\n' > "$WORK/one.js"
expect_status 0 "$WORK/one.js" --png "$WORK/png"
[ "$(ls "$WORK/png")" = "page-1.png" ] || { ls "$WORK/png"; fail "pages of the earlier run were left"; }
pass "page pictures are named per job and an earlier run's pages are removed"

# Output that could not be written to its end fails the run and keeps what was there.
expect_status 3 "$WORK/one.js" --pdf /dev/full
grep -q "No space left on device" "$WORK/out.txt" || { cat "$WORK/out.txt"; fail "no reason for /dev/full"; }
grep -q "^printed" "$WORK/out.txt" && fail "a PDF on /dev/full was reported as printed"
echo "earlier" > "$WORK/kept.pdf"
printf 'KAVEL.PRINT_INIT("c");\nKAVEL.ADD_PRINT_TEXT(10,10,200,20,"c");\nKAVEL.SET_PRINT_COPIES(5000);\nKAVEL.PRINT();\n' > "$WORK/copies.js"
expect_status 3 "$WORK/copies.js" --pdf "$WORK/kept.pdf"
[ "$(cat "$WORK/kept.pdf")" = earlier ] || fail "a failed job replaced the file"
if mkdir -p "$WORK/full" && mount -t tmpfs -o size=32k tmpfs "$WORK/full" 2>/dev/null; then
    set +e; run "$SRC/examples/list.js" --png "$WORK/full/pages"; got=$?; set -e
    umount "$WORK/full"
    [ "$got" = 3 ] && grep -q "No space left on device" "$WORK/out.txt" ||
        { cat "$WORK/out.txt"; fail "pages on a full disk"; }
    pass "a PDF on /dev/full and pages on a full disk fail the run with the reason"
else
    pass "a PDF on /dev/full fails the run with the reason (no tmpfs for the full-disk case)"
fi

# The PDF printer writes copies collated; an empty task wastes no sheet.
printf 'KAVEL.PRINT_INIT("c");\nKAVEL.ADD_PRINT_TEXT(10,10,200,20,"first");\nKAVEL.NewPage();\nKAVEL.ADD_PRINT_TEXT(10,10,200,20,"second");\nKAVEL.SET_PRINT_COPIES(2);\n' > "$WORK/two-copies.js"
expect_status 0 "$WORK/two-copies.js" --pdf "$WORK/copies.pdf"
[ "$(pdftotext "$WORK/copies.pdf" - | tr -d '\f' | grep -v '^\s*$' | tr '\n' ' ')" = "first second first second " ] ||
    fail "copies are not collated"
printf 'KAVEL.PRINT_INIT("empty");\n' > "$WORK/empty.js"
expect_status 3 "$WORK/empty.js" --pdf "$WORK/empty.pdf"
[ ! -e "$WORK/empty.pdf" ] && grep -q "Nothing was printed" "$WORK/out.txt" || fail "an empty task"
pass "copies are collated and an empty task sends no job"

# A printer that cannot be reached is named as such, and the task goes to no other one.
set +e; CUPS_SERVER="$WORK/no-scheduler.sock" "$KAVEL" run "$WORK/one.js" --print --printer Office \
    --settings "$WORK/settings" > "$WORK/out.txt" 2>&1; got=$?; set -e
[ "$got" = 2 ] && grep -q 'the printer "Office" cannot be reached: the CUPS print scheduler is not running' "$WORK/out.txt" ||
    { cat "$WORK/out.txt"; fail "a printer behind a stopped scheduler"; }
pass "a named printer that cannot be reached stops the run with the reason"

# A script that fails prints nothing, whatever it throws.
printf 'KAVEL.PRINT_INIT("t");\nKAVEL.ADD_PRINT_TEXT(10,10,200,20,"half");\nthrow "stopped here";\n' > "$WORK/throw.js"
expect_status 1 "$WORK/throw.js" --pdf "$WORK/throw.pdf"
grep -q "throw.js:3: stopped here" "$WORK/out.txt" && [ ! -e "$WORK/throw.pdf" ] || { cat "$WORK/out.txt"; fail "thrown text"; }
pass "a thrown value fails the run with its line, and nothing is printed"

# The text of a PDF is the script's: Chinese page numbers and mixed text extract character
# for character, whether the pages went straight to the job or were kept and played from
# the page store (the print dialog's way).
cat > "$WORK/cjk.js" <<'JS'
KAVEL.PRINT_INIT("cjk");
KAVEL.ADD_PRINT_TEXT(40, 40, 400, 24, "发票 Invoice 文件");
KAVEL.ADD_PRINT_TEXTA("foot", 1000, 40, 300, 24, "第#页 共&页");
KAVEL.SET_PRINT_STYLEA("foot", "ItemType", 2);
KAVEL.NewPage();
KAVEL.ADD_PRINT_TEXT(40, 40, 400, 24, "第二页 second");
JS
for how in PRINT PRINTA; do
    (cat "$WORK/cjk.js"; echo "KAVEL.$how();") > "$WORK/cjk-$how.js"
    expect_status 0 "$WORK/cjk-$how.js" --pdf "$WORK/cjk-$how.pdf" --answer ok
    got=$(pdftotext "$WORK/cjk-$how.pdf" - | tr '\f' '\n' | grep -v '^\s*$' | tr '\n' ' ')
    [ "$got" = "发票 Invoice 文件 第1页 共2页 第二页 second 第2页 共2页 " ] ||
        fail "text of the $how pages: $got"
done
pass "Chinese page numbers and mixed text extract exactly, printed directly or from kept pages"

"$KAVEL" run --help | grep -q "^usage: kavel run" || fail "--help"
printf 'KAVEL.PRINT_INIT("p");\nKAVEL.ADD_PRINT_TEXT(10,10,200,20,"x");\nKAVEL.PREVIEW();\n' > "$WORK/preview.js"
expect_status 0 "$WORK/preview.js"
[ ! -s "$WORK/out.txt" ] || { cat "$WORK/out.txt"; fail "a quiet preview wrote something"; }
pass "--help prints the usage, and Qt's own notes stay out of the output"
echo "$PASSED passed, 0 failed"
