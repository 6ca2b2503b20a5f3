#include "platform/file_system.h"

#include "platform/encoding.h"
#include "platform/io_error.h"
#include "platform/sjis.h"

namespace kw39::platform {

IoError ReadError(const std::string& path) { return IoError(MessageId::ReadFailed, path); }

IoError WriteError(const std::string& path) { return IoError(MessageId::WriteFailed, path); }

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

bool IsSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

// Offset just after the last separator (a trail byte never counts as one).
std::size_t NameStart(const std::string& path) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size(); i += CharLength(path, i)) {
        if (IsSeparator(path[i])) start = i + 1;
    }
    return start;
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

bool FileSystem::SameFile(const std::string& a, const std::string& b) {
    if (a == b) return true;
    const auto first = Identity(a);
    const auto second = Identity(b);
    return first && second && *first == *second;
}

bool FileSystem::SameDestination(const std::string& first, const std::string& second) {
    // A link whose file does not exist yet writes that file.
    const std::string a = ResolveLinks(first);
    const std::string b = ResolveLinks(second);
    if (SameFile(a, b)) return true;
    // An existing file is found by the file system itself, whatever the case.
    if (Stat(a) || Stat(b)) return false;
    if (FileNameKey(NameOfPath(a)) != FileNameKey(NameOfPath(b))) return false;
    const std::string folderA = FolderOfPath(a);
    const std::string folderB = FolderOfPath(b);
    return SameFile(folderA.empty() ? "." : folderA, folderB.empty() ? "." : folderB);
}

std::optional<std::string> ReadWholeFile(FileSystem& fs, const std::string& path) {
    auto file = fs.OpenRead(path);
    if (!file) return std::nullopt;
    std::string content;
    char buffer[1 << 16];
    while (const std::size_t got = file->Read(buffer, sizeof buffer)) content.append(buffer, got);
    return content;
}

}  // namespace kw39::platform
