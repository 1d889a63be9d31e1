#include "html/TrodeTree.h"

#include <cmath>
#include <map>
#include <unordered_map>

#include "html/CssValues.h"
#include "html/KvlHtmlUnit.h"
#include "platform/BrowserEngine.h"

namespace kavel {

namespace {

const QString kDefaultBorderColor = QStringLiteral("#d4d0c8");

// Elements that cannot be reduced to text print as the browser shows them.
bool IsPictureTag(const QString& tag) {
    static const QStringList tags = {"img",   "hr",     "object",  "textarea", "select",
                                     "input", "canvas", "svg",     "video",    "iframe",
                                     "embed", "meter",  "progress"};
    return tags.contains(tag);
}

class TreeBuilder {
  public:
    explicit TreeBuilder(const TreeSource& source)
        : doc_(source.document),
          source_(source),
          k_(source.pixelsPerInch / 96.0),
          pictureScale_(std::max<double>(kMinPictureDpi, source.pixelsPerInch) / 96.0) {}

    // A rectangle of the document in the control's pixels, edges rounded.
    QRect ToControl(const QRectF& css) const {
        const int l = int(std::lround(css.left() * k_)), t = int(std::lround(css.top() * k_));
        const int r = int(std::lround(css.right() * k_)), b = int(std::lround(css.bottom() * k_));
        return QRect(l, t, r - l, b - t);
    }

    bool InitTrode(TPRNTrode& node, const TPRNTrode* parent) {
        if (node.Element == kNoNode || doc_.Kind(node.Element) != NodeKind::Element) return false;
        Styled& styled = StyledOf(node.Element);
        node.Border = BorderOf(node, parent, styled);
        node.BackColor = styled.backColor;
        if (node.TagName == "s" || node.TagName == "strike" || node.TagName == "del") {
            node.StrikeOut = true;
        }
        // A picture keeps its whole box even where it overflows its parent (a float taller
        // than its paragraph): the browser shows all of it.
        node.Bounds = ToControl(doc_.Rect(node.Element));
        // Shared borders lie on the edge between two cells: each cell draws the line where
        // its neighbour does, not next to it.
        const bool cell = node.TagName == "td" || node.TagName == "th";
        node.CollapsedBorders = (cell || node.TagName == "table") && styled.collapse;
        if (node.CollapsedBorders && cell) {
            const auto& w = node.Border.Widths;
            node.Bounds.adjust(-(w[bsLeft] / 2), -(w[bsTop] / 2), w[bsRight] - w[bsRight] / 2,
                               w[bsBottom] - w[bsBottom] / 2);
        }
        node.FontName = styled.fontName;
        const int parentSize = parent ? parent->FontSize : node.BaseFontSize;
        node.FontSize = FontSizeOf(styled, node.BaseFontSize, parentSize);
        node.FontColor = styled.fontColor;
        node.FontStyle = styled.fontStyle;
        if (node.StrikeOut) node.FontStyle |= fsStrikeOut;
        node.Visible = !styled.hidden && node.TagName != "noscript" &&
                       !(node.TagName == "input" &&
                         doc_.Property(node.Element, "type").toString() == "hidden");
        node.Escapement = 0;
        node.WeightDelta = styled.weightDelta;
        if (node.WeightDelta > 0) node.FontStyle |= fsBold;
        node.HorzAlign = HorzAlignValue(styled.textAlign, node.HorzAlign);
        node.VertAlign = VertAlignValue(styled.verticalAlign, node.VertAlign);
        if (node.Visible && node.TagName == "table") {
            // Collapsed borders have no spacing: the cells' outer lines are the table's.
            node.CellSpacing =
                node.CollapsedBorders
                    ? 0
                    : LengthToPixels(doc_.Attribute(node.Element, "cellspacing"), 2, 96) * k_;
        }
        return true;
    }

