#include "platform/file_system.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include <atomic>

#include "platform/io_error.h"

namespace kw39::platform {

IoError ReadError(const std::string& path) {
    return IoError("ファイルの読み込みに失敗しました。\n" + path, path);
}

IoError WriteError(const std::string& path) {
    return IoError("ファイルの書き込みに失敗しました。\n" + path, path);
}

std::string TemporaryPathBeside(const std::string& path) {
    static std::atomic<unsigned> counter{0};
#ifdef _WIN32
    const long pid = _getpid();
#else
    const long pid = static_cast<long>(::getpid());
#endif
    return path + ".~" + std::to_string(pid) + "-" + std::to_string(++counter) + ".tmp";
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

std::optional<std::string> ReadWholeFile(FileSystem& fs, const std::string& path) {
    auto file = fs.OpenRead(path);
    if (!file) return std::nullopt;
    std::string content;
    char buffer[1 << 16];
    while (const std::size_t got = file->Read(buffer, sizeof buffer)) content.append(buffer, got);
    return content;
}

}  // namespace kw39::platform
