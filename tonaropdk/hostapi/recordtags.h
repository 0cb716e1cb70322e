// Tags of the host records that the engine keeps in structured form. Any
// other tag lives in the engine's generic record store.
#pragma once

#include "tonaropdk/hostapi/fxtypes.h"

constexpr EDTAG TAG_STAFFSPEC = 0x534F4953;          // 'SOIS' staff setup, address (staff)
constexpr EDTAG TAG_CURRENTSTAFFSPEC = 0x534F5343;   // 'SOSC' staff spec in force at (staff, measure, pos32)
constexpr EDTAG TAG_MEASURESPEC = 0x534F4D53;        // 'SOMS' measure, address (measure)
constexpr EDTAG TAG_STAFFSTYLE = 0x534F5353;         // 'SOSS' staff style
constexpr EDTAG TAG_CELLFRAMEHOLD = 0x53444746;      // 'SDGF'
constexpr EDTAG TAG_TEXTBLOCK = 0x534F5458;          // 'SOTX'
constexpr EDTAG TAG_SHAPEEXPRESSION = 0x6F74444F;    // 'otDO'
constexpr EDTAG TAG_STAFFSYSTEMDATA = 0x534F5344;    // 'SOSD'
constexpr EDTAG TAG_ARTICULATIONDEF = 0x4F044958;
constexpr EDTAG TAG_FRETINSTRUMENTDEF = 0x4F096649;
constexpr EDTAG TAG_GENERALPREFS = 0x70666770;       // 'pfgp' record 1
constexpr EDTAG TAG_PARTSCOPEPREFS = 0x6F745047;     // 'otPG' cmper 65534, inci 0
constexpr EDTAG TAG_INDEPENDENTCELL = 0x4402464C;    // independent key/time per cell
constexpr EDTAG TAG_ENTRYMETRICS = 0x454D4554;       // 'EMET' address (entnum32)
constexpr EDTAG TAG_CLEFDEF = 0x6F74434C;            // 'otCL' cmper = clef index, inci 0
constexpr EDTAG TAG_ARTICULATION = 0x65444141;       // 'eDAA' entry detail
constexpr EDTAG TAG_NOTEHEADMOD = 0x65444E48;        // 'eDNH' note-ID entry detail
constexpr EDTAG TAG_PERFORMANCEMOD = 0x65445046;     // 'eDPF' note-ID entry detail
constexpr EDTAG TAG_TUPLET = 0x65445455;             // 'eDTU' entry detail

// The "other" records: 12 bytes each, tag 'o' 't' followed by two characters.
constexpr EDTAG TAG_OTHER_HIGH = 0x6F740000;
constexpr uint16_t OTHER_PREFS_CMPER = 65534;
