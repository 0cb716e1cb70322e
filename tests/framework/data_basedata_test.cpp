// The generic record protocol against the engine's record store: load,
// save, reload, walk, create, clone; records spread over several 12-byte
// records; collections of inci'd and single records; record browsers with
// their handler calls; the version a record's layout follows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "enginefixture.h"
#include "tonaroframework/base/fciteratorhandler.h"
#include "tonaroframework/data/fcbrowsernoinciother.h"
#include "tonaroframework/data/fccollectioninciother.h"
#include "tonaroframework/data/fccollectionnoincidetail.h"
#include "tonaroframework/data/fccollectionnoinciother.h"
#include "tonaroframework/data/fcglobals.h"
#include "tonaroframework/data/fcinciother.h"
#include "tonaroframework/data/fcmeasure.h"
#include "tonaroframework/data/fcnoincidetail.h"
#include "tonaroframework/data/fcnoinciother.h"
#include "tonaroframework/data/fcprefsbase.h"
#include "tonaropdk/hostapi/recordtags.h"

namespace {

constexpr EDTAG kSingleTag = MakeEDTag('o', 't', 'T', '1');
constexpr EDTAG kInciTag = MakeEDTag('o', 't', 'T', '2');
constexpr EDTAG kGlobalTag = MakeEDTag('G', 'L', 'T', 'S');
constexpr EDTAG kDetailTag = MakeEDTag('D', 'T', 'T', 'S');

struct Words {
    int16_t w[6];
};

Words Make(int16_t first, int16_t second = 0)
{
    return Words{{first, second, 0, 0, 0, 0}};
}

// A 12-byte other record, one per cmper.
class SingleRecord : public __FCNoInciOther {
public:
    const char* ClassName() const override { return "SingleRecord"; }
    void* Allocate() override { return &data; }
    __FCBaseData* CreateObject() const override { return new SingleRecord(); }
    EDTAG Tag() const override { return kSingleTag; }
    uint32_t DataSizeLoad() const override { return sizeof data; }
    Words data{};
};

// A 30-byte structure kept as a run of 12-byte 'otLG' records.
class LongRecord : public __FCNoInciOther {
public:
    const char* ClassName() const override { return "LongRecord"; }
    void* Allocate() override { return data; }
    __FCBaseData* CreateObject() const override { return new LongRecord(); }
    EDTAG Tag() const override { return MakeEDTag('L', 'R', 'L', 'G'); }
    uint32_t DataSizeLoad() const override { return sizeof data; }
    bool LoadLong(uint16_t cmper) { return _LoadOtherFullCmper(cmper, data, sizeof data, 0x6F74); }
    bool SaveLong(uint16_t cmper, int size) { return _SaveOtherFullCmper(cmper, data, size, 0x6F74); }
    uint32_t StoredSize(uint16_t cmper) const { return _DataSizeLoadFullCmper(cmper, 0x6F74); }
    void MarkLoaded() { _SetLoadedSize(sizeof data); }
    uint8_t data[30] = {};
};

class InciRecord : public __FCInciOther {
public:
    const char* ClassName() const override { return "InciRecord"; }
    void* Allocate() override { return &data; }
    __FCBaseData* CreateObject() const override { return new InciRecord(); }
    EDTAG Tag() const override { return kInciTag; }
    uint32_t DataSizeLoad() const override { return sizeof data; }
    Words data{};
};

// An inci'd record that the host refuses to create.
class RefusedInciRecord : public InciRecord {
public:
    bool SaveNew(uint16_t) override { return false; }
};

class InciRecords : public __FCCollectionInciOther {
public:
    InciRecord* CreateElement() override { return new InciRecord(); }
};

class SingleRecords : public __FCCollectionNoInciOther {
public:
    SingleRecord* CreateElement() override { return new SingleRecord(); }
};

class SingleBrowser : public __FCBrowserNoInciOther {
public:
    SingleRecord* CreateElement() override { return new SingleRecord(); }
};

class GlobalRecord : public __FCGlobals {
public:
    void* Allocate() override { return &data; }
    __FCBaseData* CreateObject() const override { return new GlobalRecord(); }
    EDTAG Tag() const override { return kGlobalTag; }
    uint32_t DataSizeLoad() const override { return sizeof data; }
    Words data{};
};

class GlobalRecords : public __FCCollectionData {
public:
    __FCBaseData* CreateElement() override { return new GlobalRecord(); }
};

class DetailRecord : public __FCNoInciDetail {
public:
    void* Allocate() override { return &data; }
    __FCBaseData* CreateObject() const override { return new DetailRecord(); }
    EDTAG Tag() const override { return kDetailTag; }
    uint32_t DataSizeLoad() const override { return sizeof data; }
    Words data{};
};

class DetailRecords : public __FCCollectionNoInciDetail {
public:
    DetailRecord* CreateElement() override { return new DetailRecord(); }
};

// A record of dynamic size: a heap block per load, owned by the base.
class TextRecord : public __FCNoInciOther {
public:
    const char* ClassName() const override { return "TextRecord"; }
    bool IsDynamicSize() const override { return true; }
    void* Allocate() override { return std::malloc(DataSizeLoad()); }
    __FCBaseData* CreateObject() const override { return new TextRecord(); }
    EDTAG Tag() const override { return MakeEDTag('T', 'X', 'T', 'S'); }
    uint32_t DataSizeLoad() const override { return 64; }
    std::string Text() const
    {
        const auto* bytes = static_cast<const char*>(_GetDataBlock());
        return bytes ? std::string(bytes, GetLoadedSize()) : std::string();
    }
};

// Preferences kept in 12-byte other records.
class OtherPrefs : public __FCPrefsBase {
public:
    void* Allocate() override { return &data; }
    __FCBaseData* CreateObject() const override { return new OtherPrefs(); }
    EDTAG Tag() const override { return MakeEDTag('p', 'f', 'T', 'S'); }
    uint32_t DataSizeLoad() const override { return sizeof data; }
    static bool LoadInci(char a, char b, Words* out, int16_t inci) { return _LoadPrefsInci(a, b, out->w, inci); }
    static bool SaveInci(char a, char b, const Words& in, int16_t inci) { return _SavePrefsInci(a, b, in.w, inci); }
    static bool LoadFI(Words* out, int16_t cmper) { return _LoadPrefsCmperFI(out->w, cmper); }
    static bool SaveFI(const Words& in, int16_t cmper) { return _SavePrefsCmperFI(in.w, cmper); }
    Words data{};
};

// Writes down every handler call.
struct CallLog : FCIteratorHandler {
    bool PreProcess() override
    {
        calls += "pre ";
        return preAnswer;
    }
    bool PreProcessIfExist() override
    {
        calls += "exist ";
        return existAnswer;
    }
    bool Iterate(__FCBase* object) override
    {
        const auto* record = static_cast<SingleRecord*>(object);
        calls += "it" + std::to_string(record->GetItemNo()) + " ";
        return record->GetItemNo() != stopAt;
    }
    bool Match(__FCBase* object) override { return static_cast<SingleRecord*>(object)->data.w[0] == wanted; }
    void PostProcessIfExist() override { calls += "postexist "; }
    void PostProcess() override { calls += "post"; }
    std::string calls;
    bool preAnswer = true;
    bool existAnswer = true;
    int stopAt = -1;
    int16_t wanted = 0;
};

}  // namespace

