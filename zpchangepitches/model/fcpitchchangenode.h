// One pitch change rule: respell notes spelled From as To, moving them in a
// direction. Pitch names are bare spellings without an octave ("A#", "Bb");
// the node stores whatever it is given. The fields are public: the dialog
// and the pitch changer read and write them directly.
#pragma once

#include "tonaroframework/base/fcbase.h"
#include "tonaroframework/base/fcstring.h"
#include "zpchangepitches/model/pitchdirection.h"

class FCPitchChangeNode : public __FCBase {
public:
    // Copies both texts (null gives the empty text); the direction is
    // clamped into 0..2 (above 2 gives CLOSEST, negative gives UP). in use
    // starts false.
    FCPitchChangeNode(const FCString* from, const FCString* to, int direction);

    // Virtual operations: ClassName and IsIdentical inherited from __FCBase,
    // the destructor.
    ~FCPitchChangeNode() override;

    FCString From;               // pitch name to look for
    FCString To;                 // pitch name to write instead
    PITCHDIRECTION direction;    // octave rule
    bool inUse = false;          // the rule's row is checked in the dialog
};
