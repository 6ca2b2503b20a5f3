// The conversion that writes each employee's section as soon as the employee
// is converted: the same document as converting everyone first, with the store
// holding one employee at a time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/engine.h"
#include "pca_fixture.h"

namespace kw39::test {
namespace {

// Employees that differ in every group the converters fill, in an order that
// is not the order of their codes.
PcaExport SampleCompany() {
    PcaExport data("株式会社&サンプル");
    data.Add("10301", {{"部門コード", "001"}, {"部門名", "総務部"}});
    data.Add("10103", {{"役職コード", "01"}, {"役職名", "未使用"}});
    data.Add("10601", {{"社員コード", "E2"},
                       {"部門コード", "001"},
                       {"氏名（姓）", "山田"},
                       {"氏名（名）", "太郎"},
                       {"郵便番号", "100-0001"},
                       {"役職コード", "01"},
                       {"性別", "1"},
                       {"就労状況", "1"}});
    data.Add("10601", {{"社員コード", "E1"}, {"氏名（姓）", "深沢"}, {"就労状況", "3"}});
    data.Add("10601", {{"社員コード", "E3"}});
    data.Add("10603", {{"社員コード", "E2"}, {"税区分", "2"}, {"本人 障害者区分", "1"}});
    data.Add("10616", {{"社員コード", "E2"},
                       {"扶養親族番号", "0"},
                       {"扶養親族氏名（姓）", "山田"},
                       {"扶養親族氏名（名）", "花子"}});
    data.Add("10616", {{"社員コード", "E2"},
                       {"扶養親族番号", "1"},
                       {"扶養親族氏名（名）", "一郎"},
                       {"扶養区分", "1"}});
    data.Add("10616",
             {{"社員コード", "E1"}, {"扶養親族番号", "2"}, {"扶養親族氏名（姓）", "深沢"}});
    for (const char* code : {"E2", "E1"}) {
        for (int month = 1; month <= 12; ++month) {
            const std::string number = std::to_string(month);
            data.Add("10701", {{"社員コード", code}, {"支給回", number}, {"扶養親族等の数", "1"}});
        }
    }
    for (const char* code : {"E2", "E1"}) {
        for (int month = 1; month <= 12; ++month) {
            data.Add("10702", {{"社員コード", code},
                               {"支給回", std::to_string(month)},
                               {"支給日", "2026" + std::string(month < 10 ? "0" : "") +
                                              std::to_string(month) + "25"},
                               {"課税合計", std::to_string(200000 + month)},
                               {"社会保険合計", "0"},
                               {"所得税", "3000"}});
        }
    }
    data.Add("10705", {{"社員コード", "E2"}, {"支給回", "1"}});
    data.Add("10706", {{"社員コード", "E2"}, {"支給回", "1"}, {"課税合計", "500000"}});
    data.Add("10803", {{"社員コード", "E1"}, {"給与支給合計", "0"}, {"総支給合計", "12"}});
    return data;
}

// Tells which employees were converted, with their names.
class NameRecorder : public ConversionObserver {
  public:
    void EmployeeConverted(const std::string& code, std::string_view name) override {
        converted.push_back(code + ":" + std::string(name));
    }
    std::vector<std::string> converted;
};

TEST(StreamedConversion, WritesTheDocumentOfTheWholeStore) {
    for (const LinkMode mode : {kModeStandard, kModeSimple}) {
        SCOPED_TRACE(mode);
        const PcaExport data = SampleCompany();
        LoadedEngine whole(data);
        ASSERT_TRUE(whole.ConvertAll());
        StringSink expected;
        whole.Engine().Store().WriteDocumentTo(expected, mode, "3", "株式会社&サンプル", "8");

        LoadedEngine streamed(data);
        NameRecorder names;
        streamed.Engine().SetObserver(&names);
        const std::string output = streamed.dir.File("out.xml");
        ASSERT_TRUE(streamed.Engine().ConvertAndWriteDocument(output, mode, "3", "8"));
        EXPECT_EQ(ReadBytes(output), expected.text);
        EXPECT_EQ(streamed.Engine().Store().FindSyain("E3"), nullptr);  // dropped once written
        EXPECT_EQ(names.converted, (std::vector<std::string>{"E2:山田 太郎", "E1:深沢", "E3:"}));
        EXPECT_TRUE(streamed.log.messages.empty());
    }
}

TEST(StreamedConversion, WithoutEmployeesNothingIsCreated) {
    PcaExport data;
    data.Add("10603", {{"社員コード", "E1"}});
    LoadedEngine loaded(data);
    const std::string output = loaded.dir.File("out.xml");
    const std::vector<std::string> before = FolderNames(loaded.dir.Path());
    EXPECT_FALSE(loaded.Engine().ConvertAndWriteDocument(output, kModeStandard, "1", "8"));
    EXPECT_FALSE(FileExists(output));
    EXPECT_EQ(FolderNames(loaded.dir.Path()), before);
}

}  // namespace
}  // namespace kw39::test
