// The framework's one string type.
//
// An FCString holds UTF-16 code units (no operation interprets surrogate
// pairs, except the UTF-8 conversions), grows on demand in steps of 10 units
// and converts to and from zero-terminated 8-bit text, UTF-8, numbers and
// hexadecimal. Lengths, positions and indexes count code units. Booleans
// report success; a false answer leaves the string unchanged.
//
// 8-bit text is Latin-1: each byte becomes the code unit of the same value
// (0x00-0xFF), and each unit gives back its low byte.
//
// The string owns its buffer and two caches (the 8-bit copy and the UTF-8
// copy). A pointer returned by GetCString or GetUTF8String stays valid until
// the next call of the same kind on the same string, or until the string is
// destroyed. Strings are never shared; they are copied by value only through
// SetString and CreateCopy.
//
// The conversions to and from QString live in the Qt layer of the framework,
// not here. SetMeasurement/GetMeasurement and the host-folder path members
// are defined in fcstring_measurement.cpp and fcstring_paths.cpp.
#pragma once

#include <cstdint>
#include <memory>

#include "tonaroframework/base/fcbase.h"
#include "tonaropdk/hostapi/tonpathspec.h"

class FCStrings;

class FCString : public __FCBase {
public:
    // The empty text, with a buffer of capacity 10.
    FCString();
    // Convenience: SetCString(text) (null gives the released, empty state).
    explicit FCString(const char* text);
    FCString(const FCString&) = delete;
    FCString& operator=(const FCString&) = delete;

    const char* ClassName() const override { return "FCString"; }
    ~FCString() override;

    // ---- Setting and appending ----

    // null releases the buffer (length 0, capacity 0; still the empty text,
    // and the next edit allocates again). count 0 gives the empty text;
    // count < 0 copies up to the zero byte; count > 0 copies at most count
    // bytes, stopping early at a zero byte.
    void SetCString(const char* text, int count = -1);

    // Decodes zero-terminated UTF-8. On hosts from 0x11000000 the characters
    // become UTF-16 units (characters above U+FFFF as surrogate pairs) and
    // every U+2028 becomes CR. On older hosts the text becomes 7-bit ASCII in
    // the non-lossy ASCII form: "\" is written "\\", characters U+0080-U+00FF
    // as "\" and three octal digits, other units as "\u" and four lower-case
    // hex digits. Answers false, leaving the string unchanged, for null or
    // text that is not well-formed UTF-8.
    bool SetUTF8String(const char* utf8);

    // count 0 gives the empty text; count < 0 copies up to the first zero
    // unit; count > 0 copies at most count units, stopping early at a zero
    // unit. A null units pointer gives the empty text.
    void SetUnicodeString(const unsigned short* units, int count = -1);

    // Sets the text from units handed over by the platform: as
    // SetUnicodeString, with every U+2028 (line separator) turned into CR.
    void _SetPlatformUnits(const unsigned short* units, int count);

    // Copies other's text (other is only read). null gives the empty text;
    // passing the string itself changes nothing.
    void SetString(const FCString* other);

    // Append; null appends nothing. other may be the string itself.
    void AppendCString(const char* text);
    void AppendString(const FCString* other);
    void AppendCharacter(unsigned short unit);

    // Rebuild the text as the first pos units, the inserted text, then the
    // rest. false (unchanged) when pos is outside 0..length or the text is
    // null.
    bool Insert(const char* text, int pos);
    bool InsertString(const FCString* other, int pos);

    // Replaces one unit; an index outside 0..length-1 does nothing. A unit
    // above 0xFEB0 is stored as its low byte only (0xFEB1-0xFFFF become
    // 0xB1-0xFF).
    void SetItemAt(int index, unsigned short unit);

    // A new string with the same text, owned by the caller.
    FCString* CreateCopy() const;

    // Sets the empty text.
    void Clear();

    // ---- Reading ----

    uint32_t GetLength() const { return _length; }
    // Units allocated, terminator included; 0 when there is no buffer.
    uint32_t GetCapacity() const { return _capacity; }
    bool IsEmpty() const { return _length == 0; }

    // The unit at index, or 0 outside 0..length-1.
    unsigned short GetItemAt(int index) const;

    // The 8-bit copy: one byte per unit (its low byte), zero-terminated.
    // Owned by the string (see the cache rule above); never null.
    const char* GetCString() const;

