// The entry points through which a host loads, enumerates, invokes and
// unloads the Change Pitches plug-in (the only symbols the shared library
// exports), and the records that enumeration fills. A host resolves them by
// name with dlsym; each TonaroExtension... function is also exported under
// the Ext_ name given beside it, which forwards unchanged.
//
// The host calls, on its main thread and in this order: main (with two
// non-null values), TonaroExtensionVersion, TonaroExtensionInit, the
// enumerations until they answer 0, any number of TonaroExtensionInvoke and
// TonaroExtensionGetMenuStatus, and finally TonaroExtensionTerminate before
// unloading. A QApplication must exist before the first invocation.
#pragma once

#include <cstdint>

// What TonaroExtensionEnumerate fills: three NUL-padded 8-bit texts and a
// 32-bit field (set to 0).
struct TonaroExtensionMenuRecord {
    char menuText[64];      // "ZP Change Pitches..."
    char description[64];   // "Selectively replaces the pitches within the region."
    char shortName[64];     // "Change Pitches"
    int32_t reserved;
};
static_assert(sizeof(TonaroExtensionMenuRecord) == 196);

// What TonaroExtensionEnumerate_UTF16 fills: the same texts in UTF-16, each
// at most 63 units followed by one 0 unit; the rest of each field is left as
// it was. Then the 32-bit field (set to 0).
struct TonaroExtensionMenuRecordUTF16 {
    uint16_t menuText[128];
    uint16_t description[128];
    uint16_t shortName[128];
    int32_t reserved;
};
static_assert(sizeof(TonaroExtensionMenuRecordUTF16) == 772);

// Signatures, for hosts that resolve the entry points by name.
// main: 1 when the plug-in bound to the host's engine, 0 on failure or when
// either value is null.
using TonaroPluginMainFn = int16_t (*)(void* loaderValue1, void* loaderValue2);
// Records the host's version word; answers the plug-in's, 0x0F000000.
using TonaroExtensionVersionFn = uint32_t (*)(uint32_t hostVersion);
// Sets bit 0 of *flags (a null pointer is skipped) and the dialog defaults;
// answers 1. context is not read.
using TonaroExtensionInitFn = int16_t (*)(void* context, uint8_t* flags);
// index 0 (or below, for the 8-bit form) fills the record (a null record is
// refused with 0) and answers 1; any other index answers 0 and leaves the
// record alone. context is not read.
using TonaroExtensionEnumerateFn = int16_t (*)(void* context, int16_t index, TonaroExtensionMenuRecord* record);
using TonaroExtensionEnumerateUTF16Fn = int16_t (*)(void* context, int16_t index,
                                                     TonaroExtensionMenuRecordUTF16* record);
// Shows the dialog (made on the first call; hostWindow is kept from the
// first call as the dialog's parent reference, never dereferenced). 0.
using TonaroExtensionInvokeFn = int16_t (*)(void* hostWindow);
// 1: the menu item is always enabled.
using TonaroExtensionGetMenuStatusFn = int16_t (*)();
// Closes the dialog if it is visible, writes the preferences and destroys
// the dialog; nothing when the plug-in was never invoked.
using TonaroExtensionTerminateFn = void (*)();
