// kw39gen: writes the six PCA給与X export files of a fictional company.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kw39::gen {

struct GenerateOptions {
    int employees = 100;
    std::uint64_t seed = 1;
    std::string folder;      // must exist
    int irregularities = 0;  // irregular lines added afterwards (irregular.h)
};

struct GeneratedFile {
    std::string name;
    std::string path;
    std::uint64_t bytes = 0;
    std::uint64_t lines = 0;
};

// The file names, in the order of the input slots.
inline constexpr std::array<const char*, 6> kFileNames = {
    "KAISHAQ.CSV", "NOUFUQ.CSV", "BUMONQ.CSV", "KOJINQ.CSV", "GETUJIQ.CSV", "NENCHOUQ.CSV",
};

// The company every file names in its [10000] block.
inline constexpr const char* kCompanyCode = "0001";
inline constexpr const char* kCompanyName = "株式会社ソフト表計算サービス";

// Writes the six files into options.folder, replacing files of the same names.
// The same options give the same bytes. Throws std::runtime_error on a failed
// write and std::invalid_argument for an employee count below 1.
std::vector<GeneratedFile> GenerateSet(const GenerateOptions& options);

}  // namespace kw39::gen
