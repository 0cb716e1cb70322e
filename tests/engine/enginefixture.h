// Shared set-up of the engine tests: a fresh engine with its settings
// folder in a private temporary folder, and a small score whose staff
// numbers differ from their slots.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "host/engine/engine.h"
#include "host/engine/pitch.h"

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tonaroengine::Engine::Instance().Reset();
        char pattern[] = "/tmp/tonaro-engine-test-XXXXXX";
        const char* made = mkdtemp(pattern);
        ASSERT_NE(made, nullptr);
        tempFolder_ = made;
        tonaroengine::Engine::Instance().SetSettingsFolder(tempFolder_ + "/settings");
    }

    void TearDown() override
    {
        tonaroengine::Engine::Instance().Reset();
        std::error_code error;
        std::filesystem::remove_all(tempFolder_, error);
    }

    // Two staves: slot 1 holds staff 3, slot 2 staff 7, then staff 5 is
    // added and moved to the top (slots: 5, 3, 7). Four measures of 4/4.
    tonaroengine::Document* MakeScore(uint16_t keySig = 0)
    {
        tonaroengine::Document* doc = tonaroengine::Engine::Instance().NewDocument();
        doc->AddStaff(3);
        doc->AddStaff(7, CLEF_BASS);
        doc->AddStaff(5);
        doc->MoveStaff(5, 1);
        doc->AddMeasures(4, 4, 1024, keySig);
        return doc;
    }

    static tonaroengine::NoteSpec Note(const char* name, uint16_t keySig = 0)
    {
        tonaroengine::NoteSpec spec;
        EXPECT_TRUE(tonaroengine::NoteFromName(name, keySig, &spec)) << name;
        return spec;
    }

    static tonaroengine::EntrySpec Chord(std::initializer_list<tonaroengine::NoteSpec> notes, int16_t duration = 1024)
    {
        tonaroengine::EntrySpec entry;
        entry.duration = duration;
        entry.notes = notes;
        return entry;
    }

    std::string tempFolder_;
};
