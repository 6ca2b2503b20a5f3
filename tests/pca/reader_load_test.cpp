// Loading of PCA export files: sections, merging by key, and malformed input.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pca/data_line_error.h"
#include "pca/reader.h"
#include "pca_files.h"
#include "platform/io_error.h"
#include "platform/line_reader.h"
#include "support/fault_file_system.h"
#include "support/test_support.h"

namespace kw39 {
namespace {

using platform::MessageLog;
using test::TempDir;
using test::WritePcaFile;

std::string Value(const CPCAKyuuyo& reader, std::string_view table,
                  std::initializer_list<std::string_view> keys, std::string_view column) {
    return std::string(reader.GetValue(kLookupName, table, keys, column));
}

std::vector<std::string> SelectAll(CPCAKyuuyo& reader, const std::string& table,
                                   const std::string& column) {
    PCASELECT request;
    request.strTable = table;
    request.strColumn = column;
    request.bMatchAll = 1;
    const auto& result = reader.Select(request);
    return std::vector<std::string>(result.begin(), result.end());
}

using Codes = std::vector<std::string>;

TEST(ReaderLoad, SampleExportFiles) {
    platform::MessageLog port;
    CPCAKyuuyo reader(port);
    ASSERT_TRUE(reader.ReadDataFiles(
        {test::DataPath("pca/kojinq.csv"), test::DataPath("pca/getujiq.csv")}, 2));
    EXPECT_TRUE(port.messages.empty());
    EXPECT_EQ(reader.GetEmployeeCodes(), (Codes{"00001", "00002"}));
    EXPECT_EQ(reader.GetCompanyName(), "株式会社サンプル商事");
    EXPECT_EQ(Value(reader, "10601", {"00001"}, "住所１"), "東京都千代田区丸の内１－２－３");
    EXPECT_EQ(Value(reader, "10601", {"00002"}, "旧姓"), "鈴木");
    EXPECT_EQ(Value(reader, "10616", {"00001", "02"}, "続柄"), "子");
    EXPECT_EQ(Value(reader, "10615", {"00002"}, "世帯主の氏名"), "佐藤　花子");
    EXPECT_EQ(Value(reader, "10701", {"00002", "3"}, "要勤務日数"), "20.0");
    EXPECT_EQ(Value(reader, "10702", {"00001", "2"}, "基本給"), "300000");
    EXPECT_EQ(reader.RowCount("10701"), 6u);
    EXPECT_EQ(reader.RowCount("10616"), 2u);
    EXPECT_EQ(reader.RowCount("10000"), 1u);
    EXPECT_EQ(reader.RowCount("10101"), 1u);
    EXPECT_EQ(reader.RowCount("10803"), 0u);
    EXPECT_EQ(reader.RowCount("99999"), 0u);
}

TEST(ReaderLoad, SameKeyMergesFieldByFieldAndKeepsItsPlace) {
    TempDir dir;
    const std::string first = WritePcaFile(dir, "first.csv",
                                           {"[10601]", "A1,001,山田,太郎,ヤマダ", "B2,002,佐藤",
                                            "A1,009,山本",  // shorter: positions 4, 5 stay
                                            "C3,003"});
    const std::string second = WritePcaFile(dir, "second.csv",
                                            {"[10000]", "0001,会社", "[10601]", "D4,004",
                                             "B2,,佐々木,",  // the empty fields overwrite too
                                             "A1,010"});
    platform::MessageLog port;
    CPCAKyuuyo reader(port);
    ASSERT_TRUE(reader.ReadDataFiles({first, second}, 2));
    EXPECT_EQ(reader.GetEmployeeCodes(), (Codes{"A1", "B2", "C3", "D4"}));
    EXPECT_EQ(reader.RowCount("10601"), 4u);
    struct Case {
        const char* code;
        const char* column;
        const char* expected;
    };
    const Case cases[] = {
        {"A1", "部門コード", "010"},  {"A1", "氏名（姓）", "山本"},
        {"A1", "氏名（名）", "太郎"}, {"A1", "フリガナ（姓）", "ヤマダ"},
        {"B2", "部門コード", ""},     {"B2", "氏名（姓）", "佐々木"},
        {"B2", "氏名（名）", ""},     {"C3", "部門コード", "003"},
        {"D4", "氏名（姓）", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Value(reader, "10601", {c.code}, c.column), c.expected)
            << c.code << " " << c.column;
    }
}

TEST(ReaderLoad, SectionsAndHeaderLines) {
    TempDir dir;
    const std::string path =
        WritePcaFile(dir, "mixed.csv",
                     {"X0,ignored before any header", "[10601]", "A1,001", "", "   ",
                      "[1060]",     // "]" at offset 5: a data line with the key [1060]
                      "[10601],x",  // contains a comma: a data line
                      " [10103]",   // a leading blank: a data line
                      "[12345]",    // not catalogued: the section is inactive
                      "Z9,999",
                      "[10601]x",  // the code 10601x is not catalogued either
                      "Z8,998",
                      "[10601] \t",  // trailing blanks do not matter
                      "B2,002", "",
                      ",005",  // an empty key is a key like any other
                      "[10103]", "01,部長"});
    platform::MessageLog port;
    CPCAKyuuyo reader(port);
    ASSERT_TRUE(reader.ReadDataFiles({path}, 1));
    EXPECT_EQ(reader.GetEmployeeCodes(), (Codes{"A1", "[1060]", "[10601]", "[10103]", "B2", ""}));
    EXPECT_EQ(Value(reader, "10601", {"[1060]"}, "部門コード"), "");
    EXPECT_EQ(Value(reader, "10601", {"[10601]"}, "部門コード"), "x");
    EXPECT_EQ(SelectAll(reader, "10601", "部門コード"), (Codes{"001", "", "x", "", "002", "005"}));
    EXPECT_EQ(Value(reader, "10103", {"01"}, "役職名"), "部長");
    EXPECT_EQ(reader.RowCount("10103"), 1u);
    EXPECT_TRUE(port.messages.empty());
}

TEST(ReaderLoad, TwoKeyTablesJoinTheirKeys) {
    TempDir dir;
    const std::string path = WritePcaFile(dir, "keys.csv",
                                          {"[10616]",
                                           "A1,,山田",  // key "A1@"
                                           "A1,01,佐藤",
                                           "A1,,山本",     // the same key "A1@"
                                           "A1,1,鈴木"});  // "1" is not "01"
    platform::MessageLog port;
    CPCAKyuuyo reader(port);
    ASSERT_TRUE(reader.ReadDataFiles({path}, 1));
    EXPECT_EQ(reader.RowCount("10616"), 3u);
    EXPECT_EQ(SelectAll(reader, "10616", "扶養親族氏名（姓）"), (Codes{"山本", "佐藤", "鈴木"}));
    EXPECT_EQ(Value(reader, "10616", {"A1", "01"}, "扶養親族氏名（姓）"), "佐藤");
    EXPECT_EQ(Value(reader, "10616", {"A1", "1"}, "扶養親族氏名（姓）"), "鈴木");
}

TEST(ReaderLoad, CompanyHeaderOfTheLastFileWins) {
    TempDir dir;
    const std::string first =
        WritePcaFile(dir, "a.csv", {"[10000]", "0001,最初の会社,データ1,PCA給与X"});
    const std::string second = WritePcaFile(dir, "b.csv", {"[10000]", "\"0001\",\"X\""});
    platform::MessageLog port;
    CPCAKyuuyo reader(port);
    EXPECT_EQ(reader.GetCompanyName(), "");
    ASSERT_TRUE(reader.ReadDataFiles({first}, 1));
    EXPECT_EQ(reader.GetCompanyName(), "最初の会社");
    ASSERT_TRUE(reader.ReadDataFiles({second}, 1));
    EXPECT_EQ(reader.GetCompanyName(), "X");
    EXPECT_EQ(Value(reader, "10000", {}, "会社名"), "X");
    // Positions the last line did not reach keep the earlier line's values.
    EXPECT_EQ(Value(reader, "10000", {}, "データ種類名"), "データ1");
    EXPECT_EQ(reader.RowCount("10000"), 1u);
}

// A line is one line however long, up to the limits: a value of 4095 bytes,
// a line of 2 MiB. Beyond them the line is refused with its place, and a
// line beyond 2 MiB is never held whole.
TEST(ReaderLoad, LongLinesAreOneLineUpToTheLimits) {
    const std::string big(kMaxValueBytes, 'x');
    for (const std::size_t length : {std::size_t{10}, kMaxValueBytes}) {
        TempDir dir;
        const std::string value(length, 'x');
        const std::string path = WritePcaFile(
            dir, "long.csv", {"[10601]", "A1,\"" + value + "\",山田," + big, "B2," + value});
        platform::MessageLog port;
        CPCAKyuuyo reader(port);
        ASSERT_TRUE(reader.ReadDataFiles({path}, 1)) << length;
        EXPECT_EQ(reader.GetEmployeeCodes(), (Codes{"A1", "B2"})) << length;
        EXPECT_EQ(Value(reader, "10601", {"A1"}, "部門コード"), value);
        EXPECT_EQ(Value(reader, "10601", {"A1"}, "氏名（姓）"), "山田");
        EXPECT_EQ(Value(reader, "10601", {"A1"}, "氏名（名）"), big);
        EXPECT_EQ(Value(reader, "10601", {"B2"}, "部門コード"), value);
    }
    struct Case {
        std::string line;
        std::string says;
    };
    const Case refused[] = {
        {"A1,,\"" + big + "y\"", "[10601] の 3 項目目が 4096 バイトあり、1 項目の上限 4095 バイト"},
        {"A1," + std::string(platform::kMaxLineBytes, ','),
         "[10601] の行が 2097152 バイトを超えて"},
        {"A1," + std::string(platform::kMaxLineBytes * 2, 'x'),
         "[10601] の行が 2097152 バイトを超えて"},
    };
    for (const Case& c : refused) {
        TempDir dir;
        const std::string path = WritePcaFile(dir, "long.csv", {"[10601]", "B2,x", c.line});
        platform::MessageLog port;
        CPCAKyuuyo reader(port);
        try {
            reader.ReadDataFiles({path}, 1);
            ADD_FAILURE() << "no error for " << c.says;
        } catch (const DataLineError& error) {
            EXPECT_EQ(error.LineNumber(), 3u);
            EXPECT_NE(std::string(error.what()).find(c.says), std::string::npos) << error.what();
        }
    }
}

TEST(ReaderLoad, TextModeLineEnds) {
    TempDir dir;
    const std::string path = dir.Write("eof.csv",
                                       "[10601]\r\nA1,001\r\nB2,002\rx\nC3,003\x1A"
                                       "D4,004\r\n");
    platform::MessageLog port;
    CPCAKyuuyo reader(port);
    ASSERT_TRUE(reader.ReadDataFiles({path}, 1));
    EXPECT_EQ(reader.GetEmployeeCodes(), (Codes{"A1", "B2", "C3"}));
    EXPECT_EQ(Value(reader, "10601", {"B2"}, "部門コード"), "002\rx");  // a lone CR stays
}

TEST(ReaderLoad, CountBelowOneListsTheEmployeesLoadedSoFar) {
    platform::MessageLog port;
    CPCAKyuuyo reader(port);
    EXPECT_TRUE(reader.ReadDataFiles({}, 0));
    EXPECT_TRUE(reader.GetEmployeeCodes().empty());
    // The paths beyond the count are not read.
    EXPECT_TRUE(reader.ReadDataFiles({"/no/such/file.csv"}, 0));
    EXPECT_TRUE(reader.ReadDataFiles({"/no/such/file.csv"}, -1));
    EXPECT_TRUE(port.messages.empty());
}

TEST(ReaderLoad, MissingFileStopsTheLoad) {
    TempDir dir;
    const std::string first = WritePcaFile(dir, "a.csv", {"[10601]", "A1,001"});
    const std::string third = WritePcaFile(dir, "c.csv", {"[10601]", "C3,003"});
    platform::MessageLog port;
    CPCAKyuuyo reader(port);
    EXPECT_FALSE(reader.ReadDataFiles({first, dir.File("missing.csv"), third}, 3));
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].text, "ファイルが存在しません。");
    EXPECT_EQ(port.messages[0].style, MessageStyle::Warning);
    // What the first file loaded stays; the third is unread; no employee list.
    EXPECT_EQ(reader.RowCount("10601"), 1u);
    EXPECT_EQ(Value(reader, "10601", {"A1"}, "部門コード"), "001");
    EXPECT_TRUE(reader.GetEmployeeCodes().empty());
}

