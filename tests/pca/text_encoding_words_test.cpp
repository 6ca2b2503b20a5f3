#include <gtest/gtest.h>

#include <string>

#include "pca/text_encoding_check.h"

namespace kw39 {
namespace {

TextVerdict Check(const std::string& bytes) {
    TextEncodingCheck check;
    check.Feed(bytes);
    return check.Verdict();
}

// The check steps over plain ASCII many bytes at a time; a foreign byte must be
// found at every offset of such a step, and ordinary text must still pass.
TEST(TextEncodingWords, ForeignBytesAreFoundAtEveryOffset) {
    const std::string text(64, 'a');
    EXPECT_EQ(Check(text + "\r\n" + text).problem, TextProblem::None);
    for (std::size_t at = 3; at < 40; ++at) {
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
    for (std::size_t length = 1; length <= 20; ++length) {
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

}  // namespace
}  // namespace kw39
