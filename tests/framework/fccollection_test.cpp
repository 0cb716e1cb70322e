#include "tonaroframework/base/fccollection.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tonaroframework/base/fcalphasorter.h"
#include "tonaroframework/base/fciteratorhandler.h"
#include "tonaroframework/base/fcnumber.h"
#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/fcstrings.h"
#include "tonaroframework/base/frameworkversion.h"

namespace {

// Counts destructions, so that tests see what a collection deletes.
class Tracked : public __FCBase {
public:
    Tracked(int id, int* deaths) : id(id), _deaths(deaths) {}
    ~Tracked() override { ++*_deaths; }
    const char* ClassName() const override { return "Tracked"; }
    int id;

private:
    int* _deaths;
};

int IdOf(const __FCBase* object)
{
    return object ? static_cast<const Tracked*>(object)->id : -1;
}

std::vector<int> Ids(const __FCCollection& list)
{
    std::vector<int> ids;
    for (int i = 0; i < list.GetCount(); ++i) ids.push_back(IdOf(list.GetItemAt(i)));
    return ids;
}

// Records the visits, stopping at a chosen id.
class Recorder : public FCIteratorHandler {
public:
    bool Iterate(__FCBase* object) override
    {
        visited.push_back(IdOf(object));
        return IdOf(object) != stopAt;
    }
    bool IterateIndex(__FCBase* object, int index) override
    {
        indexes.push_back(index);
        return Iterate(object);
    }
    bool Match(__FCBase* object) override { return IdOf(object) == wanted; }
    int Compare(__FCBase* a, __FCBase* b) override { return IdOf(a) / 10 - IdOf(b) / 10; }

    std::vector<int> visited;
    std::vector<int> indexes;
    int stopAt = -100;
    int wanted = -100;
};

std::vector<std::string> Texts(const FCStrings& list)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list.GetCount(); ++i)
        texts.push_back(list.GetItemAt(i) ? list.GetItemAt(i)->GetCString() : "<null>");
    return texts;
}

}  // namespace

TEST(FCBase, IdentityUserDataAndFlags)
{
    FCNumber a(1);
    FCNumber b(2);
    FCString text;
    EXPECT_TRUE(a.IsIdentical(&b));
    EXPECT_FALSE(a.IsIdentical(&text));
    EXPECT_FALSE(a.IsIdentical(nullptr));
    EXPECT_STREQ(a.ClassName(), "FCNumber");
    EXPECT_STREQ(FCStrings().ClassName(), "FCStrings");
    EXPECT_STREQ(FCIteratorHandler().ClassName(), "FCIteratorHandler");

    EXPECT_EQ(a.GetUserData(), nullptr);
    int data = 0;
    a.SetUserData(&data);
    EXPECT_EQ(a.GetUserData(), &data);

    uint16_t word = 0x00F0;
    __FCBase::Set16BitFlag(&word, 0x0101, true);
    EXPECT_EQ(word, 0x01F1);
    __FCBase::Set16BitFlag(&word, 0x00F0, false);
    EXPECT_EQ(word, 0x0101);
    uint32_t flags = 0x80000000u;
    __FCBase::Set32BitFlag(&flags, 0x1, true);
    __FCBase::Set32BitFlag(&flags, 0x80000000u, false);
    EXPECT_EQ(flags, 0x1u);
    __FCBase::Set32BitFlag(nullptr, 0x1, true);
}

TEST(FCIteratorHandler, DefaultAnswers)
{
    FCIteratorHandler handler;
    FCNumber n;
    EXPECT_TRUE(handler.Iterate(&n));
    EXPECT_FALSE(handler.SecondPassIterate(&n));
    EXPECT_TRUE(handler.IterateIndex(&n, 0));
    EXPECT_FALSE(handler.Match(&n));
    EXPECT_EQ(handler.Compare(&n, &n), 0);
    EXPECT_TRUE(handler.PreProcess());
    EXPECT_TRUE(handler.PreProcessIfExist());
    EXPECT_FALSE(handler.GetSaveAfterIterate());
    handler.SetSaveAfterIterate(true);
    EXPECT_TRUE(handler.GetSaveAfterIterate());
}

TEST(FCFrameworkVersion, StartsAtMajor18AndKeepsWhatIsSet)
{
    EXPECT_EQ(GetTonaroFrameworkVersion(), 0x12000000u);
    SetTonaroFrameworkVersion(0x11000000);
    EXPECT_EQ(GetTonaroFrameworkVersion(), 0x11000000u);
    SetTonaroFrameworkVersion(0x12000000);
}

TEST(FCCollection, GrowsInStepsOfTenAndReusesItsArray)
{
    int deaths = 0;
    __FCCollection list;
    EXPECT_EQ(list.GetCapacity(), 0);
    for (int i = 0; i < 10; ++i) list.Add(new Tracked(i, &deaths));
    EXPECT_EQ(list.GetCapacity(), 10);
    list.Add(new Tracked(10, &deaths));
    EXPECT_EQ(list.GetCapacity(), 20);
    list.ClearAll();
    EXPECT_EQ(deaths, 11);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetCapacity(), 20);
    list.Add(new Tracked(1, &deaths));
    EXPECT_EQ(list.GetCapacity(), 20);
    EXPECT_EQ(Ids(list), (std::vector<int>{1}));
}

