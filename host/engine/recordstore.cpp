#include "host/engine/recordstore.h"

#include "tonaropdk/hostapi/recordtags.h"

namespace tonaroengine {

int AddressWordCount(EDTAG tag)
{
    const uint32_t high = tag >> 16;
    if (high == 0x6F74) return 2;  // 'ot'
    if (high == 0x7066) return 1;  // 'pf'
    if (tag == TAG_INDEPENDENTCELL) return 3;
    if ((tag >> 24) == 0x65) return 3;  // entry details 'e...'
    return 4;
}

RecordKey MakeRecordKey(EDTAG tag, const uint16_t* words)
{
    RecordKey key;
    key.tag = tag;
    const int used = AddressWordCount(tag);
    for (int i = 0; i < used; ++i) key.words[static_cast<size_t>(i)] = words[i];
    return key;
}

}  // namespace tonaroengine
