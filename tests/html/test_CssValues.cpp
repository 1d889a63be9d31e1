// Lengths, font sizes and styles, pens, alignments and border widths read from CSS text.
#include <gtest/gtest.h>

#include "html/CssValues.h"

namespace kavel {
namespace {

struct LengthCase {
    const char* value;
    int ppi;
    int expected;
};

TEST(LengthToPixels, UnitsConvertAtTheCanvasResolution) {
    const LengthCase cases[] = {
        {"12px", 96, 12}, {" 12PX ", 96, 12}, {"-3px", 96, -3}, {"15", 96, 15},
        {"1in", 96, 96},  {"2in", 120, 240},  {"1cm", 96, 38},  {"127cm", 96, 4800},
        {"10mm", 96, 38}, {"9pt", 96, 12},    {"1pt", 96, 1},   {"1pc", 96, 16},
        {"0", 96, 0},     {"1in", 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LengthToPixels(c.value, -7, c.ppi), c.expected) << c.value << " at " << c.ppi;
    }
}

TEST(LengthToPixels, HalvesRoundToEven) {
    const LengthCase cases[] = {
        {"36pt", 5, 2},  // 2.5
        {"36pt", 7, 4},  // 3.5
        {"3pc", 5, 2},   // 2.5
        {"3pc", 7, 4},   // 3.5
        {"-36pt", 5, -2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LengthToPixels(c.value, -7, c.ppi), c.expected) << c.value << " at " << c.ppi;
    }
}

TEST(LengthToPixels, WhatDoesNotConvertKeepsTheDefault) {
    // "thin" and "inherit" hold the letters of the inch unit; fractions are not read.
    const char* values[] = {"",   "   ",   "thin",          "inherit",    "auto",  "1.5px", "1.5",
                            "px", "12 em", "99999999999px", "30000000in", "1e3px", "0x10",  "+"};
    for (const char* value : values) {
        EXPECT_EQ(LengthToPixels(value, 11, 96), 11) << '"' << value << '"';
    }
}

struct FontSizeCase {
    const char* value;
    int ppi;
    int baseSize;
    int parentSize;
    int expected;
};

TEST(FontSizeValue, KeywordsAndHtmlSizes) {
    const FontSizeCase cases[] = {
        {"xx-small", 96, 120, 100, 70},
        {"x-small", 96, 120, 100, 80},
        {"1", 96, 120, 100, 80},
        {"small", 96, 120, 100, 100},
        {"2", 96, 120, 100, 100},
        {"medium", 96, 120, 100, 120},
        {"3", 96, 120, 100, 120},
        {"LARGE", 96, 120, 100, 140},
        {"4", 96, 120, 100, 140},
        {"x-large", 96, 120, 100, 180},
        {"5", 96, 120, 100, 180},
        {"xx-large", 96, 120, 100, 240},
        {"6", 96, 120, 100, 240},
        {" 7 ", 96, 120, 100, 360},
        {"8", 96, 120, 100, 120},
        // Negative HTML sizes step down from the root size while it stays above the step.
        {"-1", 96, 120, 100, 100},
        {"-3", 96, 200, 100, 140},
        {"-6", 96, 200, 100, 80},
        {"-6", 96, 120, 100, 120},
        {"-1", 96, 20, 100, 120},
        {"-7", 96, 200, 100, 120},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FontSizeValue(c.value, c.ppi, c.baseSize, c.parentSize), c.expected)
            << c.value << " base " << c.baseSize;
    }
}

TEST(FontSizeValue, UnitsAndRelativeSizes) {
    const FontSizeCase cases[] = {
        {"12pt", 96, 120, 100, 120},   {" 12PT ", 96, 120, 100, 120}, {"10.5pt", 96, 120, 100, 105},
        {"1.25pt", 96, 120, 100, 12},  {"1.75pt", 96, 120, 100, 18},  {"1e1pt", 96, 120, 100, 100},
        {"1in", 96, 120, 100, 720},    {"2.54cm", 96, 120, 100, 720}, {"25.4mm", 96, 120, 100, 720},
        {"1pc", 96, 120, 100, 120},    {"16px", 96, 120, 100, 120},   {"16px", 120, 120, 100, 96},
        {"1.5em", 96, 120, 100, 150},  {"0.5em", 96, 120, 25, 12},    {"150%", 96, 120, 100, 150},
        {"smaller", 96, 120, 100, 95}, {"smaller", 96, 120, 10, 120}, {"smaller", 96, 120, 11, 6},
        {"larger", 96, 120, 100, 105},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FontSizeValue(c.value, c.ppi, c.baseSize, c.parentSize), c.expected)
            << c.value << " parent " << c.parentSize;
    }
}

TEST(FontSizeValue, WhatDoesNotConvertGives12Points) {
    const FontSizeCase cases[] = {
        {"", 96, 200, 200, 120},       {"inherit", 96, 200, 200, 120},
        {"xpt", 96, 200, 200, 120},    {"12 pt x", 96, 200, 200, 120},
        {"16px", 0, 200, 200, 120},    {"1e400pt", 96, 200, 200, 120},
        {"bigger", 96, 200, 200, 120}, {"+1", 96, 200, 200, 120},
        {"nanpt", 96, 200, 200, 120},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FontSizeValue(c.value, c.ppi, c.baseSize, c.parentSize), c.expected)
            << '"' << c.value << '"';
    }
}

