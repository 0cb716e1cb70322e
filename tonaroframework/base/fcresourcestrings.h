// Where FCString::LoadResource finds localised strings.
//
// A plug-in registers, when it is loaded, its bundle identifier with the
// folder that holds its strings tables. A table named "X" is the file
// "X.strings" in that folder, UTF-8, one entry a line, in either form:
//
//     key = value
//     "key" = "value";
//
// Around a bare key or value, white space is trimmed. In the quoted form the
// escapes \" \\ \n \r \t are understood and the ";" is optional. Empty lines
// and lines starting with "//" or "#" are ignored, as are lines without "=".
// When a key occurs more than once, the first entry wins. A table name that
// contains "/" names no table.
//
// Main thread only, like everything in the framework.
#pragma once

// Registers (or replaces) the resource folder of a bundle. Both texts are
// copied. false, changing nothing, for a null or empty argument.
bool RegisterResourceBundle(const char* bundleIdentifier, const char* folderPath);

// Forgets a bundle; false when it was not registered. A bundle already
// remembered by LoadResource keeps its folder until LoadResource is next
// given a bundle identifier.
bool UnregisterResourceBundle(const char* bundleIdentifier);

// The folder registered for a bundle (owned by the registry, valid until the
// bundle is registered again or forgotten), or null.
const char* FindResourceBundleFolder(const char* bundleIdentifier);
