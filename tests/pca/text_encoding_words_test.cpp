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

// The check steps over plain ASCII eight bytes at a time; a foreign byte must be
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

TEST(TextEncodingWords, LineNumbersCountEveryLineFeed) {
    std::string bytes;
    for (int line = 1; line <= 5; ++line) bytes += std::string(20, 'x') + "\n";
    bytes += std::string(13, 'y') + '\x01' + "\n";
    const TextVerdict verdict = Check(bytes);
    EXPECT_EQ(verdict.problem, TextProblem::NotShiftJis);
    EXPECT_EQ(verdict.nLine, 6u);
}

}  // namespace
}  // namespace kw39
