#include "tonaroframework/data/fcglobals.h"

bool __FCGlobals::Load(int16_t number)
{
    _SetAddressWord(0, static_cast<uint16_t>(number));
    return LoadDataBlock();
}

bool __FCGlobals::LoadNext()
{
    const int16_t previous = GetItemNo();
    if (previous == INT16_MAX) return false;
    if (Load(static_cast<int16_t>(previous + 1))) return true;
    _SetAddressWord(0, static_cast<uint16_t>(previous));
    return false;
}
