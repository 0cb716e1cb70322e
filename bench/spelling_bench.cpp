// Spelling every note of a 100,000-note selection through the real engine,
// the way the pitch changer reads a selection: the note-entry browser walks
// the region cell by cell, and for every entry a cell supplies the key with
// which each note is spelled. Every spelling reloads the staff record, the
// part-scope and general preferences and the key from the engine.
// SpellScaling does the same for 10,000 to 1,000,000 notes and fits the
// growth of the time to a straight line (the BigO and RMS rows).
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdint>
#include <vector>

#include "host/engine/document.h"
#include "host/engine/engine.h"
#include "host/engine/pitch.h"
#include "tonaroframework/base/fciteratorhandler.h"
#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/data/fccell.h"
#include "tonaroframework/music/fcbrowsernoteentries.h"
#include "tonaroframework/music/fcmusicregion.h"
#include "tonaroframework/music/fcnote.h"
#include "tonaroframework/music/fcnoteentry.h"
#include "tonaropdk/bridge/hostbinding.h"

using tonaroengine::Document;
using tonaroengine::Engine;

namespace {

constexpr int kStaves = 10;
constexpr int kMeasures = 1250;
constexpr int kEntriesPerMeasure = 8;  // eighths in 4/4, one note each
constexpr int64_t kNotes = int64_t{kStaves} * kMeasures * kEntriesPerMeasure;
static_assert(kNotes == 100000);

// The measures that hold about notes notes over all staves.
int MeasuresFor(int64_t notes)
{
    return static_cast<int>(notes / (int64_t{kStaves} * kEntriesPerMeasure));
}

// Builds the score of the given length, unless it is the one built last, and
// selects all of it: staves numbered apart from their slots, two
// transposing staves, keys changing every 25 measures.
void BuildScore(int measures = kMeasures)
{
    static int builtMeasures = 0;
    if (builtMeasures == measures) return;
    builtMeasures = measures;
    InitializeGlobals();
    Engine::Instance().Reset();
    Document* doc = Engine::Instance().NewDocument();
    std::vector<int16_t> staves;
    for (int s = 0; s < kStaves; ++s) staves.push_back(doc->AddStaff(static_cast<int16_t>(90 - 7 * s)));
    doc->SetStaffTransposition(staves[2], 0x0042);  // B flat instrument
    doc->SetStaffTransposition(staves[5], 0x0101);  // horn in F
    doc->AddMeasures(measures);
    const uint16_t keys[] = {0x0000, 0x0002, 0x00FD, 0x0101, 0x00FA};
    for (int m = 1; m <= measures; m += 25) {
        doc->SetKeySignature(static_cast<int16_t>(m), keys[(m / 25) % 5], static_cast<int16_t>(m + 24));
    }
    const char* names[kEntriesPerMeasure] = {"C4", "D#4", "Eb4", "F4", "G#3", "Ab5", "Bb4", "C##5"};
    for (int16_t staff : staves) {
        for (int m = 1; m <= measures; ++m) {
            const uint16_t key = doc->KeySignature(static_cast<int16_t>(m));
            std::vector<EXENTRY> entries;
            for (int e = 0; e < kEntriesPerMeasure; ++e) {
                tonaroengine::NoteSpec spec;
                tonaroengine::NoteFromName(names[e], key, &spec);
                EXENTRY entry{};
                entry.duration = 512;
                entry.flags = EXENTRY_NOTE;
                entry.numNotes = 1;
                entry.notes[0].displacement = spec.displacement;
                entry.notes[0].raiselower = spec.raiselower;
                entry.notes[0].noteID = 1;
                entry.notes[0].flags = EXNOTE_INUSE;
                entries.push_back(entry);
            }
            doc->SetEntries(staff, static_cast<int16_t>(m), 0, entries);
        }
    }
    doc->SetSelection(Document::MakeRegion(1, 1, kStaves, measures));
}

// Spells every note of each entry it is handed, with the key of the entry's
// cell, as the pitch changer does.
class Speller : public FCIteratorHandler {
public:
    explicit Speller(bool written) : _written(written) {}
    bool Iterate(__FCBase* object) override
    {
        auto* entry = static_cast<FCNoteEntry*>(object);
        FCCell cell(entry->GetMeasure(), entry->GetStaff());
        FCKeySignature* key = cell.GetKeySignature();
        for (int i = 0; i < entry->GetCount(); ++i) {
            entry->GetItemAt(i)->GetString(&_name, key, false, _written);
            lengthSum += _name.GetLength();
            ++notes;
        }
        return true;
    }
    int64_t notes = 0;
    int64_t lengthSum = 0;

private:
    bool _written;
    FCString _name;
};

double PeakResidentMiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

// Spells the whole selection in every round; answers the notes spelled.
int64_t SpellAll(benchmark::State& state, bool written)
{
    int64_t notes = 0;
    for (auto _ : state) {
        FCMusicRegion region;
        if (!region.SetCurrentSelection()) {
            state.SkipWithError("no selection");
            break;
        }
        Speller speller(written);
        FCBrowserNoteEntries browser;
        browser.ForEachInRegion(&speller, &region);
        benchmark::DoNotOptimize(speller.lengthSum);
        notes = speller.notes;
    }
    state.counters["notes"] = static_cast<double>(notes);
    state.counters["peak_rss_MiB"] = PeakResidentMiB();
    state.SetItemsProcessed(state.iterations() * notes);
    return notes;
}

void SpellSelection(benchmark::State& state)
{
    BuildScore();
    if (SpellAll(state, state.range(0) != 0) != kNotes) state.SkipWithError("not every note was spelled");
}

// Argument: the number of notes; spelled in written pitch.
void SpellScaling(benchmark::State& state)
{
    const int measures = MeasuresFor(state.range(0));
    BuildScore(measures);
    const int64_t notes = SpellAll(state, true);
    if (notes != int64_t{measures} * kStaves * kEntriesPerMeasure) state.SkipWithError("not every note was spelled");
    state.SetComplexityN(notes);
}

}  // namespace

// Argument: 1 written pitch (the pitch changer's default), 0 sounding pitch.
BENCHMARK(SpellSelection)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(SpellScaling)
    ->RangeMultiplier(10)
    ->Range(10000, 1000000)
    ->Arg(30000)
    ->Arg(300000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
