// The maps of the emulated preference structures and preference runs.
//
// Each structure's table places every field of the structure, in table order,
// in one word (two for a 4-byte field) of an other record. Row layout:
//   {done, tag characters 3 and 4, cmper (0 = 65534), inci, offset, word, size, kind}
// Within a table no two fields share a word, and the fields cover the
// structure from offset 0 to its size without gaps or overlaps.
#include "tonaropdk/bridge/prefemulation.h"

#include "tonaropdk/hostapi/recordtags.h"

namespace {

// EDTDistancePrefs ('pfDP'): 36 fields, 76 bytes.
constexpr PREFERENCE_LOCATION_MAPRECORD kDistancePrefsMap[] = {
    {0, '2', '1', 0, 0, 0, 3, 2, 0},
    {0, '2', '1', 0, 0, 2, 5, 2, 0},
    {0, '5', '9', 0, 0, 4, 3, 2, 0},
    {0, '1', '3', 0, 0, 6, 0, 2, 0},
    {0, '1', '4', 0, 0, 8, 0, 2, 0},
    {0, '1', '8', 0, 0, 10, 0, 2, 0},
    {0, '1', '9', 0, 0, 12, 0, 2, 0},
    {0, '2', '0', 0, 0, 14, 0, 2, 0},
    {0, '2', '2', 0, 0, 16, 0, 2, 0},
    {0, '6', '8', 0, 0, 18, 4, 4, 1},
    {0, '2', '7', 0, 0, 22, 0, 2, 0},
    {0, '3', '9', 0, 0, 24, 0, 2, 0},
    {0, '6', '7', 0, 0, 26, 0, 2, 0},
    {0, '0', '1', 0, 0, 28, 3, 2, 0},
    {0, '1', '3', 0, 0, 30, 4, 2, 0},
    {0, '1', '4', 0, 0, 32, 4, 2, 0},
    {0, '1', '8', 0, 0, 34, 1, 2, 0},
    {0, '1', '9', 0, 0, 36, 1, 2, 0},
    {0, '2', '0', 0, 0, 38, 4, 2, 0},
    {0, '2', '1', 0, 0, 40, 1, 2, 0},
    {0, '2', '2', 0, 0, 42, 1, 2, 0},
    {0, '2', '7', 0, 0, 44, 4, 2, 0},
    {0, '3', '9', 0, 0, 46, 3, 2, 0},
    {0, '5', '9', 0, 0, 48, 1, 2, 0},
    {0, '6', '5', 0, 0, 50, 4, 2, 0},
    {0, '6', '7', 0, 0, 52, 2, 2, 0},
    {0, '6', '5', 0, 0, 54, 0, 4, 1},
    {0, '6', '8', 0, 0, 58, 1, 2, 0},
    {0, '7', '7', 0, 4, 60, 2, 2, 0},
    {0, '0', '1', 0, 0, 62, 4, 2, 0},
    {0, '1', '3', 0, 0, 64, 5, 2, 0},
    {0, '1', '4', 0, 0, 66, 5, 2, 0},
    {0, '1', '8', 0, 0, 68, 2, 2, 0},
    {0, '1', '9', 0, 0, 70, 2, 2, 0},
    {0, '0', '1', 0, 0, 74, 5, 2, 0},
    {0, '7', '7', 0, 4, 72, 0, 2, 0},
};
// EDTExtractPrefs ('pfEX'): 25 fields, 50 bytes.
constexpr PREFERENCE_LOCATION_MAPRECORD kExtractPrefsMap[] = {
    {0, '7', '7', 0, 4, 0, 1, 2, 0},
    {0, '7', '7', 0, 5, 2, 0, 2, 0},
    {0, '7', '7', 0, 6, 4, 0, 2, 0},
    {0, '7', '7', 0, 7, 6, 0, 2, 0},
    {0, '7', '7', 0, 8, 8, 0, 2, 0},
    {0, '7', '7', 0, 4, 10, 3, 2, 0},
    {0, '7', '7', 0, 5, 12, 1, 2, 0},
    {0, '7', '7', 0, 6, 14, 1, 2, 0},
    {0, '7', '7', 0, 7, 16, 1, 2, 0},
    {0, '7', '7', 0, 8, 18, 1, 2, 0},
    {0, '7', '7', 0, 4, 20, 4, 2, 0},
    {0, '7', '7', 0, 5, 22, 2, 2, 0},
    {0, '7', '7', 0, 6, 24, 2, 2, 0},
    {0, '7', '7', 0, 7, 26, 2, 2, 0},
    {0, '7', '7', 0, 8, 28, 2, 2, 0},
    {0, '7', '7', 0, 4, 30, 5, 2, 0},
    {0, '7', '7', 0, 5, 32, 3, 2, 0},
    {0, '7', '7', 0, 6, 34, 3, 2, 0},
    {0, '7', '7', 0, 7, 36, 3, 2, 0},
    {0, '7', '7', 0, 8, 38, 3, 2, 0},
    {0, '7', '7', 0, 5, 40, 4, 2, 0},
    {0, '7', '7', 0, 6, 42, 4, 2, 0},
    {0, '7', '7', 0, 7, 44, 4, 2, 0},
    {0, '7', '7', 0, 8, 46, 4, 2, 0},
    {0, '7', '7', 0, 5, 48, 5, 2, 0},
};
// EDTMiscDocPrefs ('pfMS'): 49 fields, 104 bytes.
constexpr PREFERENCE_LOCATION_MAPRECORD kMiscDocPrefsMap[] = {
    {0, '0', '1', 0, 0, 0, 0, 2, 0},
    {0, '0', '3', 0, 0, 2, 0, 2, 0},
    {0, '0', '5', 0, 0, 4, 0, 2, 0},
    {0, '0', '9', 0, 0, 6, 0, 2, 0},
    {0, '1', '2', 0, 0, 8, 0, 2, 0},
    {0, '1', '3', 0, 0, 10, 1, 2, 0},
    {0, '3', '6', 0, 0, 12, 1, 2, 3},
    {0, '1', '5', 0, 0, 14, 0, 2, 0},
    {0, '1', '6', 0, 0, 16, 0, 2, 0},
    {0, '1', '7', 0, 0, 18, 0, 2, 0},
    {0, '2', '0', 0, 0, 20, 1, 4, 2},
    {0, '2', '3', 0, 0, 24, 0, 2, 0},
    {0, '2', '7', 0, 0, 26, 1, 2, 0},
    {0, '3', '1', 0, 0, 28, 0, 2, 0},
    {0, '4', '1', 0, 0, 30, 0, 2, 0},
    {0, '4', '1', 0, 1, 32, 0, 2, 0},
    {0, '4', '1', 0, 2, 34, 0, 2, 0},
    {0, '4', '4', 0, 0, 36, 0, 2, 0},
    {0, '6', '2', 0, 0, 38, 0, 2, 0},
    {0, '7', '6', 0, 0, 40, 0, 2, 0},
    {0, '9', '3', 0, 0, 42, 0, 2, 0},
    {0, 'F', 'I', 10, 0, 44, 0, 2, 0},
    {0, '0', '3', 0, 0, 46, 3, 2, 0},
    {0, '0', '5', 0, 0, 48, 2, 2, 0},
    {0, '0', '9', 0, 0, 50, 1, 2, 0},
    {0, '1', '9', 0, 0, 52, 4, 2, 4},
    {0, '1', '9', 0, 0, 54, 5, 2, 4},
    {0, '1', '2', 0, 0, 56, 1, 2, 0},
    {0, '1', '5', 0, 0, 58, 2, 2, 0},
    {0, '1', '6', 0, 0, 60, 2, 4, 1},
    {0, '1', '7', 0, 0, 64, 2, 2, 0},
    {0, '1', '9', 0, 0, 66, 3, 2, 0},
    {0, '2', '0', 0, 0, 68, 5, 2, 0},
    {0, '2', '3', 0, 0, 70, 2, 2, 0},
    {0, '2', '7', 0, 0, 72, 5, 2, 0},
    {0, '3', '1', 0, 0, 74, 1, 2, 0},
    {0, '3', '6', 0, 0, 76, 2, 2, 0},
    {0, '4', '1', 0, 0, 78, 1, 2, 0},
    {0, '4', '1', 0, 1, 80, 1, 2, 0},
    {0, '4', '1', 0, 2, 82, 1, 2, 0},
    {0, '4', '4', 0, 0, 84, 1, 4, 2},
    {0, '6', '2', 0, 0, 88, 2, 2, 0},
    {0, '7', '6', 0, 0, 90, 2, 2, 0},
    {0, '9', '3', 0, 0, 92, 2, 2, 0},
    {0, 'F', 'I', 10, 0, 94, 1, 2, 0},
    {0, '0', '3', 0, 0, 96, 4, 2, 0},
    {0, '0', '5', 0, 0, 98, 3, 2, 0},
    {0, '0', '9', 0, 0, 100, 2, 2, 0},
    {0, '1', '2', 0, 0, 102, 2, 2, 0},
};
// EDTPianoBracePrefs ('pfPB'): 11 fields, 44 bytes.
constexpr PREFERENCE_LOCATION_MAPRECORD kPianoBracePrefsMap[] = {
    {0, '4', '5', 0, 0, 0, 0, 4, 1},
    {0, '6', '0', 0, 0, 4, 0, 4, 1},
    {0, '6', '1', 0, 0, 8, 0, 4, 1},
    {0, '6', '4', 0, 0, 12, 0, 4, 1},
    {0, '6', '5', 0, 0, 16, 2, 4, 1},
    {0, '4', '5', 0, 0, 20, 2, 4, 1},
    {0, '6', '0', 0, 0, 24, 2, 4, 1},
    {0, '6', '1', 0, 0, 28, 2, 4, 1},
    {0, '6', '4', 0, 0, 32, 3, 4, 1},
    {0, '4', '5', 0, 0, 36, 4, 4, 1},
    {0, '6', '0', 0, 0, 40, 4, 4, 1},
};
// EDTPageFormatPrefsScore ('pfPF'): 22 fields, 48 bytes.
constexpr PREFERENCE_LOCATION_MAPRECORD kPageFormatPrefsScoreMap[] = {
    {0, '0', '1', 0, 0, 0, 1, 2, 0},
    {0, '0', '2', 0, 0, 2, 0, 2, 0},
    {0, '0', '3', 0, 0, 4, 1, 2, 0},
    {0, '1', '3', 0, 0, 6, 2, 2, 0},
    {0, '1', '4', 0, 0, 8, 1, 4, 1},
    {0, '1', '5', 0, 0, 12, 1, 2, 0},
    {0, '1', '6', 0, 0, 14, 1, 2, 0},
    {0, '1', '7', 0, 0, 16, 1, 2, 0},
    {0, '3', '9', 0, 0, 18, 1, 2, 0},
    {0, '0', '2', 0, 0, 20, 1, 2, 0},
    {0, '0', '3', 0, 0, 22, 5, 2, 0},
    {0, '1', '5', 0, 0, 24, 3, 2, 0},
    {0, '1', '6', 0, 0, 26, 4, 2, 0},
    {0, '1', '7', 0, 0, 28, 3, 4, 2},
    {0, '3', '9', 0, 0, 32, 4, 2, 0},
    {0, '0', '2', 0, 0, 34, 2, 2, 0},
    {0, '1', '5', 0, 0, 36, 4, 2, 0},
    {0, '1', '6', 0, 0, 38, 5, 2, 0},
    {0, '1', '7', 0, 0, 40, 5, 2, 0},
    {0, '3', '9', 0, 0, 42, 5, 2, 0},
    {0, '0', '2', 0, 0, 44, 3, 2, 0},
    {0, '1', '5', 0, 0, 46, 5, 2, 0},
};
// EDTPlaybackPrefs ('pfPL'): 7 fields, 14 bytes.
constexpr PREFERENCE_LOCATION_MAPRECORD kPlaybackPrefsMap[] = {
    {0, '1', '3', 0, 0, 0, 3, 2, 0},
    {0, '3', '6', 0, 0, 2, 0, 2, 0},
    {0, '3', '7', 0, 0, 4, 0, 2, 0},
    {0, '3', '9', 0, 0, 6, 2, 2, 0},
    {0, '3', '6', 0, 0, 8, 3, 2, 0},
    {0, '3', '7', 0, 0, 10, 1, 2, 0},
    {0, '3', '6', 0, 0, 12, 4, 2, 0},
};
// EDTRepeatPrefs ('pfRP'): 20 fields, 40 bytes.
constexpr PREFERENCE_LOCATION_MAPRECORD kRepeatPrefsMap[] = {
    {0, '0', '5', 0, 0, 0, 1, 2, 0},
    {0, '7', '0', 0, 0, 2, 0, 2, 0},
    {0, '7', '1', 0, 0, 4, 0, 2, 0},
    {0, '7', '2', 0, 0, 6, 0, 2, 0},
    {0, '7', '6', 0, 0, 8, 1, 2, 0},
    {0, '0', '5', 0, 0, 10, 4, 2, 0},
    {0, '7', '0', 0, 0, 12, 1, 2, 0},
    {0, '7', '1', 0, 0, 14, 1, 2, 0},
    {0, '7', '2', 0, 0, 16, 1, 2, 0},
    {0, '7', '6', 0, 0, 18, 3, 2, 0},
    {0, '0', '5', 0, 0, 20, 5, 2, 0},
    {0, '7', '0', 0, 0, 22, 2, 2, 0},
    {0, '7', '1', 0, 0, 24, 2, 2, 0},
    {0, '7', '2', 0, 0, 26, 2, 2, 0},
    {0, '7', '6', 0, 0, 28, 4, 2, 0},
    {0, '7', '0', 0, 0, 30, 3, 2, 0},
    {0, '7', '1', 0, 0, 32, 3, 2, 0},
    {0, '7', '2', 0, 0, 34, 3, 2, 0},
    {0, '7', '6', 0, 0, 36, 5, 2, 0},
    {0, '7', '0', 0, 0, 38, 4, 2, 0},
};
// EDTSizePrefs ('pfSI'): 23 fields, 54 bytes.
constexpr PREFERENCE_LOCATION_MAPRECORD kSizePrefsMap[] = {
    {0, '0', '1', 0, 0, 0, 2, 2, 0},
    {0, '0', '3', 0, 0, 2, 2, 2, 0},
    {0, '1', '4', 0, 0, 4, 3, 2, 0},
    {0, '2', '0', 0, 0, 6, 3, 2, 0},
    {0, '2', '1', 0, 0, 8, 0, 2, 0},
    {0, '2', '3', 0, 0, 10, 1, 2, 0},
    {0, '2', '7', 0, 0, 12, 2, 4, 1},
    {0, '5', '8', 0, 0, 16, 0, 4, 2},
    {0, '5', '9', 0, 0, 20, 0, 2, 0},
    {0, '6', '2', 0, 0, 22, 1, 2, 0},
    {0, '6', '4', 0, 0, 24, 2, 2, 0},
    {0, '6', '7', 0, 0, 26, 1, 2, 0},
    {0, '6', '8', 0, 0, 28, 0, 2, 0},
    {0, '6', '9', 0, 0, 30, 0, 2, 0},
    {0, '9', '7', 0, 0, 32, 0, 2, 0},
    {0, '2', '1', 0, 0, 34, 2, 2, 0},
    {0, '2', '3', 0, 0, 36, 3, 4, 1},
    {0, '5', '8', 0, 0, 40, 2, 4, 2},
    {0, '5', '9', 0, 0, 44, 2, 2, 0},
    {0, '6', '2', 0, 0, 46, 3, 2, 0},
    {0, '6', '4', 0, 0, 48, 5, 2, 0},
    {0, '6', '7', 0, 0, 50, 3, 2, 0},
    {0, '6', '8', 0, 0, 52, 2, 2, 0},
};
// EDTSmartShapePrefs ('pfSS'): 43 fields, 96 bytes.
constexpr PREFERENCE_LOCATION_MAPRECORD kSmartShapePrefsMap[] = {
    {0, '5', '0', 0, 0, 0, 0, 2, 0},
    {0, '5', '1', 0, 0, 2, 0, 2, 0},
    {0, '5', '3', 0, 0, 4, 0, 2, 0},
    {0, '5', '3', 0, 1, 6, 0, 2, 0},
    {0, '9', '2', 0, 0, 8, 0, 2, 0},
    {0, '9', '3', 0, 0, 10, 1, 2, 0},
    {0, '9', '7', 0, 1, 12, 0, 2, 0},
    {0, 'F', 'I', 11, 0, 14, 0, 2, 0},
    {0, 'F', 'I', 12, 0, 16, 0, 2, 0},
    {0, '1', '1', 0, 0, 18, 0, 2, 0},
    {0, '1', '2', 0, 0, 20, 3, 4, 2},
    {0, '5', '0', 0, 0, 24, 1, 4, 1},
    {0, '5', '1', 0, 0, 28, 1, 2, 0},
    {0, '1', '2', 0, 0, 30, 5, 2, 4},
    {0, '1', '1', 0, 0, 32, 5, 2, 4},
    {0, '6', '9', 0, 0, 34, 4, 2, 4},
    {0, '6', '9', 0, 0, 36, 5, 2, 4},
    {0, '6', '9', 0, 0, 38, 2, 2, 4},
    {0, '6', '9', 0, 0, 40, 3, 2, 4},
    {0, '5', '3', 0, 0, 42, 1, 2, 0},
    {0, '5', '3', 0, 1, 44, 1, 2, 0},
    {0, '6', '9', 0, 0, 46, 1, 2, 0},
    {0, '9', '2', 0, 0, 48, 1, 2, 0},
    {0, '9', '3', 0, 0, 50, 3, 2, 0},
    {0, '9', '7', 0, 1, 52, 1, 2, 0},
    {0, 'F', 'I', 11, 0, 54, 1, 2, 0},
    {0, 'F', 'I', 12, 0, 56, 1, 4, 2},
    {0, '1', '1', 0, 0, 60, 1, 4, 1},
    {0, '5', '0', 0, 0, 64, 3, 4, 2},
    {0, '5', '1', 0, 0, 68, 2, 2, 0},
    {0, '5', '3', 0, 0, 70, 2, 2, 0},
    {0, '5', '3', 0, 1, 72, 2, 2, 0},
    {0, '9', '2', 0, 0, 74, 2, 2, 0},
    {0, '9', '3', 0, 0, 76, 4, 2, 0},
    {0, '9', '7', 0, 1, 78, 2, 2, 0},
    {0, 'F', 'I', 11, 0, 80, 2, 2, 0},
    {0, 'F', 'I', 12, 0, 82, 3, 2, 0},
    {0, '1', '1', 0, 0, 84, 3, 2, 0},
    {0, '5', '0', 0, 0, 86, 5, 2, 0},
    {0, '5', '1', 0, 0, 88, 3, 2, 0},
    {0, '5', '3', 0, 0, 90, 3, 2, 0},
    {0, '5', '3', 0, 1, 92, 3, 2, 0},
    {0, '9', '2', 0, 0, 94, 3, 2, 0},
};

constexpr EDTAG kTagDistancePrefs = 0x70664450;      // 'pfDP'
constexpr EDTAG kTagExtractPrefs = 0x70664558;       // 'pfEX'
constexpr EDTAG kTagMiscDocPrefs = 0x70664D53;       // 'pfMS'
constexpr EDTAG kTagPianoBracePrefs = 0x70665042;    // 'pfPB'
constexpr EDTAG kTagPageFormatPrefs = 0x70665046;    // 'pfPF'
constexpr EDTAG kTagPlaybackPrefs = 0x7066504C;      // 'pfPL'
constexpr EDTAG kTagRepeatPrefs = 0x70665250;        // 'pfRP'
constexpr EDTAG kTagSizePrefs = 0x70665349;          // 'pfSI'
constexpr EDTAG kTagSmartShapePrefs = 0x70665353;    // 'pfSS'

// A run of other records standing for one preference record. Applies to a
// cmper in [minCmper, maxCmper]; the first inci is cmper - 1 when
// inciFromCmper is set, else 0.
struct PrefRunRule {
    EDTAG tag;
    bool anyCmper;
    int16_t minCmper;
    int16_t maxCmper;
    EDTAG otherTag;
    int32_t count;
    bool inciFromCmper;
};

constexpr PrefRunRule kPrefRunRules[] = {
    {0x70664744, true, 0, 0, 0x6F743739, 1, false},     // 'pfGD' -> ot79
    {0x70664747, true, 0, 0, 0x6F743838, 11, false},    // 'pfGG' -> ot88
    {0x70664762, false, 1, 4, 0x6F743938, 1, true},     // 'pfGb' -> ot98
    {0x70664764, true, 0, 0, 0x6F743830, 1, false},     // 'pfGd' -> ot80
    {0x70664773, false, 1, 1, 0x6F743931, 1, false},    // 'pfGs' -> ot91
    {0x70664D4D, true, 0, 0, 0x6F743235, 2, false},     // 'pfMM' -> ot25
    {0x70664E44, true, 0, 0, 0x6F743034, 1, false},     // 'pfND' -> ot04
    {0x70664E64, true, 0, 0, 0x6F743636, 1, false},     // 'pfNd' -> ot66
    {0x70665046, false, 1, 1, 0x6F743737, 4, false},    // 'pfPF' -> ot77
    {0x70665343, true, 0, 0, 0x6F743532, 2, false},     // 'pfSC' -> ot52
    {0x7066534E, false, 1, 128, 0x6F743430, 1, true},   // 'pfSN' -> ot40
    {0x70665350, true, 0, 0, 0x6F743934, 3, false},     // 'pfSP' -> ot94
    {0x7066536C, false, 1, 15, 0x6F743236, 1, true},    // 'pfSl' -> ot26
    {0x70665443, true, 0, 0, 0x6F743836, 5, false},     // 'pfTC' -> ot86
    {0x70665449, true, 0, 0, 0x6F743834, 4, false},     // 'pfTI' -> ot84
    {0x70665458, true, 0, 0, 0x6F743738, 8, false},     // 'pfTX' -> ot78
    {0x70665470, true, 0, 0, 0x6F743835, 4, false},     // 'pfTp' -> ot85
    {0x70665473, false, 1, 9, 0x6F743930, 1, true},     // 'pfTs' -> ot90
};

// The loaders test IsPreferenceTag before they look in the maps.
constexpr bool RunTagsArePreferenceTags()
{
    for (const PrefRunRule& rule : kPrefRunRules)
        if (!IsPreferenceTag(rule.tag)) return false;
    return true;
}
static_assert(RunTagsArePreferenceTags());
static_assert(IsPreferenceTag(kTagDistancePrefs) && IsPreferenceTag(kTagExtractPrefs) &&
              IsPreferenceTag(kTagMiscDocPrefs) && IsPreferenceTag(kTagPianoBracePrefs) &&
              IsPreferenceTag(kTagPageFormatPrefs) && IsPreferenceTag(kTagPlaybackPrefs) &&
              IsPreferenceTag(kTagRepeatPrefs) && IsPreferenceTag(kTagSizePrefs) &&
              IsPreferenceTag(kTagSmartShapePrefs));

}  // namespace

