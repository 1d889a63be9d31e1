# The preview as a real window on a display (Xvfb): it opens, is pictured, and closes
# with Esc, after which the script goes on.
source "$(dirname "$0")/lib.sh"
command -v xvfb-run >/dev/null && command -v xdotool >/dev/null ||
    fail "xvfb-run and xdotool are needed: run scripts/install-deps.sh"
cat > "$WORK/gui.js" <<'JS'
KAVEL.PRINT_INIT("Gui check");
KAVEL.ADD_PRINT_TEXT(100, 100, 300, 30, "on screen");
KAVEL.PREVIEW();
console.log("preview closed");
JS
cat > "$WORK/drive.sh" <<'SH'
"$1" run "$2/gui.js" --gui --pdf "$2/x.pdf" --screenshot "$2/shots" --settings "$2/settings" \
    > "$2/out.txt" 2>&1 &
pid=$!
for i in $(seq 100); do ls "$2"/shots/*.png >/dev/null 2>&1 && break; sleep 0.1; done
window=$(xdotool search --name "打印预览" | head -1)
[ -n "$window" ] || { kill $pid; exit 3; }
# The control's own panel is no window of its own unless the task embeds something in it.
[ -z "$(xdotool search --onlyvisible --name '^KavelX$')" ] || { kill $pid; exit 5; }
xdotool windowfocus --sync "$window" key Escape
for i in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
if kill -0 $pid 2>/dev/null; then kill $pid; exit 4; fi
wait $pid
SH
set +e
env -u QT_QPA_PLATFORM timeout 60 xvfb-run -a -s "-screen 0 1280x900x24" bash "$WORK/drive.sh" "$KAVEL" "$WORK"
status=$?
set -e
[ "$status" = 0 ] || { cat "$WORK/out.txt" 2>/dev/null; fail "the preview window run ended with $status (3: no window, 4: Esc did not close it, 5: a stray panel window)"; }
ls "$WORK"/shots/*TPrevStringForm*.png >/dev/null || fail "no picture of the window"
grep -q "preview closed" "$WORK/out.txt" || fail "the script did not go on after the window closed"
pass "PREVIEW --gui opens a real window that Esc closes, and the script goes on"
echo "$PASSED passed, 0 failed"
