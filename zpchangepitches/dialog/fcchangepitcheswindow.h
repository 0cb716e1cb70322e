// The Change Pitches dialog: a modeless window (layout 20128) in which the
// user types a From and a To pitch name and a direction, applies that one
// change to the selected region (OK), or collects changes as checkable rows
// and applies the checked ones (Change Checked). Rows can be added, added
// inverted, modified and deleted; the rows can be saved as a named list,
// recalled and deleted.
//
// The dialog keeps its remembered state in GlobalDialogSettings
// (storage/globaldialogsettings.h): the constructor reads the preferences
// and saved lists into it, InitWindow fills the controls from it, and
// CloseWindow copies the controls back. The object and its controls live
// until it is destroyed; closing destroys only the native window.
//
// Changes run through FCPitchChangerBlockHandler inside an undo block named
// "Change Pitches"; the document is redrawn on success, and a failure (such
// as no selection) beeps. All talking to the user goes through the FCUI
// given to the constructor (borrowed; it must outlive the dialog; null
// shows no alerts and applies nothing).
#pragma once

#include "tonaroframework/ui/fcresourcewindow.h"
#include "zpchangepitches/model/pitchdirection.h"

class FCCtrlButton;
class FCCtrlCheckbox;
class FCCtrlEdit;
class FCCtrlLine;
class FCCtrlPopup;
class FCCtrlStatic;
class FCMyDataList;
class FCMyDataListRow;
class FCPitchChangeNodes;
class FCString;
class FCUI;

// The dialog's layout resource and the ids (tags) of its controls.
inline constexpr int kChangePitchesLayoutID = 20128;
enum CHANGEPITCHES_CONTROL : int {
    CPCTRL_OK = 1,
    CPCTRL_CLOSE = 2,
    CPCTRL_FROM_LABEL = 101,
    CPCTRL_FROM = 102,
    CPCTRL_TO_LABEL = 103,
    CPCTRL_TO = 104,
    CPCTRL_DIRECTION_LABEL = 105,
    CPCTRL_DIRECTION = 106,
    CPCTRL_CHANGE_CHECKED = 107,
    CPCTRL_LIST = 108,
    CPCTRL_ADD = 109,
    CPCTRL_ADD_INVERSE = 110,
    CPCTRL_MODIFY = 111,
    CPCTRL_DELETE = 112,
    CPCTRL_SOUNDING_PITCH = 113,
    CPCTRL_RESPACE = 114,
    CPCTRL_SAVED_LINE = 115,
    CPCTRL_SAVED_LABEL = 116,
    CPCTRL_SAVED_LISTS = 117,
    CPCTRL_LIST_NAME = 118,
    CPCTRL_SAVE_LIST = 119,
    CPCTRL_USE_LIST = 120,
    CPCTRL_DELETE_LIST = 121,
};

// The messages of the dialog.
inline constexpr const char kFromSyntaxMessage[] =
    "The 'From' field has wrong syntax. Use a syntax similar to: A#, Bb, C## (or Cx), Dbb, etc.";
inline constexpr const char kToSyntaxMessage[] =
    "The 'To' field has wrong syntax. Use a syntax similar to: A#, Bb, C## (or Cx), Dbb, etc.";
inline constexpr const char kSyntaxErrorTitle[] = "Syntax Error";
inline constexpr const char kAddExistsMessage[] = "The pitch to change 'from' already exists in the list.";
inline constexpr const char kAddInverseExistsMessage[] =
    "The pitch to change 'from' (which appear in the 'To' field at the top, since you're trying to add "
    "the inverse) already exists in the list.";
inline constexpr const char kAddExistsTitle[] = "Can't add identical pitches";
inline constexpr const char kModifyExistsMessage[] =
    "The pitch to change 'from' already exists in the list at another place.";
inline constexpr const char kModifyExistsTitle[] = "Can't have identical pitches";
inline constexpr const char kDeleteListTitle[] = "Delete Pitch List?";
inline constexpr const char kOverwriteTitle[] = "Overwrite?";
inline constexpr const char kListExistsTitle[] = "Pitch List Exists";
inline constexpr const char kListsUnreadableTitle[] = "Can't change saved lists";
inline constexpr const char kListsDamagedTitle[] = "Damaged Pitch Lists";
inline constexpr const char kChangePitchesUndoName[] = "Change Pitches";

class FCChangePitchesWindow : public FCResourceWindow {
public:
    // Loads the preferences and the saved pitch lists into
    // GlobalDialogSettings (the placement into this window). ui: borrowed.
    explicit FCChangePitchesWindow(FCUI* ui);
    const char* ClassName() const override { return "FCChangePitchesWindow"; }
    ~FCChangePitchesWindow() override;

    // Creates the 23 control objects (once; later calls do nothing).
    void LinkControls();

    // Shows the dialog modeless (loading it, or bringing it to the front)
    // with the keyboard focus in the From field, its text selected, so that
    // typing replaces it. hostWindow: the host's window reference, kept.
    bool ShowWithFocus(void* hostWindow);

