// MusicXML open and save through the engine against a bare pugixml parse
// and save of the same file: a generated score of 50 staves x 400 measures
// (180,000 notes). The target is at most 1.5 times the bare time and
// memory. Memory is the process's peak resident size (counter "peak_rss_mb");
// run one benchmark per process to compare it:
//   musicxml_bench --benchmark_filter=Bare
//   musicxml_bench --benchmark_filter=OpenChangeSave
// BM_MusicXmlOpenSaveScaling opens and saves scores of 10 staves holding
// 10,000 to 1,000,000 notes and fits the growth of the time to a straight
// line (the BigO and RMS rows), after one untimed round at each size.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <pugixml.hpp>
#include <string>

#include "bench/scoregenerator.h"
#include "host/engine/engine.h"
#include "host/engine/musicxml/musicxmlio.h"

namespace {

constexpr int kStaves = 50;
constexpr int kMeasures = 400;

std::string ScoreFile()
{
    return "/tmp/tonaro-musicxml-bench-" + std::to_string(getpid()) + ".musicxml";
}

// The generated score, written once per process.
std::string ScorePath()
{
    static const bool written = [] {
        std::ofstream out(ScoreFile(), std::ios::binary);
        out << scoregenerator::GenerateMusicXml(kStaves, kMeasures);
        return static_cast<bool>(out);
    }();
    (void)written;
    return ScoreFile();
}

std::string OutputPath()
{
    return "/tmp/tonaro-musicxml-bench-" + std::to_string(getpid()) + "-out.musicxml";
}

void ReportMemory(benchmark::State& state)
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    state.counters["notes"] = static_cast<double>(kStaves) * kMeasures * scoregenerator::kNotesPerMeasure;
}

// The same parse options as the engine uses (whitespace and entities kept).
constexpr unsigned kParse = pugi::parse_declaration | pugi::parse_doctype | pugi::parse_pi | pugi::parse_comments |
                            pugi::parse_cdata | pugi::parse_ws_pcdata;
constexpr unsigned kSave = pugi::format_raw | pugi::format_no_declaration | pugi::format_no_escapes;

void BM_BarePugixmlParseSave(benchmark::State& state)
{
    const std::string input = ScorePath();
    for (auto _ : state) {
        pugi::xml_document doc;
        if (!doc.load_file(input.c_str(), kParse)) state.SkipWithError("parse failed");
        if (!doc.save_file(OutputPath().c_str(), "", kSave)) state.SkipWithError("save failed");
    }
    ReportMemory(state);
}
BENCHMARK(BM_BarePugixmlParseSave)->Unit(benchmark::kMillisecond);

void BM_MusicXmlOpen(benchmark::State& state)
{
    const std::string input = ScorePath();
    for (auto _ : state) {
        tonaroengine::Engine::Instance().Reset();
        tonaroengine::MusicXmlError error;
        tonaroengine::Document* doc = tonaroengine::OpenMusicXml(input, &error);
        if (!doc) state.SkipWithError(error.Text().c_str());
        state.PauseTiming();
        tonaroengine::ReleaseMusicXmlSource(doc);
        tonaroengine::Engine::Instance().Reset();
        state.ResumeTiming();
    }
    ReportMemory(state);
}
BENCHMARK(BM_MusicXmlOpen)->Unit(benchmark::kMillisecond);