    // What an element's computed values alone decide, worked out once for each set of values
    // the document has: the thousands of cells of a long table share a handful.
    struct Styled {
        TColor backColor = 0, fontColor = 0;
        QString fontName, fontSize, textAlign, verticalAlign, backgroundImage;
        TFontStyles fontStyle = 0;
        int weightDelta = 0;
        bool collapse = false, hidden = false;
        std::map<std::pair<int, int>, int> sizes;  // font size by (base, parent) size
    };

    Styled& StyledOf(NodeId element) {
        const int number = doc_.StyleNumber(element);
        auto [it, added] = styled_.try_emplace(number);
        Styled& s = it->second;
        if (!added) return s;
        const auto style = [&](const char* property) {
            return doc_.Style(element, QString::fromLatin1(property));
        };
        s.backColor = ColorValue(style("background-color"), 0xFFFFFF);
        s.collapse = style("border-collapse") == "collapse";
        const QString family = style("font-family");
        QString first = family.section(',', 0, 0);
        if (first.trimmed().isEmpty()) first = family;
        s.fontName = first.remove('"').remove('\'').trimmed();
        s.fontSize = style("font-size");
        s.fontColor = ColorValue(style("color"), 0);
        s.fontStyle = FontStyleValue(style("font-style"), 0);
        s.fontStyle = FontStyleValue(style("text-decoration-line"), s.fontStyle);
        s.hidden = style("display") == "none" || style("visibility") == "hidden";
        s.weightDelta = FontWeightValue(style("font-weight")) - 400;
        s.textAlign = style("text-align");
        s.verticalAlign = style("vertical-align");
        s.backgroundImage = style("background-image");
        return s;
    }

    int FontSizeOf(Styled& styled, int baseSize, int parentSize) const {
        auto [it, added] = styled.sizes.try_emplace({baseSize, parentSize});
        if (added) it->second = FontSizeValue(styled.fontSize, 96, baseSize, parentSize);
        return it->second;
    }

    // An element's borders depend on its attributes and its parent's border colours as well:
    // only those without either are shared.
    TDPBord BorderOf(const TPRNTrode& node, const TPRNTrode* parent, const Styled& styled) {
        const auto build = [&] {
            return BuildBorder(doc_, node.Element, parent ? &parent->Border : nullptr,
                               source_.pixelsPerInch);
        };
        const bool plain = !doc_.HasAttributes(node.Element) &&
                           (!parent || (parent->Border.BorderColorAttr.isEmpty() &&
                                        parent->Border.BorderColorLightAttr.isEmpty() &&
                                        parent->Border.BorderColorDarkAttr.isEmpty()));
        if (!plain) return build();
        const auto key = std::make_pair(&styled, node.TagName);
        auto it = borders_.find(key);
        if (it == borders_.end()) it = borders_.emplace(key, build()).first;
        return it->second;
    }

    std::unique_ptr<TPRNTrode> Child(const TPRNTrode& parent, NodeId id) const {
        auto c = std::make_unique<TPRNTrode>();
        c->BaseFontSize = parent.BaseFontSize;
        c->OriginX = parent.OriginX;
        c->OriginY = parent.OriginY;
        c->SkipTag = parent.SkipTag;
        c->PartTag = parent.PartTag;
        c->Border = parent.Border;
        c->BackColor = parent.BackColor;
        c->StrikeOut = parent.StrikeOut;
        c->HasText = parent.HasText;
        c->Element = id;
        c->NodeType = doc_.Kind(id) == NodeKind::Text ? 3 : 1;
        c->TagName = doc_.NodeName(id).toLower();
        c->TagPath = parent.TagPath + "." + c->TagName;
        if (c->TagName == "input") {
            c->HorzAlign = kAlignCenter;
            c->VertAlign = kAlignMiddle;
        } else {
            c->HorzAlign = parent.HorzAlign;
            c->VertAlign = parent.VertAlign;
            c->CellSpacing = parent.CellSpacing;
        }
        return c;
    }

    void TakePicture(TPRNTrode& node) {
        if (!source_.page) return;
        const BrowserResult<QImage> shot =
            SnapshotElement(*source_.page, doc_, node.Element, pictureScale_);
        if (shot) {
            node.Picture = *shot.value;
        } else if (source_.problem && source_.problem->isEmpty()) {
            *source_.problem =
                QStringLiteral("a picture of the document is missing: ") + shot.error;
        }
    }

