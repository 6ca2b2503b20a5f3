#include "cli/counting_file_system.h"

namespace kw39::cli {

namespace {

class CountingInputFile : public platform::InputFile {
  public:
    CountingInputFile(std::unique_ptr<platform::InputFile> file, ByteListener& listener)
        : m_file(std::move(file)), m_listener(listener) {}

    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t got = m_file->Read(buffer, size);
        if (got > 0) m_listener.BytesRead(got);
        return got;
    }

  private:
    std::unique_ptr<platform::InputFile> m_file;
    ByteListener& m_listener;
};

class CountingOutputFile : public platform::OutputFile {
  public:
    CountingOutputFile(std::unique_ptr<platform::OutputFile> file, ByteListener& listener)
        : m_file(std::move(file)), m_listener(listener) {}

    void Write(const char* data, std::size_t size) override {
        m_file->Write(data, size);
        m_listener.BytesWritten(size);
    }
    void Close() override { m_file->Close(); }

  private:
    std::unique_ptr<platform::OutputFile> m_file;
    ByteListener& m_listener;
};

}  // namespace

std::unique_ptr<platform::InputFile> CountingFileSystem::OpenRead(const std::string& path) {
    std::unique_ptr<platform::InputFile> file = Inner().OpenRead(path);
    if (!file) return nullptr;
    return std::make_unique<CountingInputFile>(std::move(file), m_listener);
}

std::unique_ptr<platform::OutputFile> CountingFileSystem::CreateNew(const std::string& path) {
    std::unique_ptr<platform::OutputFile> file = Inner().CreateNew(path);
    if (!file) return nullptr;
    return std::make_unique<CountingOutputFile>(std::move(file), m_listener);
}

}  // namespace kw39::cli
