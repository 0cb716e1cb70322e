// Shared helpers of the MusicXML tests: a fresh engine and a private
// temporary folder per test, file helpers, an XML comparison that ignores
// only formatting whitespace, and walks over a document's notes.
#pragma once

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "host/engine/engine.h"
#include "host/engine/musicxml/musicxmlio.h"
#include "host/engine/musicxml/xmlpitch.h"

namespace musicxmltesting {

inline std::string DataDir()
{
    return TONARO_TEST_DATA_DIR;
}

inline std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

inline void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// What a shell command prints on standard output (empty when it cannot run).
inline std::string CommandOutput(const std::string& command)
{
    std::string output;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
        pclose(pipe);
    }
    return output;
}

// `diff -u` of two files, shown when a comparison fails.
inline std::string UnifiedDiff(const std::string& a, const std::string& b)
{
    return CommandOutput("diff -u '" + a + "' '" + b + "' 2>&1 | head -200");
}

constexpr unsigned kCompareParse = pugi::parse_default | pugi::parse_declaration | pugi::parse_doctype |
                                   pugi::parse_comments | pugi::parse_pi;

// What a note element is allowed to differ in after a pitch change.
struct NoteLeeway {
    bool pitch = false;        // <pitch> contents
    bool accidental = false;   // <accidental> present, absent or other value
};

// Compares two XML trees: node kinds, names, attribute lists (in order),
// texts, comments, processing instructions, DOCTYPE and declaration;
// whitespace-only text between elements is formatting and not compared.
// When leeway is set, <pitch> and <accidental> inside <note> elements are
// skipped (the caller checks those itself). Fills *where with the first
// difference.
inline bool SameNode(const pugi::xml_node& a, const pugi::xml_node& b, bool leeway, std::string* where)
{
    if (a.type() != b.type() || std::strcmp(a.name(), b.name()) != 0 || std::strcmp(a.value(), b.value()) != 0) {
        *where = std::string("node <") + a.name() + "> value \"" + a.value() + "\" against <" + b.name() +
                 "> value \"" + b.value() + "\"";
        return false;
    }
    pugi::xml_attribute x = a.first_attribute(), y = b.first_attribute();
    for (; x && y; x = x.next_attribute(), y = y.next_attribute())
        if (std::strcmp(x.name(), y.name()) != 0 || std::strcmp(x.value(), y.value()) != 0) {
            *where = std::string("attribute ") + x.name() + "=\"" + x.value() + "\" of <" + a.name() + "> against " +
                     y.name() + "=\"" + y.value() + "\"";
            return false;
        }
    if (x || y) {
        *where = std::string("attribute count of <") + a.name() + ">";
        return false;
    }
    const bool inNote = std::strcmp(a.name(), "note") == 0;
    auto skip = [&](const pugi::xml_node& n) {
        return leeway && inNote && (std::strcmp(n.name(), "pitch") == 0 || std::strcmp(n.name(), "accidental") == 0);
    };
    pugi::xml_node c = a.first_child(), d = b.first_child();
    for (;;) {
        while (c && skip(c)) c = c.next_sibling();
        while (d && skip(d)) d = d.next_sibling();
        if (!c || !d) break;
        if (!SameNode(c, d, leeway, where)) {
            *where = std::string("<") + a.name() + "> / " + *where;
            return false;
        }
        c = c.next_sibling();
        d = d.next_sibling();
    }
    if (c || d) {
        *where = std::string("children of <") + a.name() + ">";
        return false;
    }
    return true;
}

inline bool SameXml(const std::string& a, const std::string& b, bool leeway, std::string* where)
{
    pugi::xml_document x, y;
    if (!x.load_buffer(a.data(), a.size(), kCompareParse)) {
        *where = "first text is not XML";
        return false;
    }
    if (!y.load_buffer(b.data(), b.size(), kCompareParse)) {
        *where = "second text is not XML";
        return false;
    }
    return SameNode(x, y, leeway, where);
}

// One note of a document, as the walks below hand it out.
struct NoteRef {
    int16_t staff;
    int16_t measure;
    int layer;
    size_t entry;
    int note;
};

