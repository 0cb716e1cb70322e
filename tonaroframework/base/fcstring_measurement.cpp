// FCString members for page measurements as text: SetMeasurement writes a
// value given in EVPUs (288 per inch) in a chosen unit, GetMeasurement reads
// a text, with an optional unit suffix, back into EVPUs. All arithmetic is in
// single precision.

#include <cmath>
#include <string>

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/data/fcgeneralprefs.h"
#include "tonaroframework/ui/fcui.h"

namespace {

enum : short {
    UNIT_DOCUMENT = 0,  // the document's default unit
    UNIT_EVPUS = 1,
    UNIT_INCHES = 2,
    UNIT_CENTIMETERS = 3,
    UNIT_POINTS = 4,
    UNIT_PICAS = 5,
    UNIT_SPACES = 6,
    UNIT_MILLIMETERS = 100,
};

// EVPUs per unit when reading. Centimetres and millimetres read with 113.4
// EVPUs per centimetre; centimetres are written with the exact 113.38583.
constexpr float kEvpusPerInch = 288.0f;
constexpr float kEvpusPerCentimeterRead = 1134.0f / 10.0f;
constexpr float kEvpusPerMillimeter = 1134.0f / 100.0f;
constexpr float kEvpusPerPoint = 4.0f;
constexpr float kEvpusPerPica = 48.0f;
constexpr float kEvpusPerSpace = 24.0f;

struct UnitSuffix {
    const char* text;
    short unit;
};

// The unit suffixes in the order they are tried; the first that ends the
// text wins, so longer forms stand before their own endings.
constexpr UnitSuffix transformtable[] = {
    {"EVPUs", UNIT_EVPUS},           {"evpus", UNIT_EVPUS},        {"inches", UNIT_INCHES},
    {"inch", UNIT_INCHES},           {"in", UNIT_INCHES},          {"centimeters", UNIT_CENTIMETERS},
    {"cm", UNIT_CENTIMETERS},        {"millimeters", UNIT_MILLIMETERS}, {"mm", UNIT_MILLIMETERS},
    {"picas", UNIT_PICAS},           {"points", UNIT_POINTS},      {"pts", UNIT_POINTS},
    {"spaces", UNIT_SPACES},         {"sp", UNIT_SPACES},          {"e", UNIT_EVPUS},
    {"i", UNIT_INCHES},              {"''", UNIT_INCHES},          {"c", UNIT_CENTIMETERS},
    {"pt", UNIT_POINTS},             {"p", UNIT_PICAS},            {"s", UNIT_SPACES},
};

// The document's default unit from the general preferences, read afresh;
// 0 when the record cannot be loaded.
short DocumentDefaultUnit()
{
    FCGeneralPrefs prefs;
    if (!prefs.Load(1)) return UNIT_DOCUMENT;
    return prefs.GetDefaultMeasurementUnit();
}

// When text (trimmed) ends with a unit suffix, with or without a "." after
// it, cuts the suffix off, trims the rest and answers the suffix's unit;
// otherwise answers unit. Case-sensitive, on the 8-bit copy.
short TransformGetMeasurementSuffix(FCString* text, short unit)
{
    for (const UnitSuffix& suffix : transformtable) {
        const std::string plain = suffix.text;
        for (const std::string& form : {plain, plain + "."}) {
            if (!text->EndsWith(form.c_str())) continue;
            text->MakeSubString(0, text->GetLength() - static_cast<uint32_t>(form.size()), text);
            text->TrimWhitespace();
            return suffix.unit;
        }
    }
    return unit;
}

float ReadFloat(const FCString& text)
{
    return static_cast<float>(text.GetFloat(0));
}

// Picas as "picas p points" (sign in front applies to both), or a plain
// number of picas.
float ReadPicas(const FCString& text)
{
    const int p = text.FindFirst("p");
    if (p < 0) return ReadFloat(text) * kEvpusPerPica;
    FCString picas;
    FCString points;
    if (p > 0) text.MakeSubString(0, static_cast<uint32_t>(p), &picas);
    text.MakeSubString(static_cast<uint32_t>(p) + 1, text.GetLength(), &points);
    picas.TrimWhitespace();
    // "-2p1" is minus two picas and one point, as SetMeasurement writes it.
    const float sign = picas.StartsWith("-") ? -1.0f : 1.0f;
    return ReadFloat(picas) * kEvpusPerPica + sign * ReadFloat(points) * kEvpusPerPoint;
}

// "%f" of value, with "." as the point whatever the process locale.
std::string FormatFixed(float value)
{
    FCString text;
    text.SetFloat(value);
    return text.GetCString();
}

// value / 48 as whole picas and "p", followed by the remaining points
// without their sign (100 gives "2p1.000000", -100 "-2p1.000000").
std::string FormatPicas(float value)
{
    const float whole = std::trunc(value / kEvpusPerPica);
    std::string text = FormatFixed(whole);
    text.erase(text.find('.'));
    text += 'p';
    std::string points = FormatFixed((value - whole * kEvpusPerPica) * 0.25f);
    if (!points.empty() && points[0] == '-') points.erase(0, 1);
    return text + points;
}

// Keeps at most digits digits after the first "." (cutting, not rounding),
// then removes trailing zeros and a "." left at the end.
void CutDecimals(std::string& text, size_t digits)
{
    const size_t point = text.find('.');
    if (point == std::string::npos) return;
    if (text.size() > point + 1 + digits) text.resize(point + 1 + digits);
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
}

}  // namespace

