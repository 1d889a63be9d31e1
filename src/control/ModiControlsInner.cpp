// The inner controls that show items in the designer: the rich-text edit of text items,
// the image box of the HTML family and images, and the sizing handles.
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <memory>

#include "control/ModiControls.h"

namespace kavel {

// ---------------------------------------------------------------- TRichEditBox

TRichEditBox::TRichEditBox(TTextContent& content, QWidget* parent)
    : QTextEdit(parent), content_(content) {
    // The text is laid out at exactly the control's width, so that the lines printed are
    // the lines the user sees: no frame, no scroll bars, no document margin.
    setFrameStyle(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setViewportMargins(0, 0, 0, 0);
    document()->setDocumentMargin(0);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setAcceptRichText(false);
    setAttribute(Qt::WA_NoMousePropagation);
    document()->setUndoRedoEnabled(false);
    // What the user types becomes the item's text.
    connect(this, &QTextEdit::textChanged, this, [this] {
        if (syncing_) return;
        syncing_ = true;
        content_.SetText(toPlainText());
        syncing_ = false;
    });
    content_.OnChanged = [this] { ContentChanged(); };
    SyncDocument();
}

TRichEditBox::~TRichEditBox() {
    content_.OnChanged = nullptr;
}

void TRichEditBox::ContentChanged() {
    if (syncing_) return;  // the edit's own typing
    documentStale_ = true;
    if (isVisible()) SyncDocument();
}

void TRichEditBox::showEvent(QShowEvent* event) {
    if (documentStale_) SyncDocument();
    QTextEdit::showEvent(event);
}

void TRichEditBox::SyncDocument() {
    syncing_ = true;
    setPlainText(content_.Text());
    ApplyFormat();
    ApplyLook();
    syncing_ = false;
    documentStale_ = false;
}

void TRichEditBox::ApplyLook() {
    setReadOnly(content_.ReadOnly());
    QPalette pal = palette();
    const auto back = content_.BackColor();
    pal.setColor(QPalette::Base,
                 back ? ToQColor(*back) : QApplication::palette().color(QPalette::Base));
    setPalette(pal);
    viewport()->setPalette(pal);
}

TColor TRichEditBox::BackColor() const {
    return FromQColor(viewport()->palette().color(QPalette::Base));
}

void TRichEditBox::ApplyFormat() {
    const QFont font = content_.TextFont();
    setFont(font);
    document()->setDefaultFont(font);

    QTextCharFormat chars;
    chars.setFont(font);
    chars.setForeground(ToQColor(content_.FontColor()));

    Qt::Alignment align = Qt::AlignLeft;
    if (content_.TextAlignment() == taRightJustify) align = Qt::AlignRight;
    if (content_.TextAlignment() == taCenter) align = Qt::AlignHCenter;
    QTextBlockFormat blocks;
    blocks.setAlignment(align);

    QTextOption option = document()->defaultTextOption();
    option.setAlignment(align);
    document()->setDefaultTextOption(option);

    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    cursor.mergeCharFormat(chars);
    cursor.mergeBlockFormat(blocks);
    setCurrentCharFormat(chars);
}

// ---------------------------------------------------------------- TImageBox

TImageBox::TImageBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_NoMousePropagation);
}

void TImageBox::SetPicture(const QImage& image) {
    picture_ = image;
    update();
}

void TImageBox::SetStretch(bool on) {
    stretch_ = on;
    update();
}

void TImageBox::SetProportional(bool on) {
    proportional_ = on;
    update();
}

void TImageBox::SetPlaceholder(const QString& caption) {
    placeholder_ = caption;
    update();
}

void TImageBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (picture_.isNull()) {
        if (placeholder_.isEmpty()) return;
        painter.fillRect(rect(), QColor(235, 235, 235));
        painter.setPen(QColor(160, 160, 160));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, placeholder_);
        return;
    }
    if (stretch_) {
        painter.drawImage(rect(), picture_);
        return;
    }
    const QSize own = picture_.size();
    if (proportional_ && (own.width() > width() || own.height() > height())) {
        // Proportional fitting only ever shrinks a picture, never enlarges it.
        const QSize fitted = own.scaled(size(), Qt::KeepAspectRatio);
        painter.drawImage(QRect(QPoint(0, 0), fitted), picture_);
        return;
    }
    painter.drawImage(QPoint(0, 0), picture_);
}

// ---------------------------------------------------------------- TDragPoint

TDragPoint::TDragPoint(QWidget* parent) : QWidget(parent) {
    resize(TModiControl::kHandleSize, TModiControl::kHandleSize);
    setAttribute(Qt::WA_NoMousePropagation);
    // Handles appear only with a selection; a child that was never hidden would show up
    // with its parent.
    hide();
}

void TDragPoint::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
}

}  // namespace kavel
