// The English line under a Japanese message on the terminal: the messages are
// the program's own exact texts, and a clerk who does not read Japanese, or a
// colleague helping from afar, still has to know what to correct.
#pragma once

#include <string_view>

namespace kw39::cli {

// The one-line English gloss of a message (CP932), without parentheses; empty
// for a message that has none.
std::string_view EnglishGloss(std::string_view cp932);

}  // namespace kw39::cli
