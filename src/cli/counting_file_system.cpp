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
    bool Rewind() override { return m_file->Rewind(); }
    std::optional<platform::FileIdentity> Identity() const override { return m_file->Identity(); }
    std::optional<platform::FileStamp> Stamp() const override { return m_file->Stamp(); }
    // A part read on another thread counts as well.
    std::unique_ptr<platform::InputFile> ReadAt(std::uint64_t offset) const override {
        std::unique_ptr<platform::InputFile> part = m_file->ReadAt(offset);
        return part ? std::make_unique<CountingInputFile>(std::move(part), m_listener) : nullptr;
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

// The inner destination, its temporary files counted.
class CountingDestination : public platform::WriteDestination {
  public:
    CountingDestination(std::shared_ptr<platform::WriteDestination> inner, ByteListener& listener)
        : m_inner(std::move(inner)), m_listener(listener) {}

    const std::string& Path() const override { return m_inner->Path(); }
    std::optional<platform::FileIdentity> Existing() const override { return m_inner->Existing(); }
    std::unique_ptr<platform::OutputFile> CreateTemporary(const std::string& name) override {
        std::unique_ptr<platform::OutputFile> file = m_inner->CreateTemporary(name);
        if (!file) return nullptr;
        return std::make_unique<CountingOutputFile>(std::move(file), m_listener);
    }
    void Commit(const std::string& name) override { m_inner->Commit(name); }
    void Remove(const std::string& name) noexcept override { m_inner->Remove(name); }
    bool TakesNewFiles() override { return m_inner->TakesNewFiles(); }
    void Protect(const platform::FileIdentity& identity) override { m_inner->Protect(identity); }

  private:
    std::shared_ptr<platform::WriteDestination> m_inner;
    ByteListener& m_listener;
};

}  // namespace

platform::DestinationResult CountingFileSystem::OpenDestination(const std::string& path) {
    platform::DestinationResult result = Inner().OpenDestination(path);
    if (result.destination) {
        result.destination =
            std::make_shared<CountingDestination>(std::move(result.destination), m_listener);
    }
    return result;
}

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
