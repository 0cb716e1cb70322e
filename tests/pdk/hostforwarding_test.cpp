// What a host receives from the bridge: version words matched to structure
// sizes, preference records emulated through other records with the fewest
// host calls, and the fix-ups for host loaders that fail on some records.
// The host here is a recording stand-in found through the main program.
#include <dlfcn.h>

#include <array>
#include <cstring>
#include <map>
#include <set>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "tests/pdk/recordinghost.h"
#include "tonaropdk/bridge/hostbinding.h"
#include "tonaropdk/bridge/hostfunction.h"
#include "tonaropdk/bridge/prefemulation.h"
#include "tonaropdk/bridge/versionadjust.h"
#include "tonaropdk/hostapi/fxfunctions.h"

namespace {

constexpr EDTAG kDistancePrefs = 0x70664450;
constexpr EDTAG kPageFormatPrefs = 0x70665046;
constexpr uint16_t kPrefsCmper = 65534;

class HostForwardingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(InitializeGlobals(), 0);
        pdkhost::Reset();
    }
    void TearDown() override { pdkhost::Reset(); }

    static std::vector<uint8_t> Words(std::array<uint16_t, 6> words)
    {
        std::vector<uint8_t> bytes(12);
        std::memcpy(bytes.data(), words.data(), 12);
        return bytes;
    }
    static std::array<uint16_t, 6> StoredWords(const char* chars, uint16_t inci = 0, uint16_t cmper = kPrefsCmper)
    {
        std::array<uint16_t, 6> words{};
        std::vector<uint8_t> bytes;
        const EDTAG tag = 0x6F740000 | (static_cast<EDTAG>(chars[0]) << 8) | static_cast<uint8_t>(chars[1]);
        if (pdkhost::GetRecord(tag, cmper, inci, &bytes) && bytes.size() == 12) std::memcpy(words.data(), bytes.data(), 12);
        return words;
    }
    static EDTAG Other(const char* chars)
    {
        return 0x6F740000 | (static_cast<EDTAG>(chars[0]) << 8) | static_cast<uint8_t>(chars[1]);
    }
};

TEST_F(HostForwardingTest, HostFunctionsAreFoundThroughTheMainProgram)
{
    EXPECT_EQ(GetTonaroBundleRef(), dlopen(nullptr, RTLD_NOW));
    // 16-bit answers keep their sign; arguments arrive in order and width.
    EXPECT_EQ(FX_SlotToInst(40000, 3, FXT_VERSION_2012), static_cast<int16_t>(-40000));
    const auto calls = pdkhost::CallsOf("FX_SlotToInst");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].size, 40000u);
    EXPECT_EQ(calls[0].tag, 3u);
    EXPECT_EQ(calls[0].version, FXT_VERSION_2012);
    // What this host does not export answers 0.
    EXPECT_EQ(FX_GetCurrentVeltraDocument(FXT_VERSION_2012), 0);
}