class BaseData : public EngineFixture {
protected:
    void Put(EDTAG tag, uint16_t w0, uint16_t w1, const Words& words, uint16_t w2 = 0)
    {
        ASSERT_TRUE(doc->SaveRecord(tag, EDataAddress{{w0, w1, w2, 0}}, &words, sizeof words));
    }
    bool Has(EDTAG tag, uint16_t w0, uint16_t w1, std::vector<uint8_t>* out = nullptr, uint16_t w2 = 0)
    {
        std::vector<uint8_t> bytes;
        const bool found = doc->LoadRecord(tag, EDataAddress{{w0, w1, w2, 0}}, &bytes);
        if (out) *out = bytes;
        return found;
    }
    int16_t FirstWord(EDTAG tag, uint16_t w0, uint16_t w1)
    {
        std::vector<uint8_t> bytes;
        if (!Has(tag, w0, w1, &bytes) || bytes.size() < 2) return -999;
        int16_t value;
        std::memcpy(&value, bytes.data(), 2);
        return value;
    }
};

TEST_F(BaseData, LoadSaveReload)
{
    Put(kSingleTag, 4, 0, Make(11, 12));
    SingleRecord record;
    EXPECT_EQ(record.GetLoadedSize(), 0u);
    EXPECT_FALSE(record.Reload());
    EXPECT_FALSE(record.Save());  // never loaded: refused
    EXPECT_FALSE(Has(kSingleTag, 0, 0));

    ASSERT_TRUE(record.Load(4));
    EXPECT_EQ(record.GetLoadedSize(), 12u);
    EXPECT_EQ(record.data.w[1], 12);
    record.data.w[1] = 99;
    ASSERT_TRUE(record.Save());
    std::vector<uint8_t> stored;
    ASSERT_TRUE(Has(kSingleTag, 4, 0, &stored));
    EXPECT_EQ(stored[2], 99);

    Put(kSingleTag, 4, 0, Make(11, 55));  // changed behind the record's back
    ASSERT_TRUE(record.Reload());
    EXPECT_EQ(record.data.w[1], 55);

    EXPECT_FALSE(record.Load(5));
    EXPECT_EQ(record.GetLoadedSize(), 0u);
    EXPECT_FALSE(record.Save());
    EXPECT_FALSE(Has(kSingleTag, 5, 0));
}

