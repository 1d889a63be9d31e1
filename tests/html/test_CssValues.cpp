// Lengths, font sizes and styles, pens, alignments, border widths and colours read from CSS
// text: keywords, system colour names, hash and rgb forms, numbers and darkening.
#include <gtest/gtest.h>

#include <QColor>
#include <QStringList>

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

// The keywords that the control does not know (they stay text and so give the default).
const QStringList kMissingKeywords = {"darkgrey",  "darkslategrey",  "dimgrey",       "grey",
                                      "lightgray", "lightslategrey", "palevioletred", "papayawhip",
                                      "peachpuff", "slategrey"};

TEST(ColorNameToHex, KeywordsMatchTheStandardValuesExceptTheKnownDifferences) {
    // QColor knows the full keyword list with the standard values.
    const QStringList names = QColor::colorNames();
    ASSERT_GE(names.size(), 147);
    int known = 0;
    for (const QString& name : names) {
        if (name == u"transparent") continue;
        const QString hex = ColorNameToHex(name);
        if (kMissingKeywords.contains(name)) {
            EXPECT_EQ(hex, name) << name.toStdString();
        } else if (name == u"darkseagreen") {
            EXPECT_EQ(hex, "#8FBC8B");
        } else {
            EXPECT_EQ(hex, QColor(name).name().toUpper()) << name.toStdString();
            ++known;
        }
    }
    EXPECT_EQ(known + 1, 137);
}

TEST(ColorNameToHex, SystemColourNamesAndOtherText) {
    const struct {
        const char *text, *expected;
    } cases[] = {{"RED", "#FF0000"},
                 {"DarkSeaGreen", "#8FBC8B"},
                 {"Grey", "Grey"},
                 {"#abc", "#abc"},
                 {"RGB(1,2,3)", "RGB(1,2,3)"},
                 {"redd", "redd"},
                 {"", ""},
                 // System colours, in any case.
                 {"WindowText", "#000000"},
                 {"GRAYTEXT", "#A9A9A9"},
                 {"background", "#4169E1"},
                 {"infobackground", "#F5F5F5"}};
    for (const auto& c : cases) EXPECT_EQ(ColorNameToHex(c.text), c.expected) << c.text;
}

constexpr TColor kDefault = 0x123456;

TEST(ColorValue, FormsScaledAndRoundedHalfToEven) {
    const struct {
        const char* value;
        double factor;
        TColor expected;
    } cases[] = {
        {"#F00", 1, RGBColor(255, 0, 0)},
        {" #ff0000 ", 1, RGBColor(255, 0, 0)},
        {"Red", 1, RGBColor(255, 0, 0)},
        {"rgb( 255 ,0 , 0 )", 1, RGBColor(255, 0, 0)},
        {"255", 1, RGBColor(255, 0, 0)},  // a colour number is 0x00BBGGRR
        {"#1A2", 1, RGBColor(0x11, 0xAA, 0x22)},
        {"#EFCDAB", 1, RGBColor(0xEF, 0xCD, 0xAB)},
        {"window", 1, RGBColor(0xF5, 0xF5, 0xF5)},
        {"16777215", 1, RGBColor(255, 255, 255)},
        {"#FFFFFF", 0.5, RGBColor(128, 128, 128)},  // 127.5
        {"#010101", 0.5, RGBColor(0, 0, 0)},        // 0.5
        {"#030303", 0.5, RGBColor(2, 2, 2)},        // 1.5
        {"rgb(255,5,0)", 0.5, RGBColor(128, 2, 0)},
        {"#808080", 2, RGBColor(255, 255, 255)},  // stays within a byte
        {"#FFFFFF", -1, RGBColor(0, 0, 0)},
        {"rgb(300,-5,0)", 1, RGBColor(255, 0, 0)},
        {"255", 0.5, RGBColor(255, 0, 0)},  // the factor does not apply to a number
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ColorValue(c.value, kDefault, c.factor), c.expected)
            << c.value << " x " << c.factor;
    }
}

TEST(ColorValue, WhatIsNoColourGivesTheDefault) {
    QStringList values = {"",           "  ",           "TRANSPARENT", "#12345",
                          "#1234567",   "#GG0000",      "#",           "#-1-1-1",
                          "# FF0000",   "#+F+F+F",      "rgb(1,2)",    "rgb(1,2,3,4)",
                          "rgb(a,b,c)", "rgb(1.5,2,3)", "16777216",    "-1",
                          "abc",        "0x0000FF",     "1.5"};
    values += kMissingKeywords;
    for (const QString& value : values) {
        EXPECT_EQ(ColorValue(value, kDefault), kDefault) << '"' << value.toStdString() << '"';
    }
    EXPECT_EQ(ColorValue("#FFFFFF", kDefault, std::numeric_limits<double>::quiet_NaN()), kDefault);
}

}  // namespace
}  // namespace kavel
