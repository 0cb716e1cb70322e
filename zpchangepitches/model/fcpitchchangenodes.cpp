#include "zpchangepitches/model/fcpitchchangenodes.h"

FCPitchChangeNodes::~FCPitchChangeNodes() = default;

FCPitchChangeNode* FCPitchChangeNodes::GetItemAt(int index) const
{
    return dynamic_cast<FCPitchChangeNode*>(__FCCollection::GetItemAt(index));
}

FCPitchChangeNode* FCPitchChangeNodes::FindPitchPair(const FCString* from, const FCString* to,
                                                     int direction) const
{
    if (!from || !to) return nullptr;
    for (int i = 0; i < GetCount(); ++i) {
        FCPitchChangeNode* node = GetItemAt(i);
        if (node && node->direction == direction && node->From.IsEqualString(from) &&
            node->To.IsEqualString(to))
            return node;
    }
    return nullptr;
}
