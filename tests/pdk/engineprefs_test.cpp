// Preference records emulated through the engine's other records: loads,
// saves and round trips of the nine structures and the record runs.
#include <array>
#include <cstring>
#include <vector>

#include "tests/pdk/enginefixture.h"
#include "tonaropdk/bridge/prefemulation.h"
#include "tonaropdk/hostapi/recordtags.h"

namespace {

using pdktest::EngineBridgeTest;

constexpr EDTAG kDistancePrefs = 0x70664450;
constexpr EDTAG kPageFormatPrefs = 0x70665046;
constexpr EDTAG kStaffNamePrefs = 0x7066534E;
constexpr EDTAG kStaffSystemData = 0x534F5344;
constexpr uint16_t kPrefsCmper = 65534;

EDTAG Other(const char* chars)
{
    return TAG_OTHER_HIGH | (static_cast<EDTAG>(chars[0]) << 8) | static_cast<uint8_t>(chars[1]);
}

std::vector<uint8_t> Bytes(std::initializer_list<uint16_t> words)
{
    std::vector<uint8_t> bytes(words.size() * 2);
    std::memcpy(bytes.data(), std::data(words), bytes.size());
    return bytes;
}

class EnginePrefsTest : public EngineBridgeTest {
protected:
    void PutOther(const char* chars, uint16_t cmper, uint16_t inci, std::initializer_list<uint16_t> words)
    {
        const auto bytes = Bytes(words);
        ASSERT_TRUE(doc_->SaveRecord(Other(chars), EDataAddress{{cmper, inci, 0, 0}}, bytes.data(), 12));
    }
    std::array<uint16_t, 6> OtherWords(EDTAG tag, uint16_t cmper, uint16_t inci)
    {
        std::array<uint16_t, 6> words{};
        std::vector<uint8_t> bytes;
        if (doc_->LoadRecord(tag, EDataAddress{{cmper, inci, 0, 0}}, &bytes) && bytes.size() >= 12) {
            std::memcpy(words.data(), bytes.data(), 12);
        }
        return words;
    }
};

TEST_F(EnginePrefsTest, PageFormatIsAStructureForTheScoreAndARunForTheParts)
{
    PutOther("77", kPrefsCmper, 0, {1, 2, 3, 4, 5, 6});
    PutOther("77", kPrefsCmper, 3, {0x31, 0, 0, 0, 0, 0x36});
    const std::vector<uint8_t> ownRecord(20, 0x42);
    ASSERT_TRUE(doc_->SaveRecord(kPageFormatPrefs, EDataAddress{{2, 0, 0, 0}}, ownRecord.data(), 20));

    std::array<uint8_t, 64> buffer{};
    EDataAddress address{{0, 0, 0, 0}};
    uint32_t size = sizeof buffer;
    ASSERT_NE(FX_LoadEData(kPageFormatPrefs, &address, buffer.data(), &size, FXT_VERSION_2012), 0);
    EXPECT_EQ(size, 48u);

    buffer.fill(0xEE);
    address.words[0] = 1;
    size = sizeof buffer;
    ASSERT_NE(FX_LoadEData(kPageFormatPrefs, &address, buffer.data(), &size, FXT_VERSION_2012), 0);
    EXPECT_EQ(size, 48u);
    EXPECT_EQ(std::memcmp(buffer.data(), Bytes({1, 2, 3, 4, 5, 6}).data(), 12), 0);
    for (int i = 12; i < 36; ++i) EXPECT_EQ(buffer[i], 0) << "missing records read as zeros, byte " << i;
    EXPECT_EQ(std::memcmp(buffer.data() + 36, Bytes({0x31, 0, 0, 0, 0, 0x36}).data(), 12), 0);
    EXPECT_EQ(buffer[48], 0xEE);

    // Any other cmper is the engine's own record.
    buffer.fill(0);
    address.words[0] = 2;
    size = sizeof buffer;
    ASSERT_NE(FX_LoadEData(kPageFormatPrefs, &address, buffer.data(), &size, FXT_VERSION_2012), 0);
    EXPECT_EQ(size, 20u);
    EXPECT_EQ(buffer[19], 0x42);
}

TEST_F(EnginePrefsTest, StaffNamePrefsMapOnlyTheirCmperRange)
{
    PutOther("40", kPrefsCmper, 4, {0x4444, 0, 0, 0, 0, 0x4445});
    const std::vector<uint8_t> own0(14, 0x10), own129(16, 0x11);
    ASSERT_TRUE(doc_->SaveRecord(kStaffNamePrefs, EDataAddress{{0, 0, 0, 0}}, own0.data(), 14));
    ASSERT_TRUE(doc_->SaveRecord(kStaffNamePrefs, EDataAddress{{129, 0, 0, 0}}, own129.data(), 16));

    std::array<uint8_t, 32> buffer{};
    EDataAddress address{{5, 0, 0, 0}};
    uint32_t size = sizeof buffer;
    ASSERT_NE(FX_LoadEData(kStaffNamePrefs, &address, buffer.data(), &size, FXT_VERSION_2012), 0);
    EXPECT_EQ(size, 12u);
    EXPECT_EQ(std::memcmp(buffer.data(), Bytes({0x4444, 0, 0, 0, 0, 0x4445}).data(), 12), 0);

    address.words[0] = 0;
    size = sizeof buffer;
    ASSERT_NE(FX_LoadEData(kStaffNamePrefs, &address, buffer.data(), &size, FXT_VERSION_2012), 0);
    EXPECT_EQ(size, 14u);
    EXPECT_EQ(buffer[0], 0x10);

    address.words[0] = 129;
    size = sizeof buffer;
    ASSERT_NE(FX_LoadEData(kStaffNamePrefs, &address, buffer.data(), &size, FXT_VERSION_2012), 0);
    EXPECT_EQ(size, 16u);
    EXPECT_EQ(buffer[0], 0x11);
}

TEST_F(EnginePrefsTest, DistancePrefsReadTheirFieldsFromTheOtherRecords)
{
    PutOther("21", kPrefsCmper, 0, {0, 0, 0, 0x0102, 0, 0x0304});
    PutOther("68", kPrefsCmper, 0, {0, 0, 0, 0, 0x0001, 0x8000});
    PutOther("65", kPrefsCmper, 0, {0xFFFF, 0xFFFE, 0, 0, 0, 0});
    PutOther("01", kPrefsCmper, 0, {0, 0, 0, 0, 0, 0x7777});
    PutOther("77", kPrefsCmper, 4, {0x0404, 0, 0, 0, 0, 0});

    std::array<uint8_t, 76> prefs{};
    EDataAddress address{{0, 0, 0, 0}};
    uint32_t size = sizeof prefs;
    ASSERT_NE(FX_LoadEData(kDistancePrefs, &address, prefs.data(), &size, FXT_VERSION_2012), 0);
    auto u16 = [&prefs](int offset) { uint16_t v; std::memcpy(&v, prefs.data() + offset, 2); return v; };
    auto u32 = [&prefs](int offset) { uint32_t v; std::memcpy(&v, prefs.data() + offset, 4); return v; };
    EXPECT_EQ(u16(0), 0x0102);
    EXPECT_EQ(u16(2), 0x0304);
    EXPECT_EQ(u32(18), 0x00018000u);
    EXPECT_EQ(u32(54), 0xFFFFFFFEu);
    EXPECT_EQ(u16(74), 0x7777);
    EXPECT_EQ(u16(72), 0x0404);
}

TEST_F(EnginePrefsTest, SpecialConversionsWorkBothWays)
{
    constexpr EDTAG kMiscDocPrefs = 0x70664D53;
    PutOther("36", kPrefsCmper, 0, {0, 0, 0, 0, 0, 0});
    PutOther("19", kPrefsCmper, 0, {0, 0, 0, 0, 0x12FF, 0x0034});

    std::array<uint8_t, 104> prefs{};
    EDataAddress address{{0, 0, 0, 0}};
    uint32_t size = sizeof prefs;
    ASSERT_NE(FX_LoadEData(kMiscDocPrefs, &address, prefs.data(), &size, FXT_VERSION_2012), 0);
    auto u16 = [&prefs](int offset) { uint16_t v; std::memcpy(&v, prefs.data() + offset, 2); return v; };
    EXPECT_EQ(u16(12), 1);       // a zero word reads as a set flag
    EXPECT_EQ(u16(52), 0x00FF);  // low byte, zero-extended
    EXPECT_EQ(u16(54), 0x0034);

    const uint16_t flagOff = 0, byteValue = 0x0080;
    std::memcpy(prefs.data() + 12, &flagOff, 2);
    std::memcpy(prefs.data() + 54, &byteValue, 2);
    ASSERT_NE(FX_SaveEData(kMiscDocPrefs, &address, prefs.data(), 104, FXT_VERSION_2012), 0);
    const auto ot36 = OtherWords(Other("36"), kPrefsCmper, 0);
    EXPECT_EQ(ot36[1], 1);
    const auto ot19 = OtherWords(Other("19"), kPrefsCmper, 0);
    EXPECT_EQ(ot19[5], 0xFF80);  // the low byte is written sign-extended
}

// Every structure survives a save and a load through the engine: each field
// has a word of its own, and what was written is read back.
TEST_F(EnginePrefsTest, EveryStructureRoundTripsThroughTheEngine)
{
    const EDTAG tags[] = {0x70664450, 0x70664558, 0x70664D53, 0x70665042, 0x70665046,
                          0x7066504C, 0x70665250, 0x70665349, 0x70665353};
    for (EDTAG tag : tags) {
        SCOPED_TRACE(testing::Message() << std::hex << tag);
        const auto map = mapPrefStruct(tag, 0);
        const uint32_t structureSize = PrefStructSize(map);
        std::vector<uint8_t> written(structureSize);
        for (const auto& field : map) {
            // Values that every conversion keeps: flags 0/1, bytes below 128.
            uint32_t value = 0x13570000u + static_cast<uint32_t>(field.offset) * 3 + 1;
            if (field.kind == PREFMAP_NEGATEDFLAG) value = field.offset % 4 == 0 ? 1 : 0;
            if (field.kind == PREFMAP_LOWBYTE) value = 0x20 + field.offset % 64;
            if (field.size == 2) {
                const auto v16 = static_cast<uint16_t>(value);
                std::memcpy(written.data() + field.offset, &v16, 2);
            } else {
                std::memcpy(written.data() + field.offset, &value, 4);
            }
        }
        EDataAddress address{{0, 0, 0, 0}};
        ASSERT_NE(FX_SaveEData(tag, &address, written.data(), structureSize, FXT_VERSION_2012), 0);
        // Nothing is stored under the preference tag itself.
        std::vector<uint8_t> own;
        EXPECT_FALSE(doc_->LoadRecord(tag, address, &own));

        std::vector<uint8_t> read(structureSize + 8, 0xEE);
        uint32_t size = static_cast<uint32_t>(read.size());
        ASSERT_NE(FX_LoadEData(tag, &address, read.data(), &size, FXT_VERSION_2012), 0);
        EXPECT_EQ(size, structureSize);
        EXPECT_EQ(std::vector<uint8_t>(read.begin(), read.begin() + structureSize), written);
        EXPECT_EQ(read[structureSize], 0xEE);
    }
}

TEST_F(EnginePrefsTest, RunsRoundTripThroughTheEngine)
{
    std::array<uint8_t, 96> run{};
    for (size_t i = 0; i < run.size(); ++i) run[i] = static_cast<uint8_t>(i + 1);
    EDataAddress address{{0, 0, 0, 0}};
    ASSERT_NE(FX_SaveEData(0x70665458, &address, run.data(), 96, FXT_VERSION_2012), 0);  // 'pfTX': 8 x ot78
    for (uint16_t inci = 0; inci < 8; ++inci) {
        const auto words = OtherWords(Other("78"), kPrefsCmper, inci);
        uint16_t first = 0;
        std::memcpy(&first, run.data() + inci * 12, 2);
        EXPECT_EQ(words[0], first) << inci;
    }
    std::array<uint8_t, 96> back{};
    uint32_t size = 95;
    EXPECT_EQ(FX_LoadEData(0x70665458, &address, back.data(), &size, FXT_VERSION_2012), 0);
    size = 96;
    ASSERT_NE(FX_LoadEData(0x70665458, &address, back.data(), &size, FXT_VERSION_2012), 0);
    EXPECT_EQ(back, run);
    EXPECT_EQ(FX_SaveEData(0x70665458, &address, run.data(), 95, FXT_VERSION_2012), 0);
}

TEST_F(EnginePrefsTest, OldCallersSaveTheirPreferenceRecordAsItIs)
{
    std::array<uint8_t, 76> prefs{};
    prefs[0] = 0x55;
    EDataAddress address{{0, 0, 0, 0}};
    ASSERT_NE(FX_SaveEData(kDistancePrefs, &address, prefs.data(), 76, 0x07FFFFFF), 0);
    std::vector<uint8_t> stored;
    ASSERT_TRUE(doc_->LoadRecord(kDistancePrefs, address, &stored));
    EXPECT_EQ(stored.size(), 76u);
    EXPECT_EQ(OtherWords(Other("21"), kPrefsCmper, 0)[3], 0);

    ASSERT_NE(FX_SaveEData(kDistancePrefs, &address, prefs.data(), 76, 0x08000000), 0);
    EXPECT_EQ(OtherWords(Other("21"), kPrefsCmper, 0)[3], 0x55);
}

TEST_F(EnginePrefsTest, StaffSystemDataWithOnlyItsOtherRecordReadsAsDefaults)
{
    std::array<uint8_t, 80> buffer;
    buffer.fill(0xEE);
    EDataAddress address{{3, 0, 0, 0}};
    uint32_t size = sizeof buffer;
    EXPECT_EQ(FX_LoadEData(kStaffSystemData, &address, buffer.data(), &size, FXT_VERSION_2012), 0);

    PutOther("SD", 3, 0, {1, 1, 1, 1, 1, 1});
    size = sizeof buffer;
    ASSERT_NE(FX_LoadEData(kStaffSystemData, &address, buffer.data(), &size, FXT_VERSION_2012), 0);
    EXPECT_EQ(size, 66u);
    for (int i = 0; i < 66; ++i) EXPECT_EQ(buffer[i], 0) << i;
    EXPECT_EQ(buffer[66], 0xEE);
    size = 0;
    ASSERT_NE(FX_LoadEData(kStaffSystemData, &address, nullptr, &size, FXT_VERSION_2012), 0);
    EXPECT_EQ(size, 66u);
    // A smaller buffer is cleared only as far as it goes.
    buffer.fill(0xEE);
    size = 10;
    ASSERT_NE(FX_LoadEData(kStaffSystemData, &address, buffer.data(), &size, FXT_VERSION_2012), 0);
    EXPECT_EQ(size, 10u);
    EXPECT_EQ(buffer[9], 0);
    EXPECT_EQ(buffer[10], 0xEE);
    address.words[0] = 4;
    size = sizeof buffer;
    EXPECT_EQ(FX_LoadEData(kStaffSystemData, &address, buffer.data(), &size, FXT_VERSION_2012), 0);
}

}  // namespace
