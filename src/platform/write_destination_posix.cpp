// Where the POSIX file system writes: the folder is opened once (O_PATH), and
// every later step acts relative to that descriptor or on the descriptor of
// the file itself, so that nobody who may rename entries in the folder can
// redirect a step to another file.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <map>
#include <mutex>
#include <optional>

#include "platform/io_error.h"
#include "platform/posix_file.h"

namespace kw39::platform {

namespace {

// The part a temporary name adds to the target's name: ".~kw39-", 16 hex
// digits and ".tmp".
constexpr std::size_t kTemporarySuffixBytes = 27;

constexpr const char* kAccessAcl = "system.posix_acl_access";

FileIdentity IdentityOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

// The entry `name` in `dir`, not followed; the error number when there is none.
int StatEntry(int dir, const std::string& name, struct stat& st) {
    return ::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
}

std::string ReadLinkAt(int dir, const std::string& name) {
    std::string target(PATH_MAX, '\0');
    const ssize_t length = ::readlinkat(dir, name.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return "";
    target.resize(static_cast<std::size_t>(length));
    return target;
}

mode_t CurrentUmask() {
    // No call only reads the mask; it is set back at once. Two threads that
    // read it at once would each set it for the other, so they take turns. A
    // file another thread creates meanwhile is created for its owner only
    // (0600) whichever mask is set, and gets its permissions here.
    static std::mutex reading;
    const std::lock_guard lock(reading);
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

// What the finished file takes from the file it replaces: everything when
// that file belongs to the user running the program; otherwise nothing, and
// it gets what a new file gets. A file planted by someone else must not make
// the document readable by them, nor give it away.
struct Inheritance {
    bool keep = false;
    mode_t mode = 0;
    gid_t gid = 0;
    std::string acl;  // the extended access ACL, when there is one
};

std::string AccessAclOf(int dir, const std::string& name, const struct stat& seen) {
    const FdHolder file(
        ::openat(dir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st {};
    if (file.Get() < 0 || ::fstat(file.Get(), &st) != 0 || st.st_ino != seen.st_ino ||
        st.st_dev != seen.st_dev) {
        return "";
    }
    std::string acl(4096, '\0');
    const ssize_t length = ::fgetxattr(file.Get(), kAccessAcl, acl.data(), acl.size());
    if (length <= 0) return "";
    acl.resize(static_cast<std::size_t>(length));
    return acl;
}

Inheritance InheritanceFrom(int dir, const std::string& name,
                            const std::optional<struct stat>& old) {
    Inheritance inheritance;
    if (!old || old->st_uid != ::geteuid()) return inheritance;
    inheritance.keep = true;
    inheritance.mode = old->st_mode & 0777;  // never a set-id bit on a document
    inheritance.gid = old->st_gid;
    inheritance.acl = AccessAclOf(dir, name, *old);
    return inheritance;
}

void ApplyPermissions(int fd, const Inheritance& from) {
    if (!from.keep) {
        ::fchmod(fd, 0666 & ~CurrentUmask());
        return;
    }
    mode_t mode = from.mode;
    struct stat own {};
    if (::fstat(fd, &own) == 0 && own.st_gid != from.gid &&
        ::fchown(fd, static_cast<uid_t>(-1), from.gid) != 0) {
        mode &= ~static_cast<mode_t>(0070);  // not that group: this one gets nothing
    }
    ::fchmod(fd, mode);
    if (!from.acl.empty()) ::fsetxattr(fd, kAccessAcl, from.acl.data(), from.acl.size(), 0);
}

class PosixDestination : public WriteDestination {
  public:
    PosixDestination(int dir, std::string name, std::string shown,
                     const std::optional<struct stat>& old)
        : m_dir(dir),
          m_strName(std::move(name)),
          m_strShown(std::move(shown)),
          m_old(old),
          m_inheritance(InheritanceFrom(dir, m_strName, old)) {}

    const std::string& Path() const override { return m_strShown; }
    std::optional<FileIdentity> Existing() const override {
        if (!m_old) return std::nullopt;
        return IdentityOf(*m_old);
    }

    std::unique_ptr<OutputFile> CreateTemporary(const std::string& name) override {
        const int fd = ::openat(m_dir.Get(), name.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) return nullptr;
            throw WriteError(m_strShown);
        }
        struct stat st {};
        if (::fstat(fd, &st) == 0) m_mapCreated[name] = IdentityOf(st);
        return std::make_unique<PosixOutputFile>(
            fd, m_strShown, [this](int file) { ApplyPermissions(file, m_inheritance); });
    }

    void Commit(const std::string& name) override {
        // The file under the temporary name must still be the one written:
        // whoever may rename entries in the folder could have put another
        // file, or a link, in its place.
        struct stat written {};
        const auto created = m_mapCreated.find(name);
        if (created == m_mapCreated.end() || StatEntry(m_dir.Get(), name, written) != 0 ||
            !S_ISREG(written.st_mode) || IdentityOf(written) != created->second) {
            throw TargetChangedError(m_strShown);
        }
        struct stat now {};
        const int error = StatEntry(m_dir.Get(), m_strName, now);
        if (error == 0) {
            if (!S_ISREG(now.st_mode) || !m_old || IdentityOf(now) != IdentityOf(*m_old) ||
                IsProtected(IdentityOf(now))) {
                throw TargetChangedError(m_strShown);
            }
            if (::renameat(m_dir.Get(), name.c_str(), m_dir.Get(), m_strName.c_str()) != 0) {
                throw WriteError(m_strShown);
            }
            return;
        }
        if (error != ENOENT) throw WriteError(m_strShown);
        // Nothing was there, and nothing that appears meanwhile is replaced.
        if (::renameat2(m_dir.Get(), name.c_str(), m_dir.Get(), m_strName.c_str(),
                        RENAME_NOREPLACE) == 0) {
            return;
        }
        if (errno == EEXIST) throw TargetChangedError(m_strShown);
        // A file system that cannot refuse to replace: the check above stands.
        if ((errno != EINVAL && errno != ENOSYS) ||
            ::renameat(m_dir.Get(), name.c_str(), m_dir.Get(), m_strName.c_str()) != 0) {
            throw WriteError(m_strShown);
        }
    }

    void Remove(const std::string& name) noexcept override {
        ::unlinkat(m_dir.Get(), name.c_str(), 0);
    }

  private:
    FdHolder m_dir;
    std::string m_strName;
    std::string m_strShown;
    std::optional<struct stat> m_old;
    Inheritance m_inheritance;
    std::map<std::string, FileIdentity> m_mapCreated;  // temporary files, by name
};

int OpenFolder(int at, const std::string& folder) {
    return ::openat(at, folder.empty() ? "." : folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

bool IsBareName(const std::string& name) { return !name.empty() && name != "." && name != ".."; }

DestinationResult Problem(DestinationProblem problem, std::string folder = "") {
    DestinationResult result;
    result.problem = problem;
    result.folder = std::move(folder);
    return result;
}

// The folder takes a new file from this user under the temporary name, and an
// existing file may be replaced: judged without creating anything.
DestinationProblem WritableProblem(int dir, const std::string& name,
                                   const std::optional<struct stat>& old) {
    const long nameMax = ::fpathconf(dir, _PC_NAME_MAX);
    const std::size_t limit = nameMax > 0 ? static_cast<std::size_t>(nameMax) : NAME_MAX;
    if (name.size() + kTemporarySuffixBytes > limit) return DestinationProblem::NotWritable;
    if (::faccessat(dir, ".", W_OK | X_OK, AT_EACCESS) != 0) return DestinationProblem::NotWritable;
    struct stat folder {};
    const uid_t user = ::geteuid();
    // In a sticky folder only the owner of a file (or of the folder) may
    // rename over it.
    if (old && ::fstat(dir, &folder) == 0 && (folder.st_mode & S_ISVTX) && old->st_uid != user &&
        folder.st_uid != user && user != 0) {
        return DestinationProblem::NotReplaceable;
    }
    return DestinationProblem::None;
}

}  // namespace

DestinationResult OpenPosixDestination(const std::string& path) {
    std::string name = NameOfPath(path);
    std::string shown = path;
    if (!IsBareName(name)) return Problem(DestinationProblem::NoName);
    const std::string folder = FolderOfPath(path);
    FdHolder dir(OpenFolder(AT_FDCWD, folder));
    if (dir.Get() < 0)
        return Problem(DestinationProblem::MissingFolder, folder.empty() ? path : folder);
    struct stat st {};
    int error = StatEntry(dir.Get(), name, st);
    if (error == 0 && S_ISLNK(st.st_mode)) {
        // A link is followed once, and only one of this user's own: someone
        // else's link in a shared folder would let them choose what is written
        // over.
        const std::string target = ReadLinkAt(dir.Get(), name);
        DestinationResult refused;
        refused.link = path;
        refused.linkTarget = target;
        if (st.st_uid != ::geteuid()) {
            refused.problem = DestinationProblem::ForeignLink;
            return refused;
        }
        name = NameOfPath(target);
        if (!IsBareName(name)) {
            refused.problem =
                target.empty() ? DestinationProblem::LinkChain : DestinationProblem::NoName;
            return refused;
        }
        const bool absolute = target.front() == '/';
        const std::string targetFolder = FolderOfPath(target);
        shown = absolute ? target : JoinPath(folder, target);
        FdHolder linked(OpenFolder(absolute ? AT_FDCWD : dir.Get(), targetFolder));
        if (linked.Get() < 0) {
            return Problem(DestinationProblem::MissingFolder, FolderOfPath(shown));
        }
        dir.Reset(linked.Release());
        error = StatEntry(dir.Get(), name, st);
        if (error == 0 && S_ISLNK(st.st_mode)) {
            refused.problem = DestinationProblem::LinkChain;
            return refused;
        }
    }
    if (error != 0 && error != ENOENT) return Problem(DestinationProblem::NotWritable);
    if (error == 0 && S_ISDIR(st.st_mode)) return Problem(DestinationProblem::NoName);
    if (error == 0 && !S_ISREG(st.st_mode)) return Problem(DestinationProblem::Special);
    std::optional<struct stat> old;
    if (error == 0) old = st;
    if (const DestinationProblem problem = WritableProblem(dir.Get(), name, old);
        problem != DestinationProblem::None) {
        return Problem(problem);
    }
    DestinationResult result;
    result.destination =
        std::make_shared<PosixDestination>(dir.Release(), std::move(name), std::move(shown), old);
    return result;
}

}  // namespace kw39::platform
