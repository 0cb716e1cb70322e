// The settings-file form of pitch change rules and saved pitch lists.
#include <string>

#include "tonaroframework/stream/fcsettingspair.h"
#include "tonaroframework/stream/fcsettingspairs.h"
#include "tonaroframework/stream/fctextfilestream.h"
#include "zpchangepitches/model/fcpitchchangelist.h"
#include "zpchangepitches/model/fcpitchchangenodes.h"

namespace {

constexpr const char kFromPrefix[] = "ZPCHANGEPITCHES_LIST_FROM_";
constexpr const char kToPrefix[] = "ZPCHANGEPITCHES_LIST_TO_";
constexpr const char kDirectionPrefix[] = "ZPCHANGEPITCHES_LIST_UPDIRECTION_";
constexpr const char kInUsePrefix[] = "ZPCHANGEPITCHES_LIST_INUSE_";
constexpr const char kNamePrefix[] = "ZPCHANGEPITCHES_LIST_NAME_";

// "n" for stand-alone rules, "L_n" for rule n of saved list L.
std::string RuleSuffix(int listNumber, int ruleNumber)
{
    if (listNumber < 0) return std::to_string(ruleNumber);
    return std::to_string(listNumber) + "_" + std::to_string(ruleNumber);
}

const FCSettingsPair* FindPair(const FCSettingsPairs* pairs, const std::string& key)
{
    FCString text(key.c_str());
    return pairs->FindKey(&text);
}

void AddPair(FCSettingsPairs* pairs, const std::string& key, const FCString* value)
{
    FCString keyText(key.c_str());
    pairs->Add(new FCSettingsPair(&keyText, value));
}

void AddPair(FCSettingsPairs* pairs, const std::string& key, const char* value)
{
    FCString valueText(value);
    AddPair(pairs, key, &valueText);
}

}  // namespace

const char* FCPitchChangeNodes::DirectionCode(PITCHDIRECTION direction)
{
    switch (direction) {
    case PITCHDIRECTION_UP: return "1";
    case PITCHDIRECTION_DOWN: return "0";
    default: return "2";
    }
}

PITCHDIRECTION FCPitchChangeNodes::DirectionFromCode(const FCString* value)
{
    const int code = value != nullptr ? value->GetInteger(0) : 0;
    if (code == 1) return PITCHDIRECTION_UP;
    if (code == 0) return PITCHDIRECTION_DOWN;
    return PITCHDIRECTION_CLOSEST;
}

void FCPitchChangeNodes::BuildFromNodePairs(const FCSettingsPairs* pairs, int listNumber)
{
    if (pairs == nullptr) return;
    for (int n = 1;; ++n) {
        const std::string suffix = RuleSuffix(listNumber, n);
        const FCSettingsPair* from = FindPair(pairs, kFromPrefix + suffix);
        const FCSettingsPair* to = FindPair(pairs, kToPrefix + suffix);
        const FCSettingsPair* direction = FindPair(pairs, kDirectionPrefix + suffix);
        const FCSettingsPair* inUse = FindPair(pairs, kInUsePrefix + suffix);
        if (from == nullptr || to == nullptr || direction == nullptr || inUse == nullptr) return;
        auto* node = new FCPitchChangeNode(from->GetValue(), to->GetValue(),
                                           DirectionFromCode(direction->GetValue()));
        node->inUse = inUse->GetValue()->IsEqualCString("1");
        Add(node);
    }
}

void FCPitchChangeNodes::StoreNodePairs(FCSettingsPairs* pairs, int listNumber) const
{
    if (pairs == nullptr) return;
    for (int i = 0; i < GetCount(); ++i) {
        const FCPitchChangeNode* node = GetItemAt(i);
        if (node == nullptr) continue;
        const std::string suffix = RuleSuffix(listNumber, i + 1);
        AddPair(pairs, kFromPrefix + suffix, &node->From);
        AddPair(pairs, kToPrefix + suffix, &node->To);
        AddPair(pairs, kDirectionPrefix + suffix, DirectionCode(node->direction));
        AddPair(pairs, kInUsePrefix + suffix, node->inUse ? "1" : "0");
    }
}

bool FCPitchChangeList::TryToBuildFromSettingsPairs(const FCSettingsPairs* pairs, int listNumber)
{
    if (pairs == nullptr) return false;
    const FCSettingsPair* namePair = FindPair(pairs, kNamePrefix + std::to_string(listNumber));
    if (namePair == nullptr) return false;
    name.SetString(namePair->GetValue());
    BuildFromNodePairs(pairs, listNumber);
    return GetCount() > 0;
}

bool FCPitchChangeList::SaveToStream(FCTextFileStream* stream, int listNumber) const
{
    if (stream == nullptr) return false;
    FCSettingsPairs pairs;
    AddPair(&pairs, kNamePrefix + std::to_string(listNumber), &name);
    StoreNodePairs(&pairs, listNumber);
    return stream->WriteSettingsPairs(&pairs);
}
