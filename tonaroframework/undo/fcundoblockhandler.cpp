#include "tonaroframework/undo/fcundoblockhandler.h"

__FCUndoBlockHandler::~__FCUndoBlockHandler() = default;
