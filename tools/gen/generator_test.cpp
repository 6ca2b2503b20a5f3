#include "generator.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "csv_out.h"
#include "payroll.h"
#include "pca/catalogue.h"
#include "pca/header_line.h"
#include "platform/encoding.h"
#include "platform/sjis.h"
#include "run/execute_command.h"
#include "run/input_slots.h"
#include "support/test_support.h"

namespace kw39::gen {
namespace {

using test::ReadBytes;
using test::TempDir;

std::vector<GeneratedFile> Generate(const TempDir& dir, int employees, std::uint64_t seed) {
    GenerateOptions options;
    options.employees = employees;
    options.seed = seed;
    options.folder = dir.Path();
    return GenerateSet(options);
}

// Physical lines of a file, each without its CR LF. Fails the test on a line
// end other than CR LF.
std::vector<std::string> CrLfLines(const std::string& bytes, const std::string& name) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t lf = bytes.find('\n', start);
        EXPECT_NE(lf, std::string::npos) << name << ": last line without line end";
        if (lf == std::string::npos) break;
        EXPECT_TRUE(lf > start && bytes[lf - 1] == '\r') << name << ": bare LF at " << lf;
        std::string line = bytes.substr(start, lf - start - 1);
        EXPECT_EQ(line.find('\r'), std::string::npos) << name << ": stray CR";
        lines.push_back(std::move(line));
        start = lf + 1;
    }
    return lines;
}

// The second byte of a double-byte character, for every such character.
std::string TrailBytes(std::string_view text) {
    std::string trails;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = platform::CharLength(text, i);
        if (length == 2) trails += text[i + 1];
        i += length;
    }
    return trails;
}

struct SetSummary {
    std::map<std::string, int> rows;       // table code -> data lines
    std::vector<std::string> companyKeys;  // code "@" name of the 10000 block of each file
    int spouses = 0;
    bool quotedComma = false;
    bool hyphenatedDepartment = false;
    bool unusedPosition = false;
    std::string trailBytes;
};

// Reads every file the way the converter does and checks each line against
// the table catalogue.
void CheckSet(const std::vector<GeneratedFile>& files, SetSummary& summary) {
    std::vector<std::string> fields;
    for (const GeneratedFile& file : files) {
        const std::string bytes = ReadBytes(file.path);
        EXPECT_TRUE(platform::Cp932ToUtf8(bytes).has_value()) << file.name << " is not valid CP932";
        const auto lines = CrLfLines(bytes, file.name);
        EXPECT_EQ(lines.size(), file.lines) << file.name;
        EXPECT_EQ(bytes.size(), file.bytes) << file.name;
        ASSERT_GE(lines.size(), 2u) << file.name;
        EXPECT_EQ(lines[0], "[10000]") << file.name << " must open with the company block";
        SplitCsvLine(lines[1], fields);
        ASSERT_GE(fields.size(), 2u) << file.name;
        summary.companyKeys.push_back(fields[0] + "@" + fields[1]);
        const PCATABLEINFO* table = nullptr;
        std::string code;
        for (std::size_t n = 0; n < lines.size(); ++n) {
            const std::string& line = lines[n];
            const std::string where = file.name + ":" + std::to_string(n + 1);
            EXPECT_LT(line.size(), 4096u) << where << " is longer than a read piece";
            if (IsHeaderLine(line)) {
                code = HeaderTableCode(line);
                table = FindPcaTable(code);
                EXPECT_NE(table, nullptr) << where << ": uncatalogued section " << code;
                continue;
            }
            ASSERT_NE(table, nullptr) << where << ": data line outside a section";
            SplitCsvLine(line, fields);
            ASSERT_EQ(static_cast<int>(fields.size()), table->nColumns) << where;
            ++summary.rows[code];
            if (code == "10701" || code == "10702") {
                for (std::size_t f = 0; f < fields.size(); ++f)
                    ASSERT_FALSE(fields[f].empty()) << where << " field " << f + 1 << " is empty";
            }
            if (code == "10616" && fields.size() > 1 && fields[1] == "0") ++summary.spouses;
            if (code == "10301" && fields[0].find('-') != std::string::npos)
                summary.hyphenatedDepartment = true;
            if (code == "10103" && fields.size() > 1 && fields[1] == "未使用")
                summary.unusedPosition = true;
            for (const std::string& field : fields)
                if (platform::FindSingleByte(field, ',') != std::string::npos)
                    summary.quotedComma = true;
            summary.trailBytes += TrailBytes(line);
        }
    }
}

