#include "robust_fixtures.h"

#include <filesystem>

#include "platform/file_system.h"
#include "run/input_slots.h"

namespace kw39::test {

namespace {

const char* const kDemoNames[kSlotCount] = {"KAISHAQ.CSV", "NOUFUQ.CSV",  "BUMONQ.CSV",
                                            "KOJINQ.CSV",  "GETUJIQ.CSV", "NENCHOUQ.CSV"};

const char* const kSlotOptions[kSlotCount] = {"--company",  "--payee",   "--department",
                                              "--employee", "--monthly", "--yearend"};

}  // namespace

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
        text.replace(at, from.size(), to);
        at += to.size();
    }
    return text;
}

void WriteCompany(const std::string& folder, const std::string& name) {
    std::filesystem::create_directories(folder);
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        WriteBytes(folder + "/" + InputSlots[s].pszPrefix + ".CSV",
                   ReplaceAll(DemoFiles()[s], kDemoName, name));
    }
}

std::vector<std::string> FolderRunArgs(const std::string& folder,
                                       const std::vector<std::string>& more) {
    std::vector<std::string> args = {"--year", "26", "--yes", "--folder", folder};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

bool HasTemporaryFile(const std::string& folder) {
    for (const std::string& name : FolderNames(folder)) {
        if (Contains(name, platform::kTemporaryMarker)) return true;
    }
    return false;
}

const std::vector<std::string>& DemoFiles() {
    static const std::vector<std::string> files = [] {
        std::vector<std::string> loaded;
        for (const char* name : kDemoNames) {
            loaded.push_back(ReadBytes(SourcePath(std::string("samples/demo/") + name)));
        }
        return loaded;
    }();
    return files;
}

std::string DemoPath(std::size_t slot) {
    return SourcePath(std::string("samples/demo/") + kDemoNames[slot]);
}

std::string DemoEmployeesWith(std::size_t extra) {
    std::string text = DemoFiles()[3];
    const std::size_t header = text.find("[10601]\r\n");
    const std::size_t first = header + 9;
    const std::size_t end = text.find("\r\n", first);
    const std::string row = text.substr(first, end - first);
    const std::string rest = row.substr(row.find(','));
    std::string more;
    for (std::size_t i = 0; i < extra; ++i) more += std::to_string(5000 + i) + rest + "\r\n";
    text.insert(end + 2, more);
    return text;
}

std::vector<std::string> ConvertArgs(const std::vector<std::string>& inputs,
                                     const std::string& output) {
    std::vector<std::string> args = {"--year", "26", "--output", output, "--yes"};
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        args.push_back(kSlotOptions[s]);
        args.push_back(inputs.at(s));
    }
    return args;
}

MemoryRun::MemoryRun(std::optional<std::string> oldOutput) {
    memory.AddFolder("/in");
    memory.AddFolder("/out");
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        memory.AddFile(InputPath(s), DemoFiles()[s]);
        request.inputPaths[s] = InputPath(s);
    }
    if (oldOutput) memory.AddFile(outputPath, *oldOutput);
    request.outputPath = outputPath;
    request.yearText = "8";
    request.mode = kModeStandard;
}

std::string MemoryRun::InputPath(std::size_t slot) const {
    return std::string("/in/") + kDemoNames[slot];
}

std::vector<std::string> MemoryRun::ProgramArgs() const {
    std::vector<std::string> inputs;
    for (std::size_t s = 0; s < kSlotCount; ++s) inputs.push_back(InputPath(s));
    return ConvertArgs(inputs, outputPath);
}

void MemoryRun::SetInput(std::size_t slot, std::string content) {
    memory.AddFile(InputPath(slot), std::move(content));
}

CommandOutcome MemoryRun::Execute(int launchCode) {
    request.launch.launchCode = launchCode;
    request.launch.defaultYear = "8";
    result = ExecuteRun(request, answers.Function(), faults);
    return result.outcome;
}

std::vector<std::string> MessagesOf(const RunResult& result, MessageStyle style) {
    std::vector<std::string> texts;
    for (const Message& message : result.messages) {
        if (message.style == style) texts.push_back(message.text);
    }
    return texts;
}

bool ReportsSuccess(const RunResult& result) {
    for (const Message& message : result.messages) {
        if (Contains(message.text, "正常に終了しました。")) return true;
    }
    return false;
}

bool StartsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

}  // namespace kw39::test
