// The command line end to end beside a bare pugixml parse and save of the
// same file, paired round by round. The score is generated: 50 staves x 400
// measures (180,000 notes, one staff per part, keys changing, accidentals and
// chords, no beams or fixed positions: 33 MB; scoregenerator.h). Every round runs, each in a child process of its
// own, first the floor and then the command:
//
//   floor  pugixml parse_full | parse_ws_pcdata (whitespace kept, so that the
//          file can be written back as it was) and save_file with format_raw
//   BM_ChangePitches         tonaro change-pitches SCORE -o OUT --rule F#:Gb:closest
//   BM_ChangePitchesWritten  the same with --written (written-pitch mode)
//   BM_Convert               tonaro convert SCORE -o OUT (no plug-in)
//
// Before each child runs, sync() writes back what earlier runs left waiting
// (not timed). The floor does not flush its output to the disk; tonaro
// does (an atomic save), and that flush is part of its time.
//
// "Time" is the command's wall time; "bare_ms" the floor's of the same
// round, "ratio_to_bare" their quotient; "cpu_ms", "bare_cpu_ms" and
// "cpu_ratio_to_bare" the same for CPU time (user + system). Peak memory is each child's own
// (wait4's ru_maxrss): "peak_MiB" the command's, "bare_peak_MiB" the
// floor's, "rss_ratio_to_bare" their quotient. Run with
// --benchmark_repetitions=5 for medians of five paired rounds. The tonaro
// run is the one next to this program (both are built into build/bin); the
// score is generated once per process by a child, so that its text never
// counts towards anyone's peak.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "bench/scoregenerator.h"
#include "bench/tonarochild.h"

namespace {

constexpr int kStaves = 50;
constexpr int kMeasures = 400;

// A file of this run in /tmp, named after the benchmark's own process (also
// when a child asks).
std::string WorkPath(const std::string& name)
{
    static const pid_t owner = getpid();
    return "/tmp/tonaro-commandline-bench-" + std::to_string(owner) + "-" + name;
}

std::string ScoreFile() { return WorkPath("score.musicxml"); }
std::string OutputFile() { return WorkPath("out.musicxml"); }
std::string BareOutputFile() { return WorkPath("bare.musicxml"); }
std::string SettingsFolder() { return WorkPath("settings"); }

// The generated score, written once per process by a child process.
bool WriteScore()
{
    static const bool written = [] {
        const std::string path = ScoreFile();
        const pid_t child = fork();
        if (child < 0) return false;
        if (child == 0) {
            std::ofstream out(path, std::ios::binary);
            out << scoregenerator::GenerateMusicXml(kStaves, kMeasures, scoregenerator::Style::Plain);
            out.close();
            _exit(out ? 0 : 1);
        }
        int status = 0;
        return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }();
    return written;
}

double MiB(long kibibytes)
{
    return static_cast<double>(kibibytes) / 1024.0;
}

// What one child cost: wall time from its start to its end, its peak
// resident size; ok false when it failed.
struct ChildRun {
    bool ok = false;
    double seconds = 0;
    double cpuSeconds = 0;  // user and system time
    long peakKiB = 0;
};

ChildRun Wait(pid_t child, std::chrono::steady_clock::time_point start)
{
    ChildRun run;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakKiB = usage.ru_maxrss;
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

// The floor: pugixml alone parses the score keeping its whitespace and
// writes it back, in a child process of its own.
ChildRun RunBare()
{
    const std::string input = ScoreFile();
    const std::string output = BareOutputFile();
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) return {};
    if (child == 0) {
        pugi::xml_document doc;
        if (!doc.load_file(input.c_str(), pugi::parse_full | pugi::parse_ws_pcdata)) _exit(1);
        _exit(doc.save_file(output.c_str(), "", pugi::format_raw) ? 0 : 2);
    }
    return Wait(child, start);
}

// tonaro with the given arguments after its command name; its standard
// output (the report of every changed note) goes nowhere.
ChildRun RunTonaro(const std::vector<std::string>& arguments)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = tonarochild::SpawnTonaro(arguments);
    return child != 0 ? Wait(child, start) : ChildRun{};
}

