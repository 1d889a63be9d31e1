// The inner controls of items: the rich-text edit of text items (its lines as it breaks them,
// its text and its format) and the shape control (figure geometry and the pen style mapping;
// printed shapes: test_compose).
#include <QFontMetrics>

#include "ItemTestSupport.h"

namespace kavel::test {
namespace {

class RichEditTest : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        paper_.resize(800, 600);
        if (GetParam()) paper_.show();
        edit_ = new TRichEditBox(&paper_);
        edit_->SetTextFont(QStringLiteral("Courier New"), 10, 0, clBlack);
        edit_->show();
    }
    // The width at which "aaaa bbbb cccc dddd" breaks after "bbbb".
    int BreakWidth() const {
        return QFontMetrics(edit_->font()).horizontalAdvance(QStringLiteral("aaaa bbbb cccc")) - 1;
    }

    QWidget paper_;
    TRichEditBox* edit_ = nullptr;
};

TEST_P(RichEditTest, LinesBreakAtTheControlsWidth) {
    edit_->SetText(QStringLiteral("aaaa bbbb cccc dddd"));
    edit_->resize(BreakWidth(), 100);
    EXPECT_EQ(edit_->Lines(), (QStringList{"aaaa bbbb", "cccc dddd"}));
    // The lines follow a later width.
    edit_->resize(2000, 100);
    EXPECT_EQ(edit_->Lines(), (QStringList{"aaaa bbbb cccc dddd"}));
}

TEST_P(RichEditTest, LinesOfSeveralParagraphs) {
    edit_->resize(BreakWidth(), 100);
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
        edit_->SetText(c.text);
        EXPECT_EQ(edit_->Lines(), c.lines);
    }
}

TEST_P(RichEditTest, TextKeepsItsFormatWhenReplaced) {
    edit_->SetTextFont(QStringLiteral("Arial"), 12, fsItalic, RGBColor(255, 0, 0));
    edit_->SetTextAlignment(taRightJustify);
    edit_->SetText(QStringLiteral("line one\r\nline two"));
    EXPECT_EQ(edit_->Text(), QStringLiteral("line one\nline two"));
    // The edit shows the text with its format once it is on screen.
    edit_->window()->show();
    EXPECT_EQ(edit_->toPlainText(), QStringLiteral("line one\nline two"));
    QTextCursor cursor(edit_->document());
    cursor.movePosition(QTextCursor::End);
    EXPECT_EQ(cursor.charFormat().foreground().color(), QColor(255, 0, 0));
    EXPECT_TRUE(cursor.charFormat().fontItalic());
    EXPECT_EQ(cursor.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(edit_->font().pixelSize(), 16);  // 12 points at 96 pixels per inch
}

INSTANTIATE_TEST_SUITE_P(PaperShownOrNot, RichEditTest, ::testing::Bool());

TEST(RichEditFontTest, NonPositiveSizeKeepsAUsableFont) {
    TRichEditBox edit(nullptr);
    edit.SetTextFont(QStringLiteral("Arial"), 0, 0, clBlack);
    EXPECT_EQ(edit.FontSize(), 0);
    EXPECT_GE(edit.font().pixelSize(), 1);
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
