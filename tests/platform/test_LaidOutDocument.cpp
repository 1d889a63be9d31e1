// The document mirror decoded from inline layout replies.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <map>

#include "platform/LaidOutDocument.h"

namespace kavel {
namespace {

// A reply in the layout reader's format, put together element by element in document order.
class Reply {
  public:
    int Style(const std::map<QString, QString>& values) {
        QJsonArray tuple;
        for (const QString& property : LaidOutDocument::Properties()) {
            const auto it = values.find(property);
            tuple.append(String(it != values.end() ? it->second : Default(property)));
        }
        styles_.append(tuple);
        return int(styles_.size()) - 1;
    }
    void Element(const QString& tag, QRectF rect, int style, int children) {
        tree_.append(children);
        for (const QJsonValue& v :
             {QJsonValue(String(tag)), QJsonValue(rect.x()), QJsonValue(rect.y()),
              QJsonValue(rect.width()), QJsonValue(rect.height()), QJsonValue(style)}) {
            elements_.append(v);
        }
    }
    // Lines as (rectangle, offset where the line starts).
    void Text(const QString& value, const std::vector<std::pair<QRectF, int>>& lines) {
        tree_.append(-1);
        texts_.append(value);
        texts_.append(int(lines.size()));
        for (const auto& [r, start] : lines) {
            for (const double v : {r.x(), r.y(), r.width(), r.height()}) texts_.append(v);
        }
        for (size_t j = 1; j < lines.size(); ++j) texts_.append(lines[j].second);
    }
    QJsonObject Object() const {
        return {{"v", 2},
                {"vw", 300},
                {"vh", 200},
                {"sw", 300},
                {"sh", 80},
                {"dw", 300},
                {"dh", 200},
                {"trunc", ""},
                {"s", strings_},
                {"st", styles_},
                {"n", tree_},
                {"e", elements_},
                {"t", texts_},
                {"a", QJsonArray{}},
                {"p", QJsonArray{}},
                {"m", QJsonArray{0, 0, 0, 300, 80}}};
    }

  private:
    static QString Default(const QString& property) {
        static const std::map<QString, QString> defaults = {
            {"display", "inline"},
            {"visibility", "visible"},
            {"white-space", "normal"},
            {"text-transform", "none"},
            {"direction", "ltr"},
            {"font-weight", "400"},
            {"background-color", "rgba(0, 0, 0, 0)"},
            {"text-align", "start"},
        };
        const auto it = defaults.find(property);
        return it != defaults.end() ? it->second : QString();
    }
    int String(const QString& text) {
        const qsizetype at = strings_.toVariantList().indexOf(text);
        if (at >= 0) return int(at);
        strings_.append(text);
        return int(strings_.size()) - 1;
    }

