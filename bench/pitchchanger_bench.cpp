// The pitch changer over a generated score of 160,000 notes through the
// real engine: one rule, then ten rules, applied to the whole score inside
// an undo block as the dialog runs them. Reports notes per second and the
// process's peak resident memory. OneRuleScaling applies one rule to
// 10,000 to 1,000,000 notes and fits the growth of the time to a straight
// line (the BigO and RMS rows), after one untimed round at each size.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/engine/document.h"
#include "host/engine/engine.h"
#include "host/engine/pitch.h"
#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/ui/fcui.h"
#include "tonaroframework/undo/fcundoblock.h"
#include "tonaropdk/bridge/hostbinding.h"
#include "zpchangepitches/changer/fcpitchchangerblockhandler.h"
#include "zpchangepitches/model/fcpitchchangenodes.h"

using tonaroengine::Document;
using tonaroengine::Engine;

namespace {

constexpr int kStaves = 20;
constexpr int kMeasures = 500;
constexpr int kEntriesPerMeasure = 16;  // sixteenths in 4/4
constexpr int64_t kNotes = int64_t{kStaves} * kMeasures * kEntriesPerMeasure;
static_assert(kNotes >= 150000);

// Builds the score of the given length, unless it is the one built last:
// staves numbered apart from their slots, a few transposing staves, keys
// changing every 50 measures, a run of spellings with accidentals. The
// whole score is selected.
Document* Score(int measures = kMeasures)
{
    static Document* document = nullptr;
    static int builtMeasures = 0;
    if (document && builtMeasures == measures) return document;
    builtMeasures = measures;
    document = [measures] {
        InitializeGlobals();
        Engine::Instance().Reset();
        Document* doc = Engine::Instance().NewDocument();
        std::vector<int16_t> staves;
        for (int s = 0; s < kStaves; ++s) staves.push_back(doc->AddStaff(static_cast<int16_t>(100 - s * 3)));
        doc->SetStaffTransposition(staves[3], (1 << 6) | 2);  // B flat instrument
        doc->SetStaffTransposition(staves[7], 7 << 6);         // guitar
        doc->AddMeasures(measures, 4, 1024, 0);
        const uint16_t keys[] = {0x0000, 0x0001, 0x00FD, 0x0103, 0x00FF};
        for (int m = 1; m <= measures; m += 50) {
            doc->SetKeySignature(static_cast<int16_t>(m), keys[(m / 50) % 5], static_cast<int16_t>(m + 49));
        }
        const char* names[] = {"C4", "D4", "E4", "F#4", "G4", "A4", "Bb4", "C5",
                               "Eb4", "G#3", "B3", "C#4", "F4", "Ab4", "D5", "E5"};
        for (int s = 0; s < kStaves; ++s) {
            for (int m = 1; m <= measures; ++m) {
                const uint16_t key = doc->CellKeySignature(staves[s], static_cast<int16_t>(m));
                for (int e = 0; e < kEntriesPerMeasure; ++e) {
                    tonaroengine::NoteSpec note;
                    tonaroengine::NoteFromName(names[(e + s + m) % 16], key, &note);
                    tonaroengine::EntrySpec entry;
                    entry.duration = 256;
                    entry.notes.push_back(note);
                    doc->AddEntry(staves[s], static_cast<int16_t>(m), 0, entry);
                }
            }
        }
        doc->SetSelection(doc->WholeDocumentRegion());
        return doc;
    }();
    return document;
}

double PeakResidentMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

void AddRule(FCPitchChangeNodes* nodes, const char* from, const char* to, PITCHDIRECTION direction)
{
    FCString fromText(from);
    FCString toText(to);
    nodes->Add(new FCPitchChangeNode(&fromText, &toText, direction));
}

// CPU time (user + system) of the process so far, in microseconds.
double ProcessCpuMicroseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e6 +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// One round of the rules as the dialog runs it; true when it changed notes.
bool ApplyRules(FCPitchChangeNodes* rules, bool soundingPitch, FCUI* ui)
{
    FCPitchChangerBlockHandler handler(rules, false, soundingPitch, ui);
    FCUndoBlock block;
    FCString name("Change Pitches");
    const bool done = block.Execute(&handler, &name);
    benchmark::DoNotOptimize(done);
    return done && handler.GetChanged();
}

// warmUp: one untimed round (undone) before the timed ones, so that the
// timed rounds find the memory of a round already in the process; the
// untimed round's CPU time per note is reported as
// "first_round_cpu_us_per_note".
void RunRules(benchmark::State& state, FCPitchChangeNodes* rules, bool soundingPitch, int measures = kMeasures,
              bool warmUp = false)
{
    const int64_t notes = int64_t{kStaves} * measures * kEntriesPerMeasure;
    Document* doc = Score(measures);
    FCUI ui;
    if (warmUp) {
        const double start = ProcessCpuMicroseconds();
        if (!ApplyRules(rules, soundingPitch, &ui)) state.SkipWithError("the rules changed nothing");
        state.counters["first_round_cpu_us_per_note"] =
            (ProcessCpuMicroseconds() - start) / static_cast<double>(notes);
        doc->Undo();
    }
    for (auto _ : state) {
        if (!ApplyRules(rules, soundingPitch, &ui)) state.SkipWithError("the rules changed nothing");
        state.PauseTiming();
        doc->Undo();  // the next round starts from the same score
        state.ResumeTiming();
    }
    state.counters["notes"] = static_cast<double>(notes);
    state.counters["notes_per_second"] =
        benchmark::Counter(static_cast<double>(notes) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    state.counters["peak_rss_MiB"] = PeakResidentMiB();
    state.SetComplexityN(notes);
}

void BM_OneRule(benchmark::State& state)
{
    FCPitchChangeNodes rules;
    AddRule(&rules, "F#", "Gb", PITCHDIRECTION_CLOSEST);
    RunRules(state, &rules, state.range(0) != 0);
}

void BM_TenRules(benchmark::State& state)
{
    FCPitchChangeNodes rules;
    AddRule(&rules, "F#", "Gb", PITCHDIRECTION_CLOSEST);
    AddRule(&rules, "G#", "Ab", PITCHDIRECTION_UP);
    AddRule(&rules, "Bb", "A#", PITCHDIRECTION_DOWN);
    AddRule(&rules, "Eb", "D#", PITCHDIRECTION_CLOSEST);
    AddRule(&rules, "C#", "Db", PITCHDIRECTION_UP);
    AddRule(&rules, "Ab", "G#", PITCHDIRECTION_DOWN);
    AddRule(&rules, "B", "Cb", PITCHDIRECTION_CLOSEST);
    AddRule(&rules, "E", "Fb", PITCHDIRECTION_UP);
    AddRule(&rules, "C", "B#", PITCHDIRECTION_DOWN);
    AddRule(&rules, "F", "E#", PITCHDIRECTION_CLOSEST);
    RunRules(state, &rules, state.range(0) != 0);
}

// Argument: the number of notes (rounded down to whole measures); written
// pitch, as the dialog's default.
void BM_OneRuleScaling(benchmark::State& state)
{
    FCPitchChangeNodes rules;
    AddRule(&rules, "F#", "Gb", PITCHDIRECTION_CLOSEST);
    RunRules(state, &rules, false, static_cast<int>(state.range(0) / (int64_t{kStaves} * kEntriesPerMeasure)), true);
}

// Argument: 1 sounding pitch, 0 written pitch.
BENCHMARK(BM_OneRule)->ArgName("sounding")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TenRules)->ArgName("sounding")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(3);
// Sizes in increasing order, so that the first round of each size is the
// first to need that much memory in the process; every size is timed over
// the same three rounds after it.
BENCHMARK(BM_OneRuleScaling)
    ->Arg(10000)
    ->Arg(30000)
    ->Arg(100000)
    ->Arg(300000)
    ->Arg(1000000)
    ->Iterations(3)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
