#include "tonaroframework/qt/keeploaded_qt.h"

#include <dlfcn.h>

bool KeepLibraryLoaded(const void* address)
{
    Dl_info info{};
    if (address == nullptr || dladdr(address, &info) == 0 || info.dli_fname == nullptr) return false;
    // Opening a loaded library again with RTLD_NODELETE marks it for good;
    // the extra reference this takes is given back at once.
    void* handle = dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    if (handle == nullptr) return false;
    dlclose(handle);
    return true;
}
