#include "tonaroframework/data/fccelldetail.h"

#include "tonaroframework/data/fccell.h"
#include "tonaropdk/hostapi/fxfunctions.h"

bool __FCCellDetail::_SetCellAddress(int16_t inci)
{
    if (!_cell) return false;
    _SetAddressWord(0, static_cast<uint16_t>(_cell->GetStaff()));
    _SetAddressWord(1, static_cast<uint16_t>(_cell->GetMeasure()));
    _SetAddressWord(2, static_cast<uint16_t>(inci));
    return true;
}

bool __FCCellDetail::LoadFirst()
{
    if (!_SetCellAddress(0)) return false;
    return LoadDataBlock();
}

bool __FCCellDetail::LoadNext()
{
    const int16_t previous = GetItemInci();
    if (previous < 0 || previous == INT16_MAX) return false;
    _SetAddressWord(2, static_cast<uint16_t>(previous + 1));
    if (LoadDataBlock()) return true;
    _SetAddressWord(2, static_cast<uint16_t>(previous));
    return false;
}

bool __FCCellDetail::SaveNew()
{
    if (!_cell || GetLoadedSize() == 0 || !_GetDataBlock()) return false;
    EDataAddress address{};
    address.words[0] = static_cast<uint16_t>(_cell->GetStaff());
    address.words[1] = static_cast<uint16_t>(_cell->GetMeasure());
    address.words[2] = 0xFFFF;
    if (FX_CreateEData(Tag(), &address, _GetDataBlock(), DataSizeSave(), VeltraVersion()) == 0) return false;
    _SetAddress(address);
    _SaveMeasureFlag();
    return true;
}
