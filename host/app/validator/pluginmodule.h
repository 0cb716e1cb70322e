// One plug-in module opened by path for validation: its handle and every
// entry point it exports, resolved by name, without calling any of them.
//
// Unlike PluginHost, a PluginModule never calls a plug-in by itself (not
// even the termination on unload): the validator decides every call, in
// legal and in odd orders. Main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tonaroapp::validator {

// Entry point signatures, as a plug-in exports them.
using MainFn = int16_t (*)(void*, void*);
using VersionFn = uint32_t (*)(uint32_t);
using InitFn = int16_t (*)(void*, uint8_t*);
using EnumerateFn = int16_t (*)(void*, int16_t, void*);
using InvokeFn = int16_t (*)(void*);
using MenuStatusFn = int16_t (*)();
using TerminateFn = void (*)();

// Sizes of the two enumeration records: three 64-byte texts (or three
// 128-unit UTF-16 texts) and a 32-bit field.
constexpr size_t kMenuRecord8Size = 3 * 64 + 4;
constexpr size_t kMenuRecord16Size = 3 * 128 * 2 + 4;

// The entry points of a module; null for each one it does not export.
struct EntryPoints {
    MainFn main = nullptr;
    VersionFn version = nullptr;
    InitFn init = nullptr;
    EnumerateFn enumerate8 = nullptr;
    EnumerateFn enumerate16 = nullptr;
    InvokeFn invoke = nullptr;
    MenuStatusFn menuStatus = nullptr;
    TerminateFn terminate = nullptr;
    // The second names, which must forward to the ones above.
    VersionFn extVersion = nullptr;
    InitFn extInit = nullptr;
    EnumerateFn extEnumerate8 = nullptr;
    EnumerateFn extEnumerate16 = nullptr;
    InvokeFn extInvoke = nullptr;
    MenuStatusFn extMenuStatus = nullptr;
    TerminateFn extTerminate = nullptr;
};

class PluginModule {
public:
    PluginModule() = default;
    ~PluginModule();  // Close()
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // Opens the module at path (an absolute path; dlopen would search the
    // library path for a bare name) and resolves its entry points. False,
    // with the loader's reason in *problem (when not null), when it cannot
    // be opened. Closes a module opened before.
    bool Open(const std::string& path, std::string* problem);
    // Unloads the module (dlclose) without calling it. Safe when closed.
    void Close();
    bool IsOpen() const { return handle_ != nullptr; }

    // The loader handle, which the host passes to main; null when closed.
    void* Handle() const { return handle_; }
    const EntryPoints& Entries() const { return entries_; }

    // The names of the required entry points that the module lacks, and of
    // the second (Ext_) names missing beside exported first names. Empty for
    // a complete plug-in.
    std::vector<std::string> MissingEntryPoints() const;

private:
    void* handle_ = nullptr;
    EntryPoints entries_;
};

}  // namespace tonaroapp::validator
