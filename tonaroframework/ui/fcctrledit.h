// A single-line text field, read and written as text, integers, floats or
// page measurements.
//
// Measurements are EVPUs written and read as text in a unit (0: the
// document's default unit) through FCString::SetMeasurement and
// GetMeasurement.
#pragma once

#include "tonaroframework/ui/fccontrol.h"

class FCCtrlEdit : public FCControl {
public:
    explicit FCCtrlEdit(int id) : FCControl(id) {}
    const char* ClassName() const override { return "FCCtrlEdit"; }

    // Same as the base.
    void GetText(FCString* text) override;

    void SetInteger(int value);
    // The integer at the start of the text (0 without digits), clamped into
    // [minimum, maximum] only when minimum < maximum.
    int GetInteger(int minimum, int maximum);
    // Rewrites the text as GetInteger(minimum, maximum) when it does not read
    // as that number already; answers that number.
    int AdjustIntegerWithin(int minimum, int maximum);

    // Writes value with two decimals ("%0.2f", "." as the point).
    void SetFloat(float value);
    // The number in the text ("," or "." as the point), clamped into
    // [minimum, maximum] (below minimum gives minimum, else above maximum
    // gives maximum; a text reading as "nan" gives minimum).
    double GetFloat(double minimum, double maximum);

    // Writes evpus as measurement text in units.
    void SetMeasurement(double evpus, short units);
    // Reads the text as a measurement in units (a suffix in the text wins)
    // and answers EVPUs clamped as GetFloat clamps.
    double GetMeasurement(short units, double minimum, double maximum);
    void SetMeasurementInteger(int evpus, short units);
    // GetMeasurement rounded to the nearest whole EVPU, then clamped.
    int GetMeasurementInteger(short units, int minimum, int maximum);

    // Puts the keyboard focus into the field.
    void SetFocus();
    // Read-only is disabled: SetEnable(!readOnly).
    void SetReadOnly(bool readOnly) { SetEnable(!readOnly); }
    void ScrollToBottom();
    // Do nothing.
    void SelectAll() {}
    void SetMaxLength(short) {}
};
