// Tags of the Change Pitches dialog's controls, as its layout gives them.
// The command line drives the dialog by them and the score window reads
// what a change asked for by them.
#pragma once

namespace tonaroapp {

enum ChangePitchesTag : int {
    kOkButton = 1,
    kCloseButton = 2,
    kFromEdit = 102,
    kToEdit = 104,
    kDirectionPopup = 106,
    kChangeCheckedButton = 107,
    kRowList = 108,
    kAddButton = 109,
    kDeleteButton = 112,
    kSoundingPitchBox = 113,
    kRespaceBox = 114,
    kSavedListsPopup = 117,
    kListNameEdit = 118,
    kSaveListButton = 119,
    kUseListButton = 120,
};

}  // namespace tonaroapp
