#include "host/app/pluginhost.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <QCoreApplication>
#include <QEvent>
#include <QString>
#include <QThread>

namespace tonaroapp {

namespace {

// Entry point signatures, as a plug-in exports them.
using MainFn = int16_t (*)(void*, void*);
using VersionFn = uint32_t (*)(uint32_t);
using InitFn = int16_t (*)(void*, uint8_t*);
using EnumerateFn = int16_t (*)(void*, int16_t, void*);
using InvokeFn = int16_t (*)(void*);
using TerminateFn = void (*)();

// The enumeration records (8-bit and UTF-16 forms).
struct MenuRecord8 {
    char menuText[64];
    char description[64];
    char shortName[64];
    int32_t reserved;
};
struct MenuRecord16 {
    uint16_t menuText[128];
    uint16_t description[128];
    uint16_t shortName[128];
    int32_t reserved;
};

// No plug-in offers more items than this; an enumeration that never answers
// 0 is cut off here.
constexpr int16_t kMaxMenuItems = 256;

std::string FromField8(const char (&field)[64])
{
    return std::string(field, strnlen(field, sizeof field));
}

// UTF-16 code units up to the first 0 (or the end of the field) as UTF-8;
// a lone surrogate becomes U+FFFD.
std::string FromField16(const uint16_t (&field)[128])
{
    size_t length = 0;
    while (length < 128 && field[length] != 0) ++length;
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(field), static_cast<qsizetype>(length))
        .toStdString();
}

// Delivers what Qt still holds for objects that may be the plug-in's: events
// posted to them and their deferred deletions (deleteLater), which would
// otherwise run the plug-in's code after it is unloaded. Deleting objects
// may post more; a few rounds see them all. Nothing without an application
// or off its thread.
void DeliverPostedEvents()
{
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr || QThread::currentThread() != application->thread()) return;
    for (int round = 0; round < 4; ++round) {
        QCoreApplication::sendPostedEvents(nullptr, 0);
        // Deferred deletions are held back for the event loop that asked
        // for them unless asked for by name.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

template <typename Fn>
Fn Resolve(void* handle, const char* name)
{
    return reinterpret_cast<Fn>(dlsym(handle, name));
}

}  // namespace

// One loaded module: its handle, entry points and menu items.
class LoadedPlugin {
public:
    std::string fileName;
    void* handle = nullptr;
    InvokeFn invoke = nullptr;
    TerminateFn terminate = nullptr;
    std::vector<PluginMenuItem> items;
    uint8_t initFlags = 0;

    ~LoadedPlugin()
    {
        if (terminate != nullptr) terminate();
        DeliverPostedEvents();
        if (handle != nullptr) dlclose(handle);
    }
};

PluginHost::PluginHost() = default;

PluginHost::~PluginHost() { UnloadAll(); }

std::string PluginHost::DefaultPluginFolder()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return self.parent_path().string();
}

int PluginHost::LoadFolder(const std::string& folder, std::vector<std::string>* problems)
{
    std::error_code error;
    std::vector<std::string> candidates;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() > 3 && name.ends_with(".so") && !name.starts_with("lib")) candidates.push_back(it->path().string());
    }
    if (error) {
        if (problems != nullptr) problems->push_back("cannot read the plug-in folder " + folder + ": " + error.message());
        return 0;
    }
    // A fixed order, so that menus and messages are the same on every run.
    std::sort(candidates.begin(), candidates.end());
    int loaded = 0;
    for (const std::string& path : candidates) {
        std::string problem;
        if (LoadPlugin(path, &problem)) {
            ++loaded;
        } else if (problems != nullptr) {
            problems->push_back(problem);
        }
    }
    return loaded;
}