TEST_F(HostForwardingTest, RecordFunctionsPassTheVersionOfTheCallersLayout)
{
    struct Case {
        EDTAG tag;
        uint32_t size;
        uint32_t version;
        uint32_t expected;
        const char* alert;  // null: none
    };
    const Case cases[] = {
        {0x534F5353, 22, 0x12000000, 0x05000000, nullptr},
        {0x4F025353, 22, 0x01000000, 0x05000000, nullptr},
        {0x534F5353, 24, 0x05FFFFFF, 0x06000000, nullptr},
        {0x534F5353, 24, 0x06000000, 0x06000000, nullptr},
        {0x4F025353, 28, 0x09FFFFFF, 0x0A000000, nullptr},
        {0x534F5353, 28, 0x0A000000, 0x0A000000, nullptr},
        {0x534F5353, 26, 0x01000000, 0x01000000, nullptr},
        {0x534F4953, 66, 0x12000000, 0x05000000, nullptr},
        {0x534F4953, 102, 0x12000000, 0x08000000, nullptr},
        {0x534F4953, 136, 0x12000000, 0x12000000, nullptr},
        {0x534F4D53, 24, 0x12000000, 0x09000000, nullptr},
        {0x534F4D53, 26, 0x09FFFFFF, 0x0A000000, nullptr},
        {0x534F4D53, 26, 0x12000000, 0x12000000, nullptr},
        {0x53444746, 10, 0x08000000, 0x09000000,
         "Warning to plug-in developer: EDTGfhold2004 used with wrong version parameter"},
        {0x53444746, 10, 0x09000000, 0x09000000, nullptr},
        {0x53444746, 12, 0x08000001, 0x08000000, nullptr},
        {0x53444746, 12, 0x08000000, 0x08000000, nullptr},
        {0x534F5458, 26, 0x08FFFFFF, 0x09000000,
         "Warning to plug-in developer: EDTTextBlock2004 used with wrong version parameter"},
        {0x534F5458, 48, 0x12000000, 0x08000000, nullptr},
        {0x6F74444F, 34, 0x00000000, 0x09000000,
         "Warning to plug-in developer: EDTShapeExpression2004 used with wrong version parameter"},
        {0x6F74444F, 12, 0x12000000, 0x08000000, nullptr},
        {0x6F74444F, 34, 0x09000000, 0x09000000, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.tag << " size " << std::dec << c.size << " version "
                                        << std::hex << c.version);
        std::vector<uint8_t> buffer(c.size);
        EDataAddress address{{1, 0, 0, 0}};
        uint32_t capacity = c.size;
        for (const char* function : {"FX_LoadEData", "FX_SaveEData", "FX_CreateEData", "FX_NextEData",
                                     "FX_PreviousEData"}) {
            SCOPED_TRACE(function);
            pdkhost::Reset();
            const std::string name = function;
            if (name == "FX_LoadEData") FX_LoadEData(c.tag, &address, buffer.data(), &capacity, c.version);
            if (name == "FX_SaveEData") FX_SaveEData(c.tag, &address, buffer.data(), c.size, c.version);
            if (name == "FX_CreateEData") FX_CreateEData(c.tag, &address, buffer.data(), c.size, c.version);
            if (name == "FX_NextEData") FX_NextEData(c.tag, &address, buffer.data(), c.size, c.version);
            if (name == "FX_PreviousEData") FX_PreviousEData(c.tag, &address, buffer.data(), c.size, c.version);
            const auto calls = pdkhost::Calls();
            if (c.alert != nullptr) {
                ASSERT_EQ(calls.size(), 2u);
                EXPECT_EQ(calls[0].function, "FX_AlertMessage");
                EXPECT_EQ(calls[0].version, FXT_VERSION_2012);
                EXPECT_EQ(calls[0].tag, 0u);  // the three leading arguments are 0
                ASSERT_EQ(pdkhost::Alerts().size(), 1u);
                EXPECT_EQ(pdkhost::Alerts()[0], c.alert);
            } else {
                ASSERT_EQ(calls.size(), 1u);
            }
            EXPECT_EQ(calls.back().function, name);
            EXPECT_EQ(calls.back().tag, c.tag);
            EXPECT_EQ(calls.back().version, c.expected);
        }
    }
}

TEST_F(HostForwardingTest, ASizeOfZeroOrAnAbsentSizeChangesNothing)
{
    EDataAddress address{{1, 0, 0, 0}};
    FX_NextEData(0x534F4953, &address, nullptr, 0, 0x12000000);
    ASSERT_EQ(pdkhost::Calls().size(), 1u);
    EXPECT_EQ(pdkhost::Calls()[0].version, 0x12000000u);
    EXPECT_EQ(HandleVeltraVersion(0x53444746, 0, 0x01000000), 0x01000000u);
    EXPECT_TRUE(pdkhost::Alerts().empty());

    uint8_t buffer[12];
    EXPECT_EQ(FX_LoadEData(0x534F4953, &address, buffer, nullptr, 0x12000000), 0);
    EXPECT_EQ(pdkhost::Calls().size(), 1u);
}

TEST_F(HostForwardingTest, AnEmulatedStructureLoadsEachOtherRecordOnce)
{
    pdkhost::PutRecord(Other("21"), kPrefsCmper, 0, Words({0, 0, 0, 0x1111, 0, 0x2222}));
    pdkhost::PutRecord(Other("68"), kPrefsCmper, 0, Words({0, 0, 0, 0, 0x0001, 0x0002}));
    pdkhost::PutRecord(Other("65"), kPrefsCmper, 0, Words({0xABCD, 0x1234, 0, 0, 0, 0}));
    pdkhost::PutRecord(Other("77"), kPrefsCmper, 4, Words({0x0777, 0, 0, 0, 0, 0}));

    std::array<uint8_t, 100> buffer;
    buffer.fill(0xEE);
    uint32_t size = sizeof buffer;
    EDataAddress address{{0, 0, 0, 0}};
    ASSERT_EQ(FX_LoadEData(kDistancePrefs, &address, buffer.data(), &size, FXT_VERSION_2012), 1);
    EXPECT_EQ(size, 76u);

    auto field16 = [&buffer](int offset) {
        uint16_t v;
        std::memcpy(&v, buffer.data() + offset, 2);
        return v;
    };
    auto field32 = [&buffer](int offset) {
        uint32_t v;
        std::memcpy(&v, buffer.data() + offset, 4);
        return v;
    };
    EXPECT_EQ(field16(0), 0x1111);
    EXPECT_EQ(field16(2), 0x2222);
    EXPECT_EQ(field32(18), 0x00010002u);
    EXPECT_EQ(field32(54), 0xABCD1234u);
    EXPECT_EQ(field16(72), 0x0777);
    EXPECT_EQ(field16(74), 0);  // ot01 is missing: it reads as zeros
    EXPECT_EQ(buffer[76], 0xEE);  // nothing written past the structure

    std::set<std::tuple<EDTAG, uint16_t, uint16_t>> loaded;
    for (const auto& call : pdkhost::Calls()) {
        EXPECT_EQ(call.function, "FX_LoadEData");
        EXPECT_EQ(call.size, 12u);
        EXPECT_EQ(call.version, FXT_VERSION_2012);
        EXPECT_TRUE(loaded.insert({call.tag, call.cmper, call.inci}).second) << "loaded twice";
    }
    EXPECT_EQ(loaded.size(), 15u);
    EXPECT_TRUE(loaded.count({Other("77"), kPrefsCmper, 4}));
}

