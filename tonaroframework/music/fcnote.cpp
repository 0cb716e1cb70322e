#include "tonaroframework/music/fcnote.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <optional>

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaroframework/data/fccell.h"
#include "tonaroframework/data/fcclefdef.h"
#include "tonaroframework/data/fccurrentstaffspec.h"
#include "tonaroframework/data/fcentrymetrics.h"
#include "tonaroframework/data/fcgeneralprefs.h"
#include "tonaroframework/data/fckeysignature.h"
#include "tonaroframework/data/fcpartscopeprefs.h"
#include "tonaroframework/data/fcrecordcache.h"
#include "tonaroframework/music/fcnoteentry.h"
#include "tonaropdk/hostapi/fxfunctions.h"

namespace {

constexpr int LETTER_COUNT = 7;
// Step number of the octave that holds the tonic at displacement 0.
constexpr int TONIC_OCTAVE_STEPS = 28;
// Key IDs above this are neither major nor minor.
constexpr uint16_t LAST_STANDARD_KEY = 0x01FF;
// Octave numbers that a name may carry.
constexpr int LOWEST_OCTAVE = -5;
constexpr int HIGHEST_OCTAVE = 15;
// Hosts from this version report shown accidentals through entry metrics.
constexpr uint32_t FIRST_VERSION_WITH_METRICS = 0x12000000;
// Size of the buffer the host writes a MIDI key's name into.
constexpr int MIDI_NAME_BUFFER = 20;
// Notation style of a percussion staff.
constexpr int NOTATIONSTYLE_PERCUSSION = 1;

// The orders in which key signatures add sharps and flats, as letter
// indexes counted from A.
constexpr int ORDER_OF_SHARPS[LETTER_COUNT] = {5, 2, 6, 3, 0, 4, 1};  // F C G D A E B
constexpr int ORDER_OF_FLATS[LETTER_COUNT] = {1, 4, 0, 3, 6, 2, 5};   // B E A D G C F

int Mod7(int value)
{
    const int rest = value % LETTER_COUNT;
    return rest < 0 ? rest + LETTER_COUNT : rest;
}

// Step index (from C) of a letter index (from A).
int StepOfLetter(int letterIndex)
{
    return Mod7(letterIndex + 5);
}

// Floor division by 7 (toward minus infinity).
int FloorDiv7(int value)
{
    return value >= 0 ? value / LETTER_COUNT : -((-value + LETTER_COUNT - 1) / LETTER_COUNT);
}

// The letter index (from A) of a note of the given displacement under key,
// with the key's transposition as it stands.
int LetterIndexUnder(const FCKeySignature* key, int displacement)
{
    return Mod7(key->CalcScaleRootIndex() + displacement);
}

// The place of each letter (index from A) in an order of sharps or flats.
struct LetterPlaces {
    int of[LETTER_COUNT] = {};
};
constexpr LetterPlaces PlacesIn(const int (&order)[LETTER_COUNT])
{
    LetterPlaces places;
    for (int place = 0; place < LETTER_COUNT; ++place) places.of[order[place]] = place;
    return places;
}
constexpr LetterPlaces PLACE_IN_SHARPS = PlacesIn(ORDER_OF_SHARPS);
constexpr LetterPlaces PLACE_IN_FLATS = PlacesIn(ORDER_OF_FLATS);

// How often a walk over the first count places of an order, starting again
// after its seventh letter, meets the letter at place.
int TimesMet(int place, int count)
{
    return count > place ? (count - place - 1) / LETTER_COUNT + 1 : 0;
}

// Half steps that a key of k sharps (k >= 1) or f flats (k <= 0, f >= 1)
// gives a letter (index from A, 0 to 6): the order of sharps (flats) is
// walked for k (f) places, starting again after its seventh letter, so keys
// beyond seven sharps or flats give double sharps (flats).
int KeyShare(int letterIndex, int k, int f)
{
    if (k >= 1) return TimesMet(PLACE_IN_SHARPS.of[letterIndex], k);
    if (f >= 1) return -TimesMet(PLACE_IN_FLATS.of[letterIndex], f);
    return 0;
}

// What the staff record in force at an entry says about transposition.
struct StaffContext {
    bool loaded = false;
    bool transposes = false;
    int alteration = 0;  // sharps added to the key (negative: flats)
    int steps = 0;       // diatonic steps from sounding to written pitch
    int notationStyle = 0;
    bool independentKey = false;
    bool cMajorMIDI = false;
};

// Turns the staff record's interval into diatonic steps. The first encoding
// stores steps; the second counts its interval from 1 (2 is a second up, -2
// a second down), so it is moved one step toward 0.
int IntervalToSteps(const FCStaff& staff)
{
    const int interval = staff.GetTransposeInterval();
    if (!staff.IsSecondTranspositionEncoding()) return interval;
    if (interval > 0) return interval - 1;
    if (interval < 0) return interval + 1;
    return 0;
}

StaffContext LoadStaffContext(FCNoteEntry* entry)
{
    StaffContext context;
    if (entry == nullptr) return context;
    // During a walk the context of a place is worked out once, beside the
    // setup the walk keeps for it.
    const int16_t staff = entry->GetStaff();
    const int16_t measure = entry->GetMeasure();
    const int32_t position = entry->GetMeasurePos();
    if (FCRecordCache::FindStaffSpecSummary(staff, measure, position, &context, sizeof context)) return context;
    FCCurrentStaffSpec spec;
    // A record that cannot be loaded reads as a staff that is not transposed.
    context.loaded = spec.LoadForEntry(entry);
    context.transposes = spec.IsTransposed();
    if (context.transposes) {
        context.alteration = spec.GetTransposeAlteration();
        context.steps = IntervalToSteps(spec);
    }
    context.notationStyle = spec.GetNotationStyle();
    context.independentKey = spec.HasIndependentKey();
    context.cMajorMIDI = spec.HasCMajorMIDI();
    FCRecordCache::KeepStaffSpecSummary(staff, measure, position, &context, sizeof context);
    return context;
}

// Whether the document shows written pitch, asked for once per call.
bool WrittenPitchInForce(bool writtenPitch)
{
    if (!writtenPitch) return false;
    bool concert = false;
    if (!FCRecordCache::FindConcertPitch(&concert)) {
        FCPartScopePrefs prefs;
        prefs.Load(0);
        concert = prefs.GetDisplayConcertPitch();
        FCRecordCache::KeepConcertPitch(concert);
    }
    return !concert;
}

// The octave-numbering offset q of the document: names carry octave numbers
// q higher than the step arithmetic gives.
int OctaveNumberingOffset()
{
    int offset = 0;
    if (FCRecordCache::FindOctaveOffset(&offset)) return offset;
    FCGeneralPrefs prefs;
    offset = prefs.Load(1) ? prefs.CalcOctaveNumberingOffset() : 0;
    FCRecordCache::KeepOctaveOffset(offset);
    return offset;
}

// The key ID in force in the cell of entry (not null). During a walk the
// record cache answers it without a cell object being built.
uint16_t CellKeyID(const FCNoteEntry* entry)
{
    uint16_t id = 0;
    if (FCRecordCache::FindCellKey(entry->GetMeasure(), entry->GetStaff(), &id)) return id;
    FCCell cell(entry->GetMeasure(), entry->GetStaff());
    return cell.GetKeySignature()->GetID();
}

// The total alteration of a note with the given pitch data in a cell whose
// key is keyID (see FCNote::CalcPitchRaiseLower); staff is read only for
// written pitch.
int RaiseLowerInCell(uint16_t keyID, int displacement, int raiseLower, bool writtenPitch, const StaffContext& staff)
{
    FCKeySignature key(keyID);
    if (keyID > LAST_STANDARD_KEY) return 0;  // without transposition the ID is the key's own

    int k = key.CalcSharps();
    int f = 0;
    int letter = 0;
    if (!writtenPitch) {
        letter = LetterIndexUnder(&key, displacement);
        if (k == 0) f = key.CalcFlats();
    } else {
        if (k == 0) k = -key.CalcFlats();
        k += staff.alteration;
        if (staff.transposes) key.SetTransposition(static_cast<int16_t>(staff.alteration));
        letter = LetterIndexUnder(&key, displacement);
        if (k <= 0) f = -k;
    }
    return raiseLower + KeyShare(letter, k, f);
}

// The octave number of a note steps diatonic steps from the tonic of a key
// whose tonic has the letter index rootIndex (from A).
int16_t OctaveUnder(int rootIndex, int steps)
{
    const int tonicStep = StepOfLetter(rootIndex);
    return static_cast<int16_t>(FloorDiv7(TONIC_OCTAVE_STEPS + tonicStep + steps) + OctaveNumberingOffset());
}

// Sets a key's transposition for the length of one call and puts the old
// value back when it goes out of scope.
class TranspositionScope {
public:
    TranspositionScope(FCKeySignature* key, bool apply, int sharps) : _key(key), _old(key->GetTransposition())
    {
        if (apply) _key->SetTransposition(static_cast<int16_t>(sharps));
    }
    ~TranspositionScope() { _key->SetTransposition(_old); }
    TranspositionScope(const TranspositionScope&) = delete;
    TranspositionScope& operator=(const TranspositionScope&) = delete;

private:
    FCKeySignature* _key;
    int16_t _old;
};

}  // namespace

