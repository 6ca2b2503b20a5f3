#include "platform/replacement_file.h"

#include "platform/io_error.h"

namespace kw39::platform {

namespace {

// Attempts at a fresh name before giving up: a clash is already unlikely
// once, and many in a row mean that someone is filling the folder on purpose.
constexpr int kNameAttempts = 64;

}  // namespace

ReplacementFile::ReplacementFile(FileSystem& fs, const std::string& target, const Wrapper& wrap)
    : m_strTarget(target) {
    DestinationResult opened = fs.OpenDestination(target);
    if (!opened.destination) throw WriteError(target);
    m_pDestination = std::move(opened.destination);
    const std::string& written = m_pDestination->Path();
    std::unique_ptr<OutputFile> file;
    for (int attempt = 0; attempt < kNameAttempts && !file; ++attempt) {
        std::string name = TemporaryNameFor(NameOfPath(written));
        // Created and registered in one step: an interruption between the two
        // would leave the file behind.
        const InterruptsHeld held;
        try {
            file = m_pDestination->CreateTemporary(name);
        } catch (const IoError&) {
            throw WriteError(target);
        }
        if (!file) continue;
        m_strTempName = std::move(name);
        m_strTempPath = JoinPath(FolderOfPath(written), m_strTempName);
        m_pCleanup = std::make_unique<InterruptCleanup>(m_strTempPath);
    }
    if (!file) throw WriteError(target);
    try {
        m_pFile = wrap ? wrap(std::move(file)) : std::move(file);
    } catch (...) {
        Discard();
        throw;
    }
}

ReplacementFile::~ReplacementFile() { Discard(); }

void ReplacementFile::Commit() {
    if (m_bDone) throw WriteError(m_strTarget);
    try {
        m_pFile->Close();
        m_pFile.reset();
        m_pDestination->Commit(m_strTempName);
    } catch (const TargetChangedError&) {
        Discard();
        throw;
    } catch (const IoError&) {
        Discard();
        throw WriteError(m_strTarget);
    } catch (...) {
        Discard();
        throw;
    }
    m_bDone = true;
    m_pCleanup.reset();
}

void ReplacementFile::Discard() noexcept {
    if (m_bDone) return;
    m_bDone = true;
    // Closed before it is removed, as every platform needs; whatever is still
    // buffered is dropped with it.
    m_pFile.reset();
    if (m_pDestination && !m_strTempName.empty()) m_pDestination->Remove(m_strTempName);
    m_pCleanup.reset();
}

void ReplaceFileContent(FileSystem& fs, const std::string& target, const std::string& bytes) {
    ReplacementFile file(fs, target);
    try {
        file.File().Write(bytes.data(), bytes.size());
    } catch (const IoError&) {
        throw WriteError(target);
    }
    file.Commit();
}

}  // namespace kw39::platform
