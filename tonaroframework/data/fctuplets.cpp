#include "tonaroframework/data/fctuplets.h"

FCTuplet* FCTuplets::GetItemAt(int index) const
{
    return dynamic_cast<FCTuplet*>(__FCCollection::GetItemAt(index));
}
