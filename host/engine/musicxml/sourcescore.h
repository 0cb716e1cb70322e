// What the engine keeps of a MusicXML file beside the document opened from
// it: the XML tree (the source of truth for everything the engine does not
// model), and a map from every pitched or unpitched note of the file to the
// host entry and note that stand for it, with the pitch the note had when
// the tree was last in step with the document.
//
// Owned by the registry of musicxmlio.cpp; lives until the document's
// source is released. Internal to the engine.
#pragma once

#include <pugixml.hpp>

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/engine/musicxml/xmlpitch.h"

namespace tonaroengine::musicxml {

// What the key signature in force gives each step (C..B), in half steps, as
// the file shows it (written key on transposing staves).
struct KeyContext {
    std::array<double, 7> alter{};
    bool operator==(const KeyContext&) const = default;
};

enum MappedNoteFlags : uint8_t {
    kNoteRewritable = 0x01,  // whole half-step pitch: may be rewritten
    kNoteUnpitched = 0x02,   // <unpitched>: never rewritten
    kNoteMicrotone = 0x04,   // alteration not a whole number of half steps
};

// One <note> of the file with a pitch (or an unpitched display position).
struct MappedNote {
    pugi::xml_node_struct* node = nullptr;  // the <note> element
    uint32_t entnum = 0;                    // host entry holding the note
    uint16_t noteID = 0;                    // note's ID within that entry
    int16_t staff = 0;                      // host staff number
    int32_t position = 0;                   // duration units from the measure's start
    int16_t fileAbsStep = 0;                // pitch as the file writes it
    float fileAlter = 0;
    int16_t soundingAbsStep = 0;            // sounding pitch (whole half steps)
    int16_t soundingAlter = 0;
    uint16_t keyContext = 0;                // index into SourceScore::keys
    uint16_t transposition = 0;             // index into SourceScore::transpositions
    uint8_t flags = 0;
};

// The notes of one <measure> of one <part>, in file order.
struct MeasureLine {
    size_t begin = 0;
    size_t end = 0;
    pugi::xml_node_struct* measure = nullptr;
    int16_t hostMeasure = 0;
};

struct SourceScore {
    std::string path;                 // the file opened
    uint64_t token = 0;               // ties the source to its document
    pugi::xml_document xml;
    pugi::xml_encoding encoding = pugi::encoding_utf8;
    bool byteOrderMark = false;
    bool concertScore = false;        // pitches in the file are sounding pitches
    // Text outside the root element that the tree does not keep: the
    // whitespace before each node that precedes the root (the last entry
    // stands before the root) and the whitespace that ends the file.
    // Empty for files in other encodings than UTF-8 and Latin-1.
    std::vector<std::string> prologSpacing;
    std::string trailingSpacing;

    // Compressed files: the archive as read (or as last saved) and the
    // member holding the score.
    bool archive = false;
    std::vector<uint8_t> archiveBytes;
    std::string rootMember;

    // The text the tree was parsed from (a UTF-8 file, or an archive's score
    // member in UTF-8), byte for byte; empty for other encodings. While it
    // is kept, the tree holds no whitespace-only text and is never edited:
    // saving copies this text and writes anew only the notes in edited,
    // from their editable copies in edits (splicewriter.h). Without it, the
    // tree keeps every byte of spacing and is edited and printed whole.
    std::string originalText;
    struct EditedNote {
        size_t start = 0;                          // the note's text in originalText
        size_t end = 0;
        pugi::xml_node_struct* copy = nullptr;     // its editable copy in edits; null: none yet
        std::string pristine;                      // the copy's print before any edit
        bool dropPositions = false;                // written without default-x and relative-x
    };
    std::unordered_map<pugi::xml_node_struct*, EditedNote> edited;  // keyed by the note in xml
    pugi::xml_document edits;

    std::vector<MappedNote> notes;
    std::vector<MeasureLine> lines;
    // <note> elements (rests too) with a fixed horizontal position
    // (default-x or relative-x) and the host measure they stand in, in file
    // order; the measures of the longest part.
    std::vector<std::pair<int16_t, pugi::xml_node_struct*>> positionedNotes;
    int fileMeasures = 0;
    std::vector<KeyContext> keys;
    std::vector<Transposition> transpositions;
};

}  // namespace tonaroengine::musicxml
