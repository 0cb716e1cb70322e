// A time signature: a number of beats of one beat duration (duration units,
// a quarter is 1024). Like a key signature it is read out of a measure or a
// cell detail and stores nothing in the host by itself.
#pragma once

#include <cstdint>

#include "tonaroframework/data/fcbasedata.h"

class FCTimeSignature : public __FCBaseData {
public:
    FCTimeSignature() = default;
    FCTimeSignature(int16_t beats, int16_t beatDuration) : _data{beats, beatDuration} {}

    const char* ClassName() const override { return "FCTimeSignature"; }
    // true for another time signature with the same beats and beat duration.
    bool IsIdentical(const __FCBase* other) const override;

    void* Allocate() override { return &_data; }
    __FCBaseData* CreateObject() const override { return new FCTimeSignature(); }
    EDTAG Tag() const override { return 0; }
    uint32_t DataSizeLoad() const override { return sizeof _data; }
    void CloneMemoryFrom(const __FCBaseData* source) override;
    bool Save() override { return false; }
    bool Reload() override { return false; }
    bool DeleteData() override { return false; }
    bool LoadFirst() override { return false; }
    bool LoadNext() override { return false; }

    int16_t GetBeats() const { return _data.beats; }
    void SetBeats(int16_t beats) { _data.beats = beats; }
    int16_t GetBeatDuration() const { return _data.beatDuration; }
    void SetBeatDuration(int16_t duration) { _data.beatDuration = duration; }
    // beats x beat duration; 0 when either is not positive.
    int32_t CalcMeasureDuration() const;

private:
    struct Data {
        int16_t beats = 4;
        int16_t beatDuration = 1024;
    } _data;
};