TEST(ReaderLoad, UnopenableFileFailsSilently) {
    TempDir dir;
    platform::MessageLog port;
    CPCAKyuuyo reader(port);
    EXPECT_FALSE(reader.ReadDataFiles({dir.Path()}, 1));  // a folder
    EXPECT_TRUE(port.messages.empty());
}

struct MalformedCase {
    const char* name;
    std::vector<std::string> lines;
    std::size_t line;
    std::string reason;
};

TEST(ReaderLoad, MalformedDataLinesNameFileAndLine) {
    const std::string tooMany30(29, ',');  // 30 fields
    const MalformedCase cases[] = {
        {"more fields than columns",
         {"[10601]", "A1", "", "B2" + tooMany30 + ",x"},
         4,
         "[10601] の項目数 31 が列数 29 を超えています。"},
        {"one field too many in a keyless table",
         {"[10000]", "0001,会社,3,4,5,6,7,8,9,10"},
         2,
         "[10000] の項目数 10 が列数 9 を超えています。"},
        {"a two-key table without its second key",
         {"[10000]", "0001,会社", "[10701]", "A1,1,20140125", "A1"},
         5,
         "[10701] の項目数 1 がキー列数 2 に足りません。"},
        {"a company line without a name",
         {"[10601]", "A1", "[10000]", "0001"},
         4,
         "[10000] の項目数 1 では会社名（2 項目目）がありません。"},
        // The checks before the run saw the file without it: written again
        // in place since, it is refused as it is loaded.
        {"a byte pair that is no character",
         {"[10601]", "A1", std::string("B2,\x85\x40")},
         3,
         "3 行目に Shift_JIS の文字ではないバイトがあります。"},
    };
    for (const MalformedCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir.Write("bad.csv", [&] {
            std::string content;
            for (const std::string& line : c.lines) content += line + "\r\n";
            return content;
        }());
        platform::MessageLog port;
        CPCAKyuuyo reader(port);
        try {
            reader.ReadDataFiles({path}, 1);
            ADD_FAILURE() << "no DataLineError";
        } catch (const DataLineError& e) {
            EXPECT_EQ(std::string(e.what()), "引数が正しくありません。\n" + path + " の " +
                                                 std::to_string(c.line) + " 行目: " + c.reason);
            EXPECT_EQ(e.Path(), path);
            EXPECT_EQ(e.LineNumber(), c.line);
        }
        EXPECT_TRUE(port.messages.empty());
    }
}

