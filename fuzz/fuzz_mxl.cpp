// Fuzz target: bytes as a compressed MusicXML archive (.mxl). The engine
// opens it; an opened score is saved as an archive again (keeping the other
// members) and must open again with the same staves, measures and entries.
#include <cstddef>
#include <cstdint>

#include "fuzz/musicxmlroundtrip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tonarofuzz::RunMusicXmlRoundTrip(data, size, ".mxl");
    return 0;
}
