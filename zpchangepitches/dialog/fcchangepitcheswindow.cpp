#include "zpchangepitches/dialog/fcchangepitcheswindow.h"

#include <algorithm>
#include <string>
#include <vector>

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/ui/fcctrlbutton.h"
#include "tonaroframework/ui/fcctrlcheckbox.h"
#include "tonaroframework/ui/fcctrledit.h"
#include "tonaroframework/ui/fcctrlline.h"
#include "tonaroframework/ui/fcctrlpopup.h"
#include "tonaroframework/ui/fcctrlstatic.h"
#include "tonaroframework/ui/fcui.h"
#include "tonaroframework/undo/fcundoblock.h"
#include "zpchangepitches/changer/fcpitchchangerblockhandler.h"
#include "zpchangepitches/dialog/fcmydatalist.h"
#include "zpchangepitches/dialog/fcmydatalistrow.h"
#include "zpchangepitches/model/fcpitchchangelists.h"
#include "zpchangepitches/model/fcpitchchangenodes.h"
#include "zpchangepitches/storage/globaldialogsettings.h"
#include "zpchangepitches/storage/prefsstorage.h"

namespace {

constexpr const char* kDirectionItems[] = {"Up", "Down", "Closest"};

// Asks before + name + after (the name as it stands, any characters);
// true for Yes.
bool AskYesNo(FCUI* ui, const char* before, const FCString* name, const char* after, const char* title)
{
    FCString message(before);
    message.AppendString(name);
    message.AppendCString(after);
    FCString titleText(title);
    return ui->AlertYesNo(&message, &titleText) == FCUI_ALERTRESULT_YES;
}

// "2", "2 and 4", "2, 4 and 7"; past 20 numbers the rest are counted.
std::string NumberList(const std::vector<int>& numbers)
{
    constexpr size_t kMostShown = 20;
    const size_t shown = std::min(numbers.size(), kMostShown);
    std::string text;
    for (size_t i = 0; i < shown; ++i) {
        if (i > 0) text += (i + 1 == shown && shown == numbers.size()) ? " and " : ", ";
        text += std::to_string(numbers[i]);
    }
    if (shown < numbers.size()) text += " and " + std::to_string(numbers.size() - shown) + " more";
    return text;
}

template <typename Control>
Control* Link(FCChangePitchesWindow* window, Control* control)
{
    window->AddControl(control);
    return control;
}

}  // namespace

FCChangePitchesWindow::FCChangePitchesWindow(FCUI* ui) : FCResourceWindow(kChangePitchesLayoutID)
{
    LoadUserPrefs();
    LoadPitchLists();
    _ui = ui;
}

FCChangePitchesWindow::~FCChangePitchesWindow() = default;

void FCChangePitchesWindow::LinkControls()
{
    if (_okButton != nullptr) return;
    _okButton = Link(this, new FCCtrlButton(CPCTRL_OK));
    _okButton->SetActionCode(FCControl::ACTION_OK);
    _closeButton = Link(this, new FCCtrlButton(CPCTRL_CLOSE));
    _closeButton->SetActionCode(FCControl::ACTION_CLOSE);
    _fromLabel = Link(this, new FCCtrlStatic(CPCTRL_FROM_LABEL));
    _fromEdit = Link(this, new FCCtrlEdit(CPCTRL_FROM));
    _toLabel = Link(this, new FCCtrlStatic(CPCTRL_TO_LABEL));
    _toEdit = Link(this, new FCCtrlEdit(CPCTRL_TO));
    _directionLabel = Link(this, new FCCtrlStatic(CPCTRL_DIRECTION_LABEL));
    _directionPopup = Link(this, new FCCtrlPopup(CPCTRL_DIRECTION));
    _changeCheckedButton = Link(this, new FCCtrlButton(CPCTRL_CHANGE_CHECKED));
    _addButton = Link(this, new FCCtrlButton(CPCTRL_ADD));
    _addInverseButton = Link(this, new FCCtrlButton(CPCTRL_ADD_INVERSE));
    _deleteButton = Link(this, new FCCtrlButton(CPCTRL_DELETE));
    _modifyButton = Link(this, new FCCtrlButton(CPCTRL_MODIFY));
    _soundingPitchCheck = Link(this, new FCCtrlCheckbox(CPCTRL_SOUNDING_PITCH));
    _respaceCheck = Link(this, new FCCtrlCheckbox(CPCTRL_RESPACE));
    _list = Link(this, new FCMyDataList(CPCTRL_LIST));
    _savedLine = Link(this, new FCCtrlLine(CPCTRL_SAVED_LINE));
    _savedLabel = Link(this, new FCCtrlStatic(CPCTRL_SAVED_LABEL));
    _savedListsPopup = Link(this, new FCCtrlPopup(CPCTRL_SAVED_LISTS));
    _useListButton = Link(this, new FCCtrlButton(CPCTRL_USE_LIST));
    _deleteListButton = Link(this, new FCCtrlButton(CPCTRL_DELETE_LIST));
    _listNameEdit = Link(this, new FCCtrlEdit(CPCTRL_LIST_NAME));
    _saveListButton = Link(this, new FCCtrlButton(CPCTRL_SAVE_LIST));
}

