// What the report says of every line of the sample company's export that the
// document does not carry as it was written: one edit of the export per case.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "convert/engine.h"
#include "pca/catalogue.h"
#include "run/findings_collector.h"
#include "support/test_support.h"

namespace kw39::test {
namespace {

const char* const kFiles[] = {"KAISHAQ.CSV", "NOUFUQ.CSV",  "BUMONQ.CSV",
                              "KOJINQ.CSV",  "GETUJIQ.CSV", "NENCHOUQ.CSV"};

// The sample company copied into a scratch folder, to be edited.
class SampleExport {
  public:
    SampleExport() {
        for (const char* name : kFiles) {
            m_aPaths.push_back(
                m_dir.Write(name, ReadBytes(SourcePath(std::string("samples/demo/") + name))));
        }
    }

    std::string Path(const std::string& name) const { return m_dir.File(name); }
    void Append(const std::string& name, const std::string& text) {
        WriteBytes(Path(name), ReadBytes(Path(name)) + text);
    }
    void Prepend(const std::string& name, const std::string& text) {
        WriteBytes(Path(name), text + ReadBytes(Path(name)));
    }
    void Leave(const std::string& name) {
        m_aPaths.erase(std::find(m_aPaths.begin(), m_aPaths.end(), Path(name)));
    }
    // Appends, in a section of its own, the data line of `table` that starts
    // with `key` (such as "1001," or "1001,1,"), with some columns changed.
    void Repeat(const std::string& name, const std::string& table, const std::string& key,
                const std::vector<std::pair<std::string, std::string>>& changes) {
        const std::string text = ReadBytes(Path(name));
        const std::size_t section = text.find("[" + table + "]\r\n");
        const std::size_t start = text.find("\r\n" + key, section) + 2;
        std::vector<std::string> fields(1);
        for (std::size_t i = start; text[i] != '\r'; ++i) {
            // The lines repeated here hold no quote and no double-byte comma.
            if (text[i] == ',') {
                fields.emplace_back();
            } else {
                fields.back() += text[i];
            }
        }
        for (const auto& [column, value] : changes) {
            const auto position =
                static_cast<std::size_t>(FindPcaTable(table)->FindColumn(kLookupName, column));
            fields.resize(std::max(fields.size(), position + 1));
            fields[position] = value;
        }
        std::string line = "[" + table + "]\r\n";
        for (std::size_t i = 0; i < fields.size(); ++i) line += (i ? "," : "") + fields[i];
        Append(name, line + "\r\n");
    }

    // The findings of a conversion into `mode`, each "kind|code|detail".
    std::vector<std::string> Findings(LinkMode mode) {
        platform::MessageLog log;
        FindingsCollector report;
        CExchangeFromPCAToKw39 engine(log);
        engine.SetObserver(&report);
        engine.Reader().ReadDataFiles(m_aPaths, static_cast<int>(m_aPaths.size()));
        EXPECT_TRUE(engine.ConvertAndWriteDocument(m_dir.File("out.xml"), mode, "1", "8"));
        std::vector<std::string> findings;
        for (const Finding& finding : report.Findings()) {
            findings.push_back(std::string(FindingKindName(finding.kind)) + "|" +
                               finding.employeeCode + "|" + finding.detail);
        }
        return findings;
    }

