// A collection of FCString objects.
//
// Owns its strings like every collection. Elements that are not FCString
// objects (which only a caller's mistake can put there) are treated as null
// by the typed members below.
#pragma once

#include "tonaroframework/base/fccollection.h"
#include "tonaroframework/base/fcstring.h"

class FCSettingsPairs;

class FCStrings : public __FCCollection {
public:
    const char* ClassName() const override { return "FCStrings"; }
    ~FCStrings() override;

    // The string at index, still owned by the list; null outside (or for a
    // null slot).
    FCString* GetItemAt(int index) const;

    // Append a new copy of text (null appends a null slot) / a new string
    // made with SetCString(text). The list owns the new string.
    void AddCopy(const FCString* text);
    void AddCString(const char* text);

    // The first element equal to text by IsEqualString (exact,
    // case-sensitive), or null; null for a null text.
    FCString* Find(const FCString* text) const;

    // Sort with an __FCAlphaSorter (byte-wise, upper case before lower case).
    // true when any element moved.
    bool SortAlphabetical();

    // Does nothing for null or the list itself; otherwise empties this list
    // (deleting its strings) and appends a new copy of each of other's
    // strings in order; a null slot in other gives a null slot here.
    void CopyFrom(const FCStrings* other);

    // TrimWhitespace on every element.
    void TrimWhitespaceAll();

    // Deletes every null or empty element, from the last index to the first.
    void ClearEmptyStrings();

    // ---- Platform listings (defined in the framework's Qt layer) ----

    // false for a null or empty folder path; otherwise appends the names of
    // the files / subfolders of that folder.
    bool LoadFolderFiles(const FCString* folder);
    bool LoadSubfolders(const FCString* folder);
    // Appends the names of the installed fonts.
    bool LoadSystemFontNames();
    // Replaces the list with the trimmed, non-empty lines of the host's
    // "macsymbolfonts.txt"; false on hosts older than 0x11000000.
    bool LoadSymbolFonts();

    // ---- Settings (defined with the text file streams) ----

    // A new FCSettingsPairs owned by the caller, built from the lines.
    FCSettingsPairs* CreateSettingsPairs() const;
};