TEST_F(BaseData, WalkStartsBelowTheFirstRecordAndStopsAtTheLast)
{
    Put(kSingleTag, 2, 0, Make(20));
    Put(kSingleTag, 5, 0, Make(50));
    Put(kSingleTag, 9, 0, Make(90));
    SingleRecord record;
    ASSERT_TRUE(record.LoadFirst());  // there is no cmper 1
    EXPECT_EQ(record.GetItemNo(), 2);
    ASSERT_TRUE(record.LoadNext());
    EXPECT_EQ(record.GetItemNo(), 5);
    ASSERT_TRUE(record.LoadNext());
    EXPECT_EQ(record.data.w[0], 90);
    EXPECT_FALSE(record.LoadNext());
    EXPECT_EQ(record.GetItemNo(), 9);
    EXPECT_EQ(record.data.w[0], 90);
    EXPECT_EQ(record.GetLoadedSize(), 12u);

    SingleRecord none;
    doc->DeleteRecord(kSingleTag, EDataAddress{{2, 0, 0, 0}});
    doc->DeleteRecord(kSingleTag, EDataAddress{{5, 0, 0, 0}});
    doc->DeleteRecord(kSingleTag, EDataAddress{{9, 0, 0, 0}});
    EXPECT_FALSE(none.LoadFirst());
}

TEST_F(BaseData, CreateSaveAsAndDelete)
{
    Put(kSingleTag, 3, 0, Make(30));
    Put(kSingleTag, 8, 0, Make(80));
    SingleRecord fresh;
    EXPECT_FALSE(fresh.SaveNew());  // no structure yet

    SingleRecord record;
    ASSERT_TRUE(record.Load(3));
    record.data.w[0] = 31;
    ASSERT_TRUE(record.SaveNew());
    EXPECT_EQ(record.GetItemNo(), 9);  // the host's number
    EXPECT_EQ(FirstWord(kSingleTag, 9, 0), 31);
    EXPECT_EQ(FirstWord(kSingleTag, 3, 0), 30);

    ASSERT_TRUE(record.DeepSaveAs(12));
    EXPECT_EQ(record.GetItemNo(), 12);
    EXPECT_EQ(FirstWord(kSingleTag, 12, 0), 31);

    ASSERT_TRUE(record.DeleteData());
    EXPECT_FALSE(Has(kSingleTag, 12, 0));
    EXPECT_FALSE(record.DeleteData());
}

TEST_F(BaseData, ClonesAreIndependent)
{
    Put(kSingleTag, 6, 0, Make(60, 61));
    SingleRecord record;
    ASSERT_TRUE(record.Load(6));
    record.SetCollectionContext(77);
    std::unique_ptr<SingleRecord> clone(static_cast<SingleRecord*>(record.CreateClone()));
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->GetItemNo(), 6);
    EXPECT_EQ(clone->GetCollectionContext(), 77);
    EXPECT_EQ(clone->GetLoadedSize(), 12u);
    EXPECT_EQ(clone->data.w[1], 61);
    EXPECT_EQ(clone->_GetDataBlock(), &clone->data);  // its own structure
    clone->data.w[1] = 1;
    EXPECT_EQ(record.data.w[1], 61);

    SingleRecord empty;
    clone->CloneFrom(&empty);  // a source never loaded copies no data
    EXPECT_EQ(clone->data.w[1], 1);
    EXPECT_EQ(clone->GetItemNo(), 0);

    record.ClearData();
    EXPECT_EQ(record.GetLoadedSize(), 0u);
    EXPECT_EQ(record._GetDataBlock(), nullptr);
    EXPECT_FALSE(record.Save());
    EXPECT_TRUE(record.Load(6));
}

