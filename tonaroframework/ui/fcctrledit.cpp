#include "tonaroframework/ui/fcctrledit.h"

#include <cmath>
#include <cstdio>

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/ui/fcwindowcontroller.h"

namespace {

// Below minimum gives minimum, else above maximum gives maximum. A text that
// reads as "not a number" gives minimum.
double ClampAlways(double value, double minimum, double maximum)
{
    if (std::isnan(value) || value < minimum) return minimum;
    if (value > maximum) return maximum;
    return value;
}

}  // namespace

void FCCtrlEdit::GetText(FCString* text) { FCControl::GetText(text); }

void FCCtrlEdit::SetInteger(int value)
{
    FCString text;
    text.SetInteger(value);
    SetText(&text);
}

int FCCtrlEdit::GetInteger(int minimum, int maximum)
{
    FCString text;
    GetText(&text);
    int value = text.GetInteger(0);
    if (minimum < maximum) {
        if (value < minimum) value = minimum;
        if (value > maximum) value = maximum;
    }
    return value;
}

int FCCtrlEdit::AdjustIntegerWithin(int minimum, int maximum)
{
    const int value = GetInteger(minimum, maximum);
    FCString current;
    GetText(&current);
    FCString wanted;
    wanted.SetInteger(value);
    if (!current.IsEqualString(&wanted)) SetText(&wanted);
    return value;
}

void FCCtrlEdit::SetFloat(float value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%0.2f", static_cast<double>(value));
    FCString text(buffer);
    SetText(&text);
}

double FCCtrlEdit::GetFloat(double minimum, double maximum)
{
    FCString text;
    GetText(&text);
    return ClampAlways(text.GetFloat(0), minimum, maximum);
}

void FCCtrlEdit::SetMeasurement(double evpus, short units)
{
    FCString text;
    text.SetMeasurement(static_cast<float>(evpus), units);
    SetText(&text);
}

double FCCtrlEdit::GetMeasurement(short units, double minimum, double maximum)
{
    FCString text;
    GetText(&text);
    return ClampAlways(static_cast<double>(text.GetMeasurement(units)), minimum, maximum);
}

void FCCtrlEdit::SetMeasurementInteger(int evpus, short units) { SetMeasurement(evpus, units); }

int FCCtrlEdit::GetMeasurementInteger(short units, int minimum, int maximum)
{
    FCString text;
    GetText(&text);
    const double rounded = std::round(static_cast<double>(text.GetMeasurement(units)));
    return static_cast<int>(ClampAlways(rounded, minimum, maximum));
}

void FCCtrlEdit::SetFocus()
{
    if (auto* controller = _GetLoadedController()) controller->SetEditFocus(GetControlID());
}

void FCCtrlEdit::ScrollToBottom()
{
    if (auto* controller = _GetLoadedController()) controller->EditScrollToBottom(GetControlID());
}
