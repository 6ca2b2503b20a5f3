// The bad-input corpus (tests/data/bad, described in its EXPECTED.md) through
// the real kw39pcaconv: every case ends, in time, with one clear message or a
// correct document (which xmllint reads as well, see TempDir), and an existing
// output survives every failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "robust_fixtures.h"
#include "run/input_slots.h"
#include "timed_program.h"
#include "xml_check.h"

namespace kw39::test {
namespace {

constexpr int kTimeLimitSeconds = 120;
const std::string kOld = "<old>\r\n";

// Program output is UTF-8; the expectations are written as UTF-8 literals.
std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
        text.replace(at, from.size(), to);
        at += to.size();
    }
    return text;
}

enum class Outcome { Unchanged, Written, SameAsSample };

struct BadCase {
    const char* name;  // file under tests/data/bad, or the name of a generated file
    std::size_t slot;  // the slot it is given for; the sample company fills the others
    int status;
    const char8_t* message;  // printed on standard error; "{path}" stands for the file
    Outcome outcome;
    std::function<std::string()> generate = nullptr;  // for the large cases
};

const char8_t kFormat[] = u8"警告 (Warning): 社員情報ファイルが正しくありません。";
const char8_t kBadArgument[] = u8"エラー (Error): 引数が正しくありません。\n{path} の ";
const char8_t kEncoding[] = u8"ファイルの文字コードが正しくありません。\n\n{path}\n";
const char8_t kNoEmployees[] =
    u8"社員データが読み込まれなかったため、出力ファイルは作成していません。";

std::string EmployeeFileWith(const std::function<void(std::vector<std::string>& rows)>& change) {
    std::string text = DemoFiles()[3];
    const std::size_t begin = text.find("[10601]\r\n") + 9;
    const std::size_t end = text.find("\r\n[", begin);
    std::vector<std::string> rows;
    for (std::size_t at = begin; at < end;) {
        const std::size_t next = text.find("\r\n", at);
        rows.push_back(text.substr(at, next - at));
        at = next + 2;
    }
    change(rows);
    std::string joined;
    for (const std::string& row : rows) joined += row + "\r\n";
    return text.substr(0, begin) + joined + text.substr(end + 2);
}

// The first employee's address (13th column) is one megabyte of "あ".
// The address of the first employee replaced by `bytes` bytes of "あ" (and an
// "A" for an odd count).
std::string EmployeeFileWithAddressOf(std::size_t bytes) {
    return EmployeeFileWith([bytes](std::vector<std::string>& rows) {
        std::string& row = rows[0];
        std::size_t at = 0;
        for (int comma = 0; comma < 12; ++comma) at = row.find(',', at) + 1;
        const std::size_t end = row.find(',', at);
        std::string big;
        for (std::size_t i = 0; i < bytes / 2; ++i) big += "あ";
        if (bytes % 2 != 0) big += "A";
        row.replace(at, end - at, big);
    });
}

std::string MegabyteValue() { return EmployeeFileWithAddressOf(std::size_t{1} << 20); }

// A line beyond the longest a data line can be, read without being held.
std::string ThreeMegabyteLine() {
    return EmployeeFileWith([](std::vector<std::string>& rows) {
        rows.insert(rows.begin() + 1, "9999," + std::string(std::size_t{3} << 20, 'x'));
    });
}

std::string MegabyteOfCommas() {
    return EmployeeFileWith([](std::vector<std::string>& rows) {
        rows.insert(rows.begin() + 1, std::string(1024 * 1024, ','));
    });
}

// 5,000 sections: one employee each, between them sections of a table the
// reader does not know.
std::string FiveThousandSections() {
    const std::string& demo = DemoFiles()[3];
    std::string text = demo.substr(0, demo.find("[10601]"));
    for (int i = 0; i < 2500; ++i) {
        text += "[10601]\r\n" + std::to_string(10000 + i) + ",001,姓" + std::to_string(i) +
                ",名\r\n[19999]\r\nignored," + std::to_string(i) + "\r\n";
    }
    return text;
}

// The keyless table 10101 with 10,000 lines: each overwrites the one row.
std::string TenThousandKeylessLines() {
    const std::string& demo = DemoFiles()[0];
    const std::size_t begin = demo.find("[10101]\r\n") + 9;
    const std::size_t end = demo.find("\r\n", begin) + 2;
    const std::string row = demo.substr(begin, end - begin);
    std::string rows;
    for (int i = 0; i < 9999; ++i) rows += std::to_string(i) + ",x\r\n";
    return demo.substr(0, begin) + rows + row + demo.substr(end);
}

