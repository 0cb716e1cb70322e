#include "tonaroframework/data/fckeysignature.h"

#include "tonaroframework/base/fcstring.h"

namespace {

// Letter index (from A) of the tonic, by number of sharps (entry s mod 7)
// or flats (entry 7 - f mod 7).
constexpr int kTonicMajor[8] = {2, 6, 3, 0, 4, 1, 5, 2};
constexpr int kTonicMinor[8] = {0, 4, 1, 5, 2, 6, 3, 0};

constexpr uint16_t kMinorHigh = 0x0100;
constexpr uint16_t kLastStandard = 0x01FF;

int SignedLowByte(uint16_t id)
{
    return static_cast<int8_t>(static_cast<uint8_t>(id & 0xFFu));
}

// The threshold at which a signature reaches a letter, from 1 to 7.
int Threshold(int value)
{
    const int t = value % 7;
    return t == 0 ? 7 : t;
}

}  // namespace

bool FCKeySignature::IsIdentical(const __FCBase* other) const
{
    const auto* key = dynamic_cast<const FCKeySignature*>(other);
    if (!key) return false;
    const uint16_t mine = GetIDWithTransposition();
    const uint16_t theirs = key->GetIDWithTransposition();
    return IsMinor() == key->IsMinor() && (mine < 0x0100) == (theirs < 0x0100) &&
           CalcScaleRootIndex() == key->CalcScaleRootIndex() && CalcFlats() == key->CalcFlats() &&
           CalcSharps() == key->CalcSharps();
}

void FCKeySignature::CloneMemoryFrom(const __FCBaseData* source)
{
    const auto* key = dynamic_cast<const FCKeySignature*>(source);
    if (!key || key == this) return;
    _keyID = key->_keyID;
    _transposition = key->_transposition;
    _SetLoadedSize(key->GetLoadedSize());
    _UseAllocatedBlock();
}

uint16_t FCKeySignature::GetIDWithTransposition() const
{
    if (_keyID > kLastStandard) return _keyID;
    const uint16_t low = static_cast<uint16_t>((SignedLowByte(_keyID) + _transposition) & 0xFF);
    return static_cast<uint16_t>((_keyID & kMinorHigh) | low);
}

bool FCKeySignature::IsMinor() const
{
    const uint16_t id = GetIDWithTransposition();
    return id >= kMinorHigh && id <= kLastStandard;
}

bool FCKeySignature::IsMajor() const
{
    return GetIDWithTransposition() < kMinorHigh;
}

int FCKeySignature::CalcSharps() const
{
    const uint16_t id = GetIDWithTransposition();
    if (id > kLastStandard) return -1;
    const int low = SignedLowByte(id);
    return low > 0 ? low : 0;
}

int FCKeySignature::CalcFlats() const
{
    const uint16_t id = GetIDWithTransposition();
    if (id > kLastStandard) return -1;
    const int low = SignedLowByte(id);
    return low < 0 ? -low : 0;
}

int FCKeySignature::CalcScaleRootIndex() const
{
    const uint16_t id = GetIDWithTransposition();
    if (id > kLastStandard) return -1;
    const int* table = (id & kMinorHigh) ? kTonicMinor : kTonicMajor;
    const int low = SignedLowByte(id);  // sharps (positive) or flats (negative)
    if (low < 0) {
        const int f = -low % 7;
        return table[f == 0 ? 7 : 7 - f];
    }
    return table[low % 7];
}

int FCKeySignature::CalcRootRelationIndex() const
{
    if (GetIDWithTransposition() > kLastStandard) return -1;
    const int sharps = CalcSharps();
    if (sharps >= 1) return (4 * sharps) % 7;
    const int flats = CalcFlats();
    if (flats >= 1) return (7 - (4 * flats) % 7) % 7;
    return 0;
}

int FCKeySignature::CalcRootRelationAbsoluteIndex() const
{
    int index = CalcRootRelationIndex();
    if (index < 0) return -1;
    if (IsMinor()) {
        index -= 2;
        if (index < 0) index += 7;
    }
    return index;
}

bool FCKeySignature::IsSharpNote(int letterIndex) const
{
    if (letterIndex < 0 || letterIndex > 6) return false;
    const int sharps = CalcSharps();
    if (sharps <= 0) return false;
    return sharps >= Threshold(2 * letterIndex + 5);
}

bool FCKeySignature::IsFlatNote(int letterIndex) const
{
    if (letterIndex < 0 || letterIndex > 6) return false;
    const int flats = CalcFlats();
    if (flats <= 0) return false;
    return flats >= Threshold(2 * (6 - letterIndex) + 5);
}

void FCKeySignature::MakeString(FCString* text) const
{
    if (!text) return;
    text->Clear();
    const int root = CalcScaleRootIndex();
    if (root < 0) return;
    const bool minor = IsMinor();
    const char letter = static_cast<char>((minor ? 'a' : 'A') + root);
    const char name[2] = {letter, 0};
    text->AppendCString(name);
    if (IsSharpNote(root))
        text->AppendCString(" sharp");
    else if (IsFlatNote(root))
        text->AppendCString(" flat");
    text->AppendCString(minor ? " minor" : " major");
}
