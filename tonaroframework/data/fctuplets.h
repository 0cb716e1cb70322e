// The tuplets starting at one note entry.
#pragma once

#include "tonaroframework/data/fccollectionentrydetail.h"
#include "tonaroframework/data/fctuplet.h"

class FCTuplets : public __FCCollectionEntryDetail {
public:
    const char* ClassName() const override { return "FCTuplets"; }
    FCTuplet* CreateElement() override { return new FCTuplet(); }
    FCTuplet* GetItemAt(int index) const;
};
