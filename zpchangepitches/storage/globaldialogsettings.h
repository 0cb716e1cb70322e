// The Change Pitches dialog's remembered state, process-wide.
//
// Constructed with the plug-in's static data (texts empty, collections
// empty, scalars zero) and destroyed when the plug-in is unloaded. The
// plug-in's initialisation entry point sets the defaults
// (ResetGlobalDialogSettings); the dialog's constructor then reads the
// preferences file over them, closing the dialog copies its state in, and
// terminating the plug-in writes it back (prefsstorage.h). Main thread only.
#pragma once

#include <vector>

#include "tonaroframework/base/fcstring.h"
#include "zpchangepitches/model/fcpitchchangelists.h"
#include "zpchangepitches/model/fcpitchchangenodes.h"
#include "zpchangepitches/model/pitchdirection.h"

struct GlobalDialogSettingsData {
    FCString fromPitch;                              // last text of the From field
    FCString toPitch;                                // last text of the To field
    PITCHDIRECTION direction = PITCHDIRECTION_UP;    // last direction (popup index)
    bool soundingPitch = false;                      // sounding-pitch check box
    bool respace = false;                            // respace check box
    FCPitchChangeNodes pitchChanges;                 // the dialog's rows, with checked state
    FCPitchChangeLists pitchLists;                   // the saved, named pitch lists
    // How the pitch-list file read at the last LoadPitchLists: whether it
    // existed but could not be read (pitchLists then is not the file's), and
    // the numbers of the lists in it that could not be read, ascending, until
    // the user has been told of them.
    bool pitchListsUnreadable = false;
    std::vector<int> unreadPitchListNumbers;
};

extern GlobalDialogSettingsData GlobalDialogSettings;

// The defaults of a freshly initialised plug-in: From "A#", To "Bb",
// Closest, sounding pitch and respace on, no rows, no saved lists (the
// elements are deleted), nothing known of the pitch-list file.
void ResetGlobalDialogSettings();
