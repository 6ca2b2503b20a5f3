// Text-mode line reading with the same result on every platform: a carriage
// return directly before a line feed is dropped and a byte 0x1A ends the file.
// Lines are returned whole up to a limit; a longer line is marked as such and
// comes back cut, so that memory never grows with the length of one line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace kw39::platform {

// The longest line returned whole: 2 MiB. A data line of the export holds at
// most 157 values; even if each were as long as a value may be (4095 bytes)
// and quoted with every byte a doubled quote, the line would stay below it.
inline constexpr std::size_t kMaxLineBytes = std::size_t{2} << 20;

class LineReader {
  public:
    explicit LineReader(InputFile& file, std::size_t chunkSize = 1 << 16,
                        std::size_t maxLine = kMaxLineBytes);

    // Sets `line` to the next line without its line feed; false at the end of
    // the file. The view stays valid until the next call. Throws IoError. A
    // line longer than the limit is read to its end all the same, but only
    // its first bytes (the limit, and at most one chunk more) are returned,
    // and Overlong() tells so.
    bool Next(std::string_view& line);

    // Whether the line returned last was longer than the limit.
    bool Overlong() const { return m_bOverlong; }

    // 1-based number of the line returned last (0 before the first).
    std::size_t LineNumber() const { return m_nLine; }

    // Where the next line starts, in bytes from where the file stood when
    // reading began.
    std::uint64_t Offset() const { return m_nRead - (m_nEnd - m_nBegin); }

  private:
    bool Fill();

    InputFile& m_file;
    std::string m_buffer;
    std::size_t m_nBegin = 0;  // start of unreturned data in m_buffer
    std::size_t m_nEnd = 0;    // end of valid data in m_buffer
    std::size_t m_nChunk;
    std::size_t m_nMaxLine;
    std::size_t m_nLine = 0;
    std::uint64_t m_nRead = 0;  // bytes read from the file
    bool m_bOverlong = false;
    bool m_bEof = false;
    // Offset in m_buffer of the first byte 0x1A read, found once per read;
    // npos while none was read.
    std::size_t m_nCtrlZ = std::string::npos;
};

}  // namespace kw39::platform
