// The host functions: what the notation engine exports by name with C
// linkage, and what the plug-in's bridge resolves at run time. Every function
// takes the version word last; 16-bit results are non-zero for success.
//
// Ownership: records passed by pointer belong to the caller, except entry
// frames, which the host allocates in FX_LoadTGF and frees in FX_FreeTGF.
// Pointers are read or written only for the length of the call.
#pragma once

#include "tonaropdk/hostapi/eregion.h"
#include "tonaropdk/hostapi/exentry.h"
#include "tonaropdk/hostapi/fxtypes.h"
#include "tonaropdk/hostapi/tonpathspec.h"
#include "tonaropdk/hostapi/windowinfo.h"

extern "C" {

// --- Selection and document ------------------------------------------------

// Fills the current selection and a region covering the whole document of
// the current document; info may be null. Non-zero only when something is
// selected (the whole-document region is filled either way).
TONARO_FX_API int16_t FX_GetCurERegions(EREGIONINFO* info, EREGION* selection, EREGION* whole, uint32_t version);
// Number of the current document (0 when none is open).
TONARO_FX_API int16_t FX_GetCurrentVeltraDocument(uint32_t version);
// Makes the region the current document's selection.
TONARO_FX_API int16_t FX_SetCurERegionMac(const EREGION* region, uint32_t version);
// Staff number of a slot in an instrument list (0 = global list); 0 when none.
TONARO_FX_API int16_t FX_SlotToInst(uint16_t slot, uint16_t instList, uint32_t version);
// Slot of a staff number in an instrument list; 0 when the staff is not in it.
TONARO_FX_API int16_t FX_InstToSlot(uint16_t staff, uint16_t instList, uint32_t version);
// Number of entry layers (layer indexes 0 to this minus 1).
TONARO_FX_API int16_t FX_GetMaxLayers(uint32_t version);
// Non-zero when the layer (0-based) is shown.
TONARO_FX_API int16_t FX_GetShowLayer(int16_t layer, uint32_t version);

// --- Entry frames ------------------------------------------------------------

// A host-allocated copy of one cell layer's entries, or null (no such slot or
// measure). Valid until FX_FreeTGF; the caller may edit the records in place.
TONARO_FX_API EXTGF2005a* FX_LoadTGF(uint16_t instList, uint16_t slot, uint16_t measure, uint16_t layer,
                                    uint16_t loadOption, uint32_t version);
// Stores the frame's records into the document; assigns entry numbers to
// records whose number is 0.
TONARO_FX_API int16_t FX_SaveTGF(EXTGF2005a* frame, uint32_t version);
// Frees a frame from FX_LoadTGF; null does nothing.
TONARO_FX_API void FX_FreeTGF(EXTGF2005a* frame, uint32_t version);
// Inserts count zeroed records at index (0..numEntries) of the frame's array.
TONARO_FX_API int16_t FX_InsertEXENTRY(EXTGF2005a* frame, int16_t index, int16_t count, uint32_t version);
// Removes count records from index of the frame's array.
TONARO_FX_API int16_t FX_DeleteEXENTRY(EXTGF2005a* frame, int16_t index, int16_t count, uint32_t version);
// Total duration of the frame's entries (grace notes excluded).
TONARO_FX_API int32_t FX_GetTGFDuration(EXTGF2005a* frame, uint32_t version);
// Duration of a measure (its time signature) on a staff.
TONARO_FX_API int32_t FX_GetMeasureDuration(int16_t staff, int16_t measure, uint32_t version);
// MIDI key of a note slot under a key signature ID (0 = C major).
TONARO_FX_API int16_t FX_NoteToMidi(const EXNOTE* note, int16_t keySig, uint32_t version);
// Writes the host's name for a MIDI key (such as "C#4") into buffer, at most
// bufferSize bytes with the terminator. useSharps non-zero prefers sharps.
TONARO_FX_API int16_t FX_MidiNoteToString(int16_t midiKey, char* buffer, int16_t bufferSize, int16_t useSharps,
                                         uint32_t version);

// --- Records -----------------------------------------------------------------

// Loads a record into buffer. *size holds the capacity on entry and the bytes
// loaded on return. A null buffer asks for the size only.
TONARO_FX_API int16_t FX_LoadEData(EDTAG tag, void* address, void* buffer, uint32_t* size, uint32_t version);
TONARO_FX_API int16_t FX_SaveEData(EDTAG tag, void* address, const void* buffer, uint32_t size, uint32_t version);
// Creates a record; address words given as -1 (0xFFFF) are assigned by the host.
TONARO_FX_API int16_t FX_CreateEData(EDTAG tag, void* address, const void* buffer, uint32_t size, uint32_t version);
TONARO_FX_API int16_t FX_DeleteEData(EDTAG tag, void* address, uint32_t version);
// Advances the address block to the next (previous) record of the same tag;
// buffer and size may be null and 0. Zero when there is none.
TONARO_FX_API int16_t FX_NextEData(EDTAG tag, void* address, void* buffer, uint32_t size, uint32_t version);
TONARO_FX_API int16_t FX_PreviousEData(EDTAG tag, void* address, void* buffer, uint32_t size, uint32_t version);

// --- Edit sessions -------------------------------------------------------------

TONARO_FX_API int16_t FX_StartTonaroEdit(const char* name, uint32_t version);
TONARO_FX_API int16_t FX_StartTonaroEdit_UTF16(const uint16_t* name, uint32_t version);
TONARO_FX_API int16_t FX_EndTonaroEdit(uint32_t version);
TONARO_FX_API void FX_CancelTonaroEdit(uint32_t version);
TONARO_FX_API int16_t FX_StartMassEdit(uint32_t version);
TONARO_FX_API int16_t FX_EndMassEdit(uint32_t version);

// --- Commands, views and dialogs --------------------------------------------

// Runs a host menu command by its four-character code ('MSpN' respaces the
// selected measures); 0 for an unknown code.
TONARO_FX_API int16_t FX_ExecuteMenuItem(uint32_t commandCode, uint32_t version);
TONARO_FX_API int16_t FX_RedrawMusic(const EREGION* region, uint32_t version);
// Shows text to the user. The three leading arguments are 0.
TONARO_FX_API int16_t FX_AlertMessage(int32_t zero1, int32_t zero2, int32_t zero3, const char* text, uint32_t version);
// The folder of a kind (TonPath) as a path record.
TONARO_FX_API int16_t FX_GetTonaroPathMac(int16_t kind, TonPathSpec2012* spec, uint32_t version);
// Non-zero on hosts built as Mach-O (always, here).
TONARO_FX_API int16_t FX_IsMachO(uint32_t version);
TONARO_FX_API int16_t FX_GetCurrentWindowInfo(EWINDOWINFO* info, uint32_t version);
TONARO_FX_API int16_t FX_ScrollTo(int16_t measure, int16_t staff, uint32_t version);
// Opens a selection dialog (SELECTIONDIALOG_*) with *id preselected; on
// success *id is the chosen id and *changed is non-zero when definitions were
// changed in the dialog.
TONARO_FX_API int16_t FX_SelectionDialog(void* parentWindow, int16_t kind, int32_t* id, int16_t* changed,
                                        uint32_t version);
// The host's number for a font name; 0 when unknown.
TONARO_FX_API int16_t FX_FontNameToNum(const char* fontName, uint32_t version);
// Symbol choosers: the chosen character, 0 when cancelled or failed.
TONARO_FX_API int16_t FX_SymbolDialog(void* parentWindow, int16_t fontNumber, int16_t character, uint32_t version);
TONARO_FX_API int32_t FX_SymbolDialog_UTF32(void* parentWindow, int16_t fontNumber, int32_t character,
                                           uint32_t version);

}  // extern "C"
