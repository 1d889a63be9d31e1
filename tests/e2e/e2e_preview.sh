# The preview without a display never blocks: it composes as the preview would and
# writes the preview's pages and window pictures. Printed, preview-only items stay off.
source "$(dirname "$0")/lib.sh"
cat > "$WORK/preview.js" <<'JS'
KAVEL.PRINT_INIT("Preview check");
KAVEL.ADD_PRINT_TEXT(100, 100, 300, 30, "on paper");
KAVEL.SET_PRINT_STYLE("PreviewOnly", 1);
KAVEL.ADD_PRINT_TEXT(300, 100, 300, 30, "on screen");
KAVEL.PREVIEW();
JS
timeout 60 "$KAVEL" run "$WORK/preview.js" --png "$WORK/pages" --screenshot "$WORK/shots" \
    --settings "$WORK/settings" > "$WORK/out.txt" 2>&1 || { cat "$WORK/out.txt"; fail "preview run"; }
[ -f "$WORK/pages/page-1.png" ] || fail "no preview page written"
ls "$WORK/shots"/*PrevStringForm*.png >/dev/null 2>&1 || { ls "$WORK/shots"; fail "no picture of the preview window"; }
pass "PREVIEW without a display writes its pages and a picture of the window"

sed -i 's/KAVEL.PREVIEW();/KAVEL.PRINT();/' "$WORK/preview.js"
expect_status 0 "$WORK/preview.js" --pdf "$WORK/printed.pdf"
text=$(pdftotext "$WORK/printed.pdf" -)
grep -q "on paper" <<<"$text" && ! grep -q "on screen" <<<"$text" || fail "preview-only text was printed"
pass "preview-only items stay off paper"
echo "$PASSED passed, 0 failed"
