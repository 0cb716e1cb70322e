// A plug-in-like module that links the bridge statically and uses functions
// of each of its parts, so that all of them are linked in. The symbol test
// checks that none of the bridge's FX_ functions leaves the module.
#include "tonaropdk/bridge/cleantgf.h"
#include "tonaropdk/bridge/editcounters.h"
#include "tonaropdk/bridge/hostbinding.h"
#include "tonaropdk/hostapi/fxfunctions.h"

extern "C" __attribute__((visibility("default"))) int pdk_bridge_probe_entry()
{
    if (InitializeGlobals() != 0) return -1;
    uint32_t size = 0;
    EDataAddress address{{0, 0, 0, 0}};
    int result = FX_LoadEData(0x70664450, &address, nullptr, &size, FXT_VERSION_2012);
    result += FX_GetMaxLayers(FXT_VERSION_2012);
    result += FX_SaveTGF(nullptr, FXT_VERSION_2012);
    result += FX_StartTonaroEdit("Probe", FXT_VERSION_2012);
    FX_CancelTonaroEdit(FXT_VERSION_2012);
    return result + LoadedTGFCounter + (CanAddNoteRecordToRests ? 1 : 0);
}