    void Shift(QRect& r, const TPRNTrode& node) const { r.translate(node.OriginX, node.OriginY); }

    void Element(TPRNTrode& parent, TPRNTrode& c, int depth) {
        if (!InitTrode(c, &parent)) {
            c.Visible = false;
            return;
        }
        if (!c.SkipTag.isEmpty() && c.TagName == c.SkipTag.toLower()) {
            c.Visible = false;
            parent.SkipTag.clear();
            c.SkipTag.clear();
        }
        if (!c.Visible) return;
        // An element's text is only needed for boxes with a background picture: reading it
        // for every element would walk the document once per level.
        const QString& background = StyledOf(c.Element).backgroundImage;
        const bool backgroundPicture = !background.isEmpty() && background != "none";
        if (backgroundPicture) c.Text = doc_.InnerText(c.Element).remove(QStringLiteral("\r\n"));
        const bool picture =
            IsPictureTag(c.TagName) || (backgroundPicture && c.Text.trimmed().isEmpty());
        if (picture) {
            c.HasText = false;
            c.PictureWidth = c.Bounds.width();
            c.PictureHeight = c.Bounds.height();
            if (c.TagName == "input" && doc_.Property(c.Element, "type").toString() == "text") {
                TLineText run;
                run.Text = doc_.Property(c.Element, "value").toString();
                run.Rect = c.Bounds.adjusted(c.Border.Widths[bsLeft] + 2, 0, 0, 0);
                Shift(run.Rect, c);
                c.Runs.push_back(run);
                c.HasText = true;
            }
            Shift(c.Bounds, c);
            TakePicture(c);
            c.ContentBottom = c.Bounds.y() + c.Bounds.height();
            for (const TLineText& run : c.Runs) {
                c.ContentBottom = std::max(c.ContentBottom, run.Rect.y() + run.Rect.height());
            }
            if (!c.HasText) return;
        } else {
            Shift(c.Bounds, c);
            c.ContentBottom = c.Bounds.y() + c.Bounds.height();
        }
        WalkChildren(c, depth + 1);
    }

    // The lines of a text node as the browser broke them: one run per line.
    void BuildTextRuns(TPRNTrode& t) {
        for (const TextLine& line : doc_.Lines(t.Element)) {
            QString text = doc_.RenderedText(t.Element, line.start, line.end);
            while (!text.isEmpty() && text.back().isSpace()) text.chop(1);
            if (text.trimmed().isEmpty()) continue;
            TLineText run;
            run.Text = text;
            run.WideFont = text.front().unicode() >= 0x2E80;
            run.Rect = ToControl(line.rect);
            Shift(run.Rect, t);
            t.ContentBottom = std::max(t.ContentBottom, run.Rect.y() + run.Rect.height());
            t.Runs.push_back(std::move(run));
        }
    }

    void Text(const TPRNTrode& parent, TPRNTrode& t) {
        t.Text = doc_.Value(t.Element);
        if (t.Text.trimmed().isEmpty() || !t.HasText || parent.TagName == "param") return;
        t.FontName = parent.FontName;
        t.FontSize = parent.FontSize;
        t.FontColor = parent.FontColor;
        t.FontStyle = parent.FontStyle;
        t.Escapement = parent.Escapement;
        t.WeightDelta = parent.WeightDelta;
        t.HorzAlign = parent.HorzAlign;
        t.VertAlign = parent.VertAlign;
        t.CellSpacing = parent.CellSpacing;
        t.Visible = parent.Visible && t.FontSize > 0;
        if (t.Visible) BuildTextRuns(t);
    }

