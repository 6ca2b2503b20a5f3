// CP932 <-> UTF-16 / UTF-8 through the Windows API. Runs under a Japanese and
// an English code page: the results must not depend on it.
#include <gtest/gtest.h>

#include "platform/encoding.h"
#include "platform/encoding_win.h"

namespace kw39::platform {
namespace {

TEST(EncodingWin, Cp932RoundTripsThroughUtf16) {
    struct Case {
        std::string cp932;
        std::wstring wide;
    };
    const Case cases[] = {
        {"", L""},
        {"KOJINQ.CSV", L"KOJINQ.CSV"},
        {"社員コード", L"社員コード"},
        {"ｶﾅ･ｶﾀｶﾅ", L"ｶﾅ･ｶﾀｶﾅ"},  // half-width katakana, single bytes
        {"Z:\\給与データ\\KAISHAQ.CSV", L"Z:\\給与データ\\KAISHAQ.CSV"},
        {"\x81\x60", L"\xFF5E"},  // FULLWIDTH TILDE
        {"\x87\x40", L"\x2460"},  // circled digit one (NEC row 13)
        {"表", L"表"},            // trail byte 0x5C, a backslash in ASCII
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cp932ToWide(c.cp932), std::optional<std::wstring>(c.wide)) << c.cp932;
        EXPECT_EQ(WideToCp932(c.wide), std::optional<std::string>(c.cp932)) << c.cp932;
    }
}

TEST(EncodingWin, NoLookAlikesForCharactersOutsideCp932) {
    const std::wstring outside[] = {
        L"\x301C",         // WAVE DASH: best fit would give the full-width tilde
        L"caf\x00E9.CSV",  // e with acute: best fit would give a plain e
        L"\x00A0",         // no-break space
        L"\xD800",         // a lone surrogate
        L"\U0001F600",     // outside the BMP
    };
    for (const std::wstring& text : outside) {
        EXPECT_FALSE(WideToCp932(text)) << "converted although outside CP932";
        EXPECT_NE(WideToCp932Lossy(text).find('?'), std::string::npos);
    }
}

TEST(EncodingWin, InvalidCp932IsRefused) {
    for (const std::string& bytes : {std::string("\x81"), std::string("A\x82"),
                                     std::string("\x81\x20"), std::string("\x85\x40")}) {
        EXPECT_FALSE(Cp932ToWide(bytes)) << "accepted invalid bytes";
        EXPECT_FALSE(Cp932ToUtf8(bytes));
    }
    EXPECT_EQ(Cp932ToWideLossy("AB"), L"AB");
    EXPECT_FALSE(Cp932ToWideLossy("A\x81").empty());
}

TEST(EncodingWin, Utf8MatchesThePortableContract) {
    EXPECT_EQ(Cp932ToUtf8("正常に終了しました。"),
              std::optional<std::string>("\xE6\xAD\xA3\xE5\xB8\xB8\xE3\x81\xAB\xE7\xB5\x82"
                                         "\xE4\xBA\x86\xE3\x81\x97\xE3\x81\xBE\xE3\x81\x97"
                                         "\xE3\x81\x9F\xE3\x80\x82"));
    EXPECT_EQ(Utf8ToCp932("\xE7\xA4\xBE\xE5\x93\xA1"), std::optional<std::string>("社員"));
    EXPECT_FALSE(Utf8ToCp932("\xC3\xA9"));  // e with acute has no CP932 form
    EXPECT_FALSE(Utf8ToCp932("\xC3"));      // truncated UTF-8
    EXPECT_EQ(Cp932ToUtf8Lossy("A\x81"), "A?");
}

}  // namespace
}  // namespace kw39::platform
