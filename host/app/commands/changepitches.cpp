// change-pitches: opens each score, selects a region, and drives the Change
// Pitches plug-in's dialog as a user would, then writes the result. One
// dialog, filled once from the options, serves every file of the run; with
// several files and jobs the files run in worker processes, each with its
// own dialog.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

#include <QThread>

#include "host/app/commands/changeoptions.h"
#include "host/app/commands/changereport.h"
#include "host/app/commands/changesession.h"
#include "host/app/commands/commands.h"
#include "host/app/commands/filejob.h"
#include "host/app/commands/settingscopy.h"
#include "host/app/commands/workerpool.h"

namespace tonaroapp {

namespace {

// The largest score read from standard input (the engine refuses larger
// files anyway).
constexpr size_t kMaxInputBytes = 512u << 20;

// Reads standard input into path (named .mxl when it is a zip archive).
// Answers the path, or "" with *why.
std::string ReadStandardInput(const SettingsCopy& scratch, std::string* why)
{
    std::string bytes;
    char buffer[1 << 16];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
        bytes.append(buffer, got);
        if (bytes.size() > kMaxInputBytes) {
            *why = "standard input: larger than " + std::to_string(kMaxInputBytes >> 20) + " MiB";
            return {};
        }
    }
    if (std::ferror(stdin)) {
        *why = "standard input cannot be read";
        return {};
    }
    const std::string path = scratch.ScratchPath(bytes.starts_with("PK\x03\x04") ? "stdin.mxl" : "stdin.musicxml");
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    out.close();
    if (!out) {
        *why = "standard input: cannot keep a copy in " + path;
        return {};
    }
    return path;
}

// Copies the file at path to standard output.
bool CopyToStandardOutput(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) return false;
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
}

// The task of each input: where it is read from and written to.
bool PlanTasks(const ChangeOptions& options, const SettingsCopy& scratch, std::vector<FileTask>* tasks,
               std::string* why)
{
    for (const std::string& input : options.inputs) {
        FileTask task;
        task.input = input;
        task.inputPath = input;
        if (input == "-" && (task.inputPath = ReadStandardInput(scratch, why)).empty()) return false;
        if (options.dryRun) {
            // Nothing is written.
        } else if (!options.output.empty()) {
            task.output = options.output;
            task.outputPath = options.output == "-" ? scratch.ScratchPath("stdout.musicxml") : options.output;
        } else if (!options.outDir.empty()) {
            task.output = (std::filesystem::path(options.outDir) / std::filesystem::path(input).filename()).string();
            task.outputPath = task.output;
        } else {
            task.output = input;
            task.outputPath = input;
            task.inPlace = true;
        }
        tasks->push_back(std::move(task));
    }
    return true;
}

// value as it can be shown in a one-line message: control characters as
// \n, \t or \xNN.
std::string Shown(const std::string& value)
{
    std::string out;
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

// The names of the settings files that differ between two readings.
std::vector<std::string> ChangedFiles(const std::map<std::string, std::string>& before,
                                      const std::map<std::string, std::string>& after)
{
    std::vector<std::string> names;
    for (const auto& [name, bytes] : after) {
        auto it = before.find(name);
        if (it == before.end() || it->second != bytes) names.push_back(name);
    }
    return names;
}

}  // namespace

