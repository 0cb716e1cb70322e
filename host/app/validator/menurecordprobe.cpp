#include "host/app/validator/menurecordprobe.h"

#include <QString>

#include <algorithm>
#include <cstring>

namespace tonaroapp::validator {

namespace {

// Bytes after the record that the plug-in must never write.
constexpr size_t kGuardBytes = 64;
constexpr uint8_t kFillByte = 0xA5;

}  // namespace

bool EnumerateProbe::GuardIntact() const
{
    return std::all_of(buffer.begin() + static_cast<std::ptrdiff_t>(recordSize), buffer.end(),
                       [](uint8_t b) { return b == kFillByte; });
}

bool EnumerateProbe::RecordUntouched() const
{
    return std::all_of(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(recordSize),
                       [](uint8_t b) { return b == kFillByte; });
}

EnumerateProbe ProbeEnumerate(EnumerateFn enumerate, int16_t index, bool utf16)
{
    EnumerateProbe probe;
    probe.recordSize = utf16 ? kMenuRecord16Size : kMenuRecord8Size;
    probe.buffer.assign(probe.recordSize + kGuardBytes, kFillByte);
    probe.answer = enumerate(nullptr, index, probe.buffer.data());
    return probe;
}

MenuTexts ReadMenuRecord(const EnumerateProbe& probe, bool utf16)
{
    MenuTexts texts;
    const char* const names[3] = {"menu", "description", "short name"};
    std::string* const fields[3] = {&texts.menuText, &texts.description, &texts.shortName};
    const uint8_t* record = probe.buffer.data();
    for (int f = 0; f < 3; ++f) {
        if (utf16) {
            char16_t units[128];
            std::memcpy(units, record + static_cast<size_t>(f) * 256, sizeof units);
            const auto end = std::find(units, units + 128, u'\0');
            if (end == units + 128) {
                texts.problem = std::string("the ") + names[f] + " text has no 0 terminator within 128 units";
                return texts;
            }
            *fields[f] = QString::fromUtf16(units, end - units).toStdString();
        } else {
            const char* field = reinterpret_cast<const char*>(record) + f * 64;
            const size_t length = strnlen(field, 64);
            if (length == 64) {
                texts.problem = std::string("the ") + names[f] + " text has no NUL terminator within 64 bytes";
                return texts;
            }
            *fields[f] = std::string(field, length);
        }
    }
    int32_t reserved = 0;
    std::memcpy(&reserved, record + (utf16 ? 768 : 192), sizeof reserved);
    if (texts.menuText.empty()) {
        texts.problem = "the menu text is empty";
    } else if (reserved != 0) {
        texts.problem = "the 32-bit field after the texts is " + std::to_string(reserved) + ", not 0";
    }
    return texts;
}

}  // namespace tonaroapp::validator
