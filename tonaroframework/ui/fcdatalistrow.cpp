#include "tonaroframework/ui/fcdatalistrow.h"

#include "tonaroframework/ui/fcctrldatalist.h"
#include "tonaroframework/ui/fcuserwindow.h"
#include "tonaroframework/ui/fcwindowcontroller.h"

FCDataListRow::~FCDataListRow() = default;

void FCDataListRow::SetCheck(bool checked)
{
    _checked = checked;
    if (_list == nullptr || _index < 0) return;
    FCUserWindow* window = _list->GetParent();
    _FCWindowController* controller = window != nullptr ? window->_GetLoadedController() : nullptr;
    if (controller == nullptr) return;
    if (controller->TableViewHasCheckboxes(_list->GetControlID()))
        controller->TableViewUpdateCheckbox(_list->GetControlID(), _index);
}

void FCDataListRow::_Connect(FCCtrlDataList* list, int index)
{
    _list = list;
    _index = index;
}
