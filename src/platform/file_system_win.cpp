// Windows file system. Paths arrive as CP932 and are handed to the wide-character
// API as UTF-16, so they mean the same file under any system code page. A path
// that is not valid CP932 names no file.
#include <windows.h>
// After windows.h, which it needs.
#include <aclapi.h>

#include <algorithm>
#include <array>
#include <climits>
#include <vector>

#include "platform/encoding.h"
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
    bool Rewind() override {
        LARGE_INTEGER start{};
        return SetFilePointerEx(m_handle.Get(), start, nullptr, FILE_BEGIN) != 0;
    }
    std::optional<FileIdentity> Identity() const override {
        BY_HANDLE_FILE_INFORMATION info{};
        if (!GetFileInformationByHandle(m_handle.Get(), &info)) return std::nullopt;
        return FileIdentity{
            info.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
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

// True when the file belongs to the user running the program. Only then may a
// document take over its security descriptor: a file that someone else put
// there must not make the document readable by them.
bool OwnedByCurrentUser(const std::wstring& wide) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(wide.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                              nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    bool same = false;
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        std::vector<BYTE> user(size);
        if (size > 0 && GetTokenInformation(token, TokenUser, user.data(), size, &size)) {
            same = EqualSid(owner, reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid) != FALSE;
        }
        CloseHandle(token);
    }
    LocalFree(descriptor);
    return same;
}

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
        FileStatus status{isDirectory, isDirectory ? 0 : size};
        status.isSpecial = !isDirectory && !IsDiskFile(*wide);
        return status;
    }

    std::unique_ptr<InputFile> OpenRead(const std::string& path) override {
        const auto wide = Cp932ToWide(path);
        if (!wide || wide->empty()) return nullptr;
        // Other programs may keep the file open, as the payroll package may.
        ScopedHandle handle(CreateFileW(wide->c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        // A device or a pipe could keep the reader waiting forever.
        if (!handle.Valid() || GetFileType(handle.Get()) != FILE_TYPE_DISK) return nullptr;
        return std::make_unique<WinInputFile>(handle.Release(), path);
    }

    std::unique_ptr<OutputFile> CreateNew(const std::string& path) override {
        const auto wide = Cp932ToWide(path);
        if (!wide || wide->empty()) throw WriteError(path);
        // Delete sharing lets an interrupted run remove the file while it is
        // still open.
        ScopedHandle handle(CreateFileW(wide->c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!handle.Valid()) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return nullptr;
            throw WriteError(path);
        }
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

    std::optional<std::vector<std::string>> ListCsvFiles(const std::string& folder) override {
        std::vector<std::string> names;
        const auto wideFolder = Cp932ToWide(folder);
        if (!wideFolder) return std::nullopt;
        const std::wstring pattern = wideFolder->empty() ? L"*.CSV" : *wideFolder + L"\\*.CSV";
        WIN32_FIND_DATAW entry{};
        const ScopedFind find(FindFirstFileW(pattern.c_str(), &entry));
        if (!find.Valid()) {
            // A folder without such files is listed; one that cannot be read is not.
            if (GetLastError() == ERROR_FILE_NOT_FOUND) return names;
            return std::nullopt;
        }
        do {
            // A name without a CP932 spelling keeps a "?" in its place: it can
            // still be reported, but never opens another file.
            const std::string name = WideToCp932Lossy(entry.cFileName);
            // Wildcards also match 8.3 short names ("DATA~1.CSV" of "data.csvx").
            if (EndsWithCsv(name)) names.push_back(name);
        } while (FindNextFileW(find.Get(), &entry));
        return names;
    }

    std::optional<Subfolders> ListSubfolders(const std::string& folder) override {
        const auto wideFolder = Cp932ToWide(folder);
        if (!wideFolder) return std::nullopt;
        const std::wstring pattern = wideFolder->empty() ? L"*" : *wideFolder + L"\\*";
        WIN32_FIND_DATAW entry{};
        const ScopedFind find(FindFirstFileW(pattern.c_str(), &entry));
        if (!find.Valid()) return std::nullopt;
        Subfolders found;
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L".." ||
                !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                continue;
            if (std::optional<std::string> cp932 = WideToCp932(name)) {
                found.names.push_back(std::move(*cp932));
            } else {
                found.unnamed.push_back(WideToCp932Lossy(name));
            }
        } while (FindNextFileW(find.Get(), &entry));
        return found;
    }

    void Replace(const std::string& from, const std::string& to) override {
        const auto wideFrom = Cp932ToWide(from);
        const auto wideTo = Cp932ToWide(to);
        if (!wideFrom || !wideTo) throw WriteError(to);
        // ReplaceFileW keeps the security descriptor and the attributes of the
        // file it replaces, which only the user's own file may give; any
        // other document gets what the folder gives a new file. Where the
        // volume cannot replace that way (some network shares), the document
        // still takes the old one's place.
        if (GetFileAttributesW(wideTo->c_str()) != INVALID_FILE_ATTRIBUTES &&
            OwnedByCurrentUser(*wideTo) &&
            ReplaceFileW(wideTo->c_str(), wideFrom->c_str(), nullptr,
                         REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
            return;
        }
        if (!MoveFileExW(wideFrom->c_str(), wideTo->c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            throw WriteError(to);
    }

    void Remove(const std::string& path) noexcept override {
        if (const auto wide = Cp932ToWide(path)) DeleteFileW(wide->c_str());
    }

    // Volume serial number and file index: the same pair is the same file.
    std::optional<FileIdentity> Identity(const std::string& path) override {
        const auto wide = Cp932ToWide(path);
        if (!wide || wide->empty()) return std::nullopt;
        const ScopedHandle handle = OpenForQuery(*wide);
        if (!handle.Valid()) return std::nullopt;
        BY_HANDLE_FILE_INFORMATION info{};
        if (!GetFileInformationByHandle(handle.Get(), &info)) return std::nullopt;
        return FileIdentity{
            info.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    }

    std::string ResolveLinks(const std::string& path) override {
        const auto wide = Cp932ToWide(path);
        if (!wide || wide->empty()) return path;
        const DWORD attributes = GetFileAttributesW(wide->c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return path;
        const ScopedHandle handle = OpenForQuery(*wide);
        if (!handle.Valid()) return path;
        std::wstring final(MAX_PATH * 4, L'\0');
        const DWORD length =
            GetFinalPathNameByHandleW(handle.Get(), final.data(), static_cast<DWORD>(final.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0 || length >= final.size()) return path;
        final.resize(length);
        // "\\?\C:\..." and "\\?\UNC\server\..." back to their usual spelling.
        if (final.rfind(L"\\\\?\\UNC\\", 0) == 0) {
            final = L"\\\\" + final.substr(8);
        } else if (final.rfind(L"\\\\?\\", 0) == 0) {
            final = final.substr(4);
        }
        return WideToCp932(final).value_or(path);
    }

  private:
    // No access asked for, and every sharing allowed: a file held open by the
    // payroll package can still be identified. Links are followed.
    static ScopedHandle OpenForQuery(const std::wstring& wide) {
        return ScopedHandle(
            CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    }

    // A file on a disk, not a console, a device or a pipe.
    static bool IsDiskFile(const std::wstring& wide) {
        const ScopedHandle handle = OpenForQuery(wide);
        return !handle.Valid() || GetFileType(handle.Get()) == FILE_TYPE_DISK;
    }
};

}  // namespace

// Windows paths are CP932 already, spelled without look-alikes.
std::string ShownPath(std::string_view path) { return std::string(path); }

std::string NativeName(const std::string& cp932) { return cp932; }

std::optional<std::string> PathFromArgument(const std::string& utf8) { return Utf8ToCp932(utf8); }

FileSystem& RealFileSystem() {
    static WinFileSystem fs;
    return fs;
}

}  // namespace kw39::platform
