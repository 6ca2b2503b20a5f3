#include "run/launch_context.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace kw39 {
namespace {

TEST(DefaultYear, FollowsTheEraInUse) {
    struct Case {
        platform::LocalDate date;
        const char* year;
    };
    const Case cases[] = {
        {{2026, 1, 1}, "8"},    {{2026, 12, 31}, "8"}, {{2019, 4, 30}, "31"},
        {{2019, 5, 1}, "1"},    {{2019, 12, 31}, "1"}, {{2020, 1, 1}, "2"},
        {{2018, 12, 31}, "30"}, {{2019, 1, 1}, "31"},  {{1989, 1, 8}, "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.date.year) + "-" + std::to_string(c.date.month) + "-" +
                     std::to_string(c.date.day));
        EXPECT_EQ(DefaultYear(c.date), c.year);
    }
}

struct LaunchCase {
    const char* args;
    bool hosted;
    std::intptr_t window;
    std::uint32_t message;
    int code;
    const char* path;
};

TEST(ParseLaunchCommandLine, ReadsTheHostedFormLikeScanf) {
    const LaunchCase cases[] = {
        {"4660,1025,3,C:\\out\\kw39.xml", true, 4660, 1025, 3, "C:\\out\\kw39.xml"},
        {"4660,1025,1,out.xml", true, 4660, 1025, 1, "out.xml"},
        {" 4660,\t1025, 3,   out.xml", true, 4660, 1025, 3, "out.xml"},
        {"4660,1025,3,C:\\My Documents\\a.xml", true, 4660, 1025, 3, "C:\\My"},
        {"-5,+7,3,p", true, -5, 7, 3, "p"},
        {"4660,-1,3,p", true, 4660, 0xFFFFFFFFu, 3, "p"},
        {"99999999999999999999,1,3,p", true, INT_MAX, 1, 3, "p"},
        {"-99999999999999999999,1,3,p", true, INT_MIN, 1, 3, "p"},
        {"1,2,3,出力.xml", true, 1, 2, 3, "出力.xml"},
        {"12abc,1,3,p", false, 0, 0, 1, ""},
        {"", false, 0, 0, 1, ""},
        {"   ", false, 0, 0, 1, ""},
        {"abc", false, 0, 0, 1, ""},
        {"4660,1025", false, 0, 0, 1, ""},
        {"4660,1025,3", false, 0, 0, 1, ""},
        {"4660,1025,3,", false, 0, 0, 1, ""},
        {"4660,1025,3,  \t", false, 0, 0, 1, ""},
        {"4660 ,1025,3,p", false, 0, 0, 1, ""},
        {"4660,,3,p", false, 0, 0, 1, ""},
        {"4660,-,3,p", false, 0, 0, 1, ""},
    };
    for (const LaunchCase& c : cases) {
        SCOPED_TRACE(c.args);
        LaunchContext context;
        EXPECT_EQ(ParseLaunchCommandLine(c.args, {2026, 6, 1}, context), c.hosted);
        EXPECT_EQ(context.hostWindow, c.window);
        EXPECT_EQ(context.notifyMessage, c.message);
        EXPECT_EQ(context.launchCode, c.code);
        EXPECT_EQ(context.hostOutputPath, c.path);
        EXPECT_EQ(context.defaultYear, "8");
    }
}

}  // namespace
}  // namespace kw39