TEST(ReaderLoad, AMalformedLineStoresNothing) {
    TempDir dir;
    const std::string path =
        WritePcaFile(dir, "bad.csv", {"[10000]", "0001,会社", "0002,別会社,3,4,5,6,7,8,9,10"});
    platform::MessageLog port;
    CPCAKyuuyo reader(port);
    EXPECT_THROW(reader.ReadDataFiles({path}, 1), DataLineError);
    EXPECT_EQ(reader.GetCompanyName(), "会社");
    EXPECT_EQ(Value(reader, "10000", {}, "会社コード"), "0001");
}

TEST(ReaderLoad, ReadFailureIsAnIoError) {
    platform::MessageLog port;
    // The file fails after its first read.
    const std::string start = "[10601]\r\nA1,001\r\n";
    test::MemoryFileSystem memory;
    memory.AddFile("broken.csv", start + "A2,002\r\n");
    test::FaultFileSystem fs(memory);
    fs.Faults("broken.csv").readBytesBeforeFailing = start.size();
    CPCAKyuuyo reader(port, fs);
    EXPECT_THROW(reader.ReadDataFiles({"broken.csv"}, 1), platform::IoError);
    EXPECT_TRUE(reader.GetEmployeeCodes().empty());
}

TEST(ReaderLoad, TwoReadersKeepTheirOwnData) {
    TempDir dir;
    const std::string a = WritePcaFile(dir, "a.csv", {"[10601]", "A1,001"});
    const std::string b = WritePcaFile(dir, "b.csv", {"[10601]", "B2,002"});
    platform::MessageLog port;
    CPCAKyuuyo first(port);
    ASSERT_TRUE(first.ReadDataFiles({a}, 1));
    {
        CPCAKyuuyo second(port);
        ASSERT_TRUE(second.ReadDataFiles({b}, 1));
        EXPECT_EQ(second.GetEmployeeCodes(), (Codes{"B2"}));
    }
    EXPECT_EQ(first.GetEmployeeCodes(), (Codes{"A1"}));
    EXPECT_EQ(Value(first, "10601", {"A1"}, "部門コード"), "001");
}

}  // namespace
}  // namespace kw39
