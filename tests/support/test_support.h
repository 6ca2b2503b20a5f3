// Shared helpers of the tests: scoped temporary folders, whole-file reads and
// writes, and scripted answers to the questions of a run.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "run/execute_command.h"

namespace kw39::test {

// A fresh folder under the system's temporary folder, removed with its content
// by the destructor. Before that, xmllint reads every XML document left in it
// (when installed), and a complaint fails the test.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_strPath; }
    // Path of `name` inside the folder.
    std::string File(const std::string& name) const;
    // Writes `bytes` to `name` inside the folder and returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const;

  private:
    std::string m_strPath;
};

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool FileExists(const std::string& path);
// The names of the entries of `folder`, sorted.
std::vector<std::string> FolderNames(const std::string& folder);

// Test literals are CP932; the program speaks UTF-8 to its terminal.
std::string Utf8Of(const std::string& cp932);
bool Contains(const std::string& text, const std::string& part);
// How often `part` occurs in `text`, overlapping occurrences included.
std::size_t CountOf(const std::string& text, const std::string& part);

// Path of a file under tests/data and under the source tree.
std::string DataPath(const std::string& relative);
std::string SourcePath(const std::string& relative);

// Answers the questions of a run from a script, front to back (Yes once the
// script is used up), and records every question asked.
class ScriptedAnswers {
  public:
    explicit ScriptedAnswers(std::vector<bool> script = {}) : m_aScript(std::move(script)) {}
    // What ExecuteRun asks with; it refers to this object.
    AnswerFunction Function();

    std::vector<Message> asked;

  private:
    std::vector<bool> m_aScript;
};

}  // namespace kw39::test