    // The UTF-8 copy, sized exactly, owned by the string (cache rule above);
    // never null. On hosts from 0x11000000 the units are encoded (surrogate
    // pairs as one character, a lone surrogate as U+FFFD). On older hosts the
    // 8-bit copy is taken as UTF-8 as it stands; when it is not well-formed
    // UTF-8 the result is the empty text.
    const char* GetUTF8String() const;

    // A null buffer or negative size does nothing; size > 0 copies at most
    // size - 1 units and a terminator; size 0 copies all units and a
    // terminator (the caller guarantees room).
    void CopyToUnicodeBuffer(unsigned short* buffer, int size) const;

    // The buffer itself (zero-terminated), or null when released. Owned by
    // the string; valid until the next edit.
    unsigned short* _GetUnicodeBuffer() { return _buffer.get(); }
    const unsigned short* _GetUnicodeBuffer() const { return _buffer.get(); }

    // Writes a length byte min(length, 255) and that many low bytes into
    // pascal; returns pascal.
    unsigned char* ConvertToPascal(unsigned char (&pascal)[256]) const;

    // The line end written to text files: a single line feed.
    static const char* GetEOL() { return "\n"; }

    // ---- Comparing and searching ----

    // false for null; true when lengths and all units are equal.
    bool IsEqualString(const FCString* other) const;
    // false for null; otherwise the 8-bit copy compared byte-wise with text.
    bool IsEqualCString(const char* text) const;
    // 1 for null; otherwise the texts with every unit up to 0xFF lowered by
    // tolower (units above 0xFF kept), compared as 8-bit copies by strcmp
    // rules: negative, 0 or positive.
    int CompareNoCase(const FCString* other) const;
    // Lowers every unit up to 0xFF with tolower; units above 0xFF are kept.
    void ToLowerCase();

    // false when the string is shorter than text (or text is null);
    // otherwise byte comparison against the start or end of the 8-bit copy.
    bool StartsWith(const char* text) const;
    bool EndsWith(const char* text) const;
    // Unit comparison; an empty other yields true, null false.
    bool StartsWithString(const FCString* other) const;

    // false for null or when length - other's length < from; an empty other
    // yields true; otherwise whether other occurs at a position >= from.
    bool ContainsStringFrom(const FCString* other, int from) const;
    bool ContainsString(const FCString* other) const { return ContainsStringFrom(other, 0); }
    bool ContainsCString(const char* text) const;

    // The first position >= from where other occurs, or -1 (also for null
    // and when length - other's length < from); an empty other yields from.
    int CalcStringPosFrom(const FCString* other, uint32_t from) const;
    int CalcCStringPosFrom(const char* text, uint32_t from) const;

    // The first or last position of text, or -1; null or empty text gives -1.
    int FindFirst(const char* text) const;
    int FindLast(const char* text) const;

    // Whether the unit at index equals unit / any byte of set; false outside
    // 0..length-1 and for a null or empty set.
    bool IsCharacter(int index, unsigned short unit) const;
    bool IsCharacters(int index, const char* set) const;
    // "0" to "9" at index; false outside.
    bool IsDigit(int index) const;
    // true for the empty text, else whether every unit is "0" to "9".
    bool IsAllDigits() const;
    // false for the empty text; otherwise every unit a digit, except that the
    // first may be "-" and one "." may stand anywhere.
    bool IsNumber() const;
    // isspace for units up to 0xFF (for ASCII: space, tab, LF, VT, FF, CR);
    // false for units above 0xFF and outside the string.
    bool IsWhitespace(int index) const;

    // ---- Editing ----

    // -1 means the last unit; false outside; otherwise removes one unit.
    bool DeleteCharacterAt(int index);
    // false when start >= length, count is 0, or start + count > length;
    // otherwise removes count units from start.
    bool DeleteCharactersAt(uint32_t start, uint32_t count);
    // Replaces every occurrence of from by to, left to right, resuming after
    // the inserted text. false when from is null, empty or does not occur.
    // A null to counts as the empty text.
    bool Replace(const char* from, const char* to);
    // Strip space, CR, LF and tab (TrimWhitespace) or CR and LF
    // (TrimLinefeed) from the end, then from the start.
    void TrimWhitespace();
    void TrimLinefeed();
    // false (out unchanged) when out is null or start >= length; otherwise out
    // receives up to count units from start. out may be the string itself.
    bool MakeSubString(uint32_t start, uint32_t count, FCString* out) const;

    // ---- Splitting (new FCStrings owned by the caller, never null) ----

