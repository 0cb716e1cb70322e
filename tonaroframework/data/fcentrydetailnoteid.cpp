#include "tonaroframework/data/fcentrydetailnoteid.h"

#include <vector>

#include "tonaroframework/music/fcnote.h"
#include "tonaroframework/music/fcnoteentry.h"
#include "tonaropdk/hostapi/fxfunctions.h"

namespace {
constexpr uint16_t kHostAssigns = 0xFFFF;

EDataAddress EntryAddress(uint32_t entnum, uint16_t inci)
{
    return EDataAddress{{static_cast<uint16_t>(entnum & 0xFFFFu), static_cast<uint16_t>(entnum >> 16), inci, 0}};
}
}  // namespace

bool __FCEntryDetailNoteID::SaveNew()
{
    if (!__FCEntryDetail::SaveNew()) return false;
    FCNoteEntry* entry = GetNoteEntry();
    if (entry && entry->IsNote()) {
        for (int i = 0; i < entry->GetCount(); ++i) {
            if (FCNote* note = entry->GetItemAt(i)) _SetEntryFlagN(note, true);
        }
    }
    return true;
}

void __FCEntryDetailNoteID::_SetEntryFlagN(FCNote* note, bool state)
{
    if (!note) return;
    _SetEntryFlagBits(note->GetEntry(), EXENTRY_NOTEDETAIL, state);
}

bool __FCEntryDetailNoteID::_GetEntryFlagN(FCNote* note) const
{
    if (!note || !note->GetEntry()) return false;
    const EXENTRY* record = note->GetEntry()->_GetEXENTRY();
    return record && (record->flags & EXENTRY_NOTEDETAIL) != 0;
}

int __FCEntryDetailNoteID::_ScanForNoteID(FCNoteEntry* entry, uint16_t noteID) const
{
    if (!entry) return -1;
    const uint32_t entnum = entry->GetEntryNumber();
    if (entnum == 0) return -1;
    std::vector<uint8_t> scratch(DataSizeLoad());
    if (scratch.empty()) return -1;
    for (int inci = 0; inci <= INT16_MAX; ++inci) {
        EDataAddress address = EntryAddress(entnum, static_cast<uint16_t>(inci));
        uint32_t size = static_cast<uint32_t>(scratch.size());
        std::fill(scratch.begin(), scratch.end(), 0);
        if (FX_LoadEData(Tag(), &address, scratch.data(), &size, VeltraVersion()) == 0) break;
        if (_IsNoteIDMatch(scratch.data(), noteID)) return inci;
    }
    return -1;
}

bool __FCEntryDetailNoteID::LoadAt(FCNote* note)
{
    if (!note || !note->GetEntry() || !_GetEntryFlagN(note)) return false;
    FCNoteEntry* entry = note->GetEntry();
    const int inci = _ScanForNoteID(entry, note->GetNoteID());
    if (inci < 0) return false;
    SetNoteEntry(entry);
    return Load(entry->GetEntryNumber(), static_cast<int16_t>(inci));
}

bool __FCEntryDetailNoteID::SaveAt(FCNote* note)
{
    if (!note || !note->GetEntry()) return false;
    FCNoteEntry* entry = note->GetEntry();
    const uint32_t entnum = entry->GetEntryNumber();
    if (entnum == 0) return false;
    int inci = _ScanForNoteID(entry, note->GetNoteID());
    SetNoteID(note->GetNoteID());
    if (!_GetDataBlock()) _UseAllocatedBlock();
    const uint32_t size = DataSizeSave();
    if (!_GetDataBlock() || size == 0) return false;

    if (inci < 0) {
        EDataAddress address = EntryAddress(entnum, kHostAssigns);
        if (FX_CreateEData(Tag(), &address, _GetDataBlock(), size, VeltraVersion()) == 0) return false;
        inci = _ScanForNoteID(entry, note->GetNoteID());
        if (inci < 0 && address.words[2] != kHostAssigns) inci = address.words[2];
        if (inci < 0) return false;
    } else {
        EDataAddress address = EntryAddress(entnum, static_cast<uint16_t>(inci));
        if (FX_SaveEData(Tag(), &address, _GetDataBlock(), size, VeltraVersion()) == 0) return false;
    }
    SetNoteEntry(entry);
    _SetEntryAddress(entnum, static_cast<int16_t>(inci));
    _SetLoadedSize(size);
    _SetEntryFlagN(note, true);
    return true;
}
