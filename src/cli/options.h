// The command line of kw39pcaconv: what the user asked for. Paths stay the
// bytes that were given (they name files, they are not text); the year is
// CP932, as it is written into the document.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "export/export_xml.h"
#include "run/input_slots.h"

namespace kw39::cli {

struct CliOptions {
    std::optional<std::string> year;  // year box text, unchanged
    LinkMode mode = kModeStandard;
    std::array<std::optional<std::string>, kSlotCount> slots;  // input paths by slot
    std::optional<std::string> folder;                         // folder to choose from
    std::optional<std::string> output;                         // output path
    std::optional<std::string> batch;                          // root of company folders
    std::optional<std::string> outputDir;                      // folder of the batch's documents
    std::optional<std::string> report;                         // conversion report to write
    bool yes = false;                                          // answer the confirmation OK
    bool check = false;  // every check, the load and the conversion; no document
    bool quiet = false;  // only warnings and errors
    bool help = false;
    bool version = false;
};

struct ParsedOptions {
    CliOptions options;
    std::string error;  // CP932 text of a usage error; empty when the line is fine
};

// Parses the arguments (UTF-8, without the program name). The year is turned
// into CP932; one that Shift_JIS cannot express is a usage error.
ParsedOptions ParseOptions(const std::vector<std::string>& args);

// The option that fills a slot: "--company", "--payee", ...
std::string_view SlotOptionName(std::size_t slot);

}  // namespace kw39::cli
