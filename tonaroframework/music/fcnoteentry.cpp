#include "tonaroframework/music/fcnoteentry.h"

#include <cstring>

#include "tonaroframework/base/frameworkversion.h"
#include "tonaroframework/data/fcarticulations.h"
#include "tonaroframework/data/fcnoteheadmods.h"
#include "tonaroframework/data/fcperformancemods.h"
#include "tonaroframework/data/fctuplets.h"
#include "tonaroframework/music/fcnote.h"
#include "tonaropdk/hostapi/fxfunctions.h"

namespace {

// Hosts up to this version read the entry's check-accidentals mark.
constexpr uint32_t LAST_VERSION_WITH_CHECK_MARK = 0x11FFFFFF;

// The plain durations, longest first.
constexpr int32_t LONGEST_PLAIN_DURATION = 8192;

}  // namespace

FCNoteEntry::FCNoteEntry(EXENTRY* record, EXTGF2005a* frame, FCNoteEntry* previous)
    : FCNoteEntry(record, frame, previous,
                  frame != nullptr ? FX_SlotToInst(frame->slot, frame->instList, FXT_VERSION_2012) : int16_t{0})
{
}

FCNoteEntry::FCNoteEntry(EXENTRY* record, EXTGF2005a* frame, FCNoteEntry* previous, int16_t staff)
    : _record(record), _frame(frame), _previous(previous)
{
    if (frame != nullptr) {
        _measure = static_cast<int16_t>(frame->measure);
        _staff = staff;
    }
    _UpdateNoteCollection();
}

FCNoteEntry::~FCNoteEntry() = default;

void FCNoteEntry::_SetRecord(EXENTRY* record, EXTGF2005a* frame)
{
    _record = record;
    _frame = frame;
    _UpdateNoteCollection();
}

int FCNoteEntry::GetLayerNumber() const
{
    return _frame != nullptr ? _frame->layer + 1 : 0;
}

uint32_t FCNoteEntry::GetEntryNumber() const
{
    return _record != nullptr ? _record->entnum : 0;
}

int16_t FCNoteEntry::GetDuration() const
{
    return _record != nullptr ? _record->duration : 0;
}

void FCNoteEntry::SetDuration(int16_t duration)
{
    if (_record != nullptr) _record->duration = duration;
}

int32_t FCNoteEntry::GetMeasurePos() const
{
    return _record != nullptr ? _record->position : 0;
}

uint32_t FCNoteEntry::GetFlags() const
{
    return _record != nullptr ? _record->flags : 0;
}

uint16_t FCNoteEntry::GetFlags2() const
{
    return _record != nullptr ? _record->flags2 : 0;
}

bool FCNoteEntry::IsNote() const
{
    return (GetFlags() & EXENTRY_NOTE) != 0;
}

bool FCNoteEntry::IsRest() const
{
    return _record != nullptr && (_record->flags & EXENTRY_NOTE) == 0;
}

bool FCNoteEntry::IsGraceNote() const
{
    return (GetFlags() & EXENTRY_GRACE) != 0;
}

void FCNoteEntry::SetGraceNote(bool state)
{
    _SetFlag(EXENTRY_GRACE, state);
}

int FCNoteEntry::GetNoteCountInRecord() const
{
    return _record != nullptr ? _record->numNotes : 0;
}

void FCNoteEntry::_SetFlag(uint32_t mask, bool state)
{
    // Changed in place: a pointer to a field of the packed record may be
    // misaligned.
    if (_record != nullptr) _record->flags = state ? (_record->flags | mask) : (_record->flags & ~mask);
}

FCNote* FCNoteEntry::GetItemAt(int index) const
{
    return static_cast<FCNote*>(__FCCollection::GetItemAt(index));
}

// ---- Notes -------------------------------------------------------------------

void FCNoteEntry::_UpdateNoteCollection()
{
    ClearAll();
    if (_record == nullptr) return;
    int count = _record->numNotes;
    // A damaged count never reaches past the twelve slots.
    if (count > EXENTRY_MAXNOTES) count = EXENTRY_MAXNOTES;
    for (int i = 0; i < count; ++i) Add(new FCNote(i, &_record->notes[i], this));
}

