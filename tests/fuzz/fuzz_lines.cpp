// Line splitting, header lines, CSV fields and the encoding check over any
// bytes, read in small pieces of a size taken from the input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "pca/header_line.h"
#include "pca/text_encoding_check.h"
#include "platform/line_reader.h"
#include "platform/sjis.h"

namespace {

using kw39::fuzz::Require;

// Hands out the bytes in pieces no larger than asked for.
class BytesFile : public kw39::platform::InputFile {
  public:
    explicit BytesFile(std::string_view bytes) : m_bytes(bytes) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min(size, m_bytes.size() - m_nPos);
        m_bytes.copy(buffer, n, m_nPos);
        m_nPos += n;
        return n;
    }

  private:
    std::string_view m_bytes;
    std::size_t m_nPos = 0;
};

std::vector<std::string> ReadLines(std::string_view bytes, std::size_t chunk) {
    BytesFile file(bytes);
    kw39::platform::LineReader reader(file, chunk);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.Next(line)) {
        lines.emplace_back(line);
        Require(reader.LineNumber() == lines.size(), "line numbers count the lines");
    }
    return lines;
}

void CheckLine(std::string_view line) {
    const std::string_view trimmed = kw39::platform::TrimTrailingBlanks(line);
    if (kw39::IsHeaderLine(line)) {
        Require(!trimmed.empty() && trimmed[0] == '[', "a header line starts with [");
        const std::string code = kw39::HeaderTableCode(line);
        Require(code.size() + 2 <= trimmed.size(), "the code is the line without its brackets");
    }
    std::vector<std::string> fields;
    kw39::SplitCsvLine(line, fields);
    Require(!fields.empty(), "a line has at least one field");
    std::size_t bytes = 0;
    for (const std::string& field : fields) bytes += field.size();
    // Quotes are dropped, commas either kept or turned into field ends.
    Require(bytes + fields.size() - 1 <= trimmed.size(), "fields are no longer than the line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t chunk = 1 + data[0] % 16;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

    const std::vector<std::string> lines = ReadLines(bytes, chunk);
    Require(lines == ReadLines(bytes, 1 << 16), "the piece size does not change the lines");
    std::size_t total = 0;
    for (const std::string& line : lines) {
        total += line.size();
        CheckLine(line);
    }
    Require(total <= bytes.size(), "lines hold no more than the file");

    kw39::TextEncodingCheck whole;
    whole.Feed(bytes);
    kw39::TextEncodingCheck pieces;
    for (std::size_t at = 0; at < bytes.size(); at += chunk) pieces.Feed(bytes.substr(at, chunk));
    const kw39::TextVerdict a = whole.Verdict();
    const kw39::TextVerdict b = pieces.Verdict();
    Require(a.problem == b.problem && a.nLine == b.nLine,
            "the piece size does not change the verdict");
    return 0;
}
