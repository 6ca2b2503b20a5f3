#include "platform/sjis.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/encoding.h"

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

// Every pair of a lead and a trail byte is a character exactly when the
// system's own CP932 decoder reads it; the user-defined area and the NEC and
// IBM extensions are among them.
TEST(Sjis, DoubleByteCharactersAreThoseTheSystemDecodes) {
    std::size_t assigned = 0;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            const char pair[] = {static_cast<char>(lead), static_cast<char>(trail)};
            const bool decoded = Cp932ToUtf8(std::string_view(pair, 2)).has_value();
            const bool character = IsCp932DoubleByte(static_cast<unsigned char>(lead),
                                                     static_cast<unsigned char>(trail));
            EXPECT_EQ(character, decoded) << std::hex << lead << trail;
            assigned += character ? 1 : 0;
        }
    }
    EXPECT_EQ(assigned, 9604u);
    for (const unsigned code : {0x8540u, 0x886Cu, 0x81ADu, 0xEB40u, 0xFC4Cu}) {
        EXPECT_FALSE(IsCp932DoubleByte(code >> 8, code & 0xFF)) << std::hex << code;
    }
    // NEC special, NEC-selected IBM, IBM extensions, user-defined area.
    for (const unsigned code : {0x8740u, 0xED40u, 0xEEFCu, 0xFA40u, 0xFC4Bu, 0xF040u, 0xF9FCu}) {
        EXPECT_TRUE(IsCp932DoubleByte(code >> 8, code & 0xFF)) << std::hex << code;
    }
    EXPECT_FALSE(IsCp932DoubleByte(0x88, 0x3F));  // a trail byte out of range
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
