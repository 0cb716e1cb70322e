// A key signature: the host's 16-bit key ID plus a transposition that the
// pitch routines apply for the length of one call.
//
// Key IDs:
//   0x0000-0x00FF  major; the low byte, read as a signed 8-bit number, is the
//                  number of sharps (positive) or flats (negative):
//                  0x0000 C, 0x0001 G, 0x00FF F, 0x00FD E flat major;
//   0x0100-0x01FF  minor, the low byte as above: 0x0100 A, 0x01FF D minor;
//   0x0200-0x3FFF  neither major nor minor; 0x4000 and up: non-standard.
// For IDs above 0x01FF the calculations answer -1 and transposition leaves
// the ID unchanged.
//
// Letter numberings: a letter index counts from A (A 0 ... G 6); a step
// index counts from C (C 0 ... B 6).
//
// A key signature is never loaded by itself (Tag() is 0): it is read out of
// a measure, a cell detail or a staff. It stores nothing in the host; Save,
// DeleteData, Reload and the walk answer false.
#pragma once

#include <cstdint>

#include "tonaroframework/data/fcbasedata.h"

class FCString;

class FCKeySignature : public __FCBaseData {
public:
    FCKeySignature() = default;
    explicit FCKeySignature(uint16_t keyID) : _keyID(keyID) {}

    const char* ClassName() const override { return "FCKeySignature"; }
    // false for null or anything but a key signature; otherwise true when
    // both keys agree on being minor, on lying below 0x0100, and on tonic,
    // flats and sharps (all with transposition applied).
    bool IsIdentical(const __FCBase* other) const override;

    void* Allocate() override { return &_keyID; }
    __FCBaseData* CreateObject() const override { return new FCKeySignature(); }
    EDTAG Tag() const override { return 0; }
    uint32_t DataSizeLoad() const override { return 2; }
    // Copies key ID and transposition.
    void CloneMemoryFrom(const __FCBaseData* source) override;
    bool Save() override { return false; }
    bool Reload() override { return false; }
    bool DeleteData() override { return false; }
    bool LoadFirst() override { return false; }
    bool LoadNext() override { return false; }

    uint16_t GetID() const { return _keyID; }
    void SetID(uint16_t keyID) { _keyID = keyID; }
    // Sharps added to the key (negative: flats); 0 at construction.
    int16_t GetTransposition() const { return _transposition; }
    void SetTransposition(int16_t sharps) { _transposition = sharps; }

    // The key ID with the transposition applied: for a major or minor key
    // the signed low byte plus the transposition, taken modulo 256, with the
    // minor bit kept; other IDs unchanged. G major +2 gives A major (0x0003).
    uint16_t GetIDWithTransposition() const;
    // Whether the key (with transposition) is minor (0x0100-0x01FF) or major
    // (0x0000-0x00FF).
    bool IsMinor() const;
    bool IsMajor() const;
    // Sharps, respectively flats, of the signature; 0 for the other kind and
    // -1 above 0x01FF.
    int CalcSharps() const;
    int CalcFlats() const;
    // The letter index (from A) of the key's tonic; -1 above 0x01FF.
    int CalcScaleRootIndex() const;
    // The step index (from C) of the tonic of the major key with the same
    // signature; -1 above 0x01FF.
    int CalcRootRelationIndex() const;
    // The same, moved down two steps (into 0..6) for a minor key: the step
    // index of the minor tonic. -1 above 0x01FF.
    int CalcRootRelationAbsoluteIndex() const;
    // Whether the signature sharpens (flattens) the letter (index from A);
    // false outside 0..6 and for a key without sharps (flats).
    bool IsSharpNote(int letterIndex) const;
    bool IsFlatNote(int letterIndex) const;
    // Writes a readable name ("C major", "E flat major", "f sharp minor")
    // into text; the empty text above 0x01FF; nothing for null.
    void MakeString(FCString* text) const;

private:
    int16_t _transposition = 0;
    uint16_t _keyID = 0;
};
