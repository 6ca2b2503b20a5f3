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

    // Opens an existing file for reading; nullptr when it cannot be opened
    // (a folder cannot).
    virtual std::unique_ptr<InputFile> OpenRead(const std::string& path) = 0;

    // Creates (or truncates) a file for writing. Throws IoError.
    virtual std::unique_ptr<OutputFile> Create(const std::string& path) = 0;

    // Opens an existing file for writing with no sharing, without changing its
    // content, and closes it again. False when that is not possible (a folder,
    // no permission, or held open by another program where the platform can
    // tell).
    virtual bool ProbeExclusiveWrite(const std::string& path) = 0;

    // Names (not paths) of the entries of `folder` whose name ends in ".CSV" in
    // any case; subfolders are not searched. In the order the platform lists them.
    virtual std::vector<std::string> ListCsvFiles(const std::string& folder) = 0;

    // Moves `from` onto `to`, replacing an existing file. Throws IoError.
    virtual void Replace(const std::string& from, const std::string& to) = 0;

    // Removes a file; failure is ignored (used to clean up temporary files).
    virtual void Remove(const std::string& path) noexcept = 0;

    // True when both paths name one existing file, however each is spelled
    // ("./" parts, case on Windows, links). Where the platform cannot tell,
    // equal paths count as the same file.
    virtual bool SameFile(const std::string& a, const std::string& b) { return a == b; }
};

// The platform's real file system.
FileSystem& RealFileSystem();

// A name beside `path` for writing a file that replaces `path` once complete:
// unique to this process and call, so that neither a file of the user's nor a
// second run writing the same output is ever overwritten by it.
std::string TemporaryPathBeside(const std::string& path);

// Joins a folder and a name with the platform's separator.
std::string JoinPath(const std::string& folder, const std::string& name);

// Reads a whole file through `fs`; nothing when it cannot be opened. Throws
// IoError when a read fails.
std::optional<std::string> ReadWholeFile(FileSystem& fs, const std::string& path);

}  // namespace kw39::platform
