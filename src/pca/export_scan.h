// One reading of an export file before anything of it is loaded: whether its
// bytes are Shift_JIS text at all, which tables it has, the company it names
// and the years of its payment dates. The input checks, the proposed document
// name, the report and the year of a run without one all ask this, and the
// file is read for it once.
#pragma once

#include <cstddef>
#include <exception>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "pca/section_mark.h"
#include "pca/text_encoding_check.h"
#include "platform/file_system.h"

namespace kw39 {

// Counts the calendar years of the 10702 payment dates ("YYYYMMDD" with a
// month 1 to 12 and a day 1 to 31), fed the lines of a file one by one
// (trailing blanks trimmed).
class PaymentDateTally {
  public:
    void AddLine(std::string_view line);
    // Dates per calendar year, in ascending years.
    const std::map<int, std::size_t>& Counts() const { return m_mapCounts; }

    // Adds the tally of the lines that follow the ones fed here: the lines
    // before its first header line count when these lines ended in 10702.
    void Append(const PaymentDateTally& later);

  private:
    bool m_bPaymentSection = false;  // the lines are rows of 10702
    bool m_bHeaderSeen = false;
    std::map<int, std::size_t> m_mapCounts;
    // The dates of the lines before the first header line, in case they
    // continue a 10702 section (a file read in two parts).
    std::map<int, std::size_t> m_mapBeforeHeader;
};

// The code and name of a company line, the line after a [10000] header line.
struct CompanyLine {
    std::string code;
    std::string name;
};

struct ExportScan {
    TextVerdict encoding;
    std::set<std::string> tables;        // the codes of the header lines
    std::vector<CompanyLine> companies;  // of every [10000] block, in file order
    bool firstHeaderIsCompany = false;   // the company block leads the file
    // A [10000] header without the two fields after it (DataLineError); the
    // companies after it are not read. Also set when the first one fails.
    std::exception_ptr malformedCompany;
    // A read that failed (platform::IoError); what was read before it counts.
    std::exception_ptr readFailure;
    bool headerRead = false;  // a header line was read at all
    PaymentDateTally paymentDates;
    // Where the sections lie, as the load finds them; only for a file read to
    // its end as Shift_JIS text without an end-of-file byte, else empty.
    SectionMarks sections;
};

// Reads `file` from its start (where it stands: just opened) to its end, or
// as far as its encoding leaves the verdict open: a file certain to be
// refused (a binary file, a device) is read no further. `path` names it in
// messages. A large file that can be read at an offset is read in two halves
// on two threads; whatever is out of the ordinary in either (a byte that is no
// text, an end-of-file byte, a malformed company line, a failed read) has it
// read again in one pass, so that the result is always that of one pass.
ExportScan ScanExport(platform::InputFile& file, const std::string& path);

}  // namespace kw39
