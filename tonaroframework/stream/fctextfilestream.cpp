#include "tonaroframework/stream/fctextfilestream.h"

#include <string>
#include <vector>

#include "tonaroframework/base/fcstrings.h"
#include "tonaroframework/base/utf8codec.h"
#include "tonaroframework/stream/fcsettingspair.h"
#include "tonaroframework/stream/fcsettingspairs.h"

bool FCTextFileStream::OpenRead()
{
    return OpenFile("r");
}

bool FCTextFileStream::OpenWrite()
{
    return OpenFile("w+");
}

namespace {

bool IsLineEnd(unsigned short unit) { return unit == '\n' || unit == '\r'; }

// The bytes of one line of text (no line end in it): one byte per unit when
// every unit is in U+0000-U+00FF and those bytes cannot be mistaken for UTF-8
// (plain ASCII, or not well-formed UTF-8); UTF-8 otherwise. Either form
// reads back as the same units.
std::string EncodeLine(const unsigned short* units, size_t count)
{
    std::string bytes;
    bytes.reserve(count);
    bool ascii = true;
    for (size_t i = 0; i < count; ++i) {
        if (units[i] > 0xFF) return EncodeUTF16ToUTF8(units, count);
        if (units[i] > 0x7F) ascii = false;
        bytes += static_cast<char>(units[i]);
    }
    if (ascii || !IsWellFormedUTF8(bytes.data(), bytes.size())) return bytes;
    return EncodeUTF16ToUTF8(units, count);
}

}  // namespace

void FCTextFileStream::_SetFromUnits(FCString* text, const unsigned short* units, size_t count)
{
    // SetUnicodeString stops at a zero unit, so zero units go in as a
    // stand-in first and are put back one by one.
    std::vector<unsigned short> copy(units, units + count);
    std::vector<size_t> zeros;
    for (size_t i = 0; i < copy.size(); ++i) {
        if (copy[i] == 0) {
            copy[i] = 1;
            zeros.push_back(i);
        }
    }
    text->SetUnicodeString(copy.data(), static_cast<int>(copy.size()));
    for (size_t i : zeros) text->SetItemAt(static_cast<int>(i), 0);
}

void FCTextFileStream::_SetFromBytes(FCString* text, const unsigned char* bytes, size_t count)
{
    const std::vector<unsigned short> units(bytes, bytes + count);
    _SetFromUnits(text, units.data(), units.size());
}

void FCTextFileStream::_SetFromLineBytes(FCString* text, const unsigned char* bytes, size_t count)
{
    bool ascii = true;
    for (size_t i = 0; i < count && ascii; ++i) ascii = bytes[i] < 0x80;
    std::vector<unsigned short> units;
    if (!ascii && DecodeUTF8ToUTF16(reinterpret_cast<const char*>(bytes), count, units)) {
        _SetFromUnits(text, units.data(), units.size());
        return;
    }
    _SetFromBytes(text, bytes, count);
}

FCString* FCTextFileStream::ReadString()
{
    FILE* file = _GetFileHandle();
    if (!file) return nullptr;
    int c = std::getc(file);
    if (c == EOF) return nullptr;
    std::vector<unsigned char> bytes;
    while (c != EOF && c != '\n' && c != '\r') {
        bytes.push_back(static_cast<unsigned char>(c));
        c = std::getc(file);
    }
    auto* line = new FCString();
    _SetFromLineBytes(line, bytes.data(), bytes.size());
    return line;
}

FCStrings* FCTextFileStream::ReadStrings()
{
    if (!IsOpen()) return nullptr;
    auto* lines = new FCStrings();
    while (FCString* line = ReadString()) {
        line->TrimLinefeed();
        lines->Add(line);
    }
    return lines;
}

void FCTextFileStream::_WriteLine(const unsigned short* units, size_t count, bool lineEndsAsSpaces)
{
    if (count == 0) return;
    std::vector<unsigned short> line(units, units + count);
    if (lineEndsAsSpaces) {
        for (unsigned short& unit : line)
            if (IsLineEnd(unit)) unit = ' ';
    }
    const std::string bytes = EncodeLine(line.data(), line.size());
    std::fwrite(bytes.data(), 1, bytes.size(), _GetFileHandle());
}

void FCTextFileStream::_WriteText(const FCString& text)
{
    const unsigned short* units = text._GetUnicodeBuffer();
    const size_t length = text.GetLength();
    size_t start = 0;
    for (size_t i = 0; i <= length; ++i) {
        if (i < length && !IsLineEnd(units[i])) continue;
        _WriteLine(units + start, i - start, false);
        if (i < length) std::fputc(units[i], _GetFileHandle());
        start = i + 1;
    }
}

bool FCTextFileStream::WriteStrings(const FCStrings* strings)
{
    if (!IsOpen()) return false;
    if (!strings) return true;
    for (int i = 0; i < strings->GetCount(); ++i) {
        const FCString* line = strings->GetItemAt(i);
        if (!line) continue;
        _WriteLine(line->_GetUnicodeBuffer(), line->GetLength(), true);
        std::fputs(FCString::GetEOL(), _GetFileHandle());
    }
    return true;
}

bool FCTextFileStream::WriteText(const FCString* text)
{
    if (!IsOpen()) return false;
    if (text) _WriteText(*text);
    return true;
}

bool FCTextFileStream::WriteSettingsPairs(const FCSettingsPairs* pairs)
{
    if (!IsOpen()) return false;
    if (!pairs) return true;
    FCString line;
    for (int i = 0; i < pairs->GetCount(); ++i) {
        const FCSettingsPair* pair = pairs->GetItemAt(i);
        if (!pair) continue;
        line.SetString(pair->GetKey());
        line.AppendCharacter('=');
        line.AppendString(pair->GetValue());
        _WriteLine(line._GetUnicodeBuffer(), line.GetLength(), true);
        std::fputs(FCString::GetEOL(), _GetFileHandle());
    }
    return true;
}
