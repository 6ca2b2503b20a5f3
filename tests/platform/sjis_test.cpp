#include "platform/sjis.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace kw39::platform {
namespace {

TEST(Sjis, LeadBytesAreTheTwoCp932Ranges) {
    struct Case {
        unsigned char byte;
        bool lead;
    };
    const Case cases[] = {
        {0x00, false}, {0x41, false}, {0x7F, false}, {0x80, false}, {0x81, true},
        {0x9F, true},  {0xA0, false}, {0xA1, false}, {0xDF, false}, {0xE0, true},
        {0xFC, true},  {0xFD, false}, {0xFF, false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsLeadByte(c.byte), c.lead) << std::hex << int(c.byte);
}

TEST(Sjis, CharLengthCountsALeadByteAtTheEndAlone) {
    const std::string text = "aー\x81";
    EXPECT_EQ(CharLength(text, 0), 1u);
    EXPECT_EQ(CharLength(text, 1), 2u);
    EXPECT_EQ(CharLength(text, 3), 1u);
}

TEST(Sjis, FindSingleByteNeverMatchesATrailByte) {
    // "ー" is 0x81 0x5B (trail "["), "‐" is 0x81 0x5D (trail "]"), "表" is
    // 0x95 0x5C (trail backslash), "ヂ" is 0x83 0x61 (trail "a").
    ASSERT_EQ(std::string("ー"), "\x81\x5B");
    ASSERT_EQ(std::string("表"), "\x95\x5C");
    struct Case {
        std::string text;
        char c;
        std::size_t from;
        std::size_t expected;
    };
    const std::size_t npos = std::string_view::npos;
    const Case cases[] = {
        {"ー", '[', 0, npos},       {"ー[", '[', 0, 2},    {"\x81\x5D]", ']', 0, 2},
        {"\x81\x5D", ']', 0, npos}, {"表", '\\', 0, npos}, {"表\\", '\\', 0, 2},
        {"ヂa", 'a', 0, 2},         {"[ー[", '[', 1, 3},   {"a,b,c", ',', 2, 3},
        {"", ',', 0, npos},         {"abc", ',', 0, npos},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindSingleByte(c.text, c.c, c.from), c.expected) << c.text << " " << c.c;
    }
}

TEST(Sjis, ToUpperSjisChangesLettersOnly) {
    struct Case {
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"abc.csv", "ABC.CSV"},
        {"ＡＢＣａｂｃｘｙｚ", "ＡＢＣＡＢＣＸＹＺ"},
        {"αβω", "ΑΒΩ"},
        {"аянор", "АЯНОР"},        // both sides of the unused code 0x847F
        {"ヂ表ーア", "ヂ表ーア"},  // trail bytes that look like "a" or "["
        {"kojinq社員.csv", "KOJINQ社員.CSV"},
        {"0-9_[]", "0-9_[]"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ToUpperSjis(c.text), c.expected) << c.text;
}

TEST(Sjis, TrimsRemoveAsciiBlanksOnly) {
    EXPECT_EQ(TrimTrailingBlanks(" a b \t\r\n\v\f"), " a b");
    EXPECT_EQ(TrimLeadingBlanks(" \t\r\n\v\fa b "), "a b ");
    EXPECT_EQ(TrimTrailingBlanks("a　"), "a　");  // the double-byte blank stays
    EXPECT_EQ(TrimLeadingBlanks("　a"), "　a");
    EXPECT_EQ(TrimTrailingBlanks(" \t "), "");
    EXPECT_EQ(TrimLeadingBlanks(""), "");
}

TEST(Sjis, RemoveSingleByteKeepsDoubleByteCharacters) {
    EXPECT_EQ(RemoveSingleByte("[10601]", '['), "10601]");
    EXPECT_EQ(RemoveSingleByte("[ー[", '['), "ー");
    EXPECT_EQ(RemoveSingleByte("表\\表", '\\'), "表表");
}

}  // namespace
}  // namespace kw39::platform
