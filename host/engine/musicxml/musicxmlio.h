// MusicXML in the engine: opening a .musicxml, .xml or compressed .mxl file
// into a new document, and saving a document back as MusicXML.
//
// A document opened from a file keeps the file's XML tree alive beside it,
// and saving patches that tree: a file saved without edits is equal to its
// input as XML, and a changed one differs only in the pitches of changed
// notes, the accidentals those changes make right or wrong in their measure
// and staff, and the fixed horizontal positions of notes in respaced
// measures. A document built through the C++ interface is written as
// MusicXML 4.0.
//
// Neither call throws. Failures answer null/false, fill *error (when not
// null) and leave the engine's documents and every file as they were.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "host/engine/document.h"
#include "host/engine/engineexport.h"

namespace tonaroengine {

// Why an open or save failed. line and column (1-based) are 0 when the
// problem has no place in a file.
struct TONARO_ENGINE_API MusicXmlError {
    std::string file;
    int line = 0;
    int column = 0;
    std::string message;

    // "file:line:column: message" (without the parts that are unknown).
    std::string Text() const;
};

// Limits on what an open reads; larger input is refused.
struct MusicXmlLimits {
    uint64_t maxFileBytes = 512ull << 20;      // the file on disk (.xml or .mxl)
    uint64_t maxMemberBytes = 512ull << 20;    // one inflated archive member
    uint64_t maxInflatedBytes = 1024ull << 20; // all members of an archive together
    uint32_t maxArchiveMembers = 4096;
};

struct MusicXmlSaveOptions {
    // The file a document was opened from is written over only when asked.
    bool overwriteInput = false;
};

// What a save did.
struct MusicXmlSaveReport {
    size_t changedNotes = 0;     // notes whose <pitch> was rewritten
    // Notes changed in the document that the file cannot take: microtonal
    // alterations (never rewritten), unpitched notes, notes whose entry is
    // gone. Their XML stays as it was.
    size_t notesLeftAsTheyWere = 0;
    size_t respacedMeasures = 0; // measures whose notes lost default-x/relative-x
};

// Opens a MusicXML file into a new document, which becomes the current one
// and is owned by the engine (Engine::CloseDocument). Null on failure.
TONARO_ENGINE_API Document* OpenMusicXml(const std::string& path, MusicXmlError* error,
                                         const MusicXmlLimits& limits = MusicXmlLimits());

// Writes document as MusicXML to path, atomically: a file ending in ".mxl"
// becomes a compressed archive (keeping the other members of an archive the
// document came from), anything else plain XML. False on failure.
TONARO_ENGINE_API bool SaveMusicXml(Document* document, const std::string& path, MusicXmlError* error,
                                    const MusicXmlSaveOptions& options = MusicXmlSaveOptions(),
                                    MusicXmlSaveReport* report = nullptr);

// Whether document was opened from a MusicXML file (whose tree it keeps).
TONARO_ENGINE_API bool HasMusicXmlSource(const Document* document);
// The path it was opened from; empty when none.
TONARO_ENGINE_API std::string MusicXmlSourcePath(const Document* document);
// Frees the kept tree; later saves write the document afresh. Call before
// closing a document to free the memory at once (it is otherwise freed at
// the next open or save, or at exit).
TONARO_ENGINE_API void ReleaseMusicXmlSource(const Document* document);

}  // namespace tonaroengine