bool FCChangePitchesWindow::ShowWithFocus(void* hostWindow)
{
    const bool shown = ShowModeless(hostWindow);
    if (shown && _fromEdit != nullptr) _fromEdit->SetFocus();
    return shown;
}

// ---- Preferences and saved lists -------------------------------------------

void FCChangePitchesWindow::LoadUserPrefs() { ::LoadUserPrefs(this); }
bool FCChangePitchesWindow::StoreUserPrefs() { return ::StoreUserPrefs(this); }
void FCChangePitchesWindow::LoadPitchLists() { ::LoadPitchLists(); }
bool FCChangePitchesWindow::SavePitchLists() { return ::SavePitchLists(); }

// ---- Window operations -------------------------------------------------------

void FCChangePitchesWindow::InitWindow()
{
    FCResourceWindow::InitWindow();
    if (_list == nullptr) return;  // LinkControls has not run

    const int screenHeight = _ui != nullptr ? _ui->GetScreenHeight() : 0;
    const int maxHeight = 8 * screenHeight / 10;
    if (maxHeight > GetMinimumHeight()) SetMaximumResizeHeight(maxHeight);
    SetMaximumResizeWidth(GetWidth());
    RestorePosition();

    _directionPopup->Clear();
    for (const char* item : kDirectionItems) {
        FCString text(item);
        _directionPopup->AddString(&text);
    }
    _list->DeleteAllColumns();
    _list->UseLeftCheckboxColumn();
    FCString from("From");
    FCString to("To");
    FCString direction("Direction");
    _list->AddColumn(&from, 60);
    _list->AddColumn(&to, 50);
    _list->AddColumn(&direction, 75);
    _list->SelectLine(0);
    _respaceCheck->SetCheck(1);
    FCString listName("Pitch List Name");
    _listNameEdit->SetText(&listName);
    _savedListsPopup->Clear();
    const FCPitchChangeLists& lists = GlobalDialogSettings.pitchLists;
    for (int i = 0; i < lists.GetCount(); ++i) {
        if (const FCPitchChangeList* list = lists.GetItemAt(i)) _savedListsPopup->AddString(&list->name);
    }
    if (_savedListsPopup->GetCount() > 0) _savedListsPopup->SetSelectedItem(0);

    InitSettings();
    EnableControls();
}

void FCChangePitchesWindow::InitSettings()
{
    if (_list == nullptr) return;
    GlobalDialogSettingsData& settings = GlobalDialogSettings;
    _fromEdit->SetText(&settings.fromPitch);
    _toEdit->SetText(&settings.toPitch);
    _directionPopup->SetSelectedItem(settings.direction);
    _soundingPitchCheck->SetCheck(settings.soundingPitch ? 1 : 0);
    _respaceCheck->SetCheck(settings.respace ? 1 : 0);
    _list->DeleteAll();
    for (int i = 0; i < settings.pitchChanges.GetCount(); ++i) {
        const FCPitchChangeNode* node = settings.pitchChanges.GetItemAt(i);
        if (node == nullptr) continue;
        FCMyDataListRow* row = AddRow(&node->From, &node->To, node->direction, true);
        row->SetCheck(node->inUse);
    }
    EnableChangeCheckedButton();
}

