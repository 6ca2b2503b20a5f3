// A large section loaded on a second thread gives what loading every line in
// turn gives: the same rows, the same findings in the same order, the same
// failure. The reference is the same file read where no part of it can be
// read aside (a file system whose files cannot be read at an offset). A file
// written again between the reading that found its sections and the load
// gives what loading it in turn gives, or fails as written again.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <variant>
#include <vector>

#include "pca/catalogue.h"
#include "pca/data_line_error.h"
#include "pca/export_scan.h"
#include "pca/read_listener.h"
#include "pca/reader.h"
#include "platform/forwarding_file_system.h"
#include "platform/io_error.h"
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

// Files opened through it can be read at an offset, but for the one named.
class OneInTurnFileSystem : public platform::ForwardingFileSystem {
  public:
    OneInTurnFileSystem(platform::FileSystem& inner, std::string inTurn)
        : ForwardingFileSystem(inner), m_inTurn(inner), m_strPath(std::move(inTurn)) {}
    std::unique_ptr<platform::InputFile> OpenRead(const std::string& path) override {
        return path == m_strPath ? m_inTurn.OpenRead(path) : Inner().OpenRead(path);
    }

  private:
    InTurnFileSystem m_inTurn;
    std::string m_strPath;
};

struct Load {
    std::vector<std::string> findings;
    std::string failure;
    std::vector<std::string> rows;  // every value of the monthly tables
};

// Where the sections of the file at `path` lie, as the reading before the load finds them.
SectionMarks MarksOf(const std::string& path) {
    const auto file = platform::RealFileSystem().OpenRead(path);
    // A file gone since: as it was found while it was empty.
    if (!file) return SectionMarks(1);
    return ScanExport(*file, path).sections;
}

const std::vector<int> kFirst16 = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

// `files` loaded in turn through `fs`, with the sections `marks` of the first;
// the monthly tables keep the columns `kept` (none given: all), and only they
// are shown (`cut` false: all are kept, and they are shown).
Load LoadWith(platform::FileSystem& fs, const std::vector<std::string>& files,
              const SectionMarks* marks = nullptr, const std::vector<int>& kept = {},
              bool cut = true) {
    Load load;
    platform::MessageLog log;
    CPCAKyuuyo reader(log, fs);
    Findings findings;
    reader.SetListener(&findings);
    if (!kept.empty() && cut) {
        reader.KeepColumnsOf("10701", kept);
        reader.KeepColumnsOf("10702", kept);
    }
    if (marks) {
        reader.SetLeastAside(std::uint64_t{256} << 10);
        reader.SetSectionMarks(files[0], *marks);
        for (std::size_t i = 1; i < files.size(); ++i) {
            reader.SetSectionMarks(files[i], MarksOf(files[i]));
        }
    }
    try {
        if (!reader.ReadDataFiles(files, static_cast<int>(files.size()))) load.failure = "not read";
    } catch (const DataLineError& e) {
        load.failure = e.what();
    } catch (const platform::InputChangedError&) {
        load.failure = "written again";
    }
    load.findings = findings.lines;
    // The messages of the log (a file that vanished) follow the findings.
    for (const platform::Message& message : log.messages) load.findings.push_back(message.text);
    for (const char* table : {"10701", "10702", "10705", "10706", "10801", "10802"}) {
        const int index = PcaTableIndex(table);
        const bool monthly =
            std::string_view(table) == "10701" || std::string_view(table) == "10702";
        std::vector<int> columns = monthly ? kept : std::vector<int>();
        if (columns.empty()) {
            for (int c = 0; c < PcaCatalogue()[static_cast<std::size_t>(index)].nColumns; ++c) {
                columns.push_back(c);
            }
        }
        // Which tables a load read is told only of a load that succeeded.
        if (load.failure.empty() && reader.SectionRead(table)) load.rows.push_back(table);
        for (std::size_t row = 0; row < reader.RowCount(table); ++row) {
            std::string values;
            for (const int column : columns) {
                values += S(reader.RowValue(PcaColumn{index, column}, row)) + ",";
            }
            load.rows.push_back(values);
        }
    }
    return load;
}

