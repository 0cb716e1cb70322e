// Full Unicode case folding, for comparing texts without regard to case.
//
// Folding maps each character to a caseless form: "A" and "a" both fold to
// "a", "Ω" and "ω" to "ω", "ß" and "SS" both to "ss", "ﬃ" to "ffi". Two texts
// are equal without regard to case when their foldings are equal. Characters
// without case (digits, CJK ideographs, ...) fold to themselves, so they are
// compared whole. The folding is the default one of the Unicode Character
// Database (CaseFolding.txt, statuses C and F; no Turkic special case, no
// normalisation of composed and decomposed accents). The table is made at
// build time from the file that the Debian package unicode-data installs.
#pragma once

#include <cstddef>
#include <string>

class FCString;

// One folding: from folds to the one to three characters of to (unused
// places are 0).
struct CaseFoldingEntry {
    char32_t from;
    char32_t to[3];
};

// Every character that folds to something other than itself, sorted by from.
extern const CaseFoldingEntry kCaseFoldingTable[];
extern const size_t kCaseFoldingTableSize;

// Appends the folding of character to out.
void AppendCaseFolding(char32_t character, std::u32string& out);

// The folding of count UTF-16 units (units may be null only when count is
// 0): a surrogate pair is one character; a lone surrogate is kept as it is.
std::u32string CaseFoldUTF16(const unsigned short* units, size_t count);

// false when either is null; true when both texts are equal character by
// character without regard to case (their foldings are equal): "Ωmega"
// equals "ωMEGA" and "Straße" equals "STRASSE", while "一号" and "一二"
// differ. Both are only read.
bool IsEqualStringNoCase(const FCString* a, const FCString* b);
