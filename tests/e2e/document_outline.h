// The shape of the employee sections of an output document: which groups each
// SYAIN section holds, in order, and which field tags each group carries. Lets a
// test check the layout of a document without restating its values.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kw39::test {

// One group of a section: HONNNIN_JOUHOU, FUYOUSINZOKU, KYUUYO, GOUKEI, ...
struct OutlineGroup {
    std::string opening;            // start line without its indentation: <KYUUYO KUBUN="3">
    std::vector<std::string> tags;  // the tags of its field lines, in order
};

struct OutlineSection {
    std::string code;       // the CODE attribute of the start line, as written
    std::size_t lineCount;  // lines from <SYAIN ...> to </SYAIN>, both included
    std::vector<OutlineGroup> groups;
};

// The document's lines without their CR LF ends. The text must end in CR LF.
std::vector<std::string> SplitCrLfLines(std::string_view document);

// The SYAIN sections of a document given as lines. Groups open at 12 blanks of
// indentation and field lines stand at 16; a field line outside any group is
// filed under a group whose opening is "(outside a group)" so that a check fails.
std::vector<OutlineSection> OutlineSections(const std::vector<std::string>& lines);

// One line per group, "opening: TAG TAG ...", for readable comparisons.
std::string RenderGroups(const std::vector<OutlineGroup>& groups);

}  // namespace kw39::test
