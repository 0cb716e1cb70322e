// Loading, calling and unloading plug-in modules, as the host does.
//
// A plug-in is a shared library that exports the entry points "main",
// "TonaroExtensionVersion", "TonaroExtensionInit", "TonaroExtensionEnumerate"
// (and/or "TonaroExtensionEnumerate_UTF16"), "TonaroExtensionInvoke" and
// "TonaroExtensionTerminate". The engine must already be loaded into the
// process (the executable links it): plug-ins bind to it by name.
//
// Everything runs on the main thread. A PluginHost owns the modules it
// loaded; its destructor (or UnloadAll) terminates and unloads each of them,
// delivering between the two the events Qt still holds for the plug-in's
// objects (posted events and deferred deletions), whose code goes with the
// module.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tonaroapp {

// The version word the host reports to each plug-in.
constexpr uint32_t kHostVersionWord = 0x12000000;

// One menu item a plug-in enumerated.
struct PluginMenuItem {
    int index = 0;              // the enumeration index, passed back to nobody
    std::string menuText;       // "ZP Change Pitches..."
    std::string description;
    std::string shortName;
};

// What the host passes as a window reference to an invocation. The plug-in
// keeps the pointer and never dereferences it; it lives as long as the host.
struct HostWindowReference {
    const char* name = "tonaro";
};

class LoadedPlugin;

class PluginHost {
public:
    PluginHost();
    ~PluginHost();  // UnloadAll()
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // The folder next to the running executable ("" when it cannot be told).
    static std::string DefaultPluginFolder();

    // Loads every plug-in module of folder: files ending in ".so" whose names
    // do not start with "lib" (those are libraries, not plug-ins). A module
    // that is not a plug-in, or whose main answers 0, is refused: its reason
    // is added to *problems (when not null) and it is unloaded. Answers the
    // number of plug-ins loaded (0 also when the folder cannot be read, which
    // is noted as a problem).
    int LoadFolder(const std::string& folder, std::vector<std::string>* problems);

    // Loads one module by path, as LoadFolder does for each file. True when
    // it was accepted; otherwise *problem (when not null) tells why.
    bool LoadPlugin(const std::string& path, std::string* problem);

    int PluginCount() const;
    // The file name of plug-in i (0-based); "" when out of range.
    std::string PluginFileName(int plugin) const;
    // The menu items of plug-in i; empty when out of range.
    std::vector<PluginMenuItem> MenuItems(int plugin) const;

    // Finds the plug-in offering a menu item with this text. Answers the
    // plug-in index, or -1.
    int FindMenuItem(const std::string& menuText) const;

    // Invokes plug-in i with the host's window reference. False when out of
    // range.
    bool Invoke(int plugin);

    // Terminates every plug-in (in reverse order of loading) and unloads it.
    // Safe to call more than once.
    void UnloadAll();

private:
    HostWindowReference window_;
    std::vector<std::unique_ptr<LoadedPlugin>> plugins_;
};

}  // namespace tonaroapp
