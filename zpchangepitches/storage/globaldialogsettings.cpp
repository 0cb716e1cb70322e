#include "zpchangepitches/storage/globaldialogsettings.h"

GlobalDialogSettingsData GlobalDialogSettings;

void ResetGlobalDialogSettings()
{
    GlobalDialogSettings.fromPitch.SetCString("A#");
    GlobalDialogSettings.toPitch.SetCString("Bb");
    GlobalDialogSettings.direction = PITCHDIRECTION_CLOSEST;
    GlobalDialogSettings.soundingPitch = true;
    GlobalDialogSettings.respace = true;
    GlobalDialogSettings.pitchChanges.ClearAll();
    GlobalDialogSettings.pitchLists.ClearAll();
    GlobalDialogSettings.pitchListsUnreadable = false;
    GlobalDialogSettings.unreadPitchListNumbers.clear();
}
