#include "pca/export_files.h"

namespace kw39 {

const ExportFiles::Export& ExportFiles::Read(const std::string& path, platform::FileSystem& fs) {
    const auto known = m_mapExports.find(path);
    if (known != m_mapExports.end()) return known->second;
    Export entry;
    entry.file = fs.OpenRead(path);
    if (entry.file) {
        entry.stamp = entry.file->Stamp();
        entry.scan = ScanExport(*entry.file, path);
    }
    return m_mapExports.emplace(path, std::move(entry)).first->second;
}

const ExportFiles::Export* ExportFiles::Find(const std::string& path) const {
    const auto known = m_mapExports.find(path);
    return known == m_mapExports.end() ? nullptr : &known->second;
}

}  // namespace kw39