TEST_F(BaseData, LongStructuresAcrossSeveralRecords)
{
    LongRecord earlier;
    earlier.MarkLoaded();
    for (int i = 0; i < 30; ++i) earlier.data[i] = 0xEE;
    // An earlier, longer version left five records.
    for (uint16_t inci = 0; inci < 5; ++inci) Put(MakeEDTag('o', 't', 'L', 'G'), 4, inci, Make(-1, -1));

    LongRecord record;
    EXPECT_FALSE(record.SaveLong(4, 30));  // never loaded
    record.MarkLoaded();
    for (int i = 0; i < 30; ++i) record.data[i] = static_cast<uint8_t>(i + 1);
    EXPECT_FALSE(record.SaveLong(0, 30));
    EXPECT_FALSE(record.SaveLong(4, 0));
    ASSERT_TRUE(record.SaveLong(4, 30));

    EXPECT_EQ(record.StoredSize(4), 36u);  // three records; the two surplus ones are gone
    std::vector<uint8_t> third;
    ASSERT_TRUE(Has(MakeEDTag('o', 't', 'L', 'G'), 4, 2, &third));
    ASSERT_EQ(third.size(), 12u);
    EXPECT_EQ(third[5], 30);
    for (int i = 6; i < 12; ++i) EXPECT_EQ(third[static_cast<size_t>(i)], 0) << i;  // padding
    EXPECT_FALSE(Has(MakeEDTag('o', 't', 'L', 'G'), 4, 3));
    EXPECT_FALSE(Has(MakeEDTag('o', 't', 'L', 'G'), 4, 4));

    // The whole structure reads back, the partial last record included.
    LongRecord reader;
    ASSERT_TRUE(reader.LoadLong(4));
    EXPECT_EQ(reader.GetLoadedSize(), 30u);
    EXPECT_EQ(std::memcmp(reader.data, record.data, 30), 0);

    LongRecord missing;
    EXPECT_FALSE(missing.LoadLong(5));
    EXPECT_EQ(missing.GetLoadedSize(), 0u);
    EXPECT_EQ(missing.StoredSize(5), 0u);
}

TEST_F(BaseData, InciCollectionLoadsSavesAndDeletes)
{
    for (uint16_t inci = 0; inci < 3; ++inci) Put(kInciTag, 7, inci, Make(static_cast<int16_t>(70 + inci)));
    Put(kInciTag, 8, 0, Make(80));

    InciRecord single;
    EXPECT_FALSE(single.LoadFirst());  // no walk over every cmper

    InciRecords records;
    records.SetCollectionContext(5);
    ASSERT_EQ(records.LoadAllForItem(7), 3);
    EXPECT_EQ(static_cast<InciRecord*>(records.GetItemAt(2))->data.w[0], 72);
    EXPECT_EQ(records.GetItemAt(2)->GetCollectionContext(), 5);
    ASSERT_NE(records.FindItemNo(7, 1), nullptr);
    EXPECT_EQ(static_cast<InciRecord*>(records.FindItemNo(7, 1))->data.w[0], 71);
    EXPECT_EQ(records.FindItemNo(8, 0), nullptr);

    // Drop the middle one and store the rest: incis close up.
    ASSERT_TRUE(records.ClearItemAt(1));
    ASSERT_TRUE(records.SaveAllForItem(7));
    EXPECT_EQ(FirstWord(kInciTag, 7, 0), 70);
    EXPECT_EQ(FirstWord(kInciTag, 7, 1), 72);
    EXPECT_FALSE(Has(kInciTag, 7, 2));
    EXPECT_EQ(FirstWord(kInciTag, 8, 0), 80);

    EXPECT_TRUE(records.DeleteDataForItem(30));  // nothing there
    ASSERT_TRUE(records.DeleteDataForItem(7));
    EXPECT_FALSE(Has(kInciTag, 7, 0));
    EXPECT_EQ(records.LoadAllForItem(7), 0);
    EXPECT_EQ(records.GetCount(), 0);
}

