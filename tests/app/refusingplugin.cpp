// A plug-in module whose main answers 0: the host must refuse it and call
// nothing else. Any later call would print to standard error.
#include <cstdint>
#include <cstdio>

#define EXPORTED extern "C" __attribute__((visibility("default")))

EXPORTED int16_t RefusingMain(void*, void*) __asm__("main");
EXPORTED int16_t RefusingMain(void*, void*) { return 0; }

namespace {
void Called(const char* name) { std::fprintf(stderr, "refusing plug-in called: %s\n", name); }
}  // namespace

EXPORTED uint32_t TonaroExtensionVersion(uint32_t) { Called("version"); return 0x0F000000; }
EXPORTED int16_t TonaroExtensionInit(void*, uint8_t*) { Called("init"); return 1; }
EXPORTED int16_t TonaroExtensionEnumerate(void*, int16_t, void*) { Called("enumerate"); return 0; }
EXPORTED int16_t TonaroExtensionInvoke(void*) { Called("invoke"); return 0; }
EXPORTED void TonaroExtensionTerminate() { Called("terminate"); }
