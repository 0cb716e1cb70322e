#include "tonaroframework/ui/fcresourcewindow.h"

#include "tonaroframework/ui/fcwindowcontroller.h"

FCResourceWindow::FCResourceWindow(int resourceId) : _resourceId(resourceId)
{
    _SetController(_FCCreateWindowController(this, resourceId));
}

FCResourceWindow::~FCResourceWindow()
{
    DestroyWindow();
    _FCWindowController* controller = _GetController();
    _SetController(nullptr);
    delete controller;
}

bool FCResourceWindow::ShowModeless(void* parentWindow)
{
    _parentWindow = parentWindow;
    _FCWindowController* controller = _GetController();
    if (controller == nullptr) return false;
    _SetModal(false);
    if (controller->IsWindowLoaded()) {
        controller->ShowWindow(true);
        controller->ActivateWindow();
    } else {
        controller->ShowModeless();
    }
    return controller->IsWindowLoaded();
}

int FCResourceWindow::ExecuteModal(FCUserWindow* parent)
{
    _parentWindow = parent;
    _FCWindowController* controller = _GetController();
    if (controller == nullptr || controller->IsWindowLoaded()) return 0;
    SetResultCode(RESULT_NONE);
    _SetModal(true);
    const bool closed = controller->ExecuteModal(parent);
    _SetModal(false);
    return closed ? GetResultCode() : 0;
}

void FCResourceWindow::CloseWindow()
{
    _SetClosing(true);
    DestroyWindow();
}

void FCResourceWindow::DestroyWindow()
{
    _FCWindowController* controller = _GetController();
    if (controller != nullptr && controller->IsWindowLoaded()) controller->DestroyWindow();
}
