#include "tonaroframework/ui/fcctrldatalist.h"

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/ui/fcdatalistrow.h"
#include "tonaroframework/ui/fcuserwindow.h"
#include "tonaroframework/ui/fcwindowcontroller.h"

FCCtrlDataList::~FCCtrlDataList()
{
    // The native table must not read from a list that is gone.
    FCUserWindow* window = GetParent();
    if (window != nullptr && window->_GetController() != nullptr) window->_GetController()->TableViewDisconnect(this);
}

_FCWindowController* FCCtrlDataList::_AssureConnected()
{
    _FCWindowController* controller = _GetLoadedController();
    if (controller != nullptr) controller->TableViewAssureConnected(this);
    return controller;
}

// --- Handlers ---------------------------------------------------------------------

void FCCtrlDataList::HandleSelectChange(int) {}

void FCCtrlDataList::HandleUnselect() {}

void FCCtrlDataList::HandleCheckChange(int line, bool checked)
{
    if (FCDataListRow* row = GetItemAt(line)) row->SetCheck(checked);
}

void FCCtrlDataList::HandleDoubleClick() {}

// --- Columns ------------------------------------------------------------------------

bool FCCtrlDataList::AddColumn(const FCString* title, int width)
{
    auto* controller = _AssureConnected();
    if (controller == nullptr) return false;
    FCString empty;
    return controller->TableViewAddColumn(GetControlID(), title != nullptr ? title : &empty, width, _fontSize);
}

int FCCtrlDataList::GetColumnCount(bool withCheckColumn)
{
    auto* controller = _AssureConnected();
    return controller != nullptr ? controller->TableViewGetColumnCount(GetControlID(), withCheckColumn) : 0;
}

int FCCtrlDataList::GetColumnWidth(int column)
{
    auto* controller = _AssureConnected();
    return controller != nullptr ? controller->TableViewGetColumnWidth(GetControlID(), column) : -1;
}

void FCCtrlDataList::SetColumnTitle(int column, const FCString* title)
{
    auto* controller = _AssureConnected();
    if (controller == nullptr) return;
    FCString empty;
    controller->TableViewSetColumnTitle(GetControlID(), column, title != nullptr ? title : &empty);
}

void FCCtrlDataList::DeleteAllColumns()
{
    if (auto* controller = _AssureConnected()) controller->TableViewDeleteAllColumns(GetControlID());
}

void FCCtrlDataList::ExpandLastColumn()
{
    if (auto* controller = _AssureConnected()) controller->TableViewExpandLastColumn(GetControlID());
}

bool FCCtrlDataList::UseLeftCheckboxColumn()
{
    auto* controller = _AssureConnected();
    if (controller == nullptr) return false;
    if (!controller->TableViewHasCheckboxes(GetControlID())) controller->TableViewUseLeftCheckboxColumn(GetControlID());
    return true;
}

bool FCCtrlDataList::HasCheckboxes()
{
    auto* controller = _AssureConnected();
    return controller != nullptr && controller->TableViewHasCheckboxes(GetControlID());
}

// --- Rows ------------------------------------------------------------------------------

int FCCtrlDataList::AddRow(FCDataListRow* row)
{
    if (row == nullptr || row->GetDataList() != nullptr) return -1;
    const int index = _rows.GetCount();
    _AssureConnected();
    row->_Connect(this, index);
    // Pushes the checked state to the display (the line appears with the
    // redraw below).
    row->SetCheck(row->GetCheck());
    _rows.Add(row);
    Redraw();
    return index;
}

bool FCCtrlDataList::DeleteRow(int index)
{
    if (!_rows.ClearItemAt(index)) return false;
    Redraw();
    return true;
}

void FCCtrlDataList::ReconnectAll()
{
    for (int i = 0; i < _rows.GetCount(); ++i) {
        if (auto* row = GetItemAt(i)) row->_Connect(this, i);
    }
}

void FCCtrlDataList::DeleteAll()
{
    _rows.ClearAll();
    Redraw();
}

FCDataListRow* FCCtrlDataList::GetItemAt(int index) const
{
    return static_cast<FCDataListRow*>(_rows.GetItemAt(index));
}

// --- Selection and display ------------------------------------------------------------------

void FCCtrlDataList::SelectLine(int line, bool scroll)
{
    if (auto* controller = _AssureConnected()) controller->TableViewSelectLine(GetControlID(), line, scroll);
}

int FCCtrlDataList::GetSelectedLine()
{
    auto* controller = _AssureConnected();
    return controller != nullptr ? controller->TableViewGetSelectedLine(GetControlID()) : -1;
}

void FCCtrlDataList::ScrollToTop()
{
    if (_rows.GetCount() == 0) return;
    if (auto* controller = _AssureConnected()) controller->TableViewScrollToTop(GetControlID());
}

void FCCtrlDataList::Redraw()
{
    if (auto* controller = _AssureConnected()) controller->TableViewRedraw(GetControlID());
}
