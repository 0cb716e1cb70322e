#include "zpchangepitches/storage/prefsstorage.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/fcstrings.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaroframework/stream/fcsettingspair.h"
#include "tonaroframework/stream/fcsettingspairs.h"
#include "tonaroframework/stream/fctextfilestream.h"
#include "tonaroframework/ui/fcuserwindow.h"
#include "tonaropdk/hostapi/fxfunctions.h"
#include "tonaropdk/hostapi/tonpathspec.h"
#include "zpchangepitches/storage/globaldialogsettings.h"
#include "zpchangepitches/zpplugindata/zppluginsoptionfile.h"

namespace {

// Keys of the dialog's rows; every pair starting with one of them is
// replaced when the preferences are stored.
constexpr const char* kRulePrefixes[] = {
    "ZPCHANGEPITCHES_LIST_FROM_",
    "ZPCHANGEPITCHES_LIST_TO_",
    "ZPCHANGEPITCHES_LIST_UPDIRECTION_",
    "ZPCHANGEPITCHES_LIST_INUSE_",
};

// How reading a settings file went.
enum class ReadResult { Read, Missing, Unreadable };

// Reads the whole file of stream into new pairs (owned by the caller, set
// only for Read). Missing: there is no such file. Unreadable: the file (or
// its folder) may exist but could not be opened.
ReadResult ReadPairs(FCTextFileStream* stream, std::unique_ptr<FCSettingsPairs>* pairs)
{
    if (stream->OpenRead()) {
        std::unique_ptr<FCStrings> lines(stream->ReadStrings());
        stream->Close();
        *pairs = lines ? std::unique_ptr<FCSettingsPairs>(lines->CreateSettingsPairs())
                       : std::make_unique<FCSettingsPairs>();
        if (!*pairs) *pairs = std::make_unique<FCSettingsPairs>();
        return ReadResult::Read;
    }
    FCString path;
    if (!stream->_MakeFullPath(&path)) return ReadResult::Unreadable;
    std::error_code error;
    const auto status = std::filesystem::symlink_status(path.GetUTF8String(), error);
    if (status.type() == std::filesystem::file_type::not_found) return ReadResult::Missing;
    return ReadResult::Unreadable;
}

const FCString* FindValue(const FCSettingsPairs* pairs, const char* key)
{
    FCString keyText(key);
    const FCSettingsPair* pair = pairs->FindKey(&keyText);
    return pair != nullptr ? pair->GetValue() : nullptr;
}

void SetValue(FCSettingsPairs* pairs, const char* key, const char* value)
{
    FCString keyText(key);
    FCString valueText(value);
    pairs->AddKeyValue(&keyText, &valueText);
}

void SetValue(FCSettingsPairs* pairs, const char* key, const FCString* value)
{
    FCString keyText(key);
    pairs->AddKeyValue(&keyText, value);
}

void SetInteger(FCSettingsPairs* pairs, const char* key, int value)
{
    FCString valueText;
    valueText.SetInteger(value);
    SetValue(pairs, key, &valueText);
}

bool IsRuleKey(const FCString* key)
{
    for (const char* prefix : kRulePrefixes) {
        FCString prefixText(prefix);
        FCString start;
        // Keys compare without regard to case, as lookups do.
        if (key->GetLength() >= prefixText.GetLength() &&
            key->MakeSubString(0, prefixText.GetLength(), &start) && start.CompareNoCase(&prefixText) == 0)
            return true;
    }
    return false;
}

}  // namespace

FCTextFileStream* CreateZPOptionsStreamObject(bool prefs)
{
    const TonPath kind = GetTonaroFrameworkVersion() > 0x0FFFFFFFu ? TONPATH_PLUGIN_SETTINGS : TONPATH_PLUGIN_SETTINGS_OLD;
    TonPathSpec2012 folder {};
    if (FX_GetTonaroPathMac(kind, &folder, 0x12000000) == 0) folder = TonPathSpec2012 {};
    FCString name(prefs ? kZPPluginPrefsFileName : kZPPluginOptionsFileName);
    return new FCTextFileStream(&folder, &name);
}

FCTextFileStream* CreatePitchSetStreamObject()
{
    FCString folder;
    folder._SetTonaroPath(TONPATH_PLUGIN_SETTINGS);  // empty when the host names none
    FCString name(kPitchListsFileName);
    return new FCTextFileStream(&folder, &name);
}

bool SaveAllZPOptionsPairs(const FCSettingsPairs* pairs, bool prefs)
{
    if (pairs == nullptr) return false;
    std::unique_ptr<FCTextFileStream> stream(CreateZPOptionsStreamObject(prefs));
    if (!stream->OpenWrite()) return false;
    const bool written = stream->WriteSettingsPairs(pairs);
    const bool closed = stream->Close();  // the new file replaces the old one here
    return written && closed;
}

