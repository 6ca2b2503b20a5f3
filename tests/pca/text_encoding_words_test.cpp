#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pca/text_encoding_check.h"

namespace kw39 {
namespace {

TextVerdict Check(const std::string& bytes) {
    TextEncodingCheck check;
    check.Feed(bytes);
    return check.Verdict();
}

// The check steps over plain ASCII many bytes at a time; a foreign byte must be
// found at every offset of such a step (of 16 and of 64 bytes), and ordinary
// text must still pass.
TEST(TextEncodingWords, ForeignBytesAreFoundAtEveryOffset) {
    const std::string text(160, 'a');
    EXPECT_EQ(Check(text + "\r\n" + text).problem, TextProblem::None);
    EXPECT_EQ(Check(text + "\x1A").problem, TextProblem::None);
    for (std::size_t at = 3; at < 140; ++at) {
        for (const char bad : {'\x01', '\0', '\x0B', '\x1F'}) {
            std::string bytes = text;
            bytes[at] = bad;
            const TextVerdict verdict = Check(bytes);
            EXPECT_NE(verdict.problem, TextProblem::None) << "byte " << int(bad) << " at " << at;
        }
        std::string broken = text;
        broken[at] = '\x80';  // undefined in Shift_JIS, and no UTF-8 either
        EXPECT_EQ(Check(broken).problem, TextProblem::NotShiftJis) << "at " << at;
    }
}

// Line ends are stepped over inside a step too: lines of every length put the
// line feeds, and the foreign byte after them, at every offset of a step.
TEST(TextEncodingWords, LineNumbersCountEveryLineFeed) {
    for (std::size_t length = 1; length <= 70; ++length) {
        std::string text = "abc";
        for (int line = 1; line <= 5; ++line) {
            text += std::string(length, 'x') + (line % 2 == 1 ? "\r\n" : "\t\n");
        }
        EXPECT_EQ(Check(text).problem, TextProblem::None) << "length " << length;
        for (const char bad : {'\x01', '\x80'}) {
            const TextVerdict verdict = Check(text + std::string(length, 'y') + bad + "\n");
            EXPECT_EQ(verdict.problem, TextProblem::NotShiftJis) << "length " << length;
            EXPECT_EQ(verdict.nLine, 6u) << "length " << length << ", byte " << int(bad);
        }
    }
}

// Whole Shift_JIS characters are stepped over too once the bytes cannot be
// UTF-8: whatever the mix, the check must say what it says when given the
// bytes one at a time, where no character lies whole in one piece.
TEST(TextEncodingWords, CharactersSteppedOverGiveTheVerdictOfSingleBytes) {
    const std::vector<std::string> pieces = {
        "a",        ",",           "\"",       "\r\n", "\n",   "\x82\xA0",  // あ
        "\x88\x9F", "\x81\x5B",    "\x95\x5C", "\xB1", "\xDF",              // 亜 ー 表, katakana
        "\x85\x40", "\x82",        "\x80",     "\xA0", "\xFD",              // no character
        "\x01",     "\xE3\x81\x82"};                                        // a control, UTF-8 あ
    std::uint32_t seed = 7;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = "ab\r\n";
        // Mostly good characters, with a rare foreign one.
        const std::uint32_t length = 1 + next() % 60;
        for (std::uint32_t i = 0; i < length; ++i) {
            const std::uint32_t pick = next() % 100;
            bytes += pieces[pick < 90 ? pick % 10 : 10 + pick % 8];
        }
        TextEncodingCheck whole;
        whole.Feed(bytes);
        TextEncodingCheck single;
        for (const char c : bytes) single.Feed(std::string(1, c));
        SCOPED_TRACE(testing::PrintToString(bytes));
        EXPECT_EQ(whole.Verdict().problem, single.Verdict().problem);
        EXPECT_EQ(whole.Verdict().nLine, single.Verdict().nLine);
        EXPECT_EQ(whole.ShiftJisSoFar(), single.ShiftJisSoFar());
        EXPECT_EQ(whole.CertainlyRefused(), single.CertainlyRefused());
    }
}

}  // namespace
}  // namespace kw39
