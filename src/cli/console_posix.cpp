// Terminals outside Windows speak UTF-8.
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

#include "cli/console.h"
#include "cli/console_stream.h"
#include "platform/encoding.h"
#include "platform/visible_text.h"

namespace kw39::cli {

namespace {

bool WriteAll(std::FILE* stream, std::string_view cp932) {
    return WriteFlushed(stream, platform::Cp932ToUtf8Lossy(cp932));
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return args;
}

bool WriteStderr(std::string_view cp932, std::string_view keep) {
    return WriteAll(stderr, platform::VisibleText(cp932, keep));
}
bool WriteStdout(std::string_view cp932) { return WriteAll(stdout, cp932); }

bool WriteToInputTerminal(std::string_view cp932) {
    // The terminal of standard input, opened for writing by its name: an
    // existing device, never created, and never made the controlling one.
    const char* name = ::ttyname(STDIN_FILENO);
    if (name == nullptr) return false;
    const int fd = ::open(name, O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    std::FILE* terminal = ::fdopen(fd, "w");
    if (terminal == nullptr) {
        ::close(fd);
        return false;
    }
    const bool written = WriteAll(terminal, platform::VisibleText(cp932, "\n"));
    std::fclose(terminal);
    return written;
}

bool StdinIsTerminal() { return ::isatty(STDIN_FILENO) == 1; }
bool StderrIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

std::int64_t MonotonicMilliseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

std::optional<std::string> ReadStdinLine() { return ReadStdinBytes(); }

}  // namespace kw39::cli
