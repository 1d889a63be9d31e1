#include "platform/LaidOutDocument.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include "platform/ComputedValues.h"

namespace kavel {

const QStringList& LaidOutDocument::Properties() {
    static const QStringList properties = {
        "font-family",
        "font-size",
        "font-weight",
        "font-style",
        "color",
        "background-color",
        "border-top-width",
        "border-top-style",
        "border-top-color",
        "border-right-width",
        "border-right-style",
        "border-right-color",
        "border-bottom-width",
        "border-bottom-style",
        "border-bottom-color",
        "border-left-width",
        "border-left-style",
        "border-left-color",
        "text-align",
        "text-decoration-line",
        "white-space",
        "display",
        "visibility",
        "vertical-align",
        "background-image",
        "text-transform",
        "margin-top",
        "margin-right",
        "margin-bottom",
        "margin-left",
        "overflow",
        "direction",
        "border-collapse",
    };
    return properties;
}

namespace {

int PropertyIndex(const QString& cssName) {
    static const QHash<QString, int> index = [] {
        QHash<QString, int> map;
        const QStringList& names = LaidOutDocument::Properties();
        for (int i = 0; i < names.size(); ++i) map.insert(names[i], i);
        return map;
    }();
    return index.value(cssName, -1);
}

bool IsInteger(const QJsonValue& v) {
    if (!v.isDouble()) return false;
    const double d = v.toDouble();
    return std::isfinite(d) && d == std::floor(d) && std::abs(d) < 2147483647.0;
}

bool IsNumber(const QJsonValue& v) {
    return v.isDouble() && std::isfinite(v.toDouble());
}

}  // namespace

// Decodes the reply into a document, checking every index and count on the way: the reply
// comes from the page's process, and a malformed one must give an error, never a crash.
class LayoutReplyDecoder {
  public:
    explicit LayoutReplyDecoder(LaidOutDocument& doc) : doc_(doc) {}

    bool Decode(const QJsonObject& reply) {
        if (reply.value("v").toInt() != 2) return Fail("unknown format");
        doc_.viewport_ = QSizeF(reply.value("vw").toDouble(), reply.value("vh").toDouble());
        doc_.rootScroll_ = QSizeF(reply.value("sw").toDouble(), reply.value("sh").toDouble());
        doc_.documentScroll_ = QSizeF(reply.value("dw").toDouble(), reply.value("dh").toDouble());
        doc_.truncation_ = reply.value("trunc").toString();
        return Strings(reply.value("s").toArray()) && Styles(reply.value("st").toArray()) &&
               Elements(reply.value("e").toArray()) && Texts(reply.value("t").toArray()) &&
               Tree(reply.value("n").toArray()) && Attributes(reply.value("a").toArray()) &&
               ElementProperties(reply.value("p").toArray()) && Metrics(reply.value("m").toArray());
    }

    QString Error() const { return error_; }

  private:
    bool Fail(const QString& what) {
        error_ = what;
        return false;
    }

    bool Strings(const QJsonArray& strings) {
        doc_.strings_.reserve(strings.size());
        for (const QJsonValue& v : strings) {
            if (!v.isString()) return Fail("a string table entry is not a string");
            doc_.strings_.append(v.toString());
        }
        return true;
    }

    bool StringIndex(const QJsonValue& v) const {
        return IsInteger(v) && v.toInt() >= 0 && v.toInt() < doc_.strings_.size();
    }

    bool Styles(const QJsonArray& tuples) {
        const QStringList& names = LaidOutDocument::Properties();
        const int direction = PropertyIndex("direction");
        doc_.styles_.reserve(tuples.size() * names.size());
        for (const QJsonValue& v : tuples) {
            const QJsonArray tuple = v.toArray();
            if (tuple.size() != names.size()) return Fail("a style has the wrong length");
            for (const QJsonValue& index : tuple) {
                if (!StringIndex(index)) return Fail("a style value is out of range");
            }
            const bool rtl = doc_.strings_[tuple[direction].toInt()] == QLatin1String("rtl");
            for (int i = 0; i < names.size(); ++i) {
                doc_.styles_.push_back(
                    MapComputedValue(names[i], doc_.strings_[tuple[i].toInt()], rtl));
            }
        }
        styleCount_ = tuples.size();
        return true;
    }