// Opens, changes every note by one rule (every F one half step higher) and
// saves: what the plug-in does to a whole score.
void BM_MusicXmlOpenChangeSave(benchmark::State& state)
{
    const std::string input = ScorePath();
    for (auto _ : state) {
        tonaroengine::Engine::Instance().Reset();
        tonaroengine::MusicXmlError error;
        tonaroengine::Document* doc = tonaroengine::OpenMusicXml(input, &error);
        if (!doc) {
            state.SkipWithError(error.Text().c_str());
            break;
        }
        for (int slot = 1; slot <= doc->StaffCount(); ++slot) {
            const int16_t staff = doc->StaffAtSlot(slot);
            for (int m = 1; m <= doc->MeasureCount(); ++m) {
                auto entries = doc->Entries(staff, static_cast<int16_t>(m), 0);
                bool changed = false;
                for (EXENTRY& entry : entries)
                    for (int n = 0; n < entry.numNotes; ++n)
                        if (entry.notes[n].displacement % 7 == 3) {
                            ++entry.notes[n].raiselower;
                            changed = true;
                        }
                if (changed) doc->SetEntries(staff, static_cast<int16_t>(m), 0, entries);
            }
        }
        if (!tonaroengine::SaveMusicXml(doc, OutputPath(), &error)) state.SkipWithError(error.Text().c_str());
        state.PauseTiming();
        tonaroengine::ReleaseMusicXmlSource(doc);
        tonaroengine::Engine::Instance().Reset();
        state.ResumeTiming();
    }
    ReportMemory(state);
}
BENCHMARK(BM_MusicXmlOpenChangeSave)->Unit(benchmark::kMillisecond);

std::string ScalingFile()
{
    return "/tmp/tonaro-musicxml-bench-" + std::to_string(getpid()) + "-scaling.musicxml";
}

// CPU time (user + system) of the process so far, in microseconds.
double ProcessCpuMicroseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e6 +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// Opens input into a fresh engine and saves it; false (with the reason)
// on failure.
bool OpenAndSave(const std::string& input, std::string* problem)
{
    tonaroengine::Engine::Instance().Reset();
    tonaroengine::MusicXmlError error;
    tonaroengine::Document* doc = tonaroengine::OpenMusicXml(input, &error);
    const bool ok = doc && tonaroengine::SaveMusicXml(doc, OutputPath(), &error);
    if (!ok) *problem = error.Text();
    return ok;
}

// Frees the document and the tree kept beside it.
void ReleaseAll()
{
    if (tonaroengine::Document* doc = tonaroengine::Engine::Instance().CurrentDocument())
        tonaroengine::ReleaseMusicXmlSource(doc);
    tonaroengine::Engine::Instance().Reset();
}

// Argument: the number of notes (rounded down to whole measures of 10
// staves).
void BM_MusicXmlOpenSaveScaling(benchmark::State& state)
{
    constexpr int kScalingStaves = 10;
    const int measures = static_cast<int>(state.range(0) / (kScalingStaves * scoregenerator::kNotesPerMeasure));
    const int64_t notes = int64_t{measures} * kScalingStaves * scoregenerator::kNotesPerMeasure;
    {
        std::ofstream out(ScalingFile(), std::ios::binary | std::ios::trunc);
        out << scoregenerator::GenerateMusicXml(kScalingStaves, measures);
        if (!out) state.SkipWithError("cannot write the score");
    }
    // One untimed round first, so that the timed rounds find the memory of
    // a round already in the process; its CPU time is reported apart.
    const double start = ProcessCpuMicroseconds();
    std::string problem;
    if (!OpenAndSave(ScalingFile(), &problem)) state.SkipWithError(problem.c_str());
    state.counters["first_round_cpu_us_per_note"] =
        (ProcessCpuMicroseconds() - start) / static_cast<double>(notes > 0 ? notes : 1);
    ReleaseAll();
    for (auto _ : state) {
        if (!OpenAndSave(ScalingFile(), &problem)) {
            state.SkipWithError(problem.c_str());
            break;
        }
        state.PauseTiming();
        ReleaseAll();
        state.ResumeTiming();
    }
    ReportMemory(state);
    state.counters["notes"] = static_cast<double>(notes);
    state.SetItemsProcessed(state.iterations() * notes);
    state.SetComplexityN(notes);
}
// Sizes in increasing order, so that the first round of each size is the
// first to need that much memory in the process; every size is timed over
// the same three rounds after it.
BENCHMARK(BM_MusicXmlOpenSaveScaling)
    ->Arg(10000)
    ->Arg(30000)
    ->Arg(100000)
    ->Arg(300000)
    ->Arg(1000000)
    ->Iterations(3)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

struct Cleanup {
    ~Cleanup()
    {
        std::remove(ScoreFile().c_str());
        std::remove(OutputPath().c_str());
        std::remove(ScalingFile().c_str());
    }
} cleanup;

}  // namespace

BENCHMARK_MAIN();
