// Visibility of the platform layer's functions: exported from the shared
// library tonaroplatform, imported by the engine and by plug-ins.
#pragma once

#if defined(TONARO_BUILDING_PLATFORM)
#define TONARO_PLATFORM_API __attribute__((visibility("default")))
#else
#define TONARO_PLATFORM_API
#endif