FCNote::FCNote(int index, EXNOTE* slot, FCNoteEntry* entry) : _index(index), _slot(slot), _entry(entry) {}

FCNote::~FCNote() = default;

void FCNote::SetTieStart(bool state)
{
    // Fields of the packed host record are changed in place, never through
    // a pointer to the field (it may be misaligned).
    _slot->flags = state ? (_slot->flags | EXNOTE_TIESTART) : (_slot->flags & ~EXNOTE_TIESTART);
}

void FCNote::SetAccidental(bool state)
{
    _slot->flags = state ? (_slot->flags | EXNOTE_ACCIDENTAL) : (_slot->flags & ~EXNOTE_ACCIDENTAL);
}

bool FCNote::_HasNoteEntry() const
{
    return _entry != nullptr && _entry->_GetEXENTRY() != nullptr && _entry->IsNote();
}

// ---- Letters and alteration ------------------------------------------------------

char FCNote::CalcPitchChar() const
{
    if (!_HasNoteEntry()) return 0;
    FCKeySignature key(CellKeyID(_entry));
    return static_cast<char>('A' + LetterIndexUnder(&key, GetDisplacement()));
}

char FCNote::CalcWrittenPitchChar() const
{
    if (!_HasNoteEntry()) return 0;
    FCKeySignature key(CellKeyID(_entry));
    const StaffContext staff = LoadStaffContext(_entry);
    if (staff.transposes) key.SetTransposition(static_cast<int16_t>(staff.alteration));
    return static_cast<char>('A' + LetterIndexUnder(&key, GetDisplacement()));
}