    QJsonArray strings_, styles_, tree_, elements_, texts_;
};

// <body> "Hello  big world" (two lines) <b>bold</b> <br> <p>para</p> <table> <input> </body>
// (attributes, properties and the inner text of real pages: test_ChromiumEngine)
Reply Sample() {
    Reply r;
    const int block = r.Style({{"display", "block"}});
    const int bold = r.Style({{"font-weight", "700"}});
    const int upper = r.Style({{"display", "block"}, {"text-transform", "uppercase"}});
    r.Element("body", {8, 8, 284, 64}, block, 6);
    r.Text("Hello  big world", {{{8, 8, 90, 16}, 0}, {{8, 24, 50, 16}, 11}});
    r.Element("b", {58, 24, 30, 16}, bold, 1);
    r.Text("bold", {{{58, 24, 30, 16}, 0}});
    r.Element("br", {88, 24, 0, 16}, block, 0);
    r.Element("p", {8, 40, 284, 16}, upper, 1);
    r.Text("para", {{{8, 40, 32, 16}, 0}});
    r.Element("table", {8, 56, 100, 10}, block, 0);
    r.Element("input", {8, 66, 60, 14}, block, 0);
    return r;
}

LaidOutDocument Decode(const QJsonObject& reply) {
    auto doc = LaidOutDocument::FromReply(QJsonDocument(reply).toJson());
    EXPECT_TRUE(doc) << doc.error.toStdString();
    return doc ? std::move(*doc.value) : LaidOutDocument();
}

TEST(LaidOutDocument, AnswersTheTreeStylesAndAttributes) {
    const LaidOutDocument doc = Decode(Sample().Object());
    const NodeId body = doc.Root();
    ASSERT_EQ(body, 0);
    QStringList children;
    for (const NodeId c : doc.Children(body)) {
        EXPECT_EQ(doc.Parent(c), body);
        children << doc.NodeName(c);
    }
    EXPECT_EQ(children, (QStringList{"#text", "B", "BR", "P", "TABLE", "INPUT"}));
    const NodeId hello = 1, b = 2, p = doc.ElementsByTagName(body, "P").first();
    const NodeId table = doc.ElementsByTagName(body, "table").first();
    EXPECT_EQ(doc.ElementsByTagName(body, "*").size(), 5);
    EXPECT_EQ(doc.ElementsByTagName(b, "*").size(), 0);
    EXPECT_EQ(doc.Rect(hello), QRectF(8, 8, 90, 32));  // union of its lines
    EXPECT_EQ(doc.Style(b, "fontWeight"), "700");
    EXPECT_EQ(doc.Style(hello, "display"), "block");  // a text node answers its parent's
    EXPECT_EQ(doc.Style(body, "backgroundColor"), "transparent");
    EXPECT_EQ(doc.Style(body, "textAlign"), "left");
    EXPECT_EQ(doc.Style(body, "no-such-property"), "");
    EXPECT_TRUE(doc.Attribute(table, "cellspacing").isNull());
    EXPECT_TRUE(doc.Metrics(body));
    EXPECT_FALSE(doc.Metrics(b));
    EXPECT_EQ(doc.RenderedText(doc.Children(p).first(), 0, 4), "PARA");
    EXPECT_EQ(doc.RootScrollSize(), QSizeF(300, 80));
}

TEST(LaidOutDocument, CharacterRectsWithinAndAcrossLines) {
    const LaidOutDocument doc = Decode(Sample().Object());
    const NodeId hello = 1;
    // Shown lines: "Hello big" (9 characters over 90 px) and "world" (5 over 50 px).
    const TextMeasure wideH = [](const QString& s) { return s.size() + 3.0 * s.count('H'); };
    struct Case {
        int start, end;
        TextMeasure measure;
        QList<QRectF> want;
    } cases[] = {
        {7, 10, {}, {QRectF(68, 8, 30, 16)}},
        {0, 16, {}, {QRectF(8, 8, 90, 16), QRectF(8, 24, 50, 16)}},
        {7, 13, {}, {QRectF(68, 8, 30, 16), QRectF(8, 24, 20, 16)}},
        {0, 5, wideH, {QRectF(8, 8, 60, 16)}},  // "Hello" measures 8 of 12
        {3, 2, {}, {}},
    };
    for (const Case& c : cases) {
        const QList<QRectF> got = doc.CharacterRects(hello, c.start, c.end, c.measure);
        ASSERT_EQ(got.size(), c.want.size()) << c.start;
        for (qsizetype i = 0; i < got.size(); ++i) {
            EXPECT_NEAR(got[i].left(), c.want[i].left(), 0.01) << c.start;
            EXPECT_NEAR(got[i].right(), c.want[i].right(), 0.01) << c.start;
            EXPECT_EQ(got[i].top(), c.want[i].top());
        }
    }
}

TEST(LaidOutDocument, MalformedRepliesGiveErrors) {
    const QJsonObject good = Sample().Object();
    const auto with = [&](const QString& key, const QJsonValue& value) {
        QJsonObject reply = good;
        reply.insert(key, value);
        return QJsonDocument(reply).toJson();
    };
    const QByteArray cases[] = {
        "not json",
        "[1, 2]",
        with("v", 3),
        with("n", QJsonArray{6, -1, 1, -1}),  // ends inside an element
        with("n", QJsonArray{0, 0}),          // two roots
        with("n", QJsonArray{-2}),
        with("st", QJsonArray{QJsonArray{0, 1}}),                    // a style of the wrong length
        with("e", QJsonArray{0, 0, 0, 1, 1, 99}),                    // a style that does not exist
        with("t", QJsonArray{"abc", 2, 0, 0, 1, 1, 0, 0, 1, 1, 9}),  // a line break past the end
        with("t", QJsonArray{7, 1, 0, 0, 1, 1}),
        with("a", QJsonArray{99, 0, "x"}),
        with("m", QJsonArray{0, 1, 2, "x", 4}),
    };
    for (const QByteArray& reply : cases) {
        const auto doc = LaidOutDocument::FromReply(reply);
        EXPECT_FALSE(doc) << reply.left(80).toStdString();
        EXPECT_FALSE(doc.error.isEmpty());
    }
}

}  // namespace
}  // namespace kavel
