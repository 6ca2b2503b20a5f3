// Lines split straight into the row storage: every value must be the one the
// CSV rules give (SplitCsvLine), whatever path the line takes (with or
// without quotes, short fields, long fields, values kept as one byte).
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "pca/field_encoding.h"
#include "pca/header_line.h"
#include "pca/row_store.h"

namespace kw39 {
namespace {

std::vector<std::string> Split(std::string_view line) {
    std::vector<std::string> values;
    SplitCsvLine(line, values);
    return values;
}

std::vector<std::string> RowOf(const RowStore& store, std::uint32_t row) {
    std::vector<std::string> values;
    for (int i = 0; i < store.Columns(); ++i) values.emplace_back(store.Field(row, i));
    return values;
}

// The split values padded with "" to the width of the table.
std::vector<std::string> Expected(std::string_view line, int columns) {
    std::vector<std::string> values = Split(line);
    values.resize(static_cast<std::size_t>(columns));
    return values;
}

std::string Joined(const std::vector<std::string>& values) {
    std::string line;
    for (std::size_t i = 0; i < values.size(); ++i) line += (i ? "," : "") + values[i];
    return line;
}

// Lines of every kind the exports hold and some they should not.
std::vector<std::string> SampleLines() {
    std::vector<std::string> lines = {
        "",
        "a",
        "0,0.00,00,0.0,0.000, 0,0 ,-0,0.001",
        "E1,1,20260125,950000,0,0,20000,0,3000",
        "  \tE1,lead blanks,trail blanks \t ",
        "\"quoted\",\"a,b\",\"x\"\"y\",\"a\"b,c\",\"\",\"0\",\"0.00\"",
        "\"unterminated,a,b",
        "a,",
        ",",
        ",,,,",
        "山田,太郎,ソ表能,深啓充,江曽望",
        // A lead byte before a comma takes the comma as its second byte.
        "a\x81,b,c",
        // A lone lead byte at the end of the line.
        "a,b\x81",
        "\x81",
        "x\"y,z",
        "ｱｲｳ,ﾊﾟﾋﾟ",
    };
    // Fields around the sizes where their heads change.
    for (const std::size_t size : {127u, 128u, 129u, 300u, 16383u, 16384u, 70000u}) {
        lines.push_back("k," + std::string(size, 'v') + ",0");
        lines.push_back("k,\"" + std::string(size, 'q') + "\",0.00");
    }
    // Many fields, across the offsets noted every 16 fields.
    std::vector<std::string> many;
    for (int i = 0; i < 200; ++i) {
        many.push_back(i % 3 == 0 ? "0" : i % 3 == 1 ? "0.00" : std::to_string(i * 37));
    }
    lines.push_back(Joined(many));
    many[40] = "\"with,comma\"";
    lines.push_back(Joined(many));
    // Runs of "0" of every length, starting at every place between the noted
    // offsets, and after a double-byte character.
    std::vector<std::string> zeros;
    for (int i = 0; i < 200; ++i) zeros.push_back(i % 7 == 3 ? "12" : i % 11 == 5 ? "0.00" : "0");
    lines.push_back(Joined(zeros));
    zeros[20] = "山";
    lines.push_back("0,0," + Joined(zeros));
    lines.push_back(Joined(std::vector<std::string>(200, "0")));
    return lines;
}

TEST(RowStaging, StagedRowsHoldTheSplitValues) {
    for (const int columns : {1, 4, 15, 16, 17, 33, 157, 220}) {
        for (const std::string& line : SampleLines()) {
            SCOPED_TRACE(std::to_string(columns) + " columns: " + line.substr(0, 60));
            RowStore store(columns);
            const std::vector<std::string> split = Split(line);
            ASSERT_EQ(store.StageLine(line), split.size());
            for (std::size_t i = 0; i < split.size() && i < static_cast<std::size_t>(columns);
                 ++i) {
                EXPECT_EQ(store.StagedField(i), split[i]) << i;
            }
            if (split.size() > static_cast<std::size_t>(columns)) continue;  // never kept
            const std::uint32_t row = store.AppendStaged();
            EXPECT_EQ(RowOf(store, row), Expected(line, columns));
        }
    }
}

TEST(RowStaging, LinesCutAfterTheKeptColumnsAreCountedWhole) {
    for (const int kept : {1, 16, 20, 150}) {
        for (const std::string& line : SampleLines()) {
            SCOPED_TRACE(std::to_string(kept) + " kept: " + line.substr(0, 60));
            RowStore store(220);
            store.KeepColumns(kept);
            const std::vector<std::string> split = Split(line);
            ASSERT_EQ(store.StageLine(line), split.size());
            const std::size_t held = store.StagedKept();
            EXPECT_GE(held, std::min<std::size_t>(split.size(), static_cast<std::size_t>(kept)));
            if (split.size() > 220) continue;
            const std::uint32_t row = store.AppendStaged();
            EXPECT_EQ(static_cast<std::size_t>(store.HeldCount(row)), held);
            for (std::size_t i = 0; i < held; ++i)
                EXPECT_EQ(store.HeldField(row, int(i)), split[i]);
            // Staged whole, the line keeps every field.
            store.StageLine(line, true);
            EXPECT_EQ(store.StagedKept(), split.size());
        }
    }
    // Keeping only some positions, the fields between them are passed over,
    // many at a time where a piece of the line holds no byte beyond ASCII.
    const std::vector<std::vector<int>> keptSets = {
        {0, 2}, {0, 5, 100}, {0, 70, 71, 199}, {0, 1, 2, 3, 13, 18, 150}};
    for (const std::vector<int>& keptSet : keptSets) {
        for (const std::string& line : SampleLines()) {
            SCOPED_TRACE(std::to_string(keptSet.back()) + " kept last: " + line.substr(0, 60));
            RowStore sparse(220);
            sparse.KeepOnly(keptSet);
            const std::vector<std::string> split = Split(line);
            ASSERT_EQ(sparse.StageLine(line), split.size());
            if (split.size() > 220) continue;
            const std::uint32_t row = sparse.AppendStaged();
            for (const int column : keptSet) {
                const auto i = static_cast<std::size_t>(column);
                EXPECT_EQ(sparse.Field(row, column), i < split.size() ? split[i] : "") << i;
            }
        }
    }

    RowStore store(40);
    store.KeepColumns(17);
    EXPECT_THROW(store.Field(0, 17), std::logic_error);
    EXPECT_THROW(store.SharedField(0, 39), std::logic_error);

    // A cut line leaves nothing of the row it is laid over after its kept
    // fields: those positions hold its own values, not kept. A short line
    // leaves the positions after it as they were.
    std::vector<std::string> wide(40, "w");
    store.StageLine(Joined(wide), true);
    const std::uint32_t row = store.AppendStaged();
    std::vector<std::string> cut(40, "9");
    store.StageLine(Joined(cut));
    ASSERT_LT(store.StagedKept(), 40u);
    store.OverwriteWithStaged(row);
    EXPECT_EQ(static_cast<std::size_t>(store.HeldCount(row)), store.StagedKept());
    store.StageLine("8,8");
    store.OverwriteWithStaged(row);
    EXPECT_EQ(store.HeldField(row, 1), "8");
    EXPECT_EQ(store.HeldField(row, 16), "9");

    // Keeping only some positions, a cut line holds "" between them, and the
    // row tells which it holds; so does a row a line laid over such a row
    // leaves, where it took positions from it.
    RowStore some(40);
    some.KeepOnly({2, 12, 17});
    EXPECT_THROW(some.Field(0, 1), std::logic_error);
    some.StageLine(Joined(cut));
    EXPECT_FALSE(some.StagedHolds(1));
    EXPECT_TRUE(some.StagedHolds(2));
    const std::uint32_t left = some.AppendStaged();
    EXPECT_EQ(some.Field(left, 0), "9");
    EXPECT_EQ(some.Field(left, 12), "9");
    EXPECT_EQ(some.Field(left, 17), "9");
    EXPECT_TRUE(some.HoldsField(left, 2));
    EXPECT_FALSE(some.HoldsField(left, 3));
    EXPECT_EQ(some.HeldField(left, 3), "");
    some.StageLine("8,8,8", true);
    EXPECT_TRUE(some.StagedHolds(1));
    some.OverwriteWithStaged(left);
    EXPECT_EQ(some.Field(left, 2), "8");
    EXPECT_EQ(some.Field(left, 17), "9");
    EXPECT_FALSE(some.HoldsField(left, 5));
    some.StageLine(Joined(wide), true);
    some.OverwriteWithStaged(left);
    EXPECT_TRUE(some.HoldsField(left, 5));
    EXPECT_EQ(some.HeldField(left, 5), "w");
}

TEST(RowStaging, RowsKeptOneAfterAnotherStayIntact) {
    RowStore store(157);
    const std::vector<std::string> lines = SampleLines();
    std::vector<std::uint32_t> rows;
    for (int round = 0; round < 50; ++round) {
        for (const std::string& line : lines) {
            store.StageLine(line);
            rows.push_back(store.AppendStaged());
        }
    }
    // A line that is staged but never kept leaves the rows alone.
    store.StageLine(std::string(1000, ','));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(RowOf(store, rows[i]), Expected(lines[i % lines.size()], 157)) << i;
    }
}

TEST(RowStaging, StagedLineOverwritesTheFirstPositionsOnly) {
    struct Case {
        const char* name;
        std::string first;
        std::string second;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"shorter", "k,1,2,3", "k,x", {"k", "x", "2", "3", ""}},
        {"empty fields overwrite", "k,1,2,3,4", "k,,0,", {"k", "", "0", "", "4"}},
        {"quoted", "k,1,2", "\"k\",\"a,b\"", {"k", "a,b", "2", "", ""}},
        {"longer", "k", "k,0.00,0,9,9", {"k", "0.00", "0", "9", "9"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RowStore store(5);
        store.StageLine(c.first);
        const std::uint32_t row = store.AppendStaged();
        const std::string_view before = store.Field(row, 1);
        const std::string kept(before);
        store.StageLine(c.second);
        store.OverwriteWithStaged(row);
        EXPECT_EQ(RowOf(store, row), c.expected);
        EXPECT_EQ(before, kept);  // earlier views stay readable
    }

    // A merge of wide rows keeps every position across the noted offsets.
    RowStore wide(157);
    std::vector<std::string> values;
    for (int i = 0; i < 157; ++i) values.push_back(std::string(i == 100 ? 70000 : 3, 'a' + i % 26));
    wide.StageLine(Joined(values));
    const std::uint32_t row = wide.AppendStaged();
    wide.StageLine("x,0,0.00");
    wide.OverwriteWithStaged(row);
    values[0] = "x";
    values[1] = "0";
    values[2] = "0.00";
    EXPECT_EQ(RowOf(wide, row), values);
}

TEST(FieldEncoding, EveryValueComesBackAsWritten) {
    using namespace field_encoding;
    const std::string values[] = {"",
                                  "0",
                                  "0.00",
                                  "00",
                                  "0.0",
                                  "0.000",
                                  "1",
                                  "x",
                                  "山田",
                                  std::string(127, 'a'),
                                  std::string(128, 'b'),
                                  std::string(100000, 'c')};
    std::string buffer(300000, '\0');
    char* out = buffer.data();
    for (const std::string& value : values) {
        char* const end = Encode(out, value);
        EXPECT_EQ(static_cast<std::size_t>(end - out), EncodedSize(value)) << value.size();
        out = end;
    }
    const char* in = buffer.data();
    const char* skipping = buffer.data();
    for (const std::string& value : values) {
        EXPECT_EQ(Decode(in), value);
        Skip(skipping);
        EXPECT_EQ(skipping, in);
    }
    EXPECT_EQ(EncodedSize("0"), 1u);
    EXPECT_EQ(EncodedSize("0.00"), 1u);
    EXPECT_EQ(EncodedSize("00"), 3u);
}

}  // namespace
}  // namespace kw39
