// A test fixture that runs framework code against the real notation engine.
//
// The bridge binds the engine once per process (InitializeGlobals finds the
// engine library that the test executable links). Every test starts with a
// fresh engine holding one new, current document (`doc`) and the running
// host version at 0x12000000, and puts both back when it ends.
//
// Scores are built through the engine's C++ interface. Use staff numbers that
// differ from the staves' slots (AddStaves({7, 3}) puts staff 7 in slot 1 and
// staff 3 in slot 2), so that mixing the two shows.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "host/engine/document.h"
#include "host/engine/engine.h"
#include "host/engine/pitch.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaropdk/bridge/hostbinding.h"

class EngineFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitializeGlobals();
        SetTonaroFrameworkVersion(0x12000000);
        tonaroengine::Engine::Instance().Reset();
        doc = tonaroengine::Engine::Instance().NewDocument();
        ASSERT_NE(doc, nullptr);
    }

    void TearDown() override
    {
        SetTonaroFrameworkVersion(0x12000000);
        tonaroengine::Engine::Instance().Reset();
        doc = nullptr;
    }

    // Adds staves with these numbers, top to bottom.
    void AddStaves(std::initializer_list<int16_t> numbers)
    {
        for (int16_t number : numbers) ASSERT_EQ(doc->AddStaff(number), number);
    }

    // The host's pitch data of a name such as "F#4" under a key.
    static tonaroengine::NoteSpec Pitch(const char* name, uint16_t keySig)
    {
        tonaroengine::NoteSpec note;
        EXPECT_TRUE(tonaroengine::NoteFromName(name, keySig, &note)) << name;
        return note;
    }

    // Appends a note (or a chord of several names) to a cell layer (0-based)
    // and answers its entry number.
    uint32_t AddNotes(int16_t staff, int16_t measure, int layer, std::initializer_list<const char*> names,
                      int16_t duration = 1024)
    {
        tonaroengine::EntrySpec entry;
        entry.duration = duration;
        const uint16_t key = doc->CellKeySignature(staff, measure);
        for (const char* name : names) entry.notes.push_back(Pitch(name, key));
        const uint32_t entnum = doc->AddEntry(staff, measure, layer, entry);
        EXPECT_NE(entnum, 0u);
        return entnum;
    }

    tonaroengine::Document* doc = nullptr;
};