    // --- Framework window operations -------------------------------------------
    // Stores the placement, copies the controls into GlobalDialogSettings,
    // then closes the native window.
    void CloseWindow() override;
    // Each time the native window is loaded: size limits (grows only
    // vertically, up to 80% of the screen height), placement, columns, pop-up
    // items, then the controls from GlobalDialogSettings.
    void InitWindow() override;
    // OK applies the top change; the dialog stays open.
    void OkButtonPressed() override;
    // Dispatches the dialog's buttons, the saved-list pop-up and typing in
    // the list name. Always false.
    bool HandleCommand(FCControl* control) override;
    // The list grows with the window; the saved-list area moves with its
    // bottom edge.
    void HandleResize(int newWidth, int newHeight, int oldWidth, int oldHeight) override;

    // --- Preferences and saved lists (storage/prefsstorage.h) ------------------
    void LoadUserPrefs();
    // true when the preferences file was written.
    bool StoreUserPrefs();
    void LoadPitchLists();
    bool SavePitchLists();

    // --- Pitch names -----------------------------------------------------------------
    // Checks a pitch name and corrects it in place: a letter A-G (a lower-case
    // letter is capitalised) followed by nothing, a run of "#", a run of "b"
    // (each "B" there becomes "b") or a single "x"; at most 5 characters.
    // false for anything else (also for null).
    static bool ValidateInputString(FCString* text);
    // Validates from, then to; the first invalid one gets its field's syntax
    // error and the keyboard focus, and the answer is false.
    bool ValidateInputStringSyntax(FCString* from, FCString* to);
    // Every "x" becomes "##".
    static void ReplaceDoubleSharp(FCString* text);

    // --- Actions ---------------------------------------------------------------------
    // Appends a row (owned by the list) and updates Change Checked; answers it.
    FCMyDataListRow* AddRow(const FCString* from, const FCString* to, PITCHDIRECTION direction, bool checked);
    void ChangePitches();
    void ChangeCheckedButtonPressed();
    void AddButtonPressed();
    void AddInverseButtonPressed();
    void ModifyCheckedButtonPressed();
    void DeleteButtonPressed();
    void PitchSetListBoxClick();
    void UseCurrentPitchSet();
    void DeleteCurrentPitchSet();
    void SaveCurrentPitchList();

    // --- Controls --------------------------------------------------------------------
    void EnableControls();
    void InitSettings();
    // Shows row line's From, To and direction in the top fields.
    void DisplaySelectedRowData(int line);
    // Change Checked enabled exactly when some row is checked.
    void EnableChangeCheckedButton();
    // Modify and Delete.
    void EnableDeleteButton(bool enable);

    FCMyDataList* GetDataList() const { return _list; }
    FCUI* GetUI() const { return _ui; }

private:
    // Reads direction, From and To from the top fields, validates both
    // (alerting on an error) and turns "x" into "##" in the copies.
    bool _ReadTopFields(FCString* from, FCString* to, PITCHDIRECTION* direction);
    PITCHDIRECTION _SelectedDirection();
    // Runs the rules in one undo step; redraws or beeps.
    void _ApplyPitchChanges(FCPitchChangeNodes* nodes);
    // The saved list selected in pop-up 117, or null.
    int _SelectedSavedList();
    // Whether the saved lists may be rewritten. When the pitch-list file
    // cannot be read, tells the user so and answers false. When lists of the
    // file could not be read at the load, names them and asks whether to go
    // on without them (once: a Yes is not asked again); No answers false.
    bool _CanChangeSavedLists();

    FCCtrlButton* _okButton = nullptr;
    FCCtrlButton* _closeButton = nullptr;
    FCCtrlStatic* _fromLabel = nullptr;
    FCCtrlEdit* _fromEdit = nullptr;
    FCCtrlStatic* _toLabel = nullptr;
    FCCtrlEdit* _toEdit = nullptr;
    FCCtrlStatic* _directionLabel = nullptr;
    FCCtrlPopup* _directionPopup = nullptr;
    FCCtrlButton* _changeCheckedButton = nullptr;
    FCMyDataList* _list = nullptr;
    FCCtrlButton* _addButton = nullptr;
    FCCtrlButton* _addInverseButton = nullptr;
    FCCtrlButton* _modifyButton = nullptr;
    FCCtrlButton* _deleteButton = nullptr;
    FCCtrlCheckbox* _soundingPitchCheck = nullptr;
    FCCtrlCheckbox* _respaceCheck = nullptr;
    FCCtrlLine* _savedLine = nullptr;
    FCCtrlStatic* _savedLabel = nullptr;
    FCCtrlPopup* _savedListsPopup = nullptr;
    FCCtrlEdit* _listNameEdit = nullptr;
    FCCtrlButton* _saveListButton = nullptr;
    FCCtrlButton* _useListButton = nullptr;
    FCCtrlButton* _deleteListButton = nullptr;
    FCUI* _ui = nullptr;
};
