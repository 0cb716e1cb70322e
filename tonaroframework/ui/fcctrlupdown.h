// A stepper (up-down arrows), optionally connected to an edit field that
// holds an integer or a measurement.
//
// When the user steps, the change reaches the window's HandleUpDownPressed.
// A connected edit follows the stepper: its value moves by the step, is
// clamped to the stepper's range, is written back to the edit, and is then
// set on the stepper.
#pragma once

#include "tonaroframework/ui/fccontrol.h"

class FCCtrlEdit;

class FCCtrlUpDown : public FCControl {
public:
    explicit FCCtrlUpDown(int id) : FCControl(id) {}
    const char* ClassName() const override { return "FCCtrlUpDown"; }

    // Sets the stepper's value (as given; the native stepper may clamp it).
    void SetValue(int value);
    // The native stepper's value; the last value set when unavailable.
    int GetValue();
    // Sets the stepper's range (the connection clamps to it too).
    void SetRange(int minimum, int maximum);
    // The native stepper's limits; the last range set when unavailable.
    int GetMinimum();
    int GetMaximum();

    // Connects an edit of the same window holding an integer / a measurement
    // in EVPUs written in units; minimum and maximum become the range. The
    // edit is borrowed (it must stay alive while connected; controls of one
    // window live and die together). Null disconnects.
    void ConnectIntegerEdit(FCCtrlEdit* edit, int minimum, int maximum);
    void ConnectMeasurementEdit(FCCtrlEdit* edit, short units, int minimum, int maximum);
    FCCtrlEdit* GetConnectedEdit() const { return _edit; }

    // The user stepped the native stepper from oldValue to newValue: applies
    // the step (to the connected edit, when there is one, else to the
    // stepper's value), clamps into the range and sets the result on the
    // stepper. Answers the step (newValue - oldValue). Called by the event
    // dispatch before HandleUpDownPressed.
    int _TakeNewValue(int oldValue, int newValue);

private:
    int _Clamp(long long value) const;

    int _value = 0;
    int _minimum = 0;
    int _maximum = 0;
    bool _rangeSet = false;
    FCCtrlEdit* _edit = nullptr;
    bool _measurement = false;
    short _units = 0;
};
