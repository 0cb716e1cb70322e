// Batch respelling: 200 copies of a generated 20-staff, 100-measure score
// (18,000 notes each) respelled A# -> Bb by
//   tonaro change-pitches FILE... --out-dir OUT --jobs 2
// against two plain loops of single-file runs going at once (one per core),
//   tonaro change-pitches FILE -o OUT/FILE
// each loop taking half of the files. Both write every file; the score is
// generated once and copied at run time into a temporary folder, removed at
// the end. "files_per_s" is the throughput; the loops' row also reports
// "ratio_to_batch", its time over the batch run's (measured just before).
#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/scoregenerator.h"
#include "bench/tonarochild.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 200;
constexpr int kStaves = 20;
constexpr int kMeasures = 100;

// The temporary folder of this run: the copies in "in", results in "out",
// settings in "settings".
const fs::path& WorkFolder()
{
    static const fs::path folder = [] {
        std::string pattern = (fs::temp_directory_path() / "tonaro-batch-bench-XXXXXX").string();
        const char* made = mkdtemp(pattern.data());
        return made != nullptr ? fs::path(made) : fs::path();
    }();
    return folder;
}

// The input files, written once.
const std::vector<std::string>& Inputs()
{
    static const std::vector<std::string> inputs = [] {
        std::vector<std::string> paths;
        if (WorkFolder().empty()) return paths;
        const fs::path in = WorkFolder() / "in";
        fs::create_directories(in);
        const std::string score = scoregenerator::GenerateMusicXml(kStaves, kMeasures);
        for (int i = 0; i < kFiles; ++i) {
            const fs::path path = in / ("part" + std::to_string(i) + ".musicxml");
            std::ofstream(path, std::ios::binary) << score;
            paths.push_back(path.string());
        }
        return paths;
    }();
    return inputs;
}

// Runs tonaro with args (its report going nowhere); true when it exits 0.
bool RunTonaro(const std::vector<std::string>& args)
{
    const pid_t child = tonarochild::SpawnTonaro(args);
    int status = 0;
    return child != 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool Ready(benchmark::State& state)
{
    if (Inputs().size() != kFiles) {
        state.SkipWithError("cannot write the scores");
        return false;
    }
    if (access(tonarochild::TonaroPath().c_str(), X_OK) != 0) {
        state.SkipWithError(("no tonaro at " + tonarochild::TonaroPath()).c_str());
        return false;
    }
    fs::create_directories(WorkFolder() / "out");
    return true;
}

double gBatchSeconds = 0;

void BM_BatchJobs2(benchmark::State& state)
{
    if (!Ready(state)) return;
    std::vector<std::string> args{"change-pitches"};
    args.insert(args.end(), Inputs().begin(), Inputs().end());
    args.insert(args.end(), {"--out-dir", (WorkFolder() / "out").string(), "--jobs", "2", "--from", "A#", "--to",
                             "Bb", "--settings-dir", (WorkFolder() / "settings").string()});
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!RunTonaro(args)) state.SkipWithError("tonaro change-pitches --jobs 2 failed");
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    gBatchSeconds = state.iterations() > 0 ? seconds / static_cast<double>(state.iterations()) : 0;
    state.counters["files_per_s"] = benchmark::Counter(kFiles, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_BatchJobs2)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

void BM_TwoLoopsOfSingleRuns(benchmark::State& state)
{
    if (!Ready(state)) return;
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        bool ok[2] = {true, true};
        auto loop = [&ok](int half) {
            const std::string settings = (WorkFolder() / ("settings-loop" + std::to_string(half))).string();
            for (size_t i = static_cast<size_t>(half); i < Inputs().size(); i += 2) {
                const std::string output = (WorkFolder() / "out" / fs::path(Inputs()[i]).filename()).string();
                ok[half] = RunTonaro({"change-pitches", Inputs()[i], "-o", output, "--from", "A#", "--to", "Bb",
                                      "--settings-dir", settings}) &&
                           ok[half];
            }
        };
        std::thread first(loop, 0);
        loop(1);
        first.join();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!ok[0] || !ok[1]) state.SkipWithError("a single-file run failed");
    }
    state.counters["files_per_s"] = benchmark::Counter(kFiles, benchmark::Counter::kIsIterationInvariantRate);
    if (gBatchSeconds > 0 && state.iterations() > 0)
        state.counters["ratio_to_batch"] = seconds / static_cast<double>(state.iterations()) / gBatchSeconds;
}
BENCHMARK(BM_TwoLoopsOfSingleRuns)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

struct Cleanup {
    ~Cleanup()
    {
        std::error_code error;
        if (!WorkFolder().empty()) fs::remove_all(WorkFolder(), error);
    }
} cleanup;

}  // namespace

BENCHMARK_MAIN();