// A monthly file whose large section 10701 (about 1 MB, loaded aside from
// 256 KiB on) holds 14,400 lines; `extra` lines go into it at their line
// numbers, `before` lines before its header line.
std::string MonthlyFile(const std::vector<std::pair<std::size_t, std::string>>& extra,
                        const std::vector<std::string>& after, const std::string& company = "会社",
                        const std::vector<std::string>& before = {}) {
    std::string text = "[10000]\r\n0001," + company + "\r\n";
    for (const std::string& line : before) text += line + "\r\n";
    text += "[10701]\r\n";
    std::size_t line = 3 + before.size();
    std::size_t next = 0;
    for (int employee = 0; employee < 1200; ++employee) {
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

// A bonus section of 16,000 lines (about 0.9 MB): loaded by the reading
// thread, it leaves the second thread room for the small sections after the
// large one.
std::vector<std::string> BonusSection() {
    std::vector<std::string> lines = {"[10705]"};
    for (int employee = 0; employee < 16000; ++employee) {
        lines.push_back("E" + std::to_string(100000 + employee) +
                        ",1,20261210,1000,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0");
    }
    return lines;
}

TEST(SectionAside, GivesWhatLoadingInTurnGives) {
    const std::string tooMany(200, ',');
    struct Case {
        const char* name;
        std::vector<std::pair<std::size_t, std::string>> extra;  // in the large section
        std::vector<std::string> after;
        std::vector<std::string> before;
    };
    const std::vector<std::string> sectionsAfter = {
        "[10702]", "E100001,1,20260125,1", "E100001,1,20260125,2",
        "[10706]", "E100001,1,20261210,5", ",1,20261210"};
    const Case cases[] = {
        {"regular", {}, {"[10702]", "E100001,1,20260125,1", "E100002,1,20260125,2"}, {}},
        {"findings in the sections that go with it",
         {{200, "E100003,5,20990101"}},
         sectionsAfter,
         BonusSection()},
        {"a malformed line in a section that goes with it",
         {{200, "E100003,5,20990101"}},
         {"[10702]", "E100001,1,20260125,1", "[10706]", "E100001,1" + tooMany},
         BonusSection()},
        {"the sections after it, then one met twice",
         {},
         {"[10702]", "E100001,1,20260125,1", "[10706]", "E100001,1,20261210,5", "[10702]",
          "E100001,1,20260125,3"},
         BonusSection()},
        {"findings in both sections, in file order",
         {{100, "E100003,5,20990101"}, {5000, ",1,20260101"}, {9000, "E100004,\"x,1"}},
         {"[10702]", "E100001,1,20260125,1", "E100001,1,20260125,2"},
         {}},
        {"a malformed line aside comes before one after",
         {{7000, "E100005,1" + tooMany}},
         {"[10702]", "E100001,1" + tooMany},
         {}},
        {"a malformed line after the section", {}, {"[10702]", "E100001,1" + tooMany}, {}},
        {"fields after the kept columns overwritten, aside and after it",
         {{200, "E100000,1,20260111,22.00,176.00,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,7,0"},
          {9000, "E100000,1,20260111,22.00,176.00,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,8"}},
         {"[10702]", "E100001,1,20260125,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,5",
          "E100001,1,20260125,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,6"},
         {}},
        {"the table met twice, loaded in turn",
         {{6000, "E100006,2,20990202"}},
         {"[10702]", "E100001,1,20260125,1", "[10701]", "E100007,3,20990303", "[99999]", "x"},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const std::string path =
            dir.Write("GETUJIQ.CSV", MonthlyFile(c.extra, c.after, "会社", c.before));
        InTurnFileSystem inTurn(platform::RealFileSystem());
        const Load expected = LoadWith(inTurn, {path});
        const SectionMarks marks = MarksOf(path);
        const Load aside = LoadWith(platform::RealFileSystem(), {path}, &marks);
        EXPECT_EQ(aside.failure, expected.failure);
        EXPECT_EQ(aside.findings, expected.findings);
        EXPECT_EQ(aside.rows, expected.rows);
        // Lines cut after 16 columns, or keeping only some of them, tell the
        // same overwritten values, read again from the file, as lines kept
        // whole (a file read in turn only).
        for (const std::vector<int>& kept : {kFirst16, std::vector<int>{0, 1, 2, 3, 13, 18}}) {
            const Load whole = LoadWith(inTurn, {path}, nullptr, kept, false);
            const Load cut = LoadWith(platform::RealFileSystem(), {path}, &marks, kept);
            EXPECT_EQ(cut.failure, expected.failure);
            EXPECT_EQ(cut.findings, expected.findings);
            EXPECT_EQ(cut.rows, whole.rows);
        }
        // The cases hold what they are meant to.
        const bool malformed = std::string(c.name).find("malformed") != std::string::npos;
        EXPECT_EQ(expected.failure.empty(), !malformed);
        if (!malformed) {
            EXPECT_GT(expected.rows.size(), 14000u);
        }
    }
}

TEST(SectionAside, ValuesNotKeptAreReadAgainFromTheFileThatHeldThem) {
    // A line of the first file, cut after 16 columns, overwritten by a line of
    // a second file: whether that second file can be read at an offset or
    // not, the report tells the value the first line held.
    test::TempDir dir;
    std::string line = "E1,1,20260110";
    for (int i = 3; i < 25; ++i) line += "," + std::to_string(i);
    std::string other = line;
    other.replace(other.rfind(',') + 1, std::string::npos, "99");
    const std::string first = dir.Write("A.CSV", "[10701]\r\n" + line + "\r\n");
    const std::string second = dir.Write("B.CSV", "[10701]\r\n" + other + "\r\n");
    InTurnFileSystem inTurn(platform::RealFileSystem());
    for (const std::vector<int>& kept : {kFirst16, std::vector<int>{0, 1, 5}}) {
        const Load expected = LoadWith(inTurn, {first, second}, nullptr, kept);
        ASSERT_EQ(expected.findings.size(), 1u);
        EXPECT_NE(expected.findings[0].find(" 99<24 2<2"), std::string::npos)
            << expected.findings[0];
        OneInTurnFileSystem secondInTurn(platform::RealFileSystem(), second);
        EXPECT_EQ(LoadWith(secondInTurn, {first, second}, nullptr, kept).findings,
                  expected.findings);
        EXPECT_EQ(LoadWith(platform::RealFileSystem(), {first, second}, nullptr, kept).findings,
                  expected.findings);
    }
}

TEST(SectionAside, FileWrittenAgainAfterItsSectionsWereFound) {
    const std::string utf8 = "\xE3\x81\x82\xE3\x81\x84";  // "あい", well-formed Shift_JIS too
    const std::vector<std::string> after = {"[10702]", "E100001,1,20260125,1"};
    const std::vector<std::string> withIt = {"[10702]", "E100001,1,20260125,1", "[10706]",
                                             "E100001,1,20261210,5"};
    enum class Outcome { AsInTurn, Refused, WrittenAgain };
    struct Case {
        const char* name;
        std::string found;    // the file when its sections were found
        std::string written;  // the file when it is loaded
        Outcome outcome;
    };
    const Case cases[] = {
        {"a line more in the large section", MonthlyFile({}, after),
         MonthlyFile({{4000, "E100003,3,20990101"}}, after), Outcome::WrittenAgain},
        {"a line more before the large section", MonthlyFile({}, after),
         MonthlyFile({}, after, "会社\r\n0002,別会社"), Outcome::WrittenAgain},
        {"the section after it gone", MonthlyFile({}, after), MonthlyFile({}, {}),
         Outcome::AsInTurn},
        {"the same layout, other values", MonthlyFile({{9, "E1,1,2"}}, after),
         MonthlyFile({{9, "E1,1,3"}}, after), Outcome::AsInTurn},
        {"a byte that is no text in the large section", MonthlyFile({{5000, "E1,1,xx"}}, after),
         MonthlyFile({{5000, "E1,1,\x85\x40"}}, after), Outcome::WrittenAgain},
        {"a line more in a section that goes with it",
         MonthlyFile({}, withIt, "会社", BonusSection()),
         MonthlyFile({},
                     {"[10702]", "E100001,1,20260125,1", "E100002,1,20260125,1", "[10706]",
                      "E100001,1,20261210,5"},
                     "会社", BonusSection()),
         Outcome::WrittenAgain},
        {"the last section that goes with it gone", MonthlyFile({}, withIt, "会社", BonusSection()),
         MonthlyFile({}, {"[10702]", "E100001,1,20260125,1"}, "会社", BonusSection()),
         Outcome::WrittenAgain},
        {"UTF-8 in the large section of a file otherwise ASCII",
         MonthlyFile({{5000, "E1,1,xxxxxx"}}, after, "Kaisha"),
         MonthlyFile({{5000, "E1,1," + utf8}}, after, "Kaisha"), Outcome::Refused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const std::string path = dir.Write("GETUJIQ.CSV", c.found);
        const SectionMarks marks = MarksOf(path);
        ASSERT_GE(marks.size(), 3u);
        test::WriteBytes(path, c.written);
        InTurnFileSystem inTurn(platform::RealFileSystem());
        const Load expected = LoadWith(inTurn, {path});
        const Load aside = LoadWith(platform::RealFileSystem(), {path}, &marks);
        if (c.outcome == Outcome::WrittenAgain) {
            EXPECT_EQ(aside.failure, "written again");
            continue;
        }
        EXPECT_EQ(aside.failure, expected.failure);
        EXPECT_EQ(aside.findings, expected.findings);
        EXPECT_EQ(aside.rows, expected.rows);
        EXPECT_EQ(expected.failure.empty(), c.outcome == Outcome::AsInTurn);
    }
}

// Expects `files`, loaded with the sections of the first marked, to give what
// loading them in turn gives, and returns how that failed ("": it did not).
std::string ExpectAsInTurn(const std::vector<std::string>& files) {
    InTurnFileSystem inTurn(platform::RealFileSystem());
    const Load expected = LoadWith(inTurn, files);
    const SectionMarks marks = MarksOf(files[0]);
    const Load aside = LoadWith(platform::RealFileSystem(), files, &marks);
    EXPECT_EQ(aside.failure, expected.failure);
    EXPECT_EQ(aside.findings, expected.findings);
    // What the tables hold after a failed load is no result.
    if (expected.failure.empty()) {
        EXPECT_EQ(aside.rows, expected.rows);
    }
    return expected.failure;
}

// The large section of a later file goes aside while the files before it are
// loaded; a failure in an earlier file is the load's failure.
TEST(SectionAside, SectionOfALaterFile) {
    test::TempDir dir;
    const std::string employees =
        dir.Write("KOJINQ.CSV", "[10000]\r\n0001,会社\r\n[10601]\r\nE100001,A\r\n");
    const std::string broken =
        dir.Write("BROKEN.CSV",
                  "[10000]\r\n0001,会社\r\n[10601]\r\nE100002" + std::string(300, ',') + "\r\n");
    const std::string monthly =
        dir.Write("GETUJIQ.CSV",
                  MonthlyFile({{300, "E100003,5,20990101"}}, {"[10702]", "E100001,1,20260125,1"}));
    for (const auto& files : {std::vector<std::string>{employees, monthly},
                              std::vector<std::string>{broken, monthly}}) {
        EXPECT_EQ(ExpectAsInTurn(files).empty(), files[0] == employees);
    }
}

// A year-end file of 3,000 employees (about 80 KB) in two sections, with
// `extra` lines after the data line of that index, and a section of a table
// the load does not know, told when the file has been read.
std::string YearEndFile(const std::map<int, std::string>& extra) {
    std::string text = "[10000]\r\n0002,年末会社\r\n";
    int index = 0;
    for (const char* table : {"10801", "10802"}) {
        text += std::string("[") + table + "]\r\n";
        for (int employee = 0; employee < 3000; ++employee, ++index) {
            text += "E" + std::to_string(100000 + employee) + ",1,1,1\r\n";
            if (const auto found = extra.find(index); found != extra.end()) {
                text += found->second + "\r\n";
            }
        }
    }
    return text + "[99999]\r\nx\r\n";
}

// The reading thread goes on with the files after the one of the section
// aside while that still loads: what is told (the company names among it) and
// thrown comes in the order of the files all the same, with the file before
// or after it.
TEST(SectionAside, FilesAfterItAreReadWhileItLoads) {
    const std::string tooMany(30, ',');
    const std::map<int, std::string> cases[] = {
        {},
        {{1000, ",1,1,1"}, {4000, "E100001,2,2,2"}},
        {{4000, "E100002" + tooMany}},
        {{100, "E100003,1,1,1"}, {5000, ",1,1,1"}},
    };
    for (const auto& extra : cases) {
        for (const bool before : {false, true}) {
            SCOPED_TRACE(std::to_string(extra.size()) + (before ? " before" : " after"));
            test::TempDir dir;
            // A line before the large section, loaded by the reading thread,
            // tells of its empty key.
            const std::string monthly =
                dir.Write("GETUJIQ.CSV",
                          MonthlyFile({{300, ",5,20990101"}}, {"[10702]", "E100001,1,20260125,1"},
                                      "会社", {"[10705]", ",1,20261210"}));
            const std::string yearEnd = dir.Write("NENCHOUQ.CSV", YearEndFile(extra));
            const std::vector<std::string> files = before
                                                       ? std::vector<std::string>{yearEnd, monthly}
                                                       : std::vector<std::string>{monthly, yearEnd};
            EXPECT_EQ(ExpectAsInTurn(files).empty(), extra.size() != 1);
        }
    }
    // A later file that vanished is told after the monthly file's findings,
    // and not at all when the monthly file fails.
    for (const bool malformed : {false, true}) {
        SCOPED_TRACE(malformed ? "vanished after a failure" : "vanished");
        test::TempDir dir;
        std::map<std::size_t, std::string> extra = {{300, ",5,20990101"}};
        if (malformed) extra[7000] = "E100005,1" + std::string(200, ',');
        const std::string monthly = dir.Write(
            "GETUJIQ.CSV",
            MonthlyFile({extra.begin(), extra.end()}, {"[10702]", "E100001,1,20260125,1"}));
        const std::string failure = ExpectAsInTurn({monthly, dir.Path() + "/NENCHOUQ.CSV"});
        EXPECT_EQ(failure == "not read", !malformed);
    }
}

}  // namespace
}  // namespace kw39
