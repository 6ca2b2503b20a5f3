#include "run/validate_input.h"

#include <cstddef>
#include <exception>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "pca/data_line_error.h"
#include "pca/header_line.h"
#include "platform/line_reader.h"
#include "platform/sjis.h"
#include "run/input_slots.h"
#include "run/output_location.h"
#include "run/text_encoding_check.h"

namespace kw39 {

namespace {

constexpr std::string_view kCompanyTable = "10000";

// Code and name of the company data line that follows a [10000] header line.
struct CompanyFields {
    std::string code;
    std::string name;
};

// Reads the line after a [10000] header (whatever it holds) and takes its first
// two fields. Without them the file cannot name its company: that is a
// malformed data line, reported with the file and the line.
CompanyFields ReadCompanyLine(platform::LineReader& reader, const std::string& path) {
    const std::size_t headerLine = reader.LineNumber();
    std::string_view line;
    if (!reader.Next(line)) {
        throw DataLineError(path, headerLine + 1,
                            "[10000] の次に会社コードと会社名の行がありません。");
    }
    std::vector<std::string> fields;
    SplitCsvLine(platform::TrimTrailingBlanks(line), fields);
    if (fields.size() < 2) {
        throw DataLineError(path, reader.LineNumber(),
                            "[10000] の行に会社コードと会社名の 2 項目がありません。");
    }
    return {std::move(fields[0]), std::move(fields[1])};
}

struct CompanyKey {
    std::string key;  // company code, "@", company name
    std::size_t slot;
};

// What one input file holds: its identifying table and its company blocks.
struct FileScan {
    bool hasExpectedTable = false;
    bool hasCompanyBlock = false;
};

// Scans the whole file; header lines may come in any order.
FileScan ScanInputFile(platform::InputFile& file, const std::string& path,
                       std::string_view expectedTable, std::size_t slot,
                       std::vector<CompanyKey>& keys) {
    FileScan scan;
    platform::LineReader reader(file);
    std::string_view raw;
    while (reader.Next(raw)) {
        const std::string_view line = platform::TrimTrailingBlanks(raw);
        if (!IsHeaderLine(line)) continue;
        const std::string code = HeaderTableCode(line);
        if (code == expectedTable) scan.hasExpectedTable = true;
        if (code == kCompanyTable) {
            const CompanyFields company = ReadCompanyLine(reader, path);
            keys.push_back({company.code + "@" + company.name, slot});
            scan.hasCompanyBlock = true;
        }
    }
    return scan;
}

// Passes every byte read through the encoding check on its way to the line
// reader, so that the file is read only once.
class CheckedInputFile : public platform::InputFile {
  public:
    CheckedInputFile(platform::InputFile& file, TextEncodingCheck& check)
        : m_file(file), m_check(check) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        // A file already refused is read no further: it may be huge, or a
        // device that never ends.
        if (m_check.CertainlyRefused()) return 0;
        const std::size_t got = m_file.Read(buffer, size);
        m_check.Feed(std::string_view(buffer, got));
        return got;
    }

