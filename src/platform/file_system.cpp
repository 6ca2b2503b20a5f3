#include "platform/file_system.h"

#include <algorithm>
#include <random>

#include "platform/encoding.h"
#include "platform/io_error.h"
#include "platform/sjis.h"

namespace kw39::platform {

TargetChangedError::TargetChangedError(const std::string& path)
    : IoError(MessageId::TargetChanged, path, ShownPath(path)) {}

InputChangedError::InputChangedError(const std::string& path)
    : IoError(MessageId::InputChanged, path, ShownPath(path)) {}

std::string TemporaryNameFor(const std::string& name) {
    thread_local std::mt19937_64 generator([] {
        std::random_device device;
        return (static_cast<std::uint64_t>(device()) << 32) ^ device();
    }());
    static constexpr char kHex[] = "0123456789abcdef";
    std::uint64_t value = generator();
    std::string text(16, '0');
    for (char& digit : text) {
        digit = kHex[value & 0xF];
        value >>= 4;
    }
    return name + kTemporaryMarker + text + ".tmp";
}

bool WriteDestination::IsProtected(const FileIdentity& identity) const {
    return std::find(m_aProtected.begin(), m_aProtected.end(), identity) != m_aProtected.end();
}

IoError ReadError(const std::string& path) {
    return IoError(MessageId::ReadFailed, path, ShownPath(path));
}

IoError WriteError(const std::string& path) {
    return IoError(MessageId::WriteFailed, path, ShownPath(path));
}

std::string JoinPath(const std::string& folder, const std::string& name) {
#ifdef _WIN32
    const char separator = '\\';
#else
    const char separator = '/';
#endif
    if (folder.empty()) return name;
    return folder + separator + name;
}

namespace {

// Offset just after the last separator. No byte of a UTF-8 character beyond
// ASCII is a "/" or a "\\", so the bytes are searched as they are.
std::size_t NameStart(const std::string& path) {
#ifdef _WIN32
    const std::size_t separator = path.find_last_of("\\/");
#else
    const std::size_t separator = path.rfind('/');
#endif
    return separator == std::string::npos ? 0 : separator + 1;
}

}  // namespace

std::string FolderOfPath(const std::string& path) {
    const std::size_t start = NameStart(path);
    if (start == 0) return "";
    // The root keeps its separator; any other folder drops it.
    return start == 1 ? path.substr(0, 1) : path.substr(0, start - 1);
}

std::string NameOfPath(const std::string& path) { return path.substr(NameStart(path)); }

std::string FileNameKey(const std::string& name) {
    const std::string upper = ToUpperSjis(name);
    std::string key = Cp932ToUtf8(upper).value_or(upper);
    // Small Roman numerals (U+2170..U+217F) are the lower case of U+2160..U+216F.
    for (std::size_t i = 0; i + 2 < key.size(); ++i) {
        if (key[i] == '\xE2' && key[i + 1] == '\x85' &&
            static_cast<unsigned char>(key[i + 2]) >= 0xB0) {
            key[i + 2] = static_cast<char>(static_cast<unsigned char>(key[i + 2]) - 0x10);
        }
    }
    return key;
}

namespace {

// A destination reached by paths only, for file systems without handles: the
// checks are the same, made on names.
class PathDestination : public WriteDestination {
  public:
    PathDestination(FileSystem& fs, std::string target, bool existed)
        : m_fs(fs),
          m_strTarget(std::move(target)),
          m_strFolder(FolderOfPath(m_strTarget)),
          m_bExisted(existed),
          m_existing(existed ? fs.Identity(m_strTarget) : std::nullopt) {}

    const std::string& Path() const override { return m_strTarget; }
    std::optional<FileIdentity> Existing() const override { return m_existing; }

    std::unique_ptr<OutputFile> CreateTemporary(const std::string& name) override {
        return m_fs.CreateNew(JoinPath(m_strFolder, name));
    }

    void Commit(const std::string& name) override {
        const auto status = m_fs.Stat(m_strTarget);
        const auto current = status ? m_fs.Identity(m_strTarget) : std::nullopt;
        // Gone meanwhile is no harm: nothing is lost by writing there.
        const bool same = !status || (m_bExisted && (!m_existing || current == m_existing));
        if (!same || (status && (status->isDirectory || status->isSpecial)) ||
            (current && IsProtected(*current))) {
            throw TargetChangedError(m_strTarget);
        }
        m_fs.Replace(JoinPath(m_strFolder, name), m_strTarget);
    }

    void Remove(const std::string& name) noexcept override {
        m_fs.Remove(JoinPath(m_strFolder, name));
    }

    // Without handles the only sure test is to create a file of the kind and
    // under the kind of name the writing will use, and to remove it again.
    bool TakesNewFiles() override {
        const std::string name = TemporaryNameFor(NameOfPath(m_strTarget));
        try {
            if (std::unique_ptr<OutputFile> file = CreateTemporary(name)) {
                file.reset();
                Remove(name);
            }
        } catch (const IoError&) {
            return false;
        }
        return true;
    }

  private:
    FileSystem& m_fs;
    std::string m_strTarget;
    std::string m_strFolder;
    bool m_bExisted;
    std::optional<FileIdentity> m_existing;
};

}  // namespace

DestinationResult FileSystem::OpenDestination(const std::string& path) {
    DestinationResult result;
    const std::string target = ResolveLinks(path);
    const auto status = Stat(target);
    if (NameOfPath(target).empty() || (status && status->isDirectory)) {
        result.problem = DestinationProblem::NoName;
        return result;
    }
    if (status && status->isSpecial) {
        result.problem = DestinationProblem::Special;
        return result;
    }
    const std::string folder = FolderOfPath(target);
    const auto folderStatus = Stat(folder.empty() ? "." : folder);
    if (!folderStatus || !folderStatus->isDirectory) {
        result.problem = DestinationProblem::MissingFolder;
        result.folder = folder.empty() ? path : folder;
        return result;
    }
    result.destination = std::make_shared<PathDestination>(*this, target, status.has_value());
    return result;
}

bool FileSystem::SameFile(const std::string& a, const std::string& b) {
    if (a == b) return true;
    const auto first = Identity(a);
    const auto second = Identity(b);
    return first && second && *first == *second;
}

bool FileSystem::SameDestination(const std::string& first, const std::string& second) {
    return DestinationComparison(*this, first).SameAs(second);
}

DestinationComparison::DestinationComparison(FileSystem& fs, const std::string& first)
    // A link whose file does not exist yet writes that file.
    : m_fs(fs), m_strResolved(fs.ResolveLinks(first)) {}

bool DestinationComparison::SameAs(const std::string& second) {
    const std::string& a = m_strResolved;
    const std::string b = m_fs.ResolveLinks(second);
    // The same file (as SameFile tells it).
    if (a == b) return true;
    if (!m_identity) m_identity = m_fs.Identity(a);
    const auto identity = m_fs.Identity(b);
    if (*m_identity && identity && **m_identity == *identity) return true;
    // An existing file is found by the file system itself, whatever the case.
    if (!m_bExists) m_bExists = m_fs.Stat(a).has_value();
    if (*m_bExists || m_fs.Stat(b)) return false;
    if (!SameFileName(NameOfPath(a), NameOfPath(b))) return false;
    const std::string folderA = FolderOfPath(a);
    const std::string folderB = FolderOfPath(b);
    return m_fs.SameFile(folderA.empty() ? "." : folderA, folderB.empty() ? "." : folderB);
}

}  // namespace kw39::platform
