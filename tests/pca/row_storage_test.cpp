// The compact row storage and the hashed indexes behind the reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pca/row_index.h"
#include "pca/row_store.h"

namespace kw39 {
namespace {

std::string LineOf(const std::vector<std::string>& values) {
    std::string line;
    for (std::size_t i = 0; i < values.size(); ++i) line += (i ? "," : "") + values[i];
    return line;
}

// Keeps the line of `values` as a new row, as the reader keeps a data line.
std::uint32_t AppendLine(RowStore& store, const std::vector<std::string>& values) {
    store.StageLine(LineOf(values));
    return store.AppendStaged();
}

void OverwriteLine(RowStore& store, std::uint32_t row, const std::vector<std::string>& values) {
    store.StageLine(LineOf(values));
    store.OverwriteWithStaged(row);
}

// Values of every length class of the length prefix (1, 2 and 3 bytes) across
// the offsets noted every 16 fields.
std::vector<std::string> SampleRow(int columns, int seed) {
    std::vector<std::string> values;
    for (int i = 0; i < columns; ++i) {
        const std::size_t lengths[] = {0, 1, 127, 128, 300, 16384, 20000};
        const std::size_t length = lengths[static_cast<std::size_t>(i + seed) % 7];
        values.push_back(std::string(length, static_cast<char>('a' + (i + seed) % 26)) +
                         std::to_string(i));
    }
    return values;
}

void ExpectRow(const RowStore& store, std::uint32_t row, const std::vector<std::string>& values) {
    ASSERT_EQ(values.size(), static_cast<std::size_t>(store.Columns()));
    for (int i = 0; i < store.Columns(); ++i) {
        EXPECT_EQ(store.Field(row, i), values[static_cast<std::size_t>(i)]) << "column " << i;
    }
}

TEST(RowStore, KeepsEveryFieldOfRowsOfAnyWidth) {
    for (const int columns : {1, 15, 16, 17, 33, 157}) {
        SCOPED_TRACE(columns);
        RowStore store(columns);
        const std::vector<std::string> first = SampleRow(columns, 0);
        const std::vector<std::string> second = SampleRow(columns, 3);
        EXPECT_EQ(AppendLine(store, first), 0u);
        EXPECT_EQ(AppendLine(store, second), 1u);
        ExpectRow(store, 0, first);
        ExpectRow(store, 1, second);
    }
}

TEST(RowStore, ShortLinesLeaveTheOtherPositions) {
    RowStore store(40);
    const std::uint32_t row = AppendLine(store, {"k", "a"});
    std::vector<std::string> expected(40);
    expected[0] = "k";
    expected[1] = "a";
    ExpectRow(store, row, expected);

    std::vector<std::string> full = SampleRow(40, 1);
    OverwriteLine(store, row, full);
    // The field read last (position 1) lay in the row before: reading on from
    // there must find the overwritten row.
    EXPECT_EQ(store.Field(row, 2), full[2]);
    ExpectRow(store, row, full);

    // A shorter line overwrites its own positions only, an empty field included.
    const std::string_view keptView = store.Field(row, 30);
    OverwriteLine(store, row, {"k", "", "new"});
    full[0] = "k";
    full[1] = "";
    full[2] = "new";
    ExpectRow(store, row, full);
    EXPECT_EQ(keptView, full[30]);  // earlier views stay readable

    // A table without key columns starts with a row of "" that lines overwrite.
    const std::uint32_t empty = store.AppendEmpty();
    ExpectRow(store, empty, std::vector<std::string>(40));
    OverwriteLine(store, empty, {"x"});
    EXPECT_EQ(store.Field(empty, 0), "x");
    EXPECT_EQ(store.Field(empty, 39), "");
}

TEST(RowStore, EarlierRowsSurviveManyLaterOnes) {
    RowStore store(20);
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < 3000; ++r) {
        std::vector<std::string> values;
        for (int c = 0; c < 20; ++c) values.push_back(std::to_string(r * 100 + c));
        if (r % 500 == 0) values[5] = std::string(70000, 'z');  // larger than a block
        AppendLine(store, values);
        rows.push_back(values);
    }
    ASSERT_EQ(store.Size(), rows.size());
    for (std::uint32_t r = 0; r < rows.size(); r += 7) ExpectRow(store, r, rows[r]);
    ExpectRow(store, 2999, rows[2999]);
}

// Also when room is made ahead in the middle, for fewer ids than there are
// already or for many more.
TEST(IdHashTable, FindsEveryIdAlsoWhenAllHashesCollide) {
    std::vector<std::string> texts;
    for (int i = 0; i < 5000; ++i) texts.push_back("E" + std::to_string(i * 7919));
    for (const bool collide : {false, true}) {
        SCOPED_TRACE(collide);
        IdHashTable table;
        const auto hashOf = [&](const std::string& text) {
            return collide && text.size() % 2 == 0 ? std::size_t(42)
                                                   : std::hash<std::string>{}(text);
        };
        const std::size_t count = collide ? 400 : texts.size();
        for (std::size_t i = 0; i < count; ++i) {
            if (i == count / 3) table.Reserve(10);
            if (i == count / 2) table.Reserve(count * 3);
            EXPECT_EQ(table.Insert(hashOf(texts[i])), i);
        }
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint32_t found = table.Find(
                hashOf(texts[i]), [&](std::uint32_t id) { return texts[id] == texts[i]; });
            EXPECT_EQ(found, i);
        }
        const std::string absent = "nobody";
        EXPECT_EQ(table.Find(hashOf(absent), [&](std::uint32_t id) { return texts[id] == absent; }),
                  kNoRow);
    }
}

