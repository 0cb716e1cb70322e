#include "zpchangepitches/model/fcpitchchangenode.h"

FCPitchChangeNode::FCPitchChangeNode(const FCString* from, const FCString* to, int direction)
    : direction(ClampPitchDirection(direction))
{
    From.SetString(from);
    To.SetString(to);
}

FCPitchChangeNode::~FCPitchChangeNode() = default;
