// The argument part of the program's command line.
#pragma once

#include <string_view>

namespace kw39::app {

// What follows the program name in a command line as GetCommandLineW returns it
// (the program name possibly quoted), without the blanks before it: the same
// text that WinMain receives as its command-line argument.
std::wstring_view CommandLineTail(std::wstring_view commandLine);

// The output path of a hosted command line's tail ("hostWindow,notifyMessage,
// launchCode,path"), as the host wrote it: after the third comma and the
// blanks that follow it, up to the next blank. Empty when there is no third
// comma. Only meaningful for a tail that has the hosted form.
std::wstring_view HostedOutputPath(std::wstring_view tail);

}  // namespace kw39::app
