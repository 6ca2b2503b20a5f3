// Terminals outside Windows speak UTF-8.
#include <time.h>
#include <unistd.h>

#include <cstdio>

#include "cli/console.h"
#include "cli/console_stream.h"
#include "cli/visible_text.h"
#include "platform/encoding.h"

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
    return WriteAll(stderr, VisibleText(cp932, keep));
}
bool WriteStdout(std::string_view cp932) { return WriteAll(stdout, cp932); }

bool StdinIsTerminal() { return ::isatty(STDIN_FILENO) == 1; }
bool StderrIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

std::int64_t MonotonicMilliseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

std::optional<std::string> ReadStdinLine() { return ReadStdinBytes(); }

}  // namespace kw39::cli
