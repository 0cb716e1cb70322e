// The work that an undo block runs inside one host edit session.
//
// Subclass it, carry the work's inputs as fields, and override Execute().
// FCUndoBlock::Execute links the handler to the running block for the length
// of the run, so that the work can split itself into several undo steps with
// FCUndoBlock::AddSession.
#pragma once

#include "tonaroframework/base/fcbase.h"

class FCUndoBlock;

class __FCUndoBlockHandler : public __FCBase {
public:
    __FCUndoBlockHandler() = default;

    // Virtual operations, in this order: ClassName (inherited), destructor,
    // IsIdentical (inherited), Execute.
    ~__FCUndoBlockHandler() override;

    // The work. true: it succeeded and its changes stay (the session is
    // ended); false: the session is cancelled and the host discards every
    // change made since the session opened.
    virtual bool Execute() = 0;

    // The block running this handler, or null outside a run (and during a run
    // whose session the host refused to open). Not owned.
    FCUndoBlock* GetUndoBlock() const { return _undoBlock; }

    // Set by FCUndoBlock only.
    void _SetUndoBlock(FCUndoBlock* block) { _undoBlock = block; }

private:
    FCUndoBlock* _undoBlock = nullptr;
};
