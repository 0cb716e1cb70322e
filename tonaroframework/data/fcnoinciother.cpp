#include "tonaroframework/data/fcnoinciother.h"

#include <algorithm>
#include <cstring>

#include "tonaropdk/hostapi/fxfunctions.h"

namespace {

// The runs of 12-byte other records that hold a longer structure use this
// layout version.
constexpr uint32_t kFullCmperVersion = 0x0F000000;
constexpr uint32_t kOtherSize = 12;
constexpr int kMaxInci = 0x7FFF;

EDTAG FullCmperTag(EDTAG tag, int16_t tagHigh)
{
    return (static_cast<uint32_t>(static_cast<uint16_t>(tagHigh)) << 16) | (tag & 0xFFFFu);
}

bool LoadOther(EDTAG tag, uint16_t cmper, int inci, uint8_t (&chunk)[kOtherSize])
{
    EDataAddress address{{cmper, static_cast<uint16_t>(inci), 0, 0}};
    uint32_t size = kOtherSize;
    std::memset(chunk, 0, sizeof chunk);
    return FX_LoadEData(tag, &address, chunk, &size, kFullCmperVersion) != 0;
}

}  // namespace

bool __FCNoInciOther::LoadFirst()
{
    return _LoadFrom(1);
}

bool __FCNoInciOther::_LoadFrom(uint16_t cmper)
{
    if (Load(cmper)) return true;
    // The host walks from any address, present or not.
    _SetCmperInci(cmper, 0);
    return LoadNext();
}

bool __FCNoInciOther::Reload()
{
    if (GetLoadedSize() == 0) return false;
    return Load(GetItemNo());
}

bool __FCNoInciOther::Load(uint16_t cmper)
{
    _SetCmperInci(cmper, 0);
    return LoadDataBlock();
}

bool __FCNoInciOther::SaveAs(uint16_t cmper)
{
    if (GetLoadedSize() == 0) return false;
    _SetCmperInci(cmper, 0);
    return Save();
}

bool __FCNoInciOther::DeepSaveAs(uint16_t cmper)
{
    return SaveAs(cmper);
}

bool __FCNoInciOther::SaveNew()
{
    if (GetLoadedSize() == 0 || !_GetDataBlock()) return false;
    EDataAddress address = _GetAddress();
    address.words[0] = 0xFFFF;
    address.words[1] = 0xFFFF;
    if (FX_CreateEData(Tag(), &address, _GetDataBlock(), DataSizeSave(), VeltraVersion()) == 0) return false;
    _SetAddress(address);
    return true;
}

uint32_t __FCNoInciOther::_DataSizeLoadFullCmper(uint16_t cmper, int16_t tagHigh) const
{
    const EDTAG tag = FullCmperTag(Tag(), tagHigh);
    uint8_t chunk[kOtherSize];
    uint32_t count = 0;
    while (static_cast<int>(count) <= kMaxInci && LoadOther(tag, cmper, static_cast<int>(count), chunk)) ++count;
    return count * kOtherSize;
}

bool __FCNoInciOther::_LoadOtherFullCmper(uint16_t cmper, void* buffer, uint32_t size, int16_t tagHigh)
{
    if (size == 0) {
        _SetLoadedSize(0);
        return true;
    }
    if (!buffer) return false;
    _SetCmperInci(cmper, 0);
    const EDTAG tag = FullCmperTag(Tag(), tagHigh);
    auto* bytes = static_cast<uint8_t*>(buffer);
    uint8_t chunk[kOtherSize];
    // Every record is read into a 12-byte chunk, so a size that is not a
    // multiple of 12 takes the leading bytes of the last record and never
    // writes past the caller's buffer.
    for (uint32_t offset = 0; offset < size; offset += kOtherSize) {
        const int inci = static_cast<int>(offset / kOtherSize);
        if (inci > kMaxInci || !LoadOther(tag, cmper, inci, chunk)) {
            _SetLoadedSize(offset);
            return false;
        }
        std::memcpy(bytes + offset, chunk, std::min(kOtherSize, size - offset));
    }
    _SetLoadedSize(size);
    return true;
}

bool __FCNoInciOther::_SaveOtherFullCmper(uint16_t cmper, const void* buffer, int size, int16_t tagHigh)
{
    if (GetLoadedSize() == 0 || cmper == 0 || size <= 0 || !buffer) return false;
    const int count = (size + static_cast<int>(kOtherSize) - 1) / static_cast<int>(kOtherSize);
    if (count > kMaxInci) return false;
    const EDTAG tag = FullCmperTag(Tag(), tagHigh);
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    for (int inci = 0; inci < count; ++inci) {
        uint8_t chunk[kOtherSize] = {};
        const int offset = inci * static_cast<int>(kOtherSize);
        std::memcpy(chunk, bytes + offset, std::min<size_t>(kOtherSize, static_cast<size_t>(size - offset)));
        EDataAddress address{{cmper, static_cast<uint16_t>(inci), 0, 0}};
        if (FX_SaveEData(tag, &address, chunk, kOtherSize, kFullCmperVersion) == 0) return false;
    }
    // Records past the new end are left from a longer earlier version. They
    // are counted first and deleted from the top down, which removes them
    // whether or not the host closes the gap behind a deleted inci.
    uint8_t chunk[kOtherSize];
    int last = count;
    while (last <= kMaxInci && LoadOther(tag, cmper, last, chunk)) ++last;
    for (int inci = last - 1; inci >= count; --inci) {
        EDataAddress address{{cmper, static_cast<uint16_t>(inci), 0, 0}};
        if (FX_DeleteEData(tag, &address, kFullCmperVersion) == 0) return false;
    }
    return true;
}
