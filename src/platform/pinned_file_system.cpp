#include "platform/pinned_file_system.h"

#include "platform/io_error.h"

namespace kw39::platform {

namespace {

// Reads a pinned file without owning it.
class BorrowedInputFile : public InputFile {
  public:
    explicit BorrowedInputFile(InputFile& file) : m_file(file) {}
    std::size_t Read(char* buffer, std::size_t size) override { return m_file.Read(buffer, size); }
    bool Rewind() override { return m_file.Rewind(); }
    std::optional<FileIdentity> Identity() const override { return m_file.Identity(); }
    std::optional<FileStamp> Stamp() const override { return m_file.Stamp(); }
    std::unique_ptr<InputFile> ReadAt(std::uint64_t offset) const override {
        return m_file.ReadAt(offset);
    }

  private:
    InputFile& m_file;
};

}  // namespace

void PinnedFiles::PinInput(const std::string& path, std::shared_ptr<InputFile> file,
                           std::optional<FileStamp> checked) {
    m_mapInputs[path] = {std::move(file), checked};
}

void PinnedFiles::PinDestination(const std::string& path,
                                 std::shared_ptr<WriteDestination> destination) {
    m_mapDestinations[path] = std::move(destination);
}

InputFile* PinnedFiles::Input(const std::string& path) const {
    const auto it = m_mapInputs.find(path);
    return it == m_mapInputs.end() ? nullptr : it->second.file.get();
}

std::optional<FileStamp> PinnedFiles::CheckedStamp(const std::string& path) const {
    const auto it = m_mapInputs.find(path);
    return it == m_mapInputs.end() ? std::nullopt : it->second.checked;
}

std::shared_ptr<WriteDestination> PinnedFiles::Destination(const std::string& path) const {
    const auto it = m_mapDestinations.find(path);
    return it == m_mapDestinations.end() ? nullptr : it->second;
}

std::optional<FileStatus> PinnedFileSystem::Stat(const std::string& path) {
    InputFile* const pinned = m_pins.Input(path);
    if (!pinned) return Inner().Stat(path);
    // Read through its handle, whatever its name now names.
    if (pinned->Rewind()) return FileStatus{};
    // Otherwise it is read by name again, and one that is gone is named: it
    // is never silently left out.
    auto status = Inner().Stat(path);
    if (!status) throw ReadError(path);
    return status;
}

std::unique_ptr<InputFile> PinnedFileSystem::OpenRead(const std::string& path) {
    InputFile* const pinned = m_pins.Input(path);
    if (!pinned) return Inner().OpenRead(path);
    // The year, the document's name and the company came from what the checks
    // read: a new export written in its place meanwhile is not mixed with them.
    const auto stamp = m_pins.CheckedStamp(path);
    if (pinned->Rewind()) {
        if (stamp && pinned->Stamp() != stamp) throw InputChangedError(path);
        return std::make_unique<BorrowedInputFile>(*pinned);
    }
    // A vanished or exchanged input is named, never silently left out.
    std::unique_ptr<InputFile> again = Inner().OpenRead(path);
    const auto checked = pinned->Identity();
    if (!again || (checked && again->Identity() != checked)) throw ReadError(path);
    if (stamp && again->Stamp() != stamp) throw InputChangedError(path);
    return again;
}

DestinationResult PinnedFileSystem::OpenDestination(const std::string& path) {
    if (std::shared_ptr<WriteDestination> pinned = m_pins.Destination(path)) {
        DestinationResult result;
        result.destination = std::move(pinned);
        return result;
    }
    return Inner().OpenDestination(path);
}

}  // namespace kw39::platform
