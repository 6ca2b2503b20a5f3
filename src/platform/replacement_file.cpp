#include "platform/replacement_file.h"

#include <cstdint>
#include <random>

#include "platform/io_error.h"

namespace kw39::platform {

namespace {

// Attempts at a fresh name before giving up: a clash is already unlikely
// once, and many in a row mean that someone is filling the folder on purpose.
constexpr int kNameAttempts = 64;

std::string RandomPart() {
    thread_local std::mt19937_64 generator([] {
        std::random_device device;
        return (static_cast<std::uint64_t>(device()) << 32) ^ device();
    }());
    static constexpr char kHex[] = "0123456789abcdef";
    std::uint64_t value = generator();
    std::string text(16, '0');
    for (char& digit : text) {
        digit = kHex[value & 0xF];
        value >>= 4;
    }
    return text;
}

}  // namespace

TemporaryFile CreateTemporaryBeside(FileSystem& fs, const std::string& target) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string path = target + kTemporaryMarker + RandomPart() + ".tmp";
        const InterruptsHeld held;
        try {
            if (std::unique_ptr<OutputFile> file = fs.CreateNew(path)) {
                auto cleanup = std::make_unique<InterruptCleanup>(path);
                return {std::move(path), std::move(file), std::move(cleanup)};
            }
        } catch (const IoError&) {
            throw WriteError(target);
        }
    }
    throw WriteError(target);
}

ReplacementFile::ReplacementFile(FileSystem& fs, const std::string& target, const Wrapper& wrap)
    : m_fs(fs), m_strTarget(target), m_strWritten(fs.ResolveLinks(target)) {
    TemporaryFile temporary = CreateTemporaryBeside(fs, m_strWritten);
    m_strTempPath = std::move(temporary.path);
    m_pCleanup = std::move(temporary.cleanup);
    try {
        m_pFile = wrap ? wrap(std::move(temporary.file)) : std::move(temporary.file);
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
        m_fs.Replace(m_strTempPath, m_strWritten);
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
    m_fs.Remove(m_strTempPath);
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