void FCNoteEntry::_PackEXENTRYNotes()
{
    if (_record == nullptr) return;
    bool anyMarked = false;
    for (int i = 0; i < GetCount() && !anyMarked; ++i) {
        const FCNote* note = GetItemAt(i);
        anyMarked = note != nullptr && note->_IsMarkedForDeletion();
    }
    if (!anyMarked) return;
    EXNOTE kept[EXENTRY_MAXNOTES];
    int keptCount = 0;
    for (int i = 0; i < GetCount(); ++i) {
        FCNote* note = GetItemAt(i);
        if (note == nullptr || note->_IsMarkedForDeletion()) continue;
        if (keptCount < EXENTRY_MAXNOTES) std::memcpy(&kept[keptCount++], note->_GetNoteRecord(), sizeof(EXNOTE));
    }
    if (keptCount > 0) {
        // Slots past the new count keep their old bytes.
        std::memcpy(_record->notes, kept, sizeof(EXNOTE) * static_cast<size_t>(keptCount));
        _record->numNotes = static_cast<int16_t>(keptCount);
    } else {
        _record->flags &= ~EXENTRY_NOTE;
        _record->numNotes = 0;
    }
    _UpdateNoteCollection();
}

uint16_t FCNoteEntry::_FindUniqueNoteID() const
{
    for (uint32_t id = 1; id <= 0xFFFF; ++id) {
        bool used = false;
        for (int i = 0; i < GetCount() && !used; ++i) {
            const FCNote* note = GetItemAt(i);
            used = note != nullptr && note->GetNoteID() == id;
        }
        if (!used) return static_cast<uint16_t>(id);
    }
    return 0;  // unreachable with at most twelve notes
}

FCNote* FCNoteEntry::AddNewNote()
{
    if (_record == nullptr || !IsNote()) return nullptr;
    const int index = GetCount();
    if (index >= EXENTRY_MAXNOTES || _record->numNotes >= EXENTRY_MAXNOTES) return nullptr;
    const uint16_t id = _FindUniqueNoteID();
    EXNOTE* slot = &_record->notes[index];
    std::memset(slot, 0, sizeof(EXNOTE));
    slot->flags = EXNOTE_INUSE;
    slot->noteID = id;
    FCNote* note = new FCNote(index, slot, this);
    Add(note);
    _record->numNotes = static_cast<int16_t>(index + 1);
    return note;
}

bool FCNoteEntry::DeleteNote(FCNote* note)
{
    if (note == nullptr || GetIndexOf(note) < 0) return false;
    note->_SetMarkedForDeletion(true);
    bool anyLeft = false;
    for (int i = 0; i < GetCount() && !anyLeft; ++i) {
        const FCNote* other = GetItemAt(i);
        anyLeft = other != nullptr && !other->_IsMarkedForDeletion();
    }
    if (anyLeft) {
        _PackEXENTRYNotes();
    } else {
        MakeRest();
    }
    return true;
}

void FCNoteEntry::MakeRest()
{
    if (_record == nullptr) return;
    _record->numNotes = 0;
    _UpdateNoteCollection();
    _record->flags &= ~(EXENTRY_NOTE | EXENTRY_NOTEDETAIL | EXENTRY_ARTICULATION | EXENTRY_SPECIALALTS);
}

void FCNoteEntry::MakeNote()
{
    if (_record == nullptr) return;
    _record->flags |= EXENTRY_NOTE;
    if (GetCount() == 0) {
        std::memset(&_record->notes[0], 0, sizeof(EXNOTE));
        _record->notes[0].flags = EXNOTE_INUSE;
        _record->numNotes = 1;
        _UpdateNoteCollection();
    }
    // Pitch data and note ID of the first note start afresh.
    _record->notes[0].displacement = 0;
    _record->notes[0].raiselower = 0;
    _record->notes[0].noteID = 0;
}

void FCNoteEntry::ClearPitches()
{
    for (int i = 0; i < GetCount(); ++i) {
        FCNote* note = GetItemAt(i);
        if (note == nullptr) continue;
        note->SetDisplacement(0);
        note->SetRaiseLower(0);
    }
}

void FCNoteEntry::SetAccidentals(bool state)
{
    if (!IsNote()) return;
    for (int i = 0; i < GetCount(); ++i) {
        if (FCNote* note = GetItemAt(i)) note->SetAccidental(state);
    }
}

void FCNoteEntry::TieAll(bool state)
{
    if (!IsNote()) return;
    for (int i = 0; i < GetCount(); ++i) {
        if (FCNote* note = GetItemAt(i)) note->SetTieStart(state);
    }
}

