// The inner controls that show items in the designer: the rich-text edit of text items,
// the image box of the HTML family and images, and the sizing handles.
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <memory>

#include "control/ModiControls.h"

namespace kavel {

// ---------------------------------------------------------------- TRichEditBox

TRichEditBox::TRichEditBox(QWidget* parent) : QTextEdit(parent) {
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
    ApplyFormat();
}

QStringList TRichEditBox::Lines() const {
    // Composition asks once per page: lay out again only when text, font or width changed.
    const LinesKey key{document()->revision(), width(), fontName_, fontSize_, fontStyle_};
    if (linesKey_ && *linesKey_ == key) return lines_;
    lines_ = LayOutLines();
    linesKey_ = key;
    return lines_;
}

QStringList TRichEditBox::LayOutLines() const {
    // Lay out a copy at the control's own width: the widget's own layout follows its
    // width only once it has been shown, and the paper may never be on screen.
    std::unique_ptr<QTextDocument> doc(document()->clone());
    doc->setDocumentMargin(0);
    doc->setTextWidth(std::max(0, width()));
    doc->documentLayout()->documentSize();

    QStringList lines;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        const QTextLayout* layout = block.layout();
        const QString text = block.text();
        if (!layout || layout->lineCount() == 0) {
            lines << QString();
            continue;
        }
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            QString part = text.mid(line.textStart(), line.textLength());
            part.remove(QChar::LineSeparator);
            // Blanks at a soft break hang past the margin; they are not part of the line.
            if (i + 1 < layout->lineCount()) {
                while (!part.isEmpty() && part.back().isSpace()) part.chop(1);
            }
            lines << part;
        }
    }
    // Like a rich edit's line list: a final empty line (empty text, or text that ends in a
    // line break) is not a line.
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    return lines;
}

void TRichEditBox::SetTextFont(const QString& name, int pointSize, TFontStyles style,
                               TColor color) {
    fontName_ = name;
    fontSize_ = pointSize;
    fontStyle_ = style;
    fontColor_ = color;
    ApplyFormat();
}

void TRichEditBox::SetTextAlignment(TAlignment a) {
    alignment_ = a;
    ApplyFormat();
}

void TRichEditBox::SetText(const QString& text) {
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setPlainText(plain);
    ApplyFormat();
}

QString TRichEditBox::Text() const {
    return toPlainText();
}

void TRichEditBox::SetBackColor(TColor c) {
    QPalette pal = palette();
    pal.setColor(QPalette::Base, ToQColor(c));
    setPalette(pal);
    viewport()->setPalette(pal);
}

void TRichEditBox::ResetBackColor() {
    SetBackColor(FromQColor(QApplication::palette().color(QPalette::Base)));
}

TColor TRichEditBox::BackColor() const {
    return FromQColor(viewport()->palette().color(QPalette::Base));
}

void TRichEditBox::ApplyFormat() {
    QFont font(fontName_);
    if (fontSize_ > 0) font.setPointSize(fontSize_);
    font.setBold(fontStyle_ & fsBold);
    font.setItalic(fontStyle_ & fsItalic);
    font.setUnderline(fontStyle_ & fsUnderline);
    font.setStrikeOut(fontStyle_ & fsStrikeOut);
    setFont(font);
    document()->setDefaultFont(font);

    QTextCharFormat chars;
    chars.setFont(font);
    chars.setForeground(ToQColor(fontColor_));

    Qt::Alignment align = Qt::AlignLeft;
    if (alignment_ == taRightJustify) align = Qt::AlignRight;
    if (alignment_ == taCenter) align = Qt::AlignHCenter;
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
