#include "cli/gated_file_system.h"

#include <memory>
#include <utility>

namespace kw39::cli {

namespace {

// Closing the file puts it on disk: that too waits for the gate, so that the
// documents of a batch reach the disk one after the other, as they are put in
// place, and one refused is never flushed.
class GatedOutputFile : public platform::OutputFile {
  public:
    GatedOutputFile(std::unique_ptr<platform::OutputFile> file, const GatedFileSystem::Gate& gate)
        : m_file(std::move(file)), m_gate(gate) {}

    void Write(const char* data, std::size_t size) override { m_file->Write(data, size); }
    void Close() override {
        m_gate();
        m_file->Close();
    }

  private:
    std::unique_ptr<platform::OutputFile> m_file;
    GatedFileSystem::Gate m_gate;
};

class GatedDestination : public platform::WriteDestination {
  public:
    GatedDestination(std::shared_ptr<platform::WriteDestination> inner,
                     const GatedFileSystem::Gate& gate)
        : m_inner(std::move(inner)), m_gate(gate) {}

    const std::string& Path() const override { return m_inner->Path(); }
    std::optional<platform::FileIdentity> Existing() const override { return m_inner->Existing(); }
    std::unique_ptr<platform::OutputFile> CreateTemporary(const std::string& name) override {
        std::unique_ptr<platform::OutputFile> file = m_inner->CreateTemporary(name);
        if (!file) return nullptr;
        return std::make_unique<GatedOutputFile>(std::move(file), m_gate);
    }
    void Commit(const std::string& name) override {
        m_gate();
        m_inner->Commit(name);
    }
    void Remove(const std::string& name) noexcept override { m_inner->Remove(name); }
    bool TakesNewFiles() override { return m_inner->TakesNewFiles(); }
    void Protect(const platform::FileIdentity& identity) override { m_inner->Protect(identity); }

  private:
    std::shared_ptr<platform::WriteDestination> m_inner;
    GatedFileSystem::Gate m_gate;
};

}  // namespace

platform::DestinationResult GatedFileSystem::OpenDestination(const std::string& path) {
    platform::DestinationResult result = Inner().OpenDestination(path);
    if (result.destination) {
        result.destination =
            std::make_shared<GatedDestination>(std::move(result.destination), m_gate);
    }
    return result;
}

}  // namespace kw39::cli
