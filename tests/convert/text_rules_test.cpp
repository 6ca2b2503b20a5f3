#include "convert/text_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace kw39 {
namespace {

TEST(TextRulesTest, HyphenPartsSplitAtTheFirstHyphen) {
    struct Case {
        std::string text;
        std::string part1;
        std::string part2;
    };
    const Case cases[] = {
        {"123-4567", "123", "4567"},  {"1234567", "", ""}, {"12-34-56", "12", "34-56"},
        {"-4567", "", "4567"},        {"123-", "123", ""}, {"", "", ""},
        {"１２３－４５６７", "", ""},  // full-width digits and minus: no half-width hyphen
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(GetHyphenPart(c.text, 1), c.part1);
        EXPECT_EQ(GetHyphenPart(c.text, 2), c.part2);
        EXPECT_EQ(GetHyphenPart(c.text, 3), c.part2);  // any part but 1 is the rest
    }
}

TEST(TextRulesTest, NamePartsAndBlanks) {
    struct Case {
        std::string family;
        std::string given;
        std::string joined;
    };
    const Case cases[] = {
        {"山田", "太郎", "山田 太郎"},
        {"", "太郎", "太郎"},
        {"山田", "", "山田"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.joined);
        EXPECT_EQ(JoinNameParts(c.family, c.given), c.joined);
    }
    EXPECT_EQ(RemoveBlanks(" 山 田 "), "山田");
    EXPECT_EQ(RemoveBlanks("山　田"), "山　田");  // the full-width blank stays
    EXPECT_EQ(RemoveBlanks("   "), "");
    EXPECT_EQ(BlankUnused("未使用"), "");
    EXPECT_EQ(BlankUnused("未使用 "), "未使用 ");
    EXPECT_EQ(BlankUnused("部長"), "部長");
}

TEST(TextRulesTest, ToIntegerTakesTheLeadingDecimalNumber) {
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr std::int64_t kMax64 = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin64 = std::numeric_limits<std::int64_t>::min();
    struct Case {
        std::string text;
        int value;             // ToInteger, clamped to 32 bits
        std::int64_t value64;  // ToInteger64
    };
    const Case cases[] = {
        {"", 0, 0},
        {"x", 0, 0},
        {"12", 12, 12},
        {"012", 12, 12},
        {"  7", 7, 7},
        {"\t+8", 8, 8},
        {"-9", -9, -9},
        {"1,200", 1, 1},
        {"12x3", 12, 12},
        {"+", 0, 0},
        {"- 1", 0, 0},
        {"１２", 0, 0},  // full-width digits are no digits
        {"\t\n 7", 7, 7},
        {"　26", 0, 0},  // the double-byte blank is not skipped
        {"26年", 26, 26},
        {"2147483647", kMax, 2147483647},
        {"2147483648", kMax, 2147483648},
        {"3000000000", kMax, 3000000000},
        {"-2147483648", kMin, -2147483648LL},
        {"-99999999999", kMin, -99999999999},
        {"9223372036854775807", kMax, kMax64},
        {"9223372036854775808", kMax, kMax64},
        {"99999999999999999999999", kMax, kMax64},
        {"-9223372036854775808", kMin, kMin64},
        {"-99999999999999999999999", kMin, kMin64},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ToInteger(c.text), c.value);
        EXPECT_EQ(ToInteger64(c.text), c.value64);
    }
}

TEST(TextRulesTest, ToRealTakesTheLeadingDecimalNumber) {
    const std::pair<std::string, double> cases[] = {
        {"", 0.0},
        {"abc", 0.0},
        {"250000", 250000.0},
        {"123.6", 123.6},
        {" -5.5", -5.5},
        {"+3", 3.0},
        {"1e3", 1000.0},
        {"1E+2x", 100.0},
        {"2e", 2.0},
        {"2e-", 2.0},
        {".5", 0.5},
        {"5.", 5.0},
        {".", 0.0},
        {"-.", 0.0},
        {"1,234", 1.0},
        {"0x10", 0.0},
        {"inf", 0.0},
        {"1e-400", 0.0},
        {"007", 7.0},
        {"12.5.3", 12.5},
        {"12e3", 12000.0},
        {"7 円", 7.0},
        {"-42", -42.0},
        {"999999999999999", 999999999999999.0},
        {"-000999999999999999", -999999999999999.0},
        {"12345678901234567", 12345678901234567.0},
        {"98765432109876543210", 9.876543210987654e19},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        EXPECT_DOUBLE_EQ(ToReal(text), expected);
    }
    EXPECT_TRUE(std::signbit(ToReal("-0")));
    EXPECT_EQ(ToReal("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ToReal("-1e400"), -std::numeric_limits<double>::infinity());
}

TEST(TextRulesTest, FormatWholeRoundsAndNeverPrintsMinusZero) {
    const std::pair<double, std::string> cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {-0.4, "0"},
        {0.4, "0"},
        {123.6, "124"},
        {-2.6, "-3"},
        {250000.0, "250000"},
        {-250000.0, "-250000"},
        {7.0, "7"},
        {12345678901.0, "12345678901"},
        {9007199254740991.0, "9007199254740991"},
        {-9007199254740991.0, "-9007199254740991"},
        {1e20, "100000000000000000000"},
        {2.5, "2"},
        {3.5, "4"},
        {-0.5, "0"},
        {0.5, "0"},
    };
    // Written over what the text held, long or short.
    std::string text(40, 'x');
    for (const auto& [value, expected] : cases) {
        SCOPED_TRACE(expected);
        FormatWhole(value, text);
        EXPECT_EQ(text, expected);
    }
}

}  // namespace
}  // namespace kw39
