// Fuzz target: settings files. The input is written as the preferences file
// and as the pitch-list file of a settings folder of the process's own.
// - Reading the preferences file into settings pairs: every pair is trimmed
//   and found by its key; the pairs written out and read again are the same.
// - The plug-in's storage loads preferences and saved lists from the files,
//   stores them, and loading the stored files again gives the same state.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzzsupport.h"
#include "host/engine/engine.h"
#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/fcstrings.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaroframework/stream/fcsettingspair.h"
#include "tonaroframework/stream/fcsettingspairs.h"
#include "tonaroframework/stream/fctextfilestream.h"
#include "tonaroframework/ui/fcuserwindow.h"
#include "tonaropdk/bridge/hostbinding.h"
#include "zpchangepitches/storage/globaldialogsettings.h"
#include "zpchangepitches/storage/prefsstorage.h"

namespace {

// A framework window without a platform: only its stored placement is used.
class PlacementWindow : public FCUserWindow {
public:
    void CloseWindow() override {}
};

bool IsBlank(unsigned short unit)
{
    return unit == ' ' || unit == '\t' || unit == '\r' || unit == '\n';
}

bool IsTrimmed(const FCString& text)
{
    const auto length = static_cast<int>(text.GetLength());
    return length == 0 || (!IsBlank(text.GetItemAt(0)) && !IsBlank(text.GetItemAt(length - 1)));
}

// The pairs of a settings file in folder; null when it cannot be read.
std::unique_ptr<FCSettingsPairs> ReadPairs(const std::string& folder, const char* name)
{
    FCString fileName(name);
    FCTextFileStream stream(folder.c_str(), &fileName);
    if (!stream.OpenRead()) return nullptr;
    std::unique_ptr<FCStrings> lines(stream.ReadStrings());
    stream.Close();
    if (!lines) return nullptr;
    return std::unique_ptr<FCSettingsPairs>(lines->CreateSettingsPairs());
}

// A pair that the key=value form can carry: a key that is not empty and no
// zero unit (the file form ends text at a zero byte).
bool IsWritable(const FCSettingsPair* pair)
{
    return !pair->GetKey()->IsEmpty() && !tonarofuzz::HasZeroUnit(*pair->GetKey()) &&
           !tonarofuzz::HasZeroUnit(*pair->GetValue());
}

void CheckPairs(const std::string& folder)
{
    std::unique_ptr<FCSettingsPairs> pairs = ReadPairs(folder, "zppluginprefs.txt");
    TONARO_FUZZ_CHECK(pairs != nullptr, "a settings file that exists cannot be read");

    std::vector<const FCSettingsPair*> writable;
    for (int i = 0; i < pairs->GetCount(); ++i) {
        const FCSettingsPair* pair = pairs->GetItemAt(i);
        TONARO_FUZZ_CHECK(pair != nullptr, "a pair is missing");
        TONARO_FUZZ_CHECK(IsTrimmed(*pair->GetKey()) && IsTrimmed(*pair->GetValue()), "a pair is not trimmed");
        TONARO_FUZZ_CHECK(pair->GetKey()->FindFirst("=") < 0, "a key holds \"=\"");
        const FCSettingsPair* found = pairs->FindKey(pair->GetKey());
        TONARO_FUZZ_CHECK(found != nullptr && found->GetKey()->CompareNoCase(pair->GetKey()) == 0,
                          "a pair is not found by its own key");
        if (IsWritable(pair)) writable.push_back(pair);
    }

    // Written out and read again: the same pairs in the same order.
    FCString fileName("pairs.txt");
    {
        FCTextFileStream out(folder.c_str(), &fileName);
        TONARO_FUZZ_CHECK(out.OpenWrite(), "a settings file cannot be created");
        FCSettingsPairs copy;
        for (const FCSettingsPair* pair : writable) copy.Add(new FCSettingsPair(pair->GetKey(), pair->GetValue()));
        TONARO_FUZZ_CHECK(out.WriteSettingsPairs(&copy), "pairs could not be written to an open file");
        TONARO_FUZZ_CHECK(out.Close(), "a written settings file was not put in place");
    }
    std::unique_ptr<FCSettingsPairs> reread = ReadPairs(folder, "pairs.txt");
    TONARO_FUZZ_CHECK(reread != nullptr, "written pairs cannot be read");
    TONARO_FUZZ_CHECK(reread->GetCount() == static_cast<int>(writable.size()), "written pairs read back as others");
    for (int i = 0; i < reread->GetCount(); ++i) {
        const FCSettingsPair* pair = reread->GetItemAt(i);
        TONARO_FUZZ_CHECK(pair->GetKey()->IsEqualString(writable[static_cast<size_t>(i)]->GetKey()) &&
                              pair->GetValue()->IsEqualString(writable[static_cast<size_t>(i)]->GetValue()),
                          "a written pair reads back changed");
    }
}

// What the storage holds after a load, as comparable text.
struct StoredState {
    std::vector<std::string> items;
    bool hasZeroUnit = false;

