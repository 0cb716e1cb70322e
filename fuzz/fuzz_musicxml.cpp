// Fuzz target: bytes as a plain MusicXML file. The engine opens it; an
// opened score is saved and must open again with the same staves, measures
// and entries.
#include <cstddef>
#include <cstdint>

#include "fuzz/musicxmlroundtrip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tonarofuzz::RunMusicXmlRoundTrip(data, size, ".musicxml");
    return 0;
}