// Sounding pitch of every note of a document, in staff, measure, layer and
// entry order.
inline std::vector<std::pair<NoteRef, tonaroengine::musicxml::AbsPitch>> AllPitches(const tonaroengine::Document& doc)
{
    std::vector<std::pair<NoteRef, tonaroengine::musicxml::AbsPitch>> pitches;
    for (int slot = 1; slot <= doc.StaffCount(); ++slot) {
        const int16_t staff = doc.StaffAtSlot(slot);
        for (int m = 1; m <= doc.MeasureCount(); ++m) {
            const auto measure = static_cast<int16_t>(m);
            const uint16_t key = doc.CellKeySignature(staff, measure);
            for (int layer = 0; layer < 4; ++layer) {
                const auto entries = doc.Entries(staff, measure, layer);
                for (size_t e = 0; e < entries.size(); ++e)
                    if (entries[e].flags & EXENTRY_NOTE)
                        for (int n = 0; n < entries[e].numNotes; ++n)
                            pitches.push_back({NoteRef{staff, measure, layer, e, n},
                                               tonaroengine::musicxml::FromPitchData(key, entries[e].notes[n].displacement,
                                                                                     entries[e].notes[n].raiselower)});
            }
        }
    }
    return pitches;
}

// Applies change to the pitch of every note (as the pitch changer would:
// the entry records are rewritten); answers how many notes changed.
inline int ChangeEveryNote(tonaroengine::Document& doc,
                           const std::function<bool(tonaroengine::musicxml::AbsPitch*)>& change)
{
    int changed = 0;
    for (int slot = 1; slot <= doc.StaffCount(); ++slot) {
        const int16_t staff = doc.StaffAtSlot(slot);
        for (int m = 1; m <= doc.MeasureCount(); ++m) {
            const auto measure = static_cast<int16_t>(m);
            const uint16_t key = doc.CellKeySignature(staff, measure);
            for (int layer = 0; layer < 4; ++layer) {
                auto entries = doc.Entries(staff, measure, layer);
                bool any = false;
                for (EXENTRY& entry : entries) {
                    if (!(entry.flags & EXENTRY_NOTE)) continue;
                    for (int n = 0; n < entry.numNotes; ++n) {
                        EXNOTE& note = entry.notes[n];
                        auto pitch = tonaroengine::musicxml::FromPitchData(key, note.displacement, note.raiselower);
                        if (!change(&pitch)) continue;
                        int displacement = 0, raiselower = 0;
                        tonaroengine::musicxml::ToPitchData(key, pitch, &displacement, &raiselower);
                        note.displacement = static_cast<int16_t>(displacement);
                        note.raiselower = static_cast<int16_t>(raiselower);
                        any = true;
                        ++changed;
                    }
                }
                if (any) {
                    EXPECT_TRUE(doc.SetEntries(staff, measure, layer, entries));
                }
            }
        }
    }
    return changed;
}

// A fresh engine and a private folder for each test.
class MusicXmlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tonaroengine::Engine::Instance().Reset();
        char pattern[] = "/tmp/tonaro-musicxml-test-XXXXXX";
        const char* made = mkdtemp(pattern);
        ASSERT_NE(made, nullptr);
        dir_ = made;
    }

    void TearDown() override
    {
        for (int16_t number : tonaroengine::Engine::Instance().DocumentNumbers())
            tonaroengine::ReleaseMusicXmlSource(tonaroengine::Engine::Instance().FindDocument(number));
        tonaroengine::Engine::Instance().Reset();
        std::error_code error;
        std::filesystem::remove_all(dir_, error);
    }

    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    // Writes text to a file of the test folder and opens it.
    tonaroengine::Document* OpenText(const std::string& name, const std::string& text,
                                     tonaroengine::MusicXmlError* error = nullptr)
    {
        WriteText(Path(name), text);
        tonaroengine::MusicXmlError ignored;
        return tonaroengine::OpenMusicXml(Path(name), error ? error : &ignored);
    }

    std::string dir_;
};

// A one-part score around the given measures (their inner XML).
inline std::string Score(const std::string& measures, const std::string& partAttributes = "")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<score-partwise version=\"4.0\">\n"
           "  <part-list>\n    <score-part id=\"P1\"><part-name>One</part-name></score-part>\n  </part-list>\n"
           "  <part id=\"P1\"" + partAttributes + ">\n" + measures + "  </part>\n</score-partwise>\n";
}

// A note element of one voice.
inline std::string Note(const char* step, int octave, int alter = 0, int duration = 1, const char* extra = "",
                        const char* voice = "1")
{
    std::string text = "      <note><pitch><step>" + std::string(step) + "</step>";
    if (alter) text += "<alter>" + std::to_string(alter) + "</alter>";
    text += "<octave>" + std::to_string(octave) + "</octave></pitch><duration>" + std::to_string(duration) +
            "</duration><voice>" + voice + "</voice><type>quarter</type>" + extra + "</note>\n";
    return text;
}

}  // namespace musicxmltesting
