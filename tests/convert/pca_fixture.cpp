#include "pca_fixture.h"

#include <stdexcept>

#include "pca/catalogue.h"

namespace kw39::test {

PcaExport::PcaExport(const std::string& companyName) {
    m_strText = "[10000]\r\n0001," + companyName + ",KOJIN,PCA,1,0,,20240101,1\r\n";
    m_strSection = "10000";
}

PcaExport& PcaExport::Add(const std::string& table, const Fields& fields) {
    const PCATABLEINFO* info = FindPcaTable(table);
    if (!info) throw std::invalid_argument("no such table " + table);
    std::vector<std::string> line(info->nColumns);
    for (const auto& [column, value] : fields) {
        const int position = info->FindColumn(kLookupName, column);
        if (position < 0) throw std::invalid_argument("no such column in " + table);
        line[position] = value.find(',') == std::string::npos ? value : '"' + value + '"';
    }
    if (table != m_strSection) {
        m_strText += "[" + table + "]\r\n";
        m_strSection = table;
    }
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (i > 0) m_strText += ',';
        m_strText += line[i];
    }
    m_strText += "\r\n";
    return *this;
}

PcaExport& PcaExport::Add(const std::vector<PcaRow>& rows) {
    for (const PcaRow& row : rows) Add(row.table, row.fields);
    return *this;
}

LoadedEngine::LoadedEngine(const PcaExport& data)
    : m_pEngine(std::make_unique<CExchangeFromPCAToKw39>(log)) {
    const std::string path = dir.Write("KOJINQ.CSV", data.Text());
    if (!m_pEngine->Reader().ReadDataFiles({path}, 1)) {
        throw std::runtime_error("the fixture file was not read");
    }
}

bool LoadedEngine::ConvertAll() {
    const std::vector<std::string>& codes = m_pEngine->Reader().GetEmployeeCodes();
    for (const std::string& code : codes) m_pEngine->ConvertEmployee(code);
    return !codes.empty();
}

bool LoadedEngine::Run(LinkMode mode) {
    return m_pEngine->ConvertAndWriteDocument(dir.File("out.xml"), mode, "1", "8");
}

const SYAINDATA& LoadedEngine::Syain(const std::string& code) {
    const SYAINDATA* syain = m_pEngine->Store().FindSyain(code);
    if (!syain) throw std::runtime_error("no record for employee " + code);
    return *syain;
}

std::string LoadedEngine::Value(const std::string& code, std::string_view label) {
    return std::string(CExportXMLKw39::LabelValue(Syain(code), label));
}

}  // namespace kw39::test
