// Whether an open document differs from the file it was last opened from
// or saved to.
//
// A document is modified when its place in the undo history differs from
// the place it had at the last open or save, or when it was changed without
// an undo step. The tracker mirrors the engine's undo and redo stacks with
// step identities, so that undoing back to the saved step makes the
// document unmodified again, and a new edit after undoing past the saved
// step makes it modified for good (the saved step is gone from the history).
//
// Changes that leave the history as it was (a cancelled edit session, or an
// edit outside any session) are judged by the document's contents: at the
// saved step they count only when the contents differ from those saved;
// elsewhere they count as a change.
#pragma once

#include <cstdint>
#include <vector>

namespace tonaroengine {
class Document;
}

namespace tonaroapp {

class ModifiedState {
public:
    // Starts over with document as saved (after an open or a save). The
    // document is borrowed and must outlive the tracker's use of it, or be
    // replaced by another call; null tracks nothing (never modified).
    void MarkSaved(const tonaroengine::Document* document);

    // Tells the tracker that the next history move is the window's own Redo
    // (a redo and a new edit look alike when one step was redoable).
    void ExpectRedo();

    // Call after every change the engine reports for the document.
    void DocumentChanged();

    bool IsModified() const;

private:
    uint64_t TopId() const;

    const tonaroengine::Document* document_ = nullptr;
    std::vector<uint64_t> undoIds_;  // mirror of the undo stack, oldest first
    std::vector<uint64_t> redoIds_;  // mirror of the redo stack, next redo last
    uint64_t nextId_ = 1;
    uint64_t savedId_ = 0;           // TopId() at the last save; 0: nothing to undo then
    uint64_t savedHash_ = 0;         // the contents at the last save
    bool changedOutsideHistory_ = false;
    bool expectRedo_ = false;
};

// A 64-bit digest of the document's contents (Document::Snapshot); equal
// contents give equal digests. 0 for null.
uint64_t ContentDigest(const tonaroengine::Document* document);

}  // namespace tonaroapp
