// One undoable step: runs a handler inside a named host edit session.
//
// FCUndoBlock opens the session, runs the handler and closes the session:
// ended (kept as one undo step) when the handler answers true, cancelled
// (every change discarded by the host) when it answers false. The bridge
// counts open sessions, so the end or cancel reaches the host exactly once
// for the session that was opened.
#pragma once

#include "tonaroframework/base/fcbase.h"

class FCString;
class __FCUndoBlockHandler;

class FCUndoBlock : public __FCBase {
public:
    FCUndoBlock() = default;

    const char* ClassName() const override { return "FCUndoBlock"; }
    ~FCUndoBlock() override;

    // Runs handler->Execute() inside a new host edit session named name and
    // answers the handler's result. Both objects are borrowed for the call
    // only. false, without opening a session, for a null handler or name.
    //
    // On hosts from 0x11000000 the name goes to the host as UTF-16 (at most
    // 499 units); on older hosts as 8-bit text cut to 63 characters. When
    // the host refuses to open the session the handler still runs, but
    // without a link to this block (so it cannot add sessions).
    bool Execute(__FCUndoBlockHandler* handler, FCString* name);

    // From inside a running handler: closes the current session (ended when
    // keep is true, cancelled otherwise) and opens a new one named name (as
    // 8-bit text, cut to 63 characters), splitting the work into several undo
    // steps. true when the host opened the new session. false, doing nothing,
    // for a null name or when no handler is running in this block.
    bool AddSession(FCString* name, bool keep);

    // true while a handler runs inside this block.
    bool IsSessionOpen() const { return _sessionOpen; }

private:
    bool _sessionOpen = false;
};
