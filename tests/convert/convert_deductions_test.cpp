// The small-enterprise mutual-aid sum and the collection method.
#include <gtest/gtest.h>

#include <string>

#include "pca_fixture.h"

namespace kw39::test {
namespace {

TEST(ConvertDeductionsTest, MutualAidSum) {
    struct Case {
        const char* a;
        const char* b;
        const char* c;
        const char* expected;
    };
    const Case cases[] = {
        {"", "", "", ""},
        {"1000", "", "250", "1250"},
        {"0", "", "", "0"},
        {"", "x", "", "0"},
        {"1,200", "", "", "1"},
        {" 300", "-100", "5円", "205"},
        // Each amount and the sum are read and added in 64 bits, exactly;
        // only beyond that range do they saturate.
        {"2147483647", "2147483647", "2147483647", "6442450941"},
        {"3000000000", "3000000000", "5", "6000000005"},
        {"99999999999", "1", "", "100000000000"},
        {"-2147483648", "-2147483648", "-99999999999", "-104294967295"},
        {"9223372036854775807", "1", "", "9223372036854775807"},
        {"99999999999999999999", "-1", "", "9223372036854775806"},
        {"-99999999999999999999", "-1", "", "-9223372036854775808"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        PcaExport data;
        data.Add("10601", {{"社員コード", "E1"}});
        data.Add("10802", {{"社員コード", "E1"},
                           {"独立行政法人中小企業基盤整備機構の共済契約の掛金", c.a},
                           {"個人型又は企業型年金加入者掛金", c.b},
                           {"心身障害者扶養共済制度に関する契約の掛金", c.c},
                           {"給与等からの控除分のうち小規模企業共済等掛金の金額", "7777"}});
        LoadedEngine loaded(data);
        ASSERT_TRUE(loaded.ConvertAll());
        EXPECT_EQ(loaded.Value("E1", "社保等申告小規模企業共済(支払)"), c.expected);
        EXPECT_EQ(loaded.Value("E1", "社保等給与等控除分(控除額)"), "");
    }
}

TEST(ConvertDeductionsTest, CollectionMethod) {
    struct Case {
        const char* zeikubun;
        const char* working;
        const char* expected;
    };
    const Case cases[] = {
        {"2", "1", "2"}, {"1", "3", "2"}, {"", "", "1"},   {"1", "1", "1"},
        {"2", "3", "2"}, {"3", "2", "1"}, {"02", "", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.zeikubun) + "/" + c.working);
        PcaExport data;
        data.Add("10601", {{"社員コード", "E1"}, {"就労状況", c.working}});
        data.Add("10603", {{"社員コード", "E1"}, {"税区分", c.zeikubun}});
        LoadedEngine loaded(data);
        ASSERT_TRUE(loaded.ConvertAll());
        EXPECT_EQ(loaded.Value("E1", "徴収方法"), c.expected);
    }
}

}  // namespace
}  // namespace kw39::test
