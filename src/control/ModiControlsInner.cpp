// The inner controls that show items in the designer: the rich-text edit of text items,
// the image box of the HTML family and images, and the sizing handles.
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <memory>

#include "control/ItemFont.h"
#include "control/ModiControls.h"
#include "control/TextShaping.h"

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
    document()->setUndoRedoEnabled(false);
    // What the user types in the designer becomes the item's text.
    connect(this, &QTextEdit::textChanged, this, [this] {
        if (syncing_) return;
        text_ = toPlainText();
        ++revision_;
    });
    SyncDocument();
}

const std::vector<TRichEditBox::Span>& TRichEditBox::Spans() const {
    // Composition asks once per page: lay out again only when text, font or width changed.
    const LinesKey key{revision_, width()};
    if (!linesKey_ || !(*linesKey_ == key)) {
        spans_ = LayOutLines();
        linesKey_ = key;
    }
    return spans_;
}

int TRichEditBox::LineCount() const {
    return static_cast<int>(Spans().size());
}

QStringView TRichEditBox::Line(int i) const {
    const Span& span = Spans().at(static_cast<size_t>(i));
    return QStringView(text_).mid(span.start, span.length);
}

QStringList TRichEditBox::Lines() const {
    QStringList lines;
    for (int i = 0; i < LineCount(); ++i) lines << Line(i).toString();
    return lines;
}

QFont TRichEditBox::TextFont() const {
    return ItemFont(fontName_, fontSize_, fontStyle_, pixelsPerInch_);
}

void TRichEditBox::SetPixelsPerInch(int ppi) {
    ppi = ppi > 0 ? ppi : 96;
    if (ppi == pixelsPerInch_) return;
    pixelsPerInch_ = ppi;
    setFont(TextFont());
    Changed();
}

std::vector<TRichEditBox::Span> TRichEditBox::LayOutLines() const {
    // Each paragraph is broken at the control's own width with the font that pages draw
    // it with, at the pixel density the item is drawn at.
    QFont font = TextFont();
    // Lines are broken with the glyphs that printing draws (no shaping for scripts that
    // need none); this is also what keeps breaking long texts fast.
    font.setStyleStrategy(TextNeedsShaping(text_) ? QFont::PreferDefault : QFont::PreferNoShaping);
    const qreal width = std::max(0, this->width());
    const QFontMetricsF metrics(font, const_cast<TRichEditBox*>(this));
    std::vector<Span> spans;
    qsizetype start = 0;
    while (start <= text_.size()) {
        qsizetype end = text_.indexOf(QLatin1Char('\n'), start);
        if (end < 0) end = text_.size();
        if (end == start) {
            spans.push_back({start, 0});
        } else if (end - start <= kLayoutPiece &&
                   metrics.horizontalAdvance(
                       QStringView(text_).mid(start, end - start).toString()) <= width) {
            spans.push_back({start, end - start});  // fits whole: nothing to break
        } else {
            BreakParagraph(start, end, font, width, spans);
        }
        start = end + 1;
    }
    // Like a rich edit's line list: a final empty line (empty text, or text that ends in a
    // line break) is not a line.
    if (!spans.empty() && spans.back().length == 0) spans.pop_back();
    return spans;
}

void TRichEditBox::BreakParagraph(qsizetype start, qsizetype end, const QFont& font, qreal width,
                                  std::vector<Span>& spans) const {
    // The paragraph is laid out a piece at a time, so that one of a million characters costs
    // what a thousand short ones do. A piece's last line may go on past the piece: it is
    // laid out again at the start of the next one, so the lines are those of the whole.
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    const size_t first = spans.size();
    qsizetype from = start;
    qsizetype piece = kLayoutPiece;
    while (from < end) {
        const qsizetype to = std::min(end, from + piece);
        QTextLayout layout(text_.mid(from, to - from), font, const_cast<TRichEditBox*>(this));
        layout.setTextOption(option);
        layout.beginLayout();
        std::vector<Span> lines;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines.push_back({from + line.textStart(), line.textLength()});
        }
        layout.endLayout();
        if (to < end) {
            if (lines.size() < 2) {
                piece *= 2;  // a line wider than the piece: take more at once
                continue;
            }
            lines.pop_back();
        }
        from = to < end ? lines.back().start + lines.back().length : end;
        spans.insert(spans.end(), lines.begin(), lines.end());
    }
    // Blanks at a soft break hang past the margin; they are not part of the line.
    for (size_t i = first; i + 1 < spans.size(); ++i) {
        Span& s = spans[i];
        while (s.length > 0 && text_.at(s.start + s.length - 1).isSpace()) --s.length;
    }
}

void TRichEditBox::Changed() {
    ++revision_;
    documentStale_ = true;
    if (isVisible()) SyncDocument();
}

void TRichEditBox::showEvent(QShowEvent* event) {
    if (documentStale_) SyncDocument();
    QTextEdit::showEvent(event);
}

void TRichEditBox::SyncDocument() {
    syncing_ = true;
    setPlainText(text_);
    ApplyFormat();
    syncing_ = false;
    documentStale_ = false;
}

void TRichEditBox::SetTextFont(const QString& name, int pointSize, TFontStyles style,
                               TColor color) {
    if (name == fontName_ && pointSize == fontSize_ && style == fontStyle_ && color == fontColor_) {
        return;
    }
    fontName_ = name;
    fontSize_ = pointSize;
    fontStyle_ = style;
    fontColor_ = color;
    setFont(TextFont());
    Changed();
}

void TRichEditBox::SetTextAlignment(TAlignment a) {
    if (a == alignment_) return;
    alignment_ = a;
    Changed();
}

void TRichEditBox::SetText(const QString& text) {
    QString plain = text;  // shares the caller's text unless line ends change
    if (plain.contains(QLatin1Char('\r'))) {
        plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    if (plain == text_) return;
    text_ = plain;
    Changed();
}

QString TRichEditBox::Text() const {
    return text_;
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
    const QFont font = TextFont();
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
