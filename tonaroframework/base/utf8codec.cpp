#include "tonaroframework/base/utf8codec.h"

namespace {

// Reads one character at bytes[*pos]; advances *pos. false when ill-formed.
bool DecodeOne(const unsigned char* bytes, size_t size, size_t* pos, char32_t* character)
{
    const unsigned char lead = bytes[*pos];
    if (lead < 0x80) {
        *character = lead;
        *pos += 1;
        return true;
    }
    size_t extra;
    char32_t value;
    char32_t minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        return false;  // continuation byte, overlong lead or beyond U+10FFFF
    }
    if (size - *pos <= extra) return false;  // cut sequence
    for (size_t i = 1; i <= extra; ++i) {
        const unsigned char next = bytes[*pos + i];
        if ((next & 0xC0) != 0x80) return false;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF) return false;
    if (value >= 0xD800 && value <= 0xDFFF) return false;
    *character = value;
    *pos += extra + 1;
    return true;
}

void AppendUTF8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

bool DecodeUTF8ToUTF16(const char* utf8, size_t size, std::vector<unsigned short>& out)
{
    if (!utf8) return size == 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8);
    std::vector<unsigned short> units;
    units.reserve(size);
    size_t pos = 0;
    while (pos < size) {
        char32_t c;
        if (!DecodeOne(bytes, size, &pos, &c)) return false;
        if (c >= 0x10000) {
            c -= 0x10000;
            units.push_back(static_cast<unsigned short>(0xD800 | (c >> 10)));
            units.push_back(static_cast<unsigned short>(0xDC00 | (c & 0x3FF)));
        } else {
            units.push_back(static_cast<unsigned short>(c));
        }
    }
    out.insert(out.end(), units.begin(), units.end());
    return true;
}

bool IsWellFormedUTF8(const char* utf8, size_t size)
{
    if (!utf8) return size == 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8);
    size_t pos = 0;
    char32_t c;
    while (pos < size)
        if (!DecodeOne(bytes, size, &pos, &c)) return false;
    return true;
}

std::string EncodeUTF16ToUTF8(const unsigned short* units, size_t count)
{
    std::string out;
    if (!units) return out;
    out.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const unsigned short unit = units[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            const char32_t c = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                               (units[i + 1] - 0xDC00);
            AppendUTF8(out, c);
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUTF8(out, 0xFFFD);
        } else {
            AppendUTF8(out, unit);
        }
    }
    return out;
}
