// The whole conversion of the sample company in samples/demo, run through the
// real program and compared with documents derived by hand from the input files
// (tests/data/e2e, with the derivation in NOTES.md there).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "document_outline.h"
#include "export/field_catalogue.h"
#include "pca/header_line.h"
#include "platform/encoding.h"
#include "program_run.h"
#include "schema_check.h"
#include "support/test_support.h"

namespace kw39 {
namespace {

using test::OutlineGroup;

std::string Utf8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

struct ModeCase {
    const char* name;
    int mode;  // 1 standard, 2 simple
    std::vector<std::string> modeArgs;
    const char* expectedFile;  // under tests/data
};

void PrintTo(const ModeCase& mode, std::ostream* out) { *out << mode.name << " mode"; }

// The employees of the sample company in document order, with the number of
// dependant records each carries in standard mode.
const std::vector<std::pair<std::string, int>> kEmployees = {{"1001", 2}, {"1002", 2}, {"1003", 2},
                                                             {"1004", 0}, {"1005", 1}, {"1006", 0}};

bool Written(const XMLITEMINFO& item, int mode) {
    return mode == 1 ? item.bNormal == 1 : item.bEasy == 1;
}

std::vector<std::string> Tags(std::span<const XMLITEMINFO> items, int mode) {
    std::vector<std::string> tags;
    for (const XMLITEMINFO& item : items) {
        if (Written(item, mode)) tags.emplace_back(item.pszTag);
    }
    return tags;
}

std::vector<std::string> AllTags(std::span<const XMLITEMINFO> items) {
    std::vector<std::string> tags;
    for (const XMLITEMINFO& item : items) tags.emplace_back(item.pszTag);
    return tags;
}

// The groups a section must hold: every catalogue field of the mode, in
// catalogue order, dependant groups in standard mode only, 13 salary and 5
// bonus payment groups always.
std::vector<OutlineGroup> ExpectedGroups(int mode, int dependants) {
    std::vector<OutlineGroup> groups;
    groups.push_back({"<HONNNIN_JOUHOU>", Tags(HonninItems(), mode)});
    groups.push_back({"<HAIGUUSYA_JOUHOU>", Tags(HaiguusyaItems(), mode)});
    if (mode == 1) {
        groups.push_back({"<KAZOKU_JOUHOU>", {}});
        for (int n = 1; n <= dependants; ++n) {
            groups.push_back(
                {"<FUYOUSINZOKU COUNT=\"" + std::to_string(n) + "\">", Tags(KazokuItems(), mode)});
        }
    } else {
        groups.push_back({"<KAZOKU_JOUHOU>", Tags(KazokuItems(), mode)});
    }
    groups.push_back({"<KOUJOGAKU_JOUHOU>", Tags(KoujogakuItems(), mode)});
    for (int kubun = 1; kubun <= 13; ++kubun) {
        groups.push_back(
            {"<KYUUYO KUBUN=\"" + std::to_string(kubun) + "\">", AllTags(KyuuyoItems())});
    }
    for (int kubun = 1; kubun <= 5; ++kubun) {
        groups.push_back(
            {"<SYOUYO KUBUN=\"" + std::to_string(kubun) + "\">", AllTags(ShouyoItems())});
    }
    groups.push_back({"<GOUKEI>", Tags(GoukeiItems(), mode)});
    return groups;
}

std::string ForDisplay(std::string_view cp932Line) {
    std::string line = platform::Cp932ToUtf8Lossy(cp932Line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// Where two documents first differ, readable in a UTF-8 terminal.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
    std::size_t lineNo = 1;
    std::size_t e = 0;
    std::size_t a = 0;
    while (e < expected.size() && a < actual.size()) {
        const std::size_t eEnd = std::min(expected.find('\n', e), expected.size());
        const std::size_t aEnd = std::min(actual.find('\n', a), actual.size());
        const std::string_view eLine(expected.data() + e, eEnd - e);
        const std::string_view aLine(actual.data() + a, aEnd - a);
        if (eLine != aLine) {
            return "first difference at line " + std::to_string(lineNo) + "\n  expected: \"" +
                   ForDisplay(eLine) + "\"\n  actual:   \"" + ForDisplay(aLine) + "\"";
        }
        e = eEnd + 1;
        a = aEnd + 1;
        ++lineNo;
    }
    return "the documents agree up to line " + std::to_string(lineNo - 1) + "; expected " +
           std::to_string(expected.size()) + " bytes, actual " + std::to_string(actual.size()) +
           " bytes";
}

class DemoCompanyTest : public ::testing::TestWithParam<ModeCase> {
  protected:
    void SetUp() override {
        const ModeCase& mode = GetParam();
        m_strOutputPath = m_dir.File("demo.xml");
        std::vector<std::string> args = {
            "--folder",     test::SourcePath("samples/demo"), "--year", "8", "--yes", "--output",
            m_strOutputPath};
        args.insert(args.end(), mode.modeArgs.begin(), mode.modeArgs.end());
        m_run = test::RunProgram(KW39PCACONV_PATH, args, m_dir.Path());
        m_strExpected = test::ReadBytes(test::DataPath(mode.expectedFile));
        if (test::FileExists(m_strOutputPath)) m_strActual = test::ReadBytes(m_strOutputPath);
    }

    // The hand-checked document and the program's, for checks that must hold
    // for both (a fault in the expectation shows up here too).
    std::vector<std::pair<const char*, const std::string*>> BothDocuments() const {
        return {{"expected document", &m_strExpected}, {"program output", &m_strActual}};
    }

    test::TempDir m_dir;
    std::string m_strOutputPath;
    test::ProgramResult m_run;
    std::string m_strExpected;
    std::string m_strActual;
};

TEST_P(DemoCompanyTest, ProgramEndsWithTheCompletionMessage) {
    EXPECT_EQ(m_run.status, 0) << m_run.err;
    EXPECT_NE(m_run.err.find(Utf8(u8"正常に終了しました。")), std::string::npos)
        << "stderr: " << m_run.err;
    EXPECT_TRUE(test::FileExists(m_strOutputPath));
}

TEST_P(DemoCompanyTest, DocumentEqualsTheHandCheckedOne) {
    ASSERT_TRUE(test::FileExists(m_strOutputPath)) << "no document written; stderr: " << m_run.err;
    EXPECT_TRUE(m_strActual == m_strExpected) << FirstDifference(m_strExpected, m_strActual);
}

TEST_P(DemoCompanyTest, EveryLineEndsInCrLfWithoutByteOrderMark) {
    for (const auto& [what, document] : BothDocuments()) {
        SCOPED_TRACE(what);
        ASSERT_FALSE(document->empty());
        EXPECT_TRUE(document->starts_with("<?xml ")) << "a byte-order mark or other prefix";
        EXPECT_TRUE(document->ends_with("</REPORT>\r\n"));
        for (std::size_t i = 0; i < document->size(); ++i) {
            const char c = (*document)[i];
            const bool bareLf = c == '\n' && (i == 0 || (*document)[i - 1] != '\r');
            const bool bareCr =
                c == '\r' && (i + 1 == document->size() || (*document)[i + 1] != '\n');
            ASSERT_FALSE(bareLf || bareCr) << "line end without CR LF at byte " << i;
        }
    }
}

TEST_P(DemoCompanyTest, EverySectionHasItsLinesAndEveryCatalogueField) {
    const int mode = GetParam().mode;
    for (const auto& [what, document] : BothDocuments()) {
        SCOPED_TRACE(what);
        const auto sections = test::OutlineSections(test::SplitCrLfLines(*document));
        ASSERT_EQ(sections.size(), kEmployees.size());
        for (std::size_t i = 0; i < sections.size(); ++i) {
            const auto& [code, dependants] = kEmployees[i];
            SCOPED_TRACE("employee " + code);
            EXPECT_EQ(sections[i].code, code);
            const std::size_t lines = mode == 1 ? 191 + 7 * dependants : 198;
            EXPECT_EQ(sections[i].lineCount, lines);
            EXPECT_EQ(test::RenderGroups(sections[i].groups),
                      test::RenderGroups(ExpectedGroups(mode, dependants)));
        }
    }
}

TEST_P(DemoCompanyTest, BothDocumentsFollowTheSchemaOfTheirMode) {
    if (!test::RequireTool("xmllint", "libxml2-utils")) return;
    const std::string expectedCopy = m_dir.Write("expected.xml", m_strExpected);
    for (const std::string& path : {expectedCopy, m_strOutputPath}) {
        SCOPED_TRACE(path);
        ASSERT_TRUE(test::FileExists(path));
        const auto lint = test::ValidateWithSchema(path, GetParam().mode, m_dir.Path());
        ASSERT_TRUE(lint.has_value());
        EXPECT_EQ(lint->status, 0) << lint->err;
        EXPECT_NE(lint->err.find(" validates"), std::string::npos) << lint->err;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, DemoCompanyTest,
    ::testing::Values(ModeCase{"Standard", 1, {}, "e2e/demo-standard.xml"},
                      ModeCase{"Simple", 2, {"--mode", "simple"}, "e2e/demo-simple.xml"}),
    [](const auto& info) { return std::string(info.param.name); });

// The sample files keep the form of a PCA export: Shift_JIS, CR LF, a company
// block first, the same company everywhere, the file's identifying table.
TEST(DemoSamplesTest, FilesHaveTheFormOfAnExport) {
    const std::map<std::string, std::string> identifyingTables = {
        {"KAISHAQ.CSV", "[10101]"}, {"NOUFUQ.CSV", "[10501]"},  {"BUMONQ.CSV", "[10301]"},
        {"KOJINQ.CSV", "[10601]"},  {"GETUJIQ.CSV", "[10701]"}, {"NENCHOUQ.CSV", "[10801]"}};
    std::vector<std::string> companyKeys;
    for (const auto& [name, table] : identifyingTables) {
        SCOPED_TRACE(name);
        const std::string bytes = test::ReadBytes(test::SourcePath("samples/demo/" + name));
        EXPECT_TRUE(platform::Cp932ToUtf8(bytes).has_value()) << "not valid Shift_JIS";
        const auto lines = test::SplitCrLfLines(bytes);
        ASSERT_TRUE(bytes.ends_with("\r\n"));
        ASSERT_GE(lines.size(), 3u);
        for (const std::string& line : lines) {
            EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "a line without CR LF";
        }
        EXPECT_EQ(lines[0], "[10000]");
        std::vector<std::string> fields;
        SplitCsvLine(lines[1], fields);
        ASSERT_GE(fields.size(), 2u);
        companyKeys.push_back(fields[0] + "@" + fields[1]);
        EXPECT_NE(std::find(lines.begin(), lines.end(), table), lines.end());
    }
    for (const std::string& key : companyKeys) EXPECT_EQ(key, companyKeys.front());
}

}  // namespace
}  // namespace kw39
