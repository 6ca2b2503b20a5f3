#include "generator.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "csv_out.h"
#include "irregular.h"
#include "people.h"
#include "set_files.h"

namespace kw39::gen {

namespace {

std::uint64_t CountLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::uint64_t lines = 0;
    for (std::string line; std::getline(in, line);) ++lines;
    return lines;
}

}  // namespace

std::vector<GeneratedFile> GenerateSet(const GenerateOptions& options) {
    if (options.employees < 1) throw std::invalid_argument("the employee count must be at least 1");
    const Company company = MakeCompany(options.employees, options.seed);
    std::vector<GeneratedFile> files;
    for (std::size_t slot = 0; slot < kFileNames.size(); ++slot) {
        GeneratedFile file;
        file.name = kFileNames[slot];
        file.path = (std::filesystem::path(options.folder) / file.name).string();
        CsvOut out(file.path);
        switch (slot) {
            case 0:
                WriteCompanyFile(out);
                break;
            case 1:
                WritePayeeFile(out);
                break;
            case 2:
                WriteDepartmentFile(out, company);
                break;
            case 3:
                WriteEmployeeFile(out, company);
                break;
            case 4:
                WriteMonthlyFile(out, company, options.seed);
                break;
            default:
                WriteYearEndFile(out, company, options.seed);
                break;
        }
        out.Close();
        file.bytes = out.Bytes();
        file.lines = out.Lines();
        files.push_back(std::move(file));
    }
    if (options.irregularities > 0) {
        std::vector<std::string> paths;
        for (const GeneratedFile& file : files) paths.push_back(file.path);
        AddIrregularities(paths, options.irregularities, options.seed);
        for (GeneratedFile& file : files) {
            file.bytes = std::filesystem::file_size(file.path);
            file.lines = CountLines(file.path);
        }
    }
    return files;
}

}  // namespace kw39::gen