  private:
    platform::InputFile& m_file;
    TextEncodingCheck& m_check;
};

// Reads, through the check, what line reading left unread (after a 0x1A byte,
// or after a malformed company line) until the verdict can no longer change.
void ReadUnreadRest(CheckedInputFile& file, const TextEncodingCheck& check) {
    char buffer[1 << 14];
    while (check.VerdictMayChange() && file.Read(buffer, sizeof buffer) > 0) {
    }
}

std::string EncodingDetail(const TextVerdict& verdict) {
    const std::string line = std::to_string(verdict.nLine);
    switch (verdict.problem) {
        case TextProblem::Utf16:
            return "UTF-16 で保存されたファイルです。";
        case TextProblem::Utf8:
            return "UTF-8 で保存されたファイルです。";
        case TextProblem::NulBytes:
            return "UTF-16 で保存されたファイルか、テキストではないファイルです。";
        case TextProblem::NotShiftJis:
            return line + " 行目に Shift_JIS の文字ではないバイトがあります。";
        case TextProblem::DataAfterEnd:
            return line + " 行目に、ファイルの終わりを示す文字 (0x1A) より後のデータがあります。";
        case TextProblem::None:
            break;
    }
    return "";
}

// The message for a file that is not Shift_JIS text: what it is, and what to do.
std::string EncodingMessage(const InputSlot& slot, const std::string& path,
                            const TextVerdict& verdict) {
    return std::string(slot.pszLabel) + "ファイルの文字コードが正しくありません。\n\n" + path +
           "\n" + EncodingDetail(verdict) +
           "PCA給与X から CSV 形式 (Shift_JIS) で書き出したファイルを選択し直してください。";
}

void Reject(RunPort& port, const std::string& text, int focusId) {
    port.ShowMessage(text, MessageStyle::Warning);
    port.FocusControl(focusId);
}

// Step 1: every chosen file exists, can be read and is of its slot's kind.
bool CheckInputFiles(RunPort& port, platform::FileSystem& fs, std::vector<CompanyKey>& keys) {
    for (std::size_t s = 0; s < InputSlots.size(); ++s) {
        const InputSlot& slot = InputSlots[s];
        const std::string path = port.ReadControlText(slot.nEditId);
        if (path.empty()) continue;
        const auto status = fs.Stat(path);
        if (!status) {
            Reject(port, "マスターファイルが存在しません。\n\n" + path, slot.nBrowseId);
            return false;
        }
        // A folder has nothing to read, and a pipe or a device may never end.
        if (status->isDirectory || status->isSpecial) {
            Reject(port,
                   std::string(slot.pszLabel) +
                       "ファイルに、通常のファイルではないもの (フォルダ、デバイス、パイプなど) "
                       "が指定されています。\n\n" +
                       path,
                   slot.nBrowseId);
            return false;
        }
        FileScan scan;
        TextEncodingCheck encoding;
        {
            const std::unique_ptr<platform::InputFile> file = fs.OpenRead(path);
            if (!file) return false;
            CheckedInputFile checked(*file, encoding);
            // A company line without its two fields is no surprise in a file
            // that is no text at all; that is then the message to show.
            std::exception_ptr malformedLine;
            try {
                scan = ScanInputFile(checked, path, slot.pszTableCode, s, keys);
            } catch (const DataLineError&) {
                malformedLine = std::current_exception();
            }
            ReadUnreadRest(checked, encoding);
            if (malformedLine && encoding.Verdict().problem == TextProblem::None) {
                std::rethrow_exception(malformedLine);
            }
        }  // closed before any message is shown
        // A file that is no Shift_JIS text is refused as such also when its
        // tables were not found (a UTF-16 file shows no "[10000]" at all): the
        // encoding is then the cause the clerk can correct.
        const TextVerdict verdict = encoding.Verdict();
        if (verdict.problem != TextProblem::None) {
            Reject(port, EncodingMessage(slot, path, verdict), slot.nBrowseId);
            return false;
        }
        if (!scan.hasExpectedTable || !scan.hasCompanyBlock) {
            Reject(port, std::string(slot.pszLabel) + "ファイルが正しくありません。",
                   slot.nBrowseId);
            return false;
        }
    }
    return true;
}

// Step 2: all files come from one company.
bool CheckSameCompany(RunPort& port, const std::vector<CompanyKey>& keys) {
    for (const CompanyKey& key : keys) {
        if (key.key != keys.front().key) {
            Reject(port, "異なる会社のデータが選択されています。", InputSlots[key.slot].nBrowseId);
            return false;
        }
    }
    return true;
}

// Step 3: the company and the employee files are chosen.
bool CheckMandatorySlots(RunPort& port) {
    std::string missing;
    int focusId = 0;
    for (const InputSlot& slot : InputSlots) {
        if (!slot.bMandatory || !port.ReadControlText(slot.nEditId).empty()) continue;
        missing += std::string(slot.pszLabel) + "\n";
        if (focusId == 0) focusId = slot.nBrowseId;
    }
    if (missing.empty()) return true;
    Reject(port, "連動に必要なマスターファイルが存在しません。\n\n" + missing, focusId);
    return false;
}

// Step 4: an output path is given and, if something is there, it may be replaced.
bool CheckOutputPath(RunPort& port, platform::FileSystem& fs) {
    const std::string path = port.ReadControlText(kIdOutputBox);
    if (path.empty()) {
        Reject(port, "出力先データが選択されていません。\n\n", kIdOutputBrowse);
        return false;
    }
    // Writing the document over one of the chosen exports would destroy it,
    // however the two paths are spelled.
    for (const InputSlot& slot : InputSlots) {
        const std::string input = port.ReadControlText(slot.nEditId);
        if (input.empty() || !fs.SameFile(input, path)) continue;
        Reject(port,
               std::string("出力先データに連動元データ（") + slot.pszLabel +
                   "）と同じファイルが指定されています。\n\n" + path,
               kIdOutputBrowse);
        return false;
    }
    if (const auto problem = OutputLocationProblem(fs, path, "出力先データ")) {
        Reject(port, *problem, kIdOutputBrowse);
        return false;
    }
    if (fs.Stat(path) && !fs.ProbeExclusiveWrite(path)) {
        port.ShowMessage("ファイルの保存に失敗しました。", MessageStyle::Error);
        return false;
    }
    return true;
}

}  // namespace

bool ValidateInputSet(RunPort& port, platform::FileSystem& fs) {
    std::vector<CompanyKey> keys;
    return CheckInputFiles(port, fs, keys) && CheckSameCompany(port, keys) &&
           CheckMandatorySlots(port) && CheckOutputPath(port, fs);
}

bool SuggestOutputFileName(RunPort& port, std::string& name, platform::FileSystem& fs) {
    const std::string path = port.ReadControlText(kIdCompanyBox);
    if (path.empty()) {
        Reject(port, "会社情報ファイルが選択されていません。", kIdCompanyBrowse);
        return false;
    }
    if (!fs.Stat(path)) {
        Reject(port, "会社情報ファイルが存在しません。", kIdCompanyBrowse);
        return false;
    }
    std::optional<CompanyFields> company;
    {
        const std::unique_ptr<platform::InputFile> file = fs.OpenRead(path);
        if (!file) return false;
        platform::LineReader reader(*file);
        std::string_view raw;
        // Only the first header line counts: the company block must lead the file.
        while (reader.Next(raw)) {
            const std::string_view line = platform::TrimTrailingBlanks(raw);
            if (!IsHeaderLine(line)) continue;
            if (HeaderTableCode(line) == kCompanyTable) company = ReadCompanyLine(reader, path);
            break;
        }
    }
    if (!company) {
        Reject(port, "会社情報ファイルが正しくありません。", kIdCompanyBrowse);
        return false;
    }
    name = company->code + company->name + ".XML";
    return true;
}

}  // namespace kw39
