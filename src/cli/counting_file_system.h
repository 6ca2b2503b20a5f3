// A FileSystem that passes everything to another one and tells a listener how
// many bytes its files read and write: the progress of a run without any help
// from the reader or the writer.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/forwarding_file_system.h"

namespace kw39::cli {

// Told from whichever thread reads or writes: a part of a large file is read
// on a second thread, and the document is written on one.
class ByteListener {
  public:
    virtual ~ByteListener() = default;
    virtual void BytesRead(std::size_t count) = 0;
    virtual void BytesWritten(std::size_t count) = 0;
};

class CountingFileSystem : public platform::ForwardingFileSystem {
  public:
    // Both must outlive this object and every file it opens.
    CountingFileSystem(platform::FileSystem& base, ByteListener& listener)
        : ForwardingFileSystem(base), m_listener(listener) {}

    std::unique_ptr<platform::InputFile> OpenRead(const std::string& path) override;
    std::unique_ptr<platform::OutputFile> CreateNew(const std::string& path) override;
    platform::DestinationResult OpenDestination(const std::string& path) override;

  private:
    ByteListener& m_listener;
};

}  // namespace kw39::cli
