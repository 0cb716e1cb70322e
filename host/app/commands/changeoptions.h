// The options of `tonaro change-pitches`: what to change (one From/To pair,
// rules or a saved list), where (a region), in which files, and how to
// report. Parsing checks their form only; what the dialog accepts is learnt
// by driving it, and the file system is asked when the run starts.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tonaroapp {

// One --rule: the text as given, and its parts with accidental signs
// already read as ASCII ("A♯:B♭" gives from "A#", to "Bb").
struct ChangeRule {
    std::string given;
    std::string from;
    std::string to;
    std::string direction = "Closest";  // the direction pop-up's item text
};

// Measures or staves, counted from 1; first 0: not given (all).
struct ChangeRange {
    int first = 0;
    int last = 0;
};

enum class ReportFormat { kText, kJson };

struct ChangeOptions {
    std::vector<std::string> inputs;  // "-": standard input
    std::string output;               // -o; "-": standard output; "" when not given
    std::string outDir;               // --out-dir; "" when not given
    bool inPlace = false;
    bool dryRun = false;
    ReportFormat report = ReportFormat::kText;
    int jobs = 0;  // --jobs; 0: one per core

    // What to change: exactly one of from/to, rules and list.
    std::optional<std::string> from;  // ASCII accidentals
    std::optional<std::string> to;
    std::string givenFrom;  // as typed, for messages
    std::string givenTo;
    std::string direction = "Closest";
    std::vector<ChangeRule> rules;
    std::optional<std::string> list;
    std::optional<std::string> saveList;  // --save-list NAME

    ChangeRange measures;
    ChangeRange staves;
    bool written = false;
    bool noRespace = false;
    std::optional<std::string> settingsDir;
};

// Fills *out from the arguments after "change-pitches". Answers 0, or the
// exit code of the usage error it printed. forWorker: the arguments of a
// worker process, which names no files (they come as tasks).
int ParseChangeOptions(const std::vector<std::string>& args, bool forWorker, ChangeOptions* out);

// The arguments that give a worker process the same dialog input, region,
// pitch mode and report form (everything but files, jobs, lists to save
// and the settings folder), in the form ParseChangeOptions reads.
std::vector<std::string> WorkerArguments(const ChangeOptions& options);

}  // namespace tonaroapp
