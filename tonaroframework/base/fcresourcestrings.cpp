// The strings-table registry and FCString::LoadResource.
#include "tonaroframework/base/fcresourcestrings.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaroframework/base/utf8codec.h"

namespace {

std::map<std::string, std::string>& Registry()
{
    static std::map<std::string, std::string> registry;
    return registry;
}

// What LoadResource remembers between calls.
struct RememberedResource {
    bool haveBundle = false;
    std::string folder;
    bool haveTable = false;
    char table[100] = {};
};

RememberedResource& Remembered()
{
    static RememberedResource remembered;
    return remembered;
}

constexpr const char* kResourceError = "Resource String Error";
constexpr const char* kDefaultTable = "Localizable";

bool ReadFile(const std::string& path, std::string* contents)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) contents->append(chunk, got);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

void TrimBlanks(std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        text.clear();
        return;
    }
    text.erase(text.find_last_not_of(" \t") + 1);
    text.erase(0, first);
}

// Reads a quoted text starting at line[*pos] == '"'; leaves *pos after the
// closing quote. false when the quote is not closed.
bool ReadQuoted(const std::string& line, size_t* pos, std::string* out)
{
    out->clear();
    for (size_t i = *pos + 1; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            *pos = i + 1;
            return true;
        }
        if (c == '\\' && i + 1 < line.size()) {
            const char next = line[++i];
            switch (next) {
            case 'n': *out += '\n'; break;
            case 'r': *out += '\r'; break;
            case 't': *out += '\t'; break;
            default: *out += next; break;  // \" \\ and anything else as itself
            }
            continue;
        }
        *out += c;
    }
    return false;
}

// Parses one line of a strings table; false for comments, blank and
// malformed lines.
bool ParseEntry(const std::string& rawLine, std::string* key, std::string* value)
{
    std::string line = rawLine;
    TrimBlanks(line);
    if (line.empty() || line[0] == '#' || line.compare(0, 2, "//") == 0) return false;
    size_t pos = 0;
    if (line[0] == '"') {
        if (!ReadQuoted(line, &pos, key)) return false;
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
        if (pos >= line.size() || line[pos] != '=') return false;
        ++pos;
    } else {
        pos = line.find('=');
        if (pos == std::string::npos) return false;
        *key = line.substr(0, pos);
        TrimBlanks(*key);
        ++pos;
    }
    std::string rest = line.substr(pos);
    TrimBlanks(rest);
    if (!rest.empty() && rest[0] == '"') {
        size_t quoted = 0;
        return ReadQuoted(rest, &quoted, value);
    }
    *value = rest;
    return true;
}

// The value of key in folder/table.strings; false when the table or the key
// is missing.
bool LookUp(const std::string& folder, const char* table, const char* key, std::string* value)
{
    if (std::strchr(table, '/')) return false;
    std::string contents;
    if (!ReadFile(folder + "/" + table + ".strings", &contents)) return false;
    if (contents.compare(0, 3, "\xEF\xBB\xBF") == 0) contents.erase(0, 3);
    size_t start = 0;
    while (start < contents.size()) {
        size_t end = contents.find_first_of("\r\n", start);
        if (end == std::string::npos) end = contents.size();
        std::string entryKey;
        std::string entryValue;
        if (ParseEntry(contents.substr(start, end - start), &entryKey, &entryValue) && entryKey == key) {
            *value = entryValue;
            return true;
        }
        start = end + 1;
    }
    return false;
}

// Mac Roman bytes 0x80-0xFF and the characters they stand for.
constexpr unsigned short kMacRomanHigh[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1,  // 80
    0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5, 0x00E7, 0x00E9, 0x00E8,  // 88
    0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,  // 90
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC,  // 98
    0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x00DF,  // A0
    0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,  // A8
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211,  // B0
    0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8,  // B8
    0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,  // C0
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153,  // C8
    0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA,  // D0
    0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,  // D8
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1,  // E0
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4,  // E8
    0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,  // F0
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,  // F8
};

// Units as Mac Roman bytes; a character Mac Roman lacks becomes "?".
std::string ToMacRoman(const std::vector<unsigned short>& units)
{
    std::string bytes;
    bytes.reserve(units.size());
    for (const unsigned short unit : units) {
        if (unit < 0x80) {
            bytes += static_cast<char>(unit);
            continue;
        }
        char byte = '?';
        for (int i = 0; i < 128; ++i) {
            if (kMacRomanHigh[i] == unit) {
                byte = static_cast<char>(0x80 + i);
                break;
            }
        }
        bytes += byte;
    }
    return bytes;
}

}  // namespace

bool RegisterResourceBundle(const char* bundleIdentifier, const char* folderPath)
{
    if (!bundleIdentifier || !*bundleIdentifier || !folderPath || !*folderPath) return false;
    Registry()[bundleIdentifier] = folderPath;
    return true;
}

bool UnregisterResourceBundle(const char* bundleIdentifier)
{
    if (!bundleIdentifier) return false;
    return Registry().erase(bundleIdentifier) > 0;
}

const char* FindResourceBundleFolder(const char* bundleIdentifier)
{
    if (!bundleIdentifier) return nullptr;
    const auto found = Registry().find(bundleIdentifier);
    return found == Registry().end() ? nullptr : found->second.c_str();
}

bool FCString::LoadResource(const char* key, const char* bundleIdentifier, const char* table)
{
    RememberedResource& remembered = Remembered();
    if (bundleIdentifier) {
        // Remembered even when the lookup fails: later calls then fail too.
        const char* folder = FindResourceBundleFolder(bundleIdentifier);
        remembered.haveBundle = folder != nullptr;
        remembered.folder = folder ? folder : "";
    }
    if (!remembered.haveBundle || !key) {
        SetCString(kResourceError);
        return false;
    }
    if (table) {
        std::snprintf(remembered.table, sizeof remembered.table, "%s", table);
        remembered.haveTable = true;
    }
    std::string value;
    if (!LookUp(remembered.folder, remembered.haveTable ? remembered.table : kDefaultTable, key, &value))
        value = key;  // the key is its own default
    std::vector<unsigned short> units;
    if (!DecodeUTF8ToUTF16(value.data(), value.size(), units)) {
        // A table that is not UTF-8: take its bytes as they are.
        units.assign(value.begin(), value.end());
        for (auto& unit : units) unit &= 0xFF;
    }
    if (GetTonaroFrameworkVersion() >= 0x11000000) {
        _SetPlatformUnits(units.data(), static_cast<int>(units.size()));
    } else {
        const std::string macRoman = ToMacRoman(units);
        SetCString(macRoman.c_str(), static_cast<int>(macRoman.size()));
    }
    return true;
}
