// A FileSystem that passes everything to another one and tells a listener how
// many bytes its files read and write: the progress of a run without any help
// from the reader or the writer.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace kw39::cli {

class ByteListener {
  public:
    virtual ~ByteListener() = default;
    virtual void BytesRead(std::size_t count) = 0;
    virtual void BytesWritten(std::size_t count) = 0;
};

class CountingFileSystem : public platform::FileSystem {
  public:
    // Both must outlive this object and every file it opens.
    CountingFileSystem(platform::FileSystem& base, ByteListener& listener)
        : m_base(base), m_listener(listener) {}

    std::optional<platform::FileStatus> Stat(const std::string& path) override;
    std::unique_ptr<platform::InputFile> OpenRead(const std::string& path) override;
    std::unique_ptr<platform::OutputFile> Create(const std::string& path) override;
    bool ProbeExclusiveWrite(const std::string& path) override;
    std::vector<std::string> ListCsvFiles(const std::string& folder) override;
    void Replace(const std::string& from, const std::string& to) override;
    void Remove(const std::string& path) noexcept override;

  private:
    platform::FileSystem& m_base;
    ByteListener& m_listener;
};

}  // namespace kw39::cli
