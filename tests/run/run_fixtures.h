// Small PCA export files for the run tests, written as Shift_JIS bytes into a
// temporary folder, and a file system that records and breaks file access.
#pragma once

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/forwarding_file_system.h"
#include "run/input_slots.h"
#include "support/test_support.h"

namespace kw39::test {

// The lines joined with CR LF, the export's line end, each line ended.
std::string PcaLines(std::initializer_list<std::string_view> lines);

// "[10000]" and the company line "code,name,...".
std::string CompanyBlock(std::string_view code = "0001", std::string_view name = "テスト商事");

// A well-formed file of the slot's kind: company block, identifying table, one row.
std::string ValidSlotFile(std::size_t slot);

// A request of a standalone run: year "8", standard mode, output "out.xml" in
// a fresh folder; input files are added per slot.
struct InputSet {
    InputSet();
    // Writes `content` as the slot's file (named `name`, default "slotN.csv")
    // and puts its path into the slot. Returns the path.
    std::string Put(std::size_t slot, const std::string& content, const std::string& name = "");
    void PutAllValid();
    const std::string& OutputPath() const { return request.outputPath; }

    TempDir dir;
    RunRequest request;
};

// Delegates to the real file system, records every OpenRead, counts the input
// files still open, and can make reads of one file fail.
class TrackingFileSystem : public platform::ForwardingFileSystem {
  public:
    TrackingFileSystem() : ForwardingFileSystem(platform::RealFileSystem()) {}

    std::unique_ptr<platform::InputFile> OpenRead(const std::string& path) override;

    // The `nth` (1-based) opening of `path` gives a file whose reads call `fail`.
    void FailReads(const std::string& path, int nth, std::function<void()> fail);

    std::vector<std::string> opened;
    int openInputs = 0;

  private:
    std::string m_strFailPath;
    int m_nFailOpen = 0;
    std::function<void()> m_fail;
};

}  // namespace kw39::test
