#include "export/export_xml.h"

#include <utility>

#include "export/document_file.h"
#include "export/document_writer.h"
#include "export/syain_section.h"
#include "platform/messages.h"
#include "platform/version.h"

namespace kw39 {

namespace {

constexpr int kLastSalaryNo = 13;
constexpr int kLastBonusNo = 18;

}  // namespace

CExportXMLKw39::CExportXMLKw39(platform::MessageLog& log, platform::FileSystem& fs)
    : m_log(log), m_fs(fs) {}

CExportXMLKw39::~CExportXMLKw39() = default;

SYAINDATA* CExportXMLKw39::FindSyain(const std::string& code) {
    if (m_pLastSyain && m_pLastSyain->strCode == code) return m_pLastSyain;
    const auto it = m_mapSyain.find(code);
    return it == m_mapSyain.end() ? nullptr : it->second;
}

SYAINDATA& CExportXMLKw39::AddSyain(const std::string& code) {
    // Codes stay unique: asking again for a known code gives its record.
    if (SYAINDATA* existing = FindSyain(code)) return *existing;
    std::unique_ptr<SYAINDATA> syain;
    if (m_aSpareSyain.empty()) {
        syain = std::make_unique<SYAINDATA>();
        syain->strCode = code;
        syain->pDetail = std::make_unique<SYAINDETAIL>();
        syain->pDetail->aValues.resize(kAcceptedLabelCount);
    } else {
        // The document gives records back blank.
        syain = std::move(m_aSpareSyain.back());
        m_aSpareSyain.pop_back();
        syain->strCode = code;
    }
    SYAINDATA& added = *syain;
    m_aSyain.push_back(std::move(syain));
    m_mapSyain.emplace(code, &added);
    return added;
}

SYAINDATA& CExportXMLKw39::FindOrAdd(const std::string& code) {
    SYAINDATA* syain = FindSyain(code);
    m_pLastSyain = syain ? syain : &AddSyain(code);
    return *m_pLastSyain;
}

void CExportXMLKw39::SetData(const std::string& code, std::string_view value,
                             std::string_view label) {
    // An unknown label is how a value the document does not carry is dropped;
    // it must not create the employee either.
    SetDataInSlot(code, value, AcceptedLabelSlot(label));
}

void CExportXMLKw39::SetDataInSlot(const std::string& code, std::string_view value, int slot) {
    if (slot < 0) return;
    FindOrAdd(code).pDetail->aValues[static_cast<std::size_t>(slot)].assign(value);
}

void CExportXMLKw39::SetSyainName(const std::string& code, std::string name) {
    FindOrAdd(code).strName = std::move(name);
}

void CExportXMLKw39::SetFuyosya(const std::string& code, CFuyosya fuyosya) {
    FindOrAdd(code).pDetail->aFuyosya.push_back(std::move(fuyosya));
}

void CExportXMLKw39::SetKyuuyoShouyo(const std::string& code, CKyuuyoShouyo payment) {
    SYAINDETAIL& detail = *FindOrAdd(code).pDetail;
    if (payment.m_nNo <= kLastSalaryNo) {
        detail.aKyuuyo.push_back(std::move(payment));
    } else if (payment.m_nNo <= kLastBonusNo) {
        detail.aShouyo.push_back(std::move(payment));
    } else {
        m_log.Add(platform::MakeMessage(platform::MessageId::StoreProgramError,
                                        platform::MessageStyle::Warning));
    }
}

std::string_view CExportXMLKw39::LabelValue(const SYAINDATA& syain, std::string_view label) {
    const int slot = AcceptedLabelSlot(label);
    if (slot < 0) return {};
    return syain.pDetail->aValues[slot];
}

void CExportXMLKw39::WriteDocumentTo(DocumentSink& sink, LinkMode mode,
                                     const std::string& functionId, const std::string& companyName,
                                     const std::string& year) const {
    DocumentWriter writer(sink);
    WriteFrameHead(writer, mode, functionId, companyName, year);
    for (const auto& syain : m_aSyain) WriteSyainSection(writer, *syain, mode);
    WriteFrameTail(writer);
    writer.Flush();
}

std::unique_ptr<XmlDocumentFile> CExportXMLKw39::OpenDocument(const std::string& outputPath,
                                                              LinkMode mode,
                                                              const std::string& functionId,
                                                              const std::string& companyName,
                                                              const std::string& year) {
    return std::make_unique<XmlDocumentFile>(m_fs, outputPath, mode, functionId, companyName, year);
}

void CExportXMLKw39::WriteHeldSyain(XmlDocumentFile& document) {
    // The records leave the store before they are handed over, so that a
    // failed hand-over leaves no pointer to a record the document now owns.
    std::vector<std::unique_ptr<SYAINDATA>> held;
    held.swap(m_aSyain);
    m_mapSyain.clear();
    m_pLastSyain = nullptr;
    for (auto& syain : held) {
        if (auto written = document.WriteSyain(std::move(syain))) {
            m_aSpareSyain.push_back(std::move(written));
        }
    }
    held.clear();
    m_aSyain.swap(held);  // keeps the list's memory for the next employee
}

std::string CExportXMLKw39::GetProductVersion() { return platform::ReadProductVersion(); }

std::string CExportXMLKw39::GetFileVersion() { return platform::ReadFileVersion(); }

}  // namespace kw39
