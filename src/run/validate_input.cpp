#include "run/validate_input.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "pca/data_line_error.h"
#include "pca/header_line.h"
#include "platform/line_reader.h"
#include "platform/sjis.h"
#include "run/input_slots.h"

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
        if (!fs.Stat(path)) {
            Reject(port, "マスターファイルが存在しません。\n\n" + path, slot.nBrowseId);
            return false;
        }
        FileScan scan;
        {
            const std::unique_ptr<platform::InputFile> file = fs.OpenRead(path);
            if (!file) return false;
            scan = ScanInputFile(*file, path, slot.pszTableCode, s, keys);
        }  // closed before any message is shown
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
