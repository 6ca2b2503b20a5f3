#include "platform/line_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/io_error.h"

namespace kw39::platform {
namespace {

// Hands out `content` in reads of at most `maxRead` bytes, as a pipe or a slow
// disk may do.
class StringInputFile : public InputFile {
  public:
    StringInputFile(std::string content, std::size_t maxRead)
        : m_content(std::move(content)), m_maxRead(maxRead) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min({size, m_maxRead, m_content.size() - m_pos});
        std::memcpy(buffer, m_content.data() + m_pos, n);
        m_pos += n;
        return n;
    }

  private:
    std::string m_content;
    std::size_t m_maxRead;
    std::size_t m_pos = 0;
};

class FailingInputFile : public InputFile {
  public:
    std::size_t Read(char*, std::size_t) override { throw ReadError("broken.csv"); }
};

std::vector<std::string> ReadAll(const std::string& content, std::size_t chunk,
                                 std::size_t maxRead) {
    StringInputFile file(content, maxRead);
    LineReader reader(file, chunk);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.Next(line)) {
        lines.emplace_back(line);
        EXPECT_EQ(reader.LineNumber(), lines.size());
    }
    EXPECT_FALSE(reader.Next(line));  // stays at the end
    return lines;
}

TEST(LineReader, TextModeRulesWithEveryChunkSize) {
    const std::string longLine(10000, 'x');
    const std::string longerLine(100000, 'y');
    struct Case {
        const char* name;
        std::string content;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"crlf", "a\r\nb\r\n", {"a", "b"}},
        {"lf", "a\nb\n", {"a", "b"}},
        {"lone cr kept", "a\rb\r\n", {"a\rb"}},
        {"cr at the very end", "a\r", {"a\r"}},
        {"no final lf", "a\nb", {"a", "b"}},
        {"empty file", "", {}},
        {"empty lines", "\n\r\na\n\n", {"", "", "a", ""}},
        {"ctrl-z ends the file",
         "a\nb\x1A"
         "c\nd\n",
         {"a", "b"}},
        {"ctrl-z at a line start",
         "a\n\x1A"
         "b\n",
         {"a"}},
        {"ctrl-z first",
         "\x1A"
         "a\n",
         {}},
        {"ctrl-z after crlf at the end", "a\r\n\x1A", {"a"}},
        {"double-byte text", "社員\r\nー表\n", {"社員", "ー表"}},
        {"long lines", longLine + "\r\n" + longerLine + "\nz", {longLine, longerLine, "z"}},
    };
    const std::size_t chunks[] = {1, 2, 3, 4096, 1 << 16};
    for (const Case& c : cases) {
        for (const std::size_t chunk : chunks) {
            for (const std::size_t maxRead : {std::size_t(1), std::size_t(5000), SIZE_MAX}) {
                EXPECT_EQ(ReadAll(c.content, chunk, maxRead), c.lines)
                    << c.name << ", chunk " << chunk << ", reads of " << maxRead;
            }
        }
    }
}

// A line beyond the limit is read to its end but comes back cut (to the limit
// and at most one chunk more) and marked; the lines around it are whole.
TEST(LineReader, ALineBeyondTheLimitIsMarkedAndCut) {
    for (const std::size_t chunk : {std::size_t{1}, std::size_t{4}, std::size_t{64}}) {
        SCOPED_TRACE(chunk);
        StringInputFile file("short\r\n" + std::string(100, 'x') + "\r\n0123456789\nend" +
                                 std::string(30, 'y') + "\x1A",
                             chunk);
        LineReader reader(file, chunk, 10);
        std::string_view line;
        ASSERT_TRUE(reader.Next(line));
        EXPECT_EQ(line, "short");
        EXPECT_FALSE(reader.Overlong());
        ASSERT_TRUE(reader.Next(line));
        EXPECT_TRUE(reader.Overlong());
        EXPECT_LE(line.size(), 10 + chunk + 1);
        EXPECT_EQ(line.substr(0, 10), std::string(10, 'x'));
        ASSERT_TRUE(reader.Next(line));
        EXPECT_EQ(line, "0123456789");  // exactly the limit is whole
        EXPECT_FALSE(reader.Overlong());
        ASSERT_TRUE(reader.Next(line));
        EXPECT_TRUE(reader.Overlong());  // the last line, ended by 0x1A
        EXPECT_EQ(reader.LineNumber(), 4u);
        EXPECT_FALSE(reader.Next(line));
    }
}

TEST(LineReader, ChunkSizeZeroStillReads) {
    EXPECT_EQ(ReadAll("a\nb\n", 0, SIZE_MAX), (std::vector<std::string>{"a", "b"}));
}

TEST(LineReader, ReadFailureIsAnIoError) {
    FailingInputFile file;
    LineReader reader(file);
    std::string_view line;
    try {
        reader.Next(line);
        FAIL() << "no IoError";
    } catch (const IoError& e) {
        EXPECT_EQ(e.Path(), "broken.csv");
        EXPECT_EQ(std::string(e.what()), "ファイルの読み込みに失敗しました。\nbroken.csv");
    }
}

}  // namespace
}  // namespace kw39::platform