int FCNote::CalcPitchRaiseLower(bool writtenPitch) const
{
    if (!_HasNoteEntry()) return 0;
    const StaffContext staff = writtenPitch ? LoadStaffContext(_entry) : StaffContext{};
    return RaiseLowerInCell(CellKeyID(_entry), GetDisplacement(), GetRaiseLower(), writtenPitch, staff);
}

// ---- Octave and names ------------------------------------------------------------

int16_t FCNote::CalcOctave(FCKeySignature* key, int stepShift) const
{
    if (key == nullptr) return 0;
    return OctaveUnder(key->CalcScaleRootIndex(), GetDisplacement() + stepShift);
}

bool FCNote::CalcNameParts(FCKeySignature* key, bool writtenPitch, NameParts* parts) const
{
    if (parts == nullptr) return false;
    const bool written = WrittenPitchInForce(writtenPitch);

    const bool hasEntry = _HasNoteEntry();
    const uint16_t cellKeyID = hasEntry ? CellKeyID(_entry) : 0;
    std::optional<FCKeySignature> cellKey;
    if (key == nullptr) {
        if (!hasEntry) return false;
        key = &cellKey.emplace(cellKeyID);
    }

    const StaffContext staff = written ? LoadStaffContext(_entry) : StaffContext{};
    const int shift = staff.transposes ? staff.steps : 0;
    int writtenRoot = 0;
    {
        TranspositionScope scope(key, staff.transposes, staff.alteration);
        writtenRoot = key->CalcScaleRootIndex();
    }
    const int letterIndex = Mod7(writtenRoot + GetDisplacement());
    parts->letter = static_cast<char>('A' + letterIndex);

    // The alteration comes from the key of the note's cell, taken without the
    // staff's transposition. In sounding pitch under a key that reads as the
    // cell's own (the usual call), the letter just found is the one it needs.
    if (!hasEntry) {
        parts->alteration = 0;
    } else if (!written && key->GetIDWithTransposition() == cellKeyID && cellKeyID <= LAST_STANDARD_KEY) {
        const int sharps = key->CalcSharps();
        parts->alteration = GetRaiseLower() + KeyShare(letterIndex, sharps, sharps == 0 ? key->CalcFlats() : 0);
    } else {
        parts->alteration = RaiseLowerInCell(cellKeyID, GetDisplacement(), GetRaiseLower(), written, staff);
    }
    // The octave follows key as it stands (the scope has put its
    // transposition back), as CalcOctave does.
    const int plainRoot = staff.transposes ? key->CalcScaleRootIndex() : writtenRoot;
    parts->octave = OctaveUnder(plainRoot, GetDisplacement() + shift);
    return true;
}

