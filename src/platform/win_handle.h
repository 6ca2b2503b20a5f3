// Windows handles of the file system: owned, closed when their owner goes.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/file_system.h"

namespace kw39::platform {

class ScopedHandle {
  public:
    explicit ScopedHandle(HANDLE handle = INVALID_HANDLE_VALUE) : m_handle(handle) {}
    ~ScopedHandle() { Reset(); }
    ScopedHandle(ScopedHandle&& other) noexcept : m_handle(other.Release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    bool Valid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    HANDLE Get() const { return m_handle; }
    HANDLE Release() {
        HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return handle;
    }
    void Reset(HANDLE handle = INVALID_HANDLE_VALUE) {
        if (Valid()) CloseHandle(m_handle);
        m_handle = handle;
    }

  private:
    HANDLE m_handle;
};

// Every sharing allowed: a file held open by the payroll package can still be
// looked at.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opens `systemPath` (see SystemPath) with `access` for looking at it. With
// `follow` false a link is opened itself, not what it names.
ScopedHandle OpenForQuery(const std::wstring& systemPath, bool follow, DWORD access = 0);

// Volume serial number and file index of an open file.
std::optional<FileIdentity> IdentityOf(HANDLE handle);

// True when the open file or link belongs to the user running the program.
bool OwnedByCurrentUser(HANDLE handle);

// A file on a disk, not a console, a device or a pipe.
bool IsDiskFile(HANDLE handle);

// The path of the open file in its usual spelling ("C:\...", "\\server\...").
std::optional<std::string> FinalPath(HANDLE handle);

// The destination of a file to be written at `path` (see
// FileSystem::OpenDestination).
DestinationResult OpenWinDestination(const std::string& path);

}  // namespace kw39::platform
