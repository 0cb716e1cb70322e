#include "tonaroframework/data/fcstaff.h"

#include <cstring>

#include "tonaroframework/base/frameworkversion.h"
#include "tonaropdk/hostapi/recordtags.h"

namespace {

// Signed value of the low `bits` bits of value.
int16_t SignExtend(uint32_t value, int bits)
{
    const uint32_t mask = (1u << bits) - 1u;
    const uint32_t field = value & mask;
    const uint32_t sign = 1u << (bits - 1);
    return static_cast<int16_t>(static_cast<int32_t>(field ^ sign) - static_cast<int32_t>(sign));
}

bool WordTransposes(int16_t word)
{
    return (static_cast<uint16_t>(word) & ~static_cast<uint16_t>(TRANSPOSE_FLAG)) != 0;
}

}  // namespace

FCStaff::FCStaff()
{
    std::memset(_spec2012, 0, sizeof _spec2012);
    std::memset(_spec2011, 0, sizeof _spec2011);
    std::memset(_spec2010, 0, sizeof _spec2010);
    _UseAllocatedBlock();
}

uint32_t FCStaff::_FXTVersionToUse() const
{
    const uint32_t running = GetTonaroFrameworkVersion();
    if (running > 0x11FFFFFFu) return FXT_VERSION_2012;
    if (running > 0x10FFFFFFu) return FXT_VERSION_2011;
    return FXT_VERSION_2010;
}

void* FCStaff::Allocate()
{
    switch (_FXTVersionToUse()) {
    case FXT_VERSION_2012:
        return _spec2012;
    case FXT_VERSION_2011:
        return _spec2011;
    default:
        return _spec2010;
    }
}

EDTAG FCStaff::Tag() const
{
    return TAG_STAFFSPEC;
}

uint32_t FCStaff::DataSizeLoad() const
{
    switch (_FXTVersionToUse()) {
    case FXT_VERSION_2012:
        return STAFFSPEC_SIZE_2012;
    case FXT_VERSION_2011:
        return STAFFSPEC_SIZE_2011;
    default:
        return STAFFSPEC_SIZE_2010;
    }
}

const EDTStaffSpecHead* FCStaff::_Head() const
{
    // Every layout starts with the same head. A record that is not loaded
    // (never, or the last load failed) reads as a plain staff, even when its
    // buffer still holds an earlier load.
    static const EDTStaffSpecHead kPlain{};
    if (GetLoadedSize() < sizeof(EDTStaffSpecHead) || !_GetDataBlock()) return &kPlain;
    return static_cast<const EDTStaffSpecHead*>(_GetDataBlock());
}

int16_t FCStaff::GetTranspositionWord() const
{
    return _Head()->transposition;
}

bool FCStaff::IsTransposed() const
{
    return WordTransposes(GetTranspositionWord());
}

bool FCStaff::IsSecondTranspositionEncoding() const
{
    const int16_t word = GetTranspositionWord();
    return WordTransposes(word) && (word & TRANSPOSE_SECONDENCODING) != 0;
}

int16_t FCStaff::DecodeTransposeInterval(int16_t word)
{
    if (!WordTransposes(word)) return 0;
    const auto bits = static_cast<uint16_t>(word);
    if (word & TRANSPOSE_SECONDENCODING) {
        const uint32_t byte = bits & 0xFFu;
        if (byte & 0x80u) return SignExtend(byte, 8);
        return static_cast<int16_t>(byte + 1);
    }
    return SignExtend(bits >> 6, 6);
}

int16_t FCStaff::DecodeTransposeAlteration(int16_t word)
{
    if (!WordTransposes(word)) return 0;
    const auto bits = static_cast<uint16_t>(word);
    if (word & TRANSPOSE_SECONDENCODING) return SignExtend(bits >> 8, 4);
    return SignExtend(bits, 6);
}

int16_t FCStaff::GetTransposeInterval() const
{
    return DecodeTransposeInterval(GetTranspositionWord());
}

int16_t FCStaff::GetTransposeAlteration() const
{
    return DecodeTransposeAlteration(GetTranspositionWord());
}

int FCStaff::GetNotationStyle() const
{
    const uint16_t style = _Head()->notationStyle;
    if (style & STAFFSTYLE_PERCUSSION) return 1;
    if (style & STAFFSTYLE_TAB) return 2;
    return 0;
}

bool FCStaff::HasIndependentKey() const
{
    return (_Head()->flags & STAFFFLAG_INDEPENDENTKEY) != 0;
}

bool FCStaff::HasCMajorMIDI() const
{
    return (_Head()->flags & STAFFFLAG_CMAJORMIDI) != 0;
}

int16_t FCStaff::GetDefaultClef() const
{
    return _Head()->clef;
}
