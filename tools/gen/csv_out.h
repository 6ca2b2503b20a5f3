// Writing one PCA export file: sections opened by "[code]", CSV data lines,
// CR LF line ends, Shift_JIS bytes as given. Output is collected in a large
// buffer and written in big blocks, so even a very large set is written at
// disk speed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace kw39::gen {

class CsvOut {
  public:
    // Creates (or truncates) the file. Throws std::runtime_error.
    explicit CsvOut(std::string path);
    ~CsvOut();
    CsvOut(const CsvOut&) = delete;
    CsvOut& operator=(const CsvOut&) = delete;

    // Starts the section of a table; every following line must carry exactly
    // `columns` fields (a line with more would be rejected by the reader, and
    // fewer would leave columns unfilled).
    void Section(std::string_view code, int columns);

    // Text field, always quoted as PCA exports text; commas inside are kept.
    // The text must not contain a double quote.
    void Text(std::string_view value);
    // Field written as it stands (codes, dates, decimals).
    void Raw(std::string_view value);
    void Number(long long value);
    // A value given in hundredths, written with two decimals ("160.50").
    void Hundredths(long long value);
    // `count` fields holding 0.
    void Zeros(int count);
    // Ends the data line. Throws std::logic_error when its field count is not
    // the section's column count.
    void EndLine();

    // Writes what is buffered and closes the file; a failed write or close
    // throws std::runtime_error. A file destroyed without Close() lacks its tail.
    void Close();

    // Bytes handed to the file so far (all of them after Close) and lines written.
    std::uint64_t Bytes() const { return m_nBytes; }
    std::uint64_t Lines() const { return m_nLines; }

  private:
    void Separator();
    void FlushIfFull();
    void Flush();

    std::string m_strPath;
    std::FILE* m_pFile = nullptr;
    std::string m_buffer;
    std::string m_strSection;
    int m_nColumns = 0;
    int m_nFields = 0;
    std::uint64_t m_nBytes = 0;
    std::uint64_t m_nLines = 0;
};

}  // namespace kw39::gen
