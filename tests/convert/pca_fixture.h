// Test fixtures of the conversion: PCA export files composed by column name,
// and an engine loaded from such a file.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "convert/engine.h"
#include "support/test_support.h"

namespace kw39::test {

// Column name -> value, for one data line.
using Fields = std::vector<std::pair<std::string, std::string>>;

// One data line of a table.
struct PcaRow {
    std::string table;
    Fields fields;
};

// The text of a PCA export file: a 10000 header, then one section per run of
// rows of the same table. Every line carries all the table's columns, so a
// blank value is never the (trimmed) end of a line.
class PcaExport {
  public:
    explicit PcaExport(const std::string& companyName = "テスト会社");
    PcaExport& Add(const std::string& table, const Fields& fields);
    PcaExport& Add(const std::vector<PcaRow>& rows);
    const std::string& Text() const { return m_strText; }

  private:
    std::string m_strText;
    std::string m_strSection;
};

// An engine that has loaded one export file written into a temporary folder.
class LoadedEngine {
  public:
    explicit LoadedEngine(const PcaExport& data);

    CExchangeFromPCAToKw39& Engine() { return *m_pEngine; }
    // Converts every employee of the list into the store, where the tests
    // read the records (a run writes and drops each one); false when the
    // list is empty.
    bool ConvertAll();
    // Converts and writes as a run does, into "out.xml" of `dir`, telling the
    // engine's observer; false when the list is empty.
    bool Run(LinkMode mode = kModeStandard);
    // The stored record of an employee; fails the test when there is none.
    const SYAINDATA& Syain(const std::string& code);
    // The value filed under a label ("" when none).
    std::string Value(const std::string& code, std::string_view label);

    platform::MessageLog log;
    TempDir dir;

  private:
    std::unique_ptr<CExchangeFromPCAToKw39> m_pEngine;
};

}  // namespace kw39::test
