// A large section loaded on a second thread gives what loading every line in
// turn gives: the same rows, the same findings in the same order, the same
// failure. The reference is the same file read where no part of it can be
// read aside (a file system whose files cannot be read at an offset).
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "pca/catalogue.h"
#include "pca/data_line_error.h"
#include "pca/read_listener.h"
#include "pca/reader.h"
#include "platform/forwarding_file_system.h"
#include "support/test_support.h"

namespace kw39 {
namespace {

std::string S(std::string_view text) { return std::string(text); }

class Findings : public ReadListener {
  public:
    void Noted(const ReadFinding& finding) override {
        lines.push_back(std::visit([](const auto& f) { return Line(f); }, finding));
    }
    std::vector<std::string> lines;

  private:
    static std::string Line(const QuoteMismatch& f) {
        return "quotes " + std::to_string(f.lineNumber) + " " + S(f.line);
    }
    static std::string Line(const CompanyNameRead& f) { return "company " + S(f.name); }
    static std::string Line(const IgnoredLines& f) {
        return "ignored " + S(f.table) + " " + std::to_string(f.count);
    }
    static std::string Line(const OverwrittenField& f) {
        return "overwritten " + S(f.table) + " " + S(f.key) + " " + S(f.column) + " " + S(f.kept) +
               "<" + S(f.replaced) + " " + std::to_string(f.keptAt.line) + "<" +
               std::to_string(f.replacedAt.line);
    }
    static std::string Line(const KeyEmpty& f) {
        return "empty key " + S(f.table) + " " + S(f.column) + " " + std::to_string(f.where.line);
    }
};

// Files opened through it cannot be read at an offset: every line is loaded in turn.
class InTurnFileSystem : public platform::ForwardingFileSystem {
  public:
    using ForwardingFileSystem::ForwardingFileSystem;
    std::unique_ptr<platform::InputFile> OpenRead(const std::string& path) override {
        class InTurn : public platform::InputFile {
          public:
            explicit InTurn(std::unique_ptr<platform::InputFile> file) : m_file(std::move(file)) {}
            std::size_t Read(char* buffer, std::size_t size) override {
                return m_file->Read(buffer, size);
            }
            std::optional<platform::FileStamp> Stamp() const override { return m_file->Stamp(); }

          private:
            std::unique_ptr<platform::InputFile> m_file;
        };
        auto file = Inner().OpenRead(path);
        return file ? std::make_unique<InTurn>(std::move(file)) : nullptr;
    }
};

struct Load {
    std::vector<std::string> findings;
    std::string failure;
    std::vector<std::string> rows;  // every value of the monthly tables
};

Load LoadWith(platform::FileSystem& fs, const std::string& path) {
    Load load;
    platform::MessageLog log;
    CPCAKyuuyo reader(log, fs);
    Findings findings;
    reader.SetListener(&findings);
    try {
        reader.ReadDataFiles({path}, 1);
    } catch (const DataLineError& e) {
        load.failure = e.what();
    }
    load.findings = findings.lines;
    for (const char* table : {"10701", "10702"}) {
        const int index = PcaTableIndex(table);
        const int columns = PcaCatalogue()[static_cast<std::size_t>(index)].nColumns;
        for (std::size_t row = 0; row < reader.RowCount(table); ++row) {
            std::string values;
            for (int column = 0; column < columns; ++column) {
                values += S(reader.RowValue(PcaColumn{index, column}, row)) + ",";
            }
            load.rows.push_back(values);
        }
    }
    return load;
}

// A monthly file whose first section (over 8 MiB) is large enough to be
// loaded aside;
// `extra` lines go into it at their line numbers.
std::string MonthlyFile(const std::vector<std::pair<std::size_t, std::string>>& extra,
                        const std::vector<std::string>& after) {
    std::string text = "[10000]\r\n0001,会社\r\n[10701]\r\n";
    std::size_t line = 3;
    std::size_t next = 0;
    for (int employee = 0; employee < 12000; ++employee) {
        for (int month = 1; month <= 12; ++month) {
            while (next < extra.size() && extra[next].first == line + 1) {
                text += extra[next++].second + "\r\n";
                ++line;
            }
            text += "E" + std::to_string(100000 + employee) + "," + std::to_string(month) +
                    ",202601" + std::to_string(10 + month) +
                    ",22.00,176.00,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\r\n";
            ++line;
        }
    }
    for (const std::string& more : after) text += more + "\r\n";
    return text;
}

TEST(SectionAside, GivesWhatLoadingInTurnGives) {
    const std::string tooMany(200, ',');
    struct Case {
        const char* name;
        std::vector<std::pair<std::size_t, std::string>> extra;  // in the large section
        std::vector<std::string> after;
    };
    const Case cases[] = {
        {"regular", {}, {"[10702]", "E100001,1,20260125,1", "E100002,1,20260125,2"}},
        {"findings in both sections, in file order",
         {{100, "E100003,5,20990101"}, {5000, ",1,20260101"}, {90000, "E100004,\"x,1"}},
         {"[10702]", "E100001,1,20260125,1", "E100001,1,20260125,2"}},
        {"a malformed line aside comes before one after",
         {{7000, "E100005,1" + tooMany}},
         {"[10702]", "E100001,1" + tooMany}},
        {"a malformed line after the section", {}, {"[10702]", "E100001,1" + tooMany}},
        {"the table again after the section",
         {{60000, "E100006,2,20990202"}},
         {"[10702]", "E100001,1,20260125,1", "[10701]", "E100007,3,20990303", "[99999]", "x"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const std::string path = dir.Write("GETUJIQ.CSV", MonthlyFile(c.extra, c.after));
        InTurnFileSystem inTurn(platform::RealFileSystem());
        const Load expected = LoadWith(inTurn, path);
        const Load aside = LoadWith(platform::RealFileSystem(), path);
        EXPECT_EQ(aside.failure, expected.failure);
        EXPECT_EQ(aside.findings, expected.findings);
        EXPECT_EQ(aside.rows, expected.rows);
        // The cases hold what they are meant to.
        const bool malformed = std::string(c.name).find("malformed") != std::string::npos;
        EXPECT_EQ(expected.failure.empty(), !malformed);
        if (!malformed) {
            EXPECT_GT(expected.rows.size(), 140000u);
        }
    }
}

}  // namespace
}  // namespace kw39