    bool Elements(const QJsonArray& e) {
        if (e.size() % 6 != 0) return Fail("the element list is cut");
        doc_.elements_.reserve(e.size() / 6);
        for (qsizetype i = 0; i < e.size(); i += 6) {
            if (!StringIndex(e[i]) || !IsInteger(e[i + 5]) || e[i + 5].toInt() < 0 ||
                e[i + 5].toInt() >= styleCount_) {
                return Fail("an element refers to a missing tag or style");
            }
            for (int k = 1; k <= 4; ++k) {
                if (!IsNumber(e[i + k])) return Fail("an element rectangle is not a number");
            }
            LaidOutDocument::Element element;
            element.tag = e[i].toInt();
            element.rect = QRectF(e[i + 1].toDouble(), e[i + 2].toDouble(), e[i + 3].toDouble(),
                                  e[i + 4].toDouble());
            element.style = e[i + 5].toInt();
            doc_.elements_.push_back(element);
        }
        return true;
    }

    bool Texts(const QJsonArray& t) {
        qsizetype c = 0;
        while (c < t.size()) {
            if (c + 1 >= t.size() || !t[c].isString() || !IsInteger(t[c + 1])) {
                return Fail("a text entry is malformed");
            }
            LaidOutDocument::Text text;
            text.value = t[c].toString();
            const int k = t[c + 1].toInt();
            const qsizetype breaks = k > 0 ? k - 1 : 0;
            if (k < 0 || c + 2 + 4 * qsizetype(k) + breaks > t.size()) {
                return Fail("a text entry has a wrong line count");
            }
            c += 2;
            text.firstLine = static_cast<int>(doc_.lines_.size());
            text.lineCount = k;
            const int length = static_cast<int>(text.value.size());
            const qsizetype breakAt = c + 4 * qsizetype(k);
            int start = 0;
            for (int j = 0; j < k; ++j, c += 4) {
                for (int q = 0; q < 4; ++q) {
                    if (!IsNumber(t[c + q])) return Fail("a line box is not a number");
                }
                int end = length;
                if (j + 1 < k) {
                    const QJsonValue b = t[breakAt + j];
                    if (!IsInteger(b) || b.toInt() < start || b.toInt() > length) {
                        return Fail("a line break offset is out of range");
                    }
                    end = b.toInt();
                }
                doc_.lines_.push_back({QRectF(t[c].toDouble(), t[c + 1].toDouble(),
                                              t[c + 2].toDouble(), t[c + 3].toDouble()),
                                       start, end});
                start = end;
            }
            c = breakAt + breaks;
            doc_.texts_.push_back(std::move(text));
        }
        return true;
    }

    bool Tree(const QJsonArray& n) {
        struct Open {
            NodeId id;
            int remaining;
        };
        std::vector<Open> open;
        size_t elementIndex = 0, textIndex = 0;
        doc_.nodes_.resize(n.size());
        for (qsizetype i = 0; i < n.size(); ++i) {
            if (!IsInteger(n[i]) || n[i].toInt() < -1) return Fail("a tree entry is malformed");
            if (i > 0 && open.empty()) return Fail("the tree has more than one root");
            LaidOutDocument::Node& node = doc_.nodes_[i];
            const NodeId id = static_cast<NodeId>(i);
            if (!open.empty()) {
                node.parent = open.back().id;
                --open.back().remaining;
            }
            const int count = n[i].toInt();
            if (count >= 0) {
                if (elementIndex >= doc_.elements_.size()) return Fail("more elements than listed");
                node.kind = NodeKind::Element;
                node.data = static_cast<int>(elementIndex++);
                node.childCount = count;
            } else {
                if (textIndex >= doc_.texts_.size()) return Fail("more text nodes than listed");
                node.kind = NodeKind::Text;
                node.data = static_cast<int>(textIndex++);
            }
            if (count > 0) {
                open.push_back({id, count});
                continue;
            }
            node.lastDescendant = id;
            while (!open.empty() && open.back().remaining == 0) {
                doc_.nodes_[open.back().id].lastDescendant = id;
                open.pop_back();
            }
        }
        if (!open.empty()) return Fail("the tree ends inside an element");
        if (elementIndex != doc_.elements_.size() || textIndex != doc_.texts_.size()) {
            return Fail("the tree does not match the node lists");
        }
        // Children lists, one after another in node order.
        int offset = 0;
        for (LaidOutDocument::Node& node : doc_.nodes_) {
            node.firstChild = offset;
            offset += node.childCount;
        }
        doc_.children_.assign(offset, kNoNode);
        std::vector<int> filled(doc_.nodes_.size(), 0);
        for (NodeId id = 1; id < doc_.NodeCount(); ++id) {
            const NodeId parent = doc_.nodes_[id].parent;
            doc_.children_[doc_.nodes_[parent].firstChild + filled[parent]++] = id;
        }
        return true;
    }