// Rounds of floor and command, paired; the benchmark's time is the
// command's.
void RunPaired(benchmark::State& state, const std::vector<std::string>& arguments)
{
    if (!WriteScore()) {
        state.SkipWithError("cannot write the score");
        return;
    }
    if (access(tonarochild::TonaroPath().c_str(), X_OK) != 0) {
        state.SkipWithError(("no tonaro at " + tonarochild::TonaroPath()).c_str());
        return;
    }
    std::filesystem::create_directories(SettingsFolder());
    double bareSeconds = 0, commandSeconds = 0, bareCpu = 0, commandCpu = 0;
    long barePeak = 0, commandPeak = 0;
    for (auto _ : state) {
        // Each run starts with nothing waiting to be written back: tonaro
        // flushes its output to the disk before renaming it into place, and
        // on ext4 that flush also writes back whatever other files have
        // waiting (the floor's output of a moment ago), which would be
        // counted against the command.
        sync();
        const ChildRun bare = RunBare();
        if (!bare.ok) {
            state.SkipWithError("the bare pugixml parse and save failed");
            break;
        }
        sync();
        const ChildRun command = RunTonaro(arguments);
        if (!command.ok) {
            state.SkipWithError("the tonaro command failed");
            break;
        }
        state.SetIterationTime(command.seconds);
        bareSeconds += bare.seconds;
        commandSeconds += command.seconds;
        bareCpu += bare.cpuSeconds;
        commandCpu += command.cpuSeconds;
        barePeak = std::max(barePeak, bare.peakKiB);
        commandPeak = std::max(commandPeak, command.peakKiB);
    }
    if (state.iterations() == 0 || bareSeconds <= 0 || barePeak <= 0) return;
    state.counters["bare_ms"] = 1000.0 * bareSeconds / static_cast<double>(state.iterations());
    state.counters["ratio_to_bare"] = commandSeconds / bareSeconds;
    // CPU time (user + system) of each child: steadier than wall time on a
    // machine that other work shares.
    state.counters["cpu_ms"] = 1000.0 * commandCpu / static_cast<double>(state.iterations());
    state.counters["bare_cpu_ms"] = 1000.0 * bareCpu / static_cast<double>(state.iterations());
    if (bareCpu > 0) state.counters["cpu_ratio_to_bare"] = commandCpu / bareCpu;
    state.counters["peak_MiB"] = MiB(commandPeak);
    state.counters["bare_peak_MiB"] = MiB(barePeak);
    state.counters["rss_ratio_to_bare"] = static_cast<double>(commandPeak) / static_cast<double>(barePeak);
    state.counters["notes"] = static_cast<double>(kStaves) * kMeasures * scoregenerator::kNotesPerMeasure;
    std::error_code error;
    state.counters["file_MiB"] =
        static_cast<double>(std::filesystem::file_size(ScoreFile(), error)) / (1024.0 * 1024.0);
}

void BM_ChangePitches(benchmark::State& state)
{
    RunPaired(state, {"change-pitches", ScoreFile(), "-o", OutputFile(), "--rule", "F#:Gb:closest",
                      "--settings-dir", SettingsFolder()});
}
BENCHMARK(BM_ChangePitches)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

void BM_ChangePitchesWritten(benchmark::State& state)
{
    RunPaired(state, {"change-pitches", ScoreFile(), "-o", OutputFile(), "--rule", "F#:Gb:closest", "--written",
                      "--settings-dir", SettingsFolder()});
}
BENCHMARK(BM_ChangePitchesWritten)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

void BM_Convert(benchmark::State& state)
{
    RunPaired(state, {"convert", ScoreFile(), "-o", OutputFile()});
}
BENCHMARK(BM_Convert)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

struct Cleanup {
    ~Cleanup()
    {
        std::error_code error;
        std::filesystem::remove(ScoreFile(), error);
        std::filesystem::remove(OutputFile(), error);
        std::filesystem::remove(BareOutputFile(), error);
        std::filesystem::remove_all(SettingsFolder(), error);
    }
} cleanup;

}  // namespace

BENCHMARK_MAIN();
