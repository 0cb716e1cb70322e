// Cell details of which a cell holds at most one (inci always 0).
#pragma once

#include "tonaroframework/data/fccelldetail.h"

class __FCNoInciCellDetail : public __FCCellDetail {
public:
    const char* ClassName() const override { return "__FCNoInciCellDetail"; }

    // A cell holds one record of the kind: there is no next one.
    bool LoadNext() override { return false; }
    // Such records are not created through this call: always false.
    bool SaveNew() override { return false; }
};