TEST_F(BaseData, InciCollectionSavesAllRowsOrLeavesTheStoredRecords)
{
    for (uint16_t inci = 0; inci < 3; ++inci) Put(kInciTag, 7, inci, Make(static_cast<int16_t>(70 + inci)));
    const auto storedAsBefore = [&] {
        EXPECT_EQ(FirstWord(kInciTag, 7, 0), 70);
        EXPECT_EQ(FirstWord(kInciTag, 7, 1), 71);
        EXPECT_EQ(FirstWord(kInciTag, 7, 2), 72);
        EXPECT_FALSE(Has(kInciTag, 7, 3));
    };
    InciRecords records;
    ASSERT_EQ(records.LoadAllForItem(7), 3);
    static_cast<InciRecord*>(records.GetItemAt(0))->data.w[0] = 90;

    // A row never loaded has nothing to write.
    records.InsertItemAt(new InciRecord(), 1);
    EXPECT_FALSE(records.SaveAllForItem(7));
    storedAsBefore();

    // A row the host refuses, after others were written.
    ASSERT_TRUE(records.ClearItemAt(1));
    ASSERT_TRUE(records.ClearItemAt(1));  // rows 90 and 72 left
    auto* refused = new RefusedInciRecord();
    ASSERT_TRUE(refused->Load(7, 0));
    records.Add(refused);
    EXPECT_FALSE(records.SaveAllForItem(7));
    storedAsBefore();
    EXPECT_EQ(records.GetItemAt(1)->GetItemInci(), 2);  // addresses as they were

    ASSERT_TRUE(records.ClearItemAt(2));
    ASSERT_TRUE(records.SaveAllForItem(7));
    EXPECT_EQ(FirstWord(kInciTag, 7, 0), 90);
    EXPECT_EQ(FirstWord(kInciTag, 7, 1), 72);
    EXPECT_FALSE(Has(kInciTag, 7, 2));
}

TEST_F(BaseData, InciCollectionCopiesOneCmperOverAnother)
{
    Put(kInciTag, 1, 0, Make(10));
    Put(kInciTag, 1, 1, Make(11));
    for (uint16_t inci = 0; inci < 4; ++inci) Put(kInciTag, 2, inci, Make(20));
    InciRecords records;
    ASSERT_TRUE(records.SaveDataAs(1, 2));
    EXPECT_EQ(FirstWord(kInciTag, 2, 0), 10);
    EXPECT_EQ(FirstWord(kInciTag, 2, 1), 11);
    EXPECT_FALSE(Has(kInciTag, 2, 2));
    EXPECT_FALSE(Has(kInciTag, 2, 3));
    EXPECT_EQ(FirstWord(kInciTag, 1, 1), 11);
    EXPECT_FALSE(records.SaveDataAs(3, 1));  // nothing to copy
    EXPECT_EQ(FirstWord(kInciTag, 1, 0), 10);
}

TEST_F(BaseData, InciCreateTakesTheHostsNumber)
{
    Put(kInciTag, 4, 0, Make(40));
    Put(kInciTag, 4, 1, Make(41));
    InciRecord record;
    EXPECT_FALSE(record.SaveNew(4));
    ASSERT_TRUE(record.Load(4, 0));
    ASSERT_TRUE(record.SaveNew(4));
    EXPECT_EQ(record.GetItemCmper(), 4);
    EXPECT_EQ(record.GetItemInci(), 2);
    EXPECT_EQ(FirstWord(kInciTag, 4, 2), 40);
}

