#include "zpchangepitches/model/fcpitchchangelists.h"

#include "tonaroframework/base/casefolding.h"

FCPitchChangeLists::~FCPitchChangeLists() = default;

FCPitchChangeList* FCPitchChangeLists::GetItemAt(int index) const
{
    return dynamic_cast<FCPitchChangeList*>(__FCCollection::GetItemAt(index));
}

FCPitchChangeList* FCPitchChangeLists::FindName(const FCString* name) const
{
    if (!name) return nullptr;
    for (int i = 0; i < GetCount(); ++i) {
        FCPitchChangeList* list = GetItemAt(i);
        if (list && IsEqualStringNoCase(&list->name, name)) return list;
    }
    return nullptr;
}

FCPitchChangeList* FCPitchChangeLists::FindList(const FCPitchChangeList* list) const
{
    if (!list) return nullptr;
    for (int i = 0; i < GetCount(); ++i) {
        FCPitchChangeList* stored = GetItemAt(i);
        if (!stored || stored->GetCount() != list->GetCount()) continue;
        if (list->GetCount() == 0) return stored;
        bool allFound = true;
        for (int n = 0; n < list->GetCount() && allFound; ++n) {
            const FCPitchChangeNode* node = list->GetItemAt(n);
            // A null slot in the candidate has no rule to match.
            allFound = node && stored->FindPitchPair(&node->From, &node->To, node->direction);
        }
        if (allFound) return stored;
    }
    return nullptr;
}
