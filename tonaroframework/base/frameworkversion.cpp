#include "tonaroframework/base/frameworkversion.h"

namespace {
// The host's version word; the host's version call replaces it.
uint32_t RunningTonaroVersion = 0x12000000;
}  // namespace

void SetTonaroFrameworkVersion(uint32_t version)
{
    RunningTonaroVersion = version;
}

uint32_t GetTonaroFrameworkVersion()
{
    return RunningTonaroVersion;
}
