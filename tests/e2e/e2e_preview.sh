# The preview without a display never blocks: it composes as the preview would and
# writes the preview's pages (preview-only items included) and window pictures.
source "$(dirname "$0")/lib.sh"
cat > "$WORK/preview.js" <<'JS'
KAVEL.PRINT_INIT("Preview check");
KAVEL.ADD_PRINT_TEXT(100, 100, 300, 30, "on paper");
KAVEL.SET_PRINT_STYLE("PreviewOnly", 1);
KAVEL.ADD_PRINT_RECT(300, 100, 200, 100, 0, 3);
KAVEL.PREVIEW();
JS
timeout 60 "$KAVEL" run "$WORK/preview.js" --png "$WORK/pages" --screenshot "$WORK/shots" \
    --settings "$WORK/settings" > "$WORK/out.txt" 2>&1 || { cat "$WORK/out.txt"; fail "preview run"; }
[ -f "$WORK/pages/page-1.png" ] || fail "no preview page written"
ls "$WORK/shots"/*PrevStringForm*.png >/dev/null 2>&1 || { ls "$WORK/shots"; fail "no picture of the preview window"; }
# The rectangle's left edge (pen 3) at x 100..102, y 350: dark in the preview.
[ "$(python3 "$HERE/pngpixel.py" "$WORK/pages/page-1.png" 101 350)" -lt 100 ] ||
    fail "the preview-only rectangle is missing from the preview page"
pass "PREVIEW without a display writes its pages and a picture of the window"

# Printed, the same task leaves the preview-only rectangle off the paper.
sed -i 's/KAVEL.PREVIEW();/KAVEL.PRINT();/' "$WORK/preview.js"
expect_status 0 "$WORK/preview.js" --png "$WORK/printed"
[ "$(python3 "$HERE/pngpixel.py" "$WORK/printed/page-1.png" 101 350)" -gt 200 ] ||
    fail "the preview-only rectangle was printed"
pass "preview-only items stay off paper"
echo "$PASSED passed, 0 failed"
