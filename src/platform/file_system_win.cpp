// Windows file system. Paths arrive as CP932 and are handed to the wide-character
// API as UTF-16, so they mean the same file under any system code page. A path
// that is not valid CP932 names no file.
#include <windows.h>

#include <algorithm>
#include <array>
#include <climits>

#include "platform/encoding_win.h"
#include "platform/file_system.h"
#include "platform/io_error.h"
#include "platform/sjis.h"

namespace kw39::platform {

namespace {

class ScopedHandle {
  public:
    explicit ScopedHandle(HANDLE handle = INVALID_HANDLE_VALUE) : m_handle(handle) {}
    ~ScopedHandle() {
        if (Valid()) CloseHandle(m_handle);
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    bool Valid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    HANDLE Get() const { return m_handle; }
    HANDLE Release() {
        HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return handle;
    }

  private:
    HANDLE m_handle;
};

class ScopedFind {
  public:
    explicit ScopedFind(HANDLE handle) : m_handle(handle) {}
    ~ScopedFind() {
        if (Valid()) FindClose(m_handle);
    }
    ScopedFind(const ScopedFind&) = delete;
    ScopedFind& operator=(const ScopedFind&) = delete;
    bool Valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }

  private:
    HANDLE m_handle;
};

// Largest piece handed to ReadFile / WriteFile at once.
constexpr std::size_t kMaxIo = 1u << 30;

class WinInputFile : public InputFile {
  public:
    WinInputFile(HANDLE handle, std::string path) : m_handle(handle), m_strPath(std::move(path)) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        DWORD got = 0;
        const DWORD ask = static_cast<DWORD>(std::min(size, kMaxIo));
        if (!ReadFile(m_handle.Get(), buffer, ask, &got, nullptr)) throw ReadError(m_strPath);
        return got;
    }

  private:
    ScopedHandle m_handle;
    std::string m_strPath;
};

class WinOutputFile : public OutputFile {
  public:
    WinOutputFile(HANDLE handle, std::string path) : m_handle(handle), m_strPath(std::move(path)) {}
    void Write(const char* data, std::size_t size) override {
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

bool EndsWithCsv(const std::string& name) {
    return name.size() >= 4 && ToUpperSjis(name.substr(name.size() - 4)) == ".CSV";
}

class WinFileSystem : public FileSystem {
  public:
    std::optional<FileStatus> Stat(const std::string& path) override {
        if (path.empty() || path.size() >= kMaxPathBytes) return std::nullopt;
        const auto wide = Cp932ToWide(path);
        if (!wide) return std::nullopt;
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExW(wide->c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
        const bool isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const std::uint64_t size =
            (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        return FileStatus{isDirectory, isDirectory ? 0 : size};
    }

    std::unique_ptr<InputFile> OpenRead(const std::string& path) override {
        const auto wide = Cp932ToWide(path);
        if (!wide || wide->empty()) return nullptr;
        // Other programs may keep the file open, as the payroll package may.
        ScopedHandle handle(CreateFileW(wide->c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!handle.Valid()) return nullptr;
        return std::make_unique<WinInputFile>(handle.Release(), path);
    }

    std::unique_ptr<OutputFile> Create(const std::string& path) override {
        const auto wide = Cp932ToWide(path);
        if (!wide || wide->empty()) throw WriteError(path);
        ScopedHandle handle(CreateFileW(wide->c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!handle.Valid()) throw WriteError(path);
        return std::make_unique<WinOutputFile>(handle.Release(), path);
    }

    bool ProbeExclusiveWrite(const std::string& path) override {
        const auto wide = Cp932ToWide(path);
        if (!wide || wide->empty()) return false;
        // No sharing: fails while any other program has the file open. A folder
        // cannot be opened this way either.
        const ScopedHandle handle(CreateFileW(wide->c_str(), GENERIC_WRITE, 0, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return handle.Valid();
    }

    std::vector<std::string> ListCsvFiles(const std::string& folder) override {
        std::vector<std::string> names;
        const auto wideFolder = Cp932ToWide(folder);
        if (!wideFolder) return names;
        const std::wstring pattern = wideFolder->empty() ? L"*.CSV" : *wideFolder + L"\\*.CSV";
        WIN32_FIND_DATAW entry{};
        const ScopedFind find(FindFirstFileW(pattern.c_str(), &entry));
        if (!find.Valid()) return names;
        do {
            // A name without a CP932 spelling keeps a "?" in its place: it can
            // still be reported, but never opens another file.
            const std::string name = WideToCp932Lossy(entry.cFileName);
            // Wildcards also match 8.3 short names ("DATA~1.CSV" of "data.csvx").
            if (EndsWithCsv(name)) names.push_back(name);
        } while (FindNextFileW(find.Get(), &entry));
        return names;
    }

    void Replace(const std::string& from, const std::string& to) override {
        const auto wideFrom = Cp932ToWide(from);
        const auto wideTo = Cp932ToWide(to);
        if (!wideFrom || !wideTo ||
            !MoveFileExW(wideFrom->c_str(), wideTo->c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            throw WriteError(to);
    }

    void Remove(const std::string& path) noexcept override {
        if (const auto wide = Cp932ToWide(path)) DeleteFileW(wide->c_str());
    }

    bool SameFile(const std::string& a, const std::string& b) override {
        if (a == b) return true;
        const auto first = FileIdentity(a);
        const auto second = FileIdentity(b);
        return first && second && *first == *second;
    }

  private:
    // Volume serial number and file index: the same pair is the same file.
    static std::optional<std::array<DWORD, 3>> FileIdentity(const std::string& path) {
        const auto wide = Cp932ToWide(path);
        if (!wide || wide->empty()) return std::nullopt;
        // No access asked for, and every sharing allowed: a file held open by
        // the payroll package can still be identified.
        ScopedHandle handle(
            CreateFileW(wide->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!handle.Valid()) return std::nullopt;
        BY_HANDLE_FILE_INFORMATION info{};
        if (!GetFileInformationByHandle(handle.Get(), &info)) return std::nullopt;
        return std::array<DWORD, 3>{info.dwVolumeSerialNumber, info.nFileIndexHigh,
                                    info.nFileIndexLow};
    }
};

}  // namespace

FileSystem& RealFileSystem() {
    static WinFileSystem fs;
    return fs;
}

}  // namespace kw39::platform
