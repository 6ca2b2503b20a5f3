// Where the Windows file system writes: the folder is opened once and held
// without delete sharing, so that it cannot be renamed or removed meanwhile;
// the temporary file is created new in it and put in place through its own
// handle, and the target is identified again (volume and file index) just
// before it is replaced.
#include <windows.h>
// After windows.h, which it needs.
#include <winioctl.h>
#include <winternl.h>

#include <map>
#include <vector>

#include "platform/io_error.h"
#include "platform/native_path_win.h"
#include "platform/win_handle.h"
#include "platform/win_output_file.h"

namespace kw39::platform {

namespace {

// The part a temporary name adds to the target's name: ".~kw39-", 16 hex
// digits and ".tmp".
constexpr std::size_t kTemporarySuffix = 27;

// The symbolic-link form of the reparse data, as FSCTL_GET_REPARSE_POINT
// gives it.
struct SymbolicLinkData {
    ULONG tag;
    USHORT dataLength;
    USHORT reserved;
    USHORT substituteOffset;
    USHORT substituteLength;
    USHORT printOffset;
    USHORT printLength;
    ULONG flags;
    WCHAR buffer[1];
};
constexpr ULONG kRelativeLink = 1;  // SYMLINK_FLAG_RELATIVE

struct LinkTarget {
    std::wstring target;  // to open: absolute ("\\?\C:\...") or relative to the link's folder
    std::wstring shown;   // as the link spells it
    bool relative = false;
};

// The target of the symbolic link open as `handle`; nothing for any other
// kind of reparse point.
std::optional<LinkTarget> ReadLink(HANDLE handle) {
    std::vector<BYTE> buffer(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
    DWORD got = 0;
    if (!DeviceIoControl(handle, FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer.data(),
                         static_cast<DWORD>(buffer.size()), &got, nullptr) ||
        got < sizeof(SymbolicLinkData)) {
        return std::nullopt;
    }
    const auto* data = reinterpret_cast<const SymbolicLinkData*>(buffer.data());
    if (data->tag != IO_REPARSE_TAG_SYMLINK) return std::nullopt;
    const auto text = [&](USHORT offset, USHORT length) {
        return std::wstring(data->buffer + offset / sizeof(WCHAR), length / sizeof(WCHAR));
    };
    LinkTarget link;
    link.target = text(data->substituteOffset, data->substituteLength);
    link.shown = text(data->printOffset, data->printLength);
    link.relative = (data->flags & kRelativeLink) != 0;
    if (link.target.rfind(L"\\??\\", 0) == 0) link.target[1] = L'\\';
    if (link.shown.empty()) link.shown = link.target;
    return link;
}

struct Entry {
    ScopedHandle handle;  // not followed; invalid when there is nothing
    DWORD error = 0;
    BY_HANDLE_FILE_INFORMATION info{};
    bool IsLink() const { return info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT; }
    bool IsFolder() const { return info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY; }
};

Entry OpenEntry(const std::wstring& systemPath) {
    Entry entry;
    entry.handle = OpenForQuery(systemPath, false, READ_CONTROL);
    if (!entry.handle.Valid()) entry.handle = OpenForQuery(systemPath, false);
    if (!entry.handle.Valid()) {
        entry.error = GetLastError();
        return entry;
    }
    if (!GetFileInformationByHandle(entry.handle.Get(), &entry.info)) entry.error = GetLastError();
    return entry;
}

std::wstring FolderPart(const std::wstring& systemPath) {
    return systemPath.substr(0, systemPath.find_last_of(L'\\'));
}
std::wstring NamePart(const std::wstring& systemPath) {
    return systemPath.substr(systemPath.find_last_of(L'\\') + 1);
}

DestinationResult Problem(DestinationProblem problem, std::string folder = "") {
    DestinationResult result;
    result.problem = problem;
    result.folder = std::move(folder);
    return result;
}

class WinDestination : public WriteDestination {
  public:
    WinDestination(ScopedHandle folder, std::wstring folderPath, std::wstring name,
                   std::string shown, std::optional<FileIdentity> old, bool takesNewFiles)
        : m_folder(std::move(folder)),
          m_strFolder(std::move(folderPath)),
          m_strName(std::move(name)),
          m_strShown(std::move(shown)),
          m_old(old),
          m_bTakesNewFiles(takesNewFiles) {}

    const std::string& Path() const override { return m_strShown; }
    std::optional<FileIdentity> Existing() const override { return m_old; }
    bool TakesNewFiles() override { return m_bTakesNewFiles; }

    std::unique_ptr<OutputFile> CreateTemporary(const std::string& name) override {
        const auto wide = WidePath(name);
        if (!wide) throw WriteError(m_strShown);
        ScopedHandle file(CreateFileW(InFolder(*wide).c_str(), GENERIC_WRITE | DELETE,
                                      FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid()) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return nullptr;
            throw WriteError(m_strShown);
        }
        // The handle that puts the file in place later; the one written
        // through is closed when the file is.
        HANDLE kept = nullptr;
        if (!DuplicateHandle(GetCurrentProcess(), file.Get(), GetCurrentProcess(), &kept, 0, FALSE,
                             DUPLICATE_SAME_ACCESS)) {
            Discard(file.Get());
            throw WriteError(m_strShown);
        }
        m_mapCreated[name] = ScopedHandle(kept);
        return std::make_unique<WinOutputFile>(std::move(file), m_strShown);
    }

    void Commit(const std::string& name) override {
        // The file under the temporary name must still be the one written:
        // whoever may rename entries in the folder could have put another
        // file, or a link, in its place.
        const auto created = m_mapCreated.find(name);
        if (created == m_mapCreated.end() || !StillNamed(created->second.Get(), name))
            throw TargetChangedError(m_strShown);
        const std::wstring target = InFolder(m_strName);
        Entry now = OpenEntry(target);
        const bool present = now.handle.Valid();
        if (!present && now.error != ERROR_FILE_NOT_FOUND) throw WriteError(m_strShown);
        if (present) {
            const auto identity = IdentityOf(now.handle.Get());
            if (now.IsLink() || now.IsFolder() || !IsDiskFile(now.handle.Get()) || !m_old ||
                identity != m_old || IsProtected(*identity)) {
                throw TargetChangedError(m_strShown);
            }
            // The user's own file passes its security descriptor and
            // attributes on, as Windows does when it replaces a file; any
            // other document gets what the folder gives a new file. An open
            // file cannot be replaced: it is looked at no longer.
            const bool own = OwnedByCurrentUser(now.handle.Get());
            now.handle.Reset();
            if (own && ReplaceOwnFile(created->second, target, name)) {
                m_mapCreated.erase(created);
                return;
            }
        }
        RenameByHandle(created->second.Get(), present);
        m_mapCreated.erase(created);
    }

    void Remove(const std::string& name) noexcept override {
        const auto created = m_mapCreated.find(name);
        if (created != m_mapCreated.end()) {
            Discard(created->second.Get());
            m_mapCreated.erase(created);
            return;
        }
        if (const auto wide = WidePath(name)) DeleteFileW(InFolder(*wide).c_str());
    }

  private:
    std::wstring InFolder(const std::wstring& name) const { return m_strFolder + L"\\" + name; }

    static void Discard(HANDLE file) noexcept {
        FILE_DISPOSITION_INFO dispose{};
        dispose.DeleteFile = TRUE;
        SetFileInformationByHandle(file, FileDispositionInfo, &dispose, sizeof dispose);
    }

    // Renamed into the folder held open, under the target's name: the very
    // file that was written, whatever happened to its temporary name. The
    // name is relative to the folder's handle, which the kernel's rename
    // takes as it is (the Win32 form would make it a path again).
    void RenameByHandle(HANDLE file, bool replace) {
        const std::size_t nameBytes = m_strName.size() * sizeof(wchar_t);
        std::vector<BYTE> buffer(sizeof(FILE_RENAME_INFORMATION) + nameBytes);
        auto* rename = reinterpret_cast<FILE_RENAME_INFORMATION*>(buffer.data());
        rename->ReplaceIfExists = replace ? TRUE : FALSE;
        rename->RootDirectory = m_folder.Get();
        rename->FileNameLength = static_cast<ULONG>(nameBytes);
        std::copy(m_strName.begin(), m_strName.end(), rename->FileName);
        IO_STATUS_BLOCK io{};
        const NTSTATUS status = NtSetInformationFile(
            file, &io, rename, static_cast<ULONG>(buffer.size()), FileRenameInformation);
        if (status == 0) return;
        // Something came under the name after it was found free.
        constexpr NTSTATUS kNameCollision = static_cast<NTSTATUS>(0xC0000035L);
        if (status == kNameCollision) throw TargetChangedError(m_strShown);
        throw WriteError(m_strShown);
    }

    bool StillNamed(HANDLE written, const std::string& name) const {
        const auto wide = WidePath(name);
        if (!wide) return false;
        const ScopedHandle named = OpenForQuery(InFolder(*wide), false);
        const auto identity = IdentityOf(written);
        return identity && named.Valid() && IdentityOf(named.Get()) == identity;
    }

    // ReplaceFileW works on names: the file written is closed for it; where
    // the volume cannot replace that way (some network shares) it is opened
    // again, checked to be the same file, and renamed by its handle.
    bool ReplaceOwnFile(ScopedHandle& kept, const std::wstring& target, const std::string& name) {
        const auto written = IdentityOf(kept.Get());
        const std::wstring temporary = InFolder(*WidePath(name));
        kept.Reset();
        if (ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                         REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
            return true;
        }
        kept = ScopedHandle(CreateFileW(temporary.c_str(), DELETE | SYNCHRONIZE, kShareAll, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!kept.Valid() || IdentityOf(kept.Get()) != written)
            throw TargetChangedError(m_strShown);
        return false;
    }

    ScopedHandle m_folder;
    std::wstring m_strFolder;  // "\\?\" form
    std::wstring m_strName;
    std::string m_strShown;
    std::optional<FileIdentity> m_old;
    bool m_bTakesNewFiles;
    std::map<std::string, ScopedHandle> m_mapCreated;  // temporary files, by name
};

// The folder, held so that nobody renames or removes it while it is written
// to. A folder that takes no new file from this user is opened all the same,
// to say so.
ScopedHandle OpenFolder(const std::wstring& folder, bool& takesNewFiles) {
    constexpr DWORD kFlags = FILE_FLAG_BACKUP_SEMANTICS;
    constexpr DWORD kLook = FILE_LIST_DIRECTORY | FILE_TRAVERSE | SYNCHRONIZE;
    takesNewFiles = true;
    for (const DWORD share : {DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}, kShareAll}) {
        ScopedHandle handle(CreateFileW(folder.c_str(), kLook | FILE_ADD_FILE, share, nullptr,
                                        OPEN_EXISTING, kFlags, nullptr));
        if (handle.Valid()) return handle;
        if (GetLastError() == ERROR_ACCESS_DENIED) break;
    }
    takesNewFiles = false;
    return ScopedHandle(
        CreateFileW(folder.c_str(), kLook, kShareAll, nullptr, OPEN_EXISTING, kFlags, nullptr));
}

bool NameFits(HANDLE folder, const std::wstring& name) {
    DWORD longest = 0;
    if (!GetVolumeInformationByHandleW(folder, nullptr, 0, nullptr, &longest, nullptr, nullptr, 0))
        longest = 255;
    return name.size() + kTemporarySuffix <= longest;
}

}  // namespace

DestinationResult OpenWinDestination(const std::string& path) {
    auto system = SystemPath(path);
    if (!system) return Problem(DestinationProblem::NotWritable);
    if (NamePart(*system).empty()) return Problem(DestinationProblem::NoName);
    std::string shown = path;
    Entry entry = OpenEntry(*system);
    if (entry.handle.Valid() && entry.IsLink() && !entry.IsFolder()) {
        // A link is followed once, and only one of this user's own: someone
        // else's link in a shared folder would let them choose what is
        // written over.
        const std::optional<LinkTarget> link = ReadLink(entry.handle.Get());
        if (link) {
            DestinationResult refused;
            refused.link = path;
            refused.linkTarget = PathFromWide(link->shown).value_or("?");
            if (!OwnedByCurrentUser(entry.handle.Get())) {
                refused.problem = DestinationProblem::ForeignLink;
                return refused;
            }
            const std::wstring target =
                link->relative ? FolderPart(*system) + L"\\" + link->target : link->target;
            system = SystemPath(PathFromWide(target).value_or(""));
            if (!system || NamePart(*system).empty()) {
                refused.problem = DestinationProblem::NoName;
                return refused;
            }
            shown = link->relative ? JoinPath(FolderOfPath(path), refused.linkTarget)
                                   : PathFromWide(link->shown).value_or(refused.linkTarget);
            entry = OpenEntry(*system);
            if (entry.handle.Valid() && entry.IsLink()) {
                refused.problem = DestinationProblem::LinkChain;
                return refused;
            }
        }
    }
    std::optional<FileIdentity> old;
    if (entry.handle.Valid()) {
        if (entry.IsFolder()) return Problem(DestinationProblem::NoName);
        if (!IsDiskFile(entry.handle.Get())) return Problem(DestinationProblem::Special);
        old = IdentityOf(entry.handle.Get());
        // Replacing a file takes the right to delete it.
        if (!OpenForQuery(*system, false, DELETE).Valid() &&
            GetLastError() == ERROR_ACCESS_DENIED) {
            return Problem(DestinationProblem::NotReplaceable);
        }
    } else if (entry.error != ERROR_FILE_NOT_FOUND && entry.error != ERROR_PATH_NOT_FOUND) {
        return Problem(DestinationProblem::NotWritable);
    }
    bool takesNewFiles = false;
    ScopedHandle folder = OpenFolder(FolderPart(*system), takesNewFiles);
    BY_HANDLE_FILE_INFORMATION folderInfo{};
    if (!folder.Valid() || !GetFileInformationByHandle(folder.Get(), &folderInfo) ||
        !(folderInfo.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        const std::string missing = FolderOfPath(shown);
        return Problem(DestinationProblem::MissingFolder, missing.empty() ? shown : missing);
    }
    const std::wstring name = NamePart(*system);
    if (!NameFits(folder.Get(), name)) return Problem(DestinationProblem::NotWritable);
    DestinationResult result;
    result.destination = std::make_shared<WinDestination>(
        std::move(folder), FolderPart(*system), name, std::move(shown), old, takesNewFiles);
    return result;
}

}  // namespace kw39::platform
