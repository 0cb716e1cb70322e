#include "tonaroframework/data/fcprefsbase.h"

#include "tonaropdk/hostapi/fxfunctions.h"
#include "tonaropdk/hostapi/recordtags.h"

namespace {

constexpr EDTAG kTagFI = 0x6F744649;  // 'otFI'
constexpr uint32_t kOtherSize = 12;

bool LoadOther(EDTAG tag, uint16_t cmper, int16_t inci, int16_t* buffer)
{
    if (!buffer) return false;
    EDataAddress address{{cmper, static_cast<uint16_t>(inci), 0, 0}};
    uint32_t size = kOtherSize;
    return FX_LoadEData(tag, &address, buffer, &size, FXT_VERSION_2012) != 0;
}

bool SaveOther(EDTAG tag, uint16_t cmper, int16_t inci, const int16_t* buffer)
{
    if (!buffer) return false;
    EDataAddress address{{cmper, static_cast<uint16_t>(inci), 0, 0}};
    return FX_SaveEData(tag, &address, buffer, kOtherSize, FXT_VERSION_2012) != 0;
}

EDTAG PrefsInciTag(char c1, char c2)
{
    return TAG_OTHER_HIGH | (static_cast<uint32_t>(static_cast<unsigned char>(c1)) << 8) |
           static_cast<uint32_t>(static_cast<unsigned char>(c2));
}

}  // namespace

bool __FCPrefsBase::Load(int16_t cmper)
{
    _SetAddressWord(0, static_cast<uint16_t>(cmper));
    return LoadDataBlock();
}

bool __FCPrefsBase::_LoadPrefsCmperFI(int16_t* buffer, int16_t cmper)
{
    return LoadOther(kTagFI, static_cast<uint16_t>(cmper), 0, buffer);
}

bool __FCPrefsBase::_SavePrefsCmperFI(const int16_t* buffer, int16_t cmper)
{
    return SaveOther(kTagFI, static_cast<uint16_t>(cmper), 0, buffer);
}

bool __FCPrefsBase::_LoadPrefsInci(char c1, char c2, int16_t* buffer, int16_t inci)
{
    return LoadOther(PrefsInciTag(c1, c2), OTHER_PREFS_CMPER, inci, buffer);
}

bool __FCPrefsBase::_SavePrefsInci(char c1, char c2, const int16_t* buffer, int16_t inci)
{
    return SaveOther(PrefsInciTag(c1, c2), OTHER_PREFS_CMPER, inci, buffer);
}
