// Helpers of the PCA tests: export files written from CP932 literals.
#pragma once

#include <initializer_list>
#include <string>

#include "support/test_support.h"

namespace kw39::test {

// The lines, each ended by CR LF as the exporter writes them.
inline std::string CrLfLines(std::initializer_list<std::string> lines) {
    std::string content;
    for (const std::string& line : lines) content += line + "\r\n";
    return content;
}

inline std::string WritePcaFile(const TempDir& dir, const std::string& name,
                                std::initializer_list<std::string> lines) {
    return dir.Write(name, CrLfLines(lines));
}

}  // namespace kw39::test
