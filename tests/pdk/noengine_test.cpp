// The bridge in a process where no engine is loaded: it binds to the main
// program, which exports no host functions, so every bridge function must
// answer 0 and leave everything it is given alone.
#include <dlfcn.h>

#include <cstring>

#include <gtest/gtest.h>

#include "tests/pdk/bridgecalls.h"
#include "tonaropdk/bridge/cleantgf.h"
#include "tonaropdk/bridge/editcounters.h"
#include "tonaropdk/bridge/hostbinding.h"
#include "tonaropdk/bridge/hostfunction.h"
#include "tonaropdk/bridge/prefemulation.h"

namespace {

class NoEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(InitializeGlobals(), 0);
        LoadedTGFCounter = 0;
        TonaroEditDepth = 0;
        MassEditDepth = 0;
    }
};

bool AllBytesAre(const void* data, size_t size, uint8_t value)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) {
        if (bytes[i] != value) return false;
    }
    return true;
}

TEST_F(NoEngineTest, BindsTheMainProgramWhenNoEngineIsLoaded)
{
    EXPECT_EQ(dlopen(kTonaroEngineBundleName, RTLD_NOW | RTLD_NOLOAD), nullptr);
    void* mainProgram = dlopen(nullptr, RTLD_NOW);
    EXPECT_EQ(GetTonaroBundleRef(), mainProgram);
    // A second initialisation keeps the handle it has.
    EXPECT_EQ(InitializeGlobals(), 0);
    EXPECT_EQ(GetTonaroBundleRef(), mainProgram);
}

TEST_F(NoEngineTest, EveryBridgeFunctionAnswersZeroAndWritesNothing)
{
    pdktest::BridgeScratch scratch;
    const auto results = pdktest::CallEveryBridgeFunction(scratch);
    ASSERT_EQ(results.size(), static_cast<size_t>(pdktest::kBridgeFunctionCount));
    for (const auto& call : results) EXPECT_EQ(call.result, 0) << call.name;

    constexpr uint8_t p = pdktest::BridgeScratch::kPattern;
    EXPECT_TRUE(AllBytesAre(&scratch.info, sizeof scratch.info, p));
    EXPECT_TRUE(AllBytesAre(&scratch.selection, sizeof scratch.selection, p));
    EXPECT_TRUE(AllBytesAre(&scratch.whole, sizeof scratch.whole, p));
    // Frame functions did not normalise a frame that no host will see.
    EXPECT_TRUE(AllBytesAre(scratch.entries, sizeof scratch.entries, p));
    EXPECT_TRUE(AllBytesAre(scratch.text, sizeof scratch.text, p));
    EXPECT_TRUE(AllBytesAre(scratch.record, sizeof scratch.record, p));
    EXPECT_EQ(scratch.recordSize, sizeof scratch.record);
    EXPECT_EQ(scratch.address.words[0], 1);
    EXPECT_TRUE(AllBytesAre(&scratch.path, sizeof scratch.path, p));
    EXPECT_TRUE(AllBytesAre(&scratch.window, sizeof scratch.window, p));
    EXPECT_EQ(scratch.dialogId, 7);
    EXPECT_EQ(scratch.dialogChanged, 3);

    EXPECT_EQ(LoadedTGFCounter, 0);
    EXPECT_EQ(MassEditDepth, 0);
    // Both starts were counted; the end and the cancel took them back.
    EXPECT_EQ(TonaroEditDepth, 0);
}

TEST_F(NoEngineTest, FailedLookupsAreMadeOnceAndNeverRetried)
{
    pdktest::BridgeScratch scratch;
    pdktest::CallEveryBridgeFunction(scratch);
    const int afterFirstRound = tonaro::bridge::BridgeLookupCount();
    EXPECT_GE(afterFirstRound, pdktest::kBridgeFunctionCount);

    pdktest::CallEveryBridgeFunction(scratch);
    EXPECT_EQ(tonaro::bridge::BridgeLookupCount(), afterFirstRound);
}

TEST_F(NoEngineTest, EmulatedPreferencesFailWithoutAHost)
{
    uint8_t buffer[128];
    std::memset(buffer, 0x5A, sizeof buffer);
    uint32_t size = sizeof buffer;
    EDataAddress address{{0, 0, 0, 0}};

    // A structure, a run and a size query: nothing is made up without a host.
    EXPECT_EQ(FX_LoadEData(0x70664450, &address, buffer, &size, FXT_VERSION_2012), 0);
    EXPECT_EQ(FX_LoadEData(0x70664747, &address, buffer, &size, FXT_VERSION_2012), 0);
    EXPECT_EQ(FX_LoadEData(0x70664450, &address, nullptr, &size, FXT_VERSION_2012), 0);
    EXPECT_TRUE(AllBytesAre(buffer, sizeof buffer, 0x5A));
    EXPECT_EQ(size, sizeof buffer);
    EXPECT_EQ(FX_SaveEData(0x70664450, &address, buffer, 76, FXT_VERSION_2012), 0);
    // The partly filled records are not cleared either.
    EXPECT_EQ(FX_LoadEData(0x4F044958, &address, buffer, &size, FXT_VERSION_2012), 0);
    EXPECT_TRUE(AllBytesAre(buffer, sizeof buffer, 0x5A));
}

TEST_F(NoEngineTest, EditSessionsAreCountedEvenWithoutAHost)
{
    EXPECT_EQ(FX_StartTonaroEdit("One", FXT_VERSION_2012), 0);
    EXPECT_EQ(TonaroEditDepth, 1);
    FX_CancelTonaroEdit(FXT_VERSION_2012);
    EXPECT_EQ(TonaroEditDepth, 0);
    FX_CancelTonaroEdit(FXT_VERSION_2012);
    EXPECT_EQ(TonaroEditDepth, 0);
    EXPECT_EQ(FX_EndTonaroEdit(FXT_VERSION_2012), 0);
    EXPECT_EQ(TonaroEditDepth, 0);
}

int16_t DialogCallback(void*, void*, int16_t*)
{
    return 1;
}

// Without a host answering FX_IsMachO the host counts as a code-fragment
// build: callbacks are wrapped in a block holding the callback and 0.
TEST_F(NoEngineTest, DialogCallbacksAreWrappedForACodeFragmentHost)
{
    EXPECT_TRUE(IsTonaroCFM());
    FF_DialogHandlerUPP handle = NewFF_DialogHandlerProc(&DialogCallback);
    ASSERT_NE(handle, nullptr);
    ASSERT_NE(handle, &DialogCallback);
    void* block = std::bit_cast<void*>(handle);
    FF_DialogHandlerProcPtr stored = nullptr;
    std::memcpy(&stored, block, sizeof stored);
    EXPECT_EQ(stored, &DialogCallback);
    uintptr_t second = 1;
    std::memcpy(&second, static_cast<uint8_t*>(block) + sizeof stored, sizeof second);
    EXPECT_EQ(second, 0u);
    DisposeFF_DialogHandlerProc(handle);  // the sanitizer build reports a leak otherwise
    DisposeFF_DialogHandlerProc(nullptr);
}

}  // namespace
