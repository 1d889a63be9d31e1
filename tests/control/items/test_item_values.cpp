// Item kinds, bounds, visibility and the pairs of script and current values.
#include <QPointer>
#include <QSignalSpy>

#include "ItemTestSupport.h"

namespace kavel::test {
namespace {

using Box = std::array<int, 4>;

class ItemValuesTest : public PaperTest {};

TEST(ItemAngleTest, AngleIsKeptWithinOneTurn) {
    const std::pair<int, int> cases[] = {
        {0, 0},     {360, 360},   {-360, -360}, {361, 1},         {725, 5},         {720, 360},
        {-361, -1}, {-720, -360}, {-725, -5},   {INT32_MAX, 127}, {INT32_MIN, -128}};
    for (const auto& [given, stored] : cases) {
        SCOPED_TRACE(given);
        TModiControl item(nullptr);
        item.setIntDefAngle(given);
        EXPECT_EQ(item.intDefAngle(), stored);
        EXPECT_EQ(item.intAngle(), stored);
        item.setIntDefAngle(30);
        item.setIntAngle(given);  // the current angle leaves the script's
        EXPECT_EQ(item.intAngle(), stored);
        EXPECT_EQ(item.intDefAngle(), 30);
    }
}

TEST_F(ItemValuesTest, KindSetsItsInnerControlAndDefaultSize) {
    const std::tuple<TPRNDataType, const char*, Box> cases[] = {
        {cdtPanel, "QWidget", {0, 0, 800, 600}},  // the page object
        {cdtText, "kavel::TRichEditBox", {5, 7, 100, 20}},
        {cdtShape, "kavel::TPRNShape", {5, 7, 60, 30}},
        {cdtHtml, "kavel::TImageBox", {5, 7, 100, 100}},  // and the other picture kinds
        {cdtImage, "kavel::TImageBox", {5, 7, 100, 100}}};
    for (const auto& [kind, innerClass, bounds] : cases) {
        SCOPED_TRACE(int(kind));
        TModiControl item(&paper_);
        item.SetBounds(5, 7, 100, 100);  // before the kind is set
        item.SetObjectType(kind);
        ASSERT_NE(item.DataObject(), nullptr);
        EXPECT_STREQ(item.DataObject()->metaObject()->className(), innerClass);
        EXPECT_EQ(Bounds(&item), bounds);
        EXPECT_EQ(item.DataObject()->geometry(), QRect(bounds[0], bounds[1], bounds[2], bounds[3]));
        EXPECT_TRUE(item.DataObject()->isVisible());
    }
    TModiControl item(&paper_);  // an unknown kind creates nothing
    item.SetObjectType(cdtText);
    item.SetObjectType(static_cast<TPRNDataType>(9));
    EXPECT_EQ(item.DataObject(), nullptr);
    item.RestoreToScript(true);  // nothing to restore without an inner control
    EXPECT_EQ(Bounds(&item), (Box{0, 0, 100, 20}));
}

TEST_F(ItemValuesTest, ChangingTheKindReplacesTheInnerControl) {
    TModiControl* item = NewItem(cdtText, 20, 30, 150, 40);
    QPointer<QWidget> old = item->DataObject();
    ASSERT_NE(item->RichEdit(), nullptr);
    item->setIntDefPenWidth(4);
    item->SetObjectType(cdtShape);
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(item->RichEdit(), nullptr);
    ASSERT_NE(item->Shape(), nullptr);
    EXPECT_EQ(item->Shape()->parentWidget(), &paper_);
    EXPECT_EQ(Bounds(item), (Box{20, 30, 60, 30}));
    EXPECT_EQ(item->Shape()->Pen().width, 4);  // the new control shows the item's values
    // The new control's mouse events reach the item.
    item->setSelected(true);
    Drag(MouseTarget(item), QPoint(30, 40), QPoint(10, 0));
    EXPECT_EQ(item->Left(), 30);
}

TEST_F(ItemValuesTest, StyleSettersReachTheInnerControl) {
    TModiControl* shape = NewItem(cdtShape, 0, 0, 60, 30);
    shape->setIntDefPenWidth(3);
    shape->setPsDefPenStyle(psDot);
    shape->setStDefShapeType(cstEllipse);
    EXPECT_EQ(shape->Shape()->Pen().width, 3);
    EXPECT_EQ(shape->Shape()->PenStyle(), psDot);
    EXPECT_EQ(shape->Shape()->ShapeType(), cstEllipse);
    // The image mode fits the picture of image items only.
    TModiControl* image = NewItem(cdtImage, 0, 0, 100, 100);
    const std::tuple<TPRNImgMode, bool, bool> modes[] = {
        {cstStretch, true, false}, {cstProport, false, true}, {cstCrop, false, false}};
    for (const auto& [mode, stretch, proportional] : modes) {
        image->setHnImgMode(mode);
        EXPECT_EQ(image->ImageBox()->Stretch(), stretch) << mode;
        EXPECT_EQ(image->ImageBox()->Proportional(), proportional) << mode;
    }
    TModiControl* html = NewItem(cdtHtml, 0, 0, 100, 100);
    html->setHnDefImgMode(cstStretch);
    EXPECT_FALSE(html->ImageBox()->Stretch());
}

TEST_F(ItemValuesTest, BoundsMoveTheItemAndMarkItOnlyWhenTheyChange) {
    TModiControl* item = NewItem(cdtImage, 10, 10, 100, 100);
    for (Box b : {Box{10, 10, 100, 100}, Box{11, 10, 100, 100}, Box{10, 11, 100, 100},
                  Box{10, 10, 101, 100}, Box{10, 10, 100, 101}}) {
        item->SetBounds(10, 10, 100, 100);
        item->blModified = false;
        item->SetBounds(b[0], b[1], b[2], b[3]);
        EXPECT_EQ(item->blModified, b != (Box{10, 10, 100, 100}));
    }
    QSignalSpy bounds(item, &TModiControl::onBounds);
    item->setIntDefLeft(11);
    item->setIntDefTop(22);
    item->setIntDefWidth(33);
    item->setIntDefHeight(44);
    EXPECT_EQ(Bounds(item), (Box{11, 22, 33, 44}));
    EXPECT_EQ(bounds.count(), 4);
    // Moving the widget itself moves the item and its inner control.
    item->blModified = false;
    item->move(70, 80);
    EXPECT_EQ(Bounds(item), (Box{70, 80, 33, 44}));
    EXPECT_EQ(item->ImageBox()->pos(), QPoint(70, 80));
    EXPECT_TRUE(item->blModified);
}

TEST_F(ItemValuesTest, InnerControlFollowsVisibilityAndBoundsShownOrNot) {
    paper_.hide();
    TModiControl* item = NewItem(cdtText, 10, 10, 100, 20);
    item->SetBounds(40, 50, 120, 60);
    // Off screen a text item is only its content: printing never builds an edit.
    EXPECT_EQ(item->EditBox(), nullptr);
    EXPECT_EQ(item->RichEdit()->Width(), 120);
    item->hide();
    item->show();
    paper_.show();
    ASSERT_NE(item->EditBox(), nullptr);
    EXPECT_TRUE(item->EditBox()->isVisible());
    EXPECT_EQ(item->EditBox()->geometry(), QRect(40, 50, 120, 60));
    item->setVisible(false);
    item->SetLeft(30);  // moving a hidden item keeps its inner control hidden
    EXPECT_TRUE(item->EditBox()->isHidden());
}

TEST_F(ItemValuesTest, DeletingTheItemRemovesItsControls) {
    TModiControl* item = NewItem(cdtText, 10, 10, 100, 20);
    item->setSelected(true);
    QPointer<QWidget> inner = item->DataObject();
    QPointer<QWidget> handle = item->Handle(3);
    delete item;
    EXPECT_TRUE(inner.isNull());
    EXPECT_TRUE(handle.isNull());
}

}  // namespace
}  // namespace kavel::test