TEST(FCCollection, InsertDetachAndClearKeepOrderAndOwnership)
{
    int deaths = 0;
    {
        __FCCollection list;
        list.Add(new Tracked(1, &deaths));
        list.Add(new Tracked(2, &deaths));
        list.InsertItemAt(new Tracked(0, &deaths), 0);
        EXPECT_EQ(Ids(list), (std::vector<int>{0, 1, 2}));
        list.InsertItemAt(new Tracked(9, &deaths), 5);
        EXPECT_EQ(Ids(list), (std::vector<int>{0, 1, 2, 9}));
        list.InsertItemAt(new Tracked(5, &deaths), 2);
        EXPECT_EQ(Ids(list), (std::vector<int>{0, 1, 5, 2, 9}));

        std::unique_ptr<__FCBase> detached(list.DetachItemAt(1));
        EXPECT_EQ(IdOf(detached.get()), 1);
        EXPECT_FALSE(list.ElementExists(detached.get()));
        EXPECT_EQ(Ids(list), (std::vector<int>{0, 5, 2, 9}));
        EXPECT_EQ(list.DetachItemAt(4), nullptr);
        EXPECT_EQ(list.DetachItemAt(-1), nullptr);

        EXPECT_TRUE(list.ClearItemAt(0));
        EXPECT_EQ(deaths, 1);
        EXPECT_FALSE(list.ClearItemAt(3));
        EXPECT_EQ(Ids(list), (std::vector<int>{5, 2, 9}));

        list.Add(nullptr);
        EXPECT_TRUE(list.ClearItemAt(3));  // a null slot is cleared too
        EXPECT_EQ(list.GetCount(), 3);
    }
    // The collection deleted the three left; the detached one was ours to
    // delete (its unique_ptr did), and nothing was deleted twice.
    EXPECT_EQ(deaths, 5);
}

TEST(FCCollection, LookupsAnswerNullOrMinusOneOutside)
{
    int deaths = 0;
    __FCCollection list;
    auto* a = new Tracked(1, &deaths);
    auto* b = new Tracked(2, &deaths);
    list.Add(a);
    list.Add(nullptr);
    list.Add(b);
    EXPECT_EQ(list.GetItemAt(-1), nullptr);
    EXPECT_EQ(list.GetItemAt(3), nullptr);
    EXPECT_EQ(list.GetIndexOf(b), 2);
    Tracked stranger(7, &deaths);
    EXPECT_EQ(list.GetIndexOf(&stranger), -1);
    EXPECT_TRUE(list.ElementExists(a));
    EXPECT_FALSE(list.ElementExists(&stranger));
    EXPECT_FALSE(list.ElementExists(nullptr));

    int tag = 0;
    b->SetUserData(&tag);
    EXPECT_EQ(list.FindUserData(&tag), b);
    EXPECT_EQ(list.FindUserData(nullptr), a);  // a has no user data
    EXPECT_EQ(list.FindUserData(&deaths), nullptr);

    EXPECT_FALSE(list.Swap(1, 1));
    EXPECT_FALSE(list.Swap(-1, 0));
    EXPECT_FALSE(list.Swap(0, 3));
    EXPECT_TRUE(list.Swap(0, 2));
    EXPECT_EQ(Ids(list), (std::vector<int>{2, -1, 1}));

    list._FreeElements();
    EXPECT_EQ(deaths, 2);
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.GetItemAt(0), nullptr);
}

TEST(FCCollection, ForEachSkipsNullsAndStopsWithoutCountingTheStopper)
{
    int deaths = 0;
    __FCCollection list;
    list.Add(new Tracked(1, &deaths));
    list.Add(nullptr);
    list.Add(new Tracked(2, &deaths));
    Recorder recorder;
    EXPECT_EQ(list.ForEach(&recorder), 2);
    EXPECT_EQ(recorder.visited, (std::vector<int>{1, 2}));

    Recorder stopper;
    stopper.stopAt = 1;
    EXPECT_EQ(list.ForEach(&stopper), 0);
    EXPECT_EQ(stopper.visited, (std::vector<int>{1}));

    Recorder indexed;
    EXPECT_EQ(list.ForEachIndex(&indexed), 2);
    EXPECT_EQ(indexed.indexes, (std::vector<int>{0, 2}));

    Recorder tail;
    EXPECT_EQ(list.ToEndFrom(1, &tail), 1);
    EXPECT_EQ(tail.visited, (std::vector<int>{2}));
    EXPECT_EQ(list.ToEndFrom(3, &tail), 0);
    EXPECT_EQ(list.ForEach(nullptr), 0);

    Recorder finder;
    finder.wanted = 2;
    EXPECT_EQ(IdOf(list.FindFirst(&finder)), 2);
    finder.wanted = 5;
    EXPECT_EQ(list.FindFirst(&finder), nullptr);
    EXPECT_EQ(list.FindFirst(nullptr), nullptr);
    EXPECT_EQ(__FCCollection().ForEach(&recorder), 0);
}

