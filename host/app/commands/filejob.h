// One score of a change-pitches run: open it, select the region, apply the
// dialog's change, compare the notes and write the result.
#pragma once

#include <string>

#include "host/app/commands/changeoptions.h"
#include "host/app/commands/changereport.h"

namespace tonaroapp {

class ChangeSession;

// One file to change.
struct FileTask {
    std::string input;       // as the user named it ("-": standard input)
    std::string inputPath;   // the file opened
    std::string output;      // as the user named it ("-": standard output); "" when nothing is written
    std::string outputPath;  // the file written; "" when nothing is written
    bool inPlace = false;    // outputPath is the input, replaced as Save does
};

// Runs one task with session's configured dialog. The document lives for
// the call only; the output is written atomically and only when the change
// went through. Options used: the region, the pitch mode, the report form
// (part names are read for JSON only). Never throws; a failure is in the
// result's error, which names the file.
FileResult RunFileJob(ChangeSession& session, const FileTask& task, const ChangeOptions& options);

}  // namespace tonaroapp
