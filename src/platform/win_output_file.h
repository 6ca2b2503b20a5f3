// A file written through a Windows handle.
#pragma once

#include <algorithm>
#include <string>

#include "platform/file_system.h"
#include "platform/io_error.h"
#include "platform/win_handle.h"

namespace kw39::platform {

class WinOutputFile : public OutputFile {
  public:
    WinOutputFile(ScopedHandle handle, std::string path)
        : m_handle(std::move(handle)), m_strPath(std::move(path)) {}
    void Write(const char* data, std::size_t size) override {
        // Largest piece handed to WriteFile at once.
        constexpr std::size_t kMaxIo = 1u << 30;
        while (size > 0) {
            DWORD put = 0;
            const DWORD ask = static_cast<DWORD>(std::min(size, kMaxIo));
            if (!WriteFile(m_handle.Get(), data, ask, &put, nullptr) || put == 0)
                throw WriteError(m_strPath);
            data += put;
            size -= put;
        }
    }
    void Close() override {
        if (!m_handle.Valid()) return;
        HANDLE handle = m_handle.Release();
        // The data must be on disk before the file may replace an older one.
        const bool flushed = FlushFileBuffers(handle) != 0;
        const bool closed = CloseHandle(handle) != 0;
        if (!flushed || !closed) throw WriteError(m_strPath);
    }

  private:
    ScopedHandle m_handle;
    std::string m_strPath;
};

}  // namespace kw39::platform
