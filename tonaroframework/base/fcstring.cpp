#include "tonaroframework/base/fcstring.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <locale.h>
#include <string>
#include <vector>

#include "tonaroframework/base/fcstrings.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaroframework/base/utf8codec.h"

namespace {

using Units = std::vector<unsigned short>;

// The most code units a string holds; keeps every size computation (units,
// bytes, int positions) far from overflow.
constexpr uint32_t kMaxUnits = 0x3FFFFFF0;

// Hosts from this version exchange text with the platform as code units;
// older ones exchange 8-bit text.
constexpr uint32_t kUnicodeHostVersion = 0x11000000;

bool IsUnicodeHost()
{
    return GetTonaroFrameworkVersion() >= kUnicodeHostVersion;
}

// 8-bit text widens as Latin-1: each byte becomes the unit of its value.
Units WidenCString(const char* text)
{
    Units units;
    if (!text) return units;
    for (const char* p = text; *p; ++p) units.push_back(static_cast<unsigned char>(*p));
    return units;
}

char LowByte(unsigned short unit)
{
    return static_cast<char>(static_cast<unsigned char>(unit & 0xFF));
}

// tolower for the units that the C character functions may be given; any
// other unit is kept.
unsigned short LowerUnit(unsigned short unit)
{
    if (unit > 0xFF) return unit;
    return static_cast<unsigned short>(std::tolower(unit));
}

bool IsTrimmedWhitespace(unsigned short unit)
{
    return unit == ' ' || unit == '\r' || unit == '\n' || unit == '\t';
}

bool IsLinefeed(unsigned short unit)
{
    return unit == '\r' || unit == '\n';
}

bool IsCSpace(unsigned char byte)
{
    return byte == ' ' || (byte >= '\t' && byte <= '\r');
}

// The C locale, for number reading that does not depend on the process
// locale (a Qt application sets it from the environment).
locale_t CLocale()
{
    static locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

}  // namespace

FCString::FCString()
{
    _AssignUnits(nullptr, 0);
}

FCString::FCString(const char* text)
{
    SetCString(text);
}

FCString::~FCString() = default;

// ---- Storage ----

bool FCString::_ExpandStorageIfNecessary(uint32_t needed)
{
    if (static_cast<uint64_t>(_capacity) > static_cast<uint64_t>(needed) + 1) return true;
    if (needed > kMaxUnits) return false;
    // The smallest multiple of 10 above needed. The old units are copied;
    // the caller writes the terminator.
    const uint32_t capacity = (needed + 10) / 10 * 10;
    auto buffer = std::make_unique_for_overwrite<unsigned short[]>(capacity);
    if (_buffer && _length > 0) std::copy(_buffer.get(), _buffer.get() + _length, buffer.get());
    _buffer = std::move(buffer);
    _capacity = capacity;
    return true;
}

void FCString::_SetLength(uint32_t length)
{
    _length = length;
    _buffer[length] = 0;
}

void FCString::_AssignUnits(const unsigned short* units, uint32_t count)
{
    if (count > kMaxUnits) return;
    const unsigned short* begin = _buffer.get();
    if (units && begin && !std::less<const unsigned short*>()(units, begin) &&
        std::less<const unsigned short*>()(units, begin + _capacity)) {
        // The source lies in this string's own buffer: copy it out first.
        const Units copy(units, units + count);
        _AssignUnits(copy.data(), count);
        return;
    }
    _length = 0;  // nothing of the old text needs keeping
    _ExpandStorageIfNecessary(count);
    if (count > 0) std::copy(units, units + count, _buffer.get());
    _SetLength(count);
}

void FCString::_AppendUnits(const unsigned short* units, uint32_t count)
{
    if (static_cast<uint64_t>(_length) + count > kMaxUnits) return;
    const unsigned short* begin = _buffer.get();
    if (count > 0 && begin && !std::less<const unsigned short*>()(units, begin) &&
        std::less<const unsigned short*>()(units, begin + _capacity)) {
        const Units copy(units, units + count);
        _AppendUnits(copy.data(), count);
        return;
    }
    _ExpandStorageIfNecessary(_length + count);
    if (count > 0) std::copy(units, units + count, _buffer.get() + _length);
    _SetLength(_length + count);
}

int FCString::_FindUnits(const unsigned short* units, uint32_t count, uint32_t from) const
{
    if (count == 0 || count > _length) return -1;
    const unsigned short* text = _buffer.get();
    for (uint32_t pos = from; pos <= _length - count; ++pos)
        if (std::equal(units, units + count, text + pos)) return static_cast<int>(pos);
    return -1;
}

// ---- Setting and appending ----

void FCString::SetCString(const char* text, int count)
{
    if (!text) {
        _buffer.reset();
        _length = 0;
        _capacity = 0;
        return;
    }
    size_t size = 0;
    if (count < 0)
        size = std::strlen(text);
    else if (count > 0)
        size = strnlen(text, static_cast<size_t>(count));
    if (size > kMaxUnits) return;
    Units units(size);
    for (size_t i = 0; i < size; ++i) units[i] = static_cast<unsigned char>(text[i]);
    _AssignUnits(units.data(), static_cast<uint32_t>(size));
}

void FCString::SetUnicodeString(const unsigned short* units, int count)
{
    if (!units || count == 0) {
        _AssignUnits(nullptr, 0);
        return;
    }
    uint32_t size = 0;
    const uint32_t limit = count < 0 ? kMaxUnits : static_cast<uint32_t>(count);
    while (size < limit && units[size] != 0) ++size;
    _AssignUnits(units, size);
}

void FCString::_SetPlatformUnits(const unsigned short* units, int count)
{
    if (!units || count == 0) {
        _AssignUnits(nullptr, 0);
        return;
    }
    uint32_t size = 0;
    if (count < 0)
        while (size < kMaxUnits && units[size] != 0) ++size;
    else
        size = std::min(static_cast<uint32_t>(count), kMaxUnits);
    Units converted(units, units + size);
    for (auto& unit : converted)
        if (unit == 0x2028) unit = '\r';  // line separator
    SetUnicodeString(converted.data(), static_cast<int>(size));
}

bool FCString::SetUTF8String(const char* utf8)
{
    if (!utf8) return false;
    Units units;
    if (!DecodeUTF8ToUTF16(utf8, std::strlen(utf8), units)) return false;
    if (units.size() > kMaxUnits) return false;
    if (IsUnicodeHost()) {
        _SetPlatformUnits(units.data(), static_cast<int>(units.size()));
        return true;
    }
    // Older hosts receive 7-bit text in the non-lossy ASCII form.
    std::string ascii;
    ascii.reserve(units.size());
    char escape[8];
    for (const unsigned short unit : units) {
        if (unit == '\\') {
            ascii += "\\\\";
        } else if (unit < 0x80) {
            ascii += static_cast<char>(unit);
        } else if (unit < 0x100) {
            std::snprintf(escape, sizeof escape, "\\%03o", static_cast<unsigned>(unit));
            ascii += escape;
        } else {
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(unit));
            ascii += escape;
        }
    }
    if (ascii.size() > kMaxUnits) return false;
    SetCString(ascii.c_str(), static_cast<int>(ascii.size()));
    return true;
}

