# Layout code: the page-script code written for a task rebuilds it. The reference layout
# gives exactly its lines; a task of every kind of item and style, run again from its code,
# prints the same pages; a stored adjustment is in the code, a hidden item is not.
source "$(dirname "$0")/lib.sh"

cat > "$WORK/reference.js" <<'JS'
KAVEL.PRINT_INIT("Order");
KAVEL.ADD_PRINT_TEXT(20, 30, 200, 25, "Delivery note");
KAVEL.SET_PRINT_STYLEA(1, "FontSize", 12);
KAVEL.NewPage();
KAVEL.ADD_PRINT_RECT(50, 30, 300, 100, 0, 1);
KAVEL.SET_PRINT_STYLEA(2, "ItemType", 1);
KAVEL.SET_PRINT_STYLEA(2, "Horient", 2);
KAVEL.SET_PRINT_STYLEA(2, "Vorient", 1);
JS
expect_status 0 "$WORK/reference.js" --code "$WORK/reference-code.js"
printf '\r\nKAVEL.PRINT_INIT("Order");\r\nKAVEL.ADD_PRINT_TEXT(20,30,200,25,"Delivery note");\r\nKAVEL.SET_PRINT_STYLEA(1,"FontSize",12);\r\nKAVEL.NewPage();\r\nKAVEL.ADD_PRINT_RECT(50,30,300,100,0,1);\r\nKAVEL.SET_PRINT_STYLEA(2,"ItemType",1);\r\nKAVEL.SET_PRINT_STYLEA(2,"Horient",2);\r\nKAVEL.SET_PRINT_STYLEA(2,"Vorient",1);\r\n' > "$WORK/want.js"
cmp -s "$WORK/reference-code.js" "$WORK/want.js" || { diff "$WORK/want.js" "$WORK/reference-code.js" | cat -A; fail "reference layout code"; }
pass "the reference layout gives exactly its code"

cat > "$WORK/task.js" <<'JS'
KAVEL.SET_PRINT_PAPER(0, 0, 820, 640, "Round trip");
KAVEL.SET_PRINT_PAGESIZE(1, 1480, 2100, "A5");
KAVEL.SET_PRINT_STYLE("FontName", "DejaVu Sans");
KAVEL.SET_PRINT_STYLE("PenWidth", 2);
KAVEL.ADD_PRINT_TEXT(20, 30, 300, 60, "Say \"hi\" to C:\\d\r\nline 2");
KAVEL.SET_PRINT_STYLEA(1, "Bold", 1);
KAVEL.SET_PRINT_STYLEA(1, "FontColor", 255);
KAVEL.SET_PRINT_STYLEA(1, "FontSize", 14);
KAVEL.ADD_PRINT_TEXTA("total", 100, 30, 300, 30, "Total 1,234.50");
KAVEL.SET_PRINT_TEXT_STYLEA("total", "宋体", 12, 1, 1, 0, 3, 16711680);
KAVEL.ADD_PRINT_TEXT(140, 30, 400, 30, "A text that is much longer than thirty characters");
KAVEL.ADD_PRINT_LINE(200, 20, 260, 300, 1, 1);
KAVEL.ADD_PRINT_LINE(300, 20, 240, 300, 0, 3);
KAVEL.ADD_PRINT_SHAPE(2, 320, 20, 120, 60, 2, 1, 255);
KAVEL.ADD_PRINT_SHAPE(5, 320, 180, 120, 60, 0, 1, 0);
KAVEL.ADD_PRINT_RECT(400, 20, 200, 40, 0, 1);
KAVEL.ADD_PRINT_TEXT(560, 300, 200, 20, "第#页/共&页");
KAVEL.SET_PRINT_STYLEA(9, "ItemType", 2);
KAVEL.SET_PRINT_STYLEA(9, "Alignment", 3);
KAVEL.NewPage();
KAVEL.ADD_PRINT_ELLIPSE(40, 40, 200, 100, 3, 1);
KAVEL.SET_PRINT_STYLEA(10, "Angle", 10);
JS
expect_status 0 "$WORK/task.js" --code "$WORK/code.js"
grep -q '"Say \\"hi\\" to C:\\\\d\\nline 2"' "$WORK/code.js" || { cat "$WORK/code.js"; fail "text not written as a script string"; }
grep -q 'SET_PRINT_TEXT_STYLEA("total","宋体",12,1,1,0,3,16711680)' "$WORK/code.js" || fail "four differences: one text style line"
grep -q '"A text that is much longer tha...(省略)"' "$WORK/code.js" || fail "a long text is cut"
grep -q 'ADD_PRINT_SHAPE(2,320,20,120,60,2,1,255)' "$WORK/code.js" || fail "a red rectangle is a shape"
expect_status 0 "$WORK/task.js" --pdf "$WORK/task.pdf"
expect_status 0 "$WORK/code.js" --pdf "$WORK/again.pdf"
[ "$(pages_of "$WORK/task.pdf")" = 2 ] && [ "$(pages_of "$WORK/again.pdf")" = 2 ] || fail "page counts"
# The long text was cut in the code, so it is left out of the comparison of words.
words() { pdftotext -bbox "$1" - | grep '<word' | grep -v -e much -e longer -e characters -e text -e 'th\.\.\.' -e '>A<' -e '>that<' -e '>is<' -e '>than<' -e '>thirty<' -e '省略'; }
[ "$(words "$WORK/task.pdf")" = "$(words "$WORK/again.pdf")" ] ||
    { diff <(words "$WORK/task.pdf") <(words "$WORK/again.pdf"); fail "words differ"; }
pdftoppm -r 96 -gray -f 2 -l 2 "$WORK/task.pdf" "$WORK/a"
pdftoppm -r 96 -gray -f 2 -l 2 "$WORK/again.pdf" "$WORK/b"
cmp -s "$WORK"/a-*2.pgm "$WORK"/b-*2.pgm || fail "the shapes of page 2 differ"
pass "the code of a task prints the same words at the same places and the same shapes"

# Adjustments kept for the task are part of its code; a hidden item writes no line and
# takes no number, but its page breaks stay.
printf 'KAVEL.PRINT_INIT("kept");\nKAVEL.ADD_PRINT_TEXT(10,10,100,20,"one");\nKAVEL.NewPage();\nKAVEL.ADD_PRINT_TEXT(10,10,100,20,"two");\nKAVEL.ADD_PRINT_TEXT(40,10,100,20,"three");\nKAVEL.SET_PRINT_STYLEA(3,"FontSize",11);\n' > "$WORK/kept.js"
mkdir -p "$WORK/settings/Tarvenhold/Kavel"
printf '[ITEM0]\r\nPRNINVISIBLE=1\r\n[ITEM2]\r\nPRNTOP=77\r\n' > "$WORK/settings/Tarvenhold/Kavel/PrintSetups_kept.ini"
expect_status 0 "$WORK/kept.js" --code "$WORK/kept-code.js"
printf '\r\nKAVEL.PRINT_INIT("kept");\r\nKAVEL.NewPage();\r\nKAVEL.ADD_PRINT_TEXT(10,10,100,20,"two");\r\nKAVEL.ADD_PRINT_TEXT(77,10,100,20,"three");\r\nKAVEL.SET_PRINT_STYLEA(2,"FontSize",11);\r\n' > "$WORK/want.js"
cmp -s "$WORK/kept-code.js" "$WORK/want.js" || { diff "$WORK/want.js" "$WORK/kept-code.js" | cat -A; fail "stored layout in the code"; }
expect_status 3 "$WORK/kept.js" --code /dev/full
pass "stored adjustments and hidden items; a code file that cannot be written fails the run"