void FCNote::GetString(FCString* text, FCKeySignature* key, bool useDoubleSharpX, bool writtenPitch) const
{
    if (text == nullptr) return;
    NameParts parts;
    if (!CalcNameParts(key, writtenPitch, &parts)) {
        text->Clear();
        return;
    }
    const auto letter = static_cast<unsigned short>(parts.letter);
    const int alteration = parts.alteration;

    // Every name but those of damaged records (dozens of accidentals) is put
    // together in one buffer and set at once.
    constexpr int kMostAccidentals = 8;
    if (alteration >= -kMostAccidentals && alteration <= kMostAccidentals) {
        unsigned short units[1 + kMostAccidentals + 8];
        int count = 0;
        units[count++] = letter;
        if (alteration == 2 && useDoubleSharpX) {
            units[count++] = 'x';
        } else {
            for (int i = 0; i < alteration; ++i) units[count++] = '#';
            for (int i = 0; i > alteration; --i) units[count++] = 'b';
        }
        char digits[8];
        const auto end = std::to_chars(digits, digits + sizeof digits, parts.octave).ptr;
        for (const char* digit = digits; digit < end; ++digit) units[count++] = static_cast<unsigned char>(*digit);
        text->SetUnicodeString(units, count);
        return;
    }
    text->Clear();
    text->AppendCharacter(letter);
    for (int i = 0; i < alteration; ++i) text->AppendCharacter('#');
    for (int i = 0; i > alteration; --i) text->AppendCharacter('b');
    text->AppendInteger(parts.octave);
}