TEST_F(BaseData, CollectionLoadAllAndSaveAll)
{
    SingleRecords records;
    EXPECT_EQ(records.LoadAll(), 0);
    EXPECT_EQ(records.GetCount(), 0);
    EXPECT_TRUE(records.SaveAll());

    Put(kSingleTag, 3, 0, Make(3));
    Put(kSingleTag, 4, 0, Make(4));
    records.SetCollectionContext(9);
    ASSERT_EQ(records.LoadAll(), 2);
    ASSERT_NE(records.FindItemNo(4), nullptr);
    EXPECT_EQ(records.FindItemNo(4)->GetCollectionContext(), 9);
    EXPECT_EQ(records.FindItemNo(5), nullptr);
    static_cast<SingleRecord*>(records.GetItemAt(0))->data.w[1] = 33;
    static_cast<SingleRecord*>(records.GetItemAt(1))->data.w[1] = 44;
    ASSERT_TRUE(records.SaveAll());
    SingleRecord check;
    ASSERT_TRUE(check.Load(4));
    EXPECT_EQ(check.data.w[1], 44);

    records.Add(new SingleRecord());  // never loaded: SaveAll reports it
    EXPECT_FALSE(records.SaveAll());
    ASSERT_EQ(records.LoadAll(), 2);  // a reload replaces the elements
}

TEST_F(BaseData, GlobalsAndDetailsWalkTheirNumbers)
{
    for (uint16_t n = 0; n < 3; ++n)
        ASSERT_TRUE(doc->SaveRecord(kGlobalTag, EDataAddress{{n, 0, 0, 0}}, &n, sizeof n));
    GlobalRecords globals;
    EXPECT_EQ(globals.LoadAll(), 3);
    GlobalRecord last;
    ASSERT_TRUE(last.Load(2));
    EXPECT_FALSE(last.LoadNext());
    EXPECT_EQ(last.GetItemNo(), 2);  // put back

    for (uint16_t second = 5; second < 8; ++second) Put(kDetailTag, 3, second, Make(static_cast<int16_t>(second)));
    DetailRecords details;
    ASSERT_EQ(details.LoadAllForItem(3, 5), 3);
    EXPECT_EQ(details.GetItemAt(2)->GetItemCmper2(), 7);
    EXPECT_EQ(details.LoadAllForItem(3, 6), 2);
    EXPECT_EQ(details.LoadAllForItem(4, 5), 0);
    DetailRecord detail;
    EXPECT_FALSE(detail.LoadFirst());
    ASSERT_TRUE(detail.Load(3, 6));
    ASSERT_TRUE(detail.SaveNew(3));
    EXPECT_EQ(detail.GetItemCmper2(), 8);
}

TEST_F(BaseData, BrowserCallsTheHandlerInOrder)
{
    Put(kSingleTag, 2, 0, Make(20));
    Put(kSingleTag, 5, 0, Make(50));
    Put(kSingleTag, 9, 0, Make(90));
    SingleBrowser browser;

    CallLog all;
    EXPECT_EQ(browser.ForEach(&all), 3);
    EXPECT_EQ(all.calls, "pre exist it2 it5 it9 postexist post");

    CallLog stopping;
    stopping.stopAt = 5;
    EXPECT_EQ(browser.ForEach(&stopping), 1);
    EXPECT_EQ(stopping.calls, "pre exist it2 it5 postexist post");

    CallLog refused;
    refused.preAnswer = false;
    EXPECT_EQ(browser.ForEach(&refused), 0);
    EXPECT_EQ(refused.calls, "pre ");

    CallLog notWanted;
    notWanted.existAnswer = false;
    EXPECT_EQ(browser.ForEach(&notWanted), 0);
    EXPECT_EQ(notWanted.calls, "pre exist post");

    CallLog fromFive;
    EXPECT_EQ(browser.ToEndFrom(5, &fromFive), 2);
    EXPECT_EQ(fromFive.calls, "pre exist it5 it9 postexist post");
    EXPECT_EQ(browser.GetCount(), 3);
    EXPECT_EQ(browser.ForEach(nullptr), 0);

    std::unique_ptr<SingleRecord> five(static_cast<SingleRecord*>(browser.LoadAnElement(5)));
    ASSERT_NE(five, nullptr);
    EXPECT_EQ(five->data.w[0], 50);
    EXPECT_EQ(browser.LoadAnElement(6), nullptr);

    CallLog finder;
    finder.wanted = 50;
    std::unique_ptr<__FCBase> found(browser.FindFirst(&finder));  // the caller's
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(static_cast<SingleRecord*>(found.get())->GetItemNo(), 5);
    finder.wanted = 51;
    EXPECT_EQ(browser.FindFirst(&finder), nullptr);
}

