#include "zpchangepitches/storage/prefsstorage.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

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

// The key of a saved list's name, followed by the list number.
constexpr const char kPitchListNameKeyPrefix[] = "ZPCHANGEPITCHES_LIST_NAME_";

// How reading a settings file went.
enum class ReadResult { Read, Missing, Unreadable };

// Reads the whole file of stream into new pairs (owned by the caller, set
// only for Read). Missing: there is no such file (also a symbolic link that
// points to no file: writing makes the file it points to). Unreadable: the
// file (or its folder) may exist but could not be opened or read to its end.
ReadResult ReadPairs(FCTextFileStream* stream, std::unique_ptr<FCSettingsPairs>* pairs)
{
    if (stream->OpenRead()) {
        std::unique_ptr<FCStrings> lines(stream->ReadStrings());
        const bool failed = stream->HasError();  // a folder, an input/output error
        stream->Close();
        if (failed) return ReadResult::Unreadable;
        *pairs = lines ? std::unique_ptr<FCSettingsPairs>(lines->CreateSettingsPairs())
                       : std::make_unique<FCSettingsPairs>();
        if (!*pairs) *pairs = std::make_unique<FCSettingsPairs>();
        return ReadResult::Read;
    }
    FCString path;
    if (!stream->_MakeFullPath(&path)) return ReadResult::Missing;  // no folder: no file either
    std::error_code error;
    const auto status = std::filesystem::status(path.GetUTF8String(), error);
    if (status.type() == std::filesystem::file_type::not_found) return ReadResult::Missing;
    return ReadResult::Unreadable;
}

// How the pitch-list file reads now.
ReadResult ReadPitchListPairs(std::unique_ptr<FCSettingsPairs>* pairs)
{
    std::unique_ptr<FCTextFileStream> stream(CreatePitchSetStreamObject());
    return ReadPairs(stream.get(), pairs);
}

// Whether key starts with prefix, letters compared without regard to case
// (as keys are looked up); *rest is then the number of units after it.
bool StartsWithKey(const FCString* key, const char* prefix, uint32_t* rest)
{
    const FCString prefixText(prefix);
    FCString start;
    if (key->GetLength() < prefixText.GetLength()) return false;
    if (!key->MakeSubString(0, prefixText.GetLength(), &start) || start.CompareNoCase(&prefixText) != 0)
        return false;
    *rest = key->GetLength() - prefixText.GetLength();
    return true;
}

// Reads a run of decimal digits of key from *at (at most 9, so that it fits
// an int); *at moves past it. false when there is no digit or too many.
bool ReadNumber(const FCString* key, uint32_t* at, int* number)
{
    int value = 0;
    uint32_t digits = 0;
    while (*at < key->GetLength() && key->IsDigit(static_cast<int>(*at))) {
        if (++digits > 9) return false;
        value = value * 10 + (key->GetItemAt(static_cast<int>(*at)) - '0');
        ++*at;
    }
    if (digits == 0) return false;
    *number = value;
    return true;
}

// The number of the saved list that a key of the pitch-list file belongs to:
// "ZPCHANGEPITCHES_LIST_NAME_<L>" and the rule keys ending in "<L>_<n>".
// 0 for any other key.
int ListNumberOfKey(const FCString* key)
{
    uint32_t rest = 0;
    int number = 0;
    if (StartsWithKey(key, kPitchListNameKeyPrefix, &rest)) {
        uint32_t at = key->GetLength() - rest;
        return ReadNumber(key, &at, &number) && at == key->GetLength() ? number : 0;
    }
    for (const char* prefix : kRulePrefixes) {
        if (!StartsWithKey(key, prefix, &rest)) continue;
        uint32_t at = key->GetLength() - rest;
        int rule = 0;
        if (!ReadNumber(key, &at, &number) || !key->IsCharacter(static_cast<int>(at), '_')) return 0;
        ++at;
        return ReadNumber(key, &at, &rule) && at == key->GetLength() ? number : 0;
    }
    return 0;
}

// Every list number (1 or more) that some key of pairs belongs to, ascending.
std::vector<int> ListNumbersInPairs(const FCSettingsPairs* pairs)
{
    std::vector<int> numbers;
    for (int i = 0; i < pairs->GetCount(); ++i) {
        const FCSettingsPair* pair = pairs->GetItemAt(i);
        const int number = pair != nullptr ? ListNumberOfKey(pair->GetKey()) : 0;
        if (number > 0) numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
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
    uint32_t rest = 0;
    for (const char* prefix : kRulePrefixes)
        if (StartsWithKey(key, prefix, &rest)) return true;
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
    GlobalDialogSettingsData& settings = GlobalDialogSettings;
    FCPitchChangeLists& lists = settings.pitchLists;
    lists.ClearAll();
    settings.pitchListsUnreadable = false;
    settings.unreadPitchListNumbers.clear();
    std::unique_ptr<FCSettingsPairs> pairs;
    switch (ReadPitchListPairs(&pairs)) {
    case ReadResult::Read: break;
    case ReadResult::Missing: return;
    case ReadResult::Unreadable: settings.pitchListsUnreadable = true; return;
    }
    // Every list the file has a key of is tried, so that one damaged list
    // does not hide the lists after it.
    for (const int listNumber : ListNumbersInPairs(pairs.get())) {
        auto list = std::make_unique<FCPitchChangeList>();
        if (list->TryToBuildFromSettingsPairs(pairs.get(), listNumber))
            lists.Add(list.release());
        else
            settings.unreadPitchListNumbers.push_back(listNumber);
    }
}

bool CanSavePitchLists()
{
    if (GlobalDialogSettings.pitchListsUnreadable) return false;
    std::unique_ptr<FCSettingsPairs> pairs;
    return ReadPitchListPairs(&pairs) != ReadResult::Unreadable;
}

bool GetPitchListsFilePath(FCString* path)
{
    if (path == nullptr) return false;
    std::unique_ptr<FCTextFileStream> stream(CreatePitchSetStreamObject());
    return stream->_MakeFullPath(path);
}

bool SavePitchLists()
{
    if (!CanSavePitchLists()) return false;  // the file's lists would be lost
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
