#include "tonaroframework/music/fcbrowsernoteentries.h"

#include "tonaroframework/base/fciteratorhandler.h"
#include "tonaroframework/data/fccell.h"
#include "tonaroframework/music/fcnoteentry.h"

namespace {

// One pass over the entries of the cell that lie inside the region: hands
// each to the handler (first or second pass) and packs its notes afterwards.
// Answers false when the handler stopped the pass.
bool PassOverEntries(FCNoteEntryCell* cell, FCIteratorHandler* handler, FCMusicRegion* region, bool secondPass)
{
    // The count is read again after each call: the handler may change it.
    for (int i = 0; i < cell->GetCount(); ++i) {
        FCNoteEntry* entry = cell->GetRegionItemAt(i, region);
        if (entry == nullptr) continue;
        const bool goOn = secondPass ? handler->SecondPassIterate(entry) : handler->Iterate(entry);
        // The handler may have removed the entry from the cell.
        if (cell->GetItemAt(i) == entry) entry->_PackEXENTRYNotes();
        if (!goOn) return false;
    }
    return true;
}

}  // namespace

FCBrowserNoteEntries::~FCBrowserNoteEntries() = default;

__FCBase* FCBrowserNoteEntries::FindFirst(FCIteratorHandler*)
{
    return nullptr;
}

bool FCBrowserNoteEntries::RegionIterateCellHandler(FCCell* cell, FCIteratorHandler* handler, FCMusicRegion* region)
{
    if (cell == nullptr || handler == nullptr) return false;
    if (!handler->PreProcess()) return false;

    // Loaded as FCCell::CreateNoteEntryCell(true, layer selection) would, in
    // place; ClearFrame frees the frames before the handler hears of the end.
    FCNoteEntryCell entries(cell->GetMeasure(), cell->GetStaff());
    entries.SetLayerSelection(_layerSelection);
    entries.Load();  // an unloaded cell simply has no entries
    const bool hadEntries = entries.GetCount() > 0;
    bool result = true;
    if (hadEntries) {
        if (!handler->PreProcessIfExist()) {
            entries.ClearFrame();
            // PreProcess answered true, so PostProcess is still owed.
            handler->PostProcess();
            return false;
        }
        result = PassOverEntries(&entries, handler, region, false);
        PassOverEntries(&entries, handler, region, true);
    }
    if (handler->GetSaveAfterIterate()) {
        if (_deleteNullEntries != 0) entries.DeleteAllNullEntries();
        entries.Save();
    }
    entries.ClearFrame();
    if (hadEntries) handler->PostProcessIfExist();
    handler->PostProcess();
    return result;
}
