// The output document written while the conversion runs: the frame is opened
// in a temporary file beside the output, each employee's section is appended
// as soon as it is converted, and the finished file replaces the output. The
// document of a large company is hundreds of megabytes; it never has to be
// held in memory, and the output appears only when it is complete.
#pragma once

#include <memory>
#include <string>

#include "export/document_sink.h"
#include "export/document_writer.h"
#include "export/section_thread.h"
#include "export/syain_data.h"
#include "platform/file_system.h"
#include "platform/replacement_file.h"

namespace kw39 {

// The frame of every document: the declaration, REPORT, SYSTEM, BASIC and the
// opening of DATA; and, after the sections, the closing of DATA and REPORT.
void WriteFrameHead(DocumentWriter& writer, LinkMode mode, const std::string& functionId,
                    const std::string& companyName, const std::string& year);
void WriteFrameTail(DocumentWriter& writer);

class XmlDocumentFile {
  public:
    // Checks the mode (std::invalid_argument, before anything is created),
    // creates the temporary file and writes the frame up to the opening of
    // DATA. Throws platform::IoError naming `outputPath` when the file cannot be
    // created or written; nothing is then left behind.
    XmlDocumentFile(platform::FileSystem& fs, const std::string& outputPath, LinkMode mode,
                    const std::string& functionId, const std::string& companyName,
                    const std::string& year);
    // A document that goes nowhere: every section is made as for a file, and
    // the bytes are dropped. A check of a run converts and writes exactly as a
    // real run would, in the same memory, and creates no file at all.
    XmlDocumentFile(LinkMode mode, const std::string& functionId, const std::string& companyName,
                    const std::string& year);
    // A document that was not finished is abandoned: its temporary file is
    // closed and removed, and an existing output stays as it was.
    ~XmlDocumentFile();
    XmlDocumentFile(const XmlDocumentFile&) = delete;
    XmlDocumentFile& operator=(const XmlDocumentFile&) = delete;

    // Appends the SYAIN section of one employee, made on a second thread, and
    // gives back a record already written, for reuse, or null. Throws
    // platform::IoError naming the output path (also for a section handed over
    // earlier); the document is then abandoned.
    std::unique_ptr<SYAINDATA> WriteSyain(std::unique_ptr<SYAINDATA> syain);

    // Closes the frame and the file and puts the file in place of the output
    // (a document that goes nowhere only closes its frame).
    // Throws platform::IoError naming the output path; the document is then
    // abandoned.
    void Finish();

  private:
    // Runs one step of writing; an input-output failure abandons the document
    // and is reported under the output path.
    template <class Step>
    void Guarded(Step step);
    void Abandon() noexcept;

    std::string m_strOutputPath;
    std::unique_ptr<platform::ReplacementFile> m_pFile;  // null once finished or abandoned
    std::unique_ptr<DocumentSink> m_pSink;
    std::unique_ptr<DocumentWriter> m_pWriter;
    std::unique_ptr<SectionThread> m_pSections;  // uses m_pWriter until finished
    bool m_bDone = false;                        // finished or abandoned
};

}  // namespace kw39
