#include "tonaroframework/data/fcarticulations.h"

FCArticulation* FCArticulations::GetItemAt(int index) const
{
    return dynamic_cast<FCArticulation*>(__FCCollection::GetItemAt(index));
}
