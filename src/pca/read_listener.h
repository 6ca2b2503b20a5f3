// ReadListener: told by the reader about data lines that load but deserve the
// clerk's attention. Telling it changes nothing in what is loaded.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kw39 {

class ReadListener {
  public:
    virtual ~ReadListener() = default;

    // A data line of a known table that holds an odd number of double quotes:
    // a stray or unclosed quote that made the rest of the line one field by
    // the quote rules. `line` is the line without its trailing blanks, valid
    // only for the call.
    virtual void QuoteCountOdd(const std::string& /*path*/, std::size_t /*lineNumber*/,
                               std::string_view /*line*/) {}
};

}  // namespace kw39
