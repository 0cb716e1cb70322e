#include "host/app/validator/pluginmodule.h"

#include <dlfcn.h>

namespace tonaroapp::validator {

namespace {

template <typename Fn>
Fn Resolve(void* handle, const char* name)
{
    return reinterpret_cast<Fn>(dlsym(handle, name));
}

}  // namespace

PluginModule::~PluginModule() { Close(); }

bool PluginModule::Open(const std::string& path, std::string* problem)
{
    Close();
    dlerror();  // clears an earlier message
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* why = dlerror();
        if (problem != nullptr) *problem = why != nullptr ? why : "the module cannot be loaded";
        return false;
    }
    entries_.main = Resolve<MainFn>(handle_, "main");
    entries_.version = Resolve<VersionFn>(handle_, "TonaroExtensionVersion");
    entries_.init = Resolve<InitFn>(handle_, "TonaroExtensionInit");
    entries_.enumerate8 = Resolve<EnumerateFn>(handle_, "TonaroExtensionEnumerate");
    entries_.enumerate16 = Resolve<EnumerateFn>(handle_, "TonaroExtensionEnumerate_UTF16");
    entries_.invoke = Resolve<InvokeFn>(handle_, "TonaroExtensionInvoke");
    entries_.menuStatus = Resolve<MenuStatusFn>(handle_, "TonaroExtensionGetMenuStatus");
    entries_.terminate = Resolve<TerminateFn>(handle_, "TonaroExtensionTerminate");
    entries_.extVersion = Resolve<VersionFn>(handle_, "Ext_getversion");
    entries_.extInit = Resolve<InitFn>(handle_, "Ext_init");
    entries_.extEnumerate8 = Resolve<EnumerateFn>(handle_, "Ext_enumerate");
    entries_.extEnumerate16 = Resolve<EnumerateFn>(handle_, "Ext_enumerate_UTF16");
    entries_.extInvoke = Resolve<InvokeFn>(handle_, "Ext_invoke");
    entries_.extMenuStatus = Resolve<MenuStatusFn>(handle_, "Ext_getmenustatus");
    entries_.extTerminate = Resolve<TerminateFn>(handle_, "Ext_terminate");
    return true;
}

void PluginModule::Close()
{
    if (handle_ != nullptr) dlclose(handle_);
    handle_ = nullptr;
    entries_ = EntryPoints{};
}

std::vector<std::string> PluginModule::MissingEntryPoints() const
{
    std::vector<std::string> missing;
    const EntryPoints& e = entries_;
    if (e.main == nullptr) missing.push_back("main");
    if (e.version == nullptr) missing.push_back("TonaroExtensionVersion");
    if (e.init == nullptr) missing.push_back("TonaroExtensionInit");
    if (e.enumerate8 == nullptr && e.enumerate16 == nullptr)
        missing.push_back("TonaroExtensionEnumerate or TonaroExtensionEnumerate_UTF16");
    if (e.invoke == nullptr) missing.push_back("TonaroExtensionInvoke");
    if (e.terminate == nullptr) missing.push_back("TonaroExtensionTerminate");
    // Every first name that is exported needs its second name.
    auto pair = [&](bool first, bool second, const char* name) {
        if (first && !second) missing.push_back(name);
    };
    pair(e.version != nullptr, e.extVersion != nullptr, "Ext_getversion");
    pair(e.init != nullptr, e.extInit != nullptr, "Ext_init");
    pair(e.enumerate8 != nullptr, e.extEnumerate8 != nullptr, "Ext_enumerate");
    pair(e.enumerate16 != nullptr, e.extEnumerate16 != nullptr, "Ext_enumerate_UTF16");
    pair(e.invoke != nullptr, e.extInvoke != nullptr, "Ext_invoke");
    pair(e.menuStatus != nullptr, e.extMenuStatus != nullptr, "Ext_getmenustatus");
    pair(e.terminate != nullptr, e.extTerminate != nullptr, "Ext_terminate");
    return missing;
}

}  // namespace tonaroapp::validator
