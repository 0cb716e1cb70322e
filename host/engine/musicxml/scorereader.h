// Maps a parsed score-partwise tree into an empty document: parts and their
// staves to staves in order, measures, keys, times, transpositions, clefs
// and notes (voices to layers per staff), and fills the source's note map.
// Internal to the engine.
#pragma once

#include <cstddef>
#include <string>

#include "host/engine/document.h"
#include "host/engine/musicxml/sourcescore.h"

namespace tonaroengine::musicxml {

// A mapping failure: what went wrong and where in the parsed text (offset
// -1 when it has no place).
struct ReadProblem {
    ptrdiff_t offset = -1;
    std::string message;
};

// Reads source.xml into document, which must be new and empty. On failure
// answers false with *problem filled; document is then partly built and is
// to be discarded by the caller.
bool ReadScore(Document& document, SourceScore& source, ReadProblem* problem);

}  // namespace tonaroengine::musicxml