void FCChangePitchesWindow::CloseWindow()
{
    // Without a native window the controls answer nothing: keep the state
    // that the last close recorded.
    if (_list != nullptr && WindowExists()) {
        StorePosition(true);
        GlobalDialogSettingsData& settings = GlobalDialogSettings;
        _fromEdit->GetText(&settings.fromPitch);
        _toEdit->GetText(&settings.toPitch);
        settings.direction = _SelectedDirection();
        settings.soundingPitch = _soundingPitchCheck->GetCheck();
        settings.respace = _respaceCheck->GetCheck();
        settings.pitchChanges.ClearAll();
        for (int i = 0; i < _list->GetCount(); ++i) {
            const FCMyDataListRow* row = _list->GetRowAt(i);
            if (row == nullptr) continue;
            auto* node = new FCPitchChangeNode(row->GetFromString(), row->GetToString(), row->GetDirection());
            node->inUse = row->GetCheck();
            settings.pitchChanges.Add(node);
        }
    }
    FCResourceWindow::CloseWindow();
}

void FCChangePitchesWindow::OkButtonPressed()
{
    ChangePitches();
}

bool FCChangePitchesWindow::HandleCommand(FCControl* control)
{
    if (control == nullptr || _list == nullptr) return false;
    switch (control->GetControlID()) {
    case CPCTRL_CHANGE_CHECKED: ChangeCheckedButtonPressed(); break;
    case CPCTRL_ADD: AddButtonPressed(); EnableControls(); break;
    case CPCTRL_ADD_INVERSE: AddInverseButtonPressed(); EnableControls(); break;
    case CPCTRL_MODIFY: ModifyCheckedButtonPressed(); break;
    case CPCTRL_DELETE: DeleteButtonPressed(); EnableControls(); break;
    case CPCTRL_SAVED_LISTS: PitchSetListBoxClick(); break;
    case CPCTRL_LIST_NAME: EnableControls(); break;
    case CPCTRL_SAVE_LIST: SaveCurrentPitchList(); EnableControls(); break;
    case CPCTRL_USE_LIST: UseCurrentPitchSet(); EnableControls(); break;
    case CPCTRL_DELETE_LIST: DeleteCurrentPitchSet(); EnableControls(); break;
    default: break;
    }
    return false;
}

void FCChangePitchesWindow::HandleResize(int newWidth, int newHeight, int oldWidth, int oldHeight)
{
    FCResourceWindow::HandleResize(newWidth, newHeight, oldWidth, oldHeight);
    if (_list == nullptr) return;
    const int dy = newHeight - oldHeight;
    StartBufferControlMovement();
    _list->ResizeRelative(0, dy);
    FCControl* moving[] = {_savedLine, _savedLabel, _savedListsPopup, _useListButton,
                           _deleteListButton, _listNameEdit, _saveListButton};
    for (FCControl* control : moving) control->MoveRelative(0, dy);
    EndBufferControlMovement();
}

// ---- Pitch names -----------------------------------------------------------------

bool FCChangePitchesWindow::ValidateInputString(FCString* text)
{
    if (text == nullptr) return false;
    const int length = static_cast<int>(text->GetLength());
    if (length > 5 || length == 0) return false;
    const unsigned short first = text->GetItemAt(0);
    if (first >= 'a' && first <= 'g') text->SetItemAt(0, static_cast<unsigned short>(first - 'a' + 'A'));
    if (text->GetItemAt(0) < 'A' || text->GetItemAt(0) > 'G') return false;
    if (length == 1) return true;

    bool allSharps = true;
    bool allFlats = true;
    for (int i = 1; i < length; ++i) {
        const unsigned short unit = text->GetItemAt(i);
        if (unit != '#') allSharps = false;
        if (unit != 'b' && unit != 'B') allFlats = false;
    }
    if (allSharps) return true;
    if (allFlats) {
        for (int i = 1; i < length; ++i) text->SetItemAt(i, 'b');
        return true;
    }
    return length == 2 && text->GetItemAt(1) == 'x';
}

bool FCChangePitchesWindow::ValidateInputStringSyntax(FCString* from, FCString* to)
{
    if (!ValidateInputString(from)) {
        if (_ui != nullptr) _ui->AlertErrorCString(kFromSyntaxMessage, kSyntaxErrorTitle);
        if (_fromEdit != nullptr) _fromEdit->SetFocus();
        return false;
    }
    if (!ValidateInputString(to)) {
        if (_ui != nullptr) _ui->AlertErrorCString(kToSyntaxMessage, kSyntaxErrorTitle);
        if (_toEdit != nullptr) _toEdit->SetFocus();
        return false;
    }
    return true;
}

