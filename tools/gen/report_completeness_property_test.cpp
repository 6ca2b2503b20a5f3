// Over generated exports with irregular lines, in both modes: every data line
// of a per-employee table is used for an employee written to the document, or
// a finding names it (its file and line, or its row: table, employee, number);
// and exactly the lines whose quotes mislead the split are told as such.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#include "convert/engine.h"
#include "generator.h"
#include "irregular.h"
#include "pca/catalogue.h"
#include "support/test_support.h"

namespace kw39::gen {
namespace {

using Place = std::pair<std::string, std::size_t>;              // file, line
using Row = std::tuple<std::string, std::string, std::string>;  // table, code, number

// What the findings name, as places and rows.
class NamingObserver : public ConversionObserver {
  public:
    void EmployeeConverted(const std::string& code, std::string_view) override {
        converted.insert(code);
    }
    void Found(const ConversionFinding& finding) override {
        std::visit([this](const auto& what) { Take(what); }, finding);
    }
    void Noted(const ReadFinding& finding) override {
        std::visit([this](const auto& what) { Take(what); }, finding);
    }

    std::set<std::string> converted;
    std::set<Place> places;
    std::set<Place> quotePlaces;
    std::set<Row> rows;
    std::set<std::pair<std::string, std::string>> unknownEmployees;
    std::set<std::string> ignoredTables;

  private:
    void Take(const FuyosyaLeftOut& what) {
        rows.insert({"10616", std::string(what.code), std::string(what.number)});
    }
    void Take(const KyuuyoLeftOut& what) {
        // The payment is its 10701 row and its 10702 row.
        rows.insert({"10701", std::string(what.code), std::string(what.number)});
        rows.insert({"10702", std::string(what.code), std::string(what.number)});
    }
    void Take(const ShouyoLeftOut& what) {
        rows.insert({"10705", std::string(what.code), std::string(what.number)});
        rows.insert({"10706", std::string(what.code), std::string(what.number)});
    }
    void Take(const EmployeeUnknown& what) {
        unknownEmployees.insert({std::string(what.table), std::string(what.code)});
    }
    void Take(const PaymentRowUnmatched& what) { Name(what.where); }
    void Take(const QuoteMismatch& what) {
        places.insert({std::string(what.path), what.lineNumber});
        quotePlaces.insert({std::string(what.path), what.lineNumber});
    }
    void Take(const OverwrittenField& what) {
        Name(what.keptAt);
        Name(what.replacedAt);
    }
    void Take(const KeyEmpty& what) { Name(what.where); }
    void Take(const IgnoredLines& what) { ignoredTables.insert(std::string(what.table)); }
    // The other findings name no line of their own.
    template <typename Other>
    void Take(const Other&) {}

