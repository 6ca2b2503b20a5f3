// The export files of one run, each opened and scanned once. Before a run
// asks anything, its year, its document name, its report and its checks all
// want to know something about the same files; they share one reading, and
// the handle it was made through stays open for the load.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "pca/export_scan.h"
#include "platform/file_system.h"

namespace kw39 {

class ExportFiles {
  public:
    struct Export {
        std::shared_ptr<platform::InputFile> file;  // null when it could not be opened
        std::optional<platform::FileStamp> stamp;   // before the scan read it
        ExportScan scan;
    };

    // The export at `path`, opened through `fs` and scanned at the first
    // request. The caller has found a plain file there.
    const Export& Read(const std::string& path, platform::FileSystem& fs);
    // The export at `path` if it was read; null otherwise.
    const Export* Find(const std::string& path) const;

  private:
    std::map<std::string, Export> m_mapExports;
};

}  // namespace kw39