  private:
    TempDir m_dir;
    std::vector<std::string> m_aPaths;
};

TEST(ReportCompletenessTest, EveryLineNotCarriedAsWrittenIsAFinding) {
    struct Case {
        const char* name;
        std::function<void(SampleExport&)> edit;
        LinkMode mode;
        std::string finding;  // "kind|code|" and a part of the detail
        bool reported;
    };
    const LinkMode standard = kModeStandard;
    const LinkMode simple = kModeSimple;
    const std::vector<Case> cases = {
        {"an optional file not chosen", [](SampleExport& e) { e.Leave("BUMONQ.CSV"); }, standard,
         "入力なし||「部門」のファイルが選ばれていない", true},
        {"an employee only in the monthly file",
         [](SampleExport& e) {
             e.Append("GETUJIQ.CSV", "[10701]\r\n9999,01,20260125\r\n9999,02,20260225\r\n");
         },
         standard, "社員情報にない社員|9999|表 10701 の 2 行", true},
        {"an employee only in the year-end file",
         [](SampleExport& e) { e.Append("NENCHOUQ.CSV", "[10804]\r\n9999,20190420\r\n"); },
         standard, "社員情報にない社員|9999|表 10804 の 1 行", true},
        {"a salary row without its 10701 row",
         [](SampleExport& e) { e.Append("GETUJIQ.CSV", "[10702]\r\n1001,77,20260131,1\r\n"); },
         standard, "給与の除外|1001|支給回「77」 (", true},
        {"a bonus amounts row without its 10705 row",
         [](SampleExport& e) { e.Append("GETUJIQ.CSV", "[10706]\r\n1001,4,20260131,1\r\n"); },
         standard, "賞与の除外|1001|10705 に同じ支給回の行がない", true},
        {"a bonus without its amounts row",
         [](SampleExport& e) { e.Append("GETUJIQ.CSV", "[10705]\r\n1001,3,20260801\r\n"); },
         standard, "データなし|1001|賞与 (10706) に支給回「3」の行がありません", true},
        {"lines of an unknown table",
         [](SampleExport& e) { e.Append("GETUJIQ.CSV", "[12345]\r\na\r\nb\r\n[10799]\r\nc\r\n"); },
         standard, "読み込まない行||GETUJIQ.CSV の [12345] のデータ行 2 行", true},
        {"lines before the first header",
         [](SampleExport& e) { e.Prepend("NOUFUQ.CSV", "x,y\r\n"); }, standard,
         "読み込まない行||NOUFUQ.CSV の最初の見出し行より前のデータ行 1 行 (最初は 1 行目)", true},
        {"a later line of a key overwrites a name",
         [](SampleExport& e) {
             e.Repeat("KOJINQ.CSV", "10601", "1001,", {{"氏名（姓）", "上書"}});
         },
         standard, "上書き|1001|表 10601、キー「1001」の 氏名（姓）: 「上書」 (", true},
        {"a later line of a key overwrites a March amount",
         [](SampleExport& e) {
             e.Repeat("GETUJIQ.CSV", "10702", "1001,03,", {{"課税合計", "200000"}});
         },
         standard, "上書き|1001|キー「1001@03」の 課税合計: 「200000」 (", true},
        {"the employee's disability 9 becomes 0",
         [](SampleExport& e) {
             e.Repeat("KOJINQ.CSV", "10603", "1001,", {{"本人 障害者区分", "9"}});
         },
         standard,
         "コードの変換なし|1001|本人 障害者区分「9」 (10603) に変換先がないため「0」にしました",
         true},
        {"a dependant's disability 9 becomes 0",
         [](SampleExport& e) {
             e.Repeat("KOJINQ.CSV", "10616", "1001,1,", {{"障害者区分", "9"}});
         },
         standard,
         "コードの変換なし|1001|障害者区分「9」 (10616、扶養親族番号「1」) に変換先がないため「0」",
         true},
        {"retired with death code 2 keeps the status word",
         [](SampleExport& e) {
             e.Repeat("KOJINQ.CSV", "10601", "1001,", {{"就労状況", "3"}});
             e.Repeat("KOJINQ.CSV", "10603", "1001,", {{"本人 死亡退職", "2"}});
         },
         standard, "コードの変換なし|1001|本人 死亡退職「2」 (10603) に変換先がないため「退職」",
         true},
        {"a dependant row with an empty number",
         [](SampleExport& e) { e.Append("KOJINQ.CSV", "[10616]\r\n1001,,星野,次郎\r\n"); },
         standard, "読めない行|1001|(表 10616): 扶養親族番号が空欄", true},
        {"a later line reaching a field no earlier line held overwrites nothing",
         [](SampleExport& e) {
             e.Append("KOJINQ.CSV", "[10616]\r\n1001,7,短\r\n1001,7,短,長\r\n");
         },
         standard, "上書き|1001|キー「1001@7」の", false},
        {"an explicit empty field is overwritten",
         [](SampleExport& e) {
             e.Append("KOJINQ.CSV", "[10616]\r\n1001,7,短,\r\n1001,7,短,長\r\n");
         },
         standard, "上書き|1001|キー「1001@7」の 扶養親族氏名（名）: 「長」 (", true},
        {"a payment of the employee \"\" is told once, by its line",
         [](SampleExport& e) {
             e.Append("KOJINQ.CSV", "[10601]\r\n,空\r\n");
             e.Append("GETUJIQ.CSV", "[10701]\r\n,01,20260125\r\n[10702]\r\n,01,20260125,1\r\n");
         },
         standard, "給与の除外||支給回「01」 (", false},
        {"a row with an empty employee code",
         [](SampleExport& e) { e.Append("KOJINQ.CSV", "[10603]\r\n,1\r\n"); }, standard,
         "読めない行||(表 10603): 社員コードが空欄", true},
        {"two salary numbers of one month",
         [](SampleExport& e) {
             e.Append("GETUJIQ.CSV",
                      "[10701]\r\n1001,001,20260131\r\n[10702]\r\n1001,001,20260131,1\r\n");
         },
         standard, "合算|1001|支給回「01」「001」を 1 月の給与として合算しました", true},
        {"a third December payment",
         [](SampleExport& e) {
             e.Append("GETUJIQ.CSV",
                      "[10701]\r\n1001,012,20261226\r\n1001,0012,20261227\r\n"
                      "[10702]\r\n1001,012,20261226,1\r\n1001,0012,20261227,1\r\n");
         },
         standard, "合算|1001|「012」「0012」を 12 月の 2 回目の給与として合算しました", true},
        {"a salary number outside 1 to 12 names its date",
         [](SampleExport& e) {
             e.Append("GETUJIQ.CSV",
                      "[10701]\r\n1001,13,20261231\r\n[10702]\r\n1001,13,20261231,1\r\n");
         },
         standard, "給与の除外|1001|支給回「13」、支給日「20261231」: 支給回が 1 から 12", true},
        {"a spouse category outside its table: standard mode does not write it",
         [](SampleExport& e) {
             e.Repeat("KOJINQ.CSV", "10603", "1001,", {{"配偶者 配偶者区分", "7"}});
         },
         standard, "コードの変換なし|1001|配偶者 配偶者区分「7」", false},
        {"a spouse category outside its table: simple mode writes it",
         [](SampleExport& e) {
             e.Repeat("KOJINQ.CSV", "10603", "1001,", {{"配偶者 配偶者区分", "7"}});
         },
         simple, "コードの変換なし|1001|配偶者 配偶者区分「7」", true},
        {"a dependant category outside its table: standard mode writes it",
         [](SampleExport& e) {
             e.Repeat("KOJINQ.CSV", "10616", "1001,1,", {{"扶養区分", "8"}});
         },
         standard, "コードの変換なし|1001|扶養区分「8」", true},
        {"a dependant category outside its table: simple mode writes no dependant",
         [](SampleExport& e) {
             e.Repeat("KOJINQ.CSV", "10616", "1001,1,", {{"扶養区分", "8"}});
         },
         simple, "コードの変換なし|1001|扶養区分「8」", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SampleExport data;
        c.edit(data);
        const std::vector<std::string> findings = data.Findings(c.mode);
        const auto [kind, rest] = std::pair(c.finding.substr(0, c.finding.find('|') + 1),
                                            c.finding.substr(c.finding.find('|') + 1));
        const std::string code = rest.substr(0, rest.find('|') + 1);
        const std::string detail = rest.substr(rest.find('|') + 1);
        const bool found =
            std::any_of(findings.begin(), findings.end(), [&](const std::string& finding) {
                return finding.rfind(kind + code, 0) == 0 &&
                       finding.find(detail, kind.size() + code.size()) != std::string::npos;
            });
        std::string all;
        for (const std::string& finding : findings) all += Utf8Of(finding) + "\n";
        EXPECT_EQ(found, c.reported) << Utf8Of(c.finding) << "\n" << all;
    }
}

}  // namespace
}  // namespace kw39::test
