#include "convert/engine.h"

#include <algorithm>

namespace kw39 {

CExchangeFromPCAToKw39::CExchangeFromPCAToKw39(platform::MessagePort& port,
                                               platform::FileSystem& fs)
    : m_port(port), m_store(port, fs), m_reader(port, fs) {
    for (const CONVERT_ITEM& item : ConvertItems()) {
        m_mapTables[item.pszTable][item.pszFrom] = item.pszTo;
    }
}

CExchangeFromPCAToKw39::~CExchangeFromPCAToKw39() = default;

RunOutcome CExchangeFromPCAToKw39::RunConversion(std::vector<std::string> inputPaths, int count,
                                                 std::string outputPath, int mode,
                                                 std::string launchCodeText, std::string yearText) {
    // The load result is not consulted: a failed load leaves the employee list
    // empty, and the conversion below then ends the run.
    const int usable = std::clamp(count, 0, static_cast<int>(inputPaths.size()));
    m_reader.ReadDataFiles(inputPaths, usable);

    if (!ConvertAllEmployees()) return RunOutcome::NoEmployees;

    m_store.WriteDocument(outputPath, mode, launchCodeText, m_reader.GetCompanyName(), yearText);
    if (launchCodeText == "1") {
        m_port.ShowMessage("正常に終了しました。", platform::MessageStyle::Info);
    }
    return RunOutcome::Written;
}

bool CExchangeFromPCAToKw39::ConvertAllEmployees() {
    const std::vector<std::string>& codes = m_reader.GetEmployeeCodes();
    if (codes.empty()) return false;
    for (const std::string& code : codes) ConvertEmployee(code);
    return true;
}

void CExchangeFromPCAToKw39::ConvertEmployee(const std::string& code) {
    // The direct map comes first so that every employee gets a record, in
    // list order, and so that the status converter can replace its word.
    for (const DIRECT_ITEM& item : DirectItems()) ConvertDirectItem(code, item);

    ConvertSyozokuCode(code);
    ConvertSyozokuName(code);
    ConvertName(code);
    ConvertFurigana(code);
    ConvertYuubinBangou(code);
    ConvertYakusyoku(code);
    ConvertGenkyou(code);
    ConvertNoufusakiCode(code);
    ConvertNoufusakiName(code);
    ConvertSyougaisya(code);
    ConvertKafu(code);

    ConvertHaiguusya(code);
    ConvertHaiguusyaSyougaisya(code);
    ConvertFuyosya(code);
    ConvertFuyouNinzuu(code);

    ConvertSyoukiboKyousai(code);
    ConvertChousyuuHouhou(code);

    ConvertKyuuyo(code);
    ConvertShouyo(code);
}

std::string CExchangeFromPCAToKw39::ConvertCode(std::string_view table, std::string_view value) {
    const auto found = m_mapTables.find(table);
    if (found == m_mapTables.end()) {
        m_port.ShowMessage("変換テーブルが存在しません。", platform::MessageStyle::Warning);
        return {};
    }
    const auto entry = found->second.find(value);
    return entry == found->second.end() ? std::string() : entry->second;
}

void CExchangeFromPCAToKw39::ConvertDirectItem(const std::string& code, const DIRECT_ITEM& item) {
    std::string value(Value(item.pszTable, code, item.pszColumn));
    if (item.bConvert == 1) value = ConvertCode(item.pszColumn, value);
    // A single blank counts as an empty value; anything longer stays as read.
    if (value == " ") value.clear();
    m_store.SetData(code, std::move(value), item.pszLabel);
}

std::string_view CExchangeFromPCAToKw39::Value(std::string_view table, std::string_view key,
                                               std::string_view column) const {
    return m_reader.GetValue(kLookupName, table, {key}, column);
}

std::string_view CExchangeFromPCAToKw39::Value(std::string_view table, std::string_view code,
                                               std::string_view key2,
                                               std::string_view column) const {
    return m_reader.GetValue(kLookupName, table, {code, key2}, column);
}

const std::vector<std::string_view>& CExchangeFromPCAToKw39::SelectOfEmployee(
    std::string_view table, std::string_view resultColumn, std::string_view code) {
    PCASELECT request;
    request.strTable = table;
    request.strColumn = resultColumn;
    request.aConditions.push_back({"社員コード", std::string(code)});
    request.bMatchAll = 1;
    return m_reader.Select(request);
}

void CExchangeFromPCAToKw39::SetData(const std::string& code, std::string_view value,
                                     std::string_view label) {
    m_store.SetData(code, std::string(value), label);
}

}  // namespace kw39