std::vector<std::uint32_t> GroupRows(const RowGroups& groups, std::string_view value) {
    std::vector<std::uint32_t> rows;
    std::uint32_t cursor = 0;
    for (std::uint32_t r = groups.FirstFrom(value, cursor); r != kNoRow; r = groups.Next(r)) {
        rows.push_back(r);
    }
    return rows;
}

TEST(RowGroups, RowsStayInRowOrderWhenTheyMove) {
    RowGroups groups;
    const char* values[] = {"A", "B", "A", "C", "B", "A"};
    for (std::uint32_t r = 0; r < 6; ++r) groups.Add(r, values[r]);
    EXPECT_EQ(GroupRows(groups, "A"), (std::vector<std::uint32_t>{0, 2, 5}));
    EXPECT_EQ(GroupRows(groups, "B"), (std::vector<std::uint32_t>{1, 4}));
    EXPECT_TRUE(GroupRows(groups, "D").empty());
    EXPECT_TRUE(GroupRows(groups, "").empty());

    groups.Move(2, "B");  // from the middle into the middle
    EXPECT_EQ(GroupRows(groups, "A"), (std::vector<std::uint32_t>{0, 5}));
    EXPECT_EQ(GroupRows(groups, "B"), (std::vector<std::uint32_t>{1, 2, 4}));
    groups.Move(5, "C");  // the last row of A after the only row of C
    groups.Move(0, "C");  // the first row of A before it
    EXPECT_TRUE(GroupRows(groups, "A").empty());
    EXPECT_EQ(GroupRows(groups, "C"), (std::vector<std::uint32_t>{0, 3, 5}));
    groups.Move(3, "C");  // unchanged value
    EXPECT_EQ(GroupRows(groups, "C"), (std::vector<std::uint32_t>{0, 3, 5}));

    groups.Add(6, "A");  // an emptied group takes new rows again
    groups.Add(7, "C");  // appended after the moved rows
    EXPECT_EQ(GroupRows(groups, "A"), (std::vector<std::uint32_t>{6}));
    EXPECT_EQ(GroupRows(groups, "C"), (std::vector<std::uint32_t>{0, 3, 5, 7}));
    groups.Move(7, "E");
    groups.Add(8, "C");  // the tail of C is right after the move of its last row
    EXPECT_EQ(GroupRows(groups, "C"), (std::vector<std::uint32_t>{0, 3, 5, 8}));
}

}  // namespace
}  // namespace kw39