TEST_F(HostForwardingTest, SizeQueriesAndShortBuffersReachNoHost)
{
    EDataAddress address{{0, 0, 0, 0}};
    uint32_t size = 0;
    ASSERT_EQ(FX_LoadEData(kDistancePrefs, &address, nullptr, &size, FXT_VERSION_2012), 1);
    EXPECT_EQ(size, 76u);
    address.words[0] = 1;
    size = 0;
    ASSERT_EQ(FX_LoadEData(kPageFormatPrefs, &address, nullptr, &size, FXT_VERSION_2012), 1);
    EXPECT_EQ(size, 48u);
    EXPECT_TRUE(pdkhost::Calls().empty());

    // Too small a buffer is refused without writing to it.
    std::array<uint8_t, 80> buffer;
    buffer.fill(0xEE);
    address.words[0] = 0;
    size = 75;
    EXPECT_EQ(FX_LoadEData(kDistancePrefs, &address, buffer.data(), &size, FXT_VERSION_2012), 0);
    address.words[0] = 1;
    size = 47;
    EXPECT_EQ(FX_LoadEData(kPageFormatPrefs, &address, buffer.data(), &size, FXT_VERSION_2012), 0);
    EXPECT_EQ(size, 47u);
    for (uint8_t byte : buffer) EXPECT_EQ(byte, 0xEE);
    EXPECT_TRUE(pdkhost::Calls().empty());
}

TEST_F(HostForwardingTest, AnEmulatedSaveWritesBackOnlyWhatChanged)
{
    pdkhost::PutRecord(Other("68"), kPrefsCmper, 0, Words({1, 2, 3, 4, 0, 0}));
    std::array<uint8_t, 76> prefs{};
    uint32_t size = sizeof prefs;
    EDataAddress address{{0, 0, 0, 0}};
    ASSERT_EQ(FX_LoadEData(kDistancePrefs, &address, prefs.data(), &size, FXT_VERSION_2012), 1);

    // Saving what was loaded writes nothing.
    pdkhost::ClearCalls();
    ASSERT_EQ(FX_SaveEData(kDistancePrefs, &address, prefs.data(), 76, FXT_VERSION_2012), 1);
    EXPECT_TRUE(pdkhost::CallsOf("FX_SaveEData").empty());
    EXPECT_EQ(pdkhost::CallsOf("FX_LoadEData").size(), 15u);

    // A change to the 4-byte field at 18 (high half first) rewrites ot68 only.
    const uint32_t value = 0x00050006;
    std::memcpy(prefs.data() + 18, &value, 4);
    pdkhost::ClearCalls();
    ASSERT_EQ(FX_SaveEData(kDistancePrefs, &address, prefs.data(), 76, FXT_VERSION_2012), 1);
    const auto saves = pdkhost::CallsOf("FX_SaveEData");
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_EQ(saves[0].tag, Other("68"));
    EXPECT_EQ(saves[0].cmper, kPrefsCmper);
    EXPECT_EQ(saves[0].inci, 0);
    EXPECT_EQ(saves[0].size, 12u);
    EXPECT_EQ(saves[0].version, FXT_VERSION_2012);
    EXPECT_EQ(StoredWords("68"), (std::array<uint16_t, 6>{1, 2, 3, 4, 5, 6}));
}

