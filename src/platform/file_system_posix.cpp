// POSIX file system. Paths arrive as CP932 and are handed to the system as
// UTF-8; a path that is not valid CP932 is used as it stands.
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
#include "platform/sjis.h"

namespace kw39::platform {

namespace {

std::string NativePath(const std::string& path) {
    auto utf8 = Cp932ToUtf8(path);
    return utf8 ? *utf8 : path;
}

std::string FromNativeName(const std::string& name) {
    auto cp932 = Utf8ToCp932(name);
    return cp932 ? *cp932 : name;
}

class FdHolder {
  public:
    explicit FdHolder(int fd) : m_fd(fd) {}
    ~FdHolder() {
        if (m_fd >= 0) ::close(m_fd);
    }
    FdHolder(const FdHolder&) = delete;
    FdHolder& operator=(const FdHolder&) = delete;
    int Get() const { return m_fd; }
    int Release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

  private:
    int m_fd;
};

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

  private:
    FdHolder m_fd;
    std::string m_strPath;
};

class PosixOutputFile : public OutputFile {
  public:
    PosixOutputFile(int fd, std::string path) : m_fd(fd), m_strPath(std::move(path)) {}
    void Write(const char* data, std::size_t size) override {
        while (size > 0) {
            const ssize_t put = ::write(m_fd.Get(), data, size);
            if (put < 0) {
                if (errno == EINTR) continue;
                throw WriteError(m_strPath);
            }
            data += put;
            size -= static_cast<std::size_t>(put);
            m_nWritten += static_cast<std::uint64_t>(put);
        }
        StartWriteback();
    }
    void Close() override {
        const int fd = m_fd.Release();
        if (fd < 0) return;
        // The data must be on disk before the file may replace an older one.
        const bool synced = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
        const bool closed = ::close(fd) == 0;
        if (!synced || !closed) throw WriteError(m_strPath);
    }

  private:
    // Asks the system to start putting what was written on disk every few
    // megabytes, so that the disk works while the program goes on and the
    // final fsync waits only for the last of it. A hint only: fsync decides.
    void StartWriteback() noexcept {
#ifdef __linux__
        constexpr std::uint64_t kStride = 8 * 1024 * 1024;
        if (m_nWritten - m_nWrittenBack < kStride) return;
        ::sync_file_range(m_fd.Get(), static_cast<off_t>(m_nWrittenBack),
                          static_cast<off_t>(m_nWritten - m_nWrittenBack), SYNC_FILE_RANGE_WRITE);
        m_nWrittenBack = m_nWritten;
#endif
    }

    FdHolder m_fd;
    std::string m_strPath;
    std::uint64_t m_nWritten = 0;      // bytes written so far
    std::uint64_t m_nWrittenBack = 0;  // bytes whose writeback was started
};

// A UTF-8 name in CP932 for display: each character CP932 lacks becomes "?".
std::string DisplayName(const std::string& utf8) {
    std::string shown;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        length = std::min(length, utf8.size() - i);
        shown += Utf8ToCp932(utf8.substr(i, length)).value_or("?");
        i += length;
    }
    return shown;
}

bool EndsWithCsv(const std::string& name) {
    if (name.size() < 4) return false;
    const std::string tail = ToUpperSjis(name.substr(name.size() - 4));
    return tail == ".CSV";
}

mode_t CurrentUmask() {
    // No call only reads the mask; it is set back at once, and no other thread
    // of the program creates files.
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

// Gives the finished file `from` what the file it replaces had: its mode and,
// where allowed, its owner and group; with no such file, what a new file gets.
void TakeOverPermissions(const std::string& from, const std::string& to) {
    struct stat old {};
    if (::stat(to.c_str(), &old) != 0 || !S_ISREG(old.st_mode)) {
        ::chmod(from.c_str(), 0666 & ~CurrentUmask());
        return;
    }
    // Owner first: changing it may clear the set-id bits the mode then restores.
    if (::chown(from.c_str(), old.st_uid, old.st_gid) != 0) {
        [[maybe_unused]] const int ignored =
            ::chown(from.c_str(), static_cast<uid_t>(-1), old.st_gid);
    }
    ::chmod(from.c_str(), old.st_mode & 07777);
}

class PosixFileSystem : public FileSystem {
  public:
    std::optional<FileStatus> Stat(const std::string& path) override {
        if (path.size() >= kMaxPathBytes || path.empty()) return std::nullopt;
        struct stat st {};
        if (::stat(NativePath(path).c_str(), &st) != 0) return std::nullopt;
        FileStatus status{S_ISDIR(st.st_mode), static_cast<std::uint64_t>(st.st_size)};
        status.isSpecial = !S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode);
        return status;
    }

    std::unique_ptr<InputFile> OpenRead(const std::string& path) override {
        const std::string native = NativePath(path);
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
        const std::string native = NativePath(path);
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
        FdHolder fd(::open(NativePath(path).c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
        if (fd.Get() < 0) return false;
        if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) return false;
        ::flock(fd.Get(), LOCK_UN);
        return true;
    }

    std::optional<std::vector<std::string>> ListCsvFiles(const std::string& folder) override {
        DIR* dir = ::opendir(NativePath(folder.empty() ? "." : folder).c_str());
        if (!dir) return std::nullopt;
        std::vector<std::string> names;
        errno = 0;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = FromNativeName(entry->d_name);
            if (EndsWithCsv(name)) names.push_back(name);
        }
        const bool complete = errno == 0;
        ::closedir(dir);
        if (!complete) return std::nullopt;
        return names;
    }

    std::optional<Subfolders> ListSubfolders(const std::string& folder) override {
        const std::string native = NativePath(folder.empty() ? "." : folder);
        DIR* dir = ::opendir(native.c_str());
        if (!dir) return std::nullopt;
        Subfolders found;
        errno = 0;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            struct stat st {};
            if (::stat((native + "/" + name).c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) continue;
            if (std::optional<std::string> cp932 = Utf8ToCp932(name)) {
                found.names.push_back(std::move(*cp932));
            } else {
                found.unnamed.push_back(DisplayName(name));
            }
            errno = 0;
        }
        const bool complete = errno == 0;
        ::closedir(dir);
        if (!complete) return std::nullopt;
        return found;
    }

    void Replace(const std::string& from, const std::string& to) override {
        const std::string nativeFrom = NativePath(from);
        const std::string nativeTo = NativePath(to);
        TakeOverPermissions(nativeFrom, nativeTo);
        if (::rename(nativeFrom.c_str(), nativeTo.c_str()) != 0) throw WriteError(to);
    }

    void Remove(const std::string& path) noexcept override { ::unlink(NativePath(path).c_str()); }

    std::optional<FileIdentity> Identity(const std::string& path) override {
        struct stat st {};
        if (path.empty() || ::stat(NativePath(path).c_str(), &st) != 0) return std::nullopt;
        return FileIdentity{static_cast<std::uint64_t>(st.st_dev),
                            static_cast<std::uint64_t>(st.st_ino)};
    }

    std::string ResolveLinks(const std::string& path) override {
        std::string native = NativePath(path);
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
        return FromNativeName(native);
    }
};

}  // namespace

FileSystem& RealFileSystem() {
    static PosixFileSystem fs;
    return fs;
}

}  // namespace kw39::platform