TEST(FCCollection, ForEachReadsTheCountAfterEveryCall)
{
    int deaths = 0;
    __FCCollection list;
    list.Add(new Tracked(1, &deaths));
    list.Add(new Tracked(2, &deaths));

    // Appends one element during the first visit; it is visited too.
    class Appender : public FCIteratorHandler {
    public:
        Appender(__FCCollection* list, int* deaths) : _list(list), _deaths(deaths) {}
        bool Iterate(__FCBase* object) override
        {
            seen.push_back(IdOf(object));
            if (seen.size() == 1) _list->Add(new Tracked(3, _deaths));
            return true;
        }
        std::vector<int> seen;

    private:
        __FCCollection* _list;
        int* _deaths;
    } appender(&list, &deaths);
    EXPECT_EQ(list.ForEach(&appender), 3);
    EXPECT_EQ(appender.seen, (std::vector<int>{1, 2, 3}));

    // Removes the visited element each time: the walk must not run past the
    // shrunken list.
    class Remover : public FCIteratorHandler {
    public:
        explicit Remover(__FCCollection* list) : _list(list) {}
        bool Iterate(__FCBase* object) override
        {
            return _list->ClearItemAt(_list->GetIndexOf(object));
        }

    private:
        __FCCollection* _list;
    } remover(&list);
    EXPECT_EQ(list.ForEach(&remover), 2);
    EXPECT_EQ(Ids(list), (std::vector<int>{2}));
}

TEST(FCCollection, SortIsAnUnstableExchangeSortThatLeavesNullsInPlace)
{
    int deaths = 0;
    __FCCollection list;
    // Compare looks at the tens: 20 and 21 compare equal, 10 comes first.
    list.Add(new Tracked(20, &deaths));
    list.Add(new Tracked(21, &deaths));
    list.Add(new Tracked(10, &deaths));
    Recorder sorter;
    EXPECT_TRUE(list.Sort(&sorter));
    EXPECT_EQ(Ids(list), (std::vector<int>{10, 21, 20}));
    EXPECT_FALSE(list.Sort(&sorter));
    EXPECT_FALSE(list.Sort(nullptr));

    __FCCollection withNull;
    withNull.Add(new Tracked(30, &deaths));
    withNull.Add(nullptr);
    withNull.Add(new Tracked(10, &deaths));
    EXPECT_TRUE(withNull.Sort(&sorter));
    EXPECT_EQ(Ids(withNull), (std::vector<int>{10, -1, 30}));

    __FCCollection single;
    single.Add(new Tracked(1, &deaths));
    EXPECT_FALSE(single.Sort(&sorter));
}

TEST(FCStrings, FindCopyTrimAndClear)
{
    FCStrings list;
    list.AddCString("Bb");
    list.AddCString(" A# ");
    list.Add(nullptr);
    list.AddCString("");

    FCString bb("Bb");
    FCString lower("bb");
    EXPECT_EQ(list.Find(&bb), list.GetItemAt(0));
    EXPECT_EQ(list.Find(&lower), nullptr);
    EXPECT_EQ(list.Find(nullptr), nullptr);
    EXPECT_EQ(FCStrings().Find(&bb), nullptr);

    FCStrings copy;
    copy.AddCString("old");
    copy.CopyFrom(&list);
    EXPECT_EQ(Texts(copy), (std::vector<std::string>{"Bb", " A# ", "<null>", ""}));
    EXPECT_NE(copy.GetItemAt(0), list.GetItemAt(0));
    copy.CopyFrom(nullptr);
    copy.CopyFrom(&copy);
    EXPECT_EQ(copy.GetCount(), 4);

    copy.TrimWhitespaceAll();
    EXPECT_STREQ(copy.GetItemAt(1)->GetCString(), "A#");

    FCStrings gaps;
    gaps.AddCString("");
    gaps.AddCString("x");
    gaps.Add(nullptr);
    gaps.AddCString("");
    gaps.ClearEmptyStrings();
    EXPECT_EQ(Texts(gaps), (std::vector<std::string>{"x"}));
}

TEST(FCStrings, SortAlphabeticalPutsUpperCaseFirst)
{
    FCStrings list;
    list.AddCString("b");
    list.AddCString("B");
    list.AddCString("a");
    EXPECT_TRUE(list.SortAlphabetical());
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"B", "a", "b"}));

    __FCAlphaSorter sorter;
    FCString a("a");
    EXPECT_EQ(sorter.Compare(nullptr, nullptr), 0);
    EXPECT_EQ(sorter.Compare(nullptr, &a), -1);
    EXPECT_EQ(sorter.Compare(&a, nullptr), 1);
}

TEST(FCStrings, ForeignElementsAreTreatedAsNull)
{
    FCStrings list;
    list.Add(new FCNumber(5));
    EXPECT_EQ(list.GetItemAt(0), nullptr);
    FCString five("5");
    EXPECT_EQ(list.Find(&five), nullptr);
    list.TrimWhitespaceAll();
    list.ClearEmptyStrings();
    EXPECT_EQ(list.GetCount(), 1);  // not an empty string, so kept
}
