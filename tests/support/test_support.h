// Shared helpers of the tests: scoped temporary folders, whole-file reads and
// writes, and a RunPort with fixed control texts that records what it is asked.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "platform/file_system.h"
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

using RecordedMessage = platform::Message;

// The controls of the recorded dialog below, by the ids the desktop program
// gives them.
enum TestControlId : int {
    kIdOutputBox = 1004,
    kIdOutputBrowse = 1005,
    kIdCompanyBox = 1009,
    kIdCompanyBrowse = 1010,
    kIdRadioStandard = 1022,
    kIdRadioSimple = 1023,
    kIdYearBox = 1027,
};
constexpr int SlotEditId(std::size_t slot) { return 1009 + 2 * static_cast<int>(slot); }
constexpr int SlotBrowseId(std::size_t slot) { return 1010 + 2 * static_cast<int>(slot); }

// A headless dialog: control texts and radio states are set by the test,
// messages are recorded, and confirmations and questions are answered from a
// script (Ok or Yes when the script is empty).
class RecordingPort : public RunPort {
  public:
    RunRequest ReadRequest() override;
    MessageAnswer ShowMessage(const std::string& text, MessageStyle style) override;
    void FocusField(RunField field, std::size_t slot) override;
    void CloseDialog() override { ++closeCount; }

    // What the Execute command does with a failed check: its message, and the
    // focus on the control to correct.
    void Apply(const CheckResult& check);

    std::map<int, std::string> texts;
    std::map<int, bool> checked;
    std::vector<MessageAnswer> answers;  // consumed front to back for Confirm and Question
    std::vector<RecordedMessage> messages;
    int focus = 0;
    int closeCount = 0;
};

// The input checks of the recorded dialog's request, their outcome applied to
// it as the Execute command applies it.
bool ValidateInputSet(RecordingPort& port, platform::FileSystem& fs = platform::RealFileSystem());

}  // namespace kw39::test
