#include "zpchangepitches/dialog/fcmydatalistrow.h"

#include "tonaroframework/base/fcstring.h"

FCMyDataListRow::FCMyDataListRow(const FCString* from, const FCString* to, PITCHDIRECTION direction)
{
    AddCString("");
    AddCString("");
    AddCString("");
    SetFromString(from);
    SetToString(to);
    SetDirection(direction);
}

FCMyDataListRow::~FCMyDataListRow() = default;

const char* FCMyDataListRow::DirectionText(PITCHDIRECTION direction)
{
    switch (direction) {
    case PITCHDIRECTION_UP: return "Up";
    case PITCHDIRECTION_DOWN: return "Down";
    default: return "Closest";
    }
}

void FCMyDataListRow::SetFromString(const FCString* text)
{
    if (FCString* cell = GetItemAt(0)) {
        if (text != nullptr) cell->SetString(text); else cell->Clear();
    }
}

void FCMyDataListRow::SetToString(const FCString* text)
{
    if (FCString* cell = GetItemAt(1)) {
        if (text != nullptr) cell->SetString(text); else cell->Clear();
    }
}

void FCMyDataListRow::SetDirection(PITCHDIRECTION direction)
{
    _direction = direction;
    if (FCString* cell = GetItemAt(2)) cell->SetCString(DirectionText(direction));
}