TEST_F(BaseData, BrowserWithoutRecords)
{
    SingleBrowser browser;
    CallLog log;
    EXPECT_EQ(browser.ForEach(&log), 0);
    EXPECT_EQ(log.calls, "pre post");
    EXPECT_EQ(browser.GetCount(), 0);
}

TEST_F(BaseData, MeasureLayoutFollowsTheRunningVersion)
{
    doc->AddStaff(4);
    doc->AddMeasures(2, 3, 1024, 0x00FD);
    EXPECT_TRUE(__FCBaseData::Use2012Version());
    FCMeasure measure;
    ASSERT_TRUE(measure.Load(2));
    EXPECT_EQ(measure.GetLoadedSize(), 30u);
    EXPECT_EQ(measure.VeltraVersion(), 0x12000000u);
    EXPECT_EQ(measure.GetKeySignatureID(), 0x00FD);

    SetTonaroFrameworkVersion(0x11000000);
    EXPECT_TRUE(__FCBaseData::Use2012Version());
    FCMeasure older;
    EXPECT_EQ(older.VeltraVersion(), 0x0A000000u);
    ASSERT_TRUE(older.Load(2));
    EXPECT_EQ(older.GetLoadedSize(), 26u);
    EXPECT_EQ(older.GetKeySignatureID(), 0x00FD);
    EXPECT_EQ(older.GetBeats(), 3);

    SetTonaroFrameworkVersion(0x10FFFFFF);
    EXPECT_FALSE(__FCBaseData::Use2012Version());
}

TEST_F(BaseData, DynamicSizeRecordsOwnTheirBlocks)
{
    const char text[] = "eighteen bytes!!!";
    ASSERT_TRUE(doc->SaveRecord(MakeEDTag('T', 'X', 'T', 'S'), EDataAddress{{2, 0, 0, 0}}, text, 17));
    ASSERT_TRUE(doc->SaveRecord(MakeEDTag('T', 'X', 'T', 'S'), EDataAddress{{3, 0, 0, 0}}, "short", 5));
    TextRecord record;
    ASSERT_TRUE(record.Load(2));
    EXPECT_EQ(record.Text(), "eighteen bytes!!!");
    ASSERT_TRUE(record.LoadNext());  // a new block for every load
    EXPECT_EQ(record.Text(), "short");
    std::unique_ptr<TextRecord> clone(static_cast<TextRecord*>(record.CreateClone()));
    EXPECT_EQ(clone->Text(), "short");
    EXPECT_NE(clone->_GetDataBlock(), record._GetDataBlock());
    record.ClearData();
    EXPECT_EQ(record._GetDataBlock(), nullptr);
    EXPECT_EQ(clone->Text(), "short");
    ASSERT_TRUE(clone->Load(2));
    EXPECT_EQ(clone->Text(), "eighteen bytes!!!");
    clone->Deallocate();
    EXPECT_EQ(clone->GetLoadedSize(), 0u);
    EXPECT_FALSE(clone->Save());
}

TEST_F(BaseData, PreferenceHelpersUseOtherRecords)
{
    const Words written = Make(41, 42);
    ASSERT_TRUE(OtherPrefs::SaveInci('X', 'Y', written, 3));
    EXPECT_EQ(FirstWord(MakeEDTag('o', 't', 'X', 'Y'), OTHER_PREFS_CMPER, 3), 41);
    Words read{};
    ASSERT_TRUE(OtherPrefs::LoadInci('X', 'Y', &read, 3));
    EXPECT_EQ(read.w[1], 42);
    EXPECT_FALSE(OtherPrefs::LoadInci('X', 'Y', &read, 4));

    ASSERT_TRUE(OtherPrefs::SaveFI(Make(7, 8), 10));
    EXPECT_EQ(FirstWord(MakeEDTag('o', 't', 'F', 'I'), 10, 0), 7);
    ASSERT_TRUE(OtherPrefs::LoadFI(&read, 10));
    EXPECT_EQ(read.w[1], 8);
    EXPECT_FALSE(OtherPrefs::LoadFI(&read, 11));

    Put(MakeEDTag('p', 'f', 'T', 'S'), 1, 0, Make(5));
    OtherPrefs prefs;
    ASSERT_TRUE(prefs.LoadFirst());
    EXPECT_EQ(prefs.GetItemNo(), 1);
    EXPECT_EQ(prefs.data.w[0], 5);
    EXPECT_FALSE(prefs.Load(2));
}
