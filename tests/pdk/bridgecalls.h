// Calls every bridge function once, for tests that check what each of them
// does with or without a host behind it.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tonaropdk/hostapi/fxfunctions.h"

namespace pdktest {

// Records and buffers handed to the bridge functions; filled with a pattern
// so that a test can tell whether anything wrote to them.
struct BridgeScratch {
    static constexpr uint8_t kPattern = 0xA5;

    EREGIONINFO info;
    EREGION selection;
    EREGION whole;
    EXENTRY entries[2];
    EXTGF2005a frame;
    EXNOTE note;
    char text[32];
    uint8_t record[160];
    uint32_t recordSize;
    EDataAddress address;
    TonPathSpec2012 path;
    EWINDOWINFO window;
    int32_t dialogId;
    int16_t dialogChanged;

    BridgeScratch() { Fill(); }

    void Fill()
    {
        std::memset(&info, kPattern, sizeof info);
        std::memset(&selection, kPattern, sizeof selection);
        std::memset(&whole, kPattern, sizeof whole);
        std::memset(entries, kPattern, sizeof entries);
        frame = EXTGF2005a{};
        frame.entries = entries;
        frame.numEntries = 2;
        std::memset(&note, kPattern, sizeof note);
        std::memset(text, kPattern, sizeof text);
        std::memset(record, kPattern, sizeof record);
        recordSize = sizeof record;
        address = EDataAddress{{1, 0, 0, 0}};
        std::memset(&path, kPattern, sizeof path);
        std::memset(&window, kPattern, sizeof window);
        dialogId = 7;
        dialogChanged = 3;
    }
};

struct BridgeCallResult {
    std::string name;
    int64_t result;  // the function's answer (a pointer answers 0 or 1); 0 for void functions
};

// Calls each bridge function declared in fxfunctions.h exactly once. Frame
// functions work on the frame that FX_LoadTGF answers, or on s.frame when it
// answers null; that frame is freed last.
inline std::vector<BridgeCallResult> CallEveryBridgeFunction(BridgeScratch& s, uint16_t slot = 1,
                                                             uint16_t measure = 1)
{
    constexpr uint32_t v = FXT_VERSION_2012;
    std::vector<BridgeCallResult> r;
    auto add = [&r](const char* name, int64_t value) { r.push_back({name, value}); };
    static const uint16_t kSessionName[] = {'T', 'e', 's', 't', 0};

    add("FX_GetCurERegions", FX_GetCurERegions(&s.info, &s.selection, &s.whole, v));
    add("FX_GetCurrentVeltraDocument", FX_GetCurrentVeltraDocument(v));
    add("FX_SetCurERegionMac", FX_SetCurERegionMac(&s.whole, v));
    add("FX_SlotToInst", FX_SlotToInst(slot, 0, v));
    add("FX_InstToSlot", FX_InstToSlot(1, 0, v));
    add("FX_GetMaxLayers", FX_GetMaxLayers(v));
    add("FX_GetShowLayer", FX_GetShowLayer(0, v));

    EXTGF2005a* loaded = FX_LoadTGF(0, slot, measure, 0, 0, v);
    add("FX_LoadTGF", loaded != nullptr ? 1 : 0);
    EXTGF2005a* frame = loaded != nullptr ? loaded : &s.frame;
    add("FX_InsertEXENTRY", FX_InsertEXENTRY(frame, 0, 1, v));
    add("FX_DeleteEXENTRY", FX_DeleteEXENTRY(frame, 0, 1, v));
    add("FX_GetTGFDuration", FX_GetTGFDuration(frame, v));
    add("FX_SaveTGF", FX_SaveTGF(frame, v));
    FX_FreeTGF(loaded, v);
    add("FX_FreeTGF", 0);

    add("FX_GetMeasureDuration", FX_GetMeasureDuration(1, static_cast<int16_t>(measure), v));
    add("FX_NoteToMidi", FX_NoteToMidi(&s.note, 0, v));
    add("FX_MidiNoteToString", FX_MidiNoteToString(60, s.text, sizeof s.text, 1, v));

    add("FX_LoadEData", FX_LoadEData(0x534F4953, &s.address, s.record, &s.recordSize, v));
    add("FX_SaveEData", FX_SaveEData(0x54455354, &s.address, s.record, 12, v));
    add("FX_CreateEData", FX_CreateEData(0x54455354, &s.address, s.record, 12, v));
    add("FX_NextEData", FX_NextEData(0x54455354, &s.address, nullptr, 0, v));
    add("FX_PreviousEData", FX_PreviousEData(0x54455354, &s.address, nullptr, 0, v));
    add("FX_DeleteEData", FX_DeleteEData(0x54455354, &s.address, v));

    add("FX_StartTonaroEdit", FX_StartTonaroEdit("Test", v));
    add("FX_EndTonaroEdit", FX_EndTonaroEdit(v));
    add("FX_StartTonaroEdit_UTF16", FX_StartTonaroEdit_UTF16(kSessionName, v));
    FX_CancelTonaroEdit(v);
    add("FX_CancelTonaroEdit", 0);
    add("FX_StartMassEdit", FX_StartMassEdit(v));
    add("FX_EndMassEdit", FX_EndMassEdit(v));

    add("FX_ExecuteMenuItem", FX_ExecuteMenuItem(0x4D53704E, v));  // 'MSpN'
    add("FX_RedrawMusic", FX_RedrawMusic(&s.whole, v));
    add("FX_AlertMessage", FX_AlertMessage(0, 0, 0, "Bridge test", v));
    add("FX_GetTonaroPathMac", FX_GetTonaroPathMac(TONPATH_PLUGIN_SETTINGS, &s.path, v));
    add("FX_IsMachO", FX_IsMachO(v));
    add("FX_GetCurrentWindowInfo", FX_GetCurrentWindowInfo(&s.window, v));
    add("FX_ScrollTo", FX_ScrollTo(1, 1, v));
    add("FX_SelectionDialog", FX_SelectionDialog(nullptr, SELECTIONDIALOG_SHAPE, &s.dialogId, &s.dialogChanged, v));
    add("FX_FontNameToNum", FX_FontNameToNum("Maestro", v));
    add("FX_SymbolDialog", FX_SymbolDialog(nullptr, 1, 'q', v));
    add("FX_SymbolDialog_UTF32", FX_SymbolDialog_UTF32(nullptr, 1, 0xE050, v));
    return r;
}

// Number of functions that CallEveryBridgeFunction calls: every FX_ function
// of fxfunctions.h.
constexpr int kBridgeFunctionCount = 39;

}  // namespace pdktest
