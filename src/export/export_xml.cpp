#include "export/export_xml.h"

#include <stdexcept>

#include "export/document_writer.h"
#include "export/syain_section.h"
#include "platform/io_error.h"
#include "platform/version.h"

namespace kw39 {

namespace {

constexpr int kFrameLevel = 2;
constexpr int kLastSalaryNo = 13;
constexpr int kLastBonusNo = 18;

// The document is written beside the output under this derived name and put
// in place only when complete, so a failed write never leaves a torn output.
std::string TemporaryPathFor(const std::string& outputPath) { return outputPath + ".kw39tmp"; }

}  // namespace

CExportXMLKw39::CExportXMLKw39(platform::MessagePort& port, platform::FileSystem& fs)
    : m_port(port), m_fs(fs) {}

CExportXMLKw39::~CExportXMLKw39() = default;

SYAINDATA* CExportXMLKw39::FindSyain(const std::string& code) {
    const auto it = m_mapSyain.find(code);
    return it == m_mapSyain.end() ? nullptr : it->second;
}

SYAINDATA& CExportXMLKw39::AddSyain(const std::string& code) {
    // Codes stay unique: asking again for a known code gives its record.
    if (SYAINDATA* existing = FindSyain(code)) return *existing;
    auto syain = std::make_unique<SYAINDATA>();
    syain->strCode = code;
    syain->pDetail = std::make_unique<SYAINDETAIL>();
    syain->pDetail->aValues.resize(kAcceptedLabelCount);
    SYAINDATA& added = *syain;
    m_aSyain.push_back(std::move(syain));
    m_mapSyain.emplace(code, &added);
    return added;
}

SYAINDATA& CExportXMLKw39::FindOrAdd(const std::string& code) {
    SYAINDATA* syain = FindSyain(code);
    return syain ? *syain : AddSyain(code);
}

void CExportXMLKw39::SetData(const std::string& code, std::string value, std::string_view label) {
    // An unknown label is how a value the document does not carry is dropped;
    // it must not create the employee either.
    const int slot = AcceptedLabelSlot(label);
    if (slot < 0) return;
    FindOrAdd(code).pDetail->aValues[slot] = std::move(value);
}

void CExportXMLKw39::SetSyainName(const std::string& code, std::string name) {
    FindOrAdd(code).strName = std::move(name);
}

void CExportXMLKw39::SetFuyosya(const std::string& code, const CFuyosya& fuyosya) {
    FindOrAdd(code).pDetail->aFuyosya.push_back(fuyosya);
}

void CExportXMLKw39::SetKyuuyoShouyo(const std::string& code, const CKyuuyoShouyo& payment) {
    SYAINDETAIL& detail = *FindOrAdd(code).pDetail;
    if (payment.m_nNo <= kLastSalaryNo) {
        detail.aKyuuyo.push_back(payment);
    } else if (payment.m_nNo <= kLastBonusNo) {
        detail.aShouyo.push_back(payment);
    } else {
        m_port.ShowMessage("[SetKyuuyoShouyo]\nPROGRAM ERROR", platform::MessageStyle::Warning);
    }
}

std::string_view CExportXMLKw39::LabelValue(const SYAINDATA& syain, std::string_view label) {
    const int slot = AcceptedLabelSlot(label);
    if (slot < 0) return {};
    return syain.pDetail->aValues[slot];
}

void CExportXMLKw39::WriteDocument(const std::string& outputPath, int mode,
                                   const std::string& functionId, const std::string& companyName,
                                   const std::string& year) {
    const std::string tempPath = TemporaryPathFor(outputPath);
    std::unique_ptr<platform::OutputFile> file;
    try {
        file = m_fs.Create(tempPath);
        OutputFileSink sink(*file);
        WriteDocumentTo(sink, mode, functionId, companyName, year);
        file->Close();
        file.reset();
        m_fs.Replace(tempPath, outputPath);
    } catch (const platform::IoError&) {
        // The file must be closed before it can be removed on every platform.
        file.reset();
        m_fs.Remove(tempPath);
        throw platform::WriteError(outputPath);
    } catch (...) {
        file.reset();
        m_fs.Remove(tempPath);
        throw;
    }
}

void CExportXMLKw39::WriteDocumentTo(DocumentSink& sink, int mode, const std::string& functionId,
                                     const std::string& companyName,
                                     const std::string& year) const {
    if (mode != kModeStandard && mode != kModeSimple) {
        throw std::invalid_argument("WriteDocument: mode must be 1 or 2");
    }
    DocumentWriter writer(sink);
    writer.Append("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n");
    writer.Append("<REPORT>\n");
    writer.Append("    <SYSTEM>\n");
    writer.Element("GYOUMUPREFIX", "Kw39", kFrameLevel);
    writer.Element("VERSION", "1", kFrameLevel);
    writer.Element("FUNCTIONID", functionId, kFrameLevel);
    writer.Element("CONNECTEDPROGRAMVER", GetProductVersion(), kFrameLevel);
    writer.Element("PROGRAMNAME", "PCA給与X", kFrameLevel);
    writer.Element("PROGRAMVER", GetFileVersion(), kFrameLevel);
    writer.Append("    </SYSTEM>\n");
    writer.Append("    <BASIC>\n");
    writer.Element("KOMONSAKINAME", companyName, kFrameLevel);
    writer.Element("SINKOKUNENDO", year, kFrameLevel);
    writer.Element("MODE", mode == kModeStandard ? "NORMAL" : "EASY", kFrameLevel);
    writer.Append("    </BASIC>\n");
    writer.Append("    <DATA>\n");
    for (const auto& syain : m_aSyain) WriteSyainSection(writer, *syain, mode);
    writer.Append("    </DATA>\n");
    writer.Append("</REPORT>\n");
    writer.Flush();
}

std::string CExportXMLKw39::MakeElement(std::string_view tag, std::string_view value, int level) {
    std::string line;
    AppendElement(line, tag, value, level);
    return line;
}

void CExportXMLKw39::EscapeXML(std::string& text) {
    std::string escaped;
    escaped.reserve(text.size());
    AppendEscaped(escaped, text);
    text.swap(escaped);
}

std::string CExportXMLKw39::GetProductVersion() { return platform::ReadProductVersion(); }

std::string CExportXMLKw39::GetFileVersion() { return platform::ReadFileVersion(); }

}  // namespace kw39
