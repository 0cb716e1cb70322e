// The bridge bound to the real engine: binding, one lookup per function,
// faithful forwarding, version words matched to structure sizes, and entry
// frames normalised on their way into the document.
#include <cstring>
#include <map>

#include "host/engine/pitch.h"
#include "tests/pdk/bridgecalls.h"
#include "tests/pdk/enginefixture.h"
#include "tonaropdk/bridge/hostfunction.h"
#include "tonaropdk/bridge/versionadjust.h"
#include "tonaropdk/hostapi/measurespec.h"
#include "tonaropdk/hostapi/recordtags.h"
#include "tonaropdk/hostapi/staffspec.h"
#include "tonaropdk/platform/macservices.h"

namespace {

using pdktest::EngineBridgeTest;
using tonaroengine::Document;
using tonaroengine::EntrySpec;
using tonaroengine::NoteSpec;

TEST_F(EngineBridgeTest, BindsTheLoadedEngineByItsLibraryName)
{
    void* engine = dlopen(kTonaroEngineBundleName, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(GetTonaroBundleRef(), engine);
    EXPECT_NE(GetTonaroBundleRef(), dlopen(nullptr, RTLD_NOW));
    dlclose(engine);

    EXPECT_EQ(gResFile, CurResFile());
    // The program's own file is recorded as the host application's.
    const std::u16string expected = u"pdk_tests";
    ASSERT_EQ(gTonaroFSSpec.nameLength, expected.size());
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(gTonaroFSSpec.name), gTonaroFSSpec.nameLength), expected);
}

TEST_F(EngineBridgeTest, EveryHostFunctionIsLookedUpOnceAndReached)
{
    doc_->AddStaff();
    doc_->AddMeasures(1);
    doc_->AddEntry(1, 1, 0, EntrySpec{1024, {NoteSpec{}}});

    pdktest::BridgeScratch scratch;
    const auto first = pdktest::CallEveryBridgeFunction(scratch);
    const int afterFirst = tonaro::bridge::BridgeLookupCount();
    const auto second = pdktest::CallEveryBridgeFunction(scratch);
    // Whatever ran before in this process, each name was looked up once.
    EXPECT_EQ(afterFirst, pdktest::kBridgeFunctionCount);
    EXPECT_EQ(tonaro::bridge::BridgeLookupCount(), afterFirst);

    // The engine answered: a few results that only it can give.
    std::map<std::string, int64_t> results;
    for (const auto& call : second) results[call.name] = call.result;
    EXPECT_EQ(results["FX_GetCurrentVeltraDocument"], doc_->Number());
    EXPECT_EQ(results["FX_GetMaxLayers"], 4);
    EXPECT_EQ(results["FX_LoadTGF"], 1);
    EXPECT_EQ(results["FX_GetMeasureDuration"], 4096);
    EXPECT_NE(results["FX_IsMachO"], 0);
    EXPECT_NE(results["FX_GetTonaroPathMac"], 0);
    EXPECT_EQ(LoadedTGFCounter, 0);
    EXPECT_EQ(TonaroEditDepth, 0);
    EXPECT_EQ(MassEditDepth, 0);
    EXPECT_EQ(tonaroengine::Engine::Instance().LoadedFrameCount(), 0);
}

TEST_F(EngineBridgeTest, ArgumentsReachTheEngineInOrder)
{
    ASSERT_EQ(doc_->AddStaff(3), 3);
    ASSERT_EQ(doc_->AddStaff(7), 7);
    doc_->AddMeasures(3);
    doc_->SetTimeSignature(2, 3, 1024, 2);
    ASSERT_NE(doc_->AddEntry(7, 2, 0, EntrySpec{1024, {NoteSpec{}}}), 0u);  // music to respace
    doc_->SetLayerShown(1, false);

    EXPECT_EQ(FX_SlotToInst(2, 0, FXT_VERSION_2012), 7);
    EXPECT_EQ(FX_InstToSlot(7, 0, FXT_VERSION_2012), 2);
    EXPECT_EQ(FX_GetMeasureDuration(7, 2, FXT_VERSION_2012), 3072);
    EXPECT_EQ(FX_GetMeasureDuration(7, 3, FXT_VERSION_2012), 4096);
    EXPECT_NE(FX_GetShowLayer(0, FXT_VERSION_2012), 0);
    EXPECT_EQ(FX_GetShowLayer(1, FXT_VERSION_2012), 0);

    EREGION selection{}, whole{};
    EXPECT_EQ(FX_GetCurERegions(nullptr, &selection, &whole, FXT_VERSION_2012), 0);
    const EREGION chosen = Document::MakeRegion(2, 2, 2, 3);
    ASSERT_NE(FX_SetCurERegionMac(&chosen, FXT_VERSION_2012), 0);
    ASSERT_NE(FX_GetCurERegions(nullptr, &selection, &whole, FXT_VERSION_2012), 0);
    EXPECT_EQ(std::memcmp(&selection, &chosen, sizeof chosen), 0);
    EXPECT_EQ(whole.endMeas, 3);

    ASSERT_NE(FX_ExecuteMenuItem(0x4D53704E, FXT_VERSION_2012), 0);  // 'MSpN'
    ASSERT_EQ(tonaroengine::Engine::Instance().ExecutedCommands().size(), 1u);
    EXPECT_EQ(tonaroengine::Engine::Instance().ExecutedCommands()[0].code, 0x4D53704Eu);
    EXPECT_TRUE(doc_->IsRespaced(2));
    EXPECT_FALSE(doc_->IsRespaced(1));

    ASSERT_NE(FX_RedrawMusic(&chosen, FXT_VERSION_2012), 0);
    ASSERT_EQ(events_.redraws.size(), 1u);
    EXPECT_EQ(events_.redraws[0].startMeas, 2);
    ASSERT_NE(FX_AlertMessage(0, 0, 0, "Hello from the bridge", FXT_VERSION_2012), 0);
    ASSERT_EQ(events_.alerts.size(), 1u);
    EXPECT_EQ(events_.alerts[0], "Hello from the bridge");

    // A note's MIDI key under the key that the caller names.
    NoteSpec d4;
    ASSERT_TRUE(tonaroengine::NoteFromName("D4", 0x0002, &d4));
    EXNOTE note{};
    note.displacement = d4.displacement;
    note.raiselower = d4.raiselower;
    EXPECT_EQ(FX_NoteToMidi(&note, 0x0002, FXT_VERSION_2012), 62);
}

