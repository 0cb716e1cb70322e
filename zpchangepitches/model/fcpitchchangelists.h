// The saved pitch lists, in the order in which they were loaded or added.
// Owns its FCPitchChangeList elements.
#pragma once

#include "tonaroframework/base/fccollection.h"
#include "zpchangepitches/model/fcpitchchangelist.h"

class FCPitchChangeLists : public __FCCollection {
public:
    ~FCPitchChangeLists() override;

    // The list at index, still owned by the collection; null outside.
    FCPitchChangeList* GetItemAt(int index) const;

    // The first list whose name equals name character by character without
    // regard to case (IsEqualStringNoCase, casefolding.h), or null (also for a
    // null name).
    FCPitchChangeList* FindName(const FCString* name) const;

    // The first stored list holding the same rules as list (same count;
    // every rule of list found by FindPitchPair, in any order), or null.
    // Names and in-use flags play no part. Null for a null list.
    FCPitchChangeList* FindList(const FCPitchChangeList* list) const;
};
