// The inner controls of items: a text item's content (its lines as it breaks them, its text
// and its format), the edit that shows it, and the shape control (figure geometry and the pen style
// mapping; printed shapes: test_compose).
#include <QFontMetrics>

#include "ItemTestSupport.h"

namespace kavel::test {
namespace {

class TextContentTest : public ::testing::Test {
  protected:
    void SetUp() override { content_.SetTextFont(QStringLiteral("Courier New"), 10, 0, clBlack); }
    // The width at which "aaaa bbbb cccc dddd" breaks after "bbbb".
    int BreakWidth() const {
        return QFontMetrics(content_.TextFont())
                   .horizontalAdvance(QStringLiteral("aaaa bbbb cccc")) -
               1;
    }

    TTextContent content_;
};

TEST_F(TextContentTest, LinesBreakAtTheItemsWidthAndAtEveryParagraph) {
    content_.SetWidth(BreakWidth());
    struct Case {
        QString text;
        QStringList lines;
    };
    const Case cases[] = {{"", {}},
                          {"one", {"one"}},
                          {"one\r\ntwo", {"one", "two"}},
                          {"one\rtwo\nthree", {"one", "two", "three"}},
                          {"one\r\n\r\nthree", {"one", "", "three"}},
                          {"one\r\n", {"one"}},
                          {"aaaa bbbb cccc dddd\r\nx", {"aaaa bbbb", "cccc dddd", "x"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        content_.SetText(c.text);
        EXPECT_EQ(content_.Lines(), c.lines);
    }
    content_.SetWidth(2000);  // the lines follow a later width
    EXPECT_EQ(content_.Lines(), (QStringList{"aaaa bbbb cccc dddd", "x"}));
}

TEST_F(TextContentTest, EditShowsTheContentAndTypingChangesIt) {
    QWidget paper;
    paper.resize(800, 600);
    TRichEditBox edit(content_, &paper);
    content_.SetTextFont(QStringLiteral("Arial"), 12, fsItalic, RGBColor(255, 0, 0));
    content_.SetTextAlignment(taRightJustify);
    content_.SetText(QStringLiteral("line one\r\nline two"));
    EXPECT_EQ(content_.Text(), QStringLiteral("line one\nline two"));
    // The edit shows the text with its format once it is on screen.
    paper.show();
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("line one\nline two"));
    QTextCursor cursor(edit.document());
    cursor.movePosition(QTextCursor::End);
    EXPECT_EQ(cursor.charFormat().foreground().color(), QColor(255, 0, 0));
    EXPECT_TRUE(cursor.charFormat().fontItalic());
    EXPECT_EQ(cursor.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(edit.font().pixelSize(), 16);  // 12 points at 96 pixels per inch
    content_.SetReadOnly(true);
    content_.SetBackColor(clSilver);
    EXPECT_TRUE(edit.isReadOnly());
    EXPECT_EQ(edit.BackColor(), clSilver);
    edit.setPlainText(QStringLiteral("typed"));
    EXPECT_EQ(content_.Text(), QStringLiteral("typed"));
}

TEST_F(TextContentTest, NonPositiveSizeKeepsAUsableFont) {
    content_.SetTextFont(QStringLiteral("Arial"), 0, 0, clBlack);
    EXPECT_EQ(content_.FontSize(), 0);
    EXPECT_GE(content_.TextFont().pixelSize(), 1);
}

TEST(ShapeTest, FigureCornersFollowThePenWidth) {
    struct Case {
        TPRNShapeType type;
        int width, height, pen;
        QLine expected;
    };
    const Case cases[] = {
        {cstRect, 60, 30, 3, QLine(1, 1, 59, 29)},
        {cstRect, 60, 30, 1, QLine(0, 0, 60, 30)},
        {cstRect, 60, 30, 0, QLine(0, 0, 60, 30)},
        {cstEllipse, 60, 30, 4, QLine(2, 2, 59, 29)},
        {cstSolidRect, 60, 30, 5, QLine(2, 2, 58, 28)},
        {cstUpLine, 60, 30, 1, QLine(0, 30, 60, 0)},
        {cstDownLine, 60, 30, 1, QLine(0, 0, 60, 30)},
        // A box no wider than the pen is a vertical line, one no higher a horizontal one.
        {cstUpLine, 3, 30, 3, QLine(0, 30, 0, 0)},
        {cstDownLine, 60, 1, 1, QLine(0, 0, 60, 0)},
        {cstDownLine, 60, 2, 1, QLine(0, 0, 60, 2)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << int(c.type) << " " << c.width << "x" << c.height << " pen " << c.pen);
        TPRNShape shape(nullptr);
        shape.resize(c.width, c.height);
        shape.SetShapeType(c.type);
        shape.SetPenWidth(c.pen);
        EXPECT_EQ(shape.Geometry(), c.expected);
    }
}

TEST(ShapeTest, PenStyleMapsBothWays) {
    const std::tuple<int, Qt::PenStyle, int> cases[] = {{0, Qt::SolidLine, psSolid},
                                                        {1, Qt::DashLine, psDash},
                                                        {2, Qt::DotLine, psDot},
                                                        {3, Qt::DashDotLine, psDashDot},
                                                        {4, Qt::DashDotDotLine, psDashDotDot},
                                                        {5, Qt::SolidLine, psSolid},
                                                        {-1, Qt::SolidLine, psSolid}};
    for (const auto& [code, qt, stored] : cases) {
        TPRNShape shape(nullptr);
        shape.SetPenStyle(code);
        EXPECT_EQ(shape.PenStyle(), stored) << code;
        EXPECT_EQ(shape.QtPen().style(), qt) << code;
        EXPECT_EQ(TPRNShape::PenStyleOf(qt), stored) << code;
    }
    EXPECT_EQ(TPRNShape::PenStyleOf(Qt::NoPen), psSolid);
    EXPECT_EQ(TPRNShape::PenStyleOf(Qt::CustomDashLine), psSolid);
}

}  // namespace
}  // namespace kavel::test
