// A plug-in whose termination leaves a deferred deletion (deleteLater) of an
// object whose code is in this module: the host must deliver it before it
// unloads the module, or it would run after the code is gone (or never).
// The object's destructor says so on standard error.
#include <QObject>

#include <cstdint>
#include <cstdio>
#include <cstring>

#define EXPORTED extern "C" __attribute__((visibility("default")))

namespace {

class Witness : public QObject {
public:
    ~Witness() override { std::fputs("deferring plug-in: deferred deletion delivered\n", stderr); }
};

struct MenuRecord {
    char menuText[64];
    char description[64];
    char shortName[64];
    int32_t reserved;
};

}  // namespace

EXPORTED int16_t DeferringMain(void* value1, void* value2) __asm__("main");
EXPORTED int16_t DeferringMain(void* value1, void* value2) { return value1 != nullptr && value2 != nullptr ? 1 : 0; }

EXPORTED uint32_t TonaroExtensionVersion(uint32_t) { return 0x0F000000; }
EXPORTED int16_t TonaroExtensionInit(void*, uint8_t* flags)
{
    if (flags != nullptr) *flags |= 1;
    return 1;
}
EXPORTED int16_t TonaroExtensionEnumerate(void*, int16_t index, MenuRecord* record)
{
    if (index != 0 || record == nullptr) return 0;
    std::memset(static_cast<void*>(record), 0, sizeof *record);
    std::strcpy(record->menuText, "Deferring...");
    std::strcpy(record->description, "Leaves a deferred deletion at termination.");
    std::strcpy(record->shortName, "Deferring");
    return 1;
}
EXPORTED int16_t TonaroExtensionInvoke(void*) { return 0; }
EXPORTED void TonaroExtensionTerminate() { (new Witness())->deleteLater(); }
