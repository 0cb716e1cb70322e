// The key/value pairs of a settings file, in file order.
//
// The collection owns its FCSettingsPair elements. Keys are not unique by
// construction: Add (inherited) appends whatever it is given, and every lookup
// answers the first match. Keys are matched without regard to letter case
// (FCString::CompareNoCase).
#pragma once

#include "tonaroframework/base/fccollection.h"

class FCString;
class FCSettingsPair;

class FCSettingsPairs : public __FCCollection {
public:
    const char* ClassName() const override { return "FCSettingsPairs"; }
    ~FCSettingsPairs() override = default;

    // The pair at index, still owned by the collection; null outside or for
    // an element that is not a pair.
    FCSettingsPair* GetItemAt(int index) const;

    // The first pair whose key equals key without regard to case, or null
    // (also for a null key). The pair stays owned by the collection.
    FCSettingsPair* FindKey(const FCString* key) const;

    // Sets the value for key. The key is looked up trimmed of spaces, tabs,
    // CR and LF (stored keys always are); when a pair is found its value is
    // replaced by value as it stands, keeping the pair's place. Otherwise a
    // new pair (key and value trimmed) is appended. Answers the pair, owned
    // by the collection; null for a null key. A null value counts as empty.
    FCSettingsPair* AddKeyValue(const FCString* key, const FCString* value);
};
