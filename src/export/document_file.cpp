#include "export/document_file.h"

#include <stdexcept>

#include "platform/background_output_file.h"
#include "platform/io_error.h"
#include "platform/version.h"

namespace kw39 {

namespace {

constexpr int kFrameLevel = 2;

}  // namespace

void WriteFrameHead(DocumentWriter& writer, LinkMode mode, const std::string& functionId,
                    const std::string& companyName, const std::string& year) {
    writer.Append("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n");
    writer.Append("<REPORT>\r\n");
    writer.Append("    <SYSTEM>\r\n");
    writer.Element("GYOUMUPREFIX", "Kw39", kFrameLevel);
    writer.Element("VERSION", "1", kFrameLevel);
    writer.Element("FUNCTIONID", functionId, kFrameLevel);
    writer.Element("CONNECTEDPROGRAMVER", platform::ReadProductVersion(), kFrameLevel);
    writer.Element("PROGRAMNAME", "PCA給与X", kFrameLevel);
    writer.Element("PROGRAMVER", platform::ReadFileVersion(), kFrameLevel);
    writer.Append("    </SYSTEM>\r\n");
    writer.Append("    <BASIC>\r\n");
    writer.Element("KOMONSAKINAME", companyName, kFrameLevel);
    writer.Element("SINKOKUNENDO", year, kFrameLevel);
    writer.Element("MODE", mode == kModeStandard ? "NORMAL" : "EASY", kFrameLevel);
    writer.Append("    </BASIC>\r\n");
    writer.Append("    <DATA>\r\n");
}

void WriteFrameTail(DocumentWriter& writer) {
    writer.Append("    </DATA>\r\n");
    writer.Append("</REPORT>\r\n");
}

XmlDocumentFile::XmlDocumentFile(platform::FileSystem& fs, const std::string& outputPath,
                                 LinkMode mode, const std::string& functionId,
                                 const std::string& companyName, const std::string& year)
    : m_strOutputPath(outputPath) {
    Guarded([&] {
        // Written beside the output and put in place only when complete, so a
        // failed write never leaves a torn output; a second thread writes the
        // bytes while the next employees are converted.
        m_pFile = std::make_unique<platform::ReplacementFile>(
            fs, outputPath, [](std::unique_ptr<platform::OutputFile> file) {
                return std::make_unique<platform::BackgroundOutputFile>(std::move(file));
            });
        m_pSink = std::make_unique<OutputFileSink>(m_pFile->File());
        m_pWriter = std::make_unique<DocumentWriter>(*m_pSink);
        WriteFrameHead(*m_pWriter, mode, functionId, companyName, year);
        m_pSections = std::make_unique<SectionThread>(*m_pWriter, mode);
    });
}

XmlDocumentFile::XmlDocumentFile(LinkMode mode, const std::string& functionId,
                                 const std::string& companyName, const std::string& year) {
    m_pSink = std::make_unique<DroppingSink>();
    m_pWriter = std::make_unique<DocumentWriter>(*m_pSink);
    WriteFrameHead(*m_pWriter, mode, functionId, companyName, year);
    m_pSections = std::make_unique<SectionThread>(*m_pWriter, mode);
}

XmlDocumentFile::~XmlDocumentFile() { Abandon(); }

std::unique_ptr<SYAINDATA> XmlDocumentFile::WriteSyain(std::unique_ptr<SYAINDATA> syain) {
    if (m_bDone) throw std::logic_error("XmlDocumentFile: the document is closed");
    std::unique_ptr<SYAINDATA> spare;
    Guarded([&] { spare = m_pSections->Put(std::move(syain)); });
    return spare;
}

void XmlDocumentFile::Finish() {
    if (m_bDone) throw std::logic_error("XmlDocumentFile: the document is closed");
    Guarded([&] {
        m_pSections->Finish();
        m_pSections.reset();
        WriteFrameTail(*m_pWriter);
        m_pWriter->Flush();
        if (m_pFile) m_pFile->Commit();
        m_pWriter.reset();
        m_pSink.reset();
        m_pFile.reset();
    });
    m_bDone = true;
}

template <class Step>
void XmlDocumentFile::Guarded(Step step) {
    try {
        step();
    } catch (const platform::TargetChangedError&) {
        Abandon();
        throw;  // its message says why nothing was replaced
    } catch (const platform::IoError&) {
        Abandon();
        throw platform::WriteError(m_strOutputPath);
    } catch (...) {
        Abandon();
        throw;
    }
}

void XmlDocumentFile::Abandon() noexcept {
    if (m_bDone) return;
    m_bDone = true;
    // The file must be closed before it can be removed on every platform;
    // whatever is still buffered is dropped with it. The thread that makes the
    // sections stops first, as it writes into the writer.
    m_pSections.reset();
    m_pWriter.reset();
    m_pSink.reset();
    m_pFile.reset();
}

}  // namespace kw39
