// Lengths, font sizes and styles, pens, alignments and border widths read from CSS text.
#include <gtest/gtest.h>

#include "html/CssValues.h"

namespace kavel {
namespace {

TEST(LengthToPixels, UnitsConvertAtTheCanvasResolutionAndHalvesRoundToEven) {
    const struct {
        const char* value;
        int ppi, expected;
    } cases[] = {{" 12PX ", 96, 12},
                 {"-3px", 96, -3},
                 {"15", 96, 15},
                 {"2in", 120, 240},
                 {"1cm", 96, 38},
                 {"127cm", 96, 4800},
                 {"9pt", 96, 12},
                 {"1in", 0, 0},
                 {"36pt", 5, 2},
                 {"36pt", 7, 4},
                 // What does not convert keeps the default; "thin" holds the letters of "in".
                 {"", 96, 11},
                 {"thin", 96, 11},
                 {"1.5px", 96, 11},
                 {"12 em", 96, 11},
                 {"99999999999px", 96, 11},
                 {"30000000in", 96, 11}};
    for (const auto& c : cases) {
        EXPECT_EQ(LengthToPixels(c.value, 11, c.ppi), c.expected) << c.value << " at " << c.ppi;
    }
}

TEST(FontSizeValue, KeywordsHtmlSizesUnitsAndRelativeSizes) {
    const struct {
        const char* value;
        int ppi, baseSize, parentSize, expected;
    } cases[] = {{"xx-small", 96, 120, 100, 70},
                 {"1", 96, 120, 100, 80},
                 {"LARGE", 96, 120, 100, 140},
                 {" 7 ", 96, 120, 100, 360},
                 {"8", 96, 120, 100, 120},
                 // Negative HTML sizes step down from the root size while it stays above the step.
                 {"-1", 96, 120, 100, 100},
                 {"-6", 96, 200, 100, 80},
                 {"-7", 96, 200, 100, 120},
                 {" 12PT ", 96, 120, 100, 120},
                 {"10.5pt", 96, 120, 100, 105},
                 {"1.75pt", 96, 120, 100, 18},
                 {"1e1pt", 96, 120, 100, 100},
                 {"2.54cm", 96, 120, 100, 720},
                 {"16px", 120, 120, 100, 96},
                 {"0.5em", 96, 120, 25, 12},
                 {"150%", 96, 120, 100, 150},
                 {"smaller", 96, 120, 100, 95},
                 {"larger", 96, 120, 100, 105},
                 // What does not convert gives 12 points.
                 {"inherit", 96, 200, 200, 120},
                 {"16px", 0, 200, 200, 120},
                 {"1e400pt", 96, 200, 200, 120},
                 {"nanpt", 96, 200, 200, 120}};
    for (const auto& c : cases) {
        EXPECT_EQ(FontSizeValue(c.value, c.ppi, c.baseSize, c.parentSize), c.expected)
            << c.value << " base " << c.baseSize << " parent " << c.parentSize;
    }
}

TEST(StyleValues, WeightsStylesPensAndAlignments) {
    const std::pair<const char*, int> weights[] = {{" 100 ", 100},   {"normal", 400}, {"BOLD", 600},
                                                   {"lighter", 200}, {"700.5", 400},  {"", 400}};
    for (const auto& [value, weight] : weights) EXPECT_EQ(FontWeightValue(value), weight) << value;
    const struct {
        const char* value;
        TFontStyles current, expected;
    } styles[] = {{"Oblique", fsBold, fsBold | fsItalic},
                  {"strike", fsUnderline, fsUnderline | fsStrikeOut},
                  {"underline line-through", 0, fsUnderline | fsStrikeOut},
                  {"normal", fsBold | fsItalic, fsBold | fsItalic}};
    for (const auto& c : styles)
        EXPECT_EQ(FontStyleValue(c.value, c.current), c.expected) << c.value;
    const struct {
        const char* value;
        TPenStyle defaultStyle, expected;
    } pens[] = {{"dashed", psSolid, psDash}, {"DOTTED", psSolid, psDot},
                {"groove", psDash, psDash},  {"solid", psClear, psSolid},
                {"clear", psSolid, psClear}, {"dashdotdot", psSolid, psDashDotDot}};
    for (const auto& c : pens)
        EXPECT_EQ(PenStyleValue(c.value, c.defaultStyle), c.expected) << c.value;
    EXPECT_EQ(HorzAlignValue(" Right", 9), kAlignRight);
    EXPECT_EQ(HorzAlignValue("center", 9), kAlignCenter);
    EXPECT_EQ(HorzAlignValue("justify", 9), 9);
    EXPECT_EQ(VertAlignValue("MIDDLE", 9), kAlignMiddle);
    EXPECT_EQ(VertAlignValue("bottom", 9), kAlignBottom);
    EXPECT_EQ(VertAlignValue("center", 9), 9);
}

TEST(BorderWidthValue, KeywordsUnitsHiddenBordersAndTheBorderAttribute) {
    const struct {
        const char *width, *style;
        int attributePixels;
        const char* tag;
        int expected;
    } cases[] = {{"thin", "solid", 3, "div", 2},
                 {"THICK", "dashed", 3, "DIV", 6},
                 {"9pt", "solid", 3, "div", 12},
                 {"-7pt", "solid", 3, "div", -9},
                 {"medium", "none", 3, "div", 0},
                 {"thick", "Hidden", 3, "table", 0},
                 {"1.5px", "solid", 3, "div", 3},
                 {"99999999999pt", "solid", 3, "div", 3},
                 // A table drawn with the border attribute: "medium" is the attribute's width.
                 {"medium", "outset", 3, "TABLE", 3},
                 {"medium", "inset", 1, "TH", 1},
                 {"9pt", "inset", 3, "td", 12},
                 {"thick", "inset", 5, "td", 5},
                 // Other styles or tags are ordinary borders.
                 {"medium", "solid", 3, "table", 4},
                 {"medium", "outset", 3, "td", 4},
                 {"medium", "outset", 3, "div", 4}};
    for (const auto& c : cases) {
        EXPECT_EQ(BorderWidthValue(c.width, c.style, c.attributePixels, 96, c.tag), c.expected)
            << c.width << " " << c.style << " " << c.tag;
    }
}

}  // namespace
}  // namespace kavel
