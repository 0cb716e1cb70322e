// Names of the settings files shared by the author's plug-ins.
//
// "zppluginprefs.txt" holds the dialog preferences of several programs, each
// under its own keys; a program rewriting it keeps the keys of the others.
// "zppluginoptions.txt" is the shared options file (this plug-in only names
// it). Both live in the host's per-user settings folder.
#pragma once

inline constexpr const char kZPPluginPrefsFileName[] = "zppluginprefs.txt";
inline constexpr const char kZPPluginOptionsFileName[] = "zppluginoptions.txt";