    // The node of the element with this index in the element list.
    NodeId ElementNode(const QJsonValue& v) {
        if (elementNodes_.empty()) {
            for (NodeId id = 0; id < doc_.NodeCount(); ++id) {
                if (doc_.nodes_[id].kind == NodeKind::Element) elementNodes_.push_back(id);
            }
        }
        if (!IsInteger(v) || v.toInt() < 0 || v.toInt() >= int(elementNodes_.size())) {
            return kNoNode;
        }
        return elementNodes_[v.toInt()];
    }

    bool Attributes(const QJsonArray& a) {
        if (a.size() % 3 != 0) return Fail("the attribute list is cut");
        for (qsizetype i = 0; i < a.size(); i += 3) {
            const NodeId id = ElementNode(a[i]);
            if (id == kNoNode || !StringIndex(a[i + 1]) || !a[i + 2].isString()) {
                return Fail("an attribute is malformed");
            }
            doc_.attributes_[id].append({doc_.strings_[a[i + 1].toInt()], a[i + 2].toString()});
        }
        return true;
    }

    bool ElementProperties(const QJsonArray& p) {
        if (p.size() % 3 != 0) return Fail("the property list is cut");
        for (qsizetype i = 0; i < p.size(); i += 3) {
            const NodeId id = ElementNode(p[i]);
            if (id == kNoNode || !StringIndex(p[i + 1])) return Fail("a property is malformed");
            doc_.properties_[id].insert(doc_.strings_[p[i + 1].toInt()], p[i + 2].toVariant());
        }
        return true;
    }

    bool Metrics(const QJsonArray& m) {
        if (m.size() % 5 != 0) return Fail("the metrics list is cut");
        for (qsizetype i = 0; i < m.size(); i += 5) {
            const NodeId id = ElementNode(m[i]);
            for (int k = 1; k <= 4; ++k) {
                if (!IsNumber(m[i + k])) return Fail("a metric is not a number");
            }
            if (id == kNoNode) return Fail("a metric names no element");
            doc_.metrics_.insert(id, {m[i + 1].toDouble(), m[i + 2].toDouble(), m[i + 3].toDouble(),
                                      m[i + 4].toDouble()});
        }
        return true;
    }

