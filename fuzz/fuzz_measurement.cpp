// Fuzz target: measurement text. The input's first byte chooses the user's
// decimal separator (bit 0), the document's default unit (bits 1-3), the unit
// under test (bits 4-6: a known unit or the document default) and whether
// unknown units are tried too (bit 7); the next four bytes are a value in
// EVPUs, and the rest is a text.
// - The text is read in the unit; what it reads as is written in that unit
//   and must read back as nearly the same value.
// - The value is written in the unit and must read back as nearly itself.
// - Unknown units write the empty text and read as 0 (unless the text names
//   its own unit).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "fuzz/fuzzsupport.h"
#include "host/engine/document.h"
#include "host/engine/engine.h"
#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaroframework/ui/fcuiplatform.h"
#include "tonaropdk/bridge/hostbinding.h"

namespace {

// A UI platform whose one meaningful answer is the decimal separator.
class SeparatorPlatform : public __FCUIPlatform {
public:
    static inline const char* separator = ".";

    int ShowAlert(FCUI_ALERTKIND, const FCString&, const FCString&) override { return 0; }
    void Beep() override {}
    int GetScreenWidth() override { return 0; }
    int GetScreenHeight() override { return 0; }
    bool IsFontAvailable(const FCString&) override { return false; }
    void OpenWebURL(const FCString&) override {}
    bool SetClipboardText(const char*, bool) override { return false; }
    void GetDecimalSeparator(FCString* text) override { text->SetCString(separator); }
    double GetCurrentTime() override { return 0.0; }
};

__FCUIPlatform* MakeSeparatorPlatform()
{
    return new SeparatorPlatform();
}

constexpr short kUnknownUnits[] = {7, 99, 101, -1};

// How far a value written in unit may read back from itself: the digits cut
// after the point, the two centimetre constants, and single precision.
float Tolerance(short unit, float value)
{
    float cut = 0.0f;
    switch (unit) {
    case 1: cut = 0.01f; break;               // 2 decimals of EVPUs
    case 2: cut = 288.0f * 1e-5f; break;      // 5 decimals of inches
    case 3: cut = 113.4f * 1e-5f; break;      // 5 decimals of centimetres
    case 4: case 5: cut = 0.04f; break;       // 2 decimals of points
    case 6: cut = 24.0f * 1e-5f; break;       // 5 decimals of spaces
    case 100: cut = 11.34f * 1e-5f; break;    // 5 decimals of millimetres
    default: break;
    }
    return cut + std::fabs(value) * 3e-4f + 1e-3f;
}

void CheckWrittenReadsBack(float value, short unit, short effectiveUnit)
{
    FCString text("stale");
    text.SetMeasurement(value, unit);
    if (!std::isfinite(value) || effectiveUnit == 0) {
        TONARO_FUZZ_CHECK(text.IsEmpty(), "a value that cannot be written left text behind");
        return;
    }
    TONARO_FUZZ_CHECK(!text.IsEmpty(), "a finite value was written as the empty text");
    TONARO_FUZZ_CHECK(std::isfinite(text.GetFloat(0)), "a finite value was written as no finite number");
    // Near the top of the float range the reading constant (113.4 EVPUs per
    // centimetre against 113.38583 when writing) may carry a value past it.
    if (std::fabs(value) > 1e30f) return;
    const float back = text.GetMeasurement(unit);
    if (!(std::fabs(back - value) <= Tolerance(effectiveUnit, value)))
        std::fprintf(stderr, "unit %d: %.9g written as \"%s\" reads back as %.9g\n", effectiveUnit,
                     static_cast<double>(value), text.GetCString(), static_cast<double>(back));
    TONARO_FUZZ_CHECK(std::fabs(back - value) <= Tolerance(effectiveUnit, value),
                      "a written measurement does not read back as its value");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static tonaroengine::Document* document = [] {
        InitializeGlobals();
        SetTonaroFrameworkVersion(0x12000000);
        SetFCUIPlatformFactory(MakeSeparatorPlatform);
        tonaroengine::Engine::Instance().Reset();
        return tonaroengine::Engine::Instance().NewDocument();
    }();
    if (document == nullptr || size < 1) return 0;

    const uint8_t control = data[0];
    SeparatorPlatform::separator = (control & 1) != 0 ? "," : ".";
    // The document's default unit: one of the known ones, or none (0).
    constexpr short kDefaults[] = {1, 2, 3, 4, 5, 6, 100, 0};
    const short defaultUnit = kDefaults[(control >> 1) & 7];
    document->SetDefaultUnit(defaultUnit);

    float value = 0.0f;
    const bool hasValue = size >= 5;
    if (hasValue) std::memcpy(&value, data + 1, sizeof value);

    FCString text;
    if (size > 5) tonarofuzz::SetBytes(&text, data + 5, size - 5);

    // The unit under test: one of the known ones, or the document default.
    constexpr short kTested[] = {1, 2, 3, 4, 5, 6, 100, 0};
    const short unit = kTested[(control >> 4) & 7];
    const short effectiveUnit = unit == 0 ? defaultUnit : unit;

    CheckWrittenReadsBack(text.GetMeasurement(unit), unit, effectiveUnit);
    if (hasValue) CheckWrittenReadsBack(value, unit, effectiveUnit);

    // An unknown unit writes nothing and reads as 0, unless the text names its
    // own unit, which then wins over any argument.
    if ((control & 0x80) != 0) {
        const float asEvpus = text.GetMeasurement(1);
        for (short unknown : kUnknownUnits) {
            const float read = text.GetMeasurement(unknown);
            TONARO_FUZZ_CHECK(read == 0.0f || read == asEvpus || (std::isnan(read) && std::isnan(asEvpus)),
                              "an unknown unit read a text without a unit suffix");
            FCString written("stale");
            written.SetMeasurement(value, unknown);
            TONARO_FUZZ_CHECK(written.IsEmpty(), "an unknown unit wrote text");
        }
    }
    return 0;
}
