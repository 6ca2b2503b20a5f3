// ReadListener: told by the reader about data lines that load but deserve the
// clerk's attention. Telling it changes nothing in what is loaded. Texts are
// CP932 views valid only for the call: a listener keeps copies.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

#include "pca/csv_fields.h"

namespace kw39 {

// Where a data line was read: the file as the caller named it, and the line.
struct LineOrigin {
    std::string_view path;
    std::size_t line = 0;  // 1-based; 0 when unknown
};

// A field of a keyed row that a later line with the same key overwrote with
// another value (the format's rule: the last line of a key wins, field by field).
struct OverwrittenField {
    std::string_view table;
    std::string_view key;       // the row key, its values joined with "@"
    std::string_view employee;  // the employee code for a per-employee table, else ""
    std::string_view column;
    std::string_view kept;      // the value of the later line, which the row keeps
    std::string_view replaced;  // the value it replaced
    LineOrigin keptAt;
    LineOrigin replacedAt;
};

// Data lines no table takes: those of a section whose table the catalogue does
// not know, or those before the first header line of a file.
struct IgnoredLines {
    std::string_view path;
    std::string_view table;  // the header's code ("12345", "10601x"); "" before the first header
    std::size_t count = 0;
    std::size_t firstLine = 0;
};

// A data line of a known table whose quotes probably made the split cut it
// other than its writer meant (see QuoteFault): an odd number of double
// quotes, or a comma kept inside a field not wholly enclosed in quotes. The
// line is loaded as split. `line` is the line without its trailing blanks.
struct QuoteMismatch {
    std::string_view path;
    std::size_t lineNumber = 0;
    std::string_view line;
    QuoteFault fault = QuoteFault::None;
};

// The company name ("会社名") of a data line of the 10000 section, as the
// reader keeps it: the last one read wins.
struct CompanyNameRead {
    std::string_view name;
};

// A line of a per-employee table whose key value `column` ("社員コード",
// "扶養親族番号", "支給回") is empty: no lookup reaches its values. `employee`
// is the line's employee code ("" when that is the empty one).
struct KeyEmpty {
    LineOrigin where;
    std::string_view table;
    std::string_view column;
    std::string_view employee;
};

// What the load finds worth a look: the lines of one file that no table takes
// (told once per table and file when the file has been read), a field that a
// later line of its key replaced where an earlier line held a different value
// (an explicit empty field included), and the others above; and the company
// name as read.
using ReadFinding =
    std::variant<QuoteMismatch, CompanyNameRead, IgnoredLines, OverwrittenField, KeyEmpty>;

class ReadListener {
  public:
    virtual ~ReadListener() = default;
    // One call per finding of the load; its views are valid only for the call.
    virtual void Noted(const ReadFinding& /*finding*/) {}
};

}  // namespace kw39
