// A mirror of a document as the browser engine laid it out: the nodes under the root
// element (the body) in document order, each element's rectangle, computed style and the
// attributes the HTML conversion reads, and each text node's value with its line boxes.
// It is read in one batch (BrowserPage::Read) and needs the browser no more afterwards.
//
// Units: rectangles are CSS px in document coordinates (the page's scroll offset is already
// added). Text offsets are UTF-16 offsets into a text node's value as the DOM holds it,
// before white space is collapsed.
//
// Computed values are the browser's, mapped to what the CSS and colour routines expect:
//   - colours are "rgb(r, g, b)"; a colour with alpha 0 (such as "rgba(0, 0, 0, 0)") is
//     "transparent"; a partly transparent colour is blended over white;
//   - text-align "start"/"end" become "left"/"right" ("right"/"left" right-to-left),
//     "-webkit-center", "-webkit-left", "-webkit-right" and "-webkit-auto" lose the prefix
//     ("auto" becomes "left"), "match-parent" becomes "left";
//   - the width of a border side whose style is none or hidden is "0px" and its colour "";
//   - lengths stay as the browser gives them, fractions kept ("13.3333px" for 10pt);
//   - text-decoration is the browser's text-decoration-line ("underline line-through").
#pragma once

#include <QHash>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

#include "platform/BrowserResult.h"

namespace kavel {

using NodeId = int;
constexpr NodeId kNoNode = -1;

enum class NodeKind { Element, Text };

// One line box of a text node: its rectangle and the characters [start, end) on it.
struct TextLine {
    QRectF rect;
    int start = 0;
    int end = 0;
};

// Element properties that only some elements carry (see Metrics()).
struct ElementMetrics {
    double offsetLeft = 0, offsetTop = 0;
    double scrollWidth = 0, scrollHeight = 0;
};

// Width of a text in CSS px, in the font of the node it belongs to.
using TextMeasure = std::function<double(const QString& text)>;

class LayoutReplyDecoder;
class InnerTextBuilder;

class LaidOutDocument {
  public:
    // The computed properties read for every element, in the order of the reply.
    static const QStringList& Properties();

    // Decodes the layout reader's reply (data/layout-walker.js); an error for a reply that
    // is not a well-formed one.
    static BrowserResult<LaidOutDocument> FromReply(const QByteArray& json);

    // The root element (the body); kNoNode for an empty mirror.
    NodeId Root() const { return NodeCount() > 0 ? 0 : kNoNode; }
    int NodeCount() const { return static_cast<int>(nodes_.size()); }
    bool IsValid(NodeId id) const { return id >= 0 && id < NodeCount(); }
    NodeKind Kind(NodeId id) const;
    NodeId Parent(NodeId id) const;
    // Child nodes in document order, elements and text nodes interleaved.
    QList<NodeId> Children(NodeId id) const;
    // The lower-case tag ("td"); empty for a text node.
    QString Tag(NodeId id) const;
    // The DOM's node name: the upper-case tag ("TD"), or "#text".
    QString NodeName(NodeId id) const;
    // The bounding rectangle; for a text node the union of its line boxes.
    QRectF Rect(NodeId id) const;

    // A computed value by CSS name ("font-size") or style-object name ("fontSize",
    // "textDecoration"), mapped as described above; a text node answers its parent's.
    // Empty for a property that is not read.
    QString Style(NodeId id, const QString& property) const;
    // The number of an element's set of computed values (a text node: its parent's): elements
    // with the same number have the same values. -1 for none.
    int StyleNumber(NodeId id) const;
    // An attribute as written, for the attributes the conversion reads: border,
    // bordercolor, bordercolorlight, bordercolordark, cellspacing. Null when absent.
    QString Attribute(NodeId id, const QString& name) const;
    // Whether the element has any of those attributes.
    bool HasAttributes(NodeId id) const { return attributes_.contains(id); }
    // A DOM property of an input (type, value, checked) or an img (complete, naturalWidth,
    // naturalHeight, currentSrc: the address it was loaded from). Invalid when not read.
    QVariant Property(NodeId id, const QString& name) const;
    // offsetLeft/Top and scrollWidth/Height, read for the root, picture elements (img, hr,
    // object, embed, textarea, select, input, canvas, svg, video, iframe, audio, button,
    // meter, progress), elements with a background picture and elements whose overflow is
    // not visible; none for other elements.
    std::optional<ElementMetrics> Metrics(NodeId id) const;

    // The elements under `id` (not itself) with the tag, in document order; "*" for all.
    QList<NodeId> ElementsByTagName(NodeId id, const QString& tag) const;
    // The element's text as the browser's innerText gives it, roughly: white space collapsed
    // per the element's white-space, text-transform applied, hidden content left out, a
    // line break ("\n") at block boundaries and <br>, tabs between table cells.
    QString InnerText(NodeId id) const;

    // A text node's value as the DOM holds it.
    QString Value(NodeId id) const;
    // A text node's line boxes in order (none when it is not rendered).
    QList<TextLine> Lines(NodeId id) const;
    // Characters [start, end) of a text node as shown: white space collapsed per its
    // white-space, text-transform applied.
    QString RenderedText(NodeId id, int start, int end) const;
    // Where characters [start, end) of a text node lie: one rectangle per line they occupy,
    // as a text range over them reports. Where the span starts or ends inside a line, the
    // position within the line is found with `measure` (the text's width in its font),
    // scaled so that the whole line measures the line box's width; without one, every
    // character counts the same.
    QList<QRectF> CharacterRects(NodeId id, int start, int end,
                                 const TextMeasure& measure = {}) const;

    // The layout viewport (CSS px) and the root's and the document element's scroll sizes.
    QSizeF ViewportSize() const { return viewport_; }
    QSizeF RootScrollSize() const { return rootScroll_; }
    QSizeF DocumentScrollSize() const { return documentScroll_; }
    // Whether the read stopped at a limit (ReadLimits) before the end of the document: the
    // mirror then holds the document up to that point. The reason names the limit.
    bool Truncated() const { return !truncation_.isEmpty(); }
    QString TruncationReason() const { return truncation_; }

  private:
    struct Node {
        NodeKind kind = NodeKind::Element;
        NodeId parent = kNoNode;
        NodeId lastDescendant = kNoNode;  // pre-order: descendants are (id, lastDescendant]
        int firstChild = 0;               // index into children_
        int childCount = 0;
        int data = 0;  // index into elements_ or texts_
    };
    struct Element {
        int tag = 0;  // index into strings_
        QRectF rect;
        int style = 0;  // index of its tuple in styles_
    };
    struct Text {
        QString value;
        int firstLine = 0;  // index into lines_
        int lineCount = 0;
    };

    friend class LayoutReplyDecoder;

    NodeId ElementOf(NodeId id) const;  // the node itself, or a text node's parent
    const Element* ElementData(NodeId id) const;
    const Text* TextData(NodeId id) const;
    QString WhiteSpace(NodeId textId) const;

    std::vector<Node> nodes_;
    std::vector<NodeId> children_;
    std::vector<Element> elements_;
    std::vector<Text> texts_;
    std::vector<TextLine> lines_;
    QStringList strings_;
    std::vector<QString> styles_;  // tuples of Properties().size() mapped values
    QHash<NodeId, QList<std::pair<QString, QString>>> attributes_;
    QHash<NodeId, QVariantHash> properties_;
    QHash<NodeId, ElementMetrics> metrics_;
    QSizeF viewport_, rootScroll_, documentScroll_;
    QString truncation_;
};

}  // namespace kavel