bool FCNote::SetString(FCString* text, FCKeySignature* key, bool writtenPitch)
{
    if (text == nullptr || text->IsEmpty()) return false;
    const unsigned short first = text->GetItemAt(0);
    if (first < 'A' || first > 'G') return false;
    const int letter = first - 'A';

    // Accidentals from the second unit on.
    const int length = static_cast<int>(text->GetLength());
    int pos = 1;
    int64_t alteration = 0;
    const unsigned short mark = text->GetItemAt(1);
    if (mark == '#') {
        while (pos < length && text->GetItemAt(pos) == '#') {
            ++alteration;
            ++pos;
        }
    } else if (mark == 'b' || mark == 'B') {
        while (pos < length && (text->GetItemAt(pos) == 'b' || text->GetItemAt(pos) == 'B')) {
            --alteration;
            ++pos;
        }
    } else if (mark == 'x' || mark == 'X') {
        alteration = 2;
        ++pos;
    }
    const int octave = text->GetInteger(pos);
    if (octave < LOWEST_OCTAVE || octave > HIGHEST_OCTAVE) return false;

    // Without a key, the cell's key on every staff (percussion staves too):
    // the host reads the stored pitch data against it, and GetString spells
    // with it, so a name reads back as it was written.
    FCKeySignature cellKey;
    if (key == nullptr) {
        if (_entry == nullptr || _entry->_GetEXENTRY() == nullptr) return false;
        FCCurrentStaffSpec spec;
        if (!spec.LoadForEntry(_entry)) return false;
        cellKey.SetID(CellKeyID(_entry));
        key = &cellKey;
    }

    const bool written = WrittenPitchInForce(writtenPitch);
    const StaffContext staff = written ? LoadStaffContext(_entry) : StaffContext{};

    // What the key signature (as written, when written pitch applies) gives
    // the letter; the same walk that spelling uses, so names read back as
    // they are spelled.
    int share = 0;
    {
        TranspositionScope scope(key, staff.transposes, staff.alteration);
        if (key->GetIDWithTransposition() <= LAST_STANDARD_KEY) {
            const int sharps = key->CalcSharps();
            share = KeyShare(letter, sharps, sharps == 0 ? key->CalcFlats() : 0);
        }
    }

    const int tonicStep = StepOfLetter(key->CalcScaleRootIndex());
    const int64_t displacement = int64_t{7} * (octave - OctaveNumberingOffset()) + StepOfLetter(letter) -
                                 (TONIC_OCTAVE_STEPS + tonicStep) - (staff.transposes ? staff.steps : 0);
    const int64_t raiseLower = alteration - share;
    constexpr int64_t lowest = std::numeric_limits<int16_t>::min();
    constexpr int64_t highest = std::numeric_limits<int16_t>::max();
    if (displacement < lowest || displacement > highest || raiseLower < lowest || raiseLower > highest) return false;

    SetDisplacement(static_cast<int16_t>(displacement));
    SetRaiseLower(static_cast<int16_t>(raiseLower));
    return true;
}

// ---- MIDI ------------------------------------------------------------------------

uint16_t FCNote::_MIDIKeyID() const
{
    if (_entry == nullptr || _entry->_GetEXENTRY() == nullptr) return 0;
    if (LoadStaffContext(_entry).cMajorMIDI) return 0;
    return CellKeyID(_entry);
}

int16_t FCNote::CalcMIDIKey() const
{
    return FX_NoteToMidi(_slot, static_cast<int16_t>(_MIDIKeyID()), FXT_VERSION_2012);
}

bool FCNote::SetMIDIKey(int16_t midiKey)
{
    char buffer[MIDI_NAME_BUFFER] = {};
    if (FX_MidiNoteToString(midiKey, buffer, MIDI_NAME_BUFFER, 1, FXT_VERSION_2012) == 0) return false;
    buffer[MIDI_NAME_BUFFER - 1] = '\0';
    FCString name(buffer);
    // The name is read in the key that CalcMIDIKey reads the pitch data in
    // (C major under the C-major MIDI flag), so the note gives back the key.
    if (_entry == nullptr || _entry->_GetEXENTRY() == nullptr) return false;
    FCKeySignature key(_MIDIKeyID());
    return SetString(&name, &key, false);
}

// ---- Comparisons -----------------------------------------------------------------

bool FCNote::IsIdenticalPitch(FCNote* other) const
{
    if (other == nullptr) return false;
    const bool samePitchData =
        GetDisplacement() == other->GetDisplacement() && GetRaiseLower() == other->GetRaiseLower();
    if (_entry == nullptr || other->_entry == nullptr) return samePitchData;
    const FCKeySignature myKey(CellKeyID(_entry));
    const FCKeySignature theirKey(CellKeyID(other->_entry));
    if (myKey.IsIdentical(&theirKey)) return samePitchData;
    return CalcMIDIKey() == other->CalcMIDIKey();
}

bool FCNote::IsHigherPitchThan(const FCNote* other) const
{
    if (other == nullptr) return false;
    if (GetDisplacement() != other->GetDisplacement()) return GetDisplacement() > other->GetDisplacement();
    return GetRaiseLower() > other->GetRaiseLower();
}