void FCString::SetMeasurement(float evpus, short unit)
{
    if (unit == UNIT_DOCUMENT) unit = DocumentDefaultUnit();

    std::string text;
    size_t digits = 0;
    if (std::isfinite(evpus)) {
        switch (unit) {
        case UNIT_EVPUS: {
            const float whole = std::round(evpus);
            // Whole values within the range of int are written as integers;
            // larger ones as "%f", whose decimals the cut below removes.
            if (evpus == whole && std::fabs(whole) < 2147483520.0f) {
                text = std::to_string(static_cast<int>(whole));
            } else {
                text = FormatFixed(evpus);
            }
            digits = 2;
            break;
        }
        case UNIT_INCHES:
            text = FormatFixed(evpus / kEvpusPerInch);
            digits = 5;
            break;
        case UNIT_CENTIMETERS: {
            // Scaled up first, as the conversion is defined; a value so large that
            // the scaling overflows is divided by the same ratio instead, so that
            // a finite value never turns into "inf".
            const float scaled = evpus * 100000.0f;
            const float centimeters =
                std::isfinite(scaled) ? scaled / 11338583.0f : evpus / (11338583.0f / 100000.0f);
            text = FormatFixed(centimeters);
            digits = 5;
            break;
        }
        case UNIT_POINTS:
            text = FormatFixed(evpus * 0.25f);
            digits = 2;
            break;
        case UNIT_PICAS:
            text = FormatPicas(evpus);
            digits = 2;
            break;
        case UNIT_SPACES:
            text = FormatFixed(evpus / kEvpusPerSpace);
            digits = 5;
            break;
        case UNIT_MILLIMETERS:
            text = FormatFixed(evpus / kEvpusPerMillimeter);
            digits = 5;
            break;
        default:
            break;  // unknown unit: the empty text
        }
    }
    CutDecimals(text, digits);

    FCString separator;
    FCUI ui;
    ui.GetDecimalSeparator(&separator);
    const bool replacePoint = !separator.IsEmpty() && !separator.IsEqualCString(".");

    Clear();
    for (char c : text) {
        if (c == '.' && replacePoint) {
            AppendString(&separator);
        } else {
            AppendCharacter(static_cast<unsigned char>(c));
        }
    }
}

float FCString::GetMeasurement(short unit) const
{
    FCString text;
    text.SetString(this);
    text.Replace(",", ".");
    text.TrimWhitespace();

    if (unit == UNIT_DOCUMENT) unit = DocumentDefaultUnit();
    unit = TransformGetMeasurementSuffix(&text, unit);

    switch (unit) {
    case UNIT_EVPUS:
        return ReadFloat(text);
    case UNIT_INCHES:
        return ReadFloat(text) * kEvpusPerInch;
    case UNIT_CENTIMETERS:
        return ReadFloat(text) * kEvpusPerCentimeterRead;
    case UNIT_POINTS:
        return ReadFloat(text) * kEvpusPerPoint;
    case UNIT_PICAS:
        return ReadPicas(text);
    case UNIT_SPACES:
        return ReadFloat(text) * kEvpusPerSpace;
    case UNIT_MILLIMETERS:
        return ReadFloat(text) * kEvpusPerMillimeter;
    default:
        return 0.0f;  // unknown unit, including an unknown document default
    }
}