bool PluginHost::LoadPlugin(const std::string& path, std::string* problem)
{
    const std::string fileName = std::filesystem::path(path).filename().string();
    auto refuse = [&](const std::string& why) {
        if (problem != nullptr) *problem = "plug-in " + fileName + " refused: " + why;
        return false;
    };
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = dlerror();
        return refuse(why != nullptr ? why : "it cannot be loaded");
    }
    auto plugin = std::make_unique<LoadedPlugin>();
    plugin->fileName = fileName;
    plugin->handle = handle;

    auto main = Resolve<MainFn>(handle, "main");
    auto version = Resolve<VersionFn>(handle, "TonaroExtensionVersion");
    auto init = Resolve<InitFn>(handle, "TonaroExtensionInit");
    auto enumerate8 = Resolve<EnumerateFn>(handle, "TonaroExtensionEnumerate");
    auto enumerate16 = Resolve<EnumerateFn>(handle, "TonaroExtensionEnumerate_UTF16");
    plugin->invoke = Resolve<InvokeFn>(handle, "TonaroExtensionInvoke");
    auto terminate = Resolve<TerminateFn>(handle, "TonaroExtensionTerminate");
    if (main == nullptr || version == nullptr || init == nullptr || plugin->invoke == nullptr ||
        terminate == nullptr || (enumerate8 == nullptr && enumerate16 == nullptr)) {
        return refuse("it lacks the plug-in entry points");  // unloaded by plugin's destructor
    }
    // main gets two non-null values: the host's window reference and the
    // module handle. A plug-in that cannot bind answers 0 and is unloaded
    // without further calls.
    if (main(&window_, handle) == 0) return refuse("its main answered 0 (it could not bind to the engine)");
    plugin->terminate = terminate;  // from here on it must be terminated
    version(kHostVersionWord);
    init(nullptr, &plugin->initFlags);

    if (enumerate8 != nullptr) {
        for (int16_t i = 0; i < kMaxMenuItems; ++i) {
            MenuRecord8 record{};
            if (enumerate8(nullptr, i, &record) == 0) break;
            plugin->items.push_back({i, FromField8(record.menuText), FromField8(record.description),
                                     FromField8(record.shortName)});
        }
    }
    if (enumerate16 != nullptr) {
        // The UTF-16 texts win over the 8-bit ones for the same index.
        for (int16_t i = 0; i < kMaxMenuItems; ++i) {
            MenuRecord16 record{};
            if (enumerate16(nullptr, i, &record) == 0) break;
            PluginMenuItem item{i, FromField16(record.menuText), FromField16(record.description),
                                FromField16(record.shortName)};
            if (static_cast<size_t>(i) < plugin->items.size()) {
                plugin->items[static_cast<size_t>(i)] = item;
            } else {
                plugin->items.push_back(item);
            }
        }
    }
    plugins_.push_back(std::move(plugin));
    return true;
}

int PluginHost::PluginCount() const { return static_cast<int>(plugins_.size()); }

std::string PluginHost::PluginFileName(int plugin) const
{
    if (plugin < 0 || plugin >= PluginCount()) return {};
    return plugins_[static_cast<size_t>(plugin)]->fileName;
}

std::vector<PluginMenuItem> PluginHost::MenuItems(int plugin) const
{
    if (plugin < 0 || plugin >= PluginCount()) return {};
    return plugins_[static_cast<size_t>(plugin)]->items;
}

int PluginHost::FindMenuItem(const std::string& menuText) const
{
    for (int p = 0; p < PluginCount(); ++p) {
        for (const PluginMenuItem& item : plugins_[static_cast<size_t>(p)]->items)
            if (item.menuText == menuText) return p;
    }
    return -1;
}

bool PluginHost::Invoke(int plugin)
{
    if (plugin < 0 || plugin >= PluginCount()) return false;
    plugins_[static_cast<size_t>(plugin)]->invoke(&window_);
    return true;
}

void PluginHost::UnloadAll()
{
    while (!plugins_.empty()) plugins_.pop_back();  // terminates and unloads
}

}  // namespace tonaroapp
