// What the command line reads from an open document: the spelled name of
// every note, the changes between two readings, staff descriptions, and the
// part names of a MusicXML file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pugi {
class xml_document;
}

namespace tonaroengine {
class Document;
}

namespace tonaroapp {

// One note of a document. name is its pitch name under the cell's key
// ("Bb4"): as stored (concert pitch), or as written on its staff.
struct ScoreNote {
    int slot = 0;          // staff position from the top, 1-based
    int measure = 0;       // 1-based
    int layer = 0;         // 0-3
    uint32_t entry = 0;    // entry number, the same before and after an edit
    int noteIndex = 0;     // index of the note in its entry
    std::string name;
};

struct NoteChange {
    int slot = 0;
    int measure = 0;
    std::string before;
    std::string after;
};

// Every note of document in slot, measure, layer and entry order. written:
// name each note as written on a transposing staff (in the staff's written
// key, moved by its interval) instead of in concert pitch; percussion
// staves and staves that do not transpose read the same either way. The
// document is only read; null gives an empty list.
std::vector<ScoreNote> CollectNotes(const tonaroengine::Document* document, bool written = false);

// The notes of after whose names differ from the same note (entry and note
// index) in before, in after's order.
std::vector<NoteChange> CompareNotes(const std::vector<ScoreNote>& before, const std::vector<ScoreNote>& after);

// The notes whose names the undo steps after the first firstStep ones
// changed (firstStep = UndoCount() taken before an edit), as CompareNotes
// of a reading before and one after the edit would give them, in the same
// order (written: names as CollectNotes gives them with written). Read from
// the edit's journal, so it costs as much as the edit, not the score. Names
// before and after are taken under the cells' keys and staves now (an edit
// of notes leaves keys and staves alone).
std::vector<NoteChange> ChangedNotes(const tonaroengine::Document* document, int firstStep, bool written = false);

// "none" or a text such as "written 1 step(s) up, key +2" for the staff's
// own transposition word.
std::string DescribeTransposition(const tonaroengine::Document* document, int16_t staff);

// The part name of every staff of a MusicXML file (.musicxml, .xml or
// .mxl), in slot order (a part with several staves gives its name to each).
// Empty when the file cannot be read; names missing in the file are "".
std::vector<std::string> StaffPartNames(const std::string& path);

// Parses a MusicXML file (.musicxml, .xml, or the score member of a .mxl
// archive) into *xml. False when it cannot be read or parsed.
bool LoadScoreXml(const std::string& path, pugi::xml_document* xml);

}  // namespace tonaroapp
