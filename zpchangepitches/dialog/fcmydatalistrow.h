// One row of the Change Pitches list: three cells (From, To, direction
// text) plus the row's direction and, from the base, its checked flag.
#pragma once

#include "tonaroframework/ui/fcdatalistrow.h"
#include "zpchangepitches/model/pitchdirection.h"

class FCString;

class FCMyDataListRow : public FCDataListRow {
public:
    // Copies from and to (null gives the empty text) and writes the
    // direction's text into the third cell.
    FCMyDataListRow(const FCString* from, const FCString* to, PITCHDIRECTION direction);
    const char* ClassName() const override { return "FCMyDataListRow"; }
    ~FCMyDataListRow() override;

    // "Up", "Down", or "Closest" for any other value.
    static const char* DirectionText(PITCHDIRECTION direction);

    // The cell texts, owned by the row.
    FCString* GetFromString() const { return GetItemAt(0); }
    FCString* GetToString() const { return GetItemAt(1); }
    PITCHDIRECTION GetDirection() const { return _direction; }

    // Replace the first / second cell with a copy (null gives the empty
    // text). The list is not redrawn.
    void SetFromString(const FCString* text);
    void SetToString(const FCString* text);
    // Stores the direction and rewrites the third cell.
    void SetDirection(PITCHDIRECTION direction);

private:
    PITCHDIRECTION _direction = PITCHDIRECTION_UP;
};