EDTAG PrefMapOtherTag(const PREFERENCE_LOCATION_MAPRECORD& record)
{
    return TAG_OTHER_HIGH | (static_cast<EDTAG>(record.otherChar1) << 8) | record.otherChar2;
}

uint16_t PrefMapOtherCmper(const PREFERENCE_LOCATION_MAPRECORD& record)
{
    return record.cmper == 0 ? OTHER_PREFS_CMPER : record.cmper;
}

std::span<const PREFERENCE_LOCATION_MAPRECORD> mapPrefStruct(EDTAG tag, int16_t cmper)
{
    switch (tag) {
    case kTagDistancePrefs: return kDistancePrefsMap;
    case kTagExtractPrefs: return kExtractPrefsMap;
    case kTagMiscDocPrefs: return kMiscDocPrefsMap;
    case kTagPianoBracePrefs: return kPianoBracePrefsMap;
    case kTagPageFormatPrefs:
        // Only the score's page format (cmper 0) is a structure; the parts'
        // page format (cmper 1) is a run of records.
        if (cmper == 0) return kPageFormatPrefsScoreMap;
        return {};
    case kTagPlaybackPrefs: return kPlaybackPrefsMap;
    case kTagRepeatPrefs: return kRepeatPrefsMap;
    case kTagSizePrefs: return kSizePrefsMap;
    case kTagSmartShapePrefs: return kSmartShapePrefsMap;
    default: return {};
    }
}

uint32_t PrefStructSize(std::span<const PREFERENCE_LOCATION_MAPRECORD> map)
{
    uint32_t size = 0;
    for (const PREFERENCE_LOCATION_MAPRECORD& record : map) size += record.size;
    return size;
}

bool mapPrefTag(EDTAG tag, int16_t cmper, PrefTagRun* run)
{
    if (run == nullptr) return false;
    for (const PrefRunRule& rule : kPrefRunRules) {
        if (rule.tag != tag) continue;
        if (!rule.anyCmper && (cmper < rule.minCmper || cmper > rule.maxCmper)) return false;
        run->otherTag = rule.otherTag;
        run->count = rule.count;
        run->firstInci = rule.inciFromCmper ? static_cast<uint16_t>(cmper - 1) : 0;
        return true;
    }
    return false;
}
