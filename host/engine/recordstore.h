// The engine's generic store of typed records: byte blocks keyed by tag and
// address words, kept in address order so that records of one tag can be
// walked forwards and backwards.
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "tonaropdk/hostapi/fxtypes.h"

namespace tonaroengine {

struct RecordKey {
    EDTAG tag = 0;
    std::array<uint16_t, 4> words{};
    auto operator<=>(const RecordKey&) const = default;
};

// How many address words name a record of this tag; the others are ignored
// ("other" records: cmper, inci; preferences: cmper; entry and cell details:
// three words; anything else: all four).
int AddressWordCount(EDTAG tag);

// The key of a record at an address block (unused words zero).
RecordKey MakeRecordKey(EDTAG tag, const uint16_t* words);

using RecordBytes = std::vector<uint8_t>;
using RecordMap = std::map<RecordKey, RecordBytes>;

}  // namespace tonaroengine
