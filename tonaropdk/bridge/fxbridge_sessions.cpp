// Bridge functions for edit sessions and mass edits, with their depth
// counters. An end or cancel without an open session never reaches the host.
#include "tonaropdk/bridge/editcounters.h"
#include "tonaropdk/bridge/fxbridge.h"
#include "tonaropdk/bridge/hostfunction.h"

extern "C" {

int16_t FX_StartTonaroEdit(const char* name, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_StartTonaroEdit);
    // Counted also when the host cannot open it: every start is matched by
    // an end or a cancel.
    ++TonaroEditDepth;
    if (fpProc == nullptr) return 0;
    return fpProc(name, version);
}

int16_t FX_StartTonaroEdit_UTF16(const uint16_t* name, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_StartTonaroEdit_UTF16);
    ++TonaroEditDepth;
    if (fpProc == nullptr) return 0;
    return fpProc(name, version);
}

int16_t FX_EndTonaroEdit(uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_EndTonaroEdit);
    if (fpProc == nullptr) {
        if (TonaroEditDepth > 0) --TonaroEditDepth;
        return 0;
    }
    if (TonaroEditDepth <= 0) return 1;
    --TonaroEditDepth;
    return fpProc(version);
}

void FX_CancelTonaroEdit(uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_CancelTonaroEdit);
    ++RecordChangeCounter;
    if (TonaroEditDepth <= 0) return;
    --TonaroEditDepth;
    if (fpProc != nullptr) fpProc(version);
}

int16_t FX_StartMassEdit(uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_StartMassEdit);
    if (fpProc == nullptr) return 0;
    ++MassEditDepth;
    return fpProc(version);
}

int16_t FX_EndMassEdit(uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_EndMassEdit);
    if (fpProc == nullptr) return 0;
    --MassEditDepth;
    return fpProc(version);
}

}  // extern "C"
