// One signed 32-bit number as a framework object, so that integer lists can
// live in collections (for example an ending's pass numbers).
#pragma once

#include <cstdint>

#include "tonaroframework/base/fcbase.h"

class FCNumber : public __FCBase {
public:
    explicit FCNumber(int32_t value = 0) : _value(value) {}

    const char* ClassName() const override { return "FCNumber"; }
    ~FCNumber() override;

    int32_t GetNumber() const { return _value; }
    void SetNumber(int32_t value) { _value = value; }

private:
    int32_t _value;
};
