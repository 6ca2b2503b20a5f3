#include "app/command_line.h"

namespace kw39::app {

namespace {
// Blanks as the C runtime counts them when it splits off the program name.
bool IsBlank(wchar_t c) { return c != L'\0' && c <= L' '; }

// Blanks as scanf's %s counts them.
bool IsScanBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}
}  // namespace

std::wstring_view CommandLineTail(std::wstring_view commandLine) {
    std::size_t pos = 0;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        // A quoted program name ends with its closing quote.
        const std::size_t close = commandLine.find(L'"', 1);
        pos = close == std::wstring_view::npos ? commandLine.size() : close + 1;
    } else {
        while (pos < commandLine.size() && commandLine[pos] > L' ') ++pos;
    }
    while (pos < commandLine.size() && IsBlank(commandLine[pos])) ++pos;
    return commandLine.substr(pos);
}

std::wstring_view HostedOutputPath(std::wstring_view tail) {
    // The three numbers hold no comma, so the path starts after the third one.
    std::size_t pos = 0;
    for (int comma = 0; comma < 3; ++comma) {
        pos = tail.find(L',', pos);
        if (pos == std::wstring_view::npos) return {};
        ++pos;
    }
    while (pos < tail.size() && IsScanBlank(tail[pos])) ++pos;
    std::size_t end = pos;
    while (end < tail.size() && !IsScanBlank(tail[end])) ++end;
    return tail.substr(pos, end - pos);
}

}  // namespace kw39::app
