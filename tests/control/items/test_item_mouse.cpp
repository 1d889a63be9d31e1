// Selecting, moving and sizing items with the mouse.
#include <QSignalSpy>

#include "ItemTestSupport.h"

namespace kavel::test {
namespace {

using Box = std::array<int, 4>;

class ItemMouseTest : public PaperTest {};

TEST_F(ItemMouseTest, SmallMovesAddUpUntilTheyPassFourPixels) {
    TModiControl* item = NewItem(cdtText, 100, 100, 100, 50);  // dragged through its edit
    item->setSelected(true);
    QSignalSpy modified(item, &TModiControl::onModied);
    QWidget* target = MouseTarget(item);
    const QPoint start(300, 300);
    Press(target, start);
    MoveTo(target, start + QPoint(3, 0));
    MoveTo(target, start + QPoint(4, -4));
    EXPECT_EQ(Bounds(item), (Box{100, 100, 100, 50}));
    MoveTo(target, start + QPoint(6, 0));  // measured from the press, not the last step
    EXPECT_EQ(Bounds(item), (Box{106, 100, 100, 50}));
    ASSERT_EQ(modified.count(), 1);
    EXPECT_EQ(modified[0].mid(1), (QVariantList{6, 0, 0, 0}));
    // The next step counts from where the last applied move ended.
    MoveTo(target, start + QPoint(9, 0));
    EXPECT_EQ(Bounds(item), (Box{106, 100, 100, 50}));
    MoveTo(target, start + QPoint(11, 5));
    Release(target, start + QPoint(11, 5));
    EXPECT_EQ(item->DataObject()->geometry(), QRect(111, 105, 100, 50));
    EXPECT_TRUE(item->blModified);
}

TEST_F(ItemMouseTest, EachHandleSizesItsEdgesAndTheHandlesFollow) {
    // After a drag by (+10, +7) of a 100 x 50 item at (100, 100).
    const Box expected[8] = {{110, 107, 90, 43},  {110, 100, 90, 50},  {110, 100, 90, 57},
                             {100, 107, 110, 43}, {100, 100, 110, 50}, {100, 100, 110, 57},
                             {100, 107, 100, 43}, {100, 100, 100, 57}};
    for (int handle = 0; handle < 8; ++handle) {
        SCOPED_TRACE(handle);
        TModiControl* item = NewItem(cdtImage, 100, 100, 100, 50);
        item->setSelected(true);
        QSignalSpy modified(item, &TModiControl::onModied);
        Drag(item->Handle(handle), QPoint(500, 500), QPoint(10, 7));
        const auto [left, top, width, height] = expected[handle];
        EXPECT_EQ(Bounds(item), expected[handle]);
        ASSERT_EQ(modified.count(), 1);
        EXPECT_EQ(modified[0].mid(1),
                  (QVariantList{left - 100, top - 100, width - 100, height - 50}));
        EXPECT_EQ(item->Handle(0)->pos(), QPoint(left - 6, top - 6));
        EXPECT_EQ(item->Handle(5)->pos(), QPoint(left + width, top + height));
        delete item;
    }
}

TEST_F(ItemMouseTest, NegativeSizesFoldAndTurnLines) {
    TModiControl* item = NewItem(cdtShape, 100, 100, 60, 30);
    item->setStDefShapeType(cstUpLine);
    item->setSelected(true);
    TDragPoint* right = item->Handle(4);
    Press(right, QPoint(163, 112));
    MoveTo(right, QPoint(83, 112));
    // While dragging the width is negative; the widgets cover the folded rectangle.
    EXPECT_EQ(Bounds(item), (Box{100, 100, -20, 30}));
    EXPECT_EQ(item->Shape()->geometry(), QRect(80, 100, 20, 30));
    Release(right, QPoint(83, 112));
    // An up line dragged past its left edge becomes a down line; script's shape stays.
    EXPECT_EQ(Bounds(item), (Box{80, 100, 20, 30}));
    EXPECT_EQ(item->Shape()->ShapeType(), cstDownLine);
    EXPECT_EQ(item->stDefShapeType(), cstUpLine);
    // Flipping both axes keeps the line.
    Drag(item->Handle(5), QPoint(103, 133), QPoint(-40, -50));
    EXPECT_EQ(Bounds(item), (Box{60, 80, 20, 20}));
    EXPECT_EQ(item->Shape()->ShapeType(), cstDownLine);
    // Deselecting folds a negative size, and so does a press.
    item->SetBounds(100, 100, 60, -40);
    item->setSelected(false);
    EXPECT_EQ(Bounds(item), (Box{100, 60, 60, 40}));
    EXPECT_EQ(item->Shape()->ShapeType(), cstUpLine);
    item->SetBounds(100, 100, -30, 50);
    Press(MouseTarget(item), QPoint(80, 120));
    EXPECT_EQ(Bounds(item), (Box{70, 100, 30, 50}));
}

TEST_F(ItemMouseTest, MovesThatDoNotDrag) {
    struct Case {
        bool selected, locked;
        Qt::MouseButtons buttons;
        Qt::KeyboardModifiers modifiers;
    };
    const Case cases[] = {{true, false, Qt::LeftButton, {}},  // the only one that drags
                          {false, false, Qt::LeftButton, {}},
                          {true, true, Qt::LeftButton, {}},
                          {true, false, Qt::LeftButton | Qt::RightButton, {}},
                          {true, false, Qt::NoButton, {}},
                          {true, false, Qt::LeftButton, Qt::ControlModifier}};
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        TModiControl* item = NewItem(cdtImage, 100, 100, 100, 50);
        item->setSelected(c.selected);
        item->setPermitDrag(c.locked);
        QSignalSpy moved(item, &TModiControl::onMouseMove);
        Press(MouseTarget(item), QPoint(150, 120));
        MoveTo(MouseTarget(item), QPoint(170, 140), c.buttons, c.modifiers);
        EXPECT_EQ(Bounds(item)[0], &c == cases ? 120 : 100);
        EXPECT_EQ(moved.count(), 1);
        delete item;
    }
    // The handles of a locked item do not size it, nor does a move that reaches another
    // control than the one pressed.
    TModiControl* item = NewItem(cdtImage, 100, 100, 100, 50);
    item->setSelected(true);
    item->setPermitDrag(true);
    Drag(item->Handle(5), QPoint(203, 153), QPoint(30, 30));
    item->setPermitDrag(false);
    Press(item->Handle(4), QPoint(203, 122));
    MoveTo(MouseTarget(item), QPoint(230, 122));
    EXPECT_EQ(Bounds(item), (Box{100, 100, 100, 50}));
}

TEST_F(ItemMouseTest, SelectionShowsHandlesWithCursorsAndPressesReachTheDesigner) {
    TModiControl* item = NewItem(cdtShape, 50, 40, 101, 51);
    QSignalSpy selected(item, &TModiControl::OnSelect);
    QSignalSpy down(item, &TModiControl::onMouseDown);
    item->setSelected(true);
    const QPoint positions[8] = {{44, 34},  {44, 62},  {44, 91}, {151, 34},
                                 {151, 62}, {151, 91}, {97, 34}, {97, 91}};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(item->Handle(i)->geometry(), QRect(positions[i], QSize(6, 6))) << i;
        EXPECT_TRUE(item->Handle(i)->isVisible());
    }
    EXPECT_EQ(item->Handle(7)->cursor().shape(), Qt::SizeVerCursor);
    item->setPermitDrag(true);  // a locked item's handles show the arrow
    EXPECT_EQ(item->Handle(7)->cursor().shape(), Qt::ArrowCursor);
    Press(MouseTarget(item), QPoint(60, 60));
    Release(MouseTarget(item), QPoint(60, 60));
    Press(item->Handle(2), QPoint(47, 94));
    ASSERT_EQ(down.count(), 2);
    EXPECT_EQ(down[0][0].value<TModiControl*>(), item);
    item->setSelected(false);
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(item->Handle(i)->isHidden());
    EXPECT_EQ(selected.count(), 2);
    EXPECT_FALSE(selected[1][1].toBool());
}

}  // namespace
}  // namespace kavel::test
