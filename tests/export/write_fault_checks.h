// The promise of every way of writing a document file: whatever step fails,
// an existing output keeps its old content and no temporary file is left.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/io_error.h"
#include "support/fault_file_system.h"
#include "support/test_support.h"

namespace kw39::test {

struct WriteFaultCase {
    const char* name;
    void (*breakIt)(WriteFaults&);
};

// The write in the middle fails in one of the writer's later pieces of a
// document larger than 100 000 bytes.
inline constexpr WriteFaultCase kWriteFaultCases[] = {
    {"create", [](WriteFaults& f) { f.createsBeforeFailing = 0; }},
    {"write at the start", [](WriteFaults& f) { f.bytesBeforeFailing = 10; }},
    {"write in the middle", [](WriteFaults& f) { f.bytesBeforeFailing = 100'000; }},
    {"close", [](WriteFaults& f) { f.closeFails = true; }},
    {"replace", [](WriteFaults& f) { f.replaceFails = true; }},
};

// Writes a document of more than 100 000 bytes to `output` through `fs`,
// telling `log` what a store would tell it.
using WriteToOutput = std::function<void(platform::FileSystem& fs, platform::MessageLog& log,
                                         const std::string& output)>;

// Runs `write` once for every fault, over an existing output in a folder of
// its own: it must fail with an IoError that names the output, and leave the
// output as it was, alone in its folder, with no message shown.
inline void ExpectEveryWriteFaultKeepsTheOldOutput(const WriteToOutput& write) {
    for (const WriteFaultCase& c : kWriteFaultCases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        platform::MessageLog log;
        FaultFileSystem fs(platform::RealFileSystem());
        c.breakIt(fs.Writes());
        const std::string old = "old content that must survive\r\n";
        const std::string output = dir.Write("out.xml", old);
        try {
            write(fs, log, output);
            ADD_FAILURE() << "no exception";
        } catch (const platform::IoError& error) {
            EXPECT_EQ(error.Path(), output);
            EXPECT_NE(std::string(error.what()).find(output), std::string::npos);
        }
        EXPECT_EQ(ReadBytes(output), old);
        EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"out.xml"});
        EXPECT_TRUE(log.messages.empty());
    }
}

}  // namespace kw39::test
