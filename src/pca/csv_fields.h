// The fields of one CSV line held in one reusable buffer: the reader splits
// millions of lines and must not allocate a string per field.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kw39 {

class CsvFields {
  public:
    std::size_t size() const { return m_aEnds.size(); }
    std::string_view operator[](std::size_t i) const {
        const std::size_t begin = i == 0 ? 0 : m_aEnds[i - 1];
        return std::string_view(m_strBytes).substr(begin, m_aEnds[i] - begin);
    }

    // Forgets every field but keeps the memory for the next line.
    void clear() {
        m_strBytes.clear();
        m_aEnds.clear();
    }
    void AppendByte(char c) { m_strBytes.push_back(c); }
    void AppendBytes(std::string_view bytes) { m_strBytes.append(bytes); }
    void EndField() { m_aEnds.push_back(m_strBytes.size()); }

  private:
    std::string m_strBytes;            // all fields, one after the other
    std::vector<std::size_t> m_aEnds;  // end offset of each field in m_strBytes
};

// Splits one CSV line into `fields` by exactly the rules of SplitCsvLine
// (header_line.h), which is built on it.
void SplitCsvFields(std::string_view line, CsvFields& fields);

}  // namespace kw39
