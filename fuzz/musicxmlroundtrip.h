// The round trip that the MusicXML fuzz targets run on every input: the
// bytes become a file, the engine opens it, and an opened document is saved
// to a second file, which must open again as the same score.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzzsupport.h"
#include "host/engine/document.h"
#include "host/engine/engine.h"
#include "host/engine/musicxml/musicxmlio.h"

namespace tonarofuzz {

// Limits far below the defaults, so that no input makes a run slow or large
// through sheer size; an open refused by them is an ordinary failure.
inline tonaroengine::MusicXmlLimits FuzzLimits()
{
    tonaroengine::MusicXmlLimits limits;
    limits.maxFileBytes = 1u << 20;
    limits.maxMemberBytes = 4u << 20;
    limits.maxInflatedBytes = 8u << 20;
    limits.maxArchiveMembers = 64;
    return limits;
}

// What is compared between a document and its saved copy.
struct ScoreShape {
    int staves = 0;
    int measures = 0;
    size_t entries = 0;
    bool operator==(const ScoreShape&) const = default;
};

inline ScoreShape ShapeOf(const tonaroengine::Document* document)
{
    return {document->StaffCount(), document->MeasureCount(), document->EntryCount()};
}

// Moves every note of a document one step up, as an edit would: the save
// after it writes those notes anew into the file's text.
inline void RaiseEveryNote(tonaroengine::Document* document)
{
    for (int slot = 1; slot <= document->StaffCount(); ++slot) {
        const int16_t staff = document->StaffAtSlot(slot);
        for (int m = 1; m <= document->MeasureCount(); ++m) {
            for (int layer = 0; layer < 4; ++layer) {
                auto entries = document->Entries(staff, static_cast<int16_t>(m), layer);
                bool any = false;
                for (EXENTRY& entry : entries) {
                    if (!(entry.flags & EXENTRY_NOTE)) continue;
                    for (int n = 0; n < entry.numNotes && n < EXENTRY_MAXNOTES; ++n) {
                        if (entry.notes[n].displacement >= 60) continue;  // stays within octave 15
                        entry.notes[n].displacement = static_cast<int16_t>(entry.notes[n].displacement + 1);
                        any = true;
                    }
                }
                if (any) document->SetEntries(staff, static_cast<int16_t>(m), layer, entries);
            }
        }
    }
}

// Runs one input with files named "input<extension>", "saved<extension>"
// and "changed<extension>" in the scratch folder: the score saved as opened
// and again with every note moved. Every document is closed before returning.
inline void RunMusicXmlRoundTrip(const uint8_t* data, size_t size, const std::string& extension)
{
    using namespace tonaroengine;
    Engine& engine = Engine::Instance();
    engine.Reset();
    if (ScratchFolder::Path().empty()) return;

    const std::string input = ScratchFolder::File("input" + extension);
    const std::string saved = ScratchFolder::File("saved" + extension);
    if (!WriteBytes(input, data, size)) return;

    MusicXmlError error;
    Document* opened = OpenMusicXml(input, &error, FuzzLimits());
    if (opened == nullptr) {
        TONARO_FUZZ_CHECK(engine.DocumentNumbers().empty(), "a failed open left a document behind");
        TONARO_FUZZ_CHECK(!error.message.empty(), "a failed open gave no reason");
        return;
    }
    const ScoreShape shape = ShapeOf(opened);

    MusicXmlError saveError;
    const bool wasSaved = SaveMusicXml(opened, saved, &saveError);
    if (!wasSaved) std::fprintf(stderr, "save: %s\n", saveError.Text().c_str());
    TONARO_FUZZ_CHECK(wasSaved, "an opened score could not be saved");

    MusicXmlError reopenError;
    Document* reopened = OpenMusicXml(saved, &reopenError, FuzzLimits());
    if (reopened == nullptr) std::fprintf(stderr, "reopen: %s\n", reopenError.Text().c_str());
    TONARO_FUZZ_CHECK(reopened != nullptr, "a saved score does not open again");
    TONARO_FUZZ_CHECK(ShapeOf(reopened) == shape, "a saved score opens with other staves, measures or entries");

    const std::string changed = ScratchFolder::File("changed" + extension);
    RaiseEveryNote(opened);
    MusicXmlError changeError;
    const bool wasChanged = SaveMusicXml(opened, changed, &changeError);
    if (!wasChanged) std::fprintf(stderr, "save after a change: %s\n", changeError.Text().c_str());
    TONARO_FUZZ_CHECK(wasChanged, "a changed score could not be saved");
    Document* again = OpenMusicXml(changed, &reopenError, FuzzLimits());
    if (again == nullptr) std::fprintf(stderr, "reopen after a change: %s\n", reopenError.Text().c_str());
    TONARO_FUZZ_CHECK(again != nullptr, "a changed and saved score does not open again");
    TONARO_FUZZ_CHECK(ShapeOf(again) == shape, "a changed and saved score opens with other staves, measures or entries");

    ReleaseMusicXmlSource(opened);
    ReleaseMusicXmlSource(reopened);
    ReleaseMusicXmlSource(again);
    engine.Reset();
}

}  // namespace tonarofuzz
