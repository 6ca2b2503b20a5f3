// The program's contact with its terminal: arguments in, messages out. Texts
// cross this boundary in the terminal's encoding; inside they are CP932.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kw39::cli {

// The arguments after the program name, as UTF-8.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Writes CP932 text in the terminal's encoding; characters without a
// counterpart become "?". Control characters other than those in `keep` are
// shown as "\x1B" (see VisibleText), on a terminal and redirected alike.
// False when the stream could not take it all.
bool WriteStderr(std::string_view cp932, std::string_view keep = "\n");
bool WriteStdout(std::string_view cp932);

// Writes a question to the terminal the answer is typed on, when standard
// error goes elsewhere (a log): the user sees what is asked. False when
// there is no such terminal to write to.
bool WriteToInputTerminal(std::string_view cp932);

// True when standard input / standard error is an interactive terminal.
bool StdinIsTerminal();
bool StderrIsTerminal();

// Milliseconds of a clock that never goes back, for pacing the progress line.
std::int64_t MonotonicMilliseconds();

// One line typed on standard input, without its line end, in the terminal's
// encoding; nothing at the end of the input.
std::optional<std::string> ReadStdinLine();

}  // namespace kw39::cli