void FCString::SetString(const FCString* other)
{
    if (other == this) return;
    if (!other || other->_length == 0) {
        _AssignUnits(nullptr, 0);
        return;
    }
    _AssignUnits(other->_buffer.get(), other->_length);
}

void FCString::AppendCString(const char* text)
{
    const Units units = WidenCString(text);
    _AppendUnits(units.data(), static_cast<uint32_t>(units.size()));
}

void FCString::AppendString(const FCString* other)
{
    if (!other) return;
    _AppendUnits(other->_buffer.get(), other->_length);
}

void FCString::AppendCharacter(unsigned short unit)
{
    _AppendUnits(&unit, 1);
}

bool FCString::Insert(const char* text, int pos)
{
    if (!text) return false;
    FCString inserted;
    inserted.AppendCString(text);
    return InsertString(&inserted, pos);
}

bool FCString::InsertString(const FCString* other, int pos)
{
    if (!other || pos < 0 || static_cast<uint32_t>(pos) > _length) return false;
    if (static_cast<uint64_t>(_length) + other->_length > kMaxUnits) return false;
    const unsigned short* text = _buffer.get();
    const unsigned short* insert = other->_buffer.get();
    Units rebuilt;
    rebuilt.reserve(_length + other->_length);
    if (text) rebuilt.insert(rebuilt.end(), text, text + pos);
    if (insert) rebuilt.insert(rebuilt.end(), insert, insert + other->_length);
    if (text) rebuilt.insert(rebuilt.end(), text + pos, text + _length);
    _AssignUnits(rebuilt.data(), static_cast<uint32_t>(rebuilt.size()));
    return true;
}

