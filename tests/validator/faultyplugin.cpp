// A small plug-in with one window, for the validator's tests. Built from
// this one source into several modules: FAULTY_PLUGIN_FAULT selects one
// deliberate fault (0 builds a plug-in without faults), so that each test
// can see the validator catch exactly that fault.
#include <QDialog>
#include <QLabel>
#include <QVBoxLayout>

#include <dlfcn.h>

#include <cstdint>
#include <cstring>
#include <string>

#ifndef FAULTY_PLUGIN_FAULT
#define FAULTY_PLUGIN_FAULT 0
#endif

#define FAULT_NONE 0
#define FAULT_MAIN_DEREFERENCES_NULL 1
#define FAULT_CRASH_ON_SECOND_INVOKE 2
#define FAULT_HANG_IN_INVOKE 3
#define FAULT_ENUMERATE_OVERRUN 4
#define FAULT_TERMINATE_WITHOUT_WINDOW 5
#define FAULT_WINDOW_OUTLIVES_TERMINATE 6
#define FAULT_FRAME_LEAK 7
// Not faults the checks fail, but what keeps a module mapped after its
// unload, which the cycles check must name: a thread_local object with a
// destructor, and (by a link option, see CMakeLists.txt) the NODELETE mark.
#define FAULT_THREAD_LOCAL_DESTRUCTOR 8
#define FAULT_NODELETE 9

#define EXPORTED extern "C" __attribute__((visibility("default")))

namespace {

struct MenuRecord {
    char menuText[64];
    char description[64];
    char shortName[64];
    int32_t reserved;
};

struct MenuRecordUTF16 {
    uint16_t menuText[128];
    uint16_t description[128];
    uint16_t shortName[128];
    int32_t reserved;
};

QDialog* gWindow = nullptr;

void CopyUTF16(uint16_t (&field)[128], const char* text)
{
    size_t i = 0;
    for (; text[i] != '\0' && i < 63; ++i) field[i] = static_cast<uint8_t>(text[i]);
    field[i] = 0;
}

#if FAULTY_PLUGIN_FAULT == FAULT_FRAME_LEAK
// Loads an entry frame of the current score through the engine's exported
// function and forgets it.
void LeakFrame()
{
    using LoadFrameFn = void* (*)(uint16_t, uint16_t, uint16_t, uint16_t, uint16_t, uint32_t);
    auto load = reinterpret_cast<LoadFrameFn>(dlsym(RTLD_DEFAULT, "FX_LoadTGF"));
    if (load != nullptr) load(0, 1, 1, 0, 0, 0x12000000);
}
#endif

}  // namespace

EXPORTED int16_t FaultyMain(void* value1, void* value2) __asm__("main");
EXPORTED int16_t FaultyMain(void* value1, void* value2)
{
#if FAULTY_PLUGIN_FAULT == FAULT_MAIN_DEREFERENCES_NULL
    // Reads the host's value before looking at it.
    if (*static_cast<volatile char*>(value1) == 0x7F && value2 == nullptr) return 0;
#endif
    return value1 != nullptr && value2 != nullptr ? 1 : 0;
}

EXPORTED uint32_t TonaroExtensionVersion(uint32_t) { return 0x01000000; }

EXPORTED int16_t TonaroExtensionInit(void*, uint8_t* flags)
{
    if (flags != nullptr) *flags |= 1;
    return 1;
}

EXPORTED int16_t TonaroExtensionEnumerate(void*, int16_t index, MenuRecord* record)
{
    if (index != 0 || record == nullptr) {
#if FAULTY_PLUGIN_FAULT == FAULT_ENUMERATE_OVERRUN
        // Clears "the record" with the wrong size before refusing.
        if (record != nullptr && index > 0) std::memset(static_cast<void*>(record), 0, sizeof *record + 8);
#endif
        return 0;
    }
    std::memset(static_cast<void*>(record), 0, sizeof *record);
    std::strcpy(record->menuText, "Faulty Window...");
    std::strcpy(record->description, "Opens a small window.");
    std::strcpy(record->shortName, "Faulty Window");
    return 1;
}

EXPORTED int16_t TonaroExtensionEnumerate_UTF16(void*, int16_t index, MenuRecordUTF16* record)
{
    if (index != 0 || record == nullptr) return 0;
    CopyUTF16(record->menuText, "Faulty Window...");
    CopyUTF16(record->description, "Opens a small window.");
    CopyUTF16(record->shortName, "Faulty Window");
    record->reserved = 0;
    return 1;
}

EXPORTED int16_t TonaroExtensionInvoke(void*)
{
#if FAULTY_PLUGIN_FAULT == FAULT_HANG_IN_INVOKE
    for (volatile bool waiting = true; waiting;) {
    }
#endif
#if FAULTY_PLUGIN_FAULT == FAULT_CRASH_ON_SECOND_INVOKE
    // Mistakes a second invocation for a first one and reads a state that
    // only exists before the window does.
    if (gWindow != nullptr) {
        int* volatile firstRunState = nullptr;
        if (*firstRunState == 0) return 0;
    }
#endif
#if FAULTY_PLUGIN_FAULT == FAULT_FRAME_LEAK
    LeakFrame();
#endif
    if (gWindow == nullptr) {
        gWindow = new QDialog();
#if FAULTY_PLUGIN_FAULT == FAULT_THREAD_LOCAL_DESTRUCTOR
        thread_local std::string title;
        title = "Faulty Window";
        gWindow->setWindowTitle(QString::fromStdString(title));
#else
        gWindow->setWindowTitle("Faulty Window");
#endif
        auto* layout = new QVBoxLayout(gWindow);
        layout->addWidget(new QLabel("A window of the faulty plug-in.", gWindow));
    }
    gWindow->show();
    gWindow->raise();
    return 0;
}

EXPORTED int16_t TonaroExtensionGetMenuStatus() { return 1; }

EXPORTED void TonaroExtensionTerminate()
{
#if FAULTY_PLUGIN_FAULT == FAULT_TERMINATE_WITHOUT_WINDOW
    // Closes "the" window without asking whether there is one.
    QDialog* volatile window = gWindow;
    window->close();
#endif
    if (gWindow == nullptr) return;
    gWindow->close();
#if FAULTY_PLUGIN_FAULT != FAULT_WINDOW_OUTLIVES_TERMINATE
    delete gWindow;
#endif
    gWindow = nullptr;
}

EXPORTED uint32_t Ext_getversion(uint32_t word) { return TonaroExtensionVersion(word); }
EXPORTED int16_t Ext_init(void* context, uint8_t* flags) { return TonaroExtensionInit(context, flags); }
EXPORTED int16_t Ext_enumerate(void* context, int16_t index, MenuRecord* record)
{
    return TonaroExtensionEnumerate(context, index, record);
}
EXPORTED int16_t Ext_enumerate_UTF16(void* context, int16_t index, MenuRecordUTF16* record)
{
    return TonaroExtensionEnumerate_UTF16(context, index, record);
}
EXPORTED int16_t Ext_invoke(void* window) { return TonaroExtensionInvoke(window); }
EXPORTED int16_t Ext_getmenustatus() { return TonaroExtensionGetMenuStatus(); }
EXPORTED void Ext_terminate() { TonaroExtensionTerminate(); }
