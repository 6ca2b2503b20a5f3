// Text-mode line reading with the same result on every platform: a carriage
// return directly before a line feed is dropped and a byte 0x1A ends the file.
// Lines are returned whole, however long they are.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace kw39::platform {

class LineReader {
  public:
    explicit LineReader(InputFile& file, std::size_t chunkSize = 1 << 16);

    // Sets `line` to the next line without its line feed; false at the end of
    // the file. The view stays valid until the next call. Throws IoError.
    bool Next(std::string_view& line);

    // 1-based number of the line returned last (0 before the first).
    std::size_t LineNumber() const { return m_nLine; }

  private:
    bool Fill();

    InputFile& m_file;
    std::string m_buffer;
    std::size_t m_nBegin = 0;  // start of unreturned data in m_buffer
    std::size_t m_nEnd = 0;    // end of valid data in m_buffer
    std::size_t m_nChunk;
    std::size_t m_nLine = 0;
    bool m_bEof = false;
    // Offset in m_buffer of the first byte 0x1A read, found once per read;
    // npos while none was read.
    std::size_t m_nCtrlZ = std::string::npos;
};

}  // namespace kw39::platform
