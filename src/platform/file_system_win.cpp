// Windows file system. Paths arrive as UTF-8 and are handed to the
// wide-character API as the UTF-16 they were made from, in the "\\?\" form
// that reaches a file whatever the length of its path.
#include <windows.h>
// After windows.h, which they need.
#include <aclapi.h>
#include <winioctl.h>

#include <algorithm>
#include <array>
#include <climits>
#include <vector>

#include "platform/encoding.h"
#include "platform/encoding_win.h"
#include "platform/file_system.h"
#include "platform/io_error.h"
#include "platform/native_path_win.h"
#include "platform/sjis.h"
#include "platform/win_handle.h"
#include "platform/win_output_file.h"

namespace kw39::platform {

namespace {

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

// Largest piece handed to ReadFile at once.
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
    std::optional<FileIdentity> Identity() const override { return IdentityOf(m_handle.Get()); }
    std::optional<FileStamp> Stamp() const override {
        BY_HANDLE_FILE_INFORMATION info{};
        if (!GetFileInformationByHandle(m_handle.Get(), &info)) return std::nullopt;
        return FileStamp{(static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
                         (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                             info.ftLastWriteTime.dwLowDateTime};
    }

  private:
    ScopedHandle m_handle;
    std::string m_strPath;
};

// A name Windows gave, as a path; a character that is no Unicode text (a lone
// surrogate) becomes "?", which no file name holds.
std::string NameFromWide(std::wstring name) {
    if (auto utf8 = PathFromWide(name)) return *utf8;
    for (wchar_t& c : name)
        if (c >= 0xD800 && c <= 0xDFFF) c = L'?';
    return PathFromWide(name).value_or("?");
}

bool EndsWithCsv(const std::string& name) {
    return name.size() >= 4 && ToUpperSjis(name.substr(name.size() - 4)) == ".CSV";
}

class WinFileSystem : public FileSystem {
  public:
    std::optional<FileStatus> Stat(const std::string& path) override {
        const auto wide = SystemPath(path);
        if (!wide) return std::nullopt;
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExW(wide->c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
        const bool isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const std::uint64_t size =
            (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        FileStatus status{isDirectory, isDirectory ? 0 : size};
        if (!isDirectory) {
            const ScopedHandle handle = OpenForQuery(*wide, true);
            status.isSpecial = handle.Valid() && !IsDiskFile(handle.Get());
        }
        return status;
    }

    std::unique_ptr<InputFile> OpenRead(const std::string& path) override {
        const auto wide = SystemPath(path);
        if (!wide) return nullptr;
        // Other programs may keep the file open, as the payroll package may.
        ScopedHandle handle(CreateFileW(wide->c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        // A device or a pipe could keep the reader waiting forever.
        if (!handle.Valid() || !IsDiskFile(handle.Get())) return nullptr;
        return std::make_unique<WinInputFile>(handle.Release(), path);
    }

    std::unique_ptr<OutputFile> CreateNew(const std::string& path) override {
        const auto wide = SystemPath(path);
        if (!wide) throw WriteError(path);
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
        return std::make_unique<WinOutputFile>(std::move(handle), path);
    }

    bool ProbeExclusiveWrite(const std::string& path) override {
        const auto wide = SystemPath(path);
        if (!wide) return false;
        // No sharing: fails while any other program has the file open. A folder
        // cannot be opened this way either.
        const ScopedHandle handle(CreateFileW(wide->c_str(), GENERIC_WRITE, 0, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return handle.Valid();
    }

    std::optional<std::vector<std::string>> ListCsvFiles(const std::string& folder) override {
        std::vector<std::string> names;
        const auto wideFolder = SystemPath(folder.empty() ? "." : folder);
        if (!wideFolder) return std::nullopt;
        const std::wstring pattern = *wideFolder + L"\\*.CSV";
        WIN32_FIND_DATAW entry{};
        const ScopedFind find(FindFirstFileW(pattern.c_str(), &entry));
        if (!find.Valid()) {
            // A folder without such files is listed; one that cannot be read is not.
            if (GetLastError() == ERROR_FILE_NOT_FOUND) return names;
            return std::nullopt;
        }
        do {
            const std::string name = NameFromWide(entry.cFileName);
            // Wildcards also match 8.3 short names ("DATA~1.CSV" of "data.csvx").
            if (EndsWithCsv(name)) names.push_back(name);
        } while (FindNextFileW(find.Get(), &entry));
        return names;
    }

    std::optional<Subfolders> ListSubfolders(const std::string& folder) override {
        const auto wideFolder = SystemPath(folder.empty() ? "." : folder);
        if (!wideFolder) return std::nullopt;
        const std::wstring pattern = *wideFolder + L"\\*";
        WIN32_FIND_DATAW entry{};
        const ScopedFind find(FindFirstFileW(pattern.c_str(), &entry));
        if (!find.Valid()) return std::nullopt;
        Subfolders found;
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L".." ||
                !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                continue;
            if (std::optional<std::string> utf8 = PathFromWide(name)) {
                found.names.push_back(std::move(*utf8));
            } else {
                found.unnamed.push_back(NameFromWide(name));
            }
        } while (FindNextFileW(find.Get(), &entry));
        return found;
    }

    // By path, for writers without a destination (tests); the program
    // itself writes through OpenDestination.
    void Replace(const std::string& from, const std::string& to) override {
        const auto wideFrom = SystemPath(from);
        const auto wideTo = SystemPath(to);
        if (!wideFrom || !wideTo ||
            !MoveFileExW(wideFrom->c_str(), wideTo->c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            throw WriteError(to);
    }

    DestinationResult OpenDestination(const std::string& path) override {
        return OpenWinDestination(path);
    }

    void Remove(const std::string& path) noexcept override {
        if (const auto wide = SystemPath(path)) DeleteFileW(wide->c_str());
    }

    // Volume serial number and file index: the same pair is the same file.
    std::optional<FileIdentity> Identity(const std::string& path) override {
        const auto wide = SystemPath(path);
        if (!wide) return std::nullopt;
        const ScopedHandle handle = OpenForQuery(*wide, true);
        if (!handle.Valid()) return std::nullopt;
        return IdentityOf(handle.Get());
    }

    std::string ResolveLinks(const std::string& path) override {
        const auto wide = SystemPath(path);
        if (!wide) return path;
        const DWORD attributes = GetFileAttributesW(wide->c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return path;
        const ScopedHandle handle = OpenForQuery(*wide, true);
        if (!handle.Valid()) return path;
        return FinalPath(handle.Get()).value_or(path);
    }
};

}  // namespace

ScopedHandle OpenForQuery(const std::wstring& systemPath, bool follow, DWORD access) {
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (follow ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    return ScopedHandle(
        CreateFileW(systemPath.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr));
}

std::optional<FileIdentity> IdentityOf(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) return std::nullopt;
    return FileIdentity{
        info.dwVolumeSerialNumber,
        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

bool IsDiskFile(HANDLE handle) { return GetFileType(handle) == FILE_TYPE_DISK; }

bool OwnedByCurrentUser(HANDLE handle) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                        nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
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

std::optional<std::string> FinalPath(HANDLE handle) {
    std::wstring final(MAX_PATH, L'\0');
    DWORD length = 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        length = GetFinalPathNameByHandleW(handle, final.data(), static_cast<DWORD>(final.size()),
                                           FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length < final.size()) break;
        final.resize(length + 1);
    }
    if (length == 0 || length >= final.size()) return std::nullopt;
    final.resize(length);
    // "\\?\C:\..." and "\\?\UNC\server\..." back to their usual spelling.
    if (final.rfind(L"\\\\?\\UNC\\", 0) == 0) {
        final = L"\\\\" + final.substr(8);
    } else if (final.rfind(L"\\\\?\\", 0) == 0) {
        final = final.substr(4);
    }
    return PathFromWide(final);
}

bool SameFileName(const std::string& a, const std::string& b) {
    // As NTFS compares names: by their UTF-16 text, without regard to case.
    const auto wideA = WidePath(a);
    const auto wideB = WidePath(b);
    if (!wideA || !wideB) return a == b;
    return CompareStringOrdinal(wideA->c_str(), static_cast<int>(wideA->size()), wideB->c_str(),
                                static_cast<int>(wideB->size()), TRUE) == CSTR_EQUAL;
}

FileSystem& RealFileSystem() {
    static WinFileSystem fs;
    return fs;
}

}  // namespace kw39::platform
