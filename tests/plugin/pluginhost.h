// A test host for the Change Pitches plug-in: opens the built module by path,
// calls its entry points as a host does, and finds the dialog's real widgets
// (the visible top-level window titled "Change Pitches"; controls by tag).
// The engine is linked into the test program, so the plug-in binds to it.
#pragma once

#include <dlfcn.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QCoreApplication>
#include <QTableView>
#include <QWidget>

#include "host/engine/engine.h"
#include "zpchangepitches/plugin/tonaroextension.h"

class PluginHost {
public:
    PluginHost() { Load(); }
    ~PluginHost() { Unload(); }
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    bool IsLoaded() const { return handle != nullptr; }

    // The host's start-up: main, version, init, both enumerations.
    bool Start(uint32_t hostVersion = 0x1A000000)
    {
        int a = 0;
        int b = 0;
        if (main(&a, &b) != 1) return false;
        if (version(hostVersion) != 0x0F000000) return false;
        uint8_t flags = 0;
        if (init(nullptr, &flags) != 1 || (flags & 1) == 0) return false;
        TonaroExtensionMenuRecord record {};
        for (int16_t i = 0; enumerate(nullptr, i, &record) != 0; ++i) {}
        return true;
    }
    void Invoke() { invoke(&hostWindowMarker); Flush(); }
    void Terminate() { terminate(); Flush(); }

    void Load()
    {
        handle = dlopen(ZPCHANGEPITCHES_MODULE, RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) return;
        main = Resolve<TonaroPluginMainFn>("main");
        version = Resolve<TonaroExtensionVersionFn>("TonaroExtensionVersion");
        init = Resolve<TonaroExtensionInitFn>("TonaroExtensionInit");
        enumerate = Resolve<TonaroExtensionEnumerateFn>("TonaroExtensionEnumerate");
        enumerateUTF16 = Resolve<TonaroExtensionEnumerateUTF16Fn>("TonaroExtensionEnumerate_UTF16");
        invoke = Resolve<TonaroExtensionInvokeFn>("TonaroExtensionInvoke");
        menuStatus = Resolve<TonaroExtensionGetMenuStatusFn>("TonaroExtensionGetMenuStatus");
        terminate = Resolve<TonaroExtensionTerminateFn>("TonaroExtensionTerminate");
    }
    void Unload()
    {
        if (handle == nullptr) return;
        Flush();
        dlclose(handle);
        handle = nullptr;
    }
    template <typename Fn>
    Fn Resolve(const char* name) { return reinterpret_cast<Fn>(dlsym(handle, name)); }

    // Runs pending events, native windows deleted later included.
    static void Flush()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The visible dialogs (there should be at most one).
    static QList<QWidget*> Dialogs()
    {
        QList<QWidget*> found;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->isVisible() && widget->windowTitle() == "Change Pitches") found << widget;
        return found;
    }
    static QWidget* Dialog()
    {
        const auto dialogs = Dialogs();
        return dialogs.size() == 1 ? dialogs.front() : nullptr;
    }
    template <typename Widget = QWidget>
    static Widget* Control(int tag)
    {
        QWidget* dialog = Dialog();
        if (dialog == nullptr) return nullptr;
        for (QWidget* child : dialog->findChildren<QWidget*>())
            if (child->property("tag").isValid() && child->property("tag").toInt() == tag)
                return qobject_cast<Widget*>(child);
        return nullptr;
    }

    void* handle = nullptr;
    int hostWindowMarker = 0;
    TonaroPluginMainFn main = nullptr;
    TonaroExtensionVersionFn version = nullptr;
    TonaroExtensionInitFn init = nullptr;
    TonaroExtensionEnumerateFn enumerate = nullptr;
    TonaroExtensionEnumerateUTF16Fn enumerateUTF16 = nullptr;
    TonaroExtensionInvokeFn invoke = nullptr;
    TonaroExtensionGetMenuStatusFn menuStatus = nullptr;
    TonaroExtensionTerminateFn terminate = nullptr;
};
