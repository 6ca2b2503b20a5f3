// The Windows console: arguments from the wide command line, messages through
// the console's Unicode output so that they read right in any console code
// page. Redirected output is UTF-8, like on every other terminal.
// clang-format off
#include <windows.h>
#include <shellapi.h>  // needs windows.h first
// clang-format on

#include <cstdio>
#include <memory>

#include "cli/console.h"
#include "cli/console_stream.h"
#include "platform/encoding_win.h"
#include "platform/visible_text.h"

namespace kw39::cli {

namespace {

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode);
}

bool WriteConsoleText(HANDLE console, const std::wstring& text) {
    const wchar_t* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const DWORD ask = static_cast<DWORD>(left < 16384 ? left : 16384);
        DWORD written = 0;
        if (!WriteConsoleW(console, data, ask, &written, nullptr) || written == 0) return false;
        data += written;
        left -= written;
    }
    return true;
}

bool WriteAll(DWORD which, std::FILE* stream, std::string_view cp932) {
    const std::wstring wide = platform::Cp932ToWideLossy(cp932);
    HANDLE handle = GetStdHandle(which);
    if (IsConsole(handle)) {
        std::fflush(stream);
        return WriteConsoleText(handle, wide);
    }
    return WriteFlushed(stream, platform::WideToUtf8(wide).value_or(std::string()));
}

struct LocalFreeDeleter {
    void operator()(wchar_t** p) const { LocalFree(p); }
};

}  // namespace

std::vector<std::string> ProgramArguments(int, char**) {
    // argv of a narrow main() is in the ANSI code page and loses every
    // character outside it; the wide command line loses nothing.
    int count = 0;
    const std::unique_ptr<wchar_t*, LocalFreeDeleter> argv(
        CommandLineToArgvW(GetCommandLineW(), &count));
    std::vector<std::string> args;
    if (!argv) return args;
    for (int i = 1; i < count; ++i) {
        // An argument that is not valid UTF-16 (a lone surrogate) names nothing.
        args.push_back(platform::WideToUtf8(argv.get()[i]).value_or("?"));
    }
    return args;
}

bool WriteStderr(std::string_view cp932, std::string_view keep) {
    return WriteAll(STD_ERROR_HANDLE, stderr, platform::VisibleText(cp932, keep));
}
bool WriteStdout(std::string_view cp932) { return WriteAll(STD_OUTPUT_HANDLE, stdout, cp932); }

bool WriteToInputTerminal(std::string_view cp932) {
    // The console the answer is typed in, whatever standard error is.
    HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) return false;
    const bool written =
        WriteConsoleText(console, platform::Cp932ToWideLossy(platform::VisibleText(cp932, "\n")));
    CloseHandle(console);
    return written;
}

bool StdinIsTerminal() { return IsConsole(GetStdHandle(STD_INPUT_HANDLE)); }
bool StderrIsTerminal() { return IsConsole(GetStdHandle(STD_ERROR_HANDLE)); }

std::int64_t MonotonicMilliseconds() { return static_cast<std::int64_t>(GetTickCount64()); }

std::optional<std::string> ReadStdinLine() {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (IsConsole(input)) {
        std::wstring line;
        wchar_t c = 0;
        DWORD got = 0;
        while (ReadConsoleW(input, &c, 1, &got, nullptr) && got == 1 && c != L'\n')
            line.push_back(c);
        if (got == 0 && line.empty()) return std::nullopt;
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        return platform::WideToUtf8(line).value_or(std::string());
    }
    return ReadStdinBytes();
}

}  // namespace kw39::cli
