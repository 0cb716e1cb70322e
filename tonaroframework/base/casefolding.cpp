#include "tonaroframework/base/casefolding.h"

#include <algorithm>

#include "tonaroframework/base/fcstring.h"

void AppendCaseFolding(char32_t character, std::u32string& out)
{
    const CaseFoldingEntry* end = kCaseFoldingTable + kCaseFoldingTableSize;
    const CaseFoldingEntry* found = std::lower_bound(
        kCaseFoldingTable, end, character, [](const CaseFoldingEntry& entry, char32_t c) { return entry.from < c; });
    if (found == end || found->from != character) {
        out += character;
        return;
    }
    for (char32_t folded : found->to) {
        if (folded != 0) out += folded;
    }
}

std::u32string CaseFoldUTF16(const unsigned short* units, size_t count)
{
    std::u32string folded;
    folded.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        char32_t character = units[i];
        const bool high = character >= 0xD800 && character <= 0xDBFF;
        if (high && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            character = 0x10000 + ((character - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        AppendCaseFolding(character, folded);
    }
    return folded;
}

bool IsEqualStringNoCase(const FCString* a, const FCString* b)
{
    if (a == nullptr || b == nullptr) return false;
    return CaseFoldUTF16(a->_GetUnicodeBuffer(), a->GetLength()) ==
           CaseFoldUTF16(b->_GetUnicodeBuffer(), b->GetLength());
}