void FCString::SetItemAt(int index, unsigned short unit)
{
    if (index < 0 || static_cast<uint32_t>(index) >= _length) return;
    if (unit > 0xFEB0) unit &= 0xFF;
    _buffer[index] = unit;
}

FCString* FCString::CreateCopy() const
{
    auto* copy = new FCString;
    copy->SetString(this);
    return copy;
}

void FCString::Clear()
{
    _AssignUnits(nullptr, 0);
}

// ---- Reading ----

unsigned short FCString::GetItemAt(int index) const
{
    if (index < 0 || static_cast<uint32_t>(index) >= _length) return 0;
    return _buffer[index];
}

const char* FCString::GetCString() const
{
    _cstringCopy.reset();
    _cstringCopy = std::make_unique_for_overwrite<char[]>(_length + 1);
    for (uint32_t i = 0; i < _length; ++i) _cstringCopy[i] = LowByte(_buffer[i]);
    _cstringCopy[_length] = '\0';
    return _cstringCopy.get();
}

const char* FCString::GetUTF8String() const
{
    std::string utf8;
    if (IsUnicodeHost()) {
        utf8 = EncodeUTF16ToUTF8(_buffer.get(), _length);
    } else {
        // Older hosts read the 8-bit copy (up to its first zero byte) as
        // UTF-8 as it stands.
        for (uint32_t i = 0; i < _length && (_buffer[i] & 0xFF) != 0; ++i) utf8 += LowByte(_buffer[i]);
        if (!IsWellFormedUTF8(utf8.data(), utf8.size())) utf8.clear();
    }
    _utf8Copy.reset();
    _utf8Copy = std::make_unique_for_overwrite<char[]>(utf8.size() + 1);
    std::memcpy(_utf8Copy.get(), utf8.c_str(), utf8.size() + 1);
    return _utf8Copy.get();
}

void FCString::CopyToUnicodeBuffer(unsigned short* buffer, int size) const
{
    if (!buffer || size < 0) return;
    uint32_t count = _length;
    if (size > 0) count = std::min(count, static_cast<uint32_t>(size - 1));
    if (count > 0) std::copy(_buffer.get(), _buffer.get() + count, buffer);
    buffer[count] = 0;
}

unsigned char* FCString::ConvertToPascal(unsigned char (&pascal)[256]) const
{
    const uint32_t count = std::min<uint32_t>(_length, 255);
    pascal[0] = static_cast<unsigned char>(count);
    for (uint32_t i = 0; i < count; ++i) pascal[i + 1] = static_cast<unsigned char>(_buffer[i] & 0xFF);
    return pascal;
}

// ---- Comparing and searching ----

bool FCString::IsEqualString(const FCString* other) const
{
    if (!other) return false;
    if (other->_length != _length) return false;
    return _length == 0 || std::equal(_buffer.get(), _buffer.get() + _length, other->_buffer.get());
}

bool FCString::IsEqualCString(const char* text) const
{
    if (!text) return false;
    // strcmp of the 8-bit copy, without touching the cache.
    for (uint32_t i = 0;; ++i) {
        const char mine = i < _length ? LowByte(_buffer[i]) : '\0';
        if (mine != text[i]) return false;
        if (mine == '\0') return true;
    }
}

int FCString::CompareNoCase(const FCString* other) const
{
    if (!other) return 1;
    // strcmp of the lowered 8-bit copies.
    for (uint32_t i = 0;; ++i) {
        const auto mine = static_cast<unsigned char>(i < _length ? LowByte(LowerUnit(_buffer[i])) : 0);
        const auto theirs =
            static_cast<unsigned char>(i < other->_length ? LowByte(LowerUnit(other->_buffer[i])) : 0);
        if (mine != theirs) return mine < theirs ? -1 : 1;
        if (mine == 0) return 0;
    }
}

