// Pitch arithmetic between MusicXML pitches and the host's pitch data.
#include <gtest/gtest.h>

#include "host/engine/musicxml/xmlpitch.h"

namespace {

using namespace tonaroengine::musicxml;

TEST(XmlPitch, TonicsAndKeySharesFollowTheKeySignature)
{
    EXPECT_EQ(KeyTonicStep(0x0000), 0);  // C major
    EXPECT_EQ(KeyTonicStep(0x0001), 4);  // G major
    EXPECT_EQ(KeyTonicStep(0x00FD), 2);  // E flat major: E
    EXPECT_EQ(KeyTonicStep(0x0100), 5);  // A minor
    EXPECT_EQ(KeyTonicStep(0x01FF), 1);  // D minor
    EXPECT_EQ(KeyTonicStep(0x0007), 0);  // C sharp major: C
    EXPECT_EQ(KeyShare(0x0002, 3), 1);   // D major sharpens F
    EXPECT_EQ(KeyShare(0x0002, 4), 0);   // but not G
    EXPECT_EQ(KeyShare(0x00FD, 5), -1);  // E flat major flattens A
    EXPECT_EQ(KeyShare(0x00FD, 1), 0);   // not D
    // Beyond seven sharps the order comes round again: F double sharp.
    EXPECT_EQ(KeyShare(0x0008, 3), 2);
    EXPECT_EQ(KeyShare(0x0008, 0), 1);
    EXPECT_EQ(KeyShare(0x00F7, 6), -2);  // nine flats: B double flat
    EXPECT_EQ(KeyShare(0x4000, 3), 0);   // non-standard keys give nothing
    EXPECT_EQ(KeyIdFromFifths(-3, false), 0x00FD);
    EXPECT_EQ(KeyIdFromFifths(9, true), 0x0109);
    EXPECT_EQ(KeyIdFromFifths(200, false), 0);
}

TEST(XmlPitch, PitchDataRoundTripsUnderEveryKey)
{
    for (int fifths = -9; fifths <= 9; ++fifths)
        for (bool minor : {false, true}) {
            const uint16_t key = KeyIdFromFifths(fifths, minor);
            for (int absStep = 0; absStep < 70; absStep += 3)
                for (int alter = -2; alter <= 2; ++alter) {
                    int displacement = 0, raiselower = 0;
                    ToPitchData(key, AbsPitch{absStep, alter}, &displacement, &raiselower);
                    EXPECT_EQ(FromPitchData(key, displacement, raiselower), (AbsPitch{absStep, alter}))
                        << "key " << key << " step " << absStep << " alter " << alter;
                }
        }
    int displacement = 0, raiselower = 0;
    ToPitchData(0x00FD, AbsPitch{30, -1}, &displacement, &raiselower);  // Eb4 in E flat major
    EXPECT_EQ(displacement, 0);
    EXPECT_EQ(raiselower, 0);
    ToPitchData(0x00FD, AbsPitch{30, 0}, &displacement, &raiselower);  // E4 natural
    EXPECT_EQ(raiselower, 1);
    ToPitchData(0x0100, AbsPitch{28 + 7, 0}, &displacement, &raiselower);  // C5 in A minor
    EXPECT_EQ(displacement, 2);
}

TEST(XmlPitch, TranspositionsConvertAndEncode)
{
    const Transposition clarinet{-1, -2, 0};  // B flat: sounds a major second lower
    EXPECT_EQ(clarinet.WrittenKeyShift(), 2);
    EXPECT_EQ(WrittenToSounding(AbsPitch{29, 0}, clarinet), (AbsPitch{28, 0}));   // written D4 sounds C4
    EXPECT_EQ(WrittenToSounding(AbsPitch{28, 0}, clarinet), (AbsPitch{27, -1}));  // written C4 sounds Bb3
    EXPECT_EQ(SoundingToWritten(AbsPitch{31, 1}, clarinet), (AbsPitch{32, 1}));   // F#4 is written G#4
    int16_t word = 0;
    ASSERT_TRUE(TranspositionWord(clarinet, &word));
    EXPECT_EQ(word, 0x0042);
    ASSERT_TRUE(TranspositionWord(Transposition{-4, -7, 0}, &word));  // horn in F
    EXPECT_EQ(word, 0x0101);
    ASSERT_TRUE(TranspositionWord(Transposition{0, 0, -1}, &word));  // an octave down (guitar)
    EXPECT_EQ(word, 7 << 6);
    EXPECT_EQ(WrittenToSounding(AbsPitch{35, 0}, Transposition{0, 0, -1}), (AbsPitch{28, 0}));
    ASSERT_TRUE(TranspositionWord(Transposition{}, &word));
    EXPECT_EQ(word, 0);
    EXPECT_FALSE(TranspositionWord(Transposition{-40, -70, 0}, &word));
    for (int alter = -2; alter <= 2; ++alter)
        EXPECT_EQ(SoundingToWritten(WrittenToSounding(AbsPitch{33, alter}, Transposition{-5, -9, -1}),
                                    Transposition{-5, -9, -1}),
                  (AbsPitch{33, alter}));
    EXPECT_EQ(DiatonicForChromatic(-2), -1);
    EXPECT_EQ(DiatonicForChromatic(7), 4);
    EXPECT_EQ(DiatonicForChromatic(-14), -8);
}

}  // namespace
