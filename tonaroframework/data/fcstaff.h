// A staff's own setup record ('SOIS', cmper = staff number).
//
// The layout depends on the running host version; the object holds one
// buffer per layout and uses the one the version selects:
//   above 0x11FFFFFF                 version 0x12000000, 136 bytes
//   0x11000000 to 0x11FFFFFF         version 0x11000000, 132 bytes
//   0x10FFFFFF or below              version 0x0F000000, 114 bytes
// A record that is not loaded (never loaded, or its last load failed) reads
// as a plain staff: not transposed, no flags, notation style 0, clef 0.
//
// Transposition word (signed 16 bits at byte 20, in every layout):
//   0x4000 is not part of the transposition: a word with no other bit set
//   means "not transposed". 0x2000 selects the encoding.
//   First encoding (0x2000 clear): bits 0-5 alteration (signed 6-bit sharps
//   added to the key), bits 6-11 interval (signed 6-bit diatonic steps).
//   Second encoding (0x2000 set): bits 0-7 interval (bit 7 set: the byte as a
//   signed 8-bit number, else the byte plus 1, counted from 1), bits 8-11
//   alteration (signed 4-bit).
#pragma once

#include <cstdint>

#include "tonaroframework/data/fcnoinciother.h"
#include "tonaropdk/hostapi/staffspec.h"

class FCStaff : public __FCNoInciOther {
public:
    FCStaff();

    const char* ClassName() const override { return "FCStaff"; }
    void* Allocate() override;
    __FCBaseData* CreateObject() const override { return new FCStaff(); }
    EDTAG Tag() const override;
    uint32_t VeltraVersion() const override { return _FXTVersionToUse(); }
    uint32_t DataSizeLoad() const override;

    // The layout version for the running host (table above).
    uint32_t _FXTVersionToUse() const;
    uint32_t _VersionToUse() const { return _FXTVersionToUse(); }

    // The raw transposition word.
    int16_t GetTranspositionWord() const;
    // Whether the word has any bit set apart from 0x4000.
    bool IsTransposed() const;
    // Whether a transposition uses the second encoding (bit 0x2000). false
    // for a staff that is not transposed.
    bool IsSecondTranspositionEncoding() const;
    // The interval (first encoding: steps; second: counted from 1) and the
    // alteration (sharps added to the key) of the transposition; 0 when the
    // staff is not transposed.
    int16_t GetTransposeInterval() const;
    int16_t GetTransposeAlteration() const;
    // Decoding of a transposition word, as the two accessors above do it.
    static int16_t DecodeTransposeInterval(int16_t word);
    static int16_t DecodeTransposeAlteration(int16_t word);

    // 1 for a percussion staff (bit 0x2000 of the word at byte 10), else 2
    // for a tablature staff (bit 0x0200), else 0.
    int GetNotationStyle() const;
    // Bit 15 of the flag word at byte 22: the staff's cells may carry keys
    // (and times) of their own.
    bool HasIndependentKey() const;
    // Bit 0 of that word: MIDI keys are computed as in C major.
    bool HasCMajorMIDI() const;
    // The default clef index (byte 0).
    int16_t GetDefaultClef() const;

protected:
    // The head of the buffer that holds (or will hold) the record.
    const EDTStaffSpecHead* _Head() const;

private:
    uint8_t _spec2012[STAFFSPEC_SIZE_2012];
    uint8_t _spec2011[STAFFSPEC_SIZE_2011];
    uint8_t _spec2010[STAFFSPEC_SIZE_2010];
};
