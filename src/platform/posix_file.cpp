#include "platform/posix_file.h"

#include <fcntl.h>

#include <cerrno>

#include "platform/io_error.h"

namespace kw39::platform {

void PosixOutputFile::Write(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t put = ::write(m_fd.Get(), data, size);
        if (put < 0) {
            if (errno == EINTR) continue;
            throw WriteError(m_strPath);
        }
        data += put;
        size -= static_cast<std::size_t>(put);
        m_nWritten += static_cast<std::uint64_t>(put);
    }
    StartWriteback();
}

void PosixOutputFile::Close() {
    const int fd = m_fd.Release();
    if (fd < 0) return;
    if (m_beforeSync) m_beforeSync(fd);
    // The data must be on disk before the file may replace an older one.
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
    const bool closed = ::close(fd) == 0;
    if (!synced || !closed) throw WriteError(m_strPath);
}

void PosixOutputFile::StartWriteback() noexcept {
#ifdef __linux__
    constexpr std::uint64_t kStride = 8 * 1024 * 1024;
    if (m_nWritten - m_nWrittenBack < kStride) return;
    ::sync_file_range(m_fd.Get(), static_cast<off_t>(m_nWrittenBack),
                      static_cast<off_t>(m_nWritten - m_nWrittenBack), SYNC_FILE_RANGE_WRITE);
    m_nWrittenBack = m_nWritten;
#endif
}

}  // namespace kw39::platform
