// Running the files of one change-pitches run in worker processes, several
// at once: the plug-in is single-threaded, so each worker is a tonaro
// process of its own, started as
//   tonaro --plugins DIR change-pitches-worker TASKFILE [dialog options]
// that drives its own dialog. The parent hands out one task at a time (its
// number, a line on the worker's standard input) and reads each result back
// (one line of JSON on the worker's standard output), so that a slow file
// holds up no other. Each worker gets a private copy of the settings; the
// user's settings stay the parent's.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/app/commands/changereport.h"
#include "host/app/commands/commands.h"
#include "host/app/commands/filejob.h"

namespace tonaroapp {

struct WorkerSetup {
    std::string pluginFolder;
    std::vector<std::string> dialogArguments;  // WorkerArguments()
    std::string taskFile;                      // WriteTaskFile()
    // Makes the settings folder of worker number n (from 0); "" with *why
    // when it cannot.
    std::function<std::string(int n, std::string* why)> settingsFolder;
};

// Writes tasks to path for the workers. False, with *why, on failure.
bool WriteTaskFile(const std::string& path, const std::vector<FileTask>& tasks, std::string* why);

// Runs every task in at most workers processes (at least one), calling
// started(i) when task i is handed out and finished(i, result) when its
// result is in, on this thread, from a local event loop. A worker that ends
// without answering fails its task (the others go on, in a new worker when
// needed). Returns when every task is finished.
void RunInWorkers(const std::vector<FileTask>& tasks, int workers, const WorkerSetup& setup,
                  const std::function<void(size_t)>& started,
                  const std::function<void(size_t, const FileResult&)>& finished);

// The worker's side is RunChangePitchesWorker (commands.h): args are
// TASKFILE and the dialog options; it answers the process exit code
// (kExitUsage when the dialog refuses the options).

}  // namespace tonaroapp