void FCChangePitchesWindow::ReplaceDoubleSharp(FCString* text)
{
    if (text != nullptr) text->Replace("x", "##");
}

PITCHDIRECTION FCChangePitchesWindow::_SelectedDirection()
{
    const int item = _directionPopup != nullptr ? _directionPopup->GetSelectedItem() : -1;
    return ClampPitchDirection(item);
}

bool FCChangePitchesWindow::_ReadTopFields(FCString* from, FCString* to, PITCHDIRECTION* direction)
{
    if (_list == nullptr) return false;
    *direction = _SelectedDirection();
    _fromEdit->GetText(from);
    _toEdit->GetText(to);
    if (!ValidateInputStringSyntax(from, to)) return false;
    ReplaceDoubleSharp(from);
    ReplaceDoubleSharp(to);
    return true;
}

// ---- Actions -----------------------------------------------------------------------

FCMyDataListRow* FCChangePitchesWindow::AddRow(const FCString* from, const FCString* to, PITCHDIRECTION direction,
                                               bool checked)
{
    auto* row = new FCMyDataListRow(from, to, direction);
    row->SetCheck(checked);
    if (_list == nullptr || _list->AddRow(row) < 0) {
        delete row;
        return nullptr;
    }
    EnableChangeCheckedButton();
    return row;
}

void FCChangePitchesWindow::_ApplyPitchChanges(FCPitchChangeNodes* nodes)
{
    if (_ui == nullptr) return;
    const bool respace = _respaceCheck != nullptr && _respaceCheck->GetCheck();
    const bool soundingPitch = _soundingPitchCheck != nullptr && _soundingPitchCheck->GetCheck();
    FCPitchChangerBlockHandler handler(nodes, respace, soundingPitch, _ui);
    FCUndoBlock block;
    FCString name(kChangePitchesUndoName);
    if (block.Execute(&handler, &name))
        _ui->RedrawDocument();
    else
        _ui->Beep();
}

void FCChangePitchesWindow::ChangePitches()
{
    FCString from;
    FCString to;
    PITCHDIRECTION direction = PITCHDIRECTION_UP;
    if (!_ReadTopFields(&from, &to, &direction)) return;
    FCPitchChangeNodes nodes;
    nodes.Add(new FCPitchChangeNode(&from, &to, direction));
    _ApplyPitchChanges(&nodes);
}

void FCChangePitchesWindow::ChangeCheckedButtonPressed()
{
    if (_list == nullptr) return;
    FCPitchChangeNodes nodes;
    for (int i = 0; i < _list->GetCount(); ++i) {
        const FCMyDataListRow* row = _list->GetRowAt(i);
        if (row == nullptr || !row->GetCheck()) continue;
        nodes.Add(new FCPitchChangeNode(row->GetFromString(), row->GetToString(), row->GetDirection()));
    }
    _ApplyPitchChanges(&nodes);
}

void FCChangePitchesWindow::AddButtonPressed()
{
    FCString from;
    FCString to;
    PITCHDIRECTION direction = PITCHDIRECTION_UP;
    if (!_ReadTopFields(&from, &to, &direction)) return;
    if (_list->FindFromString(&from) != nullptr) {
        if (_ui != nullptr) _ui->AlertErrorCString(kAddExistsMessage, kAddExistsTitle);
        return;
    }
    AddRow(&from, &to, direction, true);
    _list->SelectLine(_list->GetCount() - 1);
}

void FCChangePitchesWindow::AddInverseButtonPressed()
{
    if (_list == nullptr) return;
    const PITCHDIRECTION direction = _SelectedDirection();
    PITCHDIRECTION inverse = PITCHDIRECTION_CLOSEST;
    if (direction == PITCHDIRECTION_UP) inverse = PITCHDIRECTION_DOWN;
    if (direction == PITCHDIRECTION_DOWN) inverse = PITCHDIRECTION_UP;
    FCString from;
    FCString to;
    _fromEdit->GetText(&from);
    _toEdit->GetText(&to);
    // The To text becomes the new row's From, so it is checked first; each
    // error still names the field that holds the faulty text.
    if (!ValidateInputString(&to)) {
        if (_ui != nullptr) _ui->AlertErrorCString(kToSyntaxMessage, kSyntaxErrorTitle);
        _toEdit->SetFocus();
        return;
    }
    if (!ValidateInputString(&from)) {
        if (_ui != nullptr) _ui->AlertErrorCString(kFromSyntaxMessage, kSyntaxErrorTitle);
        _fromEdit->SetFocus();
        return;
    }
    ReplaceDoubleSharp(&from);
    ReplaceDoubleSharp(&to);
    if (_list->FindFromString(&to) != nullptr) {
        if (_ui != nullptr) _ui->AlertErrorCString(kAddInverseExistsMessage, kAddExistsTitle);
        return;
    }
    AddRow(&to, &from, inverse, true);
}

