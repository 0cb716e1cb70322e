#include "tonaropdk/bridge/hostfunction.h"

#include <dlfcn.h>

#include <atomic>

#include "tonaropdk/bridge/hostbinding.h"

namespace tonaro::bridge {

namespace {
std::atomic<int> gLookupCount{0};
}  // namespace

void* LookUpHostFunction(const char* name)
{
    gLookupCount.fetch_add(1, std::memory_order_relaxed);
    TonaroBundleRef bundle = GetTonaroBundleRef();
    if (bundle == nullptr || name == nullptr) return nullptr;
    return dlsym(bundle, name);
}

int BridgeLookupCount()
{
    return gLookupCount.load(std::memory_order_relaxed);
}

}  // namespace tonaro::bridge
