// A named list of pitch change rules: a saved pitch list.
#pragma once

#include "tonaroframework/base/fcstring.h"
#include "zpchangepitches/model/fcpitchchangenodes.h"

class FCSettingsPairs;
class FCTextFileStream;

class FCPitchChangeList : public FCPitchChangeNodes {
public:
    ~FCPitchChangeList() override;

    // Reads saved list number listNumber from pairs (only read): its name
    // from "ZPCHANGEPITCHES_LIST_NAME_<listNumber>", then its rules
    // (BuildFromNodePairs). false, the list unchanged, when the name pair is
    // missing (or pairs is null); otherwise true exactly when the list then
    // holds at least one rule.
    bool TryToBuildFromSettingsPairs(const FCSettingsPairs* pairs, int listNumber);

    // Writes the list as saved list number listNumber to a stream that is
    // already open for writing (it stays open): the name pair, then four
    // pairs per rule. The stream's answer: false when it is null or not open.
    bool SaveToStream(FCTextFileStream* stream, int listNumber) const;

    FCString name;  // the list's name, empty at construction
};