    void WalkChildren(TPRNTrode& node, int depth) {
        if (depth > kMaxTreeDepth) {
            if (source_.problem && source_.problem->isEmpty()) {
                *source_.problem = QStringLiteral(
                                       "the document is nested deeper than %1 levels; what "
                                       "lies deeper is left out")
                                       .arg(kMaxTreeDepth);
            }
            return;
        }
        const QList<NodeId> children = doc_.Children(node.Element);
        node.Children.reserve(children.size());
        for (NodeId id : children) {
            std::unique_ptr<TPRNTrode> c = Child(node, id);
            if (c->NodeType == 1) {
                Element(node, *c, depth);
            } else {
                Text(node, *c);
            }
            node.ContentBottom = std::max(node.ContentBottom, c->ContentBottom);
            node.Children.push_back(std::move(c));
        }
    }

    const LaidOutDocument& doc_;
    const TreeSource& source_;
    double k_;
    double pictureScale_;
    std::unordered_map<int, Styled> styled_;  // by style number
    std::map<std::pair<const Styled*, QString>, TDPBord> borders_;
};

}  // namespace

NodeId FindShallowestByTag(const LaidOutDocument& document, NodeId node, const QString& tag) {
    NodeId best = kNoNode;
    int bestDepth = 0;
    for (NodeId id : document.ElementsByTagName(node, tag)) {
        int depth = 0;
        for (NodeId up = id; up != node && up != kNoNode; up = document.Parent(up)) ++depth;
        if (best == kNoNode || depth < bestDepth) best = id, bestDepth = depth;
    }
    return best;
}

TDPBord BuildBorder(const LaidOutDocument& document, NodeId element, const TDPBord* parent,
                    int pixelsPerInch) {
    TDPBord b;
    if (element == kNoNode || document.Kind(element) != NodeKind::Element) return b;
    const QString tag = document.Tag(element);
    const auto attribute = [&](const char* name) {
        return document.Attribute(element, QString::fromLatin1(name));
    };
    int attributePixels = 1;
    if (const QString border = attribute("border"); !border.isEmpty()) {
        b.BorderAttr = border;
        attributePixels = LengthToPixels(border, 1, pixelsPerInch);
    }
    b.BorderColorAttr = attribute("bordercolor");
    const QString inherited = parent ? parent->BorderColorAttr : QString();
    b.BorderColorLightAttr = attribute("bordercolorlight");
    if (b.BorderColorLightAttr.isEmpty()) b.BorderColorLightAttr = b.BorderColorAttr;
    if (b.BorderColorLightAttr.isEmpty() && parent) {
        b.BorderColorLightAttr = parent->BorderColorLightAttr;
    }
    b.BorderColorDarkAttr = attribute("bordercolordark");
    if (b.BorderColorDarkAttr.isEmpty()) b.BorderColorDarkAttr = b.BorderColorAttr;
    if (b.BorderColorDarkAttr.isEmpty() && parent) {
        b.BorderColorDarkAttr = parent->BorderColorDarkAttr;
    }
    if (b.BorderColorAttr.isEmpty()) b.BorderColorAttr = inherited;

    static const char* const sides[4] = {"left", "top", "right", "bottom"};
    QString colors[4], styles[4], widths[4];
    for (int i = 0; i < 4; ++i) {
        const QString prefix = QStringLiteral("border-%1-").arg(QLatin1String(sides[i]));
        colors[i] = document.Style(element, prefix + "color");
        styles[i] = document.Style(element, prefix + "style");
        widths[i] = document.Style(element, prefix + "width");
        b.Styles[i] = PenStyleValue(styles[i], psSolid);
    }
    for (int i = 0; i < 4; ++i) {
        b.Widths[i] = BorderWidthValue(widths[i], styles[i], attributePixels, pixelsPerInch, tag);
        // Lengths of the browser are CSS px; the tree's are the control's pixels.
        b.Widths[i] = int(std::lround(b.Widths[i] * pixelsPerInch / 96.0));
    }
    b.DarkColor = ColorValue(kDefaultBorderColor, 0, 0.5);
    if (!b.BorderColorDarkAttr.isEmpty())
        b.DarkColor = ColorValue(b.BorderColorDarkAttr, b.DarkColor);
    b.LightColor = ColorValue(kDefaultBorderColor, 0);
    if (!b.BorderColorLightAttr.isEmpty()) {
        b.LightColor = ColorValue(b.BorderColorLightAttr, b.LightColor);
    }
    const auto factor = [&](int side, const char* style) {
        return styles[side].toLower() == QLatin1String(style) ? 0.5 : 1.0;
    };
    b.LeftColor = ColorValue(colors[bsLeft], b.DarkColor, factor(bsLeft, "inset"));
    b.TopColor = ColorValue(colors[bsTop], b.DarkColor, factor(bsTop, "inset"));
    b.RightColor = ColorValue(colors[bsRight], b.LightColor, factor(bsRight, "outset"));
    b.BottomColor = ColorValue(colors[bsBottom], b.LightColor, factor(bsBottom, "outset"));
    return b;
}

namespace {

QString RectText(const QRect& r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

QString ColorText(TColor c) {
    return QStringLiteral("#%1%2%3")
        .arg(c & 0xFF, 2, 16, QChar('0'))
        .arg((c >> 8) & 0xFF, 2, 16, QChar('0'))
        .arg((c >> 16) & 0xFF, 2, 16, QChar('0'));
}

void Dump(const TPRNTrode& node, int depth, QString& out) {
    const QString indent(depth * 2, ' ');
    if (node.NodeType == 1) {
        out += indent + node.TagName + " " + RectText(node.Bounds);
        out += QStringLiteral(" font %1 %2 %3 style %4")
                   .arg(node.FontName)
                   .arg(node.FontSize)
                   .arg(ColorText(node.FontColor))
                   .arg(node.FontStyle);
        if (node.BackColor != 0xFFFFFF) out += " back " + ColorText(node.BackColor);
        const auto& w = node.Border.Widths;
        if (w[0] || w[1] || w[2] || w[3]) {
            out += QStringLiteral(" border %1,%2,%3,%4 %5")
                       .arg(w[0])
                       .arg(w[1])
                       .arg(w[2])
                       .arg(w[3])
                       .arg(ColorText(node.Border.TopColor));
        }
        if (node.PictureWidth > 0) out += QStringLiteral(" picture");
        out += '\n';
    }
    for (const TLineText& run : node.Runs) {
        out += indent + "  \"" + run.Text + "\" " + RectText(run.Rect) + '\n';
    }
    for (const auto& c : node.Children) {
        if (c && c->Visible) Dump(*c, node.NodeType == 1 ? depth + 1 : depth, out);
    }
}

}  // namespace

QString DumpTrodeTree(const TPRNTrode& root) {
    QString out;
    Dump(root, 0, out);
    return out;
}

std::unique_ptr<TPRNTrode> BuildTrodeTree(const TreeSource& source, const QString& startTag,
                                          const QString& partTag, const QString& skipTag,
                                          int offset) {
    const LaidOutDocument& doc = source.document;
    const NodeId body = doc.Root();
    if (body == kNoNode) return nullptr;
    auto root = std::make_unique<TPRNTrode>();
    root->VertAlign = kAlignBottom;
    const NodeId start = startTag == "body" ? body : FindShallowestByTag(doc, body, startTag);
    const NodeId part =
        start == kNoNode || partTag == startTag ? start : FindShallowestByTag(doc, start, partTag);
    if (part == kNoNode) return root;

    TreeBuilder builder(source);
    root->Element = part;
    root->TagName = doc.NodeName(part).toLower();
    root->TagPath = doc.NodeName(part);
    root->PartTag = partTag.toLower();
    if (!builder.InitTrode(*root, nullptr)) return root;
    root->SkipTag = skipTag;
    root->OriginX = -root->Bounds.left();
    root->OriginY = -(root->Bounds.top() + offset);
    root->BaseFontSize = root->FontSize;
    root->Bounds.translate(root->OriginX, root->OriginY + offset);
    root->Bounds.setHeight(std::max(0, root->Bounds.height() - offset));
    builder.WalkChildren(*root, 0);
    return root;
}

}  // namespace kavel
