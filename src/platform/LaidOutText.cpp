// The text side of the laid-out document: shown text, innerText, and where characters lie.
#include <QSet>
#include <algorithm>

#include "platform/LaidOutDocument.h"

namespace kavel {

namespace {

bool IsCollapsible(QChar c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

enum class Spaces { Collapse, KeepNewlines, Keep };

Spaces SpacesOf(const QString& whiteSpace) {
    if (whiteSpace == QLatin1String("pre-line")) return Spaces::KeepNewlines;
    if (whiteSpace == QLatin1String("pre") || whiteSpace == QLatin1String("pre-wrap") ||
        whiteSpace == QLatin1String("break-spaces")) {
        return Spaces::Keep;
    }
    return Spaces::Collapse;
}

// White space runs become one space; with KeepNewlines a run that holds line feeds becomes
// those line feeds.
QString CollapseSpaces(QStringView text, Spaces spaces) {
    if (spaces == Spaces::Keep) return text.toString();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (!IsCollapsible(text[i])) {
            out += text[i++];
            continue;
        }
        int newlines = 0;
        for (; i < text.size() && IsCollapsible(text[i]); ++i) newlines += text[i] == '\n';
        if (spaces == Spaces::KeepNewlines && newlines > 0) {
            out += QString(newlines, '\n');
        } else {
            out += ' ';
        }
    }
    return out;
}

QString Transform(QString text, const QString& transform, QChar before) {
    if (transform == QLatin1String("uppercase")) return text.toUpper();
    if (transform == QLatin1String("lowercase")) return text.toLower();
    if (transform == QLatin1String("capitalize")) {
        bool wordStart = !before.isLetterOrNumber();
        for (QChar& c : text) {
            if (wordStart && c.isLetter()) c = c.toUpper();
            wordStart = !c.isLetterOrNumber();
        }
    }
    return text;
}

bool IsBlockDisplay(const QString& display) {
    static const QSet<QString> blocks = {
        "block",
        "list-item",
        "table",
        "flex",
        "grid",
        "flow-root",
        "table-caption",
        "table-row-group",
        "table-row",
        "table-header-group",
        "table-footer-group",
        "-webkit-box",
        "block flow",
        "block flow-root",
        "block flex",
        "block grid",
        "block table",
        "list-item block flow",
    };
    return blocks.contains(display);
}

QString TrimCollapsible(QString text, bool leading, bool trailing) {
    qsizetype from = 0, to = text.size();
    while (leading && from < to && text[from] == ' ') ++from;
    while (trailing && to > from && text[to - 1] == ' ') --to;
    return text.mid(from, to - from);
}

}  // namespace

// Joins the pieces of an element's text the way innerText does: collapsible spaces at line
// starts and before line breaks go, and the line breaks that blocks require count once
// between two pieces of text (a <br> is text of its own).
class InnerTextBuilder {
  public:
    void Collapsible(const QString& text) {
        for (const QChar c : text) {
            if (c == '\n') {
                Literal('\n');
            } else if (c == ' ') {
                if (!AtLineStart()) space_ = true;
            } else {
                Flush();
                if (space_) out_ += ' ';
                space_ = false;
                out_ += c;
            }
        }
    }
    void Preserved(const QString& text) {
        if (text.isEmpty()) return;
        Flush();
        if (space_) out_ += ' ';
        space_ = false;
        out_ += text;
    }
    void Literal(QChar c) {
        Flush();
        space_ = false;
        out_ += c;
    }
    // Hidden text gives no characters, but it takes room in its line, so the spaces on
    // either side of it do not collapse into one.
    void Invisible() {
        Flush();
        if (space_) out_ += ' ';
        space_ = false;
    }
    void RequireBreaks(int count) {
        space_ = false;
        breaks_ = std::max(breaks_, count);
    }
    QString Take() { return out_; }

  private:
    bool AtLineStart() const {
        return breaks_ > 0 || out_.isEmpty() || out_.back() == '\n' || out_.back() == '\t';
    }
    void Flush() {
        if (breaks_ > 0 && !out_.isEmpty()) out_ += QString(breaks_, '\n');
        breaks_ = 0;
    }

