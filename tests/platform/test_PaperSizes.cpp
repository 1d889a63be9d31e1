#include <gtest/gtest.h>

#include "platform/PaperSizes.h"

namespace kavel {
namespace {

TEST(PaperSizes, SizesFollowTheNames) {
    struct Case {
        int code;
        double width;  // millimetres, portrait
        double length;
    };
    const Case cases[] = {
        {1, 215.9, 279.4},    {2, 215.9, 279.4},   {3, 279.4, 431.8},     {4, 279.4, 431.8},
        {5, 215.9, 355.6},    {6, 139.7, 215.9},   {7, 190.5, 254.0},     {8, 297, 420},
        {9, 210, 297},        {10, 210, 297},      {11, 148, 210},        {12, 250, 354},
        {13, 182, 257},       {14, 215.9, 330.2},  {15, 215, 275},        {16, 254, 355.6},
        {17, 279.4, 431.8},   {18, 215.9, 279.4},  {19, 98.425, 225.425}, {20, 104.775, 241.3},
        {21, 114.3, 263.525}, {22, 120.65, 279.4}, {23, 127, 292.1},      {24, 431.8, 558.8},
        {25, 558.8, 863.6},   {26, 863.6, 1117.6},
    };
    for (const Case& c : cases) {
        const QSizeF size = PaperSizeMM(c.code);
        EXPECT_NEAR(size.width(), c.width, 0.01) << c.code;
        EXPECT_NEAR(size.height(), c.length, 0.01) << c.code;
        // Qt's own envelope sizes are defined to a hundredth of an inch.
        const QSizeF page = PageSizeMM(PageSizeFor(c.code, 0, 0));
        EXPECT_NEAR(page.width(), c.width, 0.2) << c.code;
        EXPECT_NEAR(page.height(), c.length, 0.2) << c.code;
    }
}

TEST(PaperSizes, CodesWithoutSize) {
    for (int code : {-1, 0, 27, 255, 256, 1000}) {
        EXPECT_TRUE(PaperSizeMM(code).isEmpty()) << code;
        EXPECT_FALSE(PageSizeFor(code, 0, 0).isValid()) << code;
    }
}

TEST(PaperSizes, CodeForSizeTakesTheFirstMatchWithinHalfAMillimetre) {
    struct Case {
        QSizeF size;
        int code;
    };
    const Case cases[] = {
        {{210, 297}, 9},      // A4, not A4 Small
        {{297, 210}, 9},      // a landscape size names the same sheet
        {{210.4, 296.6}, 9},  // within half a millimetre
        {{211, 297}, 0},      // beyond it
        {{215.9, 279.4}, 1},  // Letter before Letter Small and Note
        {{279.4, 431.8}, 3},  // Tabloid before Ledger and 11 x 17
        {{148, 210}, 11},    {{98.4, 225.4}, 19}, {{100, 100}, 0}, {{0, 0}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PaperCodeForSizeMM(c.size), c.code) << c.size.width() << "x" << c.size.height();
    }
}

TEST(PaperSizes, StandardSheetsAreQtsOwnPageSizes) {
    // Qt's own ids carry the print system's paper names (media=A5 and so on).
    EXPECT_EQ(PageSizeFor(9, 0, 0).id(), QPageSize::A4);
    EXPECT_EQ(PageSizeFor(11, 0, 0).id(), QPageSize::A5);
    EXPECT_EQ(PageSizeFor(1, 0, 0).id(), QPageSize::Letter);
    EXPECT_EQ(PageSizeFor(5, 0, 0).id(), QPageSize::Legal);
}

TEST(PaperSizes, UserSizeInTenthsOfAMillimetreKeepsItsShape) {
    const QPageSize portrait = PageSizeFor(kUserPaperSize, 2100, 1400);
    ASSERT_TRUE(portrait.isValid());
    EXPECT_NEAR(PageSizeMM(portrait).width(), 210, 0.01);
    EXPECT_NEAR(PageSizeMM(portrait).height(), 140, 0.01);
    EXPECT_NEAR(PageSizeMM(PageSizeFor(kUserPaperSize, 805, 1205)).width(), 80.5, 0.01);
    EXPECT_TRUE(PageSizeMM(QPageSize()).isEmpty());
    EXPECT_FALSE(PageSizeFor(kUserPaperSize, 0, 1400).isValid());
    EXPECT_FALSE(PageSizeFor(kUserPaperSize, -10, 1400).isValid());
}

TEST(PaperSizes, NamesOfThePaperTable) {
    EXPECT_EQ(PaperName(0), "Default size");
    EXPECT_EQ(PaperName(9), "A4 210 x 297 mm");
    EXPECT_EQ(PaperName(20), "Envelope #10 4 1/8 x 9 1/2");
    EXPECT_EQ(PaperName(27), "Custom Size");
    EXPECT_EQ(PaperName(28), QString());
    EXPECT_EQ(PaperName(-1), QString());
}

}  // namespace
}  // namespace kavel
