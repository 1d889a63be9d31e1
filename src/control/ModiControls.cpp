// The print item: kind and inner control, bounds and visibility, script and current values,
// and restoring an item to what script gave before an output.
#include <QEvent>
#include <algorithm>
#include <cstdint>

#include "control/ModiControls.h"
#include "control/Units.h"

namespace kavel {

namespace {

// The rectangle the widgets cover: a negative width or height counts from the other edge.
QRect NormalisedRect(int left, int top, int width, int height) {
    const int64_t l = std::min<int64_t>(left, int64_t{left} + width);
    const int64_t t = std::min<int64_t>(top, int64_t{top} + height);
    const int64_t w = width < 0 ? -int64_t{width} : width;
    const int64_t h = height < 0 ? -int64_t{height} : height;
    return QRect(ClampToInt(l), ClampToInt(t), ClampToInt(w), ClampToInt(h));
}

bool IsFixedForMarking(TPRNPageType t) {
    return t != cptPageData && t != cptMulPage;
}

// The caption of the placeholder that an empty picture item shows in the designer.
QString KindCaption(TPRNDataType t) {
    switch (t) {
        case cdtHtml:
            return QStringLiteral("HTML");
        case cdtHtmText:
            return QStringLiteral("HTM");
        case cdtUrl:
            return QStringLiteral("URL");
        case cdtTable:
            return QStringLiteral("TABLE");
        case cdtTBUrl:
            return QStringLiteral("TBURL");
        case cdtImage:
            return QStringLiteral("IMAGE");
        default:
            return QString();
    }
}

}  // namespace

TModiControl::TModiControl(QWidget* parent) : QWidget(parent) {
    // The item is only a frame for its inner control: it paints nothing and lets the mouse
    // through to the inner control, whose events reach the item through the event filter.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    ApplyGeometry();
    // A control is visible until it is hidden, whether or not the paper is on screen.
    setVisible(true);
}

TModiControl::~TModiControl() {
    delete dataObject_.data();
    for (auto& handle : handles_) delete handle.data();
}

// ---------------------------------------------------------------- kind

TRichEditBox* TModiControl::EditBox() const {
    return qobject_cast<TRichEditBox*>(dataObject_.data());
}

void TModiControl::WatchEditBox(QObject* filter) {
    editWatchers_.emplace_back(filter);
    if (auto* edit = EditBox()) edit->installEventFilter(filter);
}

TImageBox* TModiControl::ImageBox() const {
    return qobject_cast<TImageBox*>(dataObject_.data());
}

TPRNShape* TModiControl::Shape() const {
    return qobject_cast<TPRNShape*>(dataObject_.data());
}

void TModiControl::SetObjectType(TPRNDataType t) {
    delete dataObject_.data();
    dataObject_ = nullptr;
    textContent_.reset();
    objectType_ = t;
    CreateInner();
    if (!dataObject_ && !textContent_) return;

    switch (t) {
        case cdtPanel:
            SetBounds(0, 0, 800, 600);
            break;
        case cdtText:
            SetBounds(left_, top_, 100, 20);
            break;
        case cdtShape:
            SetBounds(left_, top_, 60, 30);
            break;
        default:
            SetBounds(left_, top_, 100, 100);
            break;
    }
    ApplyCursors();
}

void TModiControl::CreateInner() {
    QWidget* paper = parentWidget();
    QWidget* inner = nullptr;
    switch (objectType_) {
        case cdtPanel: {
            inner = new QWidget(paper);
            QPalette pal = inner->palette();
            pal.setColor(QPalette::Window, Qt::white);
            inner->setPalette(pal);
            inner->setAutoFillBackground(true);
            inner->setAttribute(Qt::WA_NoMousePropagation);
            break;
        }
        case cdtText:
            // A text item is its content; the edit that shows it is built when the item is
            // first on screen (CreateEditBox), so that printing never pays for it.
            textContent_ = std::make_unique<TTextContent>();
            textContent_->SetTextFont(defFontName_, defSize_, defFontStyle_, defFontColor_);
            textContent_->SetTextAlignment(defAlignment_);
            textContent_->SetWidth(geometry().width());
            if (isVisible()) CreateEditBox();
            return;
        case cdtShape:
            inner = new TPRNShape(paper);
            break;
        case cdtHtml:
        case cdtHtmText:
        case cdtUrl:
        case cdtTable:
        case cdtTBUrl:
        case cdtImage:
            inner = new TImageBox(paper);
            break;
        default:
            return;
    }
    inner->installEventFilter(this);
    // The designer hears every move over an item, with or without a button held.
    inner->setMouseTracking(true);
    dataObject_ = inner;

    // A replaced inner control shows the item as its values say.
    if (auto* shape = Shape()) {
        shape->SetPenColor(defFontColor_);
        shape->SetPenWidth(defPenWidth_);
        shape->SetPenStyle(defPenStyle_);
        shape->SetShapeType(defShapeType_);
    }
    ApplyImageMode();
    SyncInner();
}

// ---------------------------------------------------------------- bounds and visibility

void TModiControl::SetBounds(int left, int top, int width, int height) {
    const bool changed = left != left_ || top != top_ || width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    ApplyGeometry();
    if (changed) blModified = true;
    SyncInner();
    emit onBounds(this);
}

void TModiControl::ApplyGeometry() {
    applyingGeometry_ = true;
    setGeometry(NormalisedRect(left_, top_, width_, height_));
    applyingGeometry_ = false;
    appliedGeometry_ = geometry();
}

void TModiControl::AdoptWidgetGeometry() {
    // Someone moved the widget itself; the item's bounds follow it.
    if (applyingGeometry_ || geometry() == appliedGeometry_) return;
    const QRect r = geometry();
    SetBounds(r.x(), r.y(), r.width(), r.height());
}

void TModiControl::moveEvent(QMoveEvent*) {
    AdoptWidgetGeometry();
}
void TModiControl::resizeEvent(QResizeEvent*) {
    AdoptWidgetGeometry();
}

void TModiControl::setVisible(bool visible) {
    wantVisible_ = visible;
    // Without a paper the widget would become a window of its own.
    QWidget::setVisible(visible && parentWidget() != nullptr);
    SyncInner();
}

bool TModiControl::event(QEvent* e) {
    if (e->type() == QEvent::ParentChange) {
        // A widget given a new parent is hidden until shown again; the inner control and
        // the handles move to the same paper and take the same state.
        wantVisible_ = !isHidden();
        SyncInner();
        PlaceHandles();
    }
    return QWidget::event(e);
}

void TModiControl::CreateEditBox() {
    if (!textContent_ || dataObject_) return;
    auto* edit = new TRichEditBox(*textContent_, parentWidget());
    // Stacked right above its item, where it would lie had it been built with it.
    if (QWidget* paper = parentWidget()) {
        const QObjectList& siblings = paper->children();
        const qsizetype at = siblings.indexOf(this);
        for (qsizetype i = at + 1; at >= 0 && i < siblings.size(); ++i) {
            if (auto* next = qobject_cast<QWidget*>(siblings[i]); next && next != edit) {
                edit->stackUnder(next);
                break;
            }
        }
    }
    edit->installEventFilter(this);
    edit->viewport()->installEventFilter(this);
    edit->setMouseTracking(true);
    edit->viewport()->setMouseTracking(true);
    for (const auto& watcher : editWatchers_) {
        if (watcher) edit->installEventFilter(watcher);
    }
    connect(edit, &QTextEdit::textChanged, this, [this] { emit textEdited(this); });
    dataObject_ = edit;
    ApplyCursors();
    SyncInner();
}

void TModiControl::showEvent(QShowEvent* event) {
    CreateEditBox();
    QWidget::showEvent(event);
}

void TModiControl::SyncInner() {
    if (textContent_) textContent_->SetWidth(geometry().width());
    if (!dataObject_) return;
    QWidget* paper = parentWidget();
    if (dataObject_->parentWidget() != paper) dataObject_->setParent(paper);
    QRect inner = geometry();
    // A line as flat as its pen still shows, and the mouse can take it: its inner control
    // is a few pixels thick (the line is drawn along its top or left edge, where it prints).
    if (TPRNShape* shape = Shape()) shape->SetFigureSize(inner.size());
    if (const TPRNShape* shape = Shape(); shape && shape->ShapeType() <= cstDownLine) {
        constexpr int kThinnest = 3;
        inner.setWidth(std::max(inner.width(), kThinnest));
        inner.setHeight(std::max(inner.height(), kThinnest));
    }
    dataObject_->setGeometry(inner);
    dataObject_->setVisible(wantVisible_ && paper != nullptr);
}

// ---------------------------------------------------------------- script and current values

void TModiControl::setIntDefLeft(int v) {
    defLeft_ = v;
    SetLeft(v);
}

void TModiControl::setIntDefTop(int v) {
    defTop_ = v;
    SetTop(v);
}

void TModiControl::setIntDefWidth(int v) {
    defWidth_ = v;
    SetWidth(v);
}

void TModiControl::setIntDefHeight(int v) {
    defHeight_ = v;
    SetHeight(v);
}

void TModiControl::setHnImgMode(TPRNImgMode m) {
    imgMode_ = m;
    ApplyImageMode();
}

void TModiControl::setHnDefImgMode(TPRNImgMode m) {
    defImgMode_ = m;
    setHnImgMode(m);
}

void TModiControl::ApplyImageMode() {
    auto* box = ImageBox();
    if (!box || objectType_ != cdtImage) return;
    box->SetStretch(imgMode_ == cstStretch);
    box->SetProportional(imgMode_ == cstProport);
}

void TModiControl::setIntDefSize(int v) {
    defSize_ = v;
    if (auto* edit = RichEdit()) {
        edit->SetTextFont(edit->FontName(), v, edit->FontStyle(), edit->FontColor());
    }
}

void TModiControl::setIntDefPenWidth(int v) {
    defPenWidth_ = v;
    if (auto* shape = Shape()) shape->SetPenWidth(v);
}

void TModiControl::setFcDefFontColor(TColor c) {
    defFontColor_ = c;
    if (auto* edit = RichEdit()) {
        edit->SetTextFont(edit->FontName(), edit->FontSize(), edit->FontStyle(), c);
    }
    if (auto* shape = Shape()) shape->SetPenColor(c);
}

void TModiControl::setAlDefAlignment(TAlignment a) {
    defAlignment_ = a;
    if (auto* edit = RichEdit()) edit->SetTextAlignment(a);
}

void TModiControl::setFsDefFontStyle(TFontStyles s) {
    defFontStyle_ = s;
    if (auto* edit = RichEdit()) {
        edit->SetTextFont(edit->FontName(), edit->FontSize(), s, edit->FontColor());
    }
}

void TModiControl::setPsDefPenStyle(TPenStyle s) {
    defPenStyle_ = s;
    if (auto* shape = Shape()) shape->SetPenStyle(s);
}

void TModiControl::setStDefShapeType(TPRNShapeType t) {
    defShapeType_ = t;
    if (auto* shape = Shape()) shape->SetShapeType(t);
    SyncInner();
}

void TModiControl::setStrDefFontName(const QString& name) {
    defFontName_ = name;
    if (auto* edit = RichEdit()) {
        edit->SetTextFont(name, edit->FontSize(), edit->FontStyle(), edit->FontColor());
    }
}

int TModiControl::NormalizeAngle(int v) {
    // Whole turns are taken off until the angle lies within -360..360; the limits stay.
    if (v > 360) return (v - 1) % 360 + 1;
    if (v < -360) return (v + 1) % 360 - 1;
    return v;
}

void TModiControl::setIntAngle(int v) {
    angle_ = NormalizeAngle(v);
}

void TModiControl::setIntDefAngle(int v) {
    defAngle_ = NormalizeAngle(v);
    angle_ = defAngle_;
}

// ---------------------------------------------------------------- restoring

void TModiControl::RestoreToScript(bool designMode) {
    if (!dataObject_ && !textContent_) return;

    if (!blModified) {
        blModified = !Visible() || ptPageType != ptDefPageType || hnHorzOrnt != hnDefHorzOrnt ||
                     hnVertOrnt != hnDefVertOrnt || imgMode_ != defImgMode_ || left_ != defLeft_ ||
                     top_ != defTop_ || width_ != defWidth_ || height_ != defHeight_;
    }

    // Items the designer inserted have no script values to return to.
    setVisible(!blDesignAdded);

    ptPageType = ptDefPageType;
    hnHorzOrnt = hnDefHorzOrnt;
    setHnImgMode(defImgMode_);
    hnVertOrnt = hnDefVertOrnt;
    angle_ = defAngle_;
    SetBounds(defLeft_, defTop_, defWidth_, defHeight_);
    emit markHeadFoot(this);

    const bool marked = IsFixedForMarking(ptPageType);
    if (IsImageKind(objectType_)) {
        if (auto* box = ImageBox()) {
            box->SetPlaceholder(strContent.isEmpty() ? KindCaption(objectType_) : QString());
        }
    } else if (auto* edit = RichEdit()) {
        if (!blModified) {
            blModified = edit->FontName() != defFontName_ || edit->FontColor() != defFontColor_ ||
                         edit->FontSize() != defSize_ || edit->FontStyle() != defFontStyle_ ||
                         edit->TextAlignment() != defAlignment_;
        }
        edit->SetTextFont(defFontName_, defSize_, defFontStyle_, defFontColor_);
        edit->SetTextAlignment(defAlignment_);
        edit->SetText(strContent);
        edit->SetReadOnly(!designMode);
        if (marked) {
            edit->SetBackColor(clSilver);
        } else {
            edit->ResetBackColor();
        }
    } else if (auto* shape = Shape()) {
        if (!blModified) {
            blModified =
                shape->Pen().color != defFontColor_ || shape->Pen().width != defPenWidth_ ||
                shape->PenStyle() != TPRNShape::PenStyleOf(TPRNShape::QtPenStyle(defPenStyle_)) ||
                shape->ShapeType() != defShapeType_;
        }
        shape->SetPenColor(defFontColor_);
        shape->SetPenWidth(defPenWidth_);
        shape->SetPenStyle(defPenStyle_);
        shape->SetShapeType(defShapeType_);
        shape->SetBrushColor(marked ? clSilver : clWhite);
    }
}

}  // namespace kavel
