// A batch: every company folder directly under one root, each converted as a
// run of its own folder would be, each document under its suggested name in
// one output folder. Planned before anything runs, so that the questions of
// every company come before the one confirmation and no company's document
// can take the place of another's.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "run/folder_selection.h"
#include "run/report_file.h"
#include "run/run_request.h"

namespace kw39 {

struct BatchRequest {
    std::string root;       // the folder of the company folders
    std::string outputDir;  // the folder of the documents
    // The filing year asked for; nothing: each company's data's own year.
    std::optional<std::string> year;
    std::string defaultYear;  // today's era year, for data without a payment date
    LinkMode mode = kModeStandard;
    bool writeDocument = true;  // false for a check of the batch
};

// One company of a batch.
struct BatchCompany {
    std::string name;        // its folder's name
    std::string folder;      // its folder's path
    RunRequest request;      // what it is converted with, its output in the output folder
    std::string outputName;  // its document's file name; "" when it has none
    // Without a year asked for: the calendar year of its payment dates, when
    // it has any (its filing year is then that year's era year).
    std::optional<int> paymentYear;
    // With one: the question when it is not the year of the payment dates.
    std::optional<Message> yearQuestion;
    std::vector<Message> messages;  // what planning it found
    // Why it cannot be run (InputRejected or Failed), and why in words.
    std::optional<CommandOutcome> refused;
    std::string whyNot;
};

struct BatchPlan {
    std::vector<BatchCompany> companies;  // in the byte order of their names
    std::vector<std::string> skipped;     // folders without a PCA export
    std::vector<std::string> unnamed;     // folders whose names are not Shift_JIS
};

// The plan of a batch: the company folders found, their files chosen as a
// folder selection chooses them, their document names suggested and made
// safe, their years; companies whose documents would share a name refused.
// A folder that cannot be read is a refused company. Nothing when the root
// cannot be listed.
std::optional<BatchPlan> PlanBatch(const BatchRequest& batch,
                                   platform::FileSystem& fs = platform::RealFileSystem());

// Every file the batch reads, and every document it will write.
std::vector<RunFile> FilesOfBatch(const BatchPlan& plan);

// A suggested output name made safe as a file name: separators and the
// characters Windows forbids in names become "_".
std::string SafeFileName(const std::string& name);

}  // namespace kw39
