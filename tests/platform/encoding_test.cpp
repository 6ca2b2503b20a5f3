#include "platform/encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace kw39::platform {
namespace {

TEST(Encoding, RoundTripsCp932Text) {
    // Narrow literals are CP932; the u8 literals are the same text in UTF-8.
    struct Case {
        std::string cp932;
        std::u8string utf8;
    };
    const Case cases[] = {
        {"", u8""},
        {"abc,123", u8"abc,123"},
        {"社員コード", u8"社員コード"},
        {"ー表ソ能", u8"ー表ソ能"},  // trail bytes 0x5B and 0x5C
        {"ｱｲｳ", u8"ｱｲｳ"},            // half-width kana are single bytes
        {"①Ⅹ㈱", u8"①Ⅹ㈱"},          // NEC special characters
        {"髙﨑", u8"髙﨑"},          // IBM extensions
        {"～", u8"～"},
    };
    for (const Case& c : cases) {
        const std::string utf8(c.utf8.begin(), c.utf8.end());
        const auto toUtf8 = Cp932ToUtf8(c.cp932);
        ASSERT_TRUE(toUtf8) << utf8;
        EXPECT_EQ(*toUtf8, utf8);
        const auto back = Utf8ToCp932(utf8);
        ASSERT_TRUE(back) << utf8;
        EXPECT_EQ(*back, c.cp932);
    }
}

TEST(Encoding, InvalidInputFails) {
    EXPECT_FALSE(Cp932ToUtf8("a\x81"));             // lead byte without trail
    EXPECT_FALSE(Utf8ToCp932("\xF0\x9F\x98\x80"));  // no CP932 counterpart
    EXPECT_FALSE(Utf8ToCp932("\xE3\x81"));          // truncated UTF-8
}

TEST(Encoding, LossyConversionReplacesOnlyTheBadCharacter) {
    const std::u8string expected = u8"社員?";
    EXPECT_EQ(Cp932ToUtf8Lossy("社員\x81"), std::string(expected.begin(), expected.end()));
    EXPECT_EQ(Cp932ToUtf8Lossy("abc"), "abc");
}

}  // namespace
}  // namespace kw39::platform