void FCChangePitchesWindow::ModifyCheckedButtonPressed()
{
    if (_list == nullptr) return;
    const int line = _list->GetSelectedLine();
    FCMyDataListRow* selected = _list->GetRowAt(line);
    if (selected == nullptr) return;
    FCString from;
    FCString to;
    PITCHDIRECTION direction = PITCHDIRECTION_UP;
    if (!_ReadTopFields(&from, &to, &direction)) return;
    const FCMyDataListRow* existing = _list->FindFromString(&from);
    if (existing != nullptr && existing != selected) {
        if (_ui != nullptr) _ui->AlertErrorCString(kModifyExistsMessage, kModifyExistsTitle);
        return;
    }
    selected->SetFromString(&from);
    selected->SetToString(&to);
    selected->SetDirection(direction);
    _list->Redraw();
}

void FCChangePitchesWindow::DeleteButtonPressed()
{
    if (_list == nullptr) return;
    const int line = _list->GetSelectedLine();
    if (line < 0 || line >= _list->GetCount()) return;
    _list->DeleteRow(line);
    _list->ReconnectAll();
    _list->Redraw();
    EnableDeleteButton(false);
    EnableChangeCheckedButton();
}

int FCChangePitchesWindow::_SelectedSavedList()
{
    if (_savedListsPopup == nullptr) return -1;
    const int item = _savedListsPopup->GetSelectedItem();
    if (item < 0 || item >= GlobalDialogSettings.pitchLists.GetCount()) return -1;
    return item;
}

void FCChangePitchesWindow::PitchSetListBoxClick()
{
    const int item = _SelectedSavedList();
    if (item >= 0) _listNameEdit->SetText(&GlobalDialogSettings.pitchLists.GetItemAt(item)->name);
    EnableControls();
}

void FCChangePitchesWindow::UseCurrentPitchSet()
{
    const int item = _SelectedSavedList();
    if (item < 0) return;
    const FCPitchChangeList* list = GlobalDialogSettings.pitchLists.GetItemAt(item);
    _list->DeleteAll();
    for (int i = 0; i < list->GetCount(); ++i) {
        const FCPitchChangeNode* node = list->GetItemAt(i);
        if (node != nullptr) AddRow(&node->From, &node->To, node->direction, node->inUse);
    }
    _list->ScrollToTop();
    EnableControls();
}

void FCChangePitchesWindow::DeleteCurrentPitchSet()
{
    const int item = _SelectedSavedList();
    if (item < 0 || _ui == nullptr) return;
    FCPitchChangeLists& lists = GlobalDialogSettings.pitchLists;
    if (!_CanChangeSavedLists()) return;
    if (!AskYesNo(_ui, "Do you want to delete '", &lists.GetItemAt(item)->name, "'?", kDeleteListTitle)) return;
    _savedListsPopup->DeleteItem(item);
    lists.ClearItemAt(item);
    EnableControls();
    SavePitchLists();
}

