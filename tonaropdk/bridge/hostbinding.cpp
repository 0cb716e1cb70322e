#include "tonaropdk/bridge/hostbinding.h"

#include <dlfcn.h>

#include <bit>
#include <cstdlib>

#include "tonaropdk/hostapi/fxfunctions.h"
#include "tonaropdk/platform/macservices.h"

TONARO_BRIDGE_DATA int16_t gResFile = 0;
TONARO_BRIDGE_DATA TonPathSpec2012 gTonaroFSSpec = {};

namespace {

// The engine's library, or the main program; null until InitializeGlobals.
// Set once and never closed: host functions resolved from it are used for
// the life of the process.
TonaroBundleRef gTonaroBundle = nullptr;

// What a code-fragment host receives for a dialog callback.
struct DialogHandlerBlock {
    FF_DialogHandlerProcPtr callback;
    uintptr_t reserved;  // always 0
};

// System versions below this one are of the code-fragment era.
constexpr int32_t kFirstMachOSystemVersion = 0x1000;

}  // namespace

int16_t InitializeGlobals()
{
    gResFile = CurResFile();

    uint8_t processName[64] = {};
    ProcessInfoRec info{};
    info.processInfoLength = kProcessInfoRecLength;
    info.processName = processName;
    info.processAppSpec = &gTonaroFSSpec;
    const ProcessSerialNumber currentProcess{0, kCurrentProcess};
    const OSErr processError = GetProcessInformation(&currentProcess, &info);

    if (gTonaroBundle == nullptr) {
        // Only an engine that is already loaded counts; the bridge never loads one.
        gTonaroBundle = dlopen(kTonaroEngineBundleName, RTLD_NOW | RTLD_NOLOAD);
        if (gTonaroBundle == nullptr) gTonaroBundle = dlopen(nullptr, RTLD_NOW);
    }

    const int16_t noBundle = gTonaroBundle == nullptr ? -1 : 0;
    return static_cast<int16_t>(processError | noBundle);
}

TonaroBundleRef GetTonaroBundleRef()
{
    return gTonaroBundle;
}

bool IsTonaroCFM()
{
    int32_t systemVersion = 0;
    if (Gestalt(gestaltSystemVersion, &systemVersion) != noErr || systemVersion < kFirstMachOSystemVersion) {
        return true;
    }
    return FX_IsMachO(FXT_VERSION_2012) == 0;
}

FF_DialogHandlerUPP NewFF_DialogHandlerProc(FF_DialogHandlerProcPtr callback)
{
    if (!IsTonaroCFM()) return callback;
    auto* block = static_cast<DialogHandlerBlock*>(std::malloc(sizeof(DialogHandlerBlock)));
    if (block == nullptr) return nullptr;
    block->callback = callback;
    block->reserved = 0;
    return std::bit_cast<FF_DialogHandlerUPP>(block);
}

void DisposeFF_DialogHandlerProc(FF_DialogHandlerUPP handle)
{
    if (handle == nullptr || !IsTonaroCFM()) return;
    std::free(std::bit_cast<void*>(handle));
}
