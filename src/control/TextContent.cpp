#include "control/TextContent.h"

#include <QFontMetricsF>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>

#include "control/ItemFont.h"
#include "control/TextShaping.h"

namespace kavel {

const std::vector<TTextContent::Span>& TTextContent::Spans() const {
    // Composition asks once per page: lay out again only when text, font or width changed.
    const LinesKey key{revision_, width_};
    if (!linesKey_ || !(*linesKey_ == key)) {
        spans_ = LayOutLines();
        linesKey_ = key;
    }
    return spans_;
}

int TTextContent::LineCount() const {
    return static_cast<int>(Spans().size());
}

QStringView TTextContent::Line(int i) const {
    const Span& span = Spans().at(static_cast<size_t>(i));
    return QStringView(text_).mid(span.start, span.length);
}

QStringList TTextContent::Lines() const {
    QStringList lines;
    for (int i = 0; i < LineCount(); ++i) lines << Line(i).toString();
    return lines;
}

QFont TTextContent::TextFont() const {
    return ItemFont(fontName_, fontSize_, fontStyle_, pixelsPerInch_);
}

void TTextContent::SetPixelsPerInch(int ppi) {
    ppi = ppi > 0 ? ppi : 96;
    if (ppi == pixelsPerInch_) return;
    pixelsPerInch_ = ppi;
    Changed();
}

std::vector<TTextContent::Span> TTextContent::LayOutLines() const {
    // Each paragraph is broken at the control's own width with the font that pages draw
    // it with, at the pixel density the item is drawn at.
    QFont font = TextFont();
    // Lines are broken with the glyphs that printing draws (no shaping for scripts that
    // need none); this is also what keeps breaking long texts fast.
    font.setStyleStrategy(TextNeedsShaping(text_) ? QFont::PreferDefault : QFont::PreferNoShaping);
    const qreal width = std::max(0, width_);
    const QFontMetricsF metrics(font);
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

void TTextContent::BreakParagraph(qsizetype start, qsizetype end, const QFont& font, qreal width,
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
        QTextLayout layout(text_.mid(from, to - from), font);
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

void TTextContent::Changed(bool lines) {
    // Only text, font and alignment change the lines; the look leaves them laid out.
    if (lines) ++revision_;
    if (OnChanged) OnChanged();
}

void TTextContent::SetTextFont(const QString& name, int pointSize, TFontStyles style,
                               TColor color) {
    if (name == fontName_ && pointSize == fontSize_ && style == fontStyle_ && color == fontColor_) {
        return;
    }
    fontName_ = name;
    fontSize_ = pointSize;
    fontStyle_ = style;
    fontColor_ = color;
    Changed();
}

void TTextContent::SetTextAlignment(TAlignment a) {
    if (a == alignment_) return;
    alignment_ = a;
    Changed();
}

void TTextContent::SetText(const QString& text) {
    QString plain = text;  // shares the caller's text unless line ends change
    if (plain.contains(QLatin1Char('\r'))) {
        plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    if (plain == text_) return;
    text_ = plain;
    Changed();
}

void TTextContent::SetWidth(int width) {
    // Only the lines depend on the width; the edit follows its own geometry.
    width_ = width;
}

void TTextContent::SetBackColor(TColor c) {
    if (backColor_ == c) return;
    backColor_ = c;
    Changed(false);
}

void TTextContent::ResetBackColor() {
    if (!backColor_) return;
    backColor_.reset();
    Changed(false);
}

void TTextContent::SetReadOnly(bool on) {
    if (on == readOnly_) return;
    readOnly_ = on;
    Changed(false);
}

}  // namespace kavel
