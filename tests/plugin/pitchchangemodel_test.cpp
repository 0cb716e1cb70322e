#include <gtest/gtest.h>

#include <memory>

#include "zpchangepitches/model/fcpitchchangelist.h"
#include "zpchangepitches/model/fcpitchchangelists.h"
#include "zpchangepitches/model/fcpitchchangenode.h"
#include "zpchangepitches/model/fcpitchchangenodes.h"
#include "zpchangepitches/model/pitchdirection.h"

namespace {

FCPitchChangeNode* Rule(const char* from, const char* to, int direction)
{
    FCString fromText(from);
    FCString toText(to);
    return new FCPitchChangeNode(&fromText, &toText, direction);
}

FCPitchChangeList* List(const char* name, std::initializer_list<FCPitchChangeNode*> rules)
{
    auto* list = new FCPitchChangeList;
    list->name.SetCString(name);
    for (FCPitchChangeNode* rule : rules) list->Add(rule);
    return list;
}

}  // namespace

TEST(FCPitchChangeNode, CopiesTextsAndClampsTheDirection)
{
    FCString from("A#");
    FCString to("Bb");
    FCPitchChangeNode node(&from, &to, PITCHDIRECTION_DOWN);
    from.SetCString("changed");
    EXPECT_STREQ(node.From.GetCString(), "A#");
    EXPECT_STREQ(node.To.GetCString(), "Bb");
    EXPECT_EQ(node.direction, PITCHDIRECTION_DOWN);
    EXPECT_FALSE(node.inUse);

    FCPitchChangeNode high(&from, &to, 5);
    EXPECT_EQ(high.direction, PITCHDIRECTION_CLOSEST);
    FCPitchChangeNode low(&from, &to, -3);
    EXPECT_EQ(low.direction, PITCHDIRECTION_UP);
    FCPitchChangeNode empty(nullptr, nullptr, PITCHDIRECTION_CLOSEST);
    EXPECT_TRUE(empty.From.IsEmpty());
}

TEST(FCPitchChangeNodes, FindPitchPairComparesExactlyAndIgnoresInUse)
{
    FCPitchChangeNodes rules;
    rules.Add(Rule("A#", "Bb", PITCHDIRECTION_UP));
    rules.Add(Rule("A#", "Bb", PITCHDIRECTION_CLOSEST));
    rules.GetItemAt(1)->inUse = true;

    FCString from("A#");
    FCString to("Bb");
    EXPECT_EQ(rules.FindPitchPair(&from, &to, PITCHDIRECTION_CLOSEST), rules.GetItemAt(1));
    EXPECT_EQ(rules.FindPitchPair(&from, &to, PITCHDIRECTION_UP), rules.GetItemAt(0));
    EXPECT_EQ(rules.FindPitchPair(&from, &to, PITCHDIRECTION_DOWN), nullptr);

    FCString lowerFrom("a#");
    EXPECT_EQ(rules.FindPitchPair(&lowerFrom, &to, PITCHDIRECTION_UP), nullptr);
    FCString longerTo("Bbb");
    EXPECT_EQ(rules.FindPitchPair(&from, &longerTo, PITCHDIRECTION_UP), nullptr);
    EXPECT_EQ(rules.FindPitchPair(nullptr, &to, PITCHDIRECTION_UP), nullptr);
    EXPECT_EQ(rules.GetItemAt(2), nullptr);
}

TEST(FCPitchChangeLists, FindNameIgnoresCase)
{
    FCPitchChangeLists lists;
    lists.Add(List("Sharps to Flats", {Rule("A#", "Bb", 0)}));
    lists.Add(List("Other", {}));
    FCString asked("sharps TO flats");
    EXPECT_EQ(lists.FindName(&asked), lists.GetItemAt(0));
    FCString other("OTHER");
    EXPECT_EQ(lists.FindName(&other), lists.GetItemAt(1));
    FCString missing("Sharps");
    EXPECT_EQ(lists.FindName(&missing), nullptr);
    EXPECT_EQ(lists.FindName(nullptr), nullptr);
}

TEST(FCPitchChangeLists, FindListMatchesTheSameRulesInAnyOrder)
{
    FCPitchChangeLists lists;
    lists.Add(List("three", {Rule("A#", "Bb", 0), Rule("C#", "Db", 1), Rule("F#", "Gb", 2)}));
    lists.Add(List("two", {Rule("C#", "Db", 1), Rule("A#", "Bb", 0)}));
    lists.Add(List("empty", {}));

    std::unique_ptr<FCPitchChangeList> candidate(List("x", {Rule("A#", "Bb", 0), Rule("C#", "Db", 1)}));
    candidate->GetItemAt(0)->inUse = true;  // in-use flags play no part
    EXPECT_EQ(lists.FindList(candidate.get()), lists.GetItemAt(1));

    std::unique_ptr<FCPitchChangeList> otherDirection(
        List("x", {Rule("A#", "Bb", 0), Rule("C#", "Db", 2)}));
    EXPECT_EQ(lists.FindList(otherDirection.get()), nullptr);

    std::unique_ptr<FCPitchChangeList> empty(List("y", {}));
    EXPECT_EQ(lists.FindList(empty.get()), lists.GetItemAt(2));

    std::unique_ptr<FCPitchChangeList> one(List("z", {Rule("A#", "Bb", 0)}));
    EXPECT_EQ(lists.FindList(one.get()), nullptr);  // "two" has one rule more
    EXPECT_EQ(lists.FindList(nullptr), nullptr);
}

TEST(FCPitchChangeLists, OwnsItsListsAndTheirRules)
{
    // Run under the sanitizers, this fails if anything leaks or is freed twice.
    auto* lists = new FCPitchChangeLists;
    lists->Add(List("a", {Rule("A", "B", 0), Rule("C", "D", 1)}));
    lists->Add(List("b", {Rule("E", "F", 2)}));
    EXPECT_TRUE(lists->ClearItemAt(0));
    EXPECT_EQ(lists->GetCount(), 1);
    EXPECT_STREQ(lists->GetItemAt(0)->name.GetCString(), "b");
    delete lists;
}