TEST_F(EngineBridgeTest, ACurrentHostGetsDialogCallbacksUnwrapped)
{
    EXPECT_FALSE(IsTonaroCFM());
    auto callback = [](void*, void*, int16_t*) -> int16_t { return 0; };
    FF_DialogHandlerProcPtr plain = callback;
    EXPECT_EQ(NewFF_DialogHandlerProc(plain), plain);
    DisposeFF_DialogHandlerProc(plain);  // nothing to free: must not touch the function
    DisposeFF_DialogHandlerProc(nullptr);
}

// The engine chooses a record's layout by the version word; the bridge makes
// the version match the size the caller holds.
TEST_F(EngineBridgeTest, TheEngineLoadsTheLayoutThatTheStructureSizeNames)
{
    doc_->AddStaff();
    doc_->AddMeasures(2);
    auto engineLoad = EngineFunction(&FX_LoadEData, "FX_LoadEData");
    ASSERT_NE(engineLoad, nullptr);

    uint8_t measure[30] = {};
    EDataAddress address{{1, 0, 0, 0}};
    uint32_t size = 26;
    ASSERT_NE(engineLoad(TAG_MEASURESPEC, &address, measure, &size, 0x09000000), 0);
    EXPECT_EQ(size, MEASURESPEC_SIZE_V9);  // the engine alone would hand out the old layout
    size = 26;
    ASSERT_NE(FX_LoadEData(TAG_MEASURESPEC, &address, measure, &size, 0x09000000), 0);
    EXPECT_EQ(size, MEASURESPEC_SIZE_V10);

    uint8_t staff[136] = {};
    size = 102;
    ASSERT_NE(engineLoad(TAG_STAFFSPEC, &address, staff, &size, 0x05000000), 0);
    EXPECT_EQ(size, STAFFSPEC_SIZE_V5);
    size = 102;
    ASSERT_NE(FX_LoadEData(TAG_STAFFSPEC, &address, staff, &size, 0x05000000), 0);
    EXPECT_EQ(size, STAFFSPEC_SIZE_V8);
    EXPECT_TRUE(events_.alerts.empty());
}

TEST_F(EngineBridgeTest, AWrongVersionForACellFrameHoldWarnsTheDeveloper)
{
    uint8_t hold[10] = {};
    EDataAddress address{{1, 1, 0, 0}};
    uint32_t size = sizeof hold;
    FX_LoadEData(TAG_CELLFRAMEHOLD, &address, hold, &size, 0x08000000);
    ASSERT_EQ(events_.alerts.size(), 1u);
    EXPECT_EQ(events_.alerts[0], "Warning to plug-in developer: EDTGfhold2004 used with wrong version parameter");
    EXPECT_EQ(HandleVeltraVersion(TAG_CELLFRAMEHOLD, 10, 0x08000000), 0x09000000u);
    EXPECT_EQ(events_.alerts.size(), 2u);

    // The right version for the size: no warning.
    size = sizeof hold;
    FX_LoadEData(TAG_CELLFRAMEHOLD, &address, hold, &size, 0x09000000);
    EXPECT_EQ(events_.alerts.size(), 2u);
}

class EngineFrameTest : public EngineBridgeTest {
protected:
    void SetUp() override
    {
        EngineBridgeTest::SetUp();
        doc_->AddStaff();
        doc_->AddMeasures(2);
        NoteSpec c4, e4;
        tonaroengine::NoteFromName("C4", 0, &c4);
        tonaroengine::NoteFromName("E4", 0, &e4);
        chord_ = doc_->AddEntry(1, 1, 0, EntrySpec{1024, {c4, e4}});
        rest_ = doc_->AddRest(1, 1, 0, 1024);
        ASSERT_NE(chord_, 0u);
        ASSERT_NE(rest_, 0u);
    }

