// One key/value pair of a settings file.
//
// A settings line is the key, "=", and the value; see fctextfilestream.h for
// the file format and fcsettingspairs.h for the collection.
#pragma once

#include "tonaroframework/base/fcbase.h"
#include "tonaroframework/base/fcstring.h"

class FCSettingsPair : public __FCBase {
public:
    // Copies key and value (null gives the empty text) and trims each of
    // spaces, tabs, CR and LF at both ends. Both arguments are only read.
    FCSettingsPair(const FCString* key, const FCString* value);
    FCSettingsPair(const FCSettingsPair&) = delete;
    FCSettingsPair& operator=(const FCSettingsPair&) = delete;

    const char* ClassName() const override { return "FCSettingsPair"; }
    ~FCSettingsPair() override = default;

    // The pair's own strings; they live as long as the pair. The value may be
    // edited in place; the key is fixed at construction.
    const FCString* GetKey() const { return &_key; }
    FCString* GetValue() { return &_value; }
    const FCString* GetValue() const { return &_value; }

    // Replaces the value with a copy of value as it stands (not trimmed);
    // null gives the empty text.
    void SetValue(const FCString* value) { _value.SetString(value); }

private:
    FCString _key;
    FCString _value;
};