    // Splits at every unit equal to any byte of delimiters; no empty items.
    FCStrings* CreateParsedStrings(const char* delimiters) const;
    // Splits into lines at CR LF, lone CR or lone LF; empty lines give empty
    // items, a line end at the very end adds no item.
    FCStrings* CreateRows() const;

    // ---- Numbers (independent of the process locale) ----

    void SetInteger(int value);
    void AppendInteger(int value);
    // "%f": six decimals, "." as the point.
    void SetFloat(float value);
    void AppendFloat(float value);
    // 0 when start is negative or above the length; otherwise the decimal
    // number at start in the 8-bit copy (leading white space and a sign
    // accepted, reading stops at the first non-digit, 0 without digits),
    // saturated to the range of int.
    int GetInteger(int start = 0) const;
    // 0 when start is negative or above the length; otherwise the number at
    // start as strtod reads it in the C locale, with "," accepted as the
    // decimal point like ".".
    double GetFloat(int start = 0) const;
    // Lower-case hexadecimal of value (as unsigned 32 bits): bits 8 "%02x",
    // 16 "%04x", 32 "%08x", 64 "%016x", otherwise "%x".
    void SetHex(int value, int bits);
    // 0 for the empty text; -1 when any unit is not a hex digit; otherwise the
    // digits accumulated into an unsigned 32-bit value (wrapping).
    int64_t GetHex() const;

    // ---- Paths and resources ----

    // "~/Library/Preferences" (the tilde is not expanded).
    void SetUserOptionsPath();
    // The empty text.
    void SetRunningLuaFolderPath();
    void SetRunningLuaFilePath();
    // false (outputs unchanged) when the text holds no "/"; otherwise path
    // (if not null) receives everything up to and including the last "/",
    // file (if not null) everything after it. Either may be the string itself.
    bool SplitToPathAndFile(FCString* path, FCString* file) const;
    // Appends "/" unless the text already ends with "/".
    void AssureEndingPathDelimiter();

    // Fetches a localised string from the strings tables registered with
    // RegisterResourceBundle (fcresourcestrings.h). A non-null
    // bundleIdentifier is looked up and remembered for later calls (even when
    // it is not registered); null uses the remembered one. A non-null table
    // is remembered (at most 99 bytes) for later calls; until one is given
    // the table is "Localizable". When there is a bundle, the text is the
    // key's value in the table, or the key itself when the table or the key
    // is missing, and the answer is true. Otherwise (or for a null key) the
    // text is "Resource String Error" and the answer false.
    bool LoadResource(const char* key, const char* bundleIdentifier = nullptr,
                      const char* table = nullptr);

    // ---- Measurement text and host folder paths ----
    // (defined in fcstring_measurement.cpp and fcstring_paths.cpp)

    // Writes a page measurement given in EVPUs as text in unit (0: the
    // document's default unit).
    void SetMeasurement(float evpus, short unit);
    // Reads the text as a measurement in unit (a unit suffix in the text
    // wins) and answers EVPUs; 0 for no number or an unknown unit.
    float GetMeasurement(short unit) const;
    // Sets the POSIX path of the host folder of that kind; when it cannot be
    // made the string is released to empty and the answer is false.
    bool _SetTonaroPath(TonPath kind);
    // Sets the POSIX path of spec; false (unchanged) when it cannot be made.
    bool MakeFullFilePath(const TonPathSpec2012* spec);
    // Fills spec from the path in the text; false for a null spec, a missing
    // folder or a name that cannot be converted.
    bool MakeSpecFromFilePath(TonPathSpec2012* spec) const;
    // The POSIX path of spec in a buffer owned by the routine (valid until
    // the next call), or null when it cannot be made.
    static const char* _MacPOSIXPathForTonPathSpec(const TonPathSpec2012* spec);

private:
    // Makes room for needed units plus the terminator (see the growth rule
    // in fcstring.cpp); false when needed cannot be held.
    bool _ExpandStorageIfNecessary(uint32_t needed);
    // Sets length and terminator after a write into the buffer.
    void _SetLength(uint32_t length);
    // Replaces the text with count units (may point into this string).
    void _AssignUnits(const unsigned short* units, uint32_t count);
    void _AppendUnits(const unsigned short* units, uint32_t count);
    // Position of units[0..count) at or after from, or -1.
    int _FindUnits(const unsigned short* units, uint32_t count, uint32_t from) const;

    uint32_t _length = 0;
    uint32_t _capacity = 0;
    std::unique_ptr<unsigned short[]> _buffer;
    mutable std::unique_ptr<char[]> _cstringCopy;
    mutable std::unique_ptr<char[]> _utf8Copy;
};
