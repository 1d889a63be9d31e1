# The designer as a real window on a display (Xvfb): a text item is dragged 30 pixels and
# nudged with Ctrl+→, the layout applied; the next print of the task puts the text 31
# pixels further right, and the stored layout holds the keys of the item.
source "$(dirname "$0")/lib.sh"
command -v xvfb-run >/dev/null && command -v xdotool >/dev/null ||
    fail "xvfb-run and xdotool are needed: run scripts/install-deps.sh"
command -v pdftotext >/dev/null || fail "pdftotext is needed: run scripts/install-deps.sh"
cat > "$WORK/task.js" <<'JS'
KAVEL.PRINT_INIT("Designer run");
KAVEL.ADD_PRINT_TEXT(100, 100, 300, 30, "MOVEDTEXT");
KAVEL.ADD_PRINT_TEXT(200, 100, 300, 30, "STILLTEXT");
JS
{ cat "$WORK/task.js"; echo 'KAVEL.PRINT_SETUP();'; } > "$WORK/setup.js"
# Where the paper and the apply button sit in the window: below the 56-pixel tool area,
# right of the closed item list's 10-pixel opener, inside the work area's 1-pixel frame.
cat > "$WORK/drive.sh" <<'SH'
"$1" run "$2/setup.js" --gui --settings "$2/settings" --screenshot "$2/shots" > "$2/out.txt" 2>&1 &
pid=$!
for i in $(seq 100); do ls "$2"/shots/*.png >/dev/null 2>&1 && break; sleep 0.1; done
window=$(xdotool search --name "打印维护" | head -1)
[ -n "$window" ] || { kill $pid; exit 3; }
paperX=11 paperY=57
xdotool mousemove --window "$window" $((paperX + 120)) $((paperY + 110)) mousedown 1
sleep 0.2
xdotool mousemove --window "$window" $((paperX + 150)) $((paperY + 110))
sleep 0.2
xdotool mouseup 1
sleep 0.2
xdotool key ctrl+Right
sleep 0.2
xdotool mousemove --window "$window" 526 41 click 1
for i in $(seq 30); do [ -n "$(find "$2/settings" -name 'PrintSetups_Designer run.ini')" ] && break; sleep 0.1; done
sleep 0.3
kill $pid
wait $pid 2>/dev/null
exit 0
SH
set +e
env -u QT_QPA_PLATFORM timeout 60 xvfb-run -a -s "-screen 0 1280x900x24" bash "$WORK/drive.sh" "$KAVEL" "$WORK"
status=$?
set -e
[ "$status" = 0 ] || { cat "$WORK/out.txt" 2>/dev/null; fail "the designer window run ended with $status (3: no window)"; }
ini=$(find "$WORK/settings" -name 'PrintSetups_Designer run.ini' | head -1)
[ -n "$ini" ] || fail "applying stored no layout"
for kv in PRNLEFT=131 PRNTOP=100 PRNWIDTH=300 PRNHEIGHT=30 PRNINVISIBLE=0 PRNFONTSIZE=9; do
    grep -qx "$kv" <(tr -d '\r' < "$ini") || { cat "$ini"; fail "the stored layout lacks $kv"; }
done
grep -q '^\[ITEM1\]' "$ini" && fail "the item that was not touched was stored too"
pass "the designer drags, nudges and applies with real mouse and keys"

# The next print of the task, a new run, comes out adjusted.
expect_status 0 "$WORK/task.js" --pdf "$WORK/out.pdf"
pdftotext -bbox "$WORK/out.pdf" "$WORK/words.html"
xmin() { sed -n "s/.*xMin=\"\([0-9.]*\)\".*>$1<.*/\1/p" "$WORK/words.html" | head -1; }
moved=$(xmin MOVEDTEXT) still=$(xmin STILLTEXT)
[ -n "$moved" ] && [ -n "$still" ] || fail "the texts are not in the PDF"
# 31 pixels at 96 per inch are 23.25 points; within one pixel (0.75 point).
python3 -c "import sys; d = $moved - $still; sys.exit(0 if abs(d - 23.25) <= 0.75 else 1)" ||
    fail "MOVEDTEXT starts $moved pt, STILLTEXT $still pt: not 31 pixels apart"
pass "the next print puts the moved text 31 pixels to the right ($moved pt against $still pt)"
echo "$PASSED passed, 0 failed"