void LoadUserPrefs(FCUserWindow* window)
{
    std::unique_ptr<FCSettingsPairs> pairs;
    {
        std::unique_ptr<FCTextFileStream> stream(CreateZPOptionsStreamObject(true));
        if (ReadPairs(stream.get(), &pairs) != ReadResult::Read) return;
    }
    const FCString* x = FindValue(pairs.get(), kPrefsKeyWindowX);
    const FCString* y = FindValue(pairs.get(), kPrefsKeyWindowY);
    const FCString* width = FindValue(pairs.get(), kPrefsKeyWindowWidth);
    const FCString* height = FindValue(pairs.get(), kPrefsKeyWindowHeight);
    if (window != nullptr && x && y && width && height)
        window->SetRestorePositionData(x->GetInteger(0), y->GetInteger(0), width->GetInteger(0), height->GetInteger(0));

    GlobalDialogSettingsData& settings = GlobalDialogSettings;
    if (const FCString* from = FindValue(pairs.get(), kPrefsKeyFrom)) settings.fromPitch.SetString(from);
    if (const FCString* to = FindValue(pairs.get(), kPrefsKeyTo)) settings.toPitch.SetString(to);
    if (const FCString* direction = FindValue(pairs.get(), kPrefsKeyDirection))
        settings.direction = FCPitchChangeNodes::DirectionFromCode(direction);
    if (const FCString* sounding = FindValue(pairs.get(), kPrefsKeySoundingPitch))
        settings.soundingPitch = sounding->IsEqualCString("1");
    if (const FCString* respace = FindValue(pairs.get(), kPrefsKeyRespace))
        settings.respace = respace->IsEqualCString("1");
    settings.pitchChanges.BuildFromNodePairs(pairs.get(), -1);
}

bool StoreUserPrefs(const FCUserWindow* window)
{
    std::unique_ptr<FCSettingsPairs> pairs;
    {
        std::unique_ptr<FCTextFileStream> stream(CreateZPOptionsStreamObject(true));
        switch (ReadPairs(stream.get(), &pairs)) {
        case ReadResult::Read: break;
        case ReadResult::Missing: pairs = std::make_unique<FCSettingsPairs>(); break;
        case ReadResult::Unreadable: return false;  // rewriting would lose other programs' keys
        }
    }
    // A placement is written only once the window has recorded one.
    if (window != nullptr && window->IsPositionStored() && window->IsSizeStored()) {
        SetInteger(pairs.get(), kPrefsKeyWindowX, window->GetStoredX());
        SetInteger(pairs.get(), kPrefsKeyWindowY, window->GetStoredY());
        SetInteger(pairs.get(), kPrefsKeyWindowWidth, window->GetStoredWidth());
        SetInteger(pairs.get(), kPrefsKeyWindowHeight, window->GetStoredHeight());
    }
    const GlobalDialogSettingsData& settings = GlobalDialogSettings;
    SetValue(pairs.get(), kPrefsKeyFrom, &settings.fromPitch);
    SetValue(pairs.get(), kPrefsKeyTo, &settings.toPitch);
    SetValue(pairs.get(), kPrefsKeyDirection, FCPitchChangeNodes::DirectionCode(settings.direction));
    SetValue(pairs.get(), kPrefsKeySoundingPitch, settings.soundingPitch ? "1" : "0");
    SetValue(pairs.get(), kPrefsKeyRespace, settings.respace ? "1" : "0");

    for (int i = pairs->GetCount() - 1; i >= 0; --i) {
        const FCSettingsPair* pair = pairs->GetItemAt(i);
        if (pair != nullptr && IsRuleKey(pair->GetKey())) pairs->ClearItemAt(i);
    }
    settings.pitchChanges.StoreNodePairs(pairs.get(), -1);
    return SaveAllZPOptionsPairs(pairs.get(), true);
}

void LoadPitchLists()
{
    FCPitchChangeLists& lists = GlobalDialogSettings.pitchLists;
    lists.ClearAll();
    std::unique_ptr<FCSettingsPairs> pairs;
    {
        std::unique_ptr<FCTextFileStream> stream(CreatePitchSetStreamObject());
        if (ReadPairs(stream.get(), &pairs) != ReadResult::Read) return;
    }
    for (int listNumber = 1;; ++listNumber) {
        auto list = std::make_unique<FCPitchChangeList>();
        if (!list->TryToBuildFromSettingsPairs(pairs.get(), listNumber)) break;
        lists.Add(list.release());
    }
}

bool SavePitchLists()
{
    std::unique_ptr<FCTextFileStream> stream(CreatePitchSetStreamObject());
    if (!stream->OpenWrite()) return false;
    const FCPitchChangeLists& lists = GlobalDialogSettings.pitchLists;
    bool written = true;
    for (int i = 0; i < lists.GetCount(); ++i) {
        const FCPitchChangeList* list = lists.GetItemAt(i);
        if (list != nullptr) written = list->SaveToStream(stream.get(), i + 1) && written;
    }
    return stream->Close() && written;
}
