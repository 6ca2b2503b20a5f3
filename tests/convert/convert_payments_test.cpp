// Salary and bonus payments.
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "convert/payments.h"
#include "pca_fixture.h"

namespace kw39::test {
namespace {

struct Payment {
    std::string number;  // 支給回 as written
    std::string date;    // 支給日 of the amounts row; "-" for no amounts row
    std::string total;
    std::string insurance;
    std::string tax;
    std::string dependants;
};

void AddSalary(PcaExport& data, const Payment& p) {
    data.Add("10701",
             {{"社員コード", "E1"}, {"支給回", p.number}, {"扶養親族等の数", p.dependants}});
    if (p.date == "-") return;
    data.Add("10702", {{"社員コード", "E1"},
                       {"支給回", p.number},
                       {"支給日", p.date},
                       {"課税合計", p.total},
                       {"社会保険合計", p.insurance},
                       {"所得税", p.tax}});
}

void AddBonus(PcaExport& data, const Payment& p) {
    data.Add("10705",
             {{"社員コード", "E1"}, {"支給回", p.number}, {"扶養親族等の数", p.dependants}});
    data.Add("10706", {{"社員コード", "E1"},
                       {"支給回", p.number},
                       {"支給日", p.date},
                       {"課税合計", p.total},
                       {"社会保険合計", p.insurance},
                       {"所得税", p.tax}});
}

// "total/insurance/dependants/tax" of a record.
std::string Texts(const CKyuuyoShouyo& p) {
    return p.m_strSousikyuugaku + "/" + p.m_strHokenkoujogaku + "/" + p.m_strFuyousinzokusuu + "/" +
           p.m_strSansyutuzeigaku;
}

// Checks the numbering of all records and returns the texts of the
// non-empty ones by payment number.
std::map<int, std::string> Filed(const std::vector<CKyuuyoShouyo>& records, int firstNo,
                                 int count) {
    std::map<int, std::string> filed;
    EXPECT_EQ(records.size(), static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].m_nNo, firstNo + static_cast<int>(i));
        if (Texts(records[i]) != "///") filed[records[i].m_nNo] = Texts(records[i]);
    }
    return filed;
}

constexpr const char* kDate = "20240125";

