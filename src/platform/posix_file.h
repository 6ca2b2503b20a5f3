// POSIX descriptors shared by the file system and the write destinations.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <functional>
#include <string>

#include "platform/file_system.h"

namespace kw39::platform {

class FdHolder {
  public:
    explicit FdHolder(int fd = -1) : m_fd(fd) {}
    ~FdHolder() {
        if (m_fd >= 0) ::close(m_fd);
    }
    FdHolder(const FdHolder&) = delete;
    FdHolder& operator=(const FdHolder&) = delete;
    int Get() const { return m_fd; }
    int Release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void Reset(int fd) {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = fd;
    }

  private:
    int m_fd;
};

// A file written through its descriptor. Closing it runs `beforeSync` on the
// descriptor (to set its permissions), puts the data on disk and closes it.
class PosixOutputFile : public OutputFile {
  public:
    PosixOutputFile(int fd, std::string path, std::function<void(int)> beforeSync = {})
        : m_fd(fd), m_strPath(std::move(path)), m_beforeSync(std::move(beforeSync)) {}
    void Write(const char* data, std::size_t size) override;
    void Close() override;

  private:
    // Asks the system to start putting what was written on disk every few
    // megabytes, so that the disk works while the program goes on and the
    // final fsync waits only for the last of it. A hint only: fsync decides.
    void StartWriteback() noexcept;

    FdHolder m_fd;
    std::string m_strPath;
    std::function<void(int)> m_beforeSync;
    std::uint64_t m_nWritten = 0;      // bytes written so far
    std::uint64_t m_nWrittenBack = 0;  // bytes whose writeback was started
};

// The destination of a file to be written at `path` (native bytes).
DestinationResult OpenPosixDestination(const std::string& path);

}  // namespace kw39::platform
