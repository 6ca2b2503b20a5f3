// The employee loop and the run: load, convert, write.
#include "convert/engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/field_catalogue.h"
#include "pca/data_line_error.h"
#include "pca_fixture.h"
#include "platform/io_error.h"

namespace kw39::test {
namespace {

std::size_t CountOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST(EngineTest, AnEmployeeWithOnlyABasicRowGetsTheDefaults) {
    PcaExport data;
    data.Add("10601", {{"社員コード", "E1"}});
    LoadedEngine loaded(data);
    ASSERT_TRUE(loaded.ConvertAll());

    const SYAINDATA& syain = loaded.Syain("E1");
    EXPECT_EQ(syain.strName, "");
    EXPECT_TRUE(syain.pDetail->aFuyosya.empty());
    EXPECT_EQ(syain.pDetail->aKyuuyo.size(), 13u);
    EXPECT_EQ(syain.pDetail->aShouyo.size(), 5u);
    for (const auto& items :
         {HonninItems(), HaiguusyaItems(), KazokuItems(), KoujogakuItems(), GoukeiItems()}) {
        for (const XMLITEMINFO& item : items) {
            const std::string label = item.pszLabel;
            const std::string expected = label == "障害者区分" ? "0"
                                         : label == "徴収方法" ? "1"
                                                               : "";
            EXPECT_EQ(loaded.Value("E1", label), expected) << item.pszTag;
        }
    }
    EXPECT_TRUE(loaded.log.messages.empty());
}

TEST(EngineTest, EmployeesAreConvertedInTheOrderOfTheEmployeeTable) {
    PcaExport data;
    data.Add("10603", {{"社員コード", "C3"}, {"本人 障害者区分", "1"}});
    data.Add("10603", {{"社員コード", "A1"}, {"本人 障害者区分", "2"}});
    data.Add("10601", {{"社員コード", "B2"}, {"就労状況", "1"}});
    data.Add("10601", {{"社員コード", "A1"}, {"就労状況", "2"}});
    data.Add("10601", {{"社員コード", "C3"}, {"就労状況", "3"}});
    data.Add("10601", {{"社員コード", "A1"}, {"就労状況", "1"}});      // merges into A1
    data.Add("10616", {{"社員コード", "Z9"}, {"扶養親族番号", "1"}});  // no employee row
    LoadedEngine run(data);
    ASSERT_TRUE(run.Run());
    const std::string document = ReadBytes(run.dir.File("out.xml"));
    const std::size_t b2 = document.find("CODE=\"B2\"");
    const std::size_t a1 = document.find("CODE=\"A1\"");
    const std::size_t c3 = document.find("CODE=\"C3\"");
    EXPECT_TRUE(b2 < a1 && a1 < c3 && c3 != std::string::npos);
    EXPECT_EQ(CountOf(document, "<SYAIN "), 3u);

    LoadedEngine loaded(data);
    ASSERT_TRUE(loaded.ConvertAll());
    EXPECT_EQ(loaded.Value("A1", "現況"), "1");
    EXPECT_EQ(loaded.Value("A1", "障害者区分"), "2");
    EXPECT_EQ(loaded.Value("C3", "現況"), "2");
    EXPECT_EQ(loaded.Value("C3", "障害者区分"), "1");
}

TEST(EngineTest, RunConversionWritesOneSectionPerEmployee) {
    PcaExport data("サンプル商事");
    data.Add("10601", {{"社員コード", "E1"}, {"氏名（姓）", "山田"}});
    data.Add("10601", {{"社員コード", "E2"}});
    data.Add("10601", {{"社員コード", "E3"}});
    PcaExport company("サンプル商事");
    company.Add("10101", {{"会社コード", "0001"}, {"会社名", "サンプル商事"}});

    struct Case {
        int launchCode;
        const char* functionId;
    };
    for (const Case c : {Case{1, "1"}, Case{3, "3"}}) {
        SCOPED_TRACE(c.launchCode);
        TempDir dir;
        platform::MessageLog log;
        const std::vector<std::string> paths = {dir.Write("KAISHAQ.CSV", company.Text()),
                                                dir.Write("KOJINQ.CSV", data.Text())};
        const std::string output = dir.File("out.xml");
        {
            CExchangeFromPCAToKw39 engine(log);
            EXPECT_EQ(engine.RunConversion(paths, output, kModeStandard, c.launchCode, "26"),
                      RunOutcome::Written);
        }
        const std::string document = ReadBytes(output);
        EXPECT_EQ(CountOf(document, "<SYAIN CODE="), 3u);
        EXPECT_EQ(CountOf(document, "</SYAIN>"), 3u);
        EXPECT_EQ(CountOf(document, "山田"), 1u);
        EXPECT_NE(document.find("サンプル商事"), std::string::npos);
        EXPECT_TRUE(Contains(document, std::string("<FUNCTIONID>") + c.functionId + "<"));
        // The completion message is the caller's to show.
        EXPECT_TRUE(log.messages.empty());
    }
}

TEST(EngineTest, RunConversionWithoutEmployeesWritesNothing) {
    TempDir dir;
    PcaExport data;
    data.Add("10101", {{"会社コード", "0001"}});
    const std::string input = dir.Write("KAISHAQ.CSV", data.Text());
    const std::string output = dir.File("out.xml");

    struct Case {
        const char* name;
        std::vector<std::string> paths;
        std::vector<std::string> messages;
    };
    const std::vector<Case> cases = {
        {"no employee rows", {input}, {}},
        {"no input", {}, {}},
        {"file gone since the checks", {dir.File("KOJINQ.CSV")}, {"ファイルが存在しません。"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::MessageLog log;
        CExchangeFromPCAToKw39 engine(log);
        EXPECT_EQ(engine.RunConversion(c.paths, output, kModeSimple, 1, "26"),
                  RunOutcome::NoEmployees);
        EXPECT_FALSE(FileExists(output));
        std::vector<std::string> texts;
        for (const Message& m : log.messages) texts.push_back(m.text);
        EXPECT_EQ(texts, c.messages);
    }
}

TEST(EngineTest, RunConversionPassesFailuresOn) {
    TempDir dir;
    platform::MessageLog log;
    PcaExport good;
    good.Add("10601", {{"社員コード", "E1"}});
    const std::string input = dir.Write("KOJINQ.CSV", good.Text());
    const std::string bad = dir.Write("BAD.CSV", "[10801]\r\nE1,1,1,1,1,1\r\n");  // 4 columns

    {
        CExchangeFromPCAToKw39 engine(log);
        EXPECT_THROW(
            engine.RunConversion({input, bad}, dir.File("out.xml"), kModeStandard, 1, "26"),
            DataLineError);
    }
    EXPECT_FALSE(FileExists(dir.File("out.xml")));
    {
        CExchangeFromPCAToKw39 engine(log);
        EXPECT_THROW(
            engine.RunConversion({input}, dir.File("missing/out.xml"), kModeStandard, 1, "26"),
            platform::IoError);
    }
    EXPECT_TRUE(log.messages.empty());
}

}  // namespace
}  // namespace kw39::test
