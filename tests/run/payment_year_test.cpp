#include "run/payment_year.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "run/execute_command.h"
#include "run_fixtures.h"

namespace kw39::test {
namespace {

constexpr std::size_t kMonthly = 4;

// A monthly file: its [10701] row carries a date-like third field too, which
// is no payment date. Then a [10702] section with one row per date, unless
// there is none.
std::string MonthlyFile(const std::vector<std::string>& dates) {
    std::string text = ValidSlotFile(kMonthly);
    if (dates.empty()) return text;
    text += "[10702]\r\n";
    int no = 0;
    for (const std::string& date : dates) {
        text += "E001," + std::to_string(++no) + "," + date + ",250000\r\n";
    }
    // Rows of a later table are no payment dates either.
    return text + "[10705]\r\nE001,1,20300710\r\n";
}

std::string YearQuestionText(int calendar, const char* era, const char* asked) {
    return "支給日の年は " + std::to_string(calendar) + " 年 (" + era + ") ですが、申告年度に " +
           asked + " が指定されています。\nこのまま続けますか？";
}

// The year of the data is the calendar year most 10702 payment dates fall in,
// counted while the input is checked; the monthly file read alone gives the
// same. A year typed as another era year gives the question.
TEST(PaymentYear, MostFrequentYearAndTheQuestion) {
    struct Case {
        const char* name;
        std::vector<std::string> dates;
        const char* year;
        std::optional<int> paymentYear;
        std::string question;  // "" for none
    };
    const Case cases[] = {
        {"first Reiwa year", {"20190125"}, "1", 2019, ""},
        {"Reiwa 1 is not Heisei 31",
         {"20190125"},
         "31",
         2019,
         YearQuestionText(2019, "令和1年", "31")},
        {"last Heisei year", {"20181225"}, "30", 2018, ""},
        {"Heisei 30 is not Reiwa 1",
         {"20181225"},
         "1",
         2018,
         YearQuestionText(2018, "平成30年", "1")},
        {"first Heisei year", {"19890125"}, "1", 1989, ""},
        {"most frequent year",
         {"20251225", "20260125", "20260225"},
         "7",
         2026,
         YearQuestionText(2026, "令和8年", "7")},
        {"later year on a tie", {"20251225", "20260125"}, "8", 2026, ""},
        {"the year's value counts", {"20260125"}, "8年", 2026, ""},
        {"value as a number", {"20260125"}, "09", 2026, YearQuestionText(2026, "令和8年", "9")},
        {"quoted date", {"\"20260125\""}, "8", 2026, ""},
        {"no 10702 section", {}, "30", std::nullopt, ""},
        {"empty dates", {"", ""}, "30", std::nullopt, ""},
        {"malformed dates are not counted",
         {"2026012", "202601255", "2026/1/1", "2026012 ", "20261301", "20260100", "20260132",
          "19881225", "21171225", "２０２６", "20240125"},
         "6",
         2024,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InputSet in;
        in.PutAllValid();
        const std::string monthly = in.Put(kMonthly, MonthlyFile(c.dates));
        in.request.yearText = c.year;
        const RunStart start = StartRun(in.request);
        ASSERT_FALSE(start.refused);
        EXPECT_EQ(start.paymentYear, c.paymentYear);
        EXPECT_EQ(PaymentYearOf(monthly), c.paymentYear);
        // The year question, when there is one, comes before the confirmation.
        ASSERT_EQ(start.questions.size(), c.question.empty() ? 1u : 2u);
        EXPECT_EQ(start.questions.back().message.text, platform::TextOf(MessageId::Confirm));
        if (!c.question.empty()) {
            EXPECT_EQ(start.questions[0].message.text, c.question);
            EXPECT_EQ(start.questions[0].message.style, MessageStyle::Question);
            EXPECT_EQ(start.questions[0].field, RunField::Year);
        }
    }
    EXPECT_EQ(PaymentYearOf(""), std::nullopt);
}

// No to the year question ends the run with the year to correct and nothing
// read for the run; Yes goes on to the confirmation and the run.
TEST(PaymentYear, QuestionBeforeTheConfirmation) {
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes ? "Yes" : "No");
        InputSet in;
        in.PutAllValid();
        in.Put(kMonthly, MonthlyFile({"20260125"}));
        in.request.yearText = "9";
        ScriptedAnswers answers({yes});
        TrackingFileSystem fs;
        const RunResult result = ExecuteRun(in.request, answers.Function(), fs);
        ASSERT_FALSE(answers.asked.empty());
        EXPECT_EQ(answers.asked[0].text, YearQuestionText(2026, "令和8年", "9"));
        if (!yes) {
            EXPECT_EQ(result.outcome, CommandOutcome::Cancelled);
            EXPECT_EQ(answers.asked.size(), 1u);
            EXPECT_EQ(result.field, RunField::Year);
            EXPECT_EQ(fs.opened.size(), 6u);  // the input checks only
            EXPECT_FALSE(FileExists(in.OutputPath()));
        } else {
            EXPECT_EQ(result.outcome, CommandOutcome::Written);
            ASSERT_EQ(answers.asked.size(), 2u);
            EXPECT_EQ(answers.asked[1].text, platform::TextOf(MessageId::Confirm));
            EXPECT_EQ(result.field, RunField::None);
            EXPECT_NE(ReadBytes(in.OutputPath()).find("<SINKOKUNENDO>9</SINKOKUNENDO>"),
                      std::string::npos);
        }
    }
}

}  // namespace
}  // namespace kw39::test