void FCString::ToLowerCase()
{
    for (uint32_t i = 0; i < _length; ++i) _buffer[i] = LowerUnit(_buffer[i]);
}

bool FCString::StartsWith(const char* text) const
{
    if (!text) return false;
    const size_t size = std::strlen(text);
    if (_length < size) return false;
    for (size_t i = 0; i < size; ++i)
        if (LowByte(_buffer[i]) != text[i]) return false;
    return true;
}

bool FCString::EndsWith(const char* text) const
{
    if (!text) return false;
    const size_t size = std::strlen(text);
    if (_length < size) return false;
    const size_t offset = _length - size;
    for (size_t i = 0; i < size; ++i)
        if (LowByte(_buffer[offset + i]) != text[i]) return false;
    return true;
}

bool FCString::StartsWithString(const FCString* other) const
{
    if (!other) return false;
    if (other->_length == 0) return true;
    if (other->_length > _length) return false;
    return std::equal(other->_buffer.get(), other->_buffer.get() + other->_length, _buffer.get());
}

bool FCString::ContainsStringFrom(const FCString* other, int from) const
{
    if (!other) return false;
    if (static_cast<int64_t>(_length) - other->_length < from) return false;
    if (other->_length == 0) return true;
    return _FindUnits(other->_buffer.get(), other->_length, static_cast<uint32_t>(std::max(from, 0))) >= 0;
}

bool FCString::ContainsCString(const char* text) const
{
    if (!text) return false;
    FCString other(text);
    return ContainsString(&other);
}

int FCString::CalcStringPosFrom(const FCString* other, uint32_t from) const
{
    if (!other) return -1;
    if (static_cast<int64_t>(_length) - other->_length < static_cast<int64_t>(from)) return -1;
    if (other->_length == 0) return static_cast<int>(from);
    return _FindUnits(other->_buffer.get(), other->_length, from);
}

int FCString::CalcCStringPosFrom(const char* text, uint32_t from) const
{
    if (!text) return -1;
    FCString other(text);
    return CalcStringPosFrom(&other, from);
}

int FCString::FindFirst(const char* text) const
{
    const Units units = WidenCString(text);
    return _FindUnits(units.data(), static_cast<uint32_t>(units.size()), 0);
}

int FCString::FindLast(const char* text) const
{
    const Units units = WidenCString(text);
    if (units.empty() || units.size() > _length) return -1;
    for (uint32_t pos = _length - static_cast<uint32_t>(units.size()) + 1; pos-- > 0;)
        if (std::equal(units.begin(), units.end(), _buffer.get() + pos)) return static_cast<int>(pos);
    return -1;
}

bool FCString::IsCharacter(int index, unsigned short unit) const
{
    if (index < 0 || static_cast<uint32_t>(index) >= _length) return false;
    return _buffer[index] == unit;
}

bool FCString::IsCharacters(int index, const char* set) const
{
    if (!set || index < 0 || static_cast<uint32_t>(index) >= _length) return false;
    for (const char* p = set; *p; ++p)
        if (_buffer[index] == static_cast<unsigned char>(*p)) return true;
    return false;
}

bool FCString::IsDigit(int index) const
{
    if (index < 0 || static_cast<uint32_t>(index) >= _length) return false;
    return _buffer[index] >= '0' && _buffer[index] <= '9';
}

bool FCString::IsAllDigits() const
{
    for (uint32_t i = 0; i < _length; ++i)
        if (_buffer[i] < '0' || _buffer[i] > '9') return false;
    return true;
}

bool FCString::IsNumber() const
{
    if (_length == 0) return false;
    bool point = false;
    for (uint32_t i = 0; i < _length; ++i) {
        const unsigned short unit = _buffer[i];
        if (unit >= '0' && unit <= '9') continue;
        if (unit == '-' && i == 0) continue;
        if (unit == '.' && !point) {
            point = true;
            continue;
        }
        return false;
    }
    return true;
}

bool FCString::IsWhitespace(int index) const
{
    if (index < 0 || static_cast<uint32_t>(index) >= _length) return false;
    const unsigned short unit = _buffer[index];
    if (unit > 0xFF) return false;
    return std::isspace(unit) != 0;
}

// ---- Editing ----

