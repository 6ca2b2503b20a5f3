#include "csv_out.h"

#include <charconv>
#include <stdexcept>

namespace kw39::gen {

namespace {
constexpr std::size_t kBufferSize = std::size_t{4} << 20;
}

CsvOut::CsvOut(std::string path) : m_strPath(std::move(path)) {
    m_pFile = std::fopen(m_strPath.c_str(), "wb");
    if (!m_pFile) throw std::runtime_error("cannot create " + m_strPath);
    // Our own buffer does the batching; stdio's would only copy twice.
    std::setvbuf(m_pFile, nullptr, _IONBF, 0);
    m_buffer.reserve(kBufferSize + 8192);
}

CsvOut::~CsvOut() {
    if (m_pFile) std::fclose(m_pFile);
}

void CsvOut::Section(std::string_view code, int columns) {
    if (m_nFields != 0) throw std::logic_error("section started inside a line of " + m_strPath);
    m_buffer += '[';
    m_buffer += code;
    m_buffer += "]\r\n";
    m_strSection = code;
    m_nColumns = columns;
    ++m_nLines;
    FlushIfFull();
}

void CsvOut::Separator() {
    if (m_nFields++ > 0) m_buffer += ',';
}

void CsvOut::Text(std::string_view value) {
    if (value.find('"') != std::string_view::npos)
        throw std::logic_error("double quote in generated text");
    Separator();
    m_buffer += '"';
    m_buffer += value;
    m_buffer += '"';
}

void CsvOut::Raw(std::string_view value) {
    Separator();
    m_buffer += value;
}

void CsvOut::Number(long long value) {
    Separator();
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    m_buffer.append(digits, result.ptr);
}

void CsvOut::Hundredths(long long value) {
    const bool negative = value < 0;
    const long long magnitude = negative ? -value : value;
    Separator();
    if (negative) m_buffer += '-';
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, magnitude / 100);
    m_buffer.append(digits, result.ptr);
    const int cents = static_cast<int>(magnitude % 100);
    m_buffer += '.';
    m_buffer += static_cast<char>('0' + cents / 10);
    m_buffer += static_cast<char>('0' + cents % 10);
}

void CsvOut::Zeros(int count) {
    for (int i = 0; i < count; ++i) {
        Separator();
        m_buffer += '0';
    }
}

void CsvOut::EndLine() {
    if (m_nFields != m_nColumns) {
        throw std::logic_error("line of table " + m_strSection + " has " +
                               std::to_string(m_nFields) + " fields instead of " +
                               std::to_string(m_nColumns));
    }
    m_buffer += "\r\n";
    m_nFields = 0;
    ++m_nLines;
    FlushIfFull();
}

void CsvOut::FlushIfFull() {
    if (m_buffer.size() >= kBufferSize) Flush();
}

void CsvOut::Flush() {
    if (m_buffer.empty()) return;
    if (std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_pFile) != m_buffer.size())
        throw std::runtime_error("cannot write " + m_strPath);
    m_nBytes += m_buffer.size();
    m_buffer.clear();
}

void CsvOut::Close() {
    if (m_nFields != 0) throw std::logic_error("unfinished line in " + m_strPath);
    Flush();
    std::FILE* file = m_pFile;
    m_pFile = nullptr;
    if (std::fclose(file) != 0) throw std::runtime_error("cannot close " + m_strPath);
}

}  // namespace kw39::gen