const BadCase kCases[] = {
    {"empty.csv", 3, 1, kFormat, Outcome::Unchanged},
    {"blank-lines.csv", 3, 1, kFormat, Outcome::Unchanged},
    {"header-only.csv", 3, 1, kFormat, Outcome::Unchanged},
    {"cr-only.csv", 3, 1, kFormat, Outcome::Unchanged},
    {"no-employees.csv", 3, 4, kNoEmployees, Outcome::Unchanged},
    {"company-header-last.csv", 0, 2,
     u8"エラー (Error): 引数が正しくありません。\n{path} の 4 行目: [10000] "
     u8"の次に会社コードと会社名の行がありません。",
     Outcome::Unchanged},
    {"company-one-field.csv", 0, 2,
     u8"エラー (Error): 引数が正しくありません。\n{path} の 2 行目: [10000] "
     u8"の行に会社コードと会社名の 2 項目がありません。",
     Outcome::Unchanged},
    {"fields-500.csv", 3, 2,
     u8"エラー (Error): 引数が正しくありません。\n{path} の 4 行目: [10601] の項目数 500 が列数 "
     u8"29 を超えています。",
     Outcome::Unchanged},
    {"getuji-too-many-fields.csv", 4, 2,
     u8"エラー (Error): 引数が正しくありません。\n{path} の 66 行目: [10702] の項目数 158 が列数 "
     u8"157 を超えています。",
     Outcome::Unchanged},
    {"key-fields-missing.csv", 3, 2,
     u8"エラー (Error): 引数が正しくありません。\n{path} の 31 行目: [10616] の項目数 1 "
     u8"がキー列数 2 に足りません。",
     Outcome::Unchanged},
    {"truncated-dbcs.csv", 3, 1,
     u8"社員情報ファイルの文字コードが正しくありません。\n\n{path}\n4 行目に Shift_JIS "
     u8"の文字ではないバイトがあります。",
     Outcome::Unchanged},
    {"unassigned-code.csv", 3, 1, u8"{path}\n4 行目に Shift_JIS の文字ではないバイトがあります。",
     Outcome::Unchanged},
    {"broken-trail.csv", 3, 1, u8"{path}\n4 行目に Shift_JIS の文字ではないバイトがあります。",
     Outcome::Unchanged},
    {"control-byte.csv", 3, 1, u8"{path}\n4 行目に Shift_JIS の文字ではないバイトがあります。",
     Outcome::Unchanged},
    {"binary-noise.bin", 3, 1,
     u8"{path}\nUTF-16 で保存されたファイルか、テキストではないファイルです。", Outcome::Unchanged},
    {"nul-bytes.csv", 3, 1,
     u8"{path}\nUTF-16 で保存されたファイルか、テキストではないファイルです。", Outcome::Unchanged},
    {"utf8.csv", 3, 1, u8"{path}\nUTF-8 で保存されたファイルです。", Outcome::Unchanged},
    {"utf8-bom.csv", 3, 1, u8"{path}\nUTF-8 で保存されたファイルです。", Outcome::Unchanged},
    {"utf16le-bom.csv", 0, 1,
     u8"会社情報ファイルの文字コードが正しくありません。\n\n{path}\nUTF-16 "
     u8"で保存されたファイルです。",
     Outcome::Unchanged},
    {"utf16be-bom.csv", 3, 1, u8"{path}\nUTF-16 で保存されたファイルです。", Outcome::Unchanged},
    {"utf16le.csv", 3, 1, u8"{path}\nUTF-16 で保存されたファイルか、テキストではないファイルです。",
     Outcome::Unchanged},
    {"ctrl-z-middle.csv", 3, 1,
     u8"{path}\n6 行目に、ファイルの終わりを示す文字 (0x1A) より後のデータがあります。",
     Outcome::Unchanged},
    {"ctrl-z-end.csv", 3, 0, u8"情報 (Info): 正常に終了しました。", Outcome::SameAsSample},
    {"unterminated-quote.csv", 3, 0, u8"情報 (Info): 正常に終了しました。", Outcome::Written},
    {"one-megabyte-value.csv", 3, 2,
     u8"エラー (Error): 引数が正しくありません。\n{path} の 4 行目: [10601] の 13 項目目が 1048576 "
     u8"バイトあり、1 項目の上限 4095 バイトを超えています。",
     Outcome::Unchanged, MegabyteValue},
    {"three-megabyte-line.csv", 3, 2,
     u8"エラー (Error): 引数が正しくありません。\n{path} の 5 行目: [10601] の行が 2097152 "
     u8"バイトを超えています (1 項目は 4095 バイトまで)。",
     Outcome::Unchanged, ThreeMegabyteLine},
    {"one-megabyte-of-commas.csv", 3, 2,
     u8"エラー (Error): 引数が正しくありません。\n{path} の 5 行目: [10601] の項目数 1048577 "
     u8"が列数 29 を超えています。",
     Outcome::Unchanged, MegabyteOfCommas},
    {"five-thousand-sections.csv", 3, 0, u8"情報 (Info): 正常に終了しました。", Outcome::Written,
     FiveThousandSections},
    {"keyless-ten-thousand-lines.csv", 0, 0, u8"情報 (Info): 正常に終了しました。",
     Outcome::SameAsSample, TenThousandKeylessLines},
};

struct ProgramRun {
    TimedResult result;
    std::string output;                  // content of the output file afterwards
    std::vector<std::string> leftovers;  // other names in the output folder
};

