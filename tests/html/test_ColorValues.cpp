// Colour text: keywords, system colour names, hash and rgb forms, numbers and darkening.
#include <gtest/gtest.h>

#include <QColor>
#include <QStringList>

#include "html/CssValues.h"

namespace kavel {
namespace {

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
