// Reads a file the way the program reads its inputs, through a FileSystem, so
// that a test sees what the program would see (a pinned handle, a fault).
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "platform/file_system.h"

namespace kw39::test {

// The bytes of the file; nothing when it cannot be opened.
inline std::optional<std::string> ReadThrough(platform::FileSystem& fs, const std::string& path) {
    const std::unique_ptr<platform::InputFile> file = fs.OpenRead(path);
    if (!file) return std::nullopt;
    std::string content;
    char buffer[1 << 16];
    while (const std::size_t got = file->Read(buffer, sizeof buffer)) content.append(buffer, got);
    return content;
}

}  // namespace kw39::test
