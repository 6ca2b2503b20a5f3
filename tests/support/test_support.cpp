#include "support/test_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "platform/encoding.h"
#include "run/validate_input.h"
#include "support/xmllint.h"

namespace kw39::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "kw39test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_strPath = pattern;
}

namespace {

bool IsXmlDocument(const fs::path& path) {
    constexpr std::string_view kStart = "<?xml";
    std::ifstream in(path, std::ios::binary);
    std::string start(kStart.size(), '\0');
    in.read(start.data(), static_cast<std::streamsize>(start.size()));
    return in && start == kStart;
}

// A document decodes as CP932 only when every byte is part of a character
// (checked by the system's decoder, not by the program's own tables).
void CheckStrictCp932(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!platform::Cp932ToUtf8(bytes.str())) {
        ADD_FAILURE() << path << " does not decode as CP932";
    }
}

// Every XML document a test leaves behind, whatever wrote it, must be one that
// a real parser reads, and CP932 through and through.
void CheckDocumentsIn(const std::string& folder) {
    std::vector<std::string> documents;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_regular_file(ec) && IsXmlDocument(it->path())) {
            documents.push_back(it->path().string());
            CheckStrictCp932(documents.back());
        }
    }
    if (documents.empty()) return;
    const std::optional<std::string> complaints = XmllintComplaints(documents);
    if (!complaints) {
        ADD_FAILURE() << "xmllint is not installed: apt-get install -y libxml2-utils";
    } else if (!complaints->empty()) {
        ADD_FAILURE() << "xmllint --noout: " << *complaints;
    }
}

}  // namespace

TempDir::~TempDir() {
    std::error_code ec;
    // Restore permissions that a test may have taken away before removing.
    for (auto it = fs::recursive_directory_iterator(m_strPath, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    CheckDocumentsIn(m_strPath);
    fs::remove_all(m_strPath, ec);
}

std::string TempDir::File(const std::string& name) const { return m_strPath + "/" + name; }

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
    const std::string path = File(name);
    WriteBytes(path, bytes);
    return path;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write test file " + path);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read test file " + path);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool FileExists(const std::string& path) { return fs::exists(path); }

std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string Utf8Of(const std::string& cp932) { return *platform::Cp932ToUtf8(cp932); }

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::size_t CountOf(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

std::string DataPath(const std::string& relative) {
    return std::string(KW39_TEST_DATA) + "/" + relative;
}

std::string SourcePath(const std::string& relative) {
    return std::string(KW39_SOURCE_DIR) + "/" + relative;
}

AnswerFunction ScriptedAnswers::Function() {
    return [this](const Question& question) {
        asked.push_back(question.message);
        if (m_aScript.empty()) return true;
        const bool yes = m_aScript.front();
        m_aScript.erase(m_aScript.begin());
        return yes;
    };
}

}  // namespace kw39::test
