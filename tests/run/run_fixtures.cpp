#include "run_fixtures.h"

#include <algorithm>

namespace kw39::test {

std::string PcaLines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (const std::string_view line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string CompanyBlock(std::string_view code, std::string_view name) {
    return "[10000]\r\n" + std::string(code) + "," + std::string(name) +
           ",給与データ,PCA給与X,1,0,,20260105,1\r\n";
}

std::string ValidSlotFile(std::size_t slot) {
    static const char* const kRows[kSlotCount] = {
        "0001,テスト商事",    "131016,千代田区", "001,総務部",
        "E001,001,山田,太郎", "E001,1,20260125", "E001,1",
    };
    return CompanyBlock() + "[" + InputSlots[slot].pszTableCode + "]\r\n" + kRows[slot] + "\r\n";
}

InputSet::InputSet() {
    request.yearText = "8";
    request.mode = kModeStandard;
    request.outputPath = dir.File("out.xml");
    request.launch.launchCode = kLaunchStandalone;
    request.launch.defaultYear = "8";
}

std::string InputSet::Put(std::size_t slot, const std::string& content, const std::string& name) {
    const std::string path =
        dir.Write(name.empty() ? "slot" + std::to_string(slot) + ".csv" : name, content);
    request.inputPaths[slot] = path;
    return path;
}

void InputSet::PutAllValid() {
    for (std::size_t s = 0; s < kSlotCount; ++s) Put(s, ValidSlotFile(s));
}

namespace {

class TrackedInput : public platform::InputFile {
  public:
    TrackedInput(std::unique_ptr<platform::InputFile> inner, int& open, std::function<void()> fail)
        : m_inner(std::move(inner)), m_open(open), m_fail(std::move(fail)) {
        ++m_open;
    }
    ~TrackedInput() override { --m_open; }
    std::size_t Read(char* buffer, std::size_t size) override {
        if (m_fail) m_fail();
        return m_inner->Read(buffer, size);
    }

  private:
    std::unique_ptr<platform::InputFile> m_inner;
    int& m_open;
    std::function<void()> m_fail;
};

}  // namespace

std::unique_ptr<platform::InputFile> TrackingFileSystem::OpenRead(const std::string& path) {
    opened.push_back(path);
    auto file = Inner().OpenRead(path);
    if (!file) return nullptr;
    const bool fail =
        path == m_strFailPath && std::count(opened.begin(), opened.end(), path) == m_nFailOpen;
    return std::make_unique<TrackedInput>(std::move(file), openInputs,
                                          fail ? m_fail : std::function<void()>());
}

void TrackingFileSystem::FailReads(const std::string& path, int nth, std::function<void()> fail) {
    m_strFailPath = path;
    m_nFailOpen = nth;
    m_fail = std::move(fail);
}

}  // namespace kw39::test
