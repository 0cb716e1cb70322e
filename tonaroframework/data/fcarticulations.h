// The articulations of one note entry.
#pragma once

#include "tonaroframework/data/fcarticulation.h"
#include "tonaroframework/data/fccollectionentrydetail.h"

class FCArticulations : public __FCCollectionEntryDetail {
public:
    const char* ClassName() const override { return "FCArticulations"; }
    FCArticulation* CreateElement() override { return new FCArticulation(); }
    FCArticulation* GetItemAt(int index) const;
};
