#include "support/fault_file_system.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/io_error.h"

namespace kw39::test {

namespace {

class MemoryInputFile : public platform::InputFile {
  public:
    explicit MemoryInputFile(std::shared_ptr<const std::string> content)
        : m_content(std::move(content)) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min(size, m_content->size() - m_nPos);
        std::memcpy(buffer, m_content->data() + m_nPos, n);
        m_nPos += n;
        return n;
    }

  private:
    std::shared_ptr<const std::string> m_content;
    std::size_t m_nPos = 0;
};

class MemoryOutputFile : public platform::OutputFile {
  public:
    explicit MemoryOutputFile(std::shared_ptr<std::string> content)
        : m_content(std::move(content)) {}
    void Write(const char* data, std::size_t size) override { m_content->append(data, size); }
    void Close() override {}

  private:
    std::shared_ptr<std::string> m_content;
};

// An existing file opened for writing as it is (a device such as /dev/full).
class StdioOutputFile : public platform::OutputFile {
  public:
    explicit StdioOutputFile(const std::string& path)
        : m_file(std::fopen(path.c_str(), "wb"), &std::fclose), m_strPath(path) {
        if (!m_file) throw platform::WriteError(path);
    }
    void Write(const char* data, std::size_t size) override {
        if (std::fwrite(data, 1, size, m_file.get()) != size) throw platform::WriteError(m_strPath);
    }
    void Close() override {
        const bool flushed = std::fflush(m_file.get()) == 0;
        const bool closed = std::fclose(m_file.release()) == 0;
        if (!flushed || !closed) throw platform::WriteError(m_strPath);
    }

  private:
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> m_file;
    std::string m_strPath;
};

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool EndsWithCsvAnyCase(const std::string& name) {
    if (name.size() < 4) return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return tail == ".CSV";
}

// Reads through the inner file until the allowed bytes are used up.
class FaultInputFile : public platform::InputFile {
  public:
    FaultInputFile(std::unique_ptr<platform::InputFile> inner, std::string path,
                   std::optional<std::size_t> allowed, FaultFileSystem& owner)
        : m_inner(std::move(inner)),
          m_strPath(std::move(path)),
          m_allowed(allowed),
          m_owner(owner) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        if (!m_allowed) return m_inner->Read(buffer, size);
        if (m_nRead >= *m_allowed) {
            m_owner.CountFailure();
            throw platform::ReadError(m_strPath);
        }
        const std::size_t got = m_inner->Read(buffer, std::min(size, *m_allowed - m_nRead));
        m_nRead += got;
        return got;
    }

  private:
    std::unique_ptr<platform::InputFile> m_inner;
    std::string m_strPath;
    std::optional<std::size_t> m_allowed;
    std::size_t m_nRead = 0;
    FaultFileSystem& m_owner;
};

class FaultOutputFile : public platform::OutputFile {
  public:
    FaultOutputFile(std::unique_ptr<platform::OutputFile> inner, std::string path,
                    const WriteFaults& faults, FaultFileSystem& owner)
        : m_inner(std::move(inner)), m_strPath(std::move(path)), m_faults(faults), m_owner(owner) {}
    void Write(const char* data, std::size_t size) override {
        std::size_t allowed = size;
        if (m_faults.bytesBeforeFailing) {
            allowed = std::min(size, *m_faults.bytesBeforeFailing -
                                         std::min(m_nWritten, *m_faults.bytesBeforeFailing));
        }
        if (allowed > 0) m_inner->Write(data, allowed);
        m_nWritten += allowed;
        m_owner.CountWritten(allowed);
        if (allowed < size) Fail();
    }
    void Close() override {
        m_inner->Close();
        if (m_faults.closeFails) Fail();
    }

  private:
    [[noreturn]] void Fail() {
        m_owner.CountFailure();
        throw platform::WriteError(m_strPath);
    }

    std::unique_ptr<platform::OutputFile> m_inner;
    std::string m_strPath;
    WriteFaults m_faults;
    std::size_t m_nWritten = 0;
    FaultFileSystem& m_owner;
};

}  // namespace

void MemoryFileSystem::AddFile(const std::string& path, std::string content) {
    m_mapFiles[path] = std::make_shared<std::string>(std::move(content));
}

void MemoryFileSystem::AddFolder(const std::string& path) { m_setFolders.insert(path); }

bool MemoryFileSystem::Exists(const std::string& path) const {
    return m_mapFiles.count(path) > 0 || m_setFolders.count(path) > 0;
}

std::optional<std::string> MemoryFileSystem::Content(const std::string& path) const {
    const auto it = m_mapFiles.find(path);
    if (it == m_mapFiles.end()) return std::nullopt;
    return *it->second;
}

std::vector<std::string> MemoryFileSystem::FilePaths() const {
    std::vector<std::string> paths;
    for (const auto& [path, content] : m_mapFiles) paths.push_back(path);
    return paths;
}

