#include "tonaroframework/stream/fctextfilestream.h"

#include <vector>

#include "tonaroframework/base/fcstrings.h"
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

void FCTextFileStream::_SetFromBytes(FCString* text, const unsigned char* bytes, size_t count)
{
    // SetUnicodeString stops at a zero unit, so zero bytes go in as a
    // stand-in first and are put back one by one.
    std::vector<unsigned short> units(bytes, bytes + count);
    std::vector<size_t> zeros;
    for (size_t i = 0; i < units.size(); ++i) {
        if (units[i] == 0) {
            units[i] = 1;
            zeros.push_back(i);
        }
    }
    text->SetUnicodeString(units.data(), static_cast<int>(units.size()));
    for (size_t i : zeros) text->SetItemAt(static_cast<int>(i), 0);
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
    _SetFromBytes(line, bytes.data(), bytes.size());
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

void FCTextFileStream::_WriteBytes(const FCString& text)
{
    const uint32_t length = text.GetLength();
    if (length == 0) return;
    std::vector<unsigned char> bytes(length);
    const unsigned short* units = text._GetUnicodeBuffer();
    for (uint32_t i = 0; i < length; ++i) bytes[i] = static_cast<unsigned char>(units[i] & 0xFF);
    std::fwrite(bytes.data(), 1, bytes.size(), _GetFileHandle());
}

bool FCTextFileStream::WriteStrings(const FCStrings* strings)
{
    if (!IsOpen()) return false;
    if (!strings) return true;
    for (int i = 0; i < strings->GetCount(); ++i) {
        const FCString* line = strings->GetItemAt(i);
        if (!line) continue;
        _WriteBytes(*line);
        std::fputs(FCString::GetEOL(), _GetFileHandle());
    }
    return true;
}

bool FCTextFileStream::WriteText(const FCString* text)
{
    if (!IsOpen()) return false;
    if (text) _WriteBytes(*text);
    return true;
}

bool FCTextFileStream::WriteSettingsPairs(const FCSettingsPairs* pairs)
{
    if (!IsOpen()) return false;
    if (!pairs) return true;
    for (int i = 0; i < pairs->GetCount(); ++i) {
        const FCSettingsPair* pair = pairs->GetItemAt(i);
        if (!pair) continue;
        _WriteBytes(*pair->GetKey());
        std::fputc('=', _GetFileHandle());
        _WriteBytes(*pair->GetValue());
        std::fputs(FCString::GetEOL(), _GetFileHandle());
    }
    return true;
}
