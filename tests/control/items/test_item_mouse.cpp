// Selecting, moving and sizing items with the mouse.
#include <QSignalSpy>

#include "ItemTestSupport.h"

namespace kavel::test {
namespace {

using Box = std::array<int, 4>;

class ItemMouseTest : public PaperTest {};

TEST_F(ItemMouseTest, SmallMovesAddUpUntilTheyPassFourPixels) {
    TModiControl* item = NewItem(cdtShape, 100, 100, 100, 50);
    item->setSelected(true);
    QSignalSpy modified(item, &TModiControl::onModied);
    QSignalSpy moved(item, &TModiControl::onMouseMove);
    QWidget* target = MouseTarget(item);
    const QPoint start(300, 300);

    Press(target, start);
    MoveTo(target, start + QPoint(3, 0));
    EXPECT_EQ(Bounds(item), (Box{100, 100, 100, 50}));
    MoveTo(target, start + QPoint(4, -4));
    EXPECT_EQ(Bounds(item), (Box{100, 100, 100, 50}));
    EXPECT_EQ(modified.count(), 0);

    // Measured from the press, not from the last small step.
    MoveTo(target, start + QPoint(6, 0));
    EXPECT_EQ(Bounds(item), (Box{106, 100, 100, 50}));
    ASSERT_EQ(modified.count(), 1);
    EXPECT_EQ(modified[0][1].toInt(), 6);
    EXPECT_EQ(modified[0][2].toInt(), 0);
    EXPECT_EQ(modified[0][3].toInt(), 0);
    EXPECT_EQ(modified[0][4].toInt(), 0);
    EXPECT_EQ(moved.count(), 3);  // the designer hears every move

    // The next step counts from where the last applied move ended.
    MoveTo(target, start + QPoint(9, 0));
    EXPECT_EQ(Bounds(item), (Box{106, 100, 100, 50}));
    MoveTo(target, start + QPoint(11, 5));
    EXPECT_EQ(Bounds(item), (Box{111, 105, 100, 50}));
    Release(target, start + QPoint(11, 5));

    // The inner control follows the item.
    EXPECT_EQ(item->DataObject()->geometry(), QRect(111, 105, 100, 50));
    EXPECT_TRUE(item->blModified);
}

TEST_F(ItemMouseTest, TextItemIsDraggedThroughItsEdit) {
    TModiControl* item = NewItem(cdtText, 40, 40, 120, 30);
    item->setSelected(true);
    Drag(MouseTarget(item), QPoint(60, 50), QPoint(-10, 20));
    EXPECT_EQ(Bounds(item), (Box{30, 60, 120, 30}));
    EXPECT_EQ(item->RichEdit()->geometry(), QRect(30, 60, 120, 30));
}

TEST_F(ItemMouseTest, EachHandleSizesItsEdges) {
    struct Case {
        int handle;
        Box expected;  // after a drag by (+10, +7) of a 100 x 50 item at (100, 100)
    };
    const Case cases[] = {
        {0, {110, 107, 90, 43}},  {1, {110, 100, 90, 50}},  {2, {110, 100, 90, 57}},
        {3, {100, 107, 110, 43}}, {4, {100, 100, 110, 50}}, {5, {100, 100, 110, 57}},
        {6, {100, 107, 100, 43}}, {7, {100, 100, 100, 57}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.handle);
        TModiControl* item = NewItem(cdtImage, 100, 100, 100, 50);
        item->setSelected(true);
        QSignalSpy modified(item, &TModiControl::onModied);
        TDragPoint* handle = item->Handle(c.handle);
        ASSERT_NE(handle, nullptr);
        Drag(handle, QPoint(500, 500), QPoint(10, 7));
        EXPECT_EQ(Bounds(item), c.expected);
        ASSERT_EQ(modified.count(), 1);
        EXPECT_EQ(modified[0][1].toInt() + 100, c.expected[0]);
        EXPECT_EQ(modified[0][2].toInt() + 100, c.expected[1]);
        EXPECT_EQ(modified[0][3].toInt() + 100, c.expected[2]);
        EXPECT_EQ(modified[0][4].toInt() + 50, c.expected[3]);
        delete item;
    }
}

TEST_F(ItemMouseTest, TopLeftHandleOfA100By50Item) {
    TModiControl* item = NewItem(cdtShape, 100, 100, 100, 50);
    item->setSelected(true);
    Drag(item->Handle(0), QPoint(94, 94), QPoint(10, 10));
    EXPECT_EQ(Bounds(item), (Box{110, 110, 90, 40}));
    // The handles follow the new bounds.
    EXPECT_EQ(item->Handle(0)->pos(), QPoint(104, 104));
    EXPECT_EQ(item->Handle(5)->pos(), QPoint(200, 150));
}

TEST_F(ItemMouseTest, UpLineDraggedPastItsLeftEdgeBecomesADownLine) {
    TModiControl* item = NewItem(cdtShape, 100, 100, 60, 30);
    item->setStDefShapeType(cstUpLine);
    item->setSelected(true);
    TDragPoint* right = item->Handle(4);
    const QPoint start(163, 112);

    Press(right, start);
    MoveTo(right, start + QPoint(-80, 0));
    // While dragging the width is negative; the widgets cover the folded rectangle.
    EXPECT_EQ(Bounds(item), (Box{100, 100, -20, 30}));
    EXPECT_EQ(item->geometry(), QRect(80, 100, 20, 30));
    EXPECT_EQ(item->Shape()->geometry(), QRect(80, 100, 20, 30));
    Release(right, start + QPoint(-80, 0));

    EXPECT_EQ(Bounds(item), (Box{80, 100, 20, 30}));
    EXPECT_EQ(item->Shape()->ShapeType(), cstDownLine);
    // The script's shape stays what script gave.
    EXPECT_EQ(item->stDefShapeType(), cstUpLine);
}

TEST_F(ItemMouseTest, FlippingBothAxesKeepsTheLine) {
    TModiControl* item = NewItem(cdtShape, 100, 100, 60, 30);
    item->setStDefShapeType(cstDownLine);
    item->setSelected(true);
    Drag(item->Handle(5), QPoint(163, 133), QPoint(-80, -50));
    EXPECT_EQ(Bounds(item), (Box{80, 80, 20, 20}));
    EXPECT_EQ(item->Shape()->ShapeType(), cstDownLine);
}

TEST_F(ItemMouseTest, DeselectingFoldsANegativeSize) {
    TModiControl* item = NewItem(cdtShape, 100, 100, 60, 30);
    item->setStDefShapeType(cstUpLine);
    item->SetBounds(100, 100, 60, -40);
    item->setSelected(false);
    EXPECT_EQ(Bounds(item), (Box{100, 60, 60, 40}));
    EXPECT_EQ(item->Shape()->ShapeType(), cstDownLine);
}

TEST_F(ItemMouseTest, MovesThatDoNotDrag) {
    struct Case {
        const char* name;
        bool selected;
        bool locked;
        Qt::MouseButtons buttons;
        Qt::KeyboardModifiers modifiers;
        bool moves;
    };
    const Case cases[] = {
        {"selected, left button", true, false, Qt::LeftButton, {}, true},
        {"not selected", false, false, Qt::LeftButton, {}, false},
        {"locked", true, true, Qt::LeftButton, {}, false},
        {"right button", true, false, Qt::RightButton, {}, false},
        {"left and right button", true, false, Qt::LeftButton | Qt::RightButton, {}, false},
        {"no button", true, false, Qt::NoButton, {}, false},
        {"shift", true, false, Qt::LeftButton, Qt::ShiftModifier, false},
        {"ctrl", true, false, Qt::LeftButton, Qt::ControlModifier, false},
        {"alt", true, false, Qt::LeftButton, Qt::AltModifier, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TModiControl* item = NewItem(cdtImage, 100, 100, 100, 50);
        item->setSelected(c.selected);
        item->setPermitDrag(c.locked);
        QSignalSpy moved(item, &TModiControl::onMouseMove);
        QWidget* target = MouseTarget(item);
        Press(target, QPoint(150, 120));
        MoveTo(target, QPoint(170, 140), c.buttons, c.modifiers);
        EXPECT_EQ(Bounds(item), (c.moves ? Box{120, 120, 100, 50} : Box{100, 100, 100, 50}));
        EXPECT_EQ(moved.count(), 1);
        delete item;
    }
}

TEST_F(ItemMouseTest, LockedItemKeepsItsSizeThroughHandles) {
    TModiControl* item = NewItem(cdtShape, 100, 100, 100, 50);
    item->setSelected(true);
    item->setPermitDrag(true);
    Drag(item->Handle(5), QPoint(203, 153), QPoint(30, 30));
    EXPECT_EQ(Bounds(item), (Box{100, 100, 100, 50}));
}

TEST_F(ItemMouseTest, OnlyTheControlPressedDrags) {
    TModiControl* item = NewItem(cdtImage, 100, 100, 100, 50);
    item->setSelected(true);
    Press(item->Handle(4), QPoint(203, 122));
    // The move arrives at the inner control instead of the pressed handle.
    MoveTo(MouseTarget(item), QPoint(230, 122));
    EXPECT_EQ(Bounds(item), (Box{100, 100, 100, 50}));
}

TEST_F(ItemMouseTest, PressAndReleaseReachTheDesigner) {
    TModiControl* item = NewItem(cdtText, 10, 10, 100, 20);
    QSignalSpy down(item, &TModiControl::onMouseDown);
    QSignalSpy up(item, &TModiControl::onMouseUp);
    item->setSelected(true);
    Press(MouseTarget(item), QPoint(20, 20));
    Release(MouseTarget(item), QPoint(20, 20));
    Press(item->Handle(2), QPoint(7, 33));
    EXPECT_EQ(down.count(), 2);
    EXPECT_EQ(up.count(), 1);
    EXPECT_EQ(down[0][0].value<TModiControl*>(), item);
}

TEST_F(ItemMouseTest, PressFoldsANegativeSizeFirst) {
    TModiControl* item = NewItem(cdtImage, 100, 100, 100, 50);
    item->SetBounds(100, 100, -30, 50);
    Press(MouseTarget(item), QPoint(80, 120));
    EXPECT_EQ(Bounds(item), (Box{70, 100, 30, 50}));
}

TEST_F(ItemMouseTest, HandlePositionsAndCursors) {
    TModiControl* item = NewItem(cdtShape, 50, 40, 101, 51);
    EXPECT_EQ(item->Handle(0), nullptr);  // created on the first selection
    QSignalSpy selected(item, &TModiControl::OnSelect);
    item->setSelected(true);
    ASSERT_EQ(selected.count(), 1);
    EXPECT_TRUE(selected[0][1].toBool());

    struct Expected {
        QPoint pos;
        Qt::CursorShape cursor;
    };
    const Expected expected[8] = {
        {{44, 34}, Qt::SizeFDiagCursor}, {{44, 62}, Qt::SizeHorCursor},
        {{44, 91}, Qt::SizeBDiagCursor}, {{151, 34}, Qt::SizeBDiagCursor},
        {{151, 62}, Qt::SizeHorCursor},  {{151, 91}, Qt::SizeFDiagCursor},
        {{97, 34}, Qt::SizeVerCursor},   {{97, 91}, Qt::SizeVerCursor},
    };
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        TDragPoint* handle = item->Handle(i);
        ASSERT_NE(handle, nullptr);
        EXPECT_EQ(handle->parentWidget(), &paper_);
        EXPECT_EQ(handle->pos(), expected[i].pos);
        EXPECT_EQ(handle->size(), QSize(6, 6));
        EXPECT_TRUE(handle->isVisible());
        EXPECT_EQ(handle->cursor().shape(), expected[i].cursor);
    }
    EXPECT_EQ(item->Shape()->cursor().shape(), Qt::SizeAllCursor);

    item->setPermitDrag(true);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(item->Handle(i)->cursor().shape(), Qt::ArrowCursor);
    item->setPermitDrag(false);
    EXPECT_EQ(item->Handle(0)->cursor().shape(), Qt::SizeFDiagCursor);

    item->setSelected(false);
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(item->Handle(i)->isHidden());
    EXPECT_EQ(item->Shape()->cursor().shape(), Qt::ArrowCursor);
    EXPECT_FALSE(selected[1][1].toBool());
}

TEST_F(ItemMouseTest, MiddleHandlesOfAnItemSmallerThanAHandle) {
    // (3 - 6) div 2 is -1: the division truncates toward zero.
    TModiControl* item = NewItem(cdtShape, 50, 40, 3, 3);
    item->setSelected(true);
    EXPECT_EQ(item->Handle(1)->pos(), QPoint(44, 39));
    EXPECT_EQ(item->Handle(6)->pos(), QPoint(49, 34));
}

TEST_F(ItemMouseTest, SelectedTextItemShowsTheSizeAllCursorOverItsText) {
    TModiControl* item = NewItem(cdtText, 10, 10, 100, 20);
    item->setSelected(true);
    EXPECT_EQ(item->RichEdit()->viewport()->cursor().shape(), Qt::SizeAllCursor);
    item->setSelected(false);
    EXPECT_EQ(item->RichEdit()->viewport()->cursor().shape(), Qt::IBeamCursor);
}

}  // namespace
}  // namespace kavel::test
