#include "tonaroframework/ui/fcctrlupdown.h"

#include <climits>

#include "tonaroframework/ui/fcctrledit.h"
#include "tonaroframework/ui/fcwindowcontroller.h"

void FCCtrlUpDown::SetValue(int value)
{
    _value = value;
    if (auto* controller = _GetLoadedController()) controller->SetStepperValue(GetControlID(), value);
}

int FCCtrlUpDown::GetValue()
{
    auto* controller = _GetLoadedController();
    return controller != nullptr ? controller->GetStepperValue(GetControlID()) : _value;
}

void FCCtrlUpDown::SetRange(int minimum, int maximum)
{
    _minimum = minimum;
    _maximum = maximum;
    _rangeSet = true;
    if (auto* controller = _GetLoadedController()) controller->SetStepperMinMax(GetControlID(), minimum, maximum);
}

int FCCtrlUpDown::GetMinimum()
{
    auto* controller = _GetLoadedController();
    return controller != nullptr ? controller->GetStepperMin(GetControlID()) : _minimum;
}

int FCCtrlUpDown::GetMaximum()
{
    auto* controller = _GetLoadedController();
    return controller != nullptr ? controller->GetStepperMax(GetControlID()) : _maximum;
}

void FCCtrlUpDown::ConnectIntegerEdit(FCCtrlEdit* edit, int minimum, int maximum)
{
    _edit = edit;
    _measurement = false;
    _units = 0;
    if (edit != nullptr) SetRange(minimum, maximum);
}

void FCCtrlUpDown::ConnectMeasurementEdit(FCCtrlEdit* edit, short units, int minimum, int maximum)
{
    _edit = edit;
    _measurement = true;
    _units = units;
    if (edit != nullptr) SetRange(minimum, maximum);
}

int FCCtrlUpDown::_Clamp(long long value) const
{
    long long minimum = INT_MIN;
    long long maximum = INT_MAX;
    if (_rangeSet) {
        minimum = _minimum;
        maximum = _maximum;
    }
    if (value < minimum) return static_cast<int>(minimum);
    if (value > maximum) return static_cast<int>(maximum);
    return static_cast<int>(value);
}

int FCCtrlUpDown::_TakeNewValue(int oldValue, int newValue)
{
    const long long step = static_cast<long long>(newValue) - oldValue;
    long long target = newValue;
    if (_edit != nullptr) {
        const long long current = _measurement ? _edit->GetMeasurementInteger(_units, INT_MIN, INT_MAX)
                                               : _edit->GetInteger(0, 0);
        target = current + step;
    }
    const int value = _Clamp(target);
    if (_edit != nullptr) {
        if (_measurement) {
            _edit->SetMeasurementInteger(value, _units);
        } else {
            _edit->SetInteger(value);
        }
    }
    SetValue(value);
    if (step < INT_MIN) return INT_MIN;
    if (step > INT_MAX) return INT_MAX;
    return static_cast<int>(step);
}
