// Restoring an item to its script values before an output or the designer.
#include <QImage>
#include <QSignalSpy>

#include "ItemTestSupport.h"

namespace kavel::test {
namespace {

using Box = std::array<int, 4>;

class ItemRestoreTest : public PaperTest {};

TEST_F(ItemRestoreTest, ItemMovedByTheMouseGoesBackAndAnUnchangedOneStaysUnmodified) {
    TModiControl* moved = NewItem(cdtShape, 100, 100, 60, 30);
    moved->setSelected(true);
    Drag(MouseTarget(moved), QPoint(120, 110), QPoint(25, 15));
    ASSERT_EQ(Bounds(moved), (Box{125, 115, 60, 30}));
    moved->blModified = false;  // as if the caller had cleared it since
    moved->RestoreToScript(false);
    EXPECT_EQ(moved->Shape()->geometry(), QRect(100, 100, 60, 30));
    EXPECT_TRUE(moved->blModified);
    for (TPRNDataType kind : {cdtText, cdtShape, cdtImage, cdtHtml, cdtPanel}) {
        TModiControl* item = NewItem(kind, 10, 20, 100, 40);
        item->strContent = QStringLiteral("content");
        item->RestoreToScript(false);
        EXPECT_FALSE(item->blModified) << kind;
        delete item;
    }
}

TEST_F(ItemRestoreTest, EachDifferenceFromTheScriptMarksTheItemAndIsUndone) {
    using Change = void (*)(TModiControl*);
    const std::pair<const char*, Change> cases[] = {
        {"hidden", [](TModiControl* i) { i->hide(); }},
        {"page type", [](TModiControl* i) { i->ptPageType = cptPageNo; }},
        {"horizontal anchoring", [](TModiControl* i) { i->hnHorzOrnt = chnClient; }},
        {"vertical anchoring", [](TModiControl* i) { i->hnVertOrnt = cvnCenter; }},
        {"image mode", [](TModiControl* i) { i->setHnImgMode(cstStretch); }},
        {"font name", [](TModiControl* i) { i->RichEdit()->SetTextFont("Arial", 9, 0, 0); }},
        {"colour", [](TModiControl* i) { i->RichEdit()->SetTextFont("宋体", 9, 0, clSilver); }},
        {"font size", [](TModiControl* i) { i->RichEdit()->SetTextFont("宋体", 12, 0, 0); }},
        {"style", [](TModiControl* i) { i->RichEdit()->SetTextFont("宋体", 9, fsItalic, 0); }},
        {"alignment", [](TModiControl* i) { i->RichEdit()->SetTextAlignment(taCenter); }}};
    for (const auto& [name, change] : cases) {
        SCOPED_TRACE(name);
        TModiControl* item = NewItem(cdtText, 10, 20, 100, 40);
        change(item);
        item->blModified = false;
        item->RestoreToScript(false);
        EXPECT_TRUE(item->blModified);
        EXPECT_EQ(std::tuple(item->isHidden(), item->ptPageType, item->hnHorzOrnt, item->hnVertOrnt,
                             item->hnImgMode()),
                  std::tuple(false, cptPageData, chnLeft, cvnTop, cstCrop));
        const TTextContent* edit = item->RichEdit();
        EXPECT_EQ(std::tuple(edit->FontName(), edit->FontSize(), edit->FontStyle(),
                             edit->FontColor(), edit->TextAlignment()),
                  std::tuple(QString("宋体"), 9, TFontStyles(0), clBlack, taLeftJustify));
        delete item;
    }
    using ShapeChange = void (*)(TPRNShape*);
    const ShapeChange shapeChanges[] = {[](TPRNShape* s) { s->SetPenColor(clSilver); },
                                        [](TPRNShape* s) { s->SetPenWidth(5); },
                                        [](TPRNShape* s) { s->SetPenStyle(psDash); },
                                        [](TPRNShape* s) { s->SetShapeType(cstDownLine); }};
    for (const ShapeChange change : shapeChanges) {
        TModiControl* item = NewItem(cdtShape, 10, 20, 60, 30);
        item->setStDefShapeType(cstUpLine);
        change(item->Shape());
        item->RestoreToScript(false);
        EXPECT_TRUE(item->blModified);
        const TPRNShape* shape = item->Shape();
        EXPECT_EQ(std::tuple(shape->Pen().color, shape->Pen().width, shape->PenStyle(),
                             shape->ShapeType()),
                  std::tuple(clBlack, 1, int(psSolid), cstUpLine));
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
    EXPECT_TRUE(item->ImageBox()->Proportional());
    EXPECT_EQ(marking.count(), 1);
}

TEST_F(ItemRestoreTest, TextTakesTheContentAndIsEditableOnlyInDesignMode) {
    TModiControl* item = NewItem(cdtText, 10, 20, 100, 40);
    item->strContent = QStringLiteral("hello\r\nworld");
    item->RestoreToScript(false);
    EXPECT_EQ(item->RichEdit()->Text(), QStringLiteral("hello\nworld"));
    EXPECT_TRUE(item->RichEdit()->ReadOnly());
    item->RestoreToScript(true);
    EXPECT_FALSE(item->RichEdit()->ReadOnly());
    // Items added in the designer are hidden until it shows them.
    item->blDesignAdded = true;
    item->RestoreToScript(true);
    EXPECT_TRUE(item->isHidden());
    EXPECT_TRUE(item->EditBox()->isHidden());
}

TEST_F(ItemRestoreTest, FixedItemsAreShownOnSilver) {
    const std::pair<TPRNPageType, bool> cases[] = {
        {cptPageData, false}, {cptHeadFoot, true}, {cptPageCount, true}, {cptMulPage, false}};
    TModiControl* text = NewItem(cdtText, 10, 20, 100, 40);
    TModiControl* shape = NewItem(cdtShape, 10, 80, 60, 30);
    for (const auto& [type, silver] : cases) {
        SCOPED_TRACE(type);
        text->setPtDefPageType(type);
        shape->setPtDefPageType(type);
        text->RestoreToScript(false);
        shape->RestoreToScript(false);
        // An item that went back to a body item loses its silver.
        EXPECT_EQ(text->RichEdit()->BackColor() == clSilver, silver);
        EXPECT_EQ(shape->Shape()->BrushColor(), silver ? clSilver : clWhite);
    }
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
