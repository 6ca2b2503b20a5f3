// CExchangeFromPCAToKw39: one conversion run. Owns the PCA reader, the export
// store and the code conversion tables; loads, converts every employee and has
// the store write the document.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "export/export_xml.h"
#include "pca/reader.h"
#include "platform/file_system.h"
#include "platform/message_port.h"

namespace kw39 {

// One row of the direct field map: a PCA column copied (or translated through
// the conversion table named after the column) into a target field.
struct DIRECT_ITEM {
    const char* pszTable;
    unsigned char bConvert;
    const char* pszColumn;
    const char* pszLabel;
};

// The outcome of RunConversion that callers may act on.
enum class RunOutcome {
    Written,      // the document was written
    NoEmployees,  // no employee was loaded: nothing written, no message
};

class CExchangeFromPCAToKw39 {
public:
    explicit CExchangeFromPCAToKw39(platform::MessagePort& port,
                                    platform::FileSystem& fs = platform::RealFileSystem());
    virtual ~CExchangeFromPCAToKw39();
    CExchangeFromPCAToKw39(const CExchangeFromPCAToKw39&) = delete;
    CExchangeFromPCAToKw39& operator=(const CExchangeFromPCAToKw39&) = delete;

    // Load, convert, write. Throws DataLineError or platform::IoError.
    RunOutcome RunConversion(std::vector<std::string> inputPaths, int count,
                             std::string outputPath, int mode, std::string launchCodeText,
                             std::string yearText);

    // Converts every employee of the reader's list; false when it is empty.
    bool ConvertAllEmployees();
    void ConvertEmployee(const std::string& code);

    // Target value of a PCA value in the named conversion table ("" when the
    // table has no entry); a missing table shows "変換テーブルが存在しません。".
    std::string ConvertCode(std::string_view table, std::string_view value);
    void ConvertDirectItem(const std::string& code, const DIRECT_ITEM& item);

    CPCAKyuuyo& Reader() { return m_reader; }
    CExportXMLKw39& Store() { return m_store; }

private:
    platform::MessagePort& m_port;
    CExportXMLKw39 m_store;
    CPCAKyuuyo m_reader;
    std::unordered_map<std::string, std::unordered_map<std::string, std::string>> m_mapTables;
};

// The 49 rows of the direct field map, in the order they are applied.
const std::vector<DIRECT_ITEM>& DirectItems();

}  // namespace kw39
