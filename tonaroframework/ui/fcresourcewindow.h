// A framework window whose native window is loaded from a layout resource.
//
// The resource id names the layout (the Qt layer loads ":/tonaro/layouts/
// <id in decimal>.ui"). The constructor creates the platform controller
// through the registered factory (see fcwindowcontroller.h); the window owns
// it. A dialog derives from this class, creates its control objects once
// (AddControl), overrides the handlers it needs and shows itself with
// ShowModeless or ExecuteModal. Closing destroys only the native window: the
// object and its controls survive and can be shown again (InitWindow then
// runs again).
#pragma once

#include <cstdint>

#include "tonaroframework/ui/fcuserwindow.h"

class FCResourceWindow : public FCUserWindow {
public:
    explicit FCResourceWindow(int resourceId);
    // Destroys the native window, then the controller, then (through the
    // base) the controls.
    ~FCResourceWindow() override;

    int GetResourceID() const { return _resourceId; }

    // The parent given to the last ShowModeless/ExecuteModal (an opaque host
    // window reference or an FCUserWindow*); stored, not used, never owned.
    void* GetParentWindow() const { return _parentWindow; }

    // When the native window is loaded: show it and bring it to the front.
    // Otherwise the controller loads and shows it (and calls InitWindow).
    // Answers whether the window is loaded afterwards (false without a
    // platform or without the layout).
    bool ShowModeless(void* parentWindow = nullptr);

    // Runs the window modally (the result code is cleared first). Answers the
    // result code when the run ended through the window's closing, else 0
    // (also when the window was loaded already).
    int ExecuteModal(FCUserWindow* parent = nullptr);

    // Sets closing, then destroys the native window.
    void CloseWindow() override;

    // When the native window is loaded, the controller destroys it.
    void DestroyWindow();

private:
    int32_t _resourceId = 0;
    void* _parentWindow = nullptr;
};