int RunChangePitches(const std::vector<std::string>& args, const AppOptions& appOptions)
{
    ChangeOptions options;
    if (const int usage = ParseChangeOptions(args, false, &options); usage != 0) return usage;
    std::string why;
    if (options.settingsDir && !SettingsCopy::IsUsableFolder(*options.settingsDir, &why))
        return UsageError("--settings-dir " + *options.settingsDir + ": " + why);
    if (!options.outDir.empty() && !options.dryRun && !SettingsCopy::IsUsableFolder(options.outDir, &why))
        return UsageError("--out-dir " + options.outDir + ": " + why);

    // The user's settings are read once, here; the plug-in works on a copy.
    SettingsCopy settings;
    if (!settings.Take(options.settingsDir.value_or(""), &why)) return Failure(why);
    std::vector<FileTask> tasks;
    if (!PlanTasks(options, settings, &tasks, &why)) return Failure(why);

    ChangeSession session;
    if (!session.Open(appOptions.pluginFolder, true, &why)) return Failure(why);
    if (const std::optional<DialogRefusal> refusal = session.Configure(options)) {
        if (!refusal->usage) return Failure(refusal->message);
        return UsageError(refusal->option + " " + Shown(refusal->value) + ": " + refusal->message);
    }
    std::vector<std::string> listFiles;  // the settings files that Save List wrote
    if (options.saveList) {
        const auto before = settings.WorkingFiles();
        if (const std::string refused = session.SaveList(*options.saveList); !refused.empty())
            return Failure("--save-list " + *options.saveList + ": " + refused);
        listFiles = ChangedFiles(before, settings.WorkingFiles());
    }

    // Results are reported in the order of the inputs, each as soon as it
    // and those before it are in.
    std::FILE* reportOut = options.output == "-" ? stderr : stdout;
    const bool text = options.report == ReportFormat::kText;
    std::vector<FileResult> results(tasks.size());
    std::vector<bool> have(tasks.size(), false);
    size_t reported = 0;
    size_t done = 0;
    size_t notes = 0;
    ProgressLine progress(tasks.size());
    std::string now;
    auto started = [&](size_t i) {
        now = tasks[i].input;
        progress.Show(done, notes, now);
    };
    auto finished = [&](size_t i, const FileResult& result) {
        results[i] = result;
        have[i] = true;
        ++done;
        notes += result.changes.size();
        progress.Clear();
        for (; reported < tasks.size() && have[reported]; ++reported) {
            const FileResult& r = results[reported];
            if (r.Failed()) {
                PrintFailure(r);
            } else if (text) {
                PrintTextReport(reportOut, r, session.Froms(), options.written, tasks.size() > 1);
                std::fflush(reportOut);
            }
        }
        progress.Show(done, notes, done < tasks.size() ? now : std::string());
    };

    if (!options.outDir.empty() && !options.dryRun && !tasks.empty()) {
        std::error_code error;
        std::filesystem::create_directories(options.outDir, error);
        if (error) return Failure("--out-dir " + options.outDir + ": " + error.message());
    }
    const int jobs = options.jobs > 0 ? options.jobs : std::max(1, QThread::idealThreadCount());
    const size_t workers = std::min(tasks.size(), static_cast<size_t>(jobs));
    if (workers <= 1) {
        for (size_t i = 0; i < tasks.size(); ++i) {
            started(i);
            FileResult result = RunFileJob(session, tasks[i], options);
            if (!result.Failed() && result.output == "-" && !CopyToStandardOutput(tasks[i].outputPath)) {
                result.error = "standard output: the score cannot be written";
                result.output.clear();
            }
            finished(i, result);
        }
    } else {
        WorkerSetup setup;
        setup.pluginFolder = appOptions.pluginFolder;
        setup.dialogArguments = WorkerArguments(options);
        setup.taskFile = settings.ScratchPath("tasks");
        setup.settingsFolder = [&settings](int n, std::string* error) {
            return settings.MakeWorkerCopy("worker-" + std::to_string(n), error);
        };
        if (!WriteTaskFile(setup.taskFile, tasks, &why)) return Failure(why);
        RunInWorkers(tasks, static_cast<int>(workers), setup, started, finished);
    }
    progress.Clear();
    session.Close();  // the plug-in stores its settings (in the working copy)

    size_t failed = 0;
    for (const FileResult& result : results) failed += result.Failed() ? 1 : 0;
    if (options.report == ReportFormat::kJson) {
        std::fputs(JsonReport(results).c_str(), reportOut);
    } else if (tasks.size() > 1) {
        PrintRunSummary(reportOut, results);
    }

    // A run that changed no file at all (every file failed) stores nothing.
    int exitCode = failed > 0 ? kExitFailure : kExitSuccess;
    if (tasks.empty() || failed < tasks.size()) {
        std::vector<std::string> leftAlone;
        std::vector<std::string> problems;
        settings.Commit(&leftAlone, &problems);
        for (const std::string& problem : problems) std::fprintf(stderr, "tonaro: settings not stored: %s\n", problem.c_str());
        if (!problems.empty()) exitCode = kExitFailure;
        bool listStored = problems.empty();
        for (const std::string& name : leftAlone) {
            const std::string path = (std::filesystem::path(settings.UserFolder()) / name).string();
            std::fprintf(stderr, "tonaro: %s could not be read when the run began; it was left as it is\n",
                         path.c_str());
            for (const std::string& listFile : listFiles) listStored = listStored && listFile != name;
        }
        if (options.saveList) {
            if (!listStored) {
                std::fprintf(stderr, "tonaro: --save-list %s: the pitch list was not stored\n", options.saveList->c_str());
                exitCode = kExitFailure;
            } else if (text) {
                std::fprintf(reportOut, "Pitch list \"%s\" saved\n", options.saveList->c_str());
            }
        }
    }
    return exitCode;
}

}  // namespace tonaroapp