    QString out_;
    int breaks_ = 0;
    bool space_ = false;
};

QString LaidOutDocument::WhiteSpace(NodeId textId) const {
    return Style(textId, QStringLiteral("white-space"));
}

QString LaidOutDocument::RenderedText(NodeId id, int start, int end) const {
    const Text* text = TextData(id);
    if (!text) return {};
    start = std::clamp(start, 0, int(text->value.size()));
    end = std::clamp(end, start, int(text->value.size()));
    const QChar before = start > 0 ? text->value[start - 1] : QChar(' ');
    const QString shown =
        CollapseSpaces(QStringView(text->value).mid(start, end - start), SpacesOf(WhiteSpace(id)));
    return Transform(shown, Style(id, QStringLiteral("text-transform")), before);
}

QString LaidOutDocument::InnerText(NodeId id) const {
    InnerTextBuilder out;
    if (!IsValid(id)) return {};
    if (nodes_[id].kind == NodeKind::Text) {
        out.Collapsible(RenderedText(id, 0, int(Value(id).size())));
        return out.Take();
    }
    // Depth-first without recursion; a negative entry leaves the element -entry - 1.
    std::vector<NodeId> stack{id};
    while (!stack.empty()) {
        const NodeId current = stack.back();
        stack.pop_back();
        if (current < 0) {
            const NodeId left = -current - 1;
            if (Tag(left) == QLatin1String("p"))
                out.RequireBreaks(2);
            else if (IsBlockDisplay(Style(left, QStringLiteral("display"))))
                out.RequireBreaks(1);
            continue;
        }
        if (nodes_[current].kind == NodeKind::Text) {
            const QString visibility = Style(current, QStringLiteral("visibility"));
            if (visibility == QLatin1String("hidden") || visibility == QLatin1String("collapse")) {
                if (!Value(current).trimmed().isEmpty()) out.Invisible();
                continue;
            }
            const QString shown = RenderedText(current, 0, int(Value(current).size()));
            if (SpacesOf(WhiteSpace(current)) == Spaces::Keep)
                out.Preserved(shown);
            else
                out.Collapsible(shown);
            continue;
        }
        const QString display = Style(current, QStringLiteral("display"));
        if (current != id && display == QLatin1String("none")) continue;
        if (Tag(current) == QLatin1String("br")) {
            out.Literal('\n');
            continue;
        }
        if (display == QLatin1String("table-cell")) {
            const QList<NodeId> siblings = Children(Parent(current));
            const qsizetype at = siblings.indexOf(current);
            const bool first = std::none_of(siblings.begin(), siblings.begin() + at, [&](NodeId s) {
                return Style(s, QStringLiteral("display")) == QLatin1String("table-cell") &&
                       Kind(s) == NodeKind::Element;
            });
            if (!first) out.Literal('\t');
        }
        if (Tag(current) == QLatin1String("p"))
            out.RequireBreaks(2);
        else if (IsBlockDisplay(display))
            out.RequireBreaks(1);
        stack.push_back(-current - 1);
        const QList<NodeId> children = Children(current);
        for (auto it = children.rbegin(); it != children.rend(); ++it) stack.push_back(*it);
    }
    return out.Take();
}

QList<QRectF> LaidOutDocument::CharacterRects(NodeId id, int start, int end,
                                              const TextMeasure& measure) const {
    QList<QRectF> rects;
    const Text* text = TextData(id);
    if (!text) return rects;
    start = std::clamp(start, 0, int(text->value.size()));
    end = std::clamp(end, start, int(text->value.size()));
    const bool collapses = SpacesOf(WhiteSpace(id)) != Spaces::Keep;
    const TextMeasure width = measure ? measure : [](const QString& s) { return double(s.size()); };
    for (const TextLine& line : Lines(id)) {
        const int from = std::max(start, line.start), to = std::min(end, line.end);
        if (from >= to) continue;
        if (from == line.start && to == line.end) {
            rects.append(line.rect);
            continue;
        }
        // Spaces collapsed at the start of a line take no room, and a space that hangs at its
        // end is not part of the line box.
        const auto shownBefore = [&](int offset) {
            return TrimCollapsible(RenderedText(id, line.start, offset), collapses, false);
        };
        const double whole =
            width(TrimCollapsible(RenderedText(id, line.start, line.end), collapses, collapses));
        if (whole <= 0) {
            rects.append(line.rect);
            continue;
        }
        const double scale = line.rect.width() / whole;
        const double left = std::clamp(line.rect.left() + scale * width(shownBefore(from)),
                                       line.rect.left(), line.rect.right());
        const double right = std::clamp(
            line.rect.left() + scale * width(TrimCollapsible(shownBefore(to), false, collapses)),
            left, line.rect.right());
        rects.append(QRectF(left, line.rect.top(), right - left, line.rect.height()));
    }
    return rects;
}

}  // namespace kavel