void FCChangePitchesWindow::SaveCurrentPitchList()
{
    if (_list == nullptr || _ui == nullptr) return;
    FCString name;
    _listNameEdit->GetText(&name);
    name.TrimWhitespace();
    if (name.IsEmpty()) return;
    if (!_CanChangeSavedLists()) return;

    FCPitchChangeLists& lists = GlobalDialogSettings.pitchLists;
    FCPitchChangeList* list = lists.FindName(&name);
    const bool isNew = list == nullptr;
    if (!isNew) {
        if (!AskYesNo(_ui, "There is already a set named '", &name, "'.\n\nShould this set be overwritten?",
                      kOverwriteTitle))
            return;
    }
    FCPitchChangeList fresh;
    FCPitchChangeList* target = isNew ? &fresh : list;
    if (isNew) target->name.SetString(&name);
    target->ClearAll();
    for (int i = 0; i < _list->GetCount(); ++i) {
        const FCMyDataListRow* row = _list->GetRowAt(i);
        if (row == nullptr) continue;
        auto* node = new FCPitchChangeNode(row->GetFromString(), row->GetToString(), row->GetDirection());
        node->inUse = row->GetCheck();
        target->Add(node);
    }
    if (isNew) {
        if (const FCPitchChangeList* same = lists.FindList(target)) {
            if (!AskYesNo(_ui, "A list with identical pitches already exists as '", &same->name,
                          "'. Do you want to save this list anyway?", kListExistsTitle))
                return;
        }
        auto* added = new FCPitchChangeList;
        added->name.SetString(&fresh.name);
        while (fresh.GetCount() > 0) added->Add(fresh.DetachItemAt(0));
        lists.Add(added);
        _savedListsPopup->AddString(&added->name);
        _savedListsPopup->SetSelectedItem(_savedListsPopup->GetCount() - 1);
    }
    SavePitchLists();
}

bool FCChangePitchesWindow::_CanChangeSavedLists()
{
    if (_ui == nullptr) return false;
    FCString path;
    GetPitchListsFilePath(&path);
    if (!::CanSavePitchLists()) {
        FCString message("The saved pitch lists cannot be read from '");
        message.AppendString(&path);
        message.AppendCString("'. No list was saved or deleted, so that the lists in that file are not lost.");
        FCString title(kListsUnreadableTitle);
        _ui->AlertError(&message, &title);
        return false;
    }
    std::vector<int>& unread = GlobalDialogSettings.unreadPitchListNumbers;
    if (unread.empty()) return true;
    const bool one = unread.size() == 1;
    FCString message(one ? "Saved pitch list " : "Saved pitch lists ");
    message.AppendCString(NumberList(unread).c_str());
    message.AppendCString(" in '");
    message.AppendString(&path);
    message.AppendCString(one ? "' could not be read (its name or its pitches are missing). If the lists are "
                                "saved now, it is left out of the file."
                              : "' could not be read (their names or pitches are missing). If the lists are "
                                "saved now, they are left out of the file.");
    message.AppendCString(" Do you want to save them anyway?");
    FCString title(kListsDamagedTitle);
    if (_ui->AlertYesNo(&message, &title) != FCUI_ALERTRESULT_YES) return false;
    unread.clear();  // told once
    return true;
}

// ---- Controls -------------------------------------------------------------------

void FCChangePitchesWindow::EnableChangeCheckedButton()
{
    if (_list != nullptr) _changeCheckedButton->SetEnable(_list->HasSomethingChecked());
}

void FCChangePitchesWindow::EnableDeleteButton(bool enable)
{
    if (_list == nullptr) return;
    _modifyButton->SetEnable(enable);
    _deleteButton->SetEnable(enable);
}

void FCChangePitchesWindow::EnableControls()
{
    if (_list == nullptr) return;
    EnableChangeCheckedButton();
    EnableDeleteButton(_list->GetSelectedLine() != -1);
    const bool hasSavedLists = _savedListsPopup->GetCount() > 0;
    _savedLabel->SetEnable(hasSavedLists);
    _savedListsPopup->SetEnable(hasSavedLists);
    const bool savedListChosen = hasSavedLists && _savedListsPopup->GetSelectedItem() >= 0;
    _useListButton->SetEnable(savedListChosen);
    _deleteListButton->SetEnable(savedListChosen);
    const bool hasRows = _list->GetCount() > 0;
    _listNameEdit->SetEnable(hasRows);
    FCString name;
    _listNameEdit->GetText(&name);
    name.TrimWhitespace();
    _saveListButton->SetEnable(hasRows && !name.IsEmpty());
}

void FCChangePitchesWindow::DisplaySelectedRowData(int line)
{
    if (_list == nullptr) return;
    const FCMyDataListRow* row = _list->GetRowAt(line);
    if (row == nullptr) return;
    _fromEdit->SetText(row->GetFromString());
    _toEdit->SetText(row->GetToString());
    _directionPopup->SetSelectedItem(row->GetDirection());
}
