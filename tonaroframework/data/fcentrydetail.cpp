#include "tonaroframework/data/fcentrydetail.h"

#include <memory>

#include "tonaroframework/music/fcnoteentry.h"
#include "tonaropdk/hostapi/fxfunctions.h"

namespace {
constexpr uint16_t kHostAssigns = 0xFFFF;
}

bool __FCEntryDetail::LoadFirst()
{
    if (!_entry) return false;
    const uint32_t entnum = _entry->GetEntryNumber();
    if (entnum == 0) return false;
    return Load(entnum, 0);
}

bool __FCEntryDetail::LoadNext()
{
    const int16_t previous = GetItemInci();
    if (previous < 0 || previous == INT16_MAX) return false;
    _SetItemInci(static_cast<int16_t>(previous + 1));
    if (LoadDataBlock()) return true;
    _SetItemInci(previous);
    return false;
}

bool __FCEntryDetail::Load(uint32_t entnum, int16_t inci)
{
    _SetEntryAddress(entnum, inci);
    return LoadDataBlock();
}

void __FCEntryDetail::SetNoteEntry(FCNoteEntry* entry)
{
    _entry = entry;
    _SetAddressLong(0, entry ? entry->GetEntryNumber() : 0);
}

bool __FCEntryDetail::SaveNew()
{
    if (!_entry) return false;
    const uint32_t entnum = _entry->GetEntryNumber();
    // An entry the host has not stored yet has no number to attach to.
    if (entnum == 0) return false;
    if (!_GetDataBlock()) _UseAllocatedBlock();
    const uint32_t size = DataSizeSave();
    if (!_GetDataBlock() || size == 0) return false;

    EDataAddress address{};
    address.words[0] = static_cast<uint16_t>(entnum & 0xFFFFu);
    address.words[1] = static_cast<uint16_t>(entnum >> 16);
    address.words[2] = kHostAssigns;
    if (FX_CreateEData(Tag(), &address, _GetDataBlock(), size, VeltraVersion()) == 0) return false;

    if (address.words[2] == kHostAssigns) {
        // The host did not say where it put the record: it is the entry's
        // last one of this kind.
        std::unique_ptr<__FCBaseData> scratch(CreateClone());
        auto* clone = dynamic_cast<__FCEntryDetail*>(scratch.get());
        if (!clone) return false;
        clone->SetNoteEntry(_entry);
        if (clone->Load(entnum, 0)) {
            do {
                address.words[2] = static_cast<uint16_t>(clone->GetItemInci());
            } while (clone->LoadNext() && clone->GetEntryNumber() == entnum);
        }
        if (address.words[2] == kHostAssigns) return false;
    }
    _SetAddress(address);
    _SetLoadedSize(size);
    _SetEntryFlag(_entry, true);
    return true;
}

void __FCEntryDetail::_SetEntryFlag(FCNoteEntry* entry, bool state)
{
    _SetEntryFlagBits(entry, EXENTRY_NOTEDETAIL, state);
}

bool __FCEntryDetail::SaveAs(uint32_t entnum, int16_t inci)
{
    if (GetLoadedSize() == 0) return false;
    _SetEntryAddress(entnum, inci);
    if (!Save()) return false;
    if (_entry) _SetEntryFlag(_entry, true);
    return true;
}

void __FCEntryDetail::_SetEntryAddress(uint32_t entnum, int16_t inci)
{
    _SetAddressLong(0, entnum);
    _SetItemInci(inci);
}

void __FCEntryDetail::_SetEntryFlagBits(FCNoteEntry* entry, uint32_t mask, bool state)
{
    if (!entry) return;
    EXENTRY* record = entry->_GetEXENTRY();
    if (!record) return;
    uint32_t flags = record->flags;
    __FCBase::Set32BitFlag(&flags, mask, state);
    record->flags = flags;
}
