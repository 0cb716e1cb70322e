// A test fixture that binds the bridge to the real engine (linked into the
// test program, so already loaded) and gives each test a fresh document.
#pragma once

#include <dlfcn.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/engine/engine.h"
#include "tonaropdk/bridge/cleantgf.h"
#include "tonaropdk/bridge/editcounters.h"
#include "tonaropdk/bridge/hostbinding.h"
#include "tonaropdk/hostapi/fxfunctions.h"

namespace pdktest {

class EngineEvents : public tonaroengine::EngineObserver {
public:
    bool AlertShown(const std::string& text) override
    {
        alerts.push_back(text);
        return true;
    }
    void RedrawRequested(int16_t document, const EREGION& region) override
    {
        redrawDocument = document;
        redraws.push_back(region);
    }
    std::vector<std::string> alerts;
    std::vector<EREGION> redraws;
    int16_t redrawDocument = 0;
};

class EngineBridgeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(InitializeGlobals(), 0);
        tonaroengine::Engine::Instance().Reset();
        tonaroengine::Engine::Instance().AddObserver(&events_);
        doc_ = tonaroengine::Engine::Instance().NewDocument();
        ASSERT_NE(doc_, nullptr);
        LoadedTGFCounter = 0;
        TonaroEditDepth = 0;
        MassEditDepth = 0;
        CanAddNoteRecordToRests = true;
    }
    void TearDown() override
    {
        tonaroengine::Engine::Instance().RemoveObserver(&events_);
        tonaroengine::Engine::Instance().Reset();
        CanAddNoteRecordToRests = true;
    }

    // The engine's own function of that name, bypassing the bridge.
    template <typename FunctionPointer>
    static FunctionPointer EngineFunction(FunctionPointer, const char* name)
    {
        void* engine = dlopen(kTonaroEngineBundleName, RTLD_NOW | RTLD_NOLOAD);
        void* address = engine != nullptr ? dlsym(engine, name) : nullptr;
        if (engine != nullptr) dlclose(engine);
        return std::bit_cast<FunctionPointer>(address);
    }

    EngineEvents events_;
    tonaroengine::Document* doc_ = nullptr;
};

}  // namespace pdktest