TEST(ConvertPaymentsTest, SalaryNumbersAndDatesChooseTheSlot) {
    struct Case {
        const char* name;
        std::vector<Payment> payments;
        std::map<int, std::string> expected;
    };
    const std::vector<Case> cases = {
        {"no payments", {}, {}},
        {"number forms",
         {{"01", kDate, "1", "0", "0", "1"},
          {"10", kDate, "10", "0", "0", "1"},
          {"012", kDate, "12", "0", "0", "1"},
          {"100", kDate, "100", "0", "0", "3"},
          {"13", kDate, "13", "0", "0", "1"},
          {"00", kDate, "99", "0", "0", "1"},
          {"x", kDate, "98", "0", "0", "1"}},
         {{1, "101/0/3/0"}, {10, "10/0/1/0"}, {12, "12/0/1/0"}}},
        {"second December payment",
         {{"12", kDate, "300", "30", "3", "2"}, {"012", kDate, "400", "40", "4", "1"}},
         {{12, "300/30/2/3"}, {13, "400/40/1/4"}}},
        {"payment date must be eight bytes",
         {{"1", "20240125", "1000", "0", "0", "0"},
          {"2", "2024125", "2000", "0", "0", "0"},
          {"3", "", "3000", "0", "0", "0"},
          {"4", "-", "", "", "", "2"},
          {"5", "R06年1月", "5000", "0", "0", "0"}},  // eight bytes, six characters
         {{1, "1000/0/0/0"}, {5, "5000/0/0/0"}}},
        {"empty-slot formatting",
         {{"1", kDate, "0", "0", "0", "2"},
          {"2", kDate, "250000", "0", "0", "1"},
          {"3", kDate, "123.6", "10.4", "5.5", "0"},
          {"4", kDate, "", "500", "", ""},
          {"5", kDate, "-0.4", "0", "0", "0"},
          {"6", kDate, "100", "", "", ""},
          {"7", kDate, "-1000", "0", "0", "0"}},
         {{1, "//2/"},
          {2, "250000/0/1/0"},
          {3, "124/10/0/6"},
          {4, "/500//"},
          {6, "100/0/0/0"},
          {7, "-1000/0/0/0"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PcaExport data;
        data.Add("10601", {{"社員コード", "E1"}});
        for (const Payment& p : c.payments) AddSalary(data, p);
        LoadedEngine loaded(data);
        ASSERT_TRUE(loaded.ConvertAll());
        const SYAINDETAIL& detail = *loaded.Syain("E1").pDetail;
        EXPECT_EQ(Filed(detail.aKyuuyo, 1, 13), c.expected);
        EXPECT_EQ(Filed(detail.aShouyo, 14, 5), (std::map<int, std::string>{}));
        EXPECT_TRUE(loaded.log.messages.empty());
    }
}

TEST(ConvertPaymentsTest, BonusNumbersFoldIntoFiveSlots) {
    struct Case {
        const char* name;
        std::vector<Payment> payments;
        std::map<int, std::string> expected;
    };
    const std::vector<Case> cases = {
        {"one to seven",
         {{"1", "", "1", "0", "0", "1"},
          {"2", "", "2", "0", "0", "1"},
          {"4", "", "4", "0", "0", "1"},
          {"5", "", "5", "0", "0", "1"},
          {"6", "", "60", "6", "1", "2"},
          {"7", "", "700", "7", "2", "3"}},
         {{14, "1/0/1/0"}, {15, "2/0/1/0"}, {17, "4/0/1/0"}, {18, "765/13/3/3"}}},
        {"numbers below one are left out",
         {{"0", "", "10", "0", "0", "1"},
          {"", "", "20", "0", "0", "1"},
          {"x", "", "30", "0", "0", "1"},
          {"-1", "", "40", "0", "0", "1"},
          {"3", "", "50", "5", "0", "1"}},
         {{16, "50/5/1/0"}}},
        {"amounts that are no finite number, or would make the sum none, count as 0",
         {{"1", "", "1e400", "5", "-1e999", "1"},
          {"5", "", "1e308", "1", "0", "1"},
          {"6", "", "1e308", "1", "0", "1"},
          {"7", "", "-1e308", "1", "0", "1"}},
         {{14, "/5/1/"}, {18, "/3/1/"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PcaExport data;
        data.Add("10601", {{"社員コード", "E1"}});
        for (const Payment& p : c.payments) AddBonus(data, p);
        LoadedEngine loaded(data);
        ASSERT_TRUE(loaded.ConvertAll());
        const SYAINDETAIL& detail = *loaded.Syain("E1").pDetail;
        EXPECT_EQ(Filed(detail.aShouyo, 14, 5), c.expected);
        EXPECT_EQ(Filed(detail.aKyuuyo, 1, 13), (std::map<int, std::string>{}));
        EXPECT_TRUE(loaded.log.messages.empty());
    }
}

// Worked out ahead on a second thread: the same records as in turn; what the
// thread throws reaches the caller at the employee it failed on; and one that
// stops early (the caller failed elsewhere) leaves at once.
TEST(ConvertPaymentsTest, PaymentsWorkedOutAheadGiveWhatInTurnGives) {
    PcaExport data;
    std::vector<std::string> codes;
    for (int i = 0; i < 300; ++i) {
        codes.push_back("E" + std::to_string(100 + i));
        data.Add("10601", {{"社員コード", codes.back()}});
    }
    for (const std::string& code : codes) {
        data.Add("10701", {{"社員コード", code}, {"支給回", "1"}, {"扶養親族等の数", "2"}});
    }
    for (const std::string& code : codes) {
        data.Add("10702", {{"社員コード", code},
                           {"支給回", "1"},
                           {"支給日", kDate},
                           {"課税合計", code.substr(1)},
                           {"社会保険合計", "5"},
                           {"所得税", "7"}});
    }
    test::TempDir dir;
    const std::string path = dir.Write("GETUJIQ.CSV", data.Text());
    for (const bool keepAmounts : {true, false}) {
        SCOPED_TRACE(keepAmounts);
        platform::MessageLog log;
        CPCAKyuuyo reader(log);
        // Without the amounts, reading one is a fault, as on the thread.
        if (!keepAmounts) reader.KeepColumnsOf("10702", {0, 1});
        ASSERT_TRUE(reader.ReadDataFiles({path}, 1));
        ASSERT_EQ(reader.GetEmployeeCodes(), codes);
        PaymentConverter inTurn(reader);
        PaymentsAhead ahead(reader, reader.GetEmployeeCodes(), true);
        // Not the next employee of the list: worked out by the caller, from
        // the groups of rows the thread makes first. The caller reads them
        // only from here on.
        EXPECT_EQ(ahead.Next("E999"), nullptr);
        EmployeePayments expected;
        for (const std::string& code : reader.GetEmployeeCodes()) {
            if (!keepAmounts) {
                EXPECT_THROW(ahead.Next(code), std::logic_error);
                break;
            }
            EmployeePayments* const payments = ahead.Next(code);
            ASSERT_NE(payments, nullptr);
            inTurn.Convert(code, true, expected);
            ASSERT_EQ(payments->records.size(), expected.records.size());
            for (std::size_t r = 0; r < expected.records.size(); ++r) {
                EXPECT_EQ(Texts(payments->records[r]), Texts(expected.records[r]));
            }
            EXPECT_EQ(Texts(payments->records[0]), code.substr(1) + "/5/2/7");
        }
        EXPECT_EQ(ahead.Next("E999"), nullptr);
    }
    // Stopped after the first employee, with the thread waiting for room.
    platform::MessageLog log;
    CPCAKyuuyo reader(log);
    ASSERT_TRUE(reader.ReadDataFiles({path}, 1));
    PaymentsAhead ahead(reader, reader.GetEmployeeCodes(), false);
    EXPECT_NE(ahead.Next(codes[0]), nullptr);
}

}  // namespace
}  // namespace kw39::test
