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

// Reads an open file from an offset on with pread, which moves no shared
// position: another thread may read the same file meanwhile.
class PosixPartInputFile : public InputFile {
  public:
    PosixPartInputFile(int fd, std::uint64_t offset, const std::string& path)
        : m_fd(fd), m_nOffset(offset), m_strPath(path) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        for (;;) {
            const ssize_t got = ::pread(m_fd, buffer, size, static_cast<off_t>(m_nOffset));
            if (got >= 0) {
                m_nOffset += static_cast<std::uint64_t>(got);
                return static_cast<std::size_t>(got);
            }
            if (errno != EINTR) throw ReadError(m_strPath);
        }
    }

  private:
    int m_fd;  // owned by the file it is a part of
    std::uint64_t m_nOffset;
    std::string m_strPath;
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
    bool Rewind() override { return ::lseek(m_fd.Get(), 0, SEEK_SET) == 0; }
    std::optional<FileIdentity> Identity() const override {
        struct stat st {};
        if (::fstat(m_fd.Get(), &st) != 0) return std::nullopt;
        return FileIdentity{static_cast<std::uint64_t>(st.st_dev),
                            static_cast<std::uint64_t>(st.st_ino)};
    }
    std::optional<FileStamp> Stamp() const override {
        struct stat st {};
        if (::fstat(m_fd.Get(), &st) != 0) return std::nullopt;
        return FileStamp{static_cast<std::uint64_t>(st.st_size),
                         static_cast<std::uint64_t>(st.st_mtim.tv_sec) * 1000000000u +
                             static_cast<std::uint64_t>(st.st_mtim.tv_nsec)};
    }
    std::unique_ptr<InputFile> ReadAt(std::uint64_t offset) const override {
        return std::make_unique<PosixPartInputFile>(m_fd.Get(), offset, m_strPath);
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

bool SameFileName(const std::string& a, const std::string& b) {
    // Linux tells names apart byte by byte: OUT.xml and out.xml are two files.
    return a == b;
}

FileSystem& RealFileSystem() {
    static PosixFileSystem fs;
    return fs;
}

}  // namespace kw39::platform
