// An ordered, owning collection of pitch change rules. The order is the
// order of the dialog's rows and the order in which the rules are applied.
#pragma once

#include "tonaroframework/base/fccollection.h"
#include "zpchangepitches/model/fcpitchchangenode.h"

class FCSettingsPairs;

class FCPitchChangeNodes : public __FCCollection {
public:
    // Virtual operations: ClassName, destructor, IsIdentical, ForEach,
    // FindFirst, ForEachIndex (all as __FCCollection).
    ~FCPitchChangeNodes() override;

    // The rule at index, still owned by the collection; null outside.
    FCPitchChangeNode* GetItemAt(int index) const;

    // The first rule whose From and To equal the given ones exactly
    // (IsEqualString: case-sensitive) and whose direction equals direction;
    // the in-use flag is not compared. Null when none matches or a text is
    // null. The rule stays owned by the collection.
    FCPitchChangeNode* FindPitchPair(const FCString* from, const FCString* to,
                                     int direction) const;

    // ---- Settings-file form (see fcpitchchangenodes_pairs.cpp) ----
    // A rule is four pairs whose keys end in a suffix: the rule's 1-based
    // position n when the rules stand alone (listNumber negative, -1 by
    // convention), "L_n" when they belong to saved list L:
    //   ZPCHANGEPITCHES_LIST_FROM_<suffix>         the From text
    //   ZPCHANGEPITCHES_LIST_TO_<suffix>           the To text
    //   ZPCHANGEPITCHES_LIST_UPDIRECTION_<suffix>  "1" up, "0" down, "2" closest
    //   ZPCHANGEPITCHES_LIST_INUSE_<suffix>        "1" in use, "0" not

    // Appends the rules found in pairs (only read), n = 1, 2, ... until one of
    // the four keys of a rule is missing: a gap in the numbers ends the
    // reading. A direction value that reads as the number 1 is UP, as 0 (also
    // text that is no number, and the empty text) DOWN, any other number
    // CLOSEST. In use exactly when the value is "1". Existing rules are kept.
    // A null pairs does nothing.
    void BuildFromNodePairs(const FCSettingsPairs* pairs, int listNumber);

    // Appends four pairs per rule, in rule order, to pairs (Add, not merged:
    // pairs already there with the same keys stay). A null pairs does nothing.
    void StoreNodePairs(FCSettingsPairs* pairs, int listNumber) const;

    // The stored direction code of a direction: "1" up, "0" down, "2" closest.
    static const char* DirectionCode(PITCHDIRECTION direction);
    // The direction that a stored direction value stands for (see above).
    static PITCHDIRECTION DirectionFromCode(const FCString* value);
};
