#include "tonaroframework/base/fcstrings.h"

#include "tonaroframework/base/fcalphasorter.h"

FCStrings::~FCStrings() = default;

FCString* FCStrings::GetItemAt(int index) const
{
    return dynamic_cast<FCString*>(__FCCollection::GetItemAt(index));
}

void FCStrings::AddCopy(const FCString* text)
{
    Add(text ? text->CreateCopy() : nullptr);
}

void FCStrings::AddCString(const char* text)
{
    Add(new FCString(text));
}

FCString* FCStrings::Find(const FCString* text) const
{
    if (!text) return nullptr;
    for (int i = 0; i < GetCount(); ++i) {
        FCString* item = GetItemAt(i);
        if (item && item->IsEqualString(text)) return item;
    }
    return nullptr;
}

bool FCStrings::SortAlphabetical()
{
    __FCAlphaSorter sorter;
    return Sort(&sorter);
}

void FCStrings::CopyFrom(const FCStrings* other)
{
    if (!other || other == this) return;
    ClearAll();
    for (int i = 0; i < other->GetCount(); ++i) AddCopy(other->GetItemAt(i));
}

void FCStrings::TrimWhitespaceAll()
{
    for (int i = 0; i < GetCount(); ++i)
        if (FCString* item = GetItemAt(i)) item->TrimWhitespace();
}

void FCStrings::ClearEmptyStrings()
{
    for (int i = GetCount() - 1; i >= 0; --i) {
        const __FCBase* element = __FCCollection::GetItemAt(i);
        const FCString* item = GetItemAt(i);
        if (!element || (item && item->IsEmpty())) ClearItemAt(i);
    }
}
