// File access of the core. Everything goes through FileSystem so that tests can
// substitute files held in memory and make any step fail on demand. Paths are
// CP932 byte strings; the real implementation turns them into the platform's
// own file names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kw39::platform {

// Paths of this length or longer are treated as unreachable, like the classic
// Windows MAX_PATH limit, on every platform alike.
inline constexpr std::size_t kMaxPathBytes = 260;

struct FileStatus {
    bool isDirectory = false;
    std::uint64_t size = 0;
    // Neither a regular file nor a folder: a device, a pipe, a socket. Reading
    // one may never end, and writing over one destroys it.
    bool isSpecial = false;
};

// What identifies one file on its volume (POSIX device and inode; Windows
// volume serial number and file index).
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
    friend auto operator<=>(const FileIdentity&, const FileIdentity&) = default;
};

// The folders directly inside a folder.
struct Subfolders {
    std::vector<std::string> names;  // CP932, in the order the platform lists them
    // Names CP932 cannot spell, for display: "?" stands for each character it
    // lacks.
    std::vector<std::string> unnamed;
};

// A file opened for reading, in binary: text-mode rules are LineReader's.
class InputFile {
  public:
    virtual ~InputFile() = default;
    // Reads up to `size` bytes; 0 at the end of the file. Throws IoError.
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

// A file opened for writing. Close() must be called and succeed for the data to
// count as written; destroying an unclosed file discards the error silently.
class OutputFile {
  public:
    virtual ~OutputFile() = default;
    virtual void Write(const char* data, std::size_t size) = 0;  // throws IoError
    virtual void Close() = 0;                                    // flush + close; throws IoError
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Status of the file or folder at `path`; nothing when it does not exist,
    // cannot be reached, or the path is kMaxPathBytes long or longer.
    virtual std::optional<FileStatus> Stat(const std::string& path) = 0;

    // Opens an existing regular file for reading; nullptr when it cannot be
    // opened. A folder, a device or a pipe is never opened: reading one could
    // wait forever.
    virtual std::unique_ptr<InputFile> OpenRead(const std::string& path) = 0;

    // Creates a new file for writing, readable and writable by its owner only,
    // under a name where nothing exists yet: a file or a link already there is
    // neither followed nor truncated, and nothing is returned. Throws IoError
    // when the file cannot be created for another reason.
    virtual std::unique_ptr<OutputFile> CreateNew(const std::string& path) = 0;

    // Opens an existing file for writing with no sharing, without changing its
    // content, and closes it again. False when that is not possible (a folder,
    // no permission, or held open by another program where the platform can
    // tell).
    virtual bool ProbeExclusiveWrite(const std::string& path) = 0;

    // Names (not paths) of the entries of `folder` whose name ends in ".CSV" in
    // any case; subfolders are not searched. In the order the platform lists them.
    // Nothing when the folder cannot be listed (missing, no permission).
    virtual std::optional<std::vector<std::string>> ListCsvFiles(const std::string& folder) = 0;

    // The folders directly inside `folder` (a link to a folder counts as one;
    // files and deeper folders are not listed); nothing when it cannot be
    // listed.
    virtual std::optional<Subfolders> ListSubfolders(const std::string& /*folder*/) {
        return std::nullopt;
    }

    // Moves `from` onto `to`, replacing an existing file. The file that comes
    // into place takes the permissions (and, where allowed, the owner) of the
    // one it replaces; where there was none, what a new file gets in that
    // folder. Throws IoError.
    virtual void Replace(const std::string& from, const std::string& to) = 0;

    // Removes a file; failure is ignored (used to clean up temporary files).
    virtual void Remove(const std::string& path) noexcept = 0;

    // The identity of the existing file or folder at `path` (links followed);
    // nothing when it does not exist or the platform cannot tell.
    virtual std::optional<FileIdentity> Identity(const std::string& /*path*/) {
        return std::nullopt;
    }

    // The path of the file that `path` finally names when it is a symbolic link
    // (or a chain of them); `path` itself otherwise.
    virtual std::string ResolveLinks(const std::string& path) { return path; }

    // True when both paths name one existing file, however each is spelled
    // ("./" parts, case on Windows, links). Where the platform cannot tell,
    // equal paths count as the same file.
    bool SameFile(const std::string& a, const std::string& b);

    // True when writing `second` would write the file `first` names, whether
    // or not it exists yet: the same file, or (links followed) the same name,
    // compared as the file system compares names, in the same folder.
    bool SameDestination(const std::string& first, const std::string& second);
};

// The platform's real file system.
FileSystem& RealFileSystem();

// Joins a folder and a name with the platform's separator.
std::string JoinPath(const std::string& folder, const std::string& name);

// The folder part and the name part of a path ("" for the folder of a bare
// name; the name is "" when the path ends in a separator).
std::string FolderOfPath(const std::string& path);
std::string NameOfPath(const std::string& path);

// The key under which the file system tells names apart: the name in Unicode
// (so that the several CP932 codes of one character are one), without regard
// to case, as Windows compares names. UTF-8.
std::string FileNameKey(const std::string& name);

// Reads a whole file through `fs`; nothing when it cannot be opened. Throws
// IoError when a read fails.
std::optional<std::string> ReadWholeFile(FileSystem& fs, const std::string& path);

}  // namespace kw39::platform