void FCNoteEntry::SetCheckAccidentals(bool state)
{
    if (_record == nullptr || GetTonaroFrameworkVersion() > LAST_VERSION_WITH_CHECK_MARK) return;
    _record->flags2 = static_cast<uint16_t>(state ? (_record->flags2 | EXENTRY2_CHECKACCIS)
                                                  : (_record->flags2 & ~EXENTRY2_CHECKACCIS));
}

bool FCNoteEntry::GetCheckAccidentals() const
{
    if (_record == nullptr || GetTonaroFrameworkVersion() > LAST_VERSION_WITH_CHECK_MARK) return false;
    return (_record->flags2 & EXENTRY2_CHECKACCIS) != 0;
}

// ---- Durations -----------------------------------------------------------------

bool FCNoteEntry::IsDotted() const
{
    const int32_t duration = GetDuration();
    for (int32_t plain = LONGEST_PLAIN_DURATION; plain >= 4; plain /= 2) {
        if (duration == plain) return false;
    }
    return true;
}

int FCNoteEntry::CalcGraceNoteIndex() const
{
    if (!IsGraceNote()) return -1;
    int index = 0;
    for (const FCNoteEntry* entry = _previous; entry != nullptr && entry->IsGraceNote() &&
                                               entry->GetMeasure() == _measure;
         entry = entry->Previous()) {
        ++index;
    }
    return index;
}

int FCNoteEntry::_CalcTGFIndex() const
{
    if (_record == nullptr || _frame == nullptr || _frame->entries == nullptr || _frame->numEntries <= 0) {
        return -1;
    }
    // Compared as addresses: the record may not lie in the frame's array.
    const uintptr_t first = reinterpret_cast<uintptr_t>(_frame->entries);
    const uintptr_t mine = reinterpret_cast<uintptr_t>(_record);
    if (mine < first) return -1;
    const uintptr_t offset = mine - first;
    if (offset % sizeof(EXENTRY) != 0) return -1;
    const uintptr_t index = offset / sizeof(EXENTRY);
    if (index >= static_cast<uintptr_t>(_frame->numEntries)) return -1;
    return static_cast<int>(index);
}

int32_t FCNoteEntry::CalcNondottedDurationForDuration(int32_t duration)
{
    for (int32_t bit = LONGEST_PLAIN_DURATION; bit >= 1; bit /= 2) {
        if ((duration & bit) != 0) return bit;
    }
    return 0;
}

int FCNoteEntry::CalcDotsForDuration(int32_t duration)
{
    const int32_t highest = CalcNondottedDurationForDuration(duration);
    int dots = 0;
    for (int32_t bit = highest / 2; bit >= 1 && (duration & bit) != 0; bit /= 2) ++dots;
    return dots;
}

bool FCNoteEntry::IsValidDuration(int32_t duration)
{
    for (int32_t plain = LONGEST_PLAIN_DURATION; plain >= 1; plain /= 2) {
        for (int steps = 0; steps <= 4; ++steps) {
            const int32_t value = CalcValidDuration(plain, steps);
            if (value == 0) break;
            if (value == duration) return true;
        }
    }
    return false;
}

int32_t FCNoteEntry::CalcValidDuration(int32_t plainDuration, int steps)
{
    if (plainDuration < 1 || plainDuration > LONGEST_PLAIN_DURATION || steps < 0 || steps > 4) return 0;
    if ((plainDuration & (plainDuration - 1)) != 0) return 0;  // not a power of two
    int32_t value = plainDuration;
    for (int i = 0; i < steps; ++i) {
        if (value % 2 != 0) return 0;  // the next step would not be whole
        value = value / 2 * 3;
    }
    return value;
}

// ---- Details and clones ----------------------------------------------------------

FCArticulations* FCNoteEntry::CreateArticulations()
{
    auto* details = new FCArticulations();
    details->SetNoteEntry(this);
    details->LoadAll();
    return details;
}

FCNoteheadMods* FCNoteEntry::CreateNoteheadMods()
{
    auto* details = new FCNoteheadMods();
    details->SetNoteEntry(this);
    details->LoadAll();
    return details;
}

FCPerformanceMods* FCNoteEntry::CreatePerformanceMods()
{
    auto* details = new FCPerformanceMods();
    details->SetNoteEntry(this);
    details->LoadAll();
    return details;
}

FCTuplets* FCNoteEntry::CreateTuplets()
{
    auto* details = new FCTuplets();
    details->SetNoteEntry(this);
    details->LoadAll();
    return details;
}

FCNoteEntry* FCNoteEntry::CreateShallowClone() const
{
    return new FCNoteEntry(_record, _frame, nullptr);
}
