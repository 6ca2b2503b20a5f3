// File access of the core. Everything goes through FileSystem so that tests can
// substitute files held in memory and make any step fail on demand. Paths are
// the platform's own names: on POSIX the bytes of the argument or directory
// entry, unchanged; on Windows the UTF-16 text of the command line, the dialog
// or the directory entry, held as UTF-8. A name is not text to convert: two
// names that convert to one Shift_JIS spelling are two files. ShownPath()
// gives the text to show. Files are written through a WriteDestination: the
// folder is opened once, and the file is created, changed and put in place
// relative to that handle, so that nobody can redirect a step by renaming
// something on the way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kw39::platform {

// Input paths of this length or longer (ClassicPathBytes) are treated as
// unreachable, like the classic Windows MAX_PATH limit, on every platform
// alike. Only the input check applies it; every other step sees the real file
// whatever its length.
inline constexpr std::size_t kMaxPathBytes = 260;

// The length the classic limit measures: on Windows the path's bytes in the
// ANSI code page of a Japanese system (CP932), where it comes from; on POSIX
// the path's own bytes.
std::size_t ClassicPathBytes(std::string_view path);

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
    std::vector<std::string> names;  // in the order the platform lists them
    // Names that cannot be used as paths, for display (a Windows name that is
    // no Unicode text: "?" stands for what is not).
    std::vector<std::string> unnamed;
};

// What tells that a file's content was written since it was last looked at:
// its size and the time of its last write, as the platform keeps it.
struct FileStamp {
    std::uint64_t size = 0;
    std::uint64_t written = 0;  // in the platform's own units
    bool operator==(const FileStamp&) const = default;
};

// A file opened for reading, in binary: text-mode rules are LineReader's.
class InputFile {
  public:
    virtual ~InputFile() = default;
    // Reads up to `size` bytes; 0 at the end of the file. Throws IoError.
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
    // Starts reading again from the first byte; false where that is not
    // possible (the file is then opened again by its name).
    virtual bool Rewind() { return false; }
    // The identity of the open file; nothing where the platform cannot tell.
    virtual std::optional<FileIdentity> Identity() const { return std::nullopt; }
    // The size and last write of the open file; nothing where the platform
    // cannot tell.
    virtual std::optional<FileStamp> Stamp() const { return std::nullopt; }
    // A reader of the same open file from byte `offset` to its end that leaves
    // this one's position alone, for another thread to read a part of it
    // while this one reads on; null where the platform cannot. It must not
    // outlive this file.
    virtual std::unique_ptr<InputFile> ReadAt(std::uint64_t /*offset*/) const { return nullptr; }
};

// A file opened for writing. Close() must be called and succeed for the data to
// count as written; destroying an unclosed file discards the error silently.
class OutputFile {
  public:
    virtual ~OutputFile() = default;
    virtual void Write(const char* data, std::size_t size) = 0;  // throws IoError
    virtual void Close() = 0;                                    // flush + close; throws IoError
    // Writes all of `bytes` and leaves it empty. A file that keeps what it is
    // given for later may take the memory itself, leaving other memory in
    // its place, rather than copy the bytes.
    virtual void Take(std::string& bytes) {
        Write(bytes.data(), bytes.size());
        bytes.clear();
    }
};

// Why a file cannot be written where it is asked; found before anything is
// written.
enum class DestinationProblem {
    None,
    NoName,          // the path ends in a separator, or names a folder
    MissingFolder,   // its folder does not exist (`folder` says which)
    Special,         // a device, a pipe, a socket
    ForeignLink,     // a symbolic link that belongs to another user
    LinkChain,       // a link to another link, to itself, or that cannot be read
    NotWritable,     // the folder takes no new file from this user, or the name is too long
    NotReplaceable,  // another user's file in a sticky folder: it cannot be replaced
};

// The place a file is written to: its folder, opened once, and its name in
// that folder, a symbolic link followed by the rules. Everything it does acts
// on the folder's handle and on names it created or checked.
class WriteDestination {
  public:
    virtual ~WriteDestination() = default;

