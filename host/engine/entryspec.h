// What a caller gives to build an entry through the engine's C++ interface.
#pragma once

#include <cstdint>
#include <vector>

namespace tonaroengine {

// One note of an entry, in the host's pitch data: displacement is the
// diatonic step from the key's tonic in octave 4, raiselower the half steps
// against what the key signature gives the letter (see pitch.h to make one
// from a name such as "F#4").
struct NoteSpec {
    int16_t displacement = 0;
    int16_t raiselower = 0;
    bool tieStart = false;
};

// One entry: a note or chord when notes is not empty, else a rest.
// duration is in duration units (quarter = 1024); 0 makes a null entry.
// extraFlags are ORed into the record's flag word (EXENTRY_GRACE, ...).
struct EntrySpec {
    int16_t duration = 1024;
    std::vector<NoteSpec> notes;
    uint32_t extraFlags = 0;
};

}  // namespace tonaroengine
