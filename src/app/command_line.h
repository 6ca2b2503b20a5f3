// The argument part of the program's command line.
#pragma once

#include <string_view>

namespace kw39::app {

// What follows the program name in a command line as GetCommandLineW returns it
// (the program name possibly quoted), without the blanks before it: the same
// text that WinMain receives as its command-line argument.
std::wstring_view CommandLineTail(std::wstring_view commandLine);

}  // namespace kw39::app
