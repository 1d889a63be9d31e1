// The system paper size codes: their sizes, names and Qt page sizes.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include "platform/PaperSizes.h"

namespace kavel {
namespace {

// A length of a paper name: "210", "8 1/2" or "3 7/8".
double NameLength(const QString& text) {
    const QStringList parts = text.split(' ');
    double value = parts[0].toDouble();
    if (parts.size() > 1)
        value += parts[1].section('/', 0, 0).toDouble() / parts[1].section('/', 1).toDouble();
    return value;
}

TEST(PaperSizes, SizesAgreeWithTheirNamesAndQtsPageSizes) {
    static const QRegularExpression size(R"((\d+(?: \d+/\d+)?) x (\d+(?: \d+/\d+)?)( mm)?)");
    for (int code = 1; code <= 26; ++code) {
        SCOPED_TRACE(PaperName(code).toStdString());
        const QRegularExpressionMatch m = size.match(PaperName(code));
        ASSERT_TRUE(m.hasMatch());
        const double unit = m.captured(3).isEmpty() ? 25.4 : 1;  // inches unless "mm"
        const double a = NameLength(m.captured(1)) * unit, b = NameLength(m.captured(2)) * unit;
        const QSizeF paper = PaperSizeMM(code);
        EXPECT_NEAR(paper.width(), std::min(a, b), 0.01);  // Ledger is named landscape
        EXPECT_NEAR(paper.height(), std::max(a, b), 0.01);
        // Qt's own envelope sizes are defined to a hundredth of an inch.
        const QSizeF page = PageSizeMM(PageSizeFor(code, 0, 0));
        EXPECT_NEAR(paper.width(), page.width(), 0.2);
        EXPECT_NEAR(paper.height(), page.height(), 0.2);
    }
    EXPECT_EQ(PageSizeFor(11, 0, 0).id(), QPageSize::A5);  // Qt's ids carry the media names
    EXPECT_EQ(PageSizeFor(5, 0, 0).id(), QPageSize::Legal);
    EXPECT_EQ(PaperName(27), "Custom Size");
    for (int code : {-1, 0, 27, 256}) {
        EXPECT_TRUE(PaperSizeMM(code).isEmpty()) << code;
        EXPECT_FALSE(PageSizeFor(code, 0, 0).isValid()) << code;
    }
    EXPECT_EQ(PaperName(28), QString());
}

TEST(PaperSizes, CodeForSizeTakesTheFirstMatchWithinHalfAMillimetre) {
    const std::pair<QSizeF, int> cases[] = {
        {{210, 297}, 9},      // A4, not A4 Small
        {{297, 210}, 9},      // a landscape size names the same sheet
        {{210.4, 296.6}, 9},  // within half a millimetre
        {{211, 297}, 0},      // beyond it
        {{215.9, 279.4}, 1},  // Letter before Letter Small and Note
        {{279.4, 431.8}, 3},  // Tabloid before Ledger and 11 x 17
        {{98.4, 225.4}, 19}, {{0, 0}, 0}};
    for (const auto& [size, code] : cases) {
        EXPECT_EQ(PaperCodeForSizeMM(size), code) << size.width() << "x" << size.height();
    }
}

}  // namespace
}  // namespace kavel
