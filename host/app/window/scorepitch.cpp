#include "host/app/window/scorepitch.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "host/engine/document.h"
#include "host/engine/pitch.h"
#include "tonaropdk/hostapi/clefdef.h"
#include "tonaropdk/hostapi/entrymetrics.h"
#include "tonaropdk/hostapi/measurespec.h"
#include "tonaropdk/hostapi/recordtags.h"
#include "tonaropdk/hostapi/staffspec.h"

namespace tonaroapp {

namespace {

int SignExtend(int value, int bits)
{
    const int sign = 1 << (bits - 1);
    value &= (1 << bits) - 1;
    return (value ^ sign) - sign;
}

int16_t WordAt(const std::vector<uint8_t>& bytes, size_t offset)
{
    if (bytes.size() < offset + 2) return 0;
    return static_cast<int16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

}  // namespace

StaffTransposition DecodeTransposition(int16_t word)
{
    StaffTransposition result;
    const int bits = static_cast<uint16_t>(word);
    if ((bits & ~static_cast<int>(TRANSPOSE_FLAG) & 0xFFFF) == 0) return result;
    result.transposes = true;
    if ((bits & TRANSPOSE_SECONDENCODING) == 0) {
        result.alteration = SignExtend(bits, 6);
        result.interval = SignExtend(bits >> 6, 6);
    } else {
        result.secondEncoding = true;
        const int low = bits & 0xFF;
        result.interval = (low & 0x80) != 0 ? SignExtend(low, 8) : low + 1;
        result.alteration = SignExtend(bits >> 8, 4);
    }
    return result;
}

int WrittenStepShift(const StaffTransposition& transposition)
{
    if (!transposition.transposes) return 0;
    if (!transposition.secondEncoding) return transposition.interval;
    if (transposition.interval > 0) return transposition.interval - 1;
    if (transposition.interval < 0) return transposition.interval + 1;
    return 0;
}

uint16_t TransposeKey(uint16_t keySig, int sharps)
{
    if (keySig > 0x01FF) return keySig;
    const int low = static_cast<int8_t>(keySig & 0xFF) + sharps;
    return static_cast<uint16_t>((keySig & 0x0100) | (low & 0xFF));
}

bool ShowsConcertPitch(const tonaroengine::Document* document)
{
    if (document == nullptr) return false;
    std::vector<uint8_t> bytes;
    const EDataAddress address{{65534, 0, 0, 0}};
    return document->LoadRecord(TAG_PARTSCOPEPREFS, address, &bytes) && bytes.size() >= 2 && WordAt(bytes, 0) == 0;
}

int ClefMiddleCPosition(const tonaroengine::Document* document, int16_t clef)
{
    if (document == nullptr || clef < 0) return -10;
    std::vector<uint8_t> bytes;
    const EDataAddress address{{static_cast<uint16_t>(clef), 0, 0, 0}};
    if (!document->LoadRecord(TAG_CLEFDEF, address, &bytes) || bytes.size() < sizeof(EDTClefDef)) return -10;
    return WordAt(bytes, offsetof(EDTClefDef, middleCPos));
}

StaffPlacement PlacementAt(const tonaroengine::Document* document, int16_t staff, int16_t measure,
                           int32_t position, bool concert)
{
    StaffPlacement placement;
    if (document == nullptr) return placement;
    const std::vector<uint8_t> spec = document->StaffSpecAt(staff, measure, position);
    if (spec.size() < sizeof(EDTStaffSpecHead)) return placement;
    placement.clef = WordAt(spec, offsetof(EDTStaffSpecHead, clef));
    placement.middleC = ClefMiddleCPosition(document, placement.clef);
    const int lines = WordAt(spec, offsetof(EDTStaffSpecHead, lines));
    placement.lines = lines >= 1 && lines <= 5 ? lines : 5;
    const auto style = static_cast<uint16_t>(WordAt(spec, offsetof(EDTStaffSpecHead, notationStyle)));
    placement.percussion = (style & STAFFSTYLE_PERCUSSION) != 0;
    placement.tablature = !placement.percussion && (style & STAFFSTYLE_TAB) != 0;
    if (!concert && !placement.percussion) {
        const StaffTransposition transposition =
            DecodeTransposition(WordAt(spec, offsetof(EDTStaffSpecHead, transposition)));
        placement.stepShift = WrittenStepShift(transposition);
        placement.keySharps = transposition.alteration;
    }
    return placement;
}

int NoteStaffPosition(const StaffPlacement& placement, uint16_t keySig, int16_t displacement)
{
    // AbsoluteStep counts middle C as 28.
    return placement.middleC + tonaroengine::AbsoluteStep(keySig, displacement) - 28 + placement.stepShift;
}

int ShownAlteration(const StaffPlacement& placement, uint16_t keySig, int16_t displacement, int16_t raiselower)
{
    if (placement.stepShift == 0 && placement.keySharps == 0)
        return tonaroengine::TotalAlteration(keySig, displacement, raiselower);
    // The raise/lower is kept against the key; the written key and line
    // give the written spelling.
    const int writtenStep = tonaroengine::AbsoluteStep(keySig, displacement) + placement.stepShift;
    return raiselower + tonaroengine::KeyAlteration(ShownKey(placement, keySig), ((writtenStep % 7) + 7) % 7);
}

std::array<int, EXENTRY_MAXNOTES> EntryAccidentals(const tonaroengine::Document* document, const EXENTRY& entry,
                                                  const StaffPlacement& placement, uint16_t keySig)
{
    std::array<int, EXENTRY_MAXNOTES> result;
    result.fill(kNoAccidental);
    if (document == nullptr || (entry.flags & EXENTRY_NOTE) == 0) return result;
    const int count = std::clamp<int>(entry.numNotes, 0, EXENTRY_MAXNOTES);
    EDTEntryMetrics metrics{};
    bool known = false;
    if (entry.entnum != 0) {
        std::vector<uint8_t> bytes;
        const EDataAddress address{{static_cast<uint16_t>(entry.entnum & 0xFFFF),
                                    static_cast<uint16_t>(entry.entnum >> 16), 0, 0}};
        if (document->LoadRecord(TAG_ENTRYMETRICS, address, &bytes) && bytes.size() >= sizeof metrics) {
            std::memcpy(&metrics, bytes.data(), sizeof metrics);
            known = true;
        }
    }
    for (int i = 0; i < count; ++i) {
        const EXNOTE& note = entry.notes[i];
        const bool shown = known ? metrics.notes[i].accidentalShown != 0 : (note.flags & EXNOTE_ACCIDENTAL) != 0;
        if (shown)
            result[static_cast<size_t>(i)] =
                std::clamp(ShownAlteration(placement, keySig, note.displacement, note.raiselower), -2, 2);
    }
    return result;
}

uint16_t ShownKey(const StaffPlacement& placement, uint16_t keySig)
{
    return TransposeKey(keySig, placement.keySharps);
}

bool MeasureTimeSignature(const tonaroengine::Document* document, int16_t measure, int* numerator,
                          int* denominator)
{
    if (document == nullptr || numerator == nullptr || denominator == nullptr) return false;
    std::vector<uint8_t> bytes;
    const EDataAddress address{{static_cast<uint16_t>(measure), 0, 0, 0}};
    if (!document->LoadRecord(TAG_MEASURESPEC, address, &bytes) || bytes.size() < sizeof(EDTMeasureSpec))
        return false;
    const int beats = WordAt(bytes, offsetof(EDTMeasureSpec, beats));
    const int beat = WordAt(bytes, offsetof(EDTMeasureSpec, beatDuration));
    if (beats <= 0 || beat <= 0) return false;
    // A plain beat of 4096 / d is d; a dotted one (3/2 of a plain value) is
    // three of the next smaller value.
    if (4096 % beat == 0) {
        *numerator = beats;
        *denominator = 4096 / beat;
    } else if ((beat * 2) % 3 == 0 && 4096 % (beat * 2 / 3) == 0 && 4096 / (beat * 2 / 3) <= 32) {
        *numerator = beats * 3;
        *denominator = 4096 / (beat * 2 / 3) * 2;
    } else {
        // Anything else is told in sixteenths, rounded.
        *numerator = std::max(1, (beats * beat + 128) / 256);
        *denominator = 16;
    }
    return true;
}

}  // namespace tonaroapp