    void Add(const std::string& label, const FCString& text)
    {
        if (tonarofuzz::HasZeroUnit(text)) hasZeroUnit = true;
        items.push_back(label + "=" + std::string(text.GetCString()));
    }
    void Add(const std::string& label, int value) { items.push_back(label + "=" + std::to_string(value)); }
    bool operator==(const StoredState& other) const { return items == other.items; }
};

void AddRules(StoredState* state, const std::string& label, const FCPitchChangeNodes& rules)
{
    for (int i = 0; i < rules.GetCount(); ++i) {
        const FCPitchChangeNode* rule = rules.GetItemAt(i);
        state->Add(label + "from", rule->From);
        state->Add(label + "to", rule->To);
        state->Add(label + "direction", rule->direction);
        state->Add(label + "inuse", rule->inUse ? 1 : 0);
    }
}

StoredState Snapshot(const PlacementWindow& window)
{
    StoredState state;
    const GlobalDialogSettingsData& settings = GlobalDialogSettings;
    state.Add("from", settings.fromPitch);
    state.Add("to", settings.toPitch);
    state.Add("direction", settings.direction);
    state.Add("sounding", settings.soundingPitch ? 1 : 0);
    state.Add("respace", settings.respace ? 1 : 0);
    state.Add("x", window.GetStoredX());
    state.Add("y", window.GetStoredY());
    state.Add("width", window.GetStoredWidth());
    state.Add("height", window.GetStoredHeight());
    AddRules(&state, "row.", settings.pitchChanges);
    for (int i = 0; i < settings.pitchLists.GetCount(); ++i) {
        const FCPitchChangeList* list = settings.pitchLists.GetItemAt(i);
        state.Add("list", list->name);
        AddRules(&state, "list.", *list);
    }
    return state;
}

StoredState LoadStorage(PlacementWindow* window)
{
    ResetGlobalDialogSettings();
    LoadUserPrefs(window);
    LoadPitchLists();
    return Snapshot(*window);
}

void CheckStorage(const std::string& folder)
{
    tonaroengine::Engine::Instance().Reset();
    tonaroengine::Engine::Instance().SetSettingsFolder(folder);
    SetTonaroFrameworkVersion(0x1A000000);

    PlacementWindow window;
    LoadStorage(&window);
    // The user changes every setting before the plug-in ends, so that a
    // stored value that a stale line of the old file hides shows.
    GlobalDialogSettingsData& settings = GlobalDialogSettings;
    settings.fromPitch.AppendCString("#");
    settings.toPitch.SetCString("Gb");
    settings.direction = settings.direction == PITCHDIRECTION_UP ? PITCHDIRECTION_DOWN : PITCHDIRECTION_UP;
    settings.soundingPitch = !settings.soundingPitch;
    settings.respace = !settings.respace;
    FCString from("E#");
    FCString to("F");
    if (FCPitchChangeNode* first = settings.pitchChanges.GetItemAt(0)) first->inUse = !first->inUse;
    auto* row = new FCPitchChangeNode(&from, &to, PITCHDIRECTION_CLOSEST);
    row->inUse = true;
    settings.pitchChanges.Add(row);
    window.SetRestorePositionData(window.GetStoredX() == 10 ? 20 : 10, 40, 300, 200);
    const StoredState loaded = Snapshot(window);
    TONARO_FUZZ_CHECK(StoreUserPrefs(&window), "the preferences could not be stored");
    TONARO_FUZZ_CHECK(SavePitchLists(), "the pitch lists could not be stored");

    PlacementWindow again;
    const StoredState reloaded = LoadStorage(&again);
    if (!loaded.hasZeroUnit) TONARO_FUZZ_CHECK(reloaded == loaded, "stored settings load back as others");
    ResetGlobalDialogSettings();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool bound = [] {
        InitializeGlobals();
        return true;
    }();
    (void)bound;
    const std::string& scratch = tonarofuzz::ScratchFolder::Path();
    if (scratch.empty()) return 0;
    // Both files are written anew for every input, and every other file the
    // run writes is replaced as a whole, so the folder is made only once.
    const std::string folder = scratch + "/settings";
    static const bool made = [&folder] {
        std::error_code error;
        return std::filesystem::create_directories(folder, error);
    }();
    (void)made;

    if (!tonarofuzz::WriteBytes(folder + "/zppluginprefs.txt", data, size) ||
        !tonarofuzz::WriteBytes(folder + "/" + kPitchListsFileName, data, size)) {
        return 0;
    }
    CheckPairs(folder);
    CheckStorage(folder);
    tonaroengine::Engine::Instance().Reset();
    SetTonaroFrameworkVersion(0x12000000);
    return 0;
}
