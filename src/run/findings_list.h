// The findings of a run as the desktop program lists them: a line with the
// counts, then one row per finding with the report's kinds and texts.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "run/conversion_report.h"

namespace kw39 {

// The columns of a row, left to right.
inline constexpr std::array<std::string_view, 4> kFindingsColumns = {"社員コード", "氏名", "種類",
                                                                     "内容"};

using FindingsRow = std::array<std::string, 4>;

struct FindingsList {
    // "報告: N 件 (...)", and a sentence under it when there is nothing to list.
    std::string summary;
    std::vector<FindingsRow> rows;  // in the order of the report, all companies
};

// All texts CP932.
FindingsList ListFindings(const ConversionReport& report);

}  // namespace kw39
