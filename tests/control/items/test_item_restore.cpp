// Restoring an item to its script values before an output or the designer.
#include <QImage>
#include <QSignalSpy>

#include "ItemTestSupport.h"

namespace kavel::test {
namespace {

using Box = std::array<int, 4>;

class ItemRestoreTest : public PaperTest {};

TEST_F(ItemRestoreTest, ItemMovedByTheMouseGoesBack) {
    TModiControl* item = NewItem(cdtShape, 100, 100, 60, 30);
    item->setSelected(true);
    Drag(MouseTarget(item), QPoint(120, 110), QPoint(25, 15));
    ASSERT_EQ(Bounds(item), (Box{125, 115, 60, 30}));
    item->blModified = false;  // as if the caller had cleared it since

    item->RestoreToScript(false);
    EXPECT_EQ(Bounds(item), (Box{100, 100, 60, 30}));
    EXPECT_EQ(item->Shape()->geometry(), QRect(100, 100, 60, 30));
    EXPECT_TRUE(item->blModified);
}

TEST_F(ItemRestoreTest, UnchangedItemStaysUnmodified) {
    for (TPRNDataType kind : {cdtText, cdtShape, cdtImage, cdtHtml, cdtPanel}) {
        SCOPED_TRACE(int(kind));
        TModiControl* item = NewItem(kind, 10, 20, 100, 40);
        item->strContent = QStringLiteral("content");
        item->RestoreToScript(false);
        EXPECT_FALSE(item->blModified);
        delete item;
    }
}

TEST_F(ItemRestoreTest, EachDifferenceFromTheScriptMarksTheItem) {
    struct Case {
        const char* name;
        void (*change)(TModiControl*);
    };
    const Case cases[] = {
        {"hidden", [](TModiControl* i) { i->hide(); }},
        {"page type", [](TModiControl* i) { i->ptPageType = cptPageNo; }},
        {"horizontal anchoring", [](TModiControl* i) { i->hnHorzOrnt = chnClient; }},
        {"vertical anchoring", [](TModiControl* i) { i->hnVertOrnt = cvnCenter; }},
        {"image mode", [](TModiControl* i) { i->setHnImgMode(cstStretch); }},
        {"font name", [](TModiControl* i) { i->RichEdit()->SetTextFont("Arial", 9, 0, 0); }},
        {"font colour",
         [](TModiControl* i) { i->RichEdit()->SetTextFont("宋体", 9, 0, clSilver); }},
        {"font size", [](TModiControl* i) { i->RichEdit()->SetTextFont("宋体", 12, 0, 0); }},
        {"font style", [](TModiControl* i) { i->RichEdit()->SetTextFont("宋体", 9, fsItalic, 0); }},
        {"alignment", [](TModiControl* i) { i->RichEdit()->SetTextAlignment(taCenter); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TModiControl* item = NewItem(cdtText, 10, 20, 100, 40);
        c.change(item);
        item->blModified = false;
        item->RestoreToScript(false);
        EXPECT_TRUE(item->blModified);
        EXPECT_FALSE(item->isHidden());
        EXPECT_EQ(item->ptPageType, cptPageData);
        EXPECT_EQ(item->hnHorzOrnt, chnLeft);
        EXPECT_EQ(item->hnVertOrnt, cvnTop);
        EXPECT_EQ(item->hnImgMode(), cstCrop);
        EXPECT_EQ(item->RichEdit()->FontName(), QStringLiteral("宋体"));
        EXPECT_EQ(item->RichEdit()->FontSize(), 9);
        EXPECT_EQ(item->RichEdit()->FontStyle(), 0);
        EXPECT_EQ(item->RichEdit()->FontColor(), clBlack);
        EXPECT_EQ(item->RichEdit()->TextAlignment(), taLeftJustify);
        delete item;
    }
}

TEST_F(ItemRestoreTest, ShapeDifferencesMarkTheItemAndAreUndone) {
    struct Case {
        const char* name;
        void (*change)(TPRNShape*);
    };
    const Case cases[] = {
        {"pen colour", [](TPRNShape* s) { s->SetPenColor(clSilver); }},
        {"pen width", [](TPRNShape* s) { s->SetPenWidth(5); }},
        {"pen style", [](TPRNShape* s) { s->SetPenStyle(psDash); }},
        {"shape type", [](TPRNShape* s) { s->SetShapeType(cstDownLine); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TModiControl* item = NewItem(cdtShape, 10, 20, 60, 30);
        item->setStDefShapeType(cstUpLine);
        c.change(item->Shape());
        item->RestoreToScript(false);
        EXPECT_TRUE(item->blModified);
        EXPECT_EQ(item->Shape()->Pen().color, clBlack);
        EXPECT_EQ(item->Shape()->Pen().width, 1);
        EXPECT_EQ(item->Shape()->PenStyle(), psSolid);
        EXPECT_EQ(item->Shape()->ShapeType(), cstUpLine);
        delete item;
    }
}

TEST_F(ItemRestoreTest, CurrentValuesTakeTheScriptValues) {
    TModiControl* item = NewItem(cdtImage, 10, 20, 100, 40);
    item->setIntDefAngle(30);
    item->setHnDefImgMode(cstProport);
    item->setIntAngle(90);
    item->setHnImgMode(cstStretch);
    QSignalSpy marking(item, &TModiControl::markHeadFoot);
    item->RestoreToScript(false);
    EXPECT_EQ(item->intAngle(), 30);
    EXPECT_EQ(item->hnImgMode(), cstProport);
    EXPECT_TRUE(item->ImageBox()->Proportional());
    EXPECT_EQ(marking.count(), 1);
}

TEST_F(ItemRestoreTest, DesignerAddedItemsAreHidden) {
    TModiControl* item = NewItem(cdtText, 10, 20, 100, 40);
    item->blDesignAdded = true;
    item->RestoreToScript(true);
    EXPECT_TRUE(item->isHidden());
    EXPECT_TRUE(item->RichEdit()->isHidden());
}

TEST_F(ItemRestoreTest, TextTakesTheContentAndIsEditableOnlyInDesignMode) {
    TModiControl* item = NewItem(cdtText, 10, 20, 100, 40);
    item->strContent = QStringLiteral("hello\r\nworld");
    item->RestoreToScript(false);
    EXPECT_EQ(item->RichEdit()->Text(), QStringLiteral("hello\nworld"));
    EXPECT_TRUE(item->RichEdit()->isReadOnly());
    item->RestoreToScript(true);
    EXPECT_FALSE(item->RichEdit()->isReadOnly());
}

TEST_F(ItemRestoreTest, FixedItemsAreShownOnSilver) {
    struct Case {
        TPRNPageType type;
        bool silver;
    };
    const Case cases[] = {{cptPageData, false},
                          {cptHeadFoot, true},
                          {cptPageNo, true},
                          {cptPageCount, true},
                          {cptMulPage, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.type));
        TModiControl* text = NewItem(cdtText, 10, 20, 100, 40);
        TModiControl* shape = NewItem(cdtShape, 10, 80, 60, 30);
        text->setPtDefPageType(c.type);
        shape->setPtDefPageType(c.type);
        text->RestoreToScript(false);
        shape->RestoreToScript(false);
        EXPECT_EQ(text->RichEdit()->BackColor() == clSilver, c.silver);
        EXPECT_EQ(shape->Shape()->BrushColor(), c.silver ? clSilver : clWhite);
        delete text;
        delete shape;
    }

    // An item that went back to a body item loses its silver.
    TModiControl* text = NewItem(cdtText, 10, 20, 100, 40);
    text->RichEdit()->SetBackColor(clSilver);
    text->RestoreToScript(false);
    EXPECT_NE(text->RichEdit()->BackColor(), clSilver);
}

TEST_F(ItemRestoreTest, EmptyPictureItemsShowAPlaceholderThatIsNeverPrinted) {
    for (TPRNDataType kind : {cdtHtml, cdtHtmText, cdtUrl, cdtTable, cdtTBUrl, cdtImage}) {
        SCOPED_TRACE(int(kind));
        TModiControl* item = NewItem(kind, 10, 20, 100, 40);
        item->RestoreToScript(true);
        TImageBox* box = item->ImageBox();
        EXPECT_FALSE(box->Placeholder().isEmpty());
        EXPECT_TRUE(box->Picture().isNull());

        QImage shown(box->size(), QImage::Format_RGB32);
        shown.fill(Qt::white);
        box->render(&shown, QPoint(), QRegion(), QWidget::RenderFlags());
        EXPECT_NE(shown.pixelColor(50, 5), QColor(Qt::white));

        item->strContent = QStringLiteral("<b>x</b>");
        item->RestoreToScript(true);
        EXPECT_TRUE(box->Placeholder().isEmpty());
        delete item;
    }
}

}  // namespace
}  // namespace kavel::test
