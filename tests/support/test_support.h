// Shared helpers of the tests: scoped temporary folders, whole-file reads and
// writes, and a RunPort with fixed control texts that records what it is asked.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "run/run_port.h"

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

struct RecordedMessage {
    std::string text;
    MessageStyle style;
};

// A headless dialog: control texts and radio states are set by the test,
// messages are recorded, and confirmations are answered from a script
// (Ok when the script is empty).
class RecordingPort : public RunPort {
  public:
    std::string ReadControlText(int id) override;
    bool IsControlChecked(int id) override;
    MessageAnswer ShowMessage(const std::string& text, MessageStyle style) override;
    void FocusControl(int id) override { focus = id; }
    void CloseDialog() override { ++closeCount; }

    std::map<int, std::string> texts;
    std::map<int, bool> checked;
    std::vector<MessageAnswer> answers;  // consumed front to back for Confirm
    std::vector<RecordedMessage> messages;
    int focus = 0;
    int closeCount = 0;
};

}  // namespace kw39::test
