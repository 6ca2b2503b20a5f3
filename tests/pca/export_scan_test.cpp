// The reading before the questions gives the same for a large file read in two
// halves on two threads as for one pass over it, also where the halves meet
// inside a section and where something in the second half makes the whole
// file be read again in one pass. The reference reads the file where no part
// of it can be read at an offset.
#include "pca/export_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "pca/data_line_error.h"
#include "pca/header_line.h"
#include "platform/file_system.h"
#include "support/test_support.h"

namespace kw39 {
namespace {

// The open file without reading at an offset: one pass.
class OnePassFile : public platform::InputFile {
  public:
    explicit OnePassFile(std::unique_ptr<platform::InputFile> file) : m_file(std::move(file)) {}
    std::size_t Read(char* buffer, std::size_t size) override { return m_file->Read(buffer, size); }
    std::optional<platform::FileStamp> Stamp() const override { return m_file->Stamp(); }

  private:
    std::unique_ptr<platform::InputFile> m_file;
};

// Everything a scan tells, as text.
std::string Told(const ExportScan& scan) {
    std::string told = "encoding " + std::to_string(static_cast<int>(scan.encoding.problem)) +
                       " line " + std::to_string(scan.encoding.nLine) + "\ntables";
    for (const std::string& table : scan.tables) told += " " + table;
    told += "\ncompanies";
    for (const CompanyLine& company : scan.companies)
        told += " " + company.code + "@" + company.name;
    told += "\nfirst is company " + std::to_string(scan.firstHeaderIsCompany) + ", header read " +
            std::to_string(scan.headerRead) + "\ndates";
    for (const auto& [year, count] : scan.paymentDates.Counts()) {
        told += " " + std::to_string(year) + ":" + std::to_string(count);
    }
    if (scan.malformedCompany) {
        try {
            std::rethrow_exception(scan.malformedCompany);
        } catch (const DataLineError& e) {
            told += "\nmalformed " + std::string(e.what());
        }
    }
    if (scan.readFailure) told += "\nread failure";
    told += "\nsections";
    for (const SectionMark& mark : scan.sections) {
        told += " " + mark.code + ":" + std::to_string(mark.headerLine) + ":" +
                std::to_string(mark.dataOffset) + "-" + std::to_string(mark.endOffset) + ":" +
                std::to_string(mark.lastLine);
    }
    return told;
}

// Whether `marks` tell where the sections of `text` lie: each header line
// where a mark puts it, its data up to where the next header line starts.
bool MarksFit(const SectionMarks& marks, const std::string& text) {
    if (marks.empty() || marks.back().endOffset != text.size()) return false;
    for (std::size_t i = 1; i < marks.size(); ++i) {
        const SectionMark& mark = marks[i];
        const std::string header = "[" + mark.code + "]\r\n";
        const std::size_t start = mark.dataOffset - header.size();
        if (text.compare(start, header.size(), header) != 0 || marks[i - 1].endOffset != start ||
            marks[i - 1].lastLine + 1 != mark.headerLine ||
            static_cast<std::size_t>(std::count(text.begin(), text.begin() + start, '\n')) + 1 !=
                mark.headerLine ||
            static_cast<std::size_t>(
                std::count(text.begin(), text.begin() + mark.endOffset, '\n')) != mark.lastLine) {
            return false;
        }
    }
    return true;
}

// About 3 MiB of monthly lines: `first` sections of 10701 lines, then 10702
// lines (the middle of the file falls into them), with `extra` inserted
// before the line of that index among the data lines.
std::string Monthly(int first, const std::map<int, std::string>& extra) {
    std::string text = "[10000]\r\n0001,会社\r\n[10701]\r\n";
    int index = 0;
    const auto add = [&](const std::string& line) {
        if (const auto found = extra.find(index); found != extra.end()) {
            text += found->second + "\r\n";
        }
        text += line + "\r\n";
        ++index;
    };
    for (int i = 0; i < first; ++i) {
        add("E" + std::to_string(100000 + i) + ",1,20260125,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0");
    }
    add("[10702]");
    for (int i = 0; i < 40000; ++i) {
        add("E" + std::to_string(100000 + i) + ",1," + std::to_string(2025 + i % 3) +
            "0125,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0");
    }
    return text;
}

TEST(ExportScan, TwoHalvesGiveWhatOnePassGives) {
    struct Case {
        const char* name;
        std::string content;
        bool plain;  // read as text to its end
    };
    const Case cases[] = {
        {"the middle inside the payment dates", Monthly(10, {}), true},
        {"the middle inside the first section", Monthly(60000, {}), true},
        {"a company block in the second half",
         Monthly(10, {{30000, "[10000]\r\n0002,別会社\r\n[10702]"}}), true},
        {"a byte that is no text in the second half", Monthly(10, {{30000, "E1,\x85\x40"}}), false},
        {"an end-of-file byte in the second half", Monthly(10, {{30000, "\x1A"}}), false},
        {"a company line without its name in the second half",
         Monthly(10, {{30000, "[10000]\r\n0003"}}), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const std::string path = dir.Write("GETUJIQ.CSV", c.content);
        ASSERT_GT(c.content.size(), std::size_t{2} << 20);
        platform::FileSystem& fs = platform::RealFileSystem();
        OnePassFile onePass(fs.OpenRead(path));
        const std::unique_ptr<platform::InputFile> file = fs.OpenRead(path);
        const std::string expected = Told(ScanExport(onePass, path));
        const ExportScan halves = ScanExport(*file, path);
        EXPECT_EQ(Told(halves), expected);
        // The sections are marked where they lie, for a file read as text to its end.
        EXPECT_EQ(MarksFit(halves.sections, c.content), c.plain);
        // Every date of the 10702 lines counts, wherever the halves meet.
        if (c.name == cases[0].name) {
            EXPECT_NE(expected.find("dates 2025:13334 2026:13333 2027:13333"), std::string::npos)
                << expected;
        }
    }
}

// The date of a 10702 line is its third field as the CSV split gives it,
// whatever the bytes before and after it.
TEST(PaymentDateTally, DatesAreTheThirdFieldsOfTheSplit) {
    const std::string lines[] = {
        "E1,1,20260125,0",
        "  E1,1,20260225  ",
        "E1,1,20260325",
        "E1,1,2026042",
        "E1,1, 20260425",
        "E1,1,20261325,0",
        "E1,1,20260100",
        "\"E1\",\"1\",\"20270125\",0",
        "\"E,1\",1,20280125",
        "E\"1,1,20290125",
        "山田,1,20300125",
        "E\x81,1,20310125,0",
        "E1,1\x81,20320125",
        "E1,1",
        "E1",
        ",,20330125",
        "E1,1,20340125\x81",
    };
    PaymentDateTally tally;
    tally.AddLine("[10702]");
    std::map<int, std::size_t> expected;
    for (const std::string& line : lines) {
        tally.AddLine(line);
        std::vector<std::string> fields;
        SplitCsvLine(line, fields);
        const std::string date = fields.size() > 2 ? fields[2] : "";
        const bool digits = date.size() == 8 && std::all_of(date.begin(), date.end(), [](char c) {
                                return c >= '0' && c <= '9';
                            });
        if (!digits) continue;
        const int month = std::stoi(date.substr(4, 2));
        const int day = std::stoi(date.substr(6, 2));
        if (month >= 1 && month <= 12 && day >= 1 && day <= 31)
            ++expected[std::stoi(date.substr(0, 4))];
    }
    EXPECT_EQ(tally.Counts(), expected);
    EXPECT_GE(expected.size(), 5u);  // the table holds dates of many kinds
}

}  // namespace
}  // namespace kw39
