// Reading and writing the dialog preferences and the saved pitch lists.
//
// Preferences live in "zppluginprefs.txt", in the host's settings folder
// (path kind 16; kind 8 on hosts before 0x10000000), shared with other
// programs whose keys are kept. Saved pitch lists live in
// "zpchangepitches.txt" in the folder of path kind 16. Both are settings
// files of key=value lines (fctextfilestream.h); every write replaces the
// file atomically. A file that cannot be read leaves the settings as they
// are and is never overwritten (its contents would be lost); a file that
// cannot be written stays as it was. These functions tell the user nothing:
// the dialog asks CanSavePitchLists and GlobalDialogSettings'
// unreadPitchListNumbers before it saves, and says what it found.
//
// The dialog (FCChangePitchesWindow) calls these with itself as the window
// whose stored placement is read and written; the state is
// GlobalDialogSettings (globaldialogsettings.h).
#pragma once

class FCSettingsPairs;
class FCString;
class FCTextFileStream;
class FCUserWindow;

// Key names of the dialog preferences.
inline constexpr const char kPrefsKeyWindowX[] = "ZPCHANGEPITCHES_WINDOWX2";
inline constexpr const char kPrefsKeyWindowY[] = "ZPCHANGEPITCHES_WINDOWY2";
inline constexpr const char kPrefsKeyWindowWidth[] = "ZPCHANGEPITCHES_WINDOWWIDTH2";
inline constexpr const char kPrefsKeyWindowHeight[] = "ZPCHANGEPITCHES_WINDOWHEIGHT2";
inline constexpr const char kPrefsKeyFrom[] = "ZPCHANGEPITCHES_FROM";
inline constexpr const char kPrefsKeyTo[] = "ZPCHANGEPITCHES_TO";
inline constexpr const char kPrefsKeyDirection[] = "ZPCHANGEPITCHES_UPDIRECTION";
inline constexpr const char kPrefsKeySoundingPitch[] = "ZPCHANGEPITCHES_SOUNDINGPITCH";
inline constexpr const char kPrefsKeyRespace[] = "ZPCHANGEPITCHES_RESPACE";
inline constexpr const char kPitchListsFileName[] = "zpchangepitches.txt";

// A new stream (owned by the caller, not open) for "zppluginprefs.txt"
// (prefs true) or "zppluginoptions.txt" (false), in the folder that the host
// designates (kind 16, or 8 when the running host version is 0x0FFFFFFF or
// lower). Never null; when the host names no folder the stream cannot open.
FCTextFileStream* CreateZPOptionsStreamObject(bool prefs);

// A new stream (owned by the caller, not open) for "zpchangepitches.txt" in
// the host's folder of path kind 16. Never null.
FCTextFileStream* CreatePitchSetStreamObject();

// Writes every pair (only read), in order, as key=value lines to the file
// that prefs selects, replacing it atomically. true when the new file is in
// place; false (the old file untouched) when it could not be written or
// pairs is null.
bool SaveAllZPOptionsPairs(const FCSettingsPairs* pairs, bool prefs);

// Reads "zppluginprefs.txt" over GlobalDialogSettings: From, To, direction,
// the two options and the rows (appended to pitchChanges); the window
// placement goes to window (may be null) only when all four window keys are
// present. A missing file or missing keys leave the settings unchanged.
void LoadUserPrefs(FCUserWindow* window);

// Writes GlobalDialogSettings and window's stored placement (window may be
// null: no placement is written; likewise while it has no stored position
// and size) into "zppluginprefs.txt". Keys of other programs stay in their
// order, this plug-in's keys are replaced in place or appended, and the rows
// are rewritten to exactly the current rows. When the file exists but
// cannot be read, nothing is written, so that no other program's keys are
// lost. true when the file was written.
bool StoreUserPrefs(const FCUserWindow* window);

// Replaces GlobalDialogSettings.pitchLists with the lists in
// "zpchangepitches.txt": every list number that some key of the file belongs
// to (a NAME pair or a rule pair), in ascending order. A list whose name is
// missing or which has no complete rule is skipped and its number recorded
// in unreadPitchListNumbers; the lists after it still load. Without a
// readable file there are no saved lists; a file that exists but cannot be
// read sets pitchListsUnreadable.
void LoadPitchLists();

// Whether the pitch-list file may be rewritten from the lists in memory:
// false when it exists but cannot be read now, or could not be read by the
// last LoadPitchLists, since its lists would then be lost.
bool CanSavePitchLists();

// Sets path (not null) to the full path of "zpchangepitches.txt", for
// messages. false (path unchanged) when the host names no folder.
bool GetPitchListsFilePath(FCString* path);

// Rewrites "zpchangepitches.txt" with GlobalDialogSettings.pitchLists,
// numbered 1, 2, ... in collection order. true when the file was written;
// false, with nothing written, also when CanSavePitchLists says no.
bool SavePitchLists();
