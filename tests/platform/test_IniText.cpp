#include <gtest/gtest.h>

#include "platform/IniText.h"

namespace kavel {
namespace {

const QByteArray kLayout =
    "; layout of a task\r\n"
    "X=5\r\n"
    "[ITEM0]\r\n"
    "PRNTOP=10\r\n"
    ";A=1\r\n"
    "#B=2\r\n"
    "PRNLEFT = 20 \r\n"
    "\r\n"
    "[ItemPanelPPTL]\r\n"
    "PRNWIDTH=794\r\n"
    "PRNFONTNAME=Times New Roman\r\n"
    "URL=http://host/a?b=c\r\n"
    "PRNTOP=1\r\n"
    "PRNTOP=2\r\n"
    "[item0]\r\n"
    "PRNTOP=99\r\n";
// Names beyond ASCII match without regard to case too.
const QByteArray kBeyondAscii = "[\xC3\x84rger]\r\n\xC3\x96l = 1\r\n[\xC3\xA4RGER]\r\nNEU=2\r\n";

TEST(IniText, ReadsOneValueBySectionAndKey) {
    struct Case {
        const char* section;
        const char* key;
        std::optional<QString> expected;
    };
    const Case cases[] = {
        {"ITEM0", "PRNTOP", QString("10")},
        {"item0", "prntop", QString("10")},       // case of both names does not matter
        {"ITEM0", "PRNLEFT", QString("20")},      // blanks around key and value go
        {" ITEM0 ", " PRNLEFT ", QString("20")},  // and around the names asked for
        {"ITEMPANELPPTL", "PRNFONTNAME", QString("Times New Roman")},
        {"ITEMPanelPPTL", "URL", QString("http://host/a?b=c")},  // "=" inside a value
        {"ITEMPanelPPTL", "PRNTOP", QString("1")},               // the first of duplicate keys
        {"ITEM0", "PRNWIDTH", std::nullopt},                     // key of another section
        {"ITEM1", "PRNTOP", std::nullopt},                       // missing section
        {"ITEM0", "PRNHEIGHT", std::nullopt},                    // missing key
        {"Item0", "PRNTOP", QString("10")},  // the first of duplicate sections wins
        {"ITEM0", ";A", std::nullopt},       // comments are no keys
        {"", "X", std::nullopt},             // nor is a key before any section
        {"ITEM0", "X", std::nullopt}};
    for (const Case& c : cases) {
        EXPECT_EQ(IniValue(kLayout, c.section, c.key), c.expected) << c.section << "/" << c.key;
    }
    EXPECT_EQ(IniValue("\xEF\xBB\xBF[S]\nNAME=\xE5\xAE\x8B\xE4\xBD\x93\n", "S", "NAME"),
              QString("宋体"));  // after a byte-order mark
    EXPECT_EQ(IniValue(kBeyondAscii, "ÄRGER", "öL"), QString("1"));
    EXPECT_EQ(IniValue(kBeyondAscii, "ärger", "neu"), std::nullopt);  // a later twin
}

TEST(IniText, WriteChangesOnlyTheKeyLine) {
    struct Case {
        const char* name;
        QByteArray text;
        const char* section;
        const char* key;
        const char* value;
        QByteArray expected;
    };
    const Case cases[] = {
        {"existing key keeps its spelling and line break", "[S]\r\nKey = old\r\nOther=1\r\n", "s",
         "KEY", "new", "[S]\r\nKey =new\r\nOther=1\r\n"},
        {"first of duplicate keys", "[S]\nA=1\nA=2\n", "S", "a", "9", "[S]\nA=9\nA=2\n"},
        {"new key after the section's last line, blank lines kept", "; c\n[S]\nA=1\n\n[T]\nB=2\n",
         "S", "C", "3", "; c\n[S]\nA=1\nC=3\n\n[T]\nB=2\n"},
        {"new key in a section at the end without line break", "[S]\nA=1", "S", "B", "2",
         "[S]\nA=1\nB=2\n"},
        {"new section appended", "[S]\r\nA=1\r\n", "T", "B", "2", "[S]\r\nA=1\r\n[T]\r\nB=2\r\n"},
        {"new section after a last line without break", "[S]\nA=1", "T", "B", "2",
         "[S]\nA=1\n[T]\nB=2\n"},
        {"empty text", "", "S", "A", "1", "[S]\nA=1\n"},
        {"value with equals signs", "[S]\nA=1\n", "S", "A", "x=y=z", "[S]\nA=x=y=z\n"},
        {"comment that looks like the key stays", "[S]\n;A=1\n", "S", "A", "2", "[S]\n;A=1\nA=2\n"},
        {"key before any section is not the section's", "A=1\n[S]\n", "S", "A", "2",
         "A=1\n[S]\nA=2\n"},
        {"byte-order mark kept", "\xEF\xBB\xBF[S]\nNAME=x\n", "S", "NAME", "Arial",
         "\xEF\xBB\xBF[S]\nNAME=Arial\n"},
        {"other lines in another code page kept", "[S]\nNAME=\xCB\xCE\xCC\xE5\nA=1\n", "S", "A",
         "2", "[S]\nNAME=\xCB\xCE\xCC\xE5\nA=2\n"},
        {"names beyond ASCII", kBeyondAscii, "äRGER", "ÖL", "3",
         "[\xC3\x84rger]\r\n\xC3\x96l =3\r\n[\xC3\xA4RGER]\r\nNEU=2\r\n"}};
    for (const Case& c : cases) {
        EXPECT_EQ(IniWithValue(c.text, c.section, c.key, c.value), c.expected) << c.name;
    }
    // Names and values that start with U+FEFF read back as written (not as a byte-order
    // mark that decoding drops).
    const QString mark = QString(QChar(0xFEFF));
    const QByteArray written = IniWithValue("[S]\nA=1\n", mark + "T", mark + "K", mark + "v");
    EXPECT_EQ(IniIndex(written).Value(mark + "T", mark + "K"), mark + "v");
}

TEST(IniText, RefusesWhatWouldBreakOtherLines) {
    struct Case {
        const char* section;
        const char* key;
        const char* value;
        bool storable;
    };
    const Case cases[] = {{"S", "A", "plain", true},       {"S", "A", "", true},
                          {"S", "A", "two\nlines", false}, {"S", "A", "carriage\rreturn", false},
                          {"S", "A=B", "1", false},        {"S", "", "1", false},
                          {"", "A", "1", false},           {"S]", "A", "1", false},
                          {"S", "[T]", "1", false},        {"S", ";A", "1", false}};
    for (const Case& c : cases) {
        EXPECT_EQ(IniCanStore(c.section, c.key, c.value), c.storable)
            << c.section << "/" << c.key << "/" << c.value;
    }
}

}  // namespace
}  // namespace kavel
