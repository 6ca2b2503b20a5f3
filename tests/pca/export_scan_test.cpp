// The reading before the questions gives the same for a large file read in two
// halves on two threads as for one pass over it, also where the halves meet
// inside a section and where something in the second half makes the whole
// file be read again in one pass. The reference reads the file where no part
// of it can be read at an offset.
#include "pca/export_scan.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "pca/data_line_error.h"
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
    return told;
}

// About 11 MiB of monthly lines: `first` sections of 10701 lines, then 10702
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
    for (int i = 0; i < 150000; ++i) {
        add("E" + std::to_string(100000 + i) + ",1," + std::to_string(2025 + i % 3) +
            "0125,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0");
    }
    return text;
}

TEST(ExportScan, TwoHalvesGiveWhatOnePassGives) {
    struct Case {
        const char* name;
        std::string content;
    };
    const Case cases[] = {
        {"the middle inside the payment dates", Monthly(10, {})},
        {"the middle inside the first section", Monthly(150000, {})},
        {"a company block in the second half",
         Monthly(10, {{100000, "[10000]\r\n0002,別会社\r\n[10702]"}})},
        {"a byte that is no text in the second half", Monthly(10, {{100000, "E1,\x85\x40"}})},
        {"an end-of-file byte in the second half", Monthly(10, {{100000, "\x1A"}})},
        {"a company line without its name in the second half",
         Monthly(10, {{100000, "[10000]\r\n0003"}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const std::string path = dir.Write("GETUJIQ.CSV", c.content);
        ASSERT_GT(c.content.size(), std::size_t{8} << 20);
        platform::FileSystem& fs = platform::RealFileSystem();
        OnePassFile onePass(fs.OpenRead(path));
        const std::unique_ptr<platform::InputFile> file = fs.OpenRead(path);
        const std::string expected = Told(ScanExport(onePass, path));
        EXPECT_EQ(Told(ScanExport(*file, path)), expected);
        // Every date of the 10702 lines counts, wherever the halves meet.
        if (c.name == cases[0].name) {
            EXPECT_NE(expected.find("dates 2025:50000 2026:50000 2027:50000"), std::string::npos)
                << expected;
        }
    }
}

}  // namespace
}  // namespace kw39