    LaidOutDocument& doc_;
    QString error_;
    qsizetype styleCount_ = 0;
    std::vector<NodeId> elementNodes_;
};

BrowserResult<LaidOutDocument> LaidOutDocument::FromReply(const QByteArray& json) {
    QJsonParseError parse{};
    const QJsonDocument reply = QJsonDocument::fromJson(json, &parse);
    if (parse.error != QJsonParseError::NoError || !reply.isObject()) {
        return BrowserResult<LaidOutDocument>::Fail(
            QStringLiteral("the layout reply is not JSON: %1").arg(parse.errorString()));
    }
    LaidOutDocument doc;
    LayoutReplyDecoder decoder(doc);
    if (!decoder.Decode(reply.object())) {
        return BrowserResult<LaidOutDocument>::Fail(
            QStringLiteral("the layout reply is malformed: %1").arg(decoder.Error()));
    }
    return {std::move(doc), {}};
}

NodeKind LaidOutDocument::Kind(NodeId id) const {
    return IsValid(id) ? nodes_[id].kind : NodeKind::Element;
}

NodeId LaidOutDocument::Parent(NodeId id) const {
    return IsValid(id) ? nodes_[id].parent : kNoNode;
}

QList<NodeId> LaidOutDocument::Children(NodeId id) const {
    if (!IsValid(id)) return {};
    const Node& node = nodes_[id];
    return QList<NodeId>(children_.begin() + node.firstChild,
                         children_.begin() + node.firstChild + node.childCount);
}

NodeId LaidOutDocument::ElementOf(NodeId id) const {
    if (!IsValid(id)) return kNoNode;
    return nodes_[id].kind == NodeKind::Element ? id : nodes_[id].parent;
}

const LaidOutDocument::Element* LaidOutDocument::ElementData(NodeId id) const {
    if (!IsValid(id) || nodes_[id].kind != NodeKind::Element) return nullptr;
    return &elements_[nodes_[id].data];
}

const LaidOutDocument::Text* LaidOutDocument::TextData(NodeId id) const {
    if (!IsValid(id) || nodes_[id].kind != NodeKind::Text) return nullptr;
    return &texts_[nodes_[id].data];
}

QString LaidOutDocument::Tag(NodeId id) const {
    const Element* element = ElementData(id);
    return element ? strings_[element->tag] : QString();
}

QString LaidOutDocument::NodeName(NodeId id) const {
    if (!IsValid(id)) return {};
    return nodes_[id].kind == NodeKind::Text ? QStringLiteral("#text") : Tag(id).toUpper();
}

QRectF LaidOutDocument::Rect(NodeId id) const {
    if (const Element* element = ElementData(id)) return element->rect;
    QRectF bounds;
    for (const TextLine& line : Lines(id))
        bounds = bounds.isNull() ? line.rect : bounds | line.rect;
    return bounds;
}

QString LaidOutDocument::Style(NodeId id, const QString& property) const {
    const Element* element = ElementData(ElementOf(id));
    const int index = PropertyIndex(CssPropertyName(property.trimmed()));
    if (!element || index < 0) return {};
    return styles_[size_t(element->style) * Properties().size() + index];
}

int LaidOutDocument::StyleNumber(NodeId id) const {
    const Element* element = ElementData(ElementOf(id));
    return element ? element->style : -1;
}

QString LaidOutDocument::Attribute(NodeId id, const QString& name) const {
    const auto it = attributes_.constFind(id);
    if (it == attributes_.cend()) return {};
    for (const auto& [key, value] : *it) {
        if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
    }
    return {};
}

QVariant LaidOutDocument::Property(NodeId id, const QString& name) const {
    return properties_.value(id).value(name);
}

std::optional<ElementMetrics> LaidOutDocument::Metrics(NodeId id) const {
    const auto it = metrics_.constFind(id);
    if (it == metrics_.cend()) return std::nullopt;
    return *it;
}

QList<NodeId> LaidOutDocument::ElementsByTagName(NodeId id, const QString& tag) const {
    QList<NodeId> found;
    if (!IsValid(id)) return found;
    const QString wanted = tag.toLower();
    const bool all = wanted == QLatin1String("*");
    // Pre-order numbering: the descendants of a node follow it up to its last descendant.
    for (NodeId d = id + 1; d <= nodes_[id].lastDescendant; ++d) {
        const Element* element = ElementData(d);
        if (element && (all || strings_[element->tag] == wanted)) found.append(d);
    }
    return found;
}

QString LaidOutDocument::Value(NodeId id) const {
    const Text* text = TextData(id);
    return text ? text->value : QString();
}

QList<TextLine> LaidOutDocument::Lines(NodeId id) const {
    const Text* text = TextData(id);
    if (!text) return {};
    return QList<TextLine>(lines_.begin() + text->firstLine,
                           lines_.begin() + text->firstLine + text->lineCount);
}

}  // namespace kavel
