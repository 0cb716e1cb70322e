#include "zpchangepitches/dialog/fcmydatalist.h"

#include "tonaroframework/base/fcstring.h"
#include "zpchangepitches/dialog/fcchangepitcheswindow.h"
#include "zpchangepitches/dialog/fcmydatalistrow.h"

FCMyDataList::FCMyDataList(int id) : FCCtrlDataList(id)
{
    SetColumnFontSize(12);
}

FCMyDataList::~FCMyDataList() = default;

FCChangePitchesWindow* FCMyDataList::_Dialog() const
{
    return dynamic_cast<FCChangePitchesWindow*>(GetParent());
}

FCMyDataListRow* FCMyDataList::GetRowAt(int index) const
{
    return dynamic_cast<FCMyDataListRow*>(GetItemAt(index));
}

void FCMyDataList::HandleSelectChange(int line)
{
    if (FCChangePitchesWindow* dialog = _Dialog()) {
        dialog->EnableDeleteButton(true);
        dialog->DisplaySelectedRowData(line);
    }
}

void FCMyDataList::HandleUnselect()
{
    if (FCChangePitchesWindow* dialog = _Dialog()) dialog->EnableDeleteButton(GetSelectedLine() != -1);
}

void FCMyDataList::HandleCheckChange(int line, bool checked)
{
    FCCtrlDataList::HandleCheckChange(line, checked);
    if (FCChangePitchesWindow* dialog = _Dialog()) dialog->EnableChangeCheckedButton();
}

void FCMyDataList::HandleDoubleClick()
{
    CheckAllRows(!HasSomethingChecked());
    if (FCChangePitchesWindow* dialog = _Dialog()) dialog->EnableChangeCheckedButton();
}

void FCMyDataList::CheckAllRows(bool checked)
{
    for (int i = 0; i < GetCount(); ++i) {
        if (FCDataListRow* row = GetItemAt(i)) row->SetCheck(checked);
    }
}

bool FCMyDataList::HasSomethingChecked() const
{
    for (int i = 0; i < GetCount(); ++i) {
        const FCDataListRow* row = GetItemAt(i);
        if (row != nullptr && row->GetCheck()) return true;
    }
    return false;
}

FCMyDataListRow* FCMyDataList::FindFromString(const FCString* text) const
{
    if (text == nullptr) return nullptr;
    for (int i = 0; i < GetCount(); ++i) {
        FCMyDataListRow* row = GetRowAt(i);
        if (row != nullptr && row->GetFromString() != nullptr && row->GetFromString()->IsEqualString(text))
            return row;
    }
    return nullptr;
}
