#include "tonaroframework/data/fcinciother.h"

#include "tonaropdk/hostapi/fxfunctions.h"

bool __FCInciOther::Load(uint16_t cmper, int16_t inci)
{
    _SetCmperInci(cmper, inci);
    return LoadDataBlock();
}

bool __FCInciOther::SaveNew(uint16_t cmper)
{
    if (GetLoadedSize() == 0 || !_GetDataBlock()) return false;
    EDataAddress address = _GetAddress();
    address.words[0] = cmper;
    address.words[1] = 0xFFFF;
    if (FX_CreateEData(Tag(), &address, _GetDataBlock(), DataSizeSave(), VeltraVersion()) == 0) return false;
    _SetAddress(address);
    return true;
}
