// A small well-formedness check of the documents the converter writes, with no
// XML library: the declaration, CR LF line ends, balanced tags with quoted
// attributes, and no raw "<", ">" or "&" in text or attribute values except
// the five entities.
#pragma once

#include <string>
#include <string_view>

namespace kw39::test {

struct XmlCheckOptions {
    // Also demand what a real parser needs when the values came through the
    // input checks: no control byte other than tab, CR and LF ...
    bool bNoControlBytes = false;
    // ... and whole Shift_JIS double-byte characters.
    bool bWholeShiftJis = false;
};

// "" when the document passes; otherwise what is wrong and at which byte.
std::string CheckXmlDocument(std::string_view document, const XmlCheckOptions& options = {});

}  // namespace kw39::test
