#include "cli/gated_file_system.h"

#include <memory>
#include <utility>

namespace kw39::cli {

namespace {

class GatedDestination : public platform::WriteDestination {
  public:
    GatedDestination(std::shared_ptr<platform::WriteDestination> inner,
                     const GatedFileSystem::Gate& gate)
        : m_inner(std::move(inner)), m_gate(gate) {}

    const std::string& Path() const override { return m_inner->Path(); }
    std::optional<platform::FileIdentity> Existing() const override { return m_inner->Existing(); }
    std::unique_ptr<platform::OutputFile> CreateTemporary(const std::string& name) override {
        return m_inner->CreateTemporary(name);
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
