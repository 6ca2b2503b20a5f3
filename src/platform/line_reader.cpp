#include "platform/line_reader.h"

#include <cstring>

namespace kw39::platform {

namespace {
constexpr char kCtrlZ = '\x1A';
}

LineReader::LineReader(InputFile& file, std::size_t chunkSize, std::size_t maxLine)
    : m_file(file), m_nChunk(chunkSize == 0 ? 1 : chunkSize), m_nMaxLine(maxLine) {}

// Makes room and reads one more chunk after the unreturned data; false when the
// file has no more bytes.
bool LineReader::Fill() {
    if (m_bEof) return false;
    if (m_nBegin > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_nBegin, m_nEnd - m_nBegin);
        m_nEnd -= m_nBegin;
        m_nBegin = 0;
    }
    if (m_buffer.size() < m_nEnd + m_nChunk) m_buffer.resize(m_nEnd + m_nChunk);
    const std::size_t got = m_file.Read(m_buffer.data() + m_nEnd, m_nChunk);
    if (got == 0) {
        m_bEof = true;
        return false;
    }
    m_nRead += got;
    if (const void* z = std::memchr(m_buffer.data() + m_nEnd, kCtrlZ, got)) {
        m_nCtrlZ = static_cast<std::size_t>(static_cast<const char*>(z) - m_buffer.data());
    }
    m_nEnd += got;
    return true;
}

bool LineReader::Next(std::string_view& line) {
    m_bOverlong = false;
    std::size_t scanned = 0;  // bytes after m_nBegin known to hold no LF
    for (;;) {
        const char* base = m_buffer.data() + m_nBegin;
        // Only the bytes before the end-of-file byte count.
        const std::size_t avail = (m_nCtrlZ == std::string::npos ? m_nEnd : m_nCtrlZ) - m_nBegin;
        const char* lf =
            static_cast<const char*>(std::memchr(base + scanned, '\n', avail - scanned));
        if (lf) {
            std::size_t len = static_cast<std::size_t>(lf - base);
            m_bOverlong = m_bOverlong || len > m_nMaxLine;
            m_nBegin += len + 1;
            if (len > 0 && base[len - 1] == '\r') --len;
            line = std::string_view(base, len);
            ++m_nLine;
            return true;
        }
        if (m_nCtrlZ != std::string::npos) {
            // The end-of-file byte: whatever precedes it is the last line.
            m_bEof = true;
            m_nEnd = m_nCtrlZ;
            m_nCtrlZ = std::string::npos;
            m_buffer.resize(m_nEnd);
            if (avail == 0) return false;
            m_bOverlong = m_bOverlong || avail > m_nMaxLine;
            line = std::string_view(base, avail);
            m_nBegin = m_nEnd;
            ++m_nLine;
            return true;
        }
        if (avail > m_nMaxLine) {
            // Beyond the limit the bytes of the line are dropped as they come;
            // only its line feed (or the end of the file) is looked for.
            m_bOverlong = true;
            m_nEnd = m_nBegin + m_nMaxLine;
            scanned = m_nMaxLine;
        } else {
            scanned = avail;
        }
        if (!Fill()) {
            if (m_nBegin == m_nEnd) return false;
            m_bOverlong = m_bOverlong || m_nEnd - m_nBegin > m_nMaxLine;
            line = std::string_view(m_buffer.data() + m_nBegin, m_nEnd - m_nBegin);
            m_nBegin = m_nEnd;
            ++m_nLine;
            return true;
        }
    }
}

}  // namespace kw39::platform
