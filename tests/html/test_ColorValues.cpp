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

TEST(ColorNameToHex, NamesIgnoreCaseAndOtherTextStaysAsItIs) {
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"red", "#FF0000"},
        {"RED", "#FF0000"},
        {"Navy", "#000080"},
        {"black", "#000000"},
        {"DarkSeaGreen", "#8FBC8B"},
        {"Grey", "Grey"},
        {"#abc", "#abc"},
        {"rgb(1,2,3)", "rgb(1,2,3)"},
        {"RGB(1,2,3)", "RGB(1,2,3)"},
        {"red#", "red#"},
        {"no colour", "no colour"},
        {"", ""},
        {"redd", "redd"},
        {"re", "re"},
    };
    for (const auto& c : cases) EXPECT_EQ(ColorNameToHex(c.text), c.expected) << c.text;
}

TEST(ColorNameToHex, SystemColourNames) {
    const struct {
        const char* value;
        QStringList names;
    } groups[] = {
        {"#000000",
         {"windowtext", "windowframe", "menutext", "buttontext", "infotext", "threeddarkshadow"}},
        {"#00008B", {"highlight", "activecaption"}},
        {"#A9A9A9",
         {"graytext", "inactivecaption", "appworkspace", "buttonshadow", "threedshadow"}},
        {"#D3D3D3",
         {"scrollbar", "menu", "buttonface", "inactivecaptiontext", "threedlightshadow",
          "inactiveborder", "activeborder"}},
        {"#4169E1", {"background"}},
        {"#F5F5F5",
         {"window", "captiontext", "buttonhighlight", "infobackground", "highlighttext",
          "threedhighlight"}},
    };
    for (const auto& group : groups) {
        for (const QString& name : group.names) {
            EXPECT_EQ(ColorNameToHex(name), group.value) << name.toStdString();
            EXPECT_EQ(ColorNameToHex(name.toUpper()), group.value) << name.toStdString();
        }
    }
}

constexpr TColor kDefault = 0x123456;
constexpr TColor kRed = RGBColor(255, 0, 0);

struct ColorCase {
    const char* value;
    double factor;
    TColor expected;
};

TEST(ColorValue, EveryFormOfPureRed) {
    const char* values[] = {"#F00",           "#f00",         "#FF0000", "#ff0000",
                            " #FF0000 ",      "red",          "Red",     "rgb(255,0,0)",
                            "rgb(255, 0, 0)", "RGB(255,0,0)", "255",     "rgb( 255 ,0 , 0 )"};
    for (const char* value : values) EXPECT_EQ(ColorValue(value, kDefault), kRed) << value;
}

TEST(ColorValue, ComponentsLandInTheirBytes) {
    const ColorCase cases[] = {
        {"#123456", 1, RGBColor(0x12, 0x34, 0x56)},
        {"#1A2", 1, RGBColor(0x11, 0xAA, 0x22)},
        {"rgb(128,128,128)", 1, RGBColor(128, 128, 128)},
        {"rgb(1,2,3)", 1, RGBColor(1, 2, 3)},
        {"darkseagreen", 1, RGBColor(0x8F, 0xBC, 0x8B)},
        {"window", 1, RGBColor(0xF5, 0xF5, 0xF5)},
        {"ButtonText", 1, RGBColor(0, 0, 0)},
        {"16777215", 1, RGBColor(255, 255, 255)},
        {"65280", 1, RGBColor(0, 255, 0)},
        {"0", 1, RGBColor(0, 0, 0)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColorValue(c.value, kDefault, c.factor), c.expected) << c.value;
}

TEST(ColorValue, FactorScalesAndRoundsHalfToEven) {
    const ColorCase cases[] = {
        {"#FFFFFF", 0.5, RGBColor(128, 128, 128)},  // 127.5
        {"#010101", 0.5, RGBColor(0, 0, 0)},        // 0.5
        {"#030303", 0.5, RGBColor(2, 2, 2)},        // 1.5
        {"#FFF", 0.5, RGBColor(128, 128, 128)},
        {"white", 0.5, RGBColor(128, 128, 128)},
        {"rgb(255,5,0)", 0.5, RGBColor(128, 2, 0)},
        {"#D4D0C8", 0.5, RGBColor(106, 104, 100)},
        {"#808080", 2, RGBColor(255, 255, 255)},  // stays within a byte
        {"#FFFFFF", 0, RGBColor(0, 0, 0)},
        {"#FFFFFF", -1, RGBColor(0, 0, 0)},
        {"rgb(300,-5,0)", 1, RGBColor(255, 0, 0)},
        // A colour number is no component form: the factor does not apply.
        {"255", 0.5, kRed},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ColorValue(c.value, kDefault, c.factor), c.expected)
            << c.value << " x " << c.factor;
    }
}

TEST(ColorValue, WhatIsNoColourGivesTheDefault) {
    QStringList values = {"",
                          "  ",
                          "transparent",
                          "TRANSPARENT",
                          "#12345",
                          "#1234567",
                          "#GG0000",
                          "#",
                          "#-1-1-1",
                          "# FF0000",
                          "#+F+F+F",
                          "rgb(1,2)",
                          "rgb(1,2,3,4)",
                          "rgb(a,b,c)",
                          "rgb(1.5,2,3)",
                          "rgba(1,2,3,0.5)",
                          "16777216",
                          "-1",
                          "abc",
                          "0x0000FF",
                          "1.5"};
    values += kMissingKeywords;
    for (const QString& value : values) {
        EXPECT_EQ(ColorValue(value, kDefault), kDefault) << '"' << value.toStdString() << '"';
    }
    EXPECT_EQ(ColorValue("#FFFFFF", kDefault, std::numeric_limits<double>::quiet_NaN()), kDefault);
}

}  // namespace
}  // namespace kavel
