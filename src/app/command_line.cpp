#include "app/command_line.h"

namespace kw39::app {

namespace {
// Blanks as the C runtime counts them when it splits off the program name.
bool IsBlank(wchar_t c) { return c != L'\0' && c <= L' '; }
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

}  // namespace kw39::app
