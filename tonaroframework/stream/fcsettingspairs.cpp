#include "tonaroframework/stream/fcsettingspairs.h"

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/stream/fcsettingspair.h"

FCSettingsPair* FCSettingsPairs::GetItemAt(int index) const
{
    return dynamic_cast<FCSettingsPair*>(__FCCollection::GetItemAt(index));
}

FCSettingsPair* FCSettingsPairs::FindKey(const FCString* key) const
{
    if (!key) return nullptr;
    for (int i = 0; i < GetCount(); ++i) {
        FCSettingsPair* pair = GetItemAt(i);
        if (pair && pair->GetKey()->CompareNoCase(key) == 0) return pair;
    }
    return nullptr;
}

FCSettingsPair* FCSettingsPairs::AddKeyValue(const FCString* key, const FCString* value)
{
    if (!key) return nullptr;
    FCString trimmedKey;
    trimmedKey.SetString(key);
    trimmedKey.TrimWhitespace();
    if (FCSettingsPair* pair = FindKey(&trimmedKey)) {
        pair->SetValue(value);
        return pair;
    }
    auto* pair = new FCSettingsPair(&trimmedKey, value);
    Add(pair);
    return pair;
}
