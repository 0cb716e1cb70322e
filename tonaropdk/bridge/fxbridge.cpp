// Bridge functions that only forward: each resolves its host function once
// and calls it with the caller's arguments, or answers 0 (does nothing) when
// the host does not export it.
#include "tonaropdk/bridge/editcounters.h"
#include "tonaropdk/bridge/fxbridge.h"
#include "tonaropdk/bridge/hostfunction.h"

extern "C" {

// --- Selection and document ------------------------------------------------

int16_t FX_GetCurERegions(EREGIONINFO* info, EREGION* selection, EREGION* whole, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_GetCurERegions);
    return fpProc ? fpProc(info, selection, whole, version) : 0;
}

int16_t FX_GetCurrentVeltraDocument(uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_GetCurrentVeltraDocument);
    return fpProc ? fpProc(version) : 0;
}

int16_t FX_SetCurERegionMac(const EREGION* region, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_SetCurERegionMac);
    return fpProc ? fpProc(region, version) : 0;
}

int16_t FX_SlotToInst(uint16_t slot, uint16_t instList, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_SlotToInst);
    return fpProc ? fpProc(slot, instList, version) : 0;
}

int16_t FX_InstToSlot(uint16_t staff, uint16_t instList, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_InstToSlot);
    return fpProc ? fpProc(staff, instList, version) : 0;
}

int16_t FX_GetMaxLayers(uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_GetMaxLayers);
    return fpProc ? fpProc(version) : 0;
}

int16_t FX_GetShowLayer(int16_t layer, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_GetShowLayer);
    return fpProc ? fpProc(layer, version) : 0;
}

// --- Measures and pitches ------------------------------------------------------

int32_t FX_GetMeasureDuration(int16_t staff, int16_t measure, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_GetMeasureDuration);
    return fpProc ? fpProc(staff, measure, version) : 0;
}

int16_t FX_NoteToMidi(const EXNOTE* note, int16_t keySig, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_NoteToMidi);
    return fpProc ? fpProc(note, keySig, version) : 0;
}

int16_t FX_MidiNoteToString(int16_t midiKey, char* buffer, int16_t bufferSize, int16_t useSharps, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_MidiNoteToString);
    return fpProc ? fpProc(midiKey, buffer, bufferSize, useSharps, version) : 0;
}

// --- Commands, views and dialogs --------------------------------------------

int16_t FX_ExecuteMenuItem(uint32_t commandCode, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_ExecuteMenuItem);
    ++RecordChangeCounter;
    return fpProc ? fpProc(commandCode, version) : 0;
}

int16_t FX_RedrawMusic(const EREGION* region, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_RedrawMusic);
    return fpProc ? fpProc(region, version) : 0;
}

int16_t FX_AlertMessage(int32_t zero1, int32_t zero2, int32_t zero3, const char* text, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_AlertMessage);
    return fpProc ? fpProc(zero1, zero2, zero3, text, version) : 0;
}

int16_t FX_GetTonaroPathMac(int16_t kind, TonPathSpec2012* spec, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_GetTonaroPathMac);
    return fpProc ? fpProc(kind, spec, version) : 0;
}

int16_t FX_IsMachO(uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_IsMachO);
    return fpProc ? fpProc(version) : 0;
}

int16_t FX_GetCurrentWindowInfo(EWINDOWINFO* info, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_GetCurrentWindowInfo);
    return fpProc ? fpProc(info, version) : 0;
}

int16_t FX_ScrollTo(int16_t measure, int16_t staff, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_ScrollTo);
    return fpProc ? fpProc(measure, staff, version) : 0;
}

int16_t FX_SelectionDialog(void* parentWindow, int16_t kind, int32_t* id, int16_t* changed, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_SelectionDialog);
    ++RecordChangeCounter;
    return fpProc ? fpProc(parentWindow, kind, id, changed, version) : 0;
}

int16_t FX_FontNameToNum(const char* fontName, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_FontNameToNum);
    return fpProc ? fpProc(fontName, version) : 0;
}

int16_t FX_SymbolDialog(void* parentWindow, int16_t fontNumber, int16_t character, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_SymbolDialog);
    ++RecordChangeCounter;
    return fpProc ? fpProc(parentWindow, fontNumber, character, version) : 0;
}

int32_t FX_SymbolDialog_UTF32(void* parentWindow, int16_t fontNumber, int32_t character, uint32_t version)
{
    TONARO_RESOLVE_HOST_FUNCTION(FX_SymbolDialog_UTF32);
    ++RecordChangeCounter;
    return fpProc ? fpProc(parentWindow, fontNumber, character, version) : 0;
}

}  // extern "C"
