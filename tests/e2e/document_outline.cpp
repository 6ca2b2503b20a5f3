#include "document_outline.h"

namespace kw39::test {

namespace {

constexpr std::string_view kSectionStart = "        <SYAIN ";
constexpr std::string_view kSectionEnd = "        </SYAIN>";
constexpr std::size_t kGroupIndent = 12;
constexpr std::size_t kFieldIndent = 16;

std::size_t Indentation(std::string_view line) {
    const std::size_t first = line.find_first_not_of(' ');
    return first == std::string_view::npos ? line.size() : first;
}

// The element name of a line such as <TAG>, <TAG/>, <TAG>value</TAG> or
// <TAG ATTR="x">, given without its indentation.
std::string TagOf(std::string_view element) {
    const std::size_t end = element.find_first_of(" />", 1);
    return std::string(element.substr(1, end == std::string_view::npos ? end : end - 1));
}

std::string CodeAttribute(std::string_view startLine) {
    constexpr std::string_view kCode = "CODE=\"";
    const std::size_t from = startLine.find(kCode);
    if (from == std::string_view::npos) return {};
    const std::size_t begin = from + kCode.size();
    return std::string(startLine.substr(begin, startLine.find('"', begin) - begin));
}

}  // namespace

std::vector<std::string> SplitCrLfLines(std::string_view document) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < document.size()) {
        const std::size_t end = document.find("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(document.substr(start));
            break;
        }
        lines.emplace_back(document.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<OutlineSection> OutlineSections(const std::vector<std::string>& lines) {
    std::vector<OutlineSection> sections;
    OutlineSection* section = nullptr;
    OutlineGroup* group = nullptr;
    for (const std::string& line : lines) {
        if (line.starts_with(kSectionStart)) {
            sections.push_back({CodeAttribute(line), 0, {}});
            section = &sections.back();
            group = nullptr;
        }
        if (section == nullptr) continue;
        ++section->lineCount;
        const std::size_t indent = Indentation(line);
        const std::string_view element = std::string_view(line).substr(indent);
        if (indent == kGroupIndent && element.starts_with("</")) {
            group = nullptr;
        } else if (indent == kGroupIndent) {
            section->groups.push_back({std::string(element), {}});
            group = &section->groups.back();
        } else if (indent == kFieldIndent) {
            if (group == nullptr) {
                section->groups.push_back({"(outside a group)", {}});
                group = &section->groups.back();
            }
            group->tags.push_back(TagOf(element));
        }
        if (line == kSectionEnd) section = nullptr;
    }
    return sections;
}

std::string RenderGroups(const std::vector<OutlineGroup>& groups) {
    std::string text;
    for (const OutlineGroup& group : groups) {
        text += group.opening + ":";
        for (const std::string& tag : group.tags) text += " " + tag;
        text += "\n";
    }
    return text;
}

}  // namespace kw39::test
