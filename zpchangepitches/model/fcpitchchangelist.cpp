#include "zpchangepitches/model/fcpitchchangelist.h"

FCPitchChangeList::~FCPitchChangeList() = default;
