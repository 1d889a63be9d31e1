// Adding items to the task: content items, shapes, lines, pages and the paper.
#include "designer/PSetupFormUnit.h"
#include "html/CssValues.h"
#include "platform/Messages.h"

namespace kavel {

namespace {
// Characters a text item holds at the most: some 1,000 pages of text. Longer texts are cut,
// so that breaking them into lines takes seconds, not minutes.
constexpr qsizetype kMaxItemText = 4 * 1024 * 1024;
}  // namespace

void TPSetupForm::ApplyDefaultStyle(TModiControl* item) const {
    const TDefaultStyle& d = defaultStyle_;
    item->setPtDefPageType(d.pageType);
    item->setHnDefHorzOrnt(d.horzOrient);
    item->setHnDefVertOrnt(d.vertOrient);
    item->setHnDefImgMode(d.imgMode);
    item->setIntDefAngle(d.angle);
    item->setIntDefSize(d.fontSize);
    item->setStrDefFontName(d.fontName);
    item->setFcDefFontColor(d.fontColor);
    item->setFsDefFontStyle(d.fontStyle);
    item->setAlDefAlignment(d.alignment);
    item->setIntDefPenWidth(d.penWidth);
    item->setPsDefPenStyle(d.penStyle);
    item->blPreviewOnly = d.previewOnly;
}

QString TPSetupForm::ItemName(const QString& given) const {
    QString name = given.trimmed();
    if (name.contains(QStringLiteral("ITEM"))) {
        Context().Messages().ShowMessage(
            QStringLiteral("strItemName no permit including \"ITEM\"!"));
        name.clear();
    }
    if (name.isEmpty()) name = QStringLiteral("ITEM") + QString::number(items_.size());
    return name;
}

TModiControl* TPSetupForm::AddItem(const QString& name, int top, bool designAdded,
                                   const QString& content, TPRNDataType kind, int height, int width,
                                   int left) {
    auto* item = new TModiControl(Paper());
    ApplyDefaultStyle(item);
    item->SetObjectType(kind);
    if (auto* edit = item->RichEdit()) edit->SetPixelsPerInch(pixelsPerInch_);
    item->setIntDefLeft(left);
    item->setIntDefTop(top);
    item->setIntDefWidth(width);
    item->setIntDefHeight(height);
    item->strContent = content;
    if (kind == cdtText && content.size() > kMaxItemText) {
        item->strContent.truncate(kMaxItemText);
        Context().Messages().ShowMessage(
            QString("The text of item %1 is cut to its first %2 of %3 characters.")
                .arg(items_.size() + 1)
                .arg(kMaxItemText)
                .arg(content.size()));
    }
    item->blDesignAdded = designAdded;
    item->strItemName = ItemName(name);
    item->intPageNo = prnSetup_.intCurPageNo;
    item->intItemIndex = static_cast<int>(items_.size());
    if (auto* edit = item->RichEdit()) edit->SetText(item->strContent);
    item->blModified = false;
    items_.append(item);
    return item;
}

TModiControl* TPSetupForm::AddShape(int top, int left, bool designAdded, const Variant& color,
                                    int shapeType, int penWidth, int penStyle, int height,
                                    int width) {
    auto* item = new TModiControl(Paper());
    ApplyDefaultStyle(item);
    item->SetObjectType(cdtShape);
    item->setIntDefLeft(left);
    item->setIntDefTop(top);
    item->setIntDefWidth(width);
    item->setIntDefHeight(height);
    item->setStDefShapeType(static_cast<TPRNShapeType>(shapeType));
    item->setPsDefPenStyle(penStyle >= 0 && penStyle <= 4 ? static_cast<TPenStyle>(penStyle)
                                                          : psSolid);
    item->setIntDefPenWidth(penWidth);
    item->setFcDefFontColor(ColorValue(color.ToText(), item->fcDefFontColor()));
    item->blDesignAdded = designAdded;
    item->strItemName = ItemName(QString());
    item->intPageNo = prnSetup_.intCurPageNo;
    item->intItemIndex = static_cast<int>(items_.size());
    item->blModified = false;
    items_.append(item);
    return item;
}

void TPSetupForm::AddLine(int top1, int left1, int top2, int left2, int penStyle, int penWidth) {
    const bool down = (top1 < top2 && left1 < left2) || (top1 > top2 && left1 > left2);
    AddShape(std::min(top1, top2), std::min(left1, left2), false, Variant::I4(clBlack),
             down ? cstDownLine : cstUpLine, penWidth, penStyle, std::abs(top2 - top1),
             std::abs(left2 - left1));
}

bool TPSetupForm::NewPage() {
    if (!items_.isEmpty()) ++prnSetup_.intCurPageNo;
    return true;
}

void TPSetupForm::SetPaper(int top, int left, int width, int height) {
    pageObject_->setIntDefLeft(left);
    pageObject_->setIntDefTop(top);
    pageObject_->setIntDefWidth(width);
    pageObject_->setIntDefHeight(height);
    pageObject_->blModified = false;
    prnSetup_.blPaperSet = true;
}

}  // namespace kavel
