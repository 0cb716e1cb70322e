#include "zpchangepitches/changer/fcpitchchangerblockhandler.h"

#include "tonaroframework/music/fcbrowsernoteentries.h"
#include "tonaroframework/music/fcmusicregion.h"
#include "tonaroframework/ui/fcui.h"
#include "zpchangepitches/changer/fcpitchchanger.h"

FCPitchChangerBlockHandler::FCPitchChangerBlockHandler(FCPitchChangeNodes* pitchChanges, bool respace,
                                                       bool soundingPitch, FCUI* ui)
    : _pitchChanges(pitchChanges), _soundingPitch(soundingPitch), _respace(respace), _ui(ui)
{
}

FCPitchChangerBlockHandler::~FCPitchChangerBlockHandler() = default;

bool FCPitchChangerBlockHandler::Execute()
{
    _changed = false;

    FCMusicRegion selection(nullptr);
    if (!selection.SetCurrentSelection()) {
        if (_ui != nullptr) _ui->AlertInfoCString(kNoSelectionMessage, kNoSelectionTitle);
        return false;
    }

    // The browser hands every entry inside the selection to the changer and
    // saves every cell it visits.
    FCBrowserNoteEntries browser;
    FCPitchChanger changer(_pitchChanges, _soundingPitch);
    browser.ForEachInRegion(&changer, &selection);
    _changed = changer.GetChanged();

    if (_respace && _changed) {
        // Respace whole measure stacks, then give the user back the
        // selection as it was.
        FCMusicRegion measureStacks(nullptr);
        if (measureStacks.SetCurrentSelection()) {
            measureStacks.SetFullMeasureStack();
            measureStacks.SetInDocument();
        }
        if (_ui != nullptr) _ui->MenuCommand(FCUI::MENUCMD_NOTESPACING);
        selection.SetInDocument();
    }
    return true;
}