TEST(FontWeightValue, NumbersAndKeywords) {
    const struct {
        const char* value;
        int expected;
    } cases[] = {{"700", 700},   {" 100 ", 100},   {"normal", 400}, {"bold", 600},
                 {"BOLD", 600},  {"lighter", 200}, {"bolder", 400}, {"", 400},
                 {"700.5", 400}, {"heavy", 400}};
    for (const auto& c : cases) EXPECT_EQ(FontWeightValue(c.value), c.expected) << c.value;
}

TEST(FontStyleValue, AddsWhatTheValueNamesAndKeepsTheRest) {
    const struct {
        const char* value;
        TFontStyles current;
        TFontStyles expected;
    } cases[] = {
        {"italic", 0, fsItalic},
        {"Oblique", fsBold, fsBold | fsItalic},
        {"line-through", 0, fsStrikeOut},
        {"strike", fsUnderline, fsUnderline | fsStrikeOut},
        {"underline line-through", 0, fsUnderline | fsStrikeOut},
        {"BOLD", 0, fsBold},
        {"normal", fsBold | fsItalic, fsBold | fsItalic},
        {"", fsUnderline, fsUnderline},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FontStyleValue(c.value, c.current), c.expected) << c.value;
    }
}

TEST(PenStyleValue, BorderStylesGiveTheirPen) {
    const struct {
        const char* value;
        TPenStyle defaultStyle;
        TPenStyle expected;
    } cases[] = {
        {"dashed", psSolid, psDash},
        {"DOTTED", psSolid, psDot},
        {"double", psSolid, psSolid},
        {"groove", psDash, psDash},
        {"solid", psClear, psSolid},
        {"clear", psSolid, psClear},
        {"", psDot, psDot},
        {"dashdot", psSolid, psDashDot},
        {"dashdotdot", psSolid, psDashDotDot},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PenStyleValue(c.value, c.defaultStyle), c.expected) << c.value;
    }
}

TEST(AlignValues, KeywordsGiveTheDrawingFlags) {
    EXPECT_EQ(HorzAlignValue("left", 9), 0);
    EXPECT_EQ(HorzAlignValue("center", 9), 1);
    EXPECT_EQ(HorzAlignValue("Right", 9), 2);
    EXPECT_EQ(HorzAlignValue("justify", 9), 9);
    EXPECT_EQ(HorzAlignValue("", 1), 1);
    EXPECT_EQ(VertAlignValue("top", 9), 0);
    EXPECT_EQ(VertAlignValue("MIDDLE", 9), 4);
    EXPECT_EQ(VertAlignValue("bottom", 9), 8);
    EXPECT_EQ(VertAlignValue("baseline", 9), 9);
    EXPECT_EQ(VertAlignValue("center", 8), 8);
}

struct BorderCase {
    const char* width;
    const char* style;
    int attributePixels;
    const char* tag;
    int expected;
};

TEST(BorderWidthValue, KeywordsUnitsAndHiddenBorders) {
    const BorderCase cases[] = {
        {"thin", "solid", 3, "div", 2},
        {"medium", "solid", 3, "div", 4},
        {"thick", "dashed", 3, "DIV", 6},
        {"5px", "solid", 3, "div", 5},
        {"9pt", "solid", 3, "div", 12},
        {"9", "solid", 3, "div", 12},
        {"7pt", "solid", 3, "div", 9},
        {"-7pt", "solid", 3, "div", -9},
        {"THIN", "SOLID", 3, "p", 2},
        {"medium", "none", 3, "div", 0},
        {"thick", "Hidden", 3, "table", 0},
        {"1.5px", "solid", 3, "div", 3},
        {"abc", "solid", 3, "div", 3},
        {"", "solid", 3, "div", 3},
        {"99999999999pt", "solid", 3, "div", 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BorderWidthValue(c.width, c.style, c.attributePixels, 96, c.tag), c.expected)
            << c.width << " " << c.style << " " << c.tag;
    }
}

TEST(BorderWidthValue, TableDrawnWithTheBorderAttributeUsesItsWidth) {
    const BorderCase cases[] = {
        {"medium", "outset", 3, "table", 3},
        {"medium", "outset", 3, "TABLE", 3},
        {"medium", "inset", 1, "td", 1},
        {"medium", "inset", 1, "TH", 1},
        {"2px", "outset", 3, "table", 2},
        {"9pt", "inset", 3, "td", 12},
        // The keywords other than medium are no pixel values here.
        {"thin", "outset", 3, "table", 3},
        {"thick", "inset", 5, "td", 5},
        // Other styles or tags are ordinary borders.
        {"medium", "solid", 3, "table", 4},
        {"medium", "outset", 3, "td", 4},
        {"medium", "inset", 3, "table", 4},
        {"medium", "outset", 3, "div", 4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BorderWidthValue(c.width, c.style, c.attributePixels, 96, c.tag), c.expected)
            << c.width << " " << c.style << " " << c.tag;
    }
}

}  // namespace
}  // namespace kavel
