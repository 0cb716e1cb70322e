#include "tonaroframework/ui/fcctrlstatic.h"

#include "tonaroframework/base/fcstring.h"

void FCCtrlStatic::Clear()
{
    FCString empty;
    SetText(&empty);
}

void FCCtrlStatic::SetInteger(int value)
{
    FCString text;
    text.SetInteger(value);
    SetText(&text);
}
