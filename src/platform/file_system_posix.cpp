// POSIX file system. Paths are the bytes the user or the system gave: they
// reach the system unchanged, and only ShownPath() turns them into text.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>

#include "platform/encoding.h"
#include "platform/file_system.h"
#include "platform/io_error.h"
#include "platform/posix_file.h"
#include "platform/sjis.h"

namespace kw39::platform {

namespace {

void AppendCode(std::string& out, const char* prefix, std::uint32_t value, int digits) {
    constexpr char kHex[] = "0123456789ABCDEF";
    out += prefix;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kHex[(value >> shift) & 0xF];
}

// The length of the UTF-8 sequence at `i` and its code point; 0 when the
// bytes there are no UTF-8 character.
std::size_t Utf8Sequence(std::string_view text, std::size_t i, std::uint32_t& code) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC2 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 0;
    if (length == 0 || i + length > text.size()) return 0;
    code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3F);
    }
    const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

std::string ShownPath(std::string_view path) {
    std::string shown;
    for (std::size_t i = 0; i < path.size();) {
        std::uint32_t code = 0;
        const std::size_t length = Utf8Sequence(path, i, code);
        if (length == 0) {
            AppendCode(shown, "\\x", static_cast<unsigned char>(path[i]), 2);
            ++i;
            continue;
        }
        const std::string_view character = path.substr(i, length);
        i += length;
        if (code < 0x20 || code == 0x7F) {
            AppendCode(shown, "\\x", code, 2);
            continue;
        }
        // Only a character that comes back from Shift_JIS as itself is shown
        // as itself: "～" and "〜" must not look alike.
        const std::optional<std::string> cp932 = Utf8ToCp932(character);
        if (cp932 && Cp932ToUtf8(*cp932) == character) {
            shown += *cp932;
        } else {
            if (code > 0xFFFF) {
                AppendCode(shown, "\\U", code, 8);
            } else {
                AppendCode(shown, "\\u", code, 4);
            }
        }
    }
    return shown;
}

std::optional<std::string> PathFromArgument(const std::string& utf8) { return utf8; }

std::string NativeName(const std::string& cp932) {
    return Cp932ToUtf8(cp932).value_or(Cp932ToUtf8Lossy(cp932));
}

namespace {

class PosixInputFile : public InputFile {
  public:
    PosixInputFile(int fd, std::string path) : m_fd(fd), m_strPath(std::move(path)) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        for (;;) {
            const ssize_t got = ::read(m_fd.Get(), buffer, size);
            if (got >= 0) return static_cast<std::size_t>(got);
            if (errno != EINTR) throw ReadError(m_strPath);
        }
    }
    bool Rewind() override { return ::lseek(m_fd.Get(), 0, SEEK_SET) == 0; }
    std::optional<FileIdentity> Identity() const override {
        struct stat st {};
        if (::fstat(m_fd.Get(), &st) != 0) return std::nullopt;
        return FileIdentity{static_cast<std::uint64_t>(st.st_dev),
                            static_cast<std::uint64_t>(st.st_ino)};
    }

  private:
    FdHolder m_fd;
    std::string m_strPath;
};

bool EndsWithCsv(const std::string& name) {
    if (name.size() < 4) return false;
    const std::string tail = ToUpperSjis(name.substr(name.size() - 4));
    return tail == ".CSV";
}

class PosixFileSystem : public FileSystem {
  public:
    std::optional<FileStatus> Stat(const std::string& path) override {
        if (path.empty()) return std::nullopt;
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) return std::nullopt;
        FileStatus status{S_ISDIR(st.st_mode), static_cast<std::uint64_t>(st.st_size)};
        status.isSpecial = !S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode);
        return status;
    }

    std::unique_ptr<InputFile> OpenRead(const std::string& path) override {
        const std::string native = path;
        // Without blocking: opening a pipe would otherwise wait for a writer.
        FdHolder fd(::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        if (fd.Get() < 0) return nullptr;
        struct stat st {};
        if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
        const int flags = ::fcntl(fd.Get(), F_GETFL);
        if (flags < 0 || ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return nullptr;
        return std::make_unique<PosixInputFile>(fd.Release(), path);
    }

    std::unique_ptr<OutputFile> CreateNew(const std::string& path) override {
        const std::string native = path;
        const int fd =
            ::open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) return nullptr;
            throw WriteError(path);
        }
        return std::make_unique<PosixOutputFile>(fd, path);
    }

    bool ProbeExclusiveWrite(const std::string& path) override {
        // POSIX has no share modes; an advisory lock held by another program is
        // the closest honest equivalent of "open elsewhere".
        FdHolder fd(
            ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW));
        struct stat st {};
        if (fd.Get() < 0 || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
        if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) return false;
        ::flock(fd.Get(), LOCK_UN);
        return true;
    }

    std::optional<std::vector<std::string>> ListCsvFiles(const std::string& folder) override {
        DIR* dir = ::opendir(std::string(folder.empty() ? "." : folder).c_str());
        if (!dir) return std::nullopt;
        std::vector<std::string> names;
        errno = 0;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (EndsWithCsv(name)) names.push_back(name);
        }
        const bool complete = errno == 0;
        ::closedir(dir);
        if (!complete) return std::nullopt;
        return names;
    }

    std::optional<Subfolders> ListSubfolders(const std::string& folder) override {
        const std::string native = std::string(folder.empty() ? "." : folder);
        DIR* dir = ::opendir(native.c_str());
        if (!dir) return std::nullopt;
        Subfolders found;
        errno = 0;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            struct stat st {};
            if (::stat((native + "/" + name).c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) continue;
            found.names.push_back(name);
            errno = 0;
        }
        const bool complete = errno == 0;
        ::closedir(dir);
        if (!complete) return std::nullopt;
        return found;
    }

    // By path, for file systems that write without a destination (tests);
    // the program itself writes through OpenDestination.
    void Replace(const std::string& from, const std::string& to) override {
        if (::renameat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str()) != 0) {
            throw WriteError(to);
        }
    }

    DestinationResult OpenDestination(const std::string& path) override {
        return OpenPosixDestination(path);
    }

    void Remove(const std::string& path) noexcept override { ::unlink(path.c_str()); }

    std::optional<FileIdentity> Identity(const std::string& path) override {
        struct stat st {};
        if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
        return FileIdentity{static_cast<std::uint64_t>(st.st_dev),
                            static_cast<std::uint64_t>(st.st_ino)};
    }

    std::string ResolveLinks(const std::string& path) override {
        std::string native = path;
        // As many links as the system itself follows before it gives up.
        for (int hop = 0; hop < 40; ++hop) {
            struct stat st {};
            if (::lstat(native.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
            std::string target(PATH_MAX, '\0');
            const ssize_t length = ::readlink(native.c_str(), target.data(), target.size());
            if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) break;
            target.resize(static_cast<std::size_t>(length));
            const std::size_t slash = native.rfind('/');
            native = target.front() == '/' || slash == std::string::npos
                         ? target
                         : native.substr(0, slash + 1) + target;
        }
        return native;
    }
};

}  // namespace

FileSystem& RealFileSystem() {
    static PosixFileSystem fs;
    return fs;
}

}  // namespace kw39::platform