TEST(GeneratorTest, SameSeedGivesSameBytesAndAnotherSeedOtherData) {
    TempDir first, again, other;
    const auto a = Generate(first, 40, 7);
    const auto b = Generate(again, 40, 7);
    const auto c = Generate(other, 40, 8);
    ASSERT_EQ(a.size(), 6u);
    bool anyDifferent = false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].name, kFileNames[i]);
        EXPECT_EQ(ReadBytes(a[i].path), ReadBytes(b[i].path)) << a[i].name;
        anyDifferent = anyDifferent || ReadBytes(a[i].path) != ReadBytes(c[i].path);
    }
    EXPECT_TRUE(anyDifferent);
}

TEST(GeneratorTest, EveryLineFitsTheCatalogueAndTheVolumeIsRealistic) {
    TempDir dir;
    const int employees = 300;
    SetSummary summary;
    CheckSet(Generate(dir, employees, 3), summary);
    ASSERT_FALSE(HasFatalFailure());

    const std::map<std::string, int> perEmployee = {
        {"10601", 1}, {"10603", 1}, {"10611", 1}, {"10615", 1}, {"10701", 12}, {"10702", 12},
        {"10705", 2}, {"10706", 2}, {"10801", 1}, {"10802", 1}, {"10803", 1},  {"10804", 1},
    };
    for (const auto& [code, rows] : perEmployee)
        EXPECT_EQ(summary.rows.at(code), rows * employees) << code;
    EXPECT_EQ(summary.rows.at("10000"), 6);
    EXPECT_EQ(summary.rows.at("10101"), 1);
    EXPECT_GE(summary.rows.at("10103"), 5);
    EXPECT_GE(summary.rows.at("10501"), 5);
    EXPECT_GE(summary.rows.at("10301"), 5);
    const int dependants = summary.rows.at("10616");
    EXPECT_GT(dependants, employees);
    EXPECT_LE(dependants, 4 * employees);
    // About half the employees have a spouse.
    EXPECT_GT(summary.spouses, employees * 35 / 100);
    EXPECT_LT(summary.spouses, employees * 65 / 100);

    // All six files name the same company.
    ASSERT_EQ(summary.companyKeys.size(), 6u);
    for (const std::string& key : summary.companyKeys)
        EXPECT_EQ(key, std::string(kCompanyCode) + "@" + kCompanyName);
}

TEST(GeneratorTest, DataHoldsTheBytesThatTripCarelessParsers) {
    TempDir dir;
    SetSummary summary;
    CheckSet(Generate(dir, 60, 11), summary);
    ASSERT_FALSE(HasFatalFailure());
    for (char trail : {'[', '\\', ']'})
        EXPECT_NE(summary.trailBytes.find(trail), std::string::npos)
            << "no double-byte character with trail byte " << trail;
    EXPECT_TRUE(summary.quotedComma);
    EXPECT_TRUE(summary.hyphenatedDepartment);
    EXPECT_TRUE(summary.unusedPosition);
}

// Rows of every table of a set, split into fields: table code -> rows.
using Tables = std::map<std::string, std::vector<std::vector<std::string>>>;

Tables LoadTables(const std::vector<GeneratedFile>& files) {
    Tables tables;
    for (const GeneratedFile& file : files) {
        std::string code;
        for (const std::string& line : CrLfLines(ReadBytes(file.path), file.name)) {
            if (IsHeaderLine(line)) {
                code = HeaderTableCode(line);
                continue;
            }
            std::vector<std::string> fields;
            SplitCsvLine(line, fields);
            tables[code].push_back(std::move(fields));
        }
    }
    return tables;
}

long long Amount(const std::vector<std::string>& row, int column) {
    return std::stoll(row.at(static_cast<std::size_t>(column - 1)));
}

