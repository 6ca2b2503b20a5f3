// A FileSystem that hands every call to another one. Wrappers that watch or
// change a few steps (counting bytes, breaking a step on demand) derive from it
// and override only those steps.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace kw39::platform {

class ForwardingFileSystem : public FileSystem {
  public:
    // `inner` must outlive this object.
    explicit ForwardingFileSystem(FileSystem& inner) : m_inner(inner) {}

    std::optional<FileStatus> Stat(const std::string& path) override { return m_inner.Stat(path); }
    std::unique_ptr<InputFile> OpenRead(const std::string& path) override {
        return m_inner.OpenRead(path);
    }
    std::unique_ptr<OutputFile> CreateNew(const std::string& path) override {
        return m_inner.CreateNew(path);
    }
    bool ProbeExclusiveWrite(const std::string& path) override {
        return m_inner.ProbeExclusiveWrite(path);
    }
    std::optional<std::vector<std::string>> ListCsvFiles(const std::string& folder) override {
        return m_inner.ListCsvFiles(folder);
    }
    std::optional<Subfolders> ListSubfolders(const std::string& folder) override {
        return m_inner.ListSubfolders(folder);
    }
    void Replace(const std::string& from, const std::string& to) override {
        m_inner.Replace(from, to);
    }
    void Remove(const std::string& path) noexcept override { m_inner.Remove(path); }
    std::optional<FileIdentity> Identity(const std::string& path) override {
        return m_inner.Identity(path);
    }
    std::string ResolveLinks(const std::string& path) override {
        return m_inner.ResolveLinks(path);
    }
    DestinationResult OpenDestination(const std::string& path) override {
        return m_inner.OpenDestination(path);
    }

  protected:
    FileSystem& Inner() { return m_inner; }

  private:
    FileSystem& m_inner;
};

}  // namespace kw39::platform