    void Name(const LineOrigin& where) {
        EXPECT_NE(where.line, 0u) << "a finding without its line";
        places.insert({std::string(where.path), where.line});
    }
};

struct DataLine {
    Place place;
    std::string table;
    std::string code;
    std::string number;  // the second key, for the tables with two
    std::string date;    // the third field (the payment date of 10702)
};

// Calls `use(place, section, text)` for every data line of the files, read on
// their own: sections by their header lines, CR LF ends, blank lines skipped.
template <typename Use>
void ForEachDataLine(const std::vector<GeneratedFile>& files, Use use) {
    for (const GeneratedFile& file : files) {
        std::ifstream in(file.path, std::ios::binary);
        std::string text;
        std::string section;
        std::size_t number = 0;
        while (std::getline(in, text)) {
            ++number;
            if (!text.empty() && text.back() == '\r') text.pop_back();
            if (text.empty()) continue;
            if (text.front() == '[' && text.find(',') == std::string::npos) {
                section = text.substr(1, text.find(']') - 1);
                continue;
            }
            use(Place{file.path, number}, section, text);
        }
    }
}

// The data lines of the per-employee tables: the keys lead the line and are
// never quoted.
std::vector<DataLine> EmployeeLines(const std::vector<GeneratedFile>& files) {
    std::vector<DataLine> lines;
    ForEachDataLine(
        files, [&](const Place& place, const std::string& section, const std::string& text) {
            const PCATABLEINFO* table = FindPcaTable(section);
            if (!table || !IsEmployeeTable(*table)) return;
            std::vector<std::string> fields = CommaFields(text);
            fields.resize(std::max<std::size_t>(fields.size(), 3));
            lines.push_back({place, section, fields[0],
                             table->nKeyColumns > 1 ? fields[1] : std::string(), fields[2]});
        });
    return lines;
}

// Whether the quote rules of the format cut the line other than a CSV writer
// meant, read naively byte by byte: an odd number of quotes, or a comma kept
// inside a field whose bytes are not one quoted text with doubled quotes.
bool QuotesMisleadTheSplit(const std::string& line) {
    if (std::count(line.begin(), line.end(), '"') % 2 != 0) return true;
    const auto wholly = [](const std::string& raw) {
        if (raw.size() < 2 || raw.front() != '"' || raw.back() != '"') return false;
        std::string inner = raw.substr(1, raw.size() - 2);
        for (std::size_t pair; (pair = inner.find("\"\"")) != std::string::npos;) {
            inner.erase(pair, 2);
        }
        return inner.find('"') == std::string::npos;
    };
    int quotes = 0;
    bool kept = false;
    std::string raw;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (((c >= 0x81 && c <= 0x9F) || c >= 0xE0) && i + 1 < line.size()) {
            raw += line.substr(i++, 2);
            continue;
        }
        if (c == '"' && (quotes == 0 || i + 1 == line.size() || line[i + 1] == ',')) ++quotes;
        if (c == ',' && quotes % 2 == 0) {
            if (kept && !wholly(raw)) return true;
            raw.clear();
            kept = false;
            quotes = 0;
            continue;
        }
        kept = kept || c == ',';
        raw += static_cast<char>(c);
    }
    return kept && !wholly(raw);
}

// The loaded data lines (those of catalogued tables) that the naive reading
// above finds misleading.
std::set<Place> MisleadingLines(const std::vector<GeneratedFile>& files) {
    std::set<Place> lines;
    ForEachDataLine(files,
                    [&](const Place& place, const std::string& section, const std::string& text) {
                        if (FindPcaTable(section) && QuotesMisleadTheSplit(text))
                            lines.insert(place);
                    });
    return lines;
}

// The month a salary number names: "0" dropped except from "10".
int Month(const std::string& number) {
    std::string digits;
    for (const char c : number) {
        if (c < '0' || c > '9') return 0;
        if (c != '0' || number == "10") digits += c;
    }
    return digits.empty() || digits.size() > 2 ? 0 : std::stoi(digits);
}

bool IsPositiveNumber(const std::string& number) {
    return !number.empty() &&
           std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
           number.find_first_not_of('0') != std::string::npos;
}

// Whether the conversion uses the line for a written employee, by the rules of
// the format: an empty key reaches nothing; a salary counts with its 8-byte
// date (last line of the key wins) and a month of 1 to 12; a bonus with a
// number of 1 or more; a payment's second row goes with its first.
bool Used(const DataLine& line, const std::set<std::string>& employees,
          const std::map<std::pair<std::string, std::string>, std::string>& salaryDates,
          const std::set<std::pair<std::string, std::string>>& salaries,
          const std::set<std::pair<std::string, std::string>>& bonuses) {
    if (line.code.empty() || employees.count(line.code) == 0) return false;
    const std::pair key(line.code, line.number);
    const auto salaryUsed = [&] {
        const auto date = salaryDates.find(key);
        return date != salaryDates.end() && date->second.size() == 8 && Month(line.number) >= 1 &&
               Month(line.number) <= 12;
    };
    if (line.table == "10701") return salaryUsed();
    if (line.table == "10702") return salaries.count(key) != 0 && salaryUsed();
    if (line.table == "10705") return IsPositiveNumber(line.number);
    if (line.table == "10706") return bonuses.count(key) != 0 && IsPositiveNumber(line.number);
    if (line.table == "10616") return !line.number.empty();
    return true;
}

// Converts a generated set into `output`, telling `observer` what it finds.
void Convert(const std::vector<GeneratedFile>& files, LinkMode mode, const std::string& output,
             NamingObserver& observer) {
    std::vector<std::string> paths;
    for (const GeneratedFile& file : files) paths.push_back(file.path);
    platform::MessageLog log;
    CExchangeFromPCAToKw39 engine(log);
    engine.SetObserver(&observer);
    ASSERT_TRUE(engine.Reader().ReadDataFiles(paths, static_cast<int>(paths.size())));
    ASSERT_TRUE(engine.ConvertAndWriteDocument(output, mode, "1", "8"));
}

TEST(ReportCompletenessProperty, EveryEmployeeLineIsUsedOrNamedByAFinding) {
    std::size_t misleading = 0;
    // The last seed has enough employees that the salary payments are matched
    // on a second thread.
    for (std::uint64_t seed = 1; seed <= 13; ++seed) {
        for (const LinkMode mode : {kModeStandard, kModeSimple}) {
            SCOPED_TRACE("seed " + std::to_string(seed) + ", mode " + std::to_string(mode));
            test::TempDir dir;
            GenerateOptions options;
            options.employees = seed == 13 ? 250 : 20;
            options.seed = seed;
            options.folder = dir.Path();
            options.irregularities = 40;
            const std::vector<GeneratedFile> files = GenerateSet(options);
            NamingObserver observer;
            ASSERT_NO_FATAL_FAILURE(Convert(files, mode, dir.File("out.xml"), observer));

            const std::vector<DataLine> lines = EmployeeLines(files);
            std::set<std::string> employees;
            std::map<std::pair<std::string, std::string>, std::string> salaryDates;
            std::set<std::pair<std::string, std::string>> salaries, bonuses;
            for (const DataLine& line : lines) {
                if (line.table == "10601" && !line.code.empty()) employees.insert(line.code);
                if (line.table == "10702") salaryDates[{line.code, line.number}] = line.date;
                if (line.table == "10701") salaries.insert({line.code, line.number});
                if (line.table == "10705") bonuses.insert({line.code, line.number});
            }
            for (const std::string& code : employees) {
                EXPECT_EQ(observer.converted.count(code), 1u) << code;
            }
            std::size_t named = 0;
            for (const DataLine& line : lines) {
                const bool isNamed =
                    observer.places.count(line.place) != 0 ||
                    observer.rows.count({line.table, line.code, line.number}) != 0 ||
                    observer.unknownEmployees.count({line.table, line.code}) != 0;
                named += isNamed ? 1 : 0;
                EXPECT_TRUE(isNamed || Used(line, employees, salaryDates, salaries, bonuses))
                    << line.place.first << ":" << line.place.second << " [" << line.table << "] "
                    << line.code << "," << line.number;
            }
            EXPECT_GT(named, 0u) << "the irregular lines gave no finding";
            // Every line whose quotes mislead the split is told, and no other.
            const std::set<Place> expected = MisleadingLines(files);
            EXPECT_EQ(observer.quotePlaces, expected);
            misleading += expected.size();
            for (const auto& [table, code] : observer.unknownEmployees) {
                EXPECT_TRUE(IsEmployeeTable(*FindPcaTable(table))) << table;
            }
            for (const std::string& table : observer.ignoredTables) {
                EXPECT_EQ(FindPcaTable(table), nullptr) << table;
            }
        }
    }
    EXPECT_GT(misleading, 0u) << "no generated line had quotes inside a field";
}

// Master rows nobody refers to, and a clean export, give no finding about a line.
TEST(ReportCompletenessProperty, ACleanExportNamesNoLine) {
    test::TempDir dir;
    GenerateOptions options;
    options.employees = 40;
    options.folder = dir.Path();
    const std::vector<GeneratedFile> files = GenerateSet(options);
    NamingObserver observer;
    ASSERT_NO_FATAL_FAILURE(Convert(files, kModeStandard, dir.File("out.xml"), observer));
    EXPECT_EQ(observer.converted.size(), 40u);
    EXPECT_TRUE(observer.places.empty());
    EXPECT_TRUE(observer.rows.empty());
    EXPECT_TRUE(observer.unknownEmployees.empty());
    EXPECT_TRUE(observer.ignoredTables.empty());
}

}  // namespace
}  // namespace kw39::gen
