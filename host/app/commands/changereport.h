// What change-pitches tells about each file and the whole run: the changed
// notes, the summary line ("12 notes changed in 8 measures", "No notes
// matched A#"), the JSON report, the form in which a worker process hands a
// file's result to its parent, and the progress line on a terminal. All of
// the command's report wording lives here.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

class QJsonObject;

namespace tonaroapp {

// One changed note, named in the pitch mode of the run (sounding, or
// written with --written).
struct ReportedChange {
    std::string part;  // the part's name in the file ("" when unknown)
    int staff = 0;     // staff slot from the top, 1-based
    int measure = 0;   // 1-based
    std::string from;  // "A#4"
    std::string to;    // "Bb4"
};

// The outcome of one file.
struct FileResult {
    std::string input;   // as the user named it ("-": standard input)
    std::string output;  // where it was written ("-": standard output); "" when nothing was written
    std::vector<ReportedChange> changes;
    std::string error;   // why it failed, naming the file; "" when it did not

    bool Failed() const { return !error.empty(); }
};

// "12 notes changed in 8 measures" (a measure counted once per staff it
// changed on), "1 note changed in 1 measure", or, when nothing changed,
// "No notes matched A#" ("A#, Bb or C##" for several).
std::string ChangeSummary(const FileResult& result, const std::vector<std::string>& froms);

// The text report of one file: a heading and one line per changed note,
// then the summary with where the file went. named: start each line of it
// with the input's name (for runs of several files). Failures are not
// printed here (see PrintFailure).
void PrintTextReport(std::FILE* out, const FileResult& result, const std::vector<std::string>& froms, bool written,
                     bool named);
// "tonaro: <error>" on standard error.
void PrintFailure(const FileResult& result);
// The closing line of a run of several files: "3 files: 40 notes changed;
// 1 failed".
void PrintRunSummary(std::FILE* out, const std::vector<FileResult>& results);

// {"files": [{"input", "output", "changed": [{"part", "staff", "measure",
// "from", "to"}...], "error"}]}; output and error are null when there is
// none. One line, ending in a line feed.
std::string JsonReport(const std::vector<FileResult>& results);

// A file's result as one JSON object, and back (for worker processes).
// FromJson leaves *result as it was and answers false for anything that is
// not such an object.
QJsonObject ToJson(const FileResult& result);
bool FromJson(const QJsonObject& object, FileResult* result);

// The progress line: on standard error, only when it is a terminal and the
// run has more than one file; rewritten in place. Clear() before printing
// anything else to the terminal.
class ProgressLine {
public:
    explicit ProgressLine(size_t files);
    ~ProgressLine();  // Clear()

    // done files of the run's total, notes changed so far, and the name of
    // a file now running ("" when none).
    void Show(size_t done, size_t notes, const std::string& running);
    void Clear();

private:
    size_t files_;
    bool enabled_;
    bool shown_ = false;
};

}  // namespace tonaroapp