// The program with the sample company, `path` in the given slot, an existing
// output in a folder of its own.
ProgramRun RunWith(const TempDir& dir, std::size_t slot, const std::string& path) {
    std::filesystem::create_directory(dir.File("out"));
    const std::string output = dir.File("out/out.xml");
    WriteBytes(output, kOld);
    std::vector<std::string> inputs;
    for (std::size_t s = 0; s < kSlotCount; ++s) inputs.push_back(s == slot ? path : DemoPath(s));
    ProgramRun run;
    run.result = RunTimed(KW39PCACONV_PATH, ConvertArgs(inputs, output), kTimeLimitSeconds);
    run.output = ReadBytes(output);
    for (const auto& entry : std::filesystem::directory_iterator(dir.File("out"))) {
        if (entry.path().filename() != "out.xml") run.leftovers.push_back(entry.path().string());
    }
    return run;
}

// The document of the untouched sample company.
const std::string& SampleDocument() {
    static const std::string document = [] {
        TempDir dir;
        const ProgramRun run = RunWith(dir, 0, DemoPath(0));
        EXPECT_EQ(run.result.status, 0) << run.result.err;
        return run.output;
    }();
    return document;
}

TEST(BadInput, EveryCaseEndsWithOneClearMessageOrACorrectDocument) {
    const std::string warning = U8(u8"警告 (Warning)");
    const std::string error = U8(u8"エラー (Error)");
    const std::string done = U8(u8"正常に終了しました。");
    for (const BadCase& c : kCases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path =
            c.generate ? dir.Write(c.name, c.generate()) : DataPath(std::string("bad/") + c.name);
        const ProgramRun run = RunWith(dir, c.slot, path);
        const std::string& err = run.result.err;
        ASSERT_FALSE(run.result.timedOut);
        EXPECT_EQ(run.result.status, c.status) << err;
        EXPECT_TRUE(Contains(err, Replace(U8(c.message), "{path}", path))) << err;
        EXPECT_TRUE(run.leftovers.empty());
        if (c.outcome == Outcome::Unchanged) {
            // One message, and no word of success.
            EXPECT_LE(CountOf(err, warning) + CountOf(err, error), 1u) << err;
            EXPECT_FALSE(Contains(err, done)) << err;
            EXPECT_EQ(run.output, kOld);
            continue;
        }
        EXPECT_EQ(CountOf(err, warning) + CountOf(err, error), 0u) << err;
        EXPECT_EQ(CheckXmlDocument(run.output, {.bNoControlBytes = true, .bWholeShiftJis = true}),
                  "");
        if (c.outcome == Outcome::SameAsSample) {
            EXPECT_EQ(run.output, SampleDocument());
        }
    }
}

// What the written cases hold: the longest value whole, one section per
// employee.
TEST(BadInput, LargeInputsArriveWhole) {
    {
        TempDir dir;
        const ProgramRun run =
            RunWith(dir, 3, dir.Write("big.csv", EmployeeFileWithAddressOf(4095)));
        EXPECT_EQ(run.result.status, 0) << run.result.err;
        std::string big;
        for (int i = 0; i < 2047; ++i) big += "あ";
        EXPECT_TRUE(Contains(run.output, ">" + big + "A<"));
    }
    {
        TempDir dir;
        const ProgramRun run = RunWith(dir, 3, dir.Write("many.csv", FiveThousandSections()));
        EXPECT_EQ(CountOf(run.output, "<SYAIN "), 2500u);
    }
    {
        TempDir dir;
        const ProgramRun run = RunWith(dir, 3, DataPath("bad/unterminated-quote.csv"));
        // The open quote takes the rest of the line, commas included, into one
        // field; every employee is still there, and the line is counted.
        EXPECT_EQ(CountOf(run.output, "<SYAIN "), CountOf(SampleDocument(), "<SYAIN "));
        EXPECT_TRUE(Contains(run.result.err, U8(u8"引用符の不一致 1,"))) << run.result.err;
    }
}

// The expectations table of the corpus lists exactly the cases tested here.
TEST(BadInput, ExpectationsTableListsEveryCase) {
    const std::string table = ReadBytes(DataPath("bad/EXPECTED.md"));
    for (const BadCase& c : kCases) {
        EXPECT_TRUE(Contains(table, std::string("| ") + c.name + " |")) << c.name;
        if (!c.generate) {
            EXPECT_TRUE(FileExists(DataPath(std::string("bad/") + c.name))) << c.name;
        }
    }
    // And nothing else: every row of the table is a case of the test.
    std::size_t rows = 0;
    for (std::size_t at = table.find("\n| "); at != std::string::npos;
         at = table.find("\n| ", at + 1)) {
        const std::size_t end = table.find(" |", at + 3);
        const std::string name = table.substr(at + 3, end - at - 3);
        if (name == "File" || name.empty()) continue;
        ++rows;
        EXPECT_TRUE(std::any_of(std::begin(kCases), std::end(kCases), [&](const BadCase& c) {
            return name == c.name;
        })) << name;
    }
    EXPECT_EQ(rows, std::size(kCases));
}

}  // namespace
}  // namespace kw39::test
