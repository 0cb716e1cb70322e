// The undo-block handler that runs the pitch changer over the document's
// current selection.
//
// Run it inside an FCUndoBlock: Execute finds the selection, walks every
// cell of it with an FCPitchChanger through a note-entry browser (which
// saves every visited cell), and, when asked and when a note changed,
// respaces the selected measure stacks with the host's 'MSpN' command and
// restores the user's selection. Without a selection it tells the user and
// answers false, so that the block cancels the session.
#pragma once

#include "tonaroframework/undo/fcundoblockhandler.h"

class FCPitchChangeNodes;
class FCUI;

// The alert shown when nothing is selected.
inline constexpr const char kNoSelectionMessage[] =
    "No region is selected. Please select a region in the document and try again.";
inline constexpr const char kNoSelectionTitle[] = "No Selection";

class FCPitchChangerBlockHandler : public __FCUndoBlockHandler {
public:
    // pitchChanges and ui are borrowed for the handler's life (not owned).
    // A null ui shows no alert and sends no respace command.
    FCPitchChangerBlockHandler(FCPitchChangeNodes* pitchChanges, bool respace, bool soundingPitch, FCUI* ui);

    // Virtual operations: ClassName and IsIdentical inherited, destructor,
    // Execute.
    ~FCPitchChangerBlockHandler() override;

    // false when there is no selection (after the alert); true otherwise,
    // also when no note matched.
    bool Execute() override;

    // Whether the last Execute respelled any note.
    bool GetChanged() const { return _changed; }

private:
    FCPitchChangeNodes* _pitchChanges = nullptr;
    bool _soundingPitch = false;
    bool _respace = false;
    FCUI* _ui = nullptr;
    bool _changed = false;
};
