// File systems for tests that must see the program cope with broken storage:
// MemoryFileSystem holds its files in memory, FaultFileSystem wraps any file
// system and makes chosen steps fail on demand (open, read after N bytes, write
// after N bytes, close, replace, a file that vanishes after it was checked).
// Neither depends on GoogleTest, so the fuzz targets use them too.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/forwarding_file_system.h"

namespace kw39::test {

// Files and folders held in memory. Paths are used as given ("/" separates a
// folder from its names for ListCsvFiles). An open output file writes into the
// file's content directly, as a real one does, and keeps writing into it when
// the name is replaced or removed meanwhile.
class MemoryFileSystem : public platform::FileSystem {
  public:
    void AddFile(const std::string& path, std::string content);
    void AddFolder(const std::string& path);

    bool Exists(const std::string& path) const;
    // The content of a file; nothing for a folder or a missing file.
    std::optional<std::string> Content(const std::string& path) const;
    // The paths of every file, in order.
    std::vector<std::string> FilePaths() const;

    std::optional<platform::FileStatus> Stat(const std::string& path) override;
    std::unique_ptr<platform::InputFile> OpenRead(const std::string& path) override;
    std::unique_ptr<platform::OutputFile> CreateNew(const std::string& path) override;
    bool ProbeExclusiveWrite(const std::string& path) override;
    std::optional<std::vector<std::string>> ListCsvFiles(const std::string& folder) override;
    void Replace(const std::string& from, const std::string& to) override;
    void Remove(const std::string& path) noexcept override;

  private:
    // Shared with the output files still open on it.
    std::map<std::string, std::shared_ptr<std::string>> m_mapFiles;
    std::set<std::string> m_setFolders;
};

// What to break for one path. Counts are of the calls for that path; a count of
// -1 means "never".
struct PathFaults {
    // Stat answers this many times, then the file looks gone: Stat says nothing
    // and OpenRead fails.
    int statsBeforeVanishing = -1;
    // OpenRead succeeds this many times, then fails.
    int opensBeforeFailing = -1;
    // Files opened after this many successful opens fail their reads once
    // `readBytesBeforeFailing` bytes have been read.
    int opensBeforeReadFailing = 0;
    std::optional<std::size_t> readBytesBeforeFailing;
    // ProbeExclusiveWrite answers false (held open elsewhere, no permission).
    bool probeRefused = false;
};

// Faults of the files created for writing (whatever their path).
struct WriteFaults {
    // Creates succeed this many times, then fail; -1 means never. (The check
    // before a run creates one file to see that the folder takes new files.)
    int createsBeforeFailing = -1;
    // A write that would take the file past this many bytes writes the part
    // that fits and then throws.
    std::optional<std::size_t> bytesBeforeFailing;
    bool closeFails = false;
    bool replaceFails = false;
    // Creates open this existing real file instead (for example "/dev/full");
    // the written bytes then go to it and the failures are the system's own.
    std::optional<std::string> redirectCreateTo;
};

class FaultFileSystem : public platform::ForwardingFileSystem {
  public:
    explicit FaultFileSystem(platform::FileSystem& inner) : ForwardingFileSystem(inner) {}

    PathFaults& Faults(const std::string& path) { return m_mapFaults[path]; }
    WriteFaults& Writes() { return m_writes; }

    // What happened, for the checks of a test.
    int StatCount(const std::string& path) const;
    int OpenCount(const std::string& path) const;
    std::size_t BytesWritten() const { return m_nWritten; }
    int FailuresRaised() const { return m_nFailures; }
    // Paths passed to CreateNew, in order.
    const std::vector<std::string>& CreatedPaths() const { return m_aCreated; }

    std::optional<platform::FileStatus> Stat(const std::string& path) override;
    std::unique_ptr<platform::InputFile> OpenRead(const std::string& path) override;
    std::unique_ptr<platform::OutputFile> CreateNew(const std::string& path) override;
    bool ProbeExclusiveWrite(const std::string& path) override;
    void Replace(const std::string& from, const std::string& to) override;
    // By path, through the steps above, so that their faults apply.
    platform::DestinationResult OpenDestination(const std::string& path) override {
        return FileSystem::OpenDestination(path);
    }

    // Used by the files this file system hands out.
    void CountWritten(std::size_t bytes) { m_nWritten += bytes; }
    void CountFailure() { ++m_nFailures; }

  private:
    bool Vanished(const std::string& path) const;

    std::map<std::string, PathFaults> m_mapFaults;
    std::map<std::string, int> m_mapStats;
    std::map<std::string, int> m_mapOpens;
    WriteFaults m_writes;
    std::size_t m_nWritten = 0;
    int m_nFailures = 0;
    std::vector<std::string> m_aCreated;
};

}  // namespace kw39::test