std::optional<platform::FileStatus> MemoryFileSystem::Stat(const std::string& path) {
    if (path.empty() || path.size() >= platform::kMaxPathBytes) return std::nullopt;
    if (m_setFolders.count(path)) return platform::FileStatus{true, 0};
    const auto it = m_mapFiles.find(path);
    if (it == m_mapFiles.end()) return std::nullopt;
    return platform::FileStatus{false, it->second->size()};
}

std::unique_ptr<platform::InputFile> MemoryFileSystem::OpenRead(const std::string& path) {
    const auto it = m_mapFiles.find(path);
    if (it == m_mapFiles.end()) return nullptr;
    return std::make_unique<MemoryInputFile>(it->second);
}

std::unique_ptr<platform::OutputFile> MemoryFileSystem::CreateNew(const std::string& path) {
    if (m_setFolders.count(path) || m_mapFiles.count(path)) return nullptr;
    auto content = std::make_shared<std::string>();
    m_mapFiles[path] = content;
    return std::make_unique<MemoryOutputFile>(content);
}

bool MemoryFileSystem::ProbeExclusiveWrite(const std::string& path) {
    return m_mapFiles.count(path) > 0;
}

std::optional<std::vector<std::string>> MemoryFileSystem::ListCsvFiles(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& [path, content] : m_mapFiles) {
        if (FolderOf(path) != folder) continue;
        const std::string name = folder.empty() ? path : path.substr(folder.size() + 1);
        if (EndsWithCsvAnyCase(name)) names.push_back(name);
    }
    return names;
}

void MemoryFileSystem::Replace(const std::string& from, const std::string& to) {
    const auto it = m_mapFiles.find(from);
    if (it == m_mapFiles.end() || m_setFolders.count(to)) throw platform::WriteError(to);
    std::shared_ptr<std::string> content = it->second;
    m_mapFiles.erase(it);
    m_mapFiles[to] = std::move(content);
}

void MemoryFileSystem::Remove(const std::string& path) noexcept { m_mapFiles.erase(path); }

int FaultFileSystem::StatCount(const std::string& path) const {
    const auto it = m_mapStats.find(path);
    return it == m_mapStats.end() ? 0 : it->second;
}

int FaultFileSystem::OpenCount(const std::string& path) const {
    const auto it = m_mapOpens.find(path);
    return it == m_mapOpens.end() ? 0 : it->second;
}

bool FaultFileSystem::Vanished(const std::string& path) const {
    const auto it = m_mapFaults.find(path);
    return it != m_mapFaults.end() && it->second.statsBeforeVanishing >= 0 &&
           StatCount(path) > it->second.statsBeforeVanishing;
}

std::optional<platform::FileStatus> FaultFileSystem::Stat(const std::string& path) {
    ++m_mapStats[path];
    if (Vanished(path)) return std::nullopt;
    return Inner().Stat(path);
}

std::unique_ptr<platform::InputFile> FaultFileSystem::OpenRead(const std::string& path) {
    const int opensBefore = OpenCount(path);
    ++m_mapOpens[path];
    if (Vanished(path)) return nullptr;
    const auto it = m_mapFaults.find(path);
    if (it == m_mapFaults.end()) return Inner().OpenRead(path);
    const PathFaults& faults = it->second;
    if (faults.opensBeforeFailing >= 0 && opensBefore >= faults.opensBeforeFailing) {
        return nullptr;
    }
    std::unique_ptr<platform::InputFile> file = Inner().OpenRead(path);
    if (!file) return nullptr;
    std::optional<std::size_t> allowed;
    if (opensBefore >= faults.opensBeforeReadFailing) allowed = faults.readBytesBeforeFailing;
    return std::make_unique<FaultInputFile>(std::move(file), path, allowed, *this);
}

std::unique_ptr<platform::OutputFile> FaultFileSystem::CreateNew(const std::string& path) {
    m_aCreated.push_back(path);
    if (m_writes.createsBeforeFailing >= 0 &&
        static_cast<int>(m_aCreated.size()) > m_writes.createsBeforeFailing) {
        ++m_nFailures;
        throw platform::WriteError(path);
    }
    std::unique_ptr<platform::OutputFile> file =
        m_writes.redirectCreateTo ? std::make_unique<StdioOutputFile>(*m_writes.redirectCreateTo)
                                  : Inner().CreateNew(path);
    if (!file) return nullptr;
    return std::make_unique<FaultOutputFile>(std::move(file), path, m_writes, *this);
}

bool FaultFileSystem::ProbeExclusiveWrite(const std::string& path) {
    const auto it = m_mapFaults.find(path);
    if (it != m_mapFaults.end() && it->second.probeRefused) return false;
    return Inner().ProbeExclusiveWrite(path);
}

void FaultFileSystem::Replace(const std::string& from, const std::string& to) {
    if (m_writes.replaceFails) {
        ++m_nFailures;
        throw platform::WriteError(to);
    }
    Inner().Replace(from, to);
}

}  // namespace kw39::test
