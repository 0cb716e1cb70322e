// Fuzz target: pitch names. The input's first byte picks a note of a small
// score (plain, transposing and key-signature cells), a direction and an
// octave; the rest is the name as typed.
// - The dialog's name check: a name it accepts has the accepted shape, is
//   accepted again unchanged, and, with "x" made "##", goes through a rule
//   and its settings pairs unchanged. With an octave it must be accepted by
//   FCNote::SetString and read back by GetString as written.
// - FCNote::SetString on a real note with the raw text: false leaves the
//   note as it was; true gives a note whose name (GetString) reads back to
//   the same pitch data.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzzsupport.h"
#include "host/engine/document.h"
#include "host/engine/engine.h"
#include "host/engine/pitch.h"
#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaroframework/music/fcnote.h"
#include "tonaroframework/music/fcnoteentry.h"
#include "tonaroframework/music/fcnoteentrycell.h"
#include "tonaroframework/stream/fcsettingspairs.h"
#include "tonaropdk/bridge/hostbinding.h"
#include "zpchangepitches/dialog/fcchangepitcheswindow.h"
#include "zpchangepitches/model/fcpitchchangenodes.h"

namespace {

using tonaroengine::Document;
using tonaroengine::Engine;

constexpr int16_t kStaves[] = {1, 2, 3};    // plain, B-flat (first encoding), F (second encoding)
constexpr int kMeasures = 4;                // keys: C, 2 flats, 4 sharps, 7 flats
constexpr uint16_t kKeys[kMeasures] = {0x0000, 0x00FE, 0x0004, 0x00F9};

// One note in every cell, two in the last measure (a chord).
Document* BuildScore()
{
    InitializeGlobals();
    SetTonaroFrameworkVersion(0x12000000);
    Engine::Instance().Reset();
    Document* document = Engine::Instance().NewDocument();
    if (document == nullptr) return nullptr;
    for (int16_t staff : kStaves) document->AddStaff(staff);
    document->SetStaffTransposition(2, 0x0042);
    document->SetStaffTransposition(3, 0x2104);
    document->AddMeasures(kMeasures);
    for (int measure = 1; measure <= kMeasures; ++measure) {
        const auto m = static_cast<int16_t>(measure);
        document->SetKeySignature(m, kKeys[measure - 1], m);
        for (int16_t staff : kStaves) {
            tonaroengine::EntrySpec entry;
            for (const char* name : {"E4", "G#5"}) {
                tonaroengine::NoteSpec note;
                if (tonaroengine::NoteFromName(name, kKeys[measure - 1], &note)) entry.notes.push_back(note);
                if (measure != kMeasures) break;
            }
            document->AddEntry(staff, m, 0, entry);
        }
    }
    return document;
}

std::string Text(const FCString& text)
{
    return text.GetCString();
}

// The dialog's check and what the model does with an accepted name.
void CheckNameValidation(const FCString& typed, int direction)
{
    FCString name;
    name.SetString(&typed);
    if (!FCChangePitchesWindow::ValidateInputString(&name)) return;

    const std::string accepted = Text(name);
    TONARO_FUZZ_CHECK(!accepted.empty() && accepted.size() <= 5 && !tonarofuzz::HasZeroUnit(name),
                      "an accepted name has a bad length");
    TONARO_FUZZ_CHECK(accepted[0] >= 'A' && accepted[0] <= 'G', "an accepted name does not start with A-G");
    const std::string rest = accepted.substr(1);
    const bool sharps = rest.find_first_not_of('#') == std::string::npos;
    const bool flats = rest.find_first_not_of('b') == std::string::npos;
    TONARO_FUZZ_CHECK(sharps || flats || rest == "x", "an accepted name has other accidentals");

    FCString again;
    again.SetString(&name);
    TONARO_FUZZ_CHECK(FCChangePitchesWindow::ValidateInputString(&again) && again.IsEqualString(&name),
                      "an accepted name is not accepted again as it stands");

    FCChangePitchesWindow::ReplaceDoubleSharp(&name);
    TONARO_FUZZ_CHECK(Text(name).find('x') == std::string::npos, "a double sharp x survived");

    // A rule made of it survives its settings pairs.
    FCPitchChangeNodes rules;
    auto* rule = new FCPitchChangeNode(&name, &typed, direction);
    rule->inUse = (direction & 1) != 0;
    rules.Add(rule);
    FCSettingsPairs pairs;
    rules.StoreNodePairs(&pairs, 3);
    FCPitchChangeNodes readBack;
    readBack.BuildFromNodePairs(&pairs, 3);
    TONARO_FUZZ_CHECK(readBack.GetCount() == 1, "a stored rule does not read back");
    const FCPitchChangeNode* back = readBack.GetItemAt(0);
    TONARO_FUZZ_CHECK(back->From.IsEqualString(&name), "a rule's From changed through its pairs");
    TONARO_FUZZ_CHECK(back->direction == rule->direction && back->inUse == rule->inUse,
                      "a rule's direction or in-use flag changed through its pairs");
    TONARO_FUZZ_CHECK(rules.FindPitchPair(&name, &typed, rule->direction) == rule, "a rule is not found by its names");
}

// The note's name as GetString writes it (double sharps as "##").
std::string Spelled(const FCNote* note, bool writtenPitch)
{
    FCString text;
    note->GetString(&text, nullptr, false, writtenPitch);
    return Text(text);
}

void CheckNoteName(FCNote* note, FCString* typed, bool writtenPitch)
{
    const int16_t displacement = note->GetDisplacement();
    const int16_t raiseLower = note->GetRaiseLower();
    if (!note->SetString(typed, nullptr, writtenPitch)) {
        TONARO_FUZZ_CHECK(note->GetDisplacement() == displacement && note->GetRaiseLower() == raiseLower,
                          "a refused name changed the note");
        return;
    }
    const int16_t setDisplacement = note->GetDisplacement();
    const int16_t setRaiseLower = note->GetRaiseLower();
    FCString name(Spelled(note, writtenPitch).c_str());
    TONARO_FUZZ_CHECK(!name.IsEmpty(), "a note set from a name has no name");
    TONARO_FUZZ_CHECK(note->SetString(&name, nullptr, writtenPitch), "a note's own name is refused");
    TONARO_FUZZ_CHECK(note->GetDisplacement() == setDisplacement && note->GetRaiseLower() == setRaiseLower,
                      "a note's own name reads back as another pitch");
}

// A name the dialog accepts, with an octave, sets the note and reads back
// exactly (at most a double sharp or double flat; more is refused or kept).
void CheckAcceptedNameOnNote(FCNote* note, const FCString& typed, int octave, bool writtenPitch)
{
    FCString name;
    name.SetString(&typed);
    if (!FCChangePitchesWindow::ValidateInputString(&name)) return;
    FCChangePitchesWindow::ReplaceDoubleSharp(&name);
    if (name.GetLength() > 3) return;
    const std::string full = Text(name) + std::to_string(octave);
    FCString withOctave(full.c_str());
    TONARO_FUZZ_CHECK(note->SetString(&withOctave, nullptr, writtenPitch), "an accepted name with an octave is refused");
    TONARO_FUZZ_CHECK(Spelled(note, writtenPitch) == full, "an accepted name reads back spelled otherwise");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Document* document = BuildScore();
    if (document == nullptr || size < 1) return 0;

    // Control byte: bits 0-1 staff, 2-3 measure, 4 written pitch, 5-7 octave
    // (and direction).
    const uint8_t control = data[0];
    const int16_t staff = kStaves[(control & 3) % 3];
    const int measure = 1 + ((control >> 2) & 3);
    const bool writtenPitch = (control & 0x10) != 0;
    const int octave = (control >> 5) & 7;  // 0-7
    const int direction = static_cast<int>(control >> 5) - 2;  // -2..5, clamped by the rule

    FCString typed;
    tonarofuzz::SetBytes(&typed, data + 1, size - 1);
    CheckNameValidation(typed, direction);

    {
        FCNoteEntryCell cell(measure, staff);
        if (cell.Load() && cell.GetCount() > 0) {
            auto* entry = static_cast<FCNoteEntry*>(cell.GetItemAt(0));
            const int notes = entry->GetCount();
            FCNote* note = entry->GetItemAt(notes - 1);
            TONARO_FUZZ_CHECK(note != nullptr, "a loaded entry has no note");
            CheckNoteName(note, &typed, writtenPitch);
            CheckAcceptedNameOnNote(note, typed, octave, writtenPitch);
        }
        // The cell goes unsaved: the score stays as built for the next input.
    }
    TONARO_FUZZ_CHECK(Engine::Instance().LoadedFrameCount() == 0, "an entry frame was not freed");
    return 0;
}
