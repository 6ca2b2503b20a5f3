// A second opinion on the documents the tests write: xmllint, a real XML
// parser, reads them (with the encoding they declare) and must find nothing
// wrong. It needs no GoogleTest, so that the replay of the fuzz corpus can use
// it too.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kw39::test {

// What `xmllint --noout` says about the files at `paths` ("" when it reads
// them all as well-formed XML), or nothing when xmllint is not installed.
std::optional<std::string> XmllintComplaints(const std::vector<std::string>& paths);

// The same for a document in memory.
std::optional<std::string> XmllintComplaintsAbout(std::string_view document);

}  // namespace kw39::test