TEST(GeneratorTest, TablesAgreeWithEachOther) {
    TempDir dir;
    const Tables tables = LoadTables(Generate(dir, 120, 9));

    // Sums per employee of the salary and bonus tables, by 1-based column.
    std::map<std::string, std::map<std::string, long long>> sums;
    const struct {
        const char* table;
        const char* name;
        int column;
    } summed[] = {
        {"10702", "salary", 82}, {"10702", "salarySocial", 99}, {"10702", "salaryTax", 101},
        {"10706", "bonus", 56},  {"10706", "bonusSocial", 72},  {"10706", "bonusTax", 74},
    };
    for (const auto& sum : summed)
        for (const auto& row : tables.at(sum.table))
            sums[row[0]][sum.name] += Amount(row, sum.column);

    // The annual totals are those sums.
    const struct {
        const char* name;
        int column;
    } totals[] = {{"salary", 2}, {"salarySocial", 3}, {"salaryTax", 4},
                  {"bonus", 5},  {"bonusSocial", 6},  {"bonusTax", 7}};
    ASSERT_EQ(tables.at("10803").size(), 120u);
    for (const auto& row : tables.at("10803")) {
        for (const auto& total : totals)
            EXPECT_EQ(Amount(row, total.column), sums[row[0]][total.name])
                << row[0] << " " << total.name;
        EXPECT_EQ(Amount(row, 8), Amount(row, 2) + Amount(row, 5)) << row[0];
    }

    // The spouse flag and the under-16 count match the dependant rows.
    std::map<std::string, int> spouses, young;
    for (const auto& row : tables.at("10616")) {
        if (row[1] == "0")
            ++spouses[row[0]];
        else if (row[7] == "5")
            ++young[row[0]];
    }
    for (const auto& row : tables.at("10615"))
        EXPECT_EQ(row[4], spouses[row[0]] ? "1" : "0") << row[0];
    for (const auto& row : tables.at("10603")) EXPECT_EQ(Amount(row, 24), young[row[0]]) << row[0];

    // Every department and position an employee names is in its master.
    std::map<std::string, int> departments, positions;
    for (const auto& row : tables.at("10301")) ++departments[row[0]];
    for (const auto& row : tables.at("10103")) ++positions[row[0]];
    for (const auto& row : tables.at("10601")) {
        EXPECT_EQ(departments[row[1]], 1) << row[0] << " department " << row[1];
        EXPECT_EQ(positions[row[23]], 1) << row[0] << " position " << row[23];
    }
}

TEST(GeneratorTest, GeneratedSetPassesTheInputChecksAndConverts) {
    TempDir dir;
    const int employees = 25;
    const std::uint64_t seed = 5;
    const auto files = Generate(dir, employees, seed);
    RunRequest request;
    for (std::size_t slot = 0; slot < InputSlots.size(); ++slot)
        request.inputPaths[slot] = files[slot].path;
    const std::string output = dir.File("OUT.XML");
    request.outputPath = output;
    request.yearText = "8";
    request.launch.launchCode = kLaunchStandalone;

    const RunStart start = StartRun(request);
    ASSERT_FALSE(start.refused) << platform::Cp932ToUtf8Lossy(start.refused->whyNot);
    const RunResult run = ConvertRequest(request);
    ASSERT_EQ(run.outcome, CommandOutcome::Written);
    EXPECT_EQ(run.employees, static_cast<std::size_t>(employees));
    for (const auto& message : run.messages)
        EXPECT_EQ(message.style, MessageStyle::Info) << platform::Cp932ToUtf8Lossy(message.text);

    const std::string document = ReadBytes(output);
    std::size_t sections = 0;
    for (std::size_t at = document.find("<SYAIN CODE="); at != std::string::npos;
         at = document.find("<SYAIN CODE=", at + 1))
        ++sections;
    EXPECT_EQ(sections, static_cast<std::size_t>(employees));

    // The first employee's January salary reaches the document as generated.
    const Company company = MakeCompany(employees, seed);
    const MonthPay january = ComputeMonthPay(seed, 0, company.employees[0], 1);
    const std::size_t first = document.find("<SYAIN CODE=\"" + company.employees[0].code + "\"");
    ASSERT_NE(first, std::string::npos);
    const std::size_t kyuuyo = document.find("<KYUUYO KUBUN=\"1\">", first);
    ASSERT_NE(kyuuyo, std::string::npos);
    const std::string expected =
        "<SOUSIKYUUGAKU>" + std::to_string(january.taxable) + "</SOUSIKYUUGAKU>";
    EXPECT_EQ(document.find(expected, kyuuyo), document.find("<SOUSIKYUUGAKU>", kyuuyo));
}

TEST(CsvOutTest, WritesQuotedTextAndRejectsALineOfTheWrongWidth) {
    TempDir dir;
    const std::string path = dir.File("T.CSV");
    CsvOut out(path);
    out.Section("10103", 5);
    out.Raw("001");
    out.Text("表,ソ");
    out.Number(-12);
    out.Hundredths(16050);
    out.Zeros(1);
    out.EndLine();
    out.Close();
    EXPECT_EQ(ReadBytes(path), "[10103]\r\n001,\"表,ソ\",-12,160.50,0\r\n");

    for (int fields : {4, 6}) {
        CsvOut wrong(dir.File("W.CSV"));
        wrong.Section("10103", 5);
        wrong.Zeros(fields);
        EXPECT_THROW(wrong.EndLine(), std::logic_error) << fields;
    }
}

}  // namespace
}  // namespace kw39::gen