TEST_F(HostForwardingTest, EmulatedSavesRefuseShortBuffersAndReportFailedWrites)
{
    std::array<uint8_t, 76> prefs{};
    prefs[0] = 1;
    EDataAddress address{{0, 0, 0, 0}};
    // Fewer bytes than the structure holds: nothing is read or written.
    EXPECT_EQ(FX_SaveEData(kDistancePrefs, &address, prefs.data(), 72, FXT_VERSION_2012), 0);
    EXPECT_EQ(FX_SaveEData(kDistancePrefs, &address, nullptr, 76, FXT_VERSION_2012), 0);
    EXPECT_EQ(pdkhost::CallsOf("FX_LoadEData").size(), 0u);

    pdkhost::SetSavesFail(true);
    EXPECT_EQ(FX_SaveEData(kDistancePrefs, &address, prefs.data(), 76, FXT_VERSION_2012), 0);
    address.words[0] = 1;
    std::array<uint8_t, 48> run{};
    EXPECT_EQ(FX_SaveEData(kPageFormatPrefs, &address, run.data(), 48, FXT_VERSION_2012), 0);
    pdkhost::SetSavesFail(false);
    EXPECT_EQ(FX_SaveEData(kPageFormatPrefs, &address, run.data(), 47, FXT_VERSION_2012), 0);
    EXPECT_EQ(FX_SaveEData(kPageFormatPrefs, &address, run.data(), 48, FXT_VERSION_2012), 1);
    for (uint16_t inci = 0; inci < 4; ++inci) EXPECT_TRUE(pdkhost::GetRecord(Other("77"), kPrefsCmper, inci, nullptr));
}

TEST_F(HostForwardingTest, PartlyFilledRecordsCountAsLoadedWhenAnythingArrived)
{
    constexpr EDTAG kArticulationDef = 0x4F044958;
    constexpr EDTAG kFretInstrumentDef = 0x4F096649;
    EDataAddress address{{2, 0, 0, 0}};

    std::array<uint8_t, 120> buffer;
    buffer.fill(0xEE);
    uint32_t size = 48;
    pdkhost::SetPartialLoad(kArticulationDef, std::vector<uint8_t>(48, 0));
    EXPECT_EQ(FX_LoadEData(kArticulationDef, &address, buffer.data(), &size, FXT_VERSION_2012), 0);
    for (int i = 0; i < 48; ++i) EXPECT_EQ(buffer[i], 0) << i;  // cleared before the host was called
    EXPECT_EQ(buffer[48], 0xEE);

    std::vector<uint8_t> partial(30, 0);
    partial[29] = 7;
    pdkhost::SetPartialLoad(kFretInstrumentDef, partial);
    size = 108;
    EXPECT_EQ(FX_LoadEData(kFretInstrumentDef, &address, buffer.data(), &size, FXT_VERSION_2012), 1);

    // A buffer smaller than the record is cleared only as far as it goes.
    buffer.fill(0xEE);
    size = 20;
    pdkhost::SetPartialLoad(kFretInstrumentDef, std::vector<uint8_t>(8, 0));
    EXPECT_EQ(FX_LoadEData(kFretInstrumentDef, &address, buffer.data(), &size, FXT_VERSION_2012), 0);
    EXPECT_EQ(buffer[19], 0);
    EXPECT_EQ(buffer[20], 0xEE);

    // A record the host has loads as usual.
    pdkhost::Reset();
    pdkhost::PutRecord(kArticulationDef, 2, 0, std::vector<uint8_t>(48, 0));
    size = 48;
    EXPECT_EQ(FX_LoadEData(kArticulationDef, &address, buffer.data(), &size, FXT_VERSION_2012), 1);
}

// Functions looked up while no library exported them stay unresolved even
// after one that exports them is loaded; functions first called afterwards
// find it. Only FX_GetMaxLayers and FX_GetShowLayer are involved, which no
// other test of this program calls.
TEST_F(HostForwardingTest, AFailedLookupIsNeverRetried)
{
    EXPECT_EQ(FX_GetMaxLayers(FXT_VERSION_2012), 0);
    const int lookups = tonaro::bridge::BridgeLookupCount();

    void* late = dlopen(TONARO_LATE_HOST_PATH, RTLD_NOW | RTLD_GLOBAL);
    ASSERT_NE(late, nullptr) << dlerror();
    EXPECT_EQ(FX_GetMaxLayers(FXT_VERSION_2012), 0);
    EXPECT_EQ(tonaro::bridge::BridgeLookupCount(), lookups);
    EXPECT_EQ(FX_GetShowLayer(2, FXT_VERSION_2012), 102);
    EXPECT_EQ(tonaro::bridge::BridgeLookupCount(), lookups + 1);
    EXPECT_EQ(FX_GetShowLayer(3, FXT_VERSION_2012), 103);
    EXPECT_EQ(tonaro::bridge::BridgeLookupCount(), lookups + 1);
}

}  // namespace
