#include "measure.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>

#include "clock.h"
#include "convert/engine.h"
#include "export/document_file.h"
#include "export/export_xml.h"
#include "platform/encoding.h"
#include "platform/file_system.h"
#include "run/input_slots.h"
#include "run/validate_input.h"

namespace kw39::bench {

namespace {

// The filing year of every run.
const std::string kYear = "8";

// Resident set size now (Linux /proc); 0 where it cannot be read.
long ResidentKb() {
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm) return 0;
    long size = 0, resident = 0;
    const bool read = std::fscanf(statm, "%ld %ld", &size, &resident) == 2;
    std::fclose(statm);
    return read ? resident * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The messages of a failed check, readable on a UTF-8 terminal.
std::string Joined(const std::vector<std::string>& messages) {
    std::string text;
    for (const std::string& message : messages) {
        if (!text.empty()) text.append(" | ");
        text.append(platform::Cp932ToUtf8Lossy(message));
    }
    return text;
}

void CheckInputs(const std::vector<std::string>& paths, const std::string& output) {
    RunRequest request;
    request.outputPath = output;
    request.yearText = kYear;
    request.mode = kModeStandard;
    for (std::size_t slot = 0; slot < InputSlots.size() && slot < paths.size(); ++slot)
        request.inputPaths[slot] = paths[slot];
    const CheckResult check = CheckInputSet(request);
    if (check.Passed()) return;
    std::string reason = "input checks failed: ";
    if (check.message) reason.append(Joined({check.message->text}));
    throw std::runtime_error(reason);
}

// What ConvertAndWriteDocument does, step by step with the engine's own public
// steps, so that converting and writing can be timed apart. Only the time of
// converting is measured (a clock read before and after each employee); the
// rest of the pass is writing. The benchmark test checks that the document is
// the same as ConvertAndWriteDocument's.
void ConvertAndWriteTimed(CExchangeFromPCAToKw39& engine, const std::string& output,
                          StageTimes& times) {
    const double start = Now();
    const std::vector<std::string>& codes = engine.Reader().GetEmployeeCodes();
    if (codes.empty()) throw std::runtime_error("no employee was loaded");
    const std::unique_ptr<XmlDocumentFile> document = engine.Store().OpenDocument(
        output, kModeStandard, "1", engine.Reader().GetCompanyName(), kYear);
    double converting = 0;
    for (const std::string& code : codes) {
        const double before = Now();
        engine.ConvertEmployee(code);
        converting += Now() - before;
        engine.Store().WriteHeldSyain(*document);
    }
    document->Finish();
    times.convert = converting;
    times.write = Now() - start - converting;
}

}  // namespace

std::vector<std::string> InputPaths(const std::string& folder) {
    // The files are named by the slot prefixes that the folder selection knows.
    std::vector<std::string> paths;
    for (const InputSlot& slot : InputSlots) {
        const std::string name = std::string(slot.pszPrefix) + ".CSV";
        const std::string path = (std::filesystem::path(folder) / name).string();
        if (!std::filesystem::exists(path)) throw std::runtime_error("missing input file " + path);
        paths.push_back(path);
    }
    return paths;
}

double FloorPass(const std::vector<std::string>& paths, std::uint64_t& bytes,
                 std::uint64_t& lines) {
    platform::FileSystem& fs = platform::RealFileSystem();
    // A cache-sized buffer and memchr: the fastest plain pass, so the floor is
    // a true floor.
    std::vector<char> buffer(std::size_t{64} << 10);
    bytes = 0;
    lines = 0;
    const double start = Now();
    for (const std::string& path : paths) {
        const auto file = fs.OpenRead(path);
        if (!file) throw std::runtime_error("cannot open " + path);
        for (std::size_t got; (got = file->Read(buffer.data(), buffer.size())) > 0;) {
            bytes += got;
            const char* const end = buffer.data() + got;
            for (const char* at = buffer.data(); at < end; ++at) {
                at = static_cast<const char*>(
                    std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
                if (!at) break;
                ++lines;
            }
        }
    }
    return Now() - start;
}

StageTimes ConvertOnce(const std::vector<std::string>& paths, const std::string& output,
                       int& messages, StageMemory& memory) {
    StageTimes times;
    double mark = Now();
    const auto lap = [&mark](double& stage) {
        const double now = Now();
        stage = now - mark;
        mark = now;
    };
    CheckInputs(paths, output);
    lap(times.check);

    platform::MessageLog silent;  // a clean run logs nothing: only counted
    auto engine = std::make_unique<CExchangeFromPCAToKw39>(silent);
    if (!engine->Reader().ReadDataFiles(paths, static_cast<int>(paths.size())))
        throw std::runtime_error("the reader could not read every input file");
    lap(times.load);
    memory.load = ResidentKb();
    ConvertAndWriteTimed(*engine, output, times);
    mark = Now();
    memory.convert = ResidentKb();
    engine.reset();
    lap(times.release);
    messages = static_cast<int>(silent.messages.size());
    return times;
}

SizeResult MeasureSize(const std::string& folder, int employees, int runs, double budget) {
    const std::vector<std::string> paths = InputPaths(folder);
    const std::string output = (std::filesystem::path(folder) / "bench-output.xml").string();
    SizeResult result;
    result.employees = employees;
    std::vector<double> floors, totals, check, load, convert, write, release;
    const double start = Now();
    for (int run = 0; run < runs; ++run) {
        floors.push_back(FloorPass(paths, result.inputBytes, result.inputLines));
        StageMemory memory;
        const StageTimes times = ConvertOnce(paths, output, result.messages, memory);
        if (run == 0) result.memory = memory;
        totals.push_back(times.Total());
        check.push_back(times.check);
        load.push_back(times.load);
        convert.push_back(times.convert);
        write.push_back(times.write);
        release.push_back(times.release);
        ++result.runs;
        if (Now() - start > budget) break;
    }
    result.outputBytes = std::filesystem::file_size(output);
    std::filesystem::remove(output);
    result.floor = Median(floors);
    result.total = Median(totals);
    result.stages = {Median(check), Median(load), Median(convert), Median(write), Median(release)};
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    result.peakRssKb = usage.ru_maxrss;  // kilobytes on Linux
    return result;
}

std::string FormatResult(const SizeResult& r) {
    char line[512];
    std::snprintf(line, sizeof line,
                  "RESULT employees=%d runs=%d bytes=%llu lines=%llu out=%llu check=%.6f "
                  "load=%.6f convert=%.6f write=%.6f release=%.6f total=%.6f floor=%.6f "
                  "rss_kb=%ld rss_load_kb=%ld rss_convert_kb=%ld messages=%d",
                  r.employees, r.runs, static_cast<unsigned long long>(r.inputBytes),
                  static_cast<unsigned long long>(r.inputLines),
                  static_cast<unsigned long long>(r.outputBytes), r.stages.check, r.stages.load,
                  r.stages.convert, r.stages.write, r.stages.release, r.total, r.floor, r.peakRssKb,
                  r.memory.load, r.memory.convert, r.messages);
    return line;
}

bool ParseResult(std::string_view text, SizeResult& r) {
    const std::size_t at = text.find("RESULT ");
    if (at == std::string_view::npos) return false;
    std::map<std::string, std::string> values;
    std::string_view rest = text.substr(at + 7);
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find_first_of(" \n"), rest.size());
        const std::string_view item = rest.substr(0, end);
        const std::size_t equals = item.find('=');
        if (equals != std::string_view::npos)
            values[std::string(item.substr(0, equals))] = std::string(item.substr(equals + 1));
        if (end < rest.size() && rest[end] == '\n') break;
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    try {
        r.employees = std::stoi(values.at("employees"));
        r.runs = std::stoi(values.at("runs"));
        r.inputBytes = std::stoull(values.at("bytes"));
        r.inputLines = std::stoull(values.at("lines"));
        r.outputBytes = std::stoull(values.at("out"));
        r.stages = {std::stod(values.at("check")), std::stod(values.at("load")),
                    std::stod(values.at("convert")), std::stod(values.at("write")),
                    std::stod(values.at("release"))};
        r.total = std::stod(values.at("total"));
        r.floor = std::stod(values.at("floor"));
        r.peakRssKb = std::stol(values.at("rss_kb"));
        r.memory = {std::stol(values.at("rss_load_kb")), std::stol(values.at("rss_convert_kb"))};
        r.messages = std::stoi(values.at("messages"));
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

}  // namespace kw39::bench
