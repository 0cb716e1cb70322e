// Detail records: host records attached to other host data and addressed
// by several numbers (words 0 to 2).
#pragma once

#include "tonaroframework/data/fcbasedata.h"

class __FCDetail : public __FCBaseData {
public:
    const char* ClassName() const override { return "__FCDetail"; }
};
