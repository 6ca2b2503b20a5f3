// kw39gen --employees N --seed S --out DIR
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>

#include "generator.h"

namespace {

constexpr const char* kUsage =
    "usage: kw39gen --employees N --seed S --out DIR [--irregular K]\n"
    "  writes KAISHAQ.CSV, NOUFUQ.CSV, BUMONQ.CSV, KOJINQ.CSV, GETUJIQ.CSV and NENCHOUQ.CSV\n"
    "  of a fictional company with N employees (1 to 10000000) into DIR (created if\n"
    "  missing); the same N and S always give the same bytes. --irregular K adds K\n"
    "  irregular lines (left out, repeated keys, empty keys, unknown tables, ...).\n";

bool ParseNumber(std::string_view text, unsigned long long& value) {
    if (text.empty()) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        if (value > 1'000'000'000'000'000ull) return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return true;
}

// Fills `options` from the arguments; false (after a message) when they are wrong.
bool ParseArguments(int argc, char** argv, kw39::gen::GenerateOptions& options) {
    bool haveEmployees = false, haveOut = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view name = argv[i];
        if (name == "--help" || name == "-h") return false;
        if (i + 1 >= argc) {
            std::fprintf(stderr, "kw39gen: %s needs a value\n", argv[i]);
            return false;
        }
        const std::string_view value = argv[++i];
        unsigned long long number = 0;
        if (name == "--employees") {
            if (!ParseNumber(value, number) || number < 1 || number > 10'000'000) {
                std::fprintf(stderr,
                             "kw39gen: --employees wants a number from 1 to 10000000, not '%s'\n",
                             argv[i]);
                return false;
            }
            options.employees = static_cast<int>(number);
            haveEmployees = true;
        } else if (name == "--seed") {
            if (!ParseNumber(value, number)) {
                std::fprintf(stderr, "kw39gen: --seed wants a non-negative number, not '%s'\n",
                             argv[i]);
                return false;
            }
            options.seed = number;
        } else if (name == "--irregular") {
            if (!ParseNumber(value, number) || number > 1'000'000) {
                std::fprintf(stderr,
                             "kw39gen: --irregular wants a number up to 1000000, not '%s'\n",
                             argv[i]);
                return false;
            }
            options.irregularities = static_cast<int>(number);
        } else if (name == "--out") {
            options.folder = value;
            haveOut = !value.empty();
        } else {
            std::fprintf(stderr, "kw39gen: unknown option %s\n", argv[i - 1]);
            return false;
        }
    }
    if (!haveEmployees || !haveOut) {
        std::fprintf(stderr, "kw39gen: --employees and --out are required\n");
        return false;
    }
    return true;
}

// Wall-clock seconds. (<chrono> cannot be used: its literals do not survive
// the CP932 execution character set.)
double Seconds() {
    std::timespec now{};
    std::timespec_get(&now, TIME_UTC);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
    kw39::gen::GenerateOptions options;
    if (!ParseArguments(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        std::filesystem::create_directories(options.folder);
        const double start = Seconds();
        const auto files = kw39::gen::GenerateSet(options);
        const double took = Seconds() - start;
        unsigned long long total = 0;
        for (const auto& file : files) {
            std::printf("%-14s %14llu bytes %10llu lines\n", file.name.c_str(),
                        static_cast<unsigned long long>(file.bytes),
                        static_cast<unsigned long long>(file.lines));
            total += file.bytes;
        }
        std::printf("%d employees, seed %llu: %llu bytes in %.2f s\n", options.employees,
                    static_cast<unsigned long long>(options.seed), total, took);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kw39gen: %s\n", error.what());
        return 1;
    }
}
