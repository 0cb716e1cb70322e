#include "tonaroframework/data/fcnoincidetail.h"

#include "tonaropdk/hostapi/fxfunctions.h"

bool __FCNoInciDetail::Load(uint16_t cmper1, uint16_t cmper2)
{
    _SetAddressWord(0, cmper1);
    _SetAddressWord(1, cmper2);
    _SetAddressWord(2, 0);
    return LoadDataBlock();
}

bool __FCNoInciDetail::SaveNew(uint16_t cmper1)
{
    if (GetLoadedSize() == 0 || !_GetDataBlock()) return false;
    EDataAddress address = _GetAddress();
    address.words[0] = cmper1;
    address.words[1] = 0xFFFF;
    address.words[2] = 0;
    if (FX_CreateEData(Tag(), &address, _GetDataBlock(), DataSizeSave(), VeltraVersion()) == 0) return false;
    _SetAddress(address);
    return true;
}
