#include "tonaroframework/undo/fcundoblock.h"

#include <cstring>

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaroframework/undo/fcundoblockhandler.h"
#include "tonaropdk/hostapi/fxfunctions.h"

namespace {

// Longest session name in units that goes to the host as UTF-16, and the
// longest one as 8-bit text.
constexpr int kMaxUnicodeNameUnits = 499;
constexpr size_t kMaxCStringNameChars = 63;

// Opens a session under name as 8-bit text cut to 63 characters.
bool StartSessionCString(const FCString* name)
{
    char buffer[kMaxCStringNameChars + 1];
    std::strncpy(buffer, name->GetCString(), kMaxCStringNameChars);
    buffer[kMaxCStringNameChars] = '\0';
    return FX_StartTonaroEdit(buffer, FXT_VERSION_2012) != 0;
}

// Opens a session in the form the running host understands.
bool StartSession(const FCString* name)
{
    if (GetTonaroFrameworkVersion() >= FXT_VERSION_2011) {
        unsigned short buffer[kMaxUnicodeNameUnits + 1];
        name->CopyToUnicodeBuffer(buffer, kMaxUnicodeNameUnits + 1);
        return FX_StartTonaroEdit_UTF16(buffer, FXT_VERSION_2012) != 0;
    }
    return StartSessionCString(name);
}

}  // namespace

FCUndoBlock::~FCUndoBlock() = default;

bool FCUndoBlock::Execute(__FCUndoBlockHandler* handler, FCString* name)
{
    if (handler == nullptr || name == nullptr) return false;

    handler->_SetUndoBlock(this);
    if (!StartSession(name)) {
        // Without a session of its own the handler may not split the work.
        handler->_SetUndoBlock(nullptr);
    }

    _sessionOpen = true;
    const bool result = handler->Execute();
    _sessionOpen = false;

    if (result) {
        FX_EndTonaroEdit(FXT_VERSION_2012);
    } else {
        FX_CancelTonaroEdit(FXT_VERSION_2012);
    }

    handler->_SetUndoBlock(nullptr);
    _sessionOpen = false;
    return result;
}

bool FCUndoBlock::AddSession(FCString* name, bool keep)
{
    if (name == nullptr || !_sessionOpen) return false;
    if (keep) {
        FX_EndTonaroEdit(FXT_VERSION_2012);
    } else {
        FX_CancelTonaroEdit(FXT_VERSION_2012);
    }
    return StartSessionCString(name);
}
