// The designer's tools as plain operations on items: arranging, sizes, styles, page
// binding, the band selection and the status texts.
#include <vector>

#include "control/items/ItemTestSupport.h"
#include "designer/BandSelection.h"
#include "designer/ItemCommands.h"
#include "designer/PlacementText.h"

namespace kavel {
namespace {

// Text items on a paper of their own, made from (left, top, width, height).
class ItemCommands : public test::PaperTest {
  protected:
    ItemList Items(const std::vector<QRect>& bounds) {
        ItemList items;
        for (const QRect& r : bounds)
            items << NewItem(cdtText, r.x(), r.y(), r.width(), r.height());
        return items;
    }
    // "left,top,width,height" of each item, separated by blanks.
    static QString BoundsText(const ItemList& items) {
        QStringList text;
        for (const TModiControl* item : items) {
            const auto [left, top, width, height] = Bounds(item);
            text << QStringLiteral("%1,%2,%3,%4").arg(left).arg(top).arg(width).arg(height);
        }
        return text.join(' ');
    }
};

TEST_F(ItemCommands, ArrangeLinesUpAndSizesTheSelection) {
    struct Case {
        Arrangement how;
        int count;               // of the items below, from the first
        const char* afterwards;  // left, top, width and height of each item
    };
    const std::vector<QRect> abc = {{0, 10, 100, 20}, {30, 50, 50, 40}, {100, 5, 0, 10}};
    const Case cases[] = {
        {Arrangement::AlignLeft, 2, "0,10,100,20 0,50,50,40"},
        {Arrangement::AlignRight, 2, "0,10,100,20 50,50,50,40"},
        {Arrangement::CenterHorizontally, 2, "0,10,100,20 25,50,50,40"},
        {Arrangement::SpaceHorizontally, 3, "0,10,100,20 50,50,50,40 100,5,0,10"},
        {Arrangement::SpaceHorizontally, 2, "0,10,100,20 30,50,50,40"},  // two: nothing
        {Arrangement::AlignTop, 2, "0,10,100,20 30,10,50,40"},
        {Arrangement::AlignBottom, 2, "0,70,100,20 30,50,50,40"},
        {Arrangement::CenterVertically, 2, "0,40,100,20 30,30,50,40"},
        {Arrangement::SmallestWidth, 2, "0,10,50,20 30,50,50,40"},
        {Arrangement::LargestWidth, 2, "0,10,100,20 30,50,100,40"},
        {Arrangement::AverageWidth, 3, "0,10,50,20 30,50,50,40 100,5,50,10"},
        {Arrangement::LargestHeight, 2, "0,10,100,40 30,50,50,40"},
    };
    for (const Case& c : cases) {
        const ItemList items = Items(std::vector<QRect>(abc.begin(), abc.begin() + c.count));
        Arrange(items, c.how, QSize(800, 600));
        EXPECT_EQ(BoundsText(items), c.afterwards) << int(c.how) << " of " << c.count;
        qDeleteAll(items);
    }
}

TEST(ItemCommandSteps, ArrowKeysMoveOrSizeByTheirModifiers) {
    struct Case {
        int key;
        bool ctrl, alt;
        int dx, dy, dWidth, dHeight;
    };
    const Case cases[] = {
        {Qt::Key_Right, true, false, 1, 0, 0, 0},  {Qt::Key_Left, true, true, -10, 0, 0, 0},
        {Qt::Key_Down, true, true, 0, 10, 0, 0},   {Qt::Key_Up, true, false, 0, -1, 0, 0},
        {Qt::Key_Right, false, true, 0, 0, 5, 0},  {Qt::Key_Up, false, true, 0, 0, 0, -5},
        {Qt::Key_Right, false, false, 0, 0, 0, 0}, {Qt::Key_A, true, false, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const KeyStep s = ArrowKeyStep(c.key, c.ctrl, c.alt);
        EXPECT_EQ(std::vector<int>({s.dx, s.dy, s.dWidth, s.dHeight}),
                  std::vector<int>({c.dx, c.dy, c.dWidth, c.dHeight}))
            << c.key << " ctrl " << c.ctrl << " alt " << c.alt;
    }
}

TEST_F(ItemCommands, StylesChangeOnlyTheItemsTheyFit) {
    ItemList items = Items({{0, 0, 100, 20}, {0, 30, 100, 20}});
    TModiControl* shape = NewItem(cdtShape, 0, 60, 60, 30);
    items << shape;
    items[0]->RichEdit()->SetTextFont("宋体", 9, fsBold, clBlack);

    // Each text item's own bit is toggled; the shape is left alone.
    EXPECT_EQ(ToggleFontStyle(items, fsBold).size(), 2);
    EXPECT_EQ(items[0]->RichEdit()->FontStyle() & fsBold, 0);
    EXPECT_EQ(items[1]->RichEdit()->FontStyle() & fsBold, fsBold);
    EXPECT_TRUE(items[1]->blModified);
    EXPECT_FALSE(shape->blModified);

    // A dashed pen is one pixel wide; the size step is the pen width for shapes.
    StepFontSize(items, 3);
    EXPECT_EQ(items[0]->RichEdit()->FontSize(), 12);
    EXPECT_EQ(shape->Shape()->Pen().width, 4);
    EXPECT_EQ(SetPenStyle(items, psDash), ItemList{shape});
    EXPECT_EQ(shape->Shape()->Pen().width, 1);

    SetAlignButton(items, AlignButton::Right);
    EXPECT_EQ(items[0]->RichEdit()->TextAlignment(), taRightJustify);
    RestoreFont(items);
    EXPECT_EQ(items[0]->RichEdit()->TextAlignment(), taLeftJustify);
    EXPECT_EQ(items[0]->RichEdit()->FontSize(), 9);
    EXPECT_EQ(shape->Shape()->PenStyle(), psSolid);
}

TEST_F(ItemCommands, PageNumbersAreForTextItemsOnly) {
    ItemList items = Items({{0, 0, 100, 20}});
    TModiControl* rect = NewItem(cdtShape, 0, 60, 60, 30);
    items << rect;
    int refused = 0;
    EXPECT_EQ(SetPageType(items, cptPageNo, &refused), ItemList{items[0]});
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(items[0]->ptPageType, cptPageNo);
    EXPECT_EQ(rect->ptPageType, cptPageData);
    EXPECT_EQ(items[0]->RichEdit()->BackColor(), clSilver);

    SetHeadFoot(items, chnCenter, cvnBottom);
    EXPECT_EQ(rect->ptPageType, cptHeadFoot);
    EXPECT_EQ(rect->hnHorzOrnt, chnCenter);
    EXPECT_EQ(rect->hnVertOrnt, cvnBottom);
    EXPECT_EQ(rect->Shape()->BrushColor(), clSilver);
}

TEST(ItemCommandSteps, BandSelectsByTheItemsTopLeftCorner) {
    struct Case {
        const char* name;
        Edges band, item;
        bool selects;
    };
    const Case cases[] = {
        {"corner inside", {0, 0, 50, 50}, {10, 10, 200, 200}, true},
        {"corner on the band's right edge", {0, 0, 10, 50}, {10, 10, 200, 200}, false},
        {"band inside the item", {50, 50, 80, 80}, {10, 10, 200, 200}, false},
        {"band crosses the top edge", {50, 0, 80, 30}, {10, 10, 200, 200}, true},
        {"item's left edge crosses the band top", {0, 50, 30, 80}, {10, 10, 200, 200}, true},
        {"apart", {300, 300, 400, 400}, {10, 10, 200, 200}, false},
    };
    for (const Case& c : cases) EXPECT_EQ(BandSelects(c.band, c.item), c.selects) << c.name;
}

TEST(PlacementText, StatusTextsNameBoundsAndBinding) {
    EXPECT_EQ(PositionText(120, 40, 100, 20, 96),
              "X:120px/31mm  Y:40px/10mm  W:100px/26mm  H:20px/5mm  ");
    EXPECT_EQ(PositionText(150, 50, 125, 25, 120),
              "X:120px/31mm  Y:40px/10mm  W:100px/26mm  H:20px/5mm  ");
    struct Case {
        TPRNHorzOrient h;
        TPRNVertOrient v;
        TPRNPageType t;
        const char16_t* text;
    };
    const Case cases[] = {
        {chnLeft, cvnTop, cptPageData, u"左、上边距固定"},
        {chnCenter, cvnBottom, cptHeadFoot, u"水平居中-下边距固定-页脚"},
        {chnClient, cvnTop, cptHeadFoot, u"左、右、上边距固定-页眉"},
        {chnRight, cvnCenter, cptHeadFoot, u"右边距固定-垂直居中-眉脚"},
        {chnLeft, cvnClient, cptPageNo, u"左、上、下边距固定-页号"},
        {chnRight, cvnBottom, cptMulPage, u"右、下边距固定-多页项"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HeadFootCaption(c.h, c.v, c.t), QString::fromUtf16(c.text));
    }
}

}  // namespace
}  // namespace kavel
