// Bridge functions for entry frames: frames are counted while they are out,
// and normalised (CleanTGF) before the host stores or resizes them.
#include "tonaropdk/bridge/cleantgf.h"
#include "tonaropdk/bridge/editcounters.h"
#include "tonaropdk/bridge/fxbridge.h"
#include "tonaropdk/bridge/hostfunction.h"

extern "C" {

EXTGF2005a* FX_LoadTGF(uint16_t instList, uint16_t slot, uint16_t measure, uint16_t layer, uint16_t loadOption,
                      uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_LoadTGF);
    if (fpProc == nullptr) return nullptr;
    ++LoadedTGFCounter;
    EXTGF2005a* frame = fpProc(instList, slot, measure, layer, loadOption, version);
    // Only frames that were handed out are waiting to be freed.
    if (frame == nullptr) --LoadedTGFCounter;
    return frame;
}

int16_t FX_SaveTGF(EXTGF2005a* frame, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_SaveTGF);
    if (fpProc == nullptr) return 0;
    CleanTGF(frame);
    return fpProc(frame, version);
}

void FX_FreeTGF(EXTGF2005a* frame, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_FreeTGF);
    if (fpProc == nullptr) return;
    if (frame != nullptr) --LoadedTGFCounter;
    fpProc(frame, version);
}

int16_t FX_InsertEXENTRY(EXTGF2005a* frame, int16_t index, int16_t count, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_InsertEXENTRY);
    if (fpProc == nullptr) return 0;
    CleanTGF(frame);
    return fpProc(frame, index, count, version);
}

int16_t FX_DeleteEXENTRY(EXTGF2005a* frame, int16_t index, int16_t count, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_DeleteEXENTRY);
    if (fpProc == nullptr) return 0;
    CleanTGF(frame);
    return fpProc(frame, index, count, version);
}

int32_t FX_GetTGFDuration(EXTGF2005a* frame, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_GetTGFDuration);
    if (fpProc == nullptr) return 0;
    return fpProc(frame, version);
}

}  // extern "C"
