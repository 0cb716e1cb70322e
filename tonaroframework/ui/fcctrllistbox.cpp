#include "tonaroframework/ui/fcctrllistbox.h"

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/fcstrings.h"
#include "tonaroframework/ui/fcdatalistrow.h"
#include "tonaroframework/ui/fcwindowcontroller.h"

void FCCtrlListBox::AddString(const FCString* text)
{
    if (GetColumnCount(true) == 0) {
        auto* controller = _AssureConnected();
        if (controller != nullptr) {
            FCString untitled;
            AddColumn(&untitled, 100);
            ExpandLastColumn();
            controller->TableViewSetNoHeader(GetControlID());
        }
    }
    auto* row = new FCDataListRow();
    FCString empty;
    row->AddCopy(text != nullptr ? text : &empty);
    AddRow(row);
}

void FCCtrlListBox::SetStrings(const FCStrings* list)
{
    DeleteAll();
    if (list == nullptr) return;
    for (int i = 0; i < list->GetCount(); ++i) AddString(list->GetItemAt(i));
}

bool FCCtrlListBox::GetItemText(int index, FCString* text) const
{
    FCDataListRow* row = GetItemAt(index);
    if (row == nullptr || text == nullptr) return false;
    text->SetString(row->GetItemAt(0));
    return true;
}

bool FCCtrlListBox::SetItemText(int index, const FCString* text)
{
    FCDataListRow* row = GetItemAt(index);
    if (row == nullptr) return false;
    if (row->GetItemAt(0) == nullptr) {
        row->ClearAll();
        row->AddCString("");
    }
    row->GetItemAt(0)->SetString(text);
    Redraw();
    return true;
}

bool FCCtrlListBox::DeleteItem(int index)
{
    if (!DeleteRow(index)) return false;
    ReconnectAll();
    return true;
}

void FCCtrlListBox::ClearSelection()
{
    if (auto* controller = _AssureConnected()) controller->TableViewClearSelection(GetControlID());
}
