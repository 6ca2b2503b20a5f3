#include "report.h"

#include <cstdio>
#include <initializer_list>

namespace kw39::bench {

namespace {

constexpr double kMB = 1e6;  // throughput and sizes in MB of 10^6 bytes

constexpr int kReferenceSize = 10000;
constexpr int kLargeSize = 50000;
constexpr double kMaxFloorRatio = 6.0;
constexpr double kMinThroughput = 150.0;
constexpr double kMaxRssRatio = 1.5;
constexpr double kMaxScaling = 5.5;

const Measured* Find(const std::vector<Measured>& sizes, int employees) {
    for (const Measured& size : sizes)
        if (size.employees == employees) return &size;
    return nullptr;
}

double Throughput(const SizeResult& r) { return r.total > 0 ? r.inputBytes / kMB / r.total : 0; }
double RssMB(const SizeResult& r) { return r.peakRssKb * 1024.0 / kMB; }
double RssRatio(const SizeResult& r) {
    return r.inputBytes ? r.peakRssKb * 1024.0 / static_cast<double>(r.inputBytes) : 0;
}
double FloorRatio(const SizeResult& r) { return r.floor > 0 ? r.total / r.floor : 0; }

std::string Format(const char* format, double a, double b) {
    char text[128];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

// Files the verdict of a target whose sizes are not all measured (skipped
// when one is missing, failed when one failed) and returns true; false when
// every size it needs has a result.
bool Unmeasured(const std::string& target, std::initializer_list<const Measured*> needed,
                std::vector<TargetVerdict>& verdicts) {
    for (const Measured* size : needed) {
        if (!size) {
            verdicts.push_back({Outcome::Skip, target, "size not measured"});
            return true;
        }
        if (!size->ok) {
            verdicts.push_back({Outcome::Fail, target, size->failure});
            return true;
        }
    }
    return false;
}

void Judge(const std::string& target, bool pass, std::string detail,
           std::vector<TargetVerdict>& verdicts) {
    verdicts.push_back({pass ? Outcome::Pass : Outcome::Fail, target, std::move(detail)});
}

}  // namespace

std::vector<TargetVerdict> EvaluateTargets(const std::vector<Measured>& sizes) {
    std::vector<TargetVerdict> verdicts;
    const Measured* reference = Find(sizes, kReferenceSize);
    const Measured* large = Find(sizes, kLargeSize);

    const char* floorTarget = "10000 employees: whole run <= 6x the plain read pass";
    if (!Unmeasured(floorTarget, {reference}, verdicts)) {
        const SizeResult& r = reference->result;
        Judge(floorTarget, FloorRatio(r) <= kMaxFloorRatio,
              Format("%.1fx (%.3f s)", FloorRatio(r), r.total), verdicts);
    }
    const char* speedTarget = "10000 employees: input throughput >= 150 MB/s";
    if (!Unmeasured(speedTarget, {reference}, verdicts)) {
        const SizeResult& r = reference->result;
        Judge(speedTarget, Throughput(r) >= kMinThroughput,
              Format("%.1f MB/s (%.3f s)", Throughput(r), r.total), verdicts);
    }
    for (const Measured& size : sizes) {
        const std::string target =
            std::to_string(size.employees) + " employees: peak RSS <= 1.5x the input";
        if (Unmeasured(target, {&size}, verdicts)) continue;
        const SizeResult& r = size.result;
        Judge(target, RssRatio(r) <= kMaxRssRatio, Format("%.2fx (%.1f MB)", RssRatio(r), RssMB(r)),
              verdicts);
    }
    const char* scalingTarget = "50000 employees: time <= 5.5x the time of 10000";
    if (!Unmeasured(scalingTarget, {large, reference}, verdicts)) {
        const double ratio = large->result.total / reference->result.total;
        Judge(scalingTarget, ratio <= kMaxScaling,
              Format("%.2fx (%.3f s)", ratio, large->result.total), verdicts);
    }
    return verdicts;
}

void PrintTable(const std::vector<Measured>& sizes) {
    std::printf(
        "| employees | input MB | check s | load s | convert s | write s | free s | whole s "
        "| MB/s | employees/s | peak RSS MB | RSS/input | floor s | whole/floor | runs |\n"
        "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Measured& size : sizes) {
        if (!size.ok) {
            std::printf("| %d | %s |\n", size.employees, size.failure.c_str());
            continue;
        }
        const SizeResult& r = size.result;
        std::printf(
            "| %d | %.1f | %.3f | %.3f | %.3f | %.3f | %.3f | %.3f | %.1f | %.0f | %.1f | %.2f "
            "| %.3f | %.1f | %d |\n",
            r.employees, r.inputBytes / kMB, r.stages.check, r.stages.load, r.stages.convert,
            r.stages.write, r.stages.release, r.total, Throughput(r),
            r.total > 0 ? r.employees / r.total : 0, RssMB(r), RssRatio(r), r.floor, FloorRatio(r),
            r.runs);
    }
    std::printf(
        "\n| employees | RSS after load MB | after convert+write MB |\n"
        "|---:|---:|---:|\n");
    for (const Measured& size : sizes) {
        if (!size.ok) continue;
        const StageMemory& m = size.result.memory;
        std::printf("| %d | %.1f | %.1f |\n", size.employees, m.load * 1024.0 / kMB,
                    m.convert * 1024.0 / kMB);
    }
    for (const Measured& size : sizes)
        if (size.ok && size.result.messages > 0)
            std::printf("note: the %d-employee run showed %d message(s)\n", size.employees,
                        size.result.messages);
}

int PrintVerdicts(const std::vector<TargetVerdict>& verdicts) {
    int failed = 0;
    for (const TargetVerdict& verdict : verdicts) {
        const char* word = verdict.outcome == Outcome::Pass   ? "PASS"
                           : verdict.outcome == Outcome::Fail ? "FAIL"
                                                              : "SKIP";
        std::printf("%s  %s: %s\n", word, verdict.target.c_str(), verdict.detail.c_str());
        if (verdict.outcome == Outcome::Fail) ++failed;
    }
    return failed;
}

}  // namespace kw39::bench
