// Brings a source tree in step with its document before a save: rewrites
// the <pitch> of every note whose pitch changed in the document, puts the
// accidentals of the changed lines (one measure of one staff) right, and
// drops the fixed horizontal positions of notes in respaced measures.
// Internal to the engine.
#pragma once

#include <cstddef>
#include <vector>

#include "host/engine/document.h"
#include "host/engine/musicxml/sourcescore.h"

namespace tonaroengine::musicxml {

// A note's pitch after the patch, to become its baseline once the file is
// written.
struct BaselineUpdate {
    size_t note = 0;
    AbsPitch sounding;
    AbsPitch file;
};

struct PatchOutcome {
    std::vector<BaselineUpdate> updates;
    size_t leftAsTheyWere = 0;
    size_t respacedMeasures = 0;
};

// Patches source.xml from document. Running it again with the same document
// and baselines gives the same tree, so a save that fails after the patch
// can simply be tried again.
PatchOutcome PatchScore(const Document& document, SourceScore& source);

// Makes the patched pitches the notes' baselines (after a successful write).
void CommitBaselines(SourceScore& source, const PatchOutcome& outcome);

// The <accidental> value for a whole number of half steps ("sharp",
// "flat-flat", ...); null beyond three.
const char* AccidentalValue(int alter);

}  // namespace tonaroengine::musicxml
