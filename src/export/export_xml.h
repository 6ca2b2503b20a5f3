// CExportXMLKw39: the store of converted values per employee and the writer of
// the Shift_JIS XML document that Orvelle imports.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "export/document_sink.h"
#include "export/field_catalogue.h"
#include "export/records.h"
#include "export/syain_data.h"
#include "platform/file_system.h"
#include "platform/message.h"

namespace kw39 {

class XmlDocumentFile;

class CExportXMLKw39 {
  public:
    explicit CExportXMLKw39(platform::MessageLog& log,
                            platform::FileSystem& fs = platform::RealFileSystem());
    virtual ~CExportXMLKw39();
    CExportXMLKw39(const CExportXMLKw39&) = delete;
    CExportXMLKw39& operator=(const CExportXMLKw39&) = delete;

    // Files a copy of `value` under `label` (note: value before label). A label
    // outside the 82 accepted ones is dropped without creating the employee.
    void SetData(const std::string& code, std::string_view value, std::string_view label);
    // The same for a label resolved once with AcceptedLabelSlot (-1: dropped).
    void SetDataInSlot(const std::string& code, std::string_view value, int slot);
    void SetSyainName(const std::string& code, std::string name);
    void SetFuyosya(const std::string& code, CFuyosya fuyosya);
    // Numbers up to 13 go to salary, 14 to 18 to bonus; 19 and above show
    // "[SetKyuuyoShouyo]\nPROGRAM ERROR" and are dropped.
    void SetKyuuyoShouyo(const std::string& code, CKyuuyoShouyo payment);

    // The record of `code`, or nullptr. Reports nothing.
    SYAINDATA* FindSyain(const std::string& code);
    // Appends an empty record for `code` (the record already there when the
    // code is known, so codes stay unique) and returns it.
    SYAINDATA& AddSyain(const std::string& code);

    // The value of a label in a record ("" when none).
    static std::string_view LabelValue(const SYAINDATA& syain, std::string_view label);

    // The whole document of the records held into any sink (in memory). Lines
    // end in CR LF; the sink receives large pieces, never one line at a time.
    void WriteDocumentTo(DocumentSink& sink, LinkMode mode, const std::string& functionId,
                         const std::string& companyName, const std::string& year) const;

    // The document at `outputPath`, for a store that is filled employee by
    // employee: opens it (a temporary file beside the output, and the frame);
    // WriteHeldSyain then moves the records held so far into it, and Finish()
    // of the document puts it in place only when every byte was written and
    // the file closed. Throws platform::IoError (naming the path) on any
    // failure; an existing output file then stays as it was.
    std::unique_ptr<XmlDocumentFile> OpenDocument(const std::string& outputPath, LinkMode mode,
                                                  const std::string& functionId,
                                                  const std::string& companyName,
                                                  const std::string& year);
    // Hands every record held, in order, to `document`, which writes their
    // sections, so that the store holds only what is not yet written; the
    // records written are kept for reuse.
    void WriteHeldSyain(XmlDocumentFile& document);

    static std::string GetProductVersion();
    static std::string GetFileVersion();

  private:
    SYAINDATA& FindOrAdd(const std::string& code);

    platform::MessageLog& m_log;
    platform::FileSystem& m_fs;
    std::vector<std::unique_ptr<SYAINDATA>> m_aSyain;
    std::unordered_map<std::string, SYAINDATA*> m_mapSyain;
    // The record filed to last: the converters file a hundred values and more
    // for one employee before they turn to the next.
    SYAINDATA* m_pLastSyain = nullptr;
    // Records already written and dropped, kept for reuse with the memory of
    // their values.
    std::vector<std::unique_ptr<SYAINDATA>> m_aSpareSyain;
};

}  // namespace kw39