bool FCNote::IsLowerPitchThan(const FCNote* other) const
{
    if (other == nullptr) return false;
    if (GetDisplacement() != other->GetDisplacement()) return GetDisplacement() < other->GetDisplacement();
    return GetRaiseLower() < other->GetRaiseLower();
}

// ---- Layout ----------------------------------------------------------------------

bool FCNote::CalcAccidental() const
{
    if (GetTonaroFrameworkVersion() < FIRST_VERSION_WITH_METRICS) return GetAccidental();
    if (_entry == nullptr || _entry->_GetEXENTRY() == nullptr) return false;
    FCEntryMetrics metrics;
    if (!metrics.LoadAt(_entry)) return false;
    const EDTNoteMetrics* noteMetrics = metrics.FindNoteMetrics(GetNoteID());
    return noteMetrics != nullptr && noteMetrics->accidentalShown != 0;
}

int FCNote::CalcStaffPosition() const
{
    if (_entry == nullptr || _entry->_GetEXENTRY() == nullptr) return 0;
    FCClefDef clef;
    const int middleC = clef.Load(_entry->_GetEXENTRY()->clef) ? clef.GetMiddleCPosition() : 0;
    const StaffContext staff = LoadStaffContext(_entry);
    // Percussion note types are not modelled: every percussion note is placed
    // by its displacement and the clef, like a note without a percussion
    // setting.
    if (staff.notationStyle == NOTATIONSTYLE_PERCUSSION) return GetDisplacement() + middleC;
    const FCKeySignature key(CellKeyID(_entry));
    const int tonic = key.CalcRootRelationAbsoluteIndex();
    return GetDisplacement() + middleC + staff.steps + tonic;
}

bool FCNote::CalcOnLedgerLine() const
{
    if (!_HasNoteEntry()) return false;
    if ((_entry->GetFlags2() & EXENTRY2_NOLEDGER) != 0) return false;
    const int position = CalcStaffPosition();
    if (position >= -8 && position <= 0) return false;
    return position % 2 == 0;
}

// ---- Flags of the owning entry ---------------------------------------------------

void FCNote::_SetEntryFlag(uint32_t mask, bool state)
{
    if (_entry == nullptr || _entry->_GetEXENTRY() == nullptr) return;
    EXENTRY* record = _entry->_GetEXENTRY();
    record->flags = state ? (record->flags | mask) : (record->flags & ~mask);
}

bool FCNote::_GetEntryFlag(uint32_t mask) const
{
    return (_entry != nullptr ? _entry->GetFlags() : 0u) & mask;
}

void FCNote::_SetNoteDetailEntryFlag(bool state)
{
    _SetEntryFlag(EXENTRY_NOTEDETAIL, state);
}

bool FCNote::_GetNoteDetailEntryFlag() const
{
    return _GetEntryFlag(EXENTRY_NOTEDETAIL);
}

void FCNote::_SetPerformanceDataEntryFlag(bool state)
{
    _SetEntryFlag(EXENTRY_PERFORMANCE, state);
}

bool FCNote::_GetPerformanceDataEntryFlag() const
{
    return _GetEntryFlag(EXENTRY_PERFORMANCE);
}

void FCNote::_SetSpecialAltsEntryFlag(bool state)
{
    _SetEntryFlag(EXENTRY_SPECIALALTS, state);
}

bool FCNote::_GetSpecialAltsEntryFlag() const
{
    return _GetEntryFlag(EXENTRY_SPECIALALTS);
}

void FCNote::_SetCrossStaffEntryFlag(bool state)
{
    _SetEntryFlag(EXENTRY_CROSSSTAFF, state);
}

bool FCNote::_GetCrossStaffEntryFlag() const
{
    return _GetEntryFlag(EXENTRY_CROSSSTAFF);
}

void FCNote::_SetArticulationEntryFlag(bool state)
{
    _SetEntryFlag(EXENTRY_ARTICULATION, state);
}

uint32_t FCNote::_GetEntryNumber() const
{
    return _entry != nullptr ? _entry->GetEntryNumber() : 0;
}
