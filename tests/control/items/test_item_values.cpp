// Item kinds, bounds, visibility and the pairs of script and current values.
#include <QPointer>
#include <QSignalSpy>

#include "ItemTestSupport.h"

namespace kavel::test {
namespace {

using Box = std::array<int, 4>;

class ItemValuesTest : public PaperTest {};

TEST(ItemAngleTest, AngleIsKeptWithinOneTurn) {
    struct Case {
        int given, stored;
    };
    const Case cases[] = {
        {0, 0},       {10, 10},         {360, 360},        {-360, -360}, {361, 1},
        {370, 10},    {725, 5},         {720, 360},        {-361, -1},   {-725, -5},
        {-720, -360}, {INT32_MAX, 127}, {INT32_MIN, -128},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        TModiControl item(nullptr);
        item.setIntDefAngle(c.given);
        EXPECT_EQ(item.intDefAngle(), c.stored);
        EXPECT_EQ(item.intAngle(), c.stored);
        item.setIntAngle(c.given);
        EXPECT_EQ(item.intAngle(), c.stored);
    }
}

TEST(ItemAngleTest, CurrentAngleLeavesTheScriptAngle) {
    TModiControl item(nullptr);
    item.setIntDefAngle(30);
    item.setIntAngle(400);
    EXPECT_EQ(item.intAngle(), 40);
    EXPECT_EQ(item.intDefAngle(), 30);
}

TEST(ItemPairsTest, ScriptValueSetsTheCurrentValueButNotTheOtherWay) {
    TModiControl item(nullptr);
    item.setPtDefPageType(cptHeadFoot);
    item.setHnDefHorzOrnt(chnRight);
    item.setHnDefVertOrnt(cvnBottom);
    item.setHnDefImgMode(cstStretch);
    EXPECT_EQ(item.ptPageType, cptHeadFoot);
    EXPECT_EQ(item.hnHorzOrnt, chnRight);
    EXPECT_EQ(item.hnVertOrnt, cvnBottom);
    EXPECT_EQ(item.hnImgMode(), cstStretch);

    item.setHnImgMode(cstProport);
    EXPECT_EQ(item.hnImgMode(), cstProport);
    EXPECT_EQ(item.hnDefImgMode(), cstStretch);
}

TEST_F(ItemValuesTest, FreshItem) {
    TModiControl item(&paper_);
    EXPECT_EQ(Bounds(&item), (Box{0, 0, 100, 100}));
    EXPECT_EQ(item.intPageNo, 0);
    EXPECT_TRUE(item.strPageIndex.isEmpty());
    EXPECT_FALSE(item.blPreviewOnly);
    EXPECT_EQ(item.DataObject(), nullptr);
    EXPECT_TRUE(item.Visible());
    EXPECT_FALSE(item.isHidden());
    EXPECT_TRUE(item.testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST_F(ItemValuesTest, KindSetsItsInnerControlAndDefaultSize) {
    struct Case {
        TPRNDataType kind;
        const char* innerClass;
        Box bounds;  // for an item at (5, 7) before the kind is set
    };
    const Case cases[] = {
        {cdtPanel, "QWidget", {0, 0, 800, 600}},
        {cdtHtml, "kavel::TImageBox", {5, 7, 100, 100}},
        {cdtText, "kavel::TRichEditBox", {5, 7, 100, 20}},
        {cdtShape, "kavel::TPRNShape", {5, 7, 60, 30}},
        {cdtHtmText, "kavel::TImageBox", {5, 7, 100, 100}},
        {cdtUrl, "kavel::TImageBox", {5, 7, 100, 100}},
        {cdtTable, "kavel::TImageBox", {5, 7, 100, 100}},
        {cdtTBUrl, "kavel::TImageBox", {5, 7, 100, 100}},
        {cdtImage, "kavel::TImageBox", {5, 7, 100, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.kind));
        TModiControl item(&paper_);
        item.SetBounds(5, 7, 100, 100);
        item.SetObjectType(c.kind);
        EXPECT_EQ(item.ObjectType(), c.kind);
        ASSERT_NE(item.DataObject(), nullptr);
        EXPECT_STREQ(item.DataObject()->metaObject()->className(), c.innerClass);
        EXPECT_EQ(item.DataObject()->parentWidget(), &paper_);
        EXPECT_EQ(Bounds(&item), c.bounds);
        EXPECT_EQ(item.DataObject()->geometry(),
                  QRect(c.bounds[0], c.bounds[1], c.bounds[2], c.bounds[3]));
        EXPECT_TRUE(item.DataObject()->isVisible());
    }
}

TEST_F(ItemValuesTest, UnknownKindCreatesNothing) {
    TModiControl item(&paper_);
    item.SetObjectType(cdtText);
    item.SetObjectType(static_cast<TPRNDataType>(9));
    EXPECT_EQ(item.DataObject(), nullptr);
    EXPECT_EQ(Bounds(&item), (Box{0, 0, 100, 20}));
    item.RestoreToScript(true);  // nothing to restore without an inner control
    EXPECT_EQ(Bounds(&item), (Box{0, 0, 100, 20}));
}

TEST_F(ItemValuesTest, ChangingTheKindReplacesTheInnerControl) {
    TModiControl* item = NewItem(cdtText, 20, 30, 150, 40);
    QPointer<QWidget> old = item->DataObject();
    ASSERT_NE(item->RichEdit(), nullptr);
    item->setIntDefPenWidth(4);
    item->setFcDefFontColor(RGBColor(0, 0, 255));

    item->SetObjectType(cdtShape);
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(item->RichEdit(), nullptr);
    ASSERT_NE(item->Shape(), nullptr);
    EXPECT_EQ(item->Shape()->parentWidget(), &paper_);
    EXPECT_EQ(Bounds(item), (Box{20, 30, 60, 30}));
    // The new control shows the item's values.
    EXPECT_EQ(item->Shape()->Pen().width, 4);
    EXPECT_EQ(item->Shape()->Pen().color, RGBColor(0, 0, 255));

    // The new control's mouse events reach the item.
    item->setSelected(true);
    Drag(MouseTarget(item), QPoint(30, 40), QPoint(10, 0));
    EXPECT_EQ(item->Left(), 30);
}

TEST_F(ItemValuesTest, StyleSettersReachTheInnerControl) {
    TModiControl* text = NewItem(cdtText, 0, 0, 100, 20);
    text->setStrDefFontName(QStringLiteral("Arial"));
    text->setIntDefSize(14);
    text->setFcDefFontColor(RGBColor(10, 20, 30));
    text->setFsDefFontStyle(fsBold | fsUnderline);
    text->setAlDefAlignment(taCenter);
    TRichEditBox* edit = text->RichEdit();
    EXPECT_EQ(edit->FontName(), QStringLiteral("Arial"));
    EXPECT_EQ(edit->FontSize(), 14);
    EXPECT_EQ(edit->FontColor(), RGBColor(10, 20, 30));
    EXPECT_EQ(edit->FontStyle(), fsBold | fsUnderline);
    EXPECT_EQ(edit->TextAlignment(), taCenter);
    EXPECT_TRUE(edit->font().bold());
    EXPECT_EQ(edit->font().pixelSize(), 19);  // 14 points at 96 pixels per inch

    TModiControl* shape = NewItem(cdtShape, 0, 0, 60, 30);
    shape->setIntDefPenWidth(3);
    shape->setPsDefPenStyle(psDot);
    shape->setStDefShapeType(cstEllipse);
    shape->setFcDefFontColor(RGBColor(200, 0, 0));
    EXPECT_EQ(shape->Shape()->Pen().width, 3);
    EXPECT_EQ(shape->Shape()->PenStyle(), psDot);
    EXPECT_EQ(shape->Shape()->ShapeType(), cstEllipse);
    EXPECT_EQ(shape->Shape()->Pen().color, RGBColor(200, 0, 0));
}

TEST_F(ItemValuesTest, ImageModeFitsThePictureOfImageItemsOnly) {
    struct Case {
        TPRNImgMode mode;
        bool stretch, proportional;
    };
    TModiControl* image = NewItem(cdtImage, 0, 0, 100, 100);
    for (const Case& c : {Case{cstStretch, true, false}, Case{cstProport, false, true},
                          Case{cstCrop, false, false}}) {
        SCOPED_TRACE(int(c.mode));
        image->setHnImgMode(c.mode);
        EXPECT_EQ(image->ImageBox()->Stretch(), c.stretch);
        EXPECT_EQ(image->ImageBox()->Proportional(), c.proportional);
    }
    image->setHnDefImgMode(cstStretch);
    EXPECT_TRUE(image->ImageBox()->Stretch());

    TModiControl* html = NewItem(cdtHtml, 0, 0, 100, 100);
    html->setHnDefImgMode(cstStretch);
    EXPECT_FALSE(html->ImageBox()->Stretch());
}

TEST_F(ItemValuesTest, ScriptBoundsMoveTheItem) {
    TModiControl* item = NewItem(cdtImage, 0, 0, 100, 100);
    QSignalSpy bounds(item, &TModiControl::onBounds);
    item->setIntDefLeft(11);
    item->setIntDefTop(22);
    item->setIntDefWidth(33);
    item->setIntDefHeight(44);
    EXPECT_EQ(Bounds(item), (Box{11, 22, 33, 44}));
    EXPECT_EQ(item->intDefLeft(), 11);
    EXPECT_EQ(item->intDefHeight(), 44);
    EXPECT_EQ(bounds.count(), 4);
    EXPECT_TRUE(item->blModified);
}

TEST_F(ItemValuesTest, OnlyAChangeOfBoundsMarksTheItemModified) {
    TModiControl* item = NewItem(cdtImage, 10, 10, 100, 100);
    item->SetBounds(10, 10, 100, 100);
    EXPECT_FALSE(item->blModified);
    for (Box b : {Box{11, 10, 100, 100}, Box{10, 11, 100, 100}, Box{10, 10, 101, 100},
                  Box{10, 10, 100, 101}}) {
        item->SetBounds(10, 10, 100, 100);
        item->blModified = false;
        item->SetBounds(b[0], b[1], b[2], b[3]);
        EXPECT_TRUE(item->blModified);
    }
}

TEST_F(ItemValuesTest, InnerControlFollowsWhileThePaperIsNotShown) {
    paper_.hide();
    TModiControl* item = NewItem(cdtText, 10, 10, 100, 20);
    item->SetBounds(40, 50, 120, 60);
    EXPECT_EQ(item->RichEdit()->geometry(), QRect(40, 50, 120, 60));
    item->hide();
    EXPECT_FALSE(item->Visible());
    EXPECT_TRUE(item->RichEdit()->isHidden());
    item->show();
    EXPECT_TRUE(item->Visible());
    EXPECT_FALSE(item->RichEdit()->isHidden());

    paper_.show();
    EXPECT_TRUE(item->RichEdit()->isVisible());
    EXPECT_EQ(item->RichEdit()->geometry(), QRect(40, 50, 120, 60));
}

TEST_F(ItemValuesTest, HiddenItemHidesItsInnerControl) {
    TModiControl* item = NewItem(cdtShape, 10, 10, 60, 30);
    item->setVisible(false);
    EXPECT_TRUE(item->isHidden());
    EXPECT_TRUE(item->Shape()->isHidden());
    // Moving a hidden item keeps its inner control hidden.
    item->SetLeft(30);
    EXPECT_TRUE(item->Shape()->isHidden());
    item->setVisible(true);
    EXPECT_TRUE(item->Shape()->isVisible());
}

TEST_F(ItemValuesTest, ItemMovedToAnotherPaperTakesItsControlsAlong) {
    auto* item = new TModiControl(nullptr);
    item->SetObjectType(cdtText);
    item->setSelected(true);
    // Without a paper nothing shows up as a window of its own.
    EXPECT_FALSE(item->isVisible());
    EXPECT_FALSE(item->RichEdit()->isVisible());
    EXPECT_FALSE(item->Handle(0)->isVisible());

    item->setParent(&paper_);
    EXPECT_EQ(item->RichEdit()->parentWidget(), &paper_);
    EXPECT_EQ(item->Handle(0)->parentWidget(), &paper_);
    // Like any widget given a new parent, it waits to be shown.
    EXPECT_FALSE(item->Visible());
    EXPECT_TRUE(item->RichEdit()->isHidden());
    item->show();
    EXPECT_TRUE(item->Visible());
    EXPECT_TRUE(item->RichEdit()->isVisible());
    EXPECT_TRUE(item->Handle(0)->isVisible());
}

TEST_F(ItemValuesTest, MovingTheWidgetItselfMovesTheItem) {
    TModiControl* item = NewItem(cdtShape, 10, 10, 60, 30);
    item->move(70, 80);
    EXPECT_EQ(Bounds(item), (Box{70, 80, 60, 30}));
    EXPECT_EQ(item->Shape()->pos(), QPoint(70, 80));
    EXPECT_TRUE(item->blModified);
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