    // Loads measure 1, lets edit change it, saves and frees it.
    template <typename Edit>
    void SaveEdited(Edit edit)
    {
        EXTGF2005a* frame = FX_LoadTGF(0, 1, 1, 0, 0, FXT_VERSION_2012);
        ASSERT_NE(frame, nullptr);
        ASSERT_EQ(frame->numEntries, 2);
        edit(*frame);
        EXPECT_NE(FX_SaveTGF(frame, FXT_VERSION_2012), 0);
        FX_FreeTGF(frame, FXT_VERSION_2012);
    }

    EXENTRY Stored(uint32_t entnum)
    {
        EXENTRY entry{};
        EXPECT_TRUE(doc_->FindEntry(entnum, &entry, nullptr));
        return entry;
    }

    uint32_t chord_ = 0;
    uint32_t rest_ = 0;
};

TEST_F(EngineFrameTest, DuplicateNoteIdsAreRenumberedBeforeTheEngineStoresThem)
{
    SaveEdited([](EXTGF2005a& frame) {
        frame.entries[0].notes[0].noteID = 3;
        frame.entries[0].notes[1].noteID = 3;
    });
    EXENTRY chord = Stored(chord_);
    EXPECT_EQ(chord.notes[0].noteID, 4);
    EXPECT_EQ(chord.notes[1].noteID, 3);
    EXPECT_EQ((chord.notes[0].flags & EXNOTE_IDCOPY_MASK) >> EXNOTE_IDCOPY_SHIFT, 4u);
    EXPECT_EQ((chord.notes[1].flags & EXNOTE_IDCOPY_MASK) >> EXNOTE_IDCOPY_SHIFT, 3u);

    SaveEdited([](EXTGF2005a& frame) {
        frame.entries[0].notes[0].noteID = 0;
        frame.entries[0].notes[1].noteID = 0;
    });
    chord = Stored(chord_);
    EXPECT_EQ(chord.notes[0].noteID, 1);
    EXPECT_EQ(chord.notes[1].noteID, 2);
}

TEST_F(EngineFrameTest, ARestIsStoredWithOneNoteSlot)
{
    SaveEdited([](EXTGF2005a&) {});
    const EXENTRY rest = Stored(rest_);
    EXPECT_EQ(rest.numNotes, 1);
    EXPECT_EQ(+rest.notes[0].flags, 0x80000000u);
    EXPECT_NE(rest.flags & EXENTRY_RESTNOTESLOT, 0u);
}

TEST_F(EngineFrameTest, FramesAreNormalisedBeforeTheyAreResized)
{
    EXTGF2005a* frame = FX_LoadTGF(0, 1, 1, 0, 0, FXT_VERSION_2012);
    ASSERT_NE(frame, nullptr);
    frame->entries[0].notes[0].noteID = 9;
    frame->entries[0].notes[1].noteID = 9;
    ASSERT_NE(FX_InsertEXENTRY(frame, 2, 1, FXT_VERSION_2012), 0);
    ASSERT_EQ(frame->numEntries, 3);
    EXPECT_EQ(frame->entries[0].notes[0].noteID, 10);
    EXPECT_EQ(frame->entries[1].numNotes, 1);  // the rest got its slot

    frame->entries[0].notes[1].noteID = 10;
    ASSERT_NE(FX_DeleteEXENTRY(frame, 2, 1, FXT_VERSION_2012), 0);
    EXPECT_EQ(frame->numEntries, 2);
    EXPECT_EQ(frame->entries[0].notes[0].noteID, 11);
    FX_FreeTGF(frame, FXT_VERSION_2012);
}

TEST_F(EngineFrameTest, LoadedFramesAreCountedUntilFreed)
{
    EXTGF2005a* first = FX_LoadTGF(0, 1, 1, 0, 0, FXT_VERSION_2012);
    EXTGF2005a* second = FX_LoadTGF(0, 1, 2, 0, 0, FXT_VERSION_2012);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(LoadedTGFCounter, 2);

    // A frame the engine cannot give is not waiting to be freed.
    EXPECT_EQ(FX_LoadTGF(0, 1, 9, 0, 0, FXT_VERSION_2012), nullptr);
    EXPECT_EQ(FX_LoadTGF(0, 5, 1, 0, 0, FXT_VERSION_2012), nullptr);
    EXPECT_EQ(LoadedTGFCounter, 2);
    EXPECT_EQ(LoadedTGFCounter, tonaroengine::Engine::Instance().LoadedFrameCount());

    FX_FreeTGF(first, FXT_VERSION_2012);
    FX_FreeTGF(nullptr, FXT_VERSION_2012);
    EXPECT_EQ(LoadedTGFCounter, 1);
    FX_FreeTGF(second, FXT_VERSION_2012);
    EXPECT_EQ(LoadedTGFCounter, 0);
    EXPECT_EQ(tonaroengine::Engine::Instance().LoadedFrameCount(), 0);
}

}  // namespace