    // The file that is written, links resolved: for messages and summaries.
    virtual const std::string& Path() const = 0;
    // The file there when the destination was opened; nothing when there was
    // none.
    virtual std::optional<FileIdentity> Existing() const = 0;

    // Creates the file `name` (a bare name) in the folder: exclusively (a file
    // or link planted under the name is neither followed nor truncated) and
    // readable by its owner only. Nothing when the name is taken; throws
    // IoError when it cannot be created for another reason. Closing it gives
    // it the permissions the finished file must have, then puts it on disk.
    virtual std::unique_ptr<OutputFile> CreateTemporary(const std::string& name) = 0;

    // Puts the closed file `name` in place of the destination, once more
    // checking that what is there is still the file it was (or still
    // nothing), a regular file, and none of the protected files. Throws
    // TargetChangedError when it is not, IoError when the step fails.
    virtual void Commit(const std::string& name) = 0;

    // Whether the folder takes a new file. Judged when the destination was
    // opened, without creating anything, where the platform can (access
    // rights, the sticky-folder rule); a destination reached by paths only
    // creates a temporary file and removes it again.
    virtual bool TakesNewFiles() { return true; }

    // Removes the file `name` from the folder; failure is ignored.
    virtual void Remove(const std::string& name) noexcept = 0;

    // A file (an input of the run) that this destination must never replace.
    virtual void Protect(const FileIdentity& identity) { m_aProtected.push_back(identity); }

  protected:
    bool IsProtected(const FileIdentity& identity) const;

  private:
    std::vector<FileIdentity> m_aProtected;
};

struct DestinationResult {
    std::shared_ptr<WriteDestination> destination;  // null when there is a problem
    DestinationProblem problem = DestinationProblem::None;
    std::string folder;      // the missing folder
    std::string link;        // the link, for a problem with one
    std::string linkTarget;  // what that link names
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Status of the file or folder at `path` (links followed); nothing when it
    // does not exist or cannot be reached.
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

    // Opens the destination of a file to be written at `path`: its folder
    // once, and its name there. A symbolic link is followed only when it
    // belongs to the user running the program, and only once, to a regular
    // file or to nothing. The default acts by path, for file systems that
    // have no handles (tests).
    virtual DestinationResult OpenDestination(const std::string& path);

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

// SameDestination of one path against many: what is learnt of `first` (its
// links resolved, its identity, whether it exists) is asked of the file
// system once.
class DestinationComparison {
  public:
    // `fs` must outlive this object.
    DestinationComparison(FileSystem& fs, const std::string& first);
    bool SameAs(const std::string& second);

  private:
    FileSystem& m_fs;
    std::string m_strResolved;
    std::optional<std::optional<FileIdentity>> m_identity;  // once asked
    std::optional<bool> m_bExists;                          // once asked
};

// The platform's real file system.
FileSystem& RealFileSystem();

// A path as text to show (CP932): each character that Shift_JIS cannot spell
// exactly is shown as "\u301C" ("<U+301C>" on Windows, where "\" separates
// folders and no name holds "<"), a byte that is no UTF-8 as "\xFF" ("<xFF>"),
// and a control character as "\x1B" ("<x1B>"), so that two names never look
// alike and no name can change the terminal.
std::string ShownPath(std::string_view path);

// A path given on the command line (UTF-8) as a path of this file system: the
// bytes as they are, on POSIX and on Windows alike.
std::optional<std::string> PathFromArgument(const std::string& utf8);

// The platform's name for a file name made of CP932 text (a document's name
// made of the company's code and name).
std::string NativeName(const std::string& cp932);

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

// True when the file system takes the two names for one: exactly equal on
// POSIX; on Windows equal by FileNameKey.
bool SameFileName(const std::string& a, const std::string& b);

// The marker in every temporary name: "<target>.~kw39-<random>.tmp". A file
// left by a process that was killed outright can be recognised by it.
inline constexpr const char* kTemporaryMarker = ".~kw39-";

// "<name>.~kw39-<16 random hex digits>.tmp".
std::string TemporaryNameFor(const std::string& name);

}  // namespace kw39::platform
