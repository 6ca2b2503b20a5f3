#include "irregular.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "random.h"

namespace kw39::gen {

namespace {

struct Line {
    std::string section;  // the table code of the section it is in; "" for a header
    std::string text;
};

std::vector<Line> ReadLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::stringstream bytes;
    bytes << in.rdbuf();
    std::vector<Line> lines;
    std::string section;
    std::string text;
    while (std::getline(bytes, text)) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        const bool header = !text.empty() && text.front() == '[';
        if (header) section = text.substr(1, text.find(']') - 1);
        lines.push_back({header ? std::string() : section, text});
    }
    return lines;
}

void WriteLines(const std::string& path, const std::vector<Line>& lines) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const Line& line : lines) out << line.text << "\r\n";
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string Joined(const std::vector<std::string>& fields) {
    std::string text;
    for (std::size_t i = 0; i < fields.size(); ++i) text += (i ? "," : "") + fields[i];
    return text;
}

// A data line of a file, at random; -1 when the file has none.
int AnyDataLine(const std::vector<Line>& lines, Random& random, const std::string& table = {}) {
    std::vector<int> data;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (!line.section.empty() && line.section != "10000" &&
            (table.empty() || line.section == table)) {
            data.push_back(static_cast<int>(i));
        }
    }
    return data.empty()
               ? -1
               : data[static_cast<std::size_t>(random.Below(static_cast<int>(data.size())))];
}

// A field from the fourth on (the keys and the payment date stay as they are)
// given quotes inside it, as a clerk's typing can leave them: a quoted word
// after its text, 予"貼"工業, or text after a closing quote, "ソ表,能"商会.
// Either makes the split keep the commas that follow.
void QuoteInsideField(std::vector<Line>& lines, Random& random) {
    const int i = AnyDataLine(lines, random);
    if (i < 0) return;
    std::vector<std::string> fields = CommaFields(lines[static_cast<std::size_t>(i)].text);
    if (fields.size() < 4) return;
    std::string& field =
        fields[3 + static_cast<std::size_t>(random.Below(static_cast<int>(fields.size()) - 3))];
    field = random.Percent(50) ? field + "予\"貼\"工業" : "\"ソ表,能\"商会" + field;
    lines[static_cast<std::size_t>(i)].text = Joined(fields);
}

void Edit(std::vector<Line>& lines, Random& random) {
    switch (random.Below(8)) {
        case 0: {  // a line left out
            const int i = AnyDataLine(lines, random);
            if (i >= 0) lines.erase(lines.begin() + i);
            break;
        }
        case 1: {  // the key again, one later field changed, in a section of its own
            const int i = AnyDataLine(lines, random);
            if (i < 0) break;
            std::vector<std::string> fields = CommaFields(lines[static_cast<std::size_t>(i)].text);
            if (fields.size() < 3) break;
            fields.back() = fields.back() + "9";
            const std::string table = lines[static_cast<std::size_t>(i)].section;
            lines.push_back({"", "[" + table + "]"});
            lines.push_back({table, Joined(fields)});
            break;
        }
        case 2: {  // an empty employee code, or an empty second key
            const int i = AnyDataLine(lines, random);
            if (i < 0) break;
            std::vector<std::string> fields = CommaFields(lines[static_cast<std::size_t>(i)].text);
            fields[fields.size() > 1 ? static_cast<std::size_t>(random.Below(2)) : 0].clear();
            lines[static_cast<std::size_t>(i)].text = Joined(fields);
            break;
        }
        case 3: {  // a salary number outside 1 to 12, or another spelling of its month
            const int i = AnyDataLine(lines, random, "10701");
            if (i < 0) break;
            std::vector<std::string> fields = CommaFields(lines[static_cast<std::size_t>(i)].text);
            fields[1] = random.Percent(50) ? "13" : "0" + fields[1];
            lines[static_cast<std::size_t>(i)].text = Joined(fields);
            break;
        }
        case 4:  // a section of a table nobody knows
            lines.push_back({"", random.Percent(50) ? "[12345]" : "[10799]"});
            lines.push_back({"12345", "1,2,3"});
            break;
        case 5:  // a line before the first header
            lines.insert(lines.begin(), {"?", "stray,line"});
            break;
        case 6:
            QuoteInsideField(lines, random);
            break;
        default: {  // a bonus without its amounts, or amounts without their bonus
            const int i = AnyDataLine(lines, random, random.Percent(50) ? "10705" : "10706");
            if (i >= 0) lines.erase(lines.begin() + i);
            break;
        }
    }
}

}  // namespace

void AddIrregularities(const std::vector<std::string>& paths, int count, std::uint64_t seed) {
    if (paths.empty()) return;
    std::vector<std::vector<Line>> files;
    for (const std::string& path : paths) files.push_back(ReadLines(path));
    Random random = Random::For(seed, 0x1EE6, 1);
    for (int n = 0; n < count; ++n) {
        Edit(files[static_cast<std::size_t>(random.Below(static_cast<int>(files.size())))], random);
    }
    for (std::size_t f = 0; f < paths.size(); ++f) WriteLines(paths[f], files[f]);
}

std::vector<std::string> CommaFields(const std::string& text) {
    std::vector<std::string> fields(1);
    for (const char c : text) {
        if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

}  // namespace kw39::gen