bool FCString::DeleteCharacterAt(int index)
{
    if (index == -1) index = static_cast<int>(_length) - 1;
    if (index < 0 || static_cast<uint32_t>(index) >= _length) return false;
    return DeleteCharactersAt(static_cast<uint32_t>(index), 1);
}

bool FCString::DeleteCharactersAt(uint32_t start, uint32_t count)
{
    if (start >= _length || count == 0 || count > _length) return false;
    if (static_cast<uint64_t>(start) + count > _length) return false;
    unsigned short* text = _buffer.get();
    std::copy(text + start + count, text + _length, text + start);
    _SetLength(_length - count);
    return true;
}

bool FCString::Replace(const char* from, const char* to)
{
    const Units find = WidenCString(from);
    if (find.empty()) return false;
    const Units replacement = WidenCString(to);
    const auto findCount = static_cast<uint32_t>(find.size());
    int found = _FindUnits(find.data(), findCount, 0);
    if (found < 0) return false;
    Units rebuilt;
    uint32_t pos = 0;
    while (found >= 0) {
        rebuilt.insert(rebuilt.end(), _buffer.get() + pos, _buffer.get() + found);
        rebuilt.insert(rebuilt.end(), replacement.begin(), replacement.end());
        if (rebuilt.size() > kMaxUnits) return false;
        pos = static_cast<uint32_t>(found) + findCount;
        found = _FindUnits(find.data(), findCount, pos);
    }
    rebuilt.insert(rebuilt.end(), _buffer.get() + pos, _buffer.get() + _length);
    if (rebuilt.size() > kMaxUnits) return false;
    _AssignUnits(rebuilt.data(), static_cast<uint32_t>(rebuilt.size()));
    return true;
}

void FCString::TrimWhitespace()
{
    uint32_t end = _length;
    while (end > 0 && IsTrimmedWhitespace(_buffer[end - 1])) --end;
    uint32_t start = 0;
    while (start < end && IsTrimmedWhitespace(_buffer[start])) ++start;
    if (start == 0 && end == _length) return;
    _AssignUnits(_buffer.get() + start, end - start);
}

void FCString::TrimLinefeed()
{
    uint32_t end = _length;
    while (end > 0 && IsLinefeed(_buffer[end - 1])) --end;
    uint32_t start = 0;
    while (start < end && IsLinefeed(_buffer[start])) ++start;
    if (start == 0 && end == _length) return;
    _AssignUnits(_buffer.get() + start, end - start);
}

bool FCString::MakeSubString(uint32_t start, uint32_t count, FCString* out) const
{
    if (!out || start >= _length) return false;
    const uint32_t available = std::min(count, _length - start);
    out->_AssignUnits(_buffer.get() + start, available);
    return true;
}

// ---- Splitting ----

FCStrings* FCString::CreateParsedStrings(const char* delimiters) const
{
    auto* list = new FCStrings;
    const Units separators = WidenCString(delimiters);
    uint32_t start = 0;
    for (uint32_t i = 0; i <= _length; ++i) {
        const bool atEnd = i == _length;
        if (!atEnd && std::find(separators.begin(), separators.end(), _buffer[i]) == separators.end())
            continue;
        if (i > start) {
            auto* item = new FCString;
            item->_AssignUnits(_buffer.get() + start, i - start);
            list->Add(item);
        }
        start = i + 1;
    }
    return list;
}

FCStrings* FCString::CreateRows() const
{
    auto* list = new FCStrings;
    uint32_t pos = 0;
    while (pos < _length) {
        uint32_t end = pos;
        while (end < _length && !IsLinefeed(_buffer[end])) ++end;
        auto* row = new FCString;
        row->_AssignUnits(_buffer.get() + pos, end - pos);
        list->Add(row);
        if (end < _length && _buffer[end] == '\r' && end + 1 < _length && _buffer[end + 1] == '\n')
            pos = end + 2;
        else
            pos = end + 1;
    }
    return list;
}

// ---- Numbers ----

void FCString::SetInteger(int value)
{
    Clear();
    AppendInteger(value);
}

void FCString::AppendInteger(int value)
{
    char text[16];
    const auto result = std::to_chars(text, text + sizeof text - 1, value);
    // Digits and a minus sign widen to units of the same value.
    unsigned short units[sizeof text];
    const auto count = static_cast<uint32_t>(result.ptr - text);
    for (uint32_t i = 0; i < count; ++i) units[i] = static_cast<unsigned char>(text[i]);
    _AppendUnits(units, count);
}

void FCString::SetFloat(float value)
{
    Clear();
    AppendFloat(value);
}

void FCString::AppendFloat(float value)
{
    // Same text as "%f" in the C locale, whatever the process locale is.
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text - 1, static_cast<double>(value), std::chars_format::fixed, 6);
    if (result.ec != std::errc()) return;
    *result.ptr = '\0';
    AppendCString(text);
}

int FCString::GetInteger(int start) const
{
    if (start < 0 || static_cast<uint32_t>(start) > _length) return 0;
    uint32_t i = static_cast<uint32_t>(start);
    auto byteAt = [this](uint32_t index) {
        return index < _length ? static_cast<unsigned char>(_buffer[index] & 0xFF) : 0;
    };
    while (byteAt(i) != 0 && IsCSpace(byteAt(i))) ++i;
    bool negative = false;
    if (byteAt(i) == '-' || byteAt(i) == '+') {
        negative = byteAt(i) == '-';
        ++i;
    }
    // Accumulate as a magnitude and saturate at the limits of int, as strtol
    // does, instead of overflowing.
    const int64_t limit = negative ? -static_cast<int64_t>(INT_MIN) : INT_MAX;
    int64_t magnitude = 0;
    for (; byteAt(i) >= '0' && byteAt(i) <= '9'; ++i) {
        magnitude = magnitude * 10 + (byteAt(i) - '0');
        if (magnitude > limit) magnitude = limit;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

double FCString::GetFloat(int start) const
{
    if (start < 0 || static_cast<uint32_t>(start) > _length) return 0;
    std::string text;
    for (uint32_t i = static_cast<uint32_t>(start); i < _length; ++i) {
        const char byte = LowByte(_buffer[i]);
        if (byte == '\0') break;
        text += byte == ',' ? '.' : byte;
    }
    const locale_t locale = CLocale();
    if (!locale) return 0;
    return strtod_l(text.c_str(), nullptr, locale);
}

void FCString::SetHex(int value, int bits)
{
    const auto word = static_cast<unsigned>(static_cast<uint32_t>(value));
    char text[24];
    switch (bits) {
    case 8: std::snprintf(text, sizeof text, "%02x", word); break;
    case 16: std::snprintf(text, sizeof text, "%04x", word); break;
    case 32: std::snprintf(text, sizeof text, "%08x", word); break;
    case 64: std::snprintf(text, sizeof text, "%016x", word); break;
    default: std::snprintf(text, sizeof text, "%x", word); break;
    }
    SetCString(text);
}

int64_t FCString::GetHex() const
{
    uint32_t value = 0;
    for (uint32_t i = 0; i < _length; ++i) {
        const unsigned short unit = _buffer[i];
        uint32_t digit;
        if (unit >= '0' && unit <= '9')
            digit = unit - '0';
        else if (unit >= 'a' && unit <= 'f')
            digit = unit - 'a' + 10;
        else if (unit >= 'A' && unit <= 'F')
            digit = unit - 'A' + 10;
        else
            return -1;
        value = (value << 4) | digit;
    }
    return value;
}

// ---- Paths ----

void FCString::SetUserOptionsPath()
{
    SetCString("~/Library/Preferences");
}

void FCString::SetRunningLuaFolderPath()
{
    Clear();
}

void FCString::SetRunningLuaFilePath()
{
    Clear();
}

bool FCString::SplitToPathAndFile(FCString* path, FCString* file) const
{
    uint32_t slash = _length;
    for (uint32_t i = _length; i-- > 0;) {
        if (_buffer[i] == '/') {
            slash = i;
            break;
        }
    }
    if (slash == _length) return false;
    FCString folderPart;
    FCString filePart;
    folderPart._AssignUnits(_buffer.get(), slash + 1);
    filePart._AssignUnits(_buffer.get() + slash + 1, _length - slash - 1);
    if (path) path->SetString(&folderPart);
    if (file) file->SetString(&filePart);
    return true;
}

void FCString::AssureEndingPathDelimiter()
{
    if (_length > 0 && _buffer[_length - 1] == '/') return;
    AppendCharacter('/');
}
