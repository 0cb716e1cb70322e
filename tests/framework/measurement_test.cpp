// Measurement text: EVPUs written in every unit and read back, unit
// suffixes, the document's default unit from the engine, and the user's
// decimal separator.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "host/engine/document.h"
#include "host/engine/engine.h"
#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaroframework/ui/fcuiplatform.h"
#include "tonaropdk/bridge/hostbinding.h"

using tonaroengine::Document;
using tonaroengine::Engine;

namespace {

enum : short { DOC = 0, EVPUS = 1, INCHES = 2, CM = 3, POINTS = 4, PICAS = 5, SPACES = 6, MM = 100 };

// A platform half whose only meaningful answer is the decimal separator.
class SeparatorPlatform : public __FCUIPlatform {
public:
    static inline const char* separator = ".";
    static inline unsigned short wideSeparator = 0;  // used instead when not 0

    int ShowAlert(FCUI_ALERTKIND, const FCString&, const FCString&) override { return 4; }
    void Beep() override {}
    int GetScreenWidth() override { return 0; }
    int GetScreenHeight() override { return 0; }
    bool IsFontAvailable(const FCString&) override { return false; }
    void OpenWebURL(const FCString&) override {}
    bool SetClipboardText(const char*, bool) override { return false; }
    void GetDecimalSeparator(FCString* text) override
    {
        if (wideSeparator != 0) {
            text->Clear();
            text->AppendCharacter(wideSeparator);
        } else {
            text->SetCString(separator);
        }
    }
    double GetCurrentTime() override { return 0.0; }
};

__FCUIPlatform* MakeSeparatorPlatform()
{
    return new SeparatorPlatform();
}

class MeasurementTest : public testing::Test {
protected:
    void SetUp() override
    {
        InitializeGlobals();
        SetTonaroFrameworkVersion(0x12000000);
        Engine::Instance().Reset();
        SetFCUIPlatformFactory(nullptr);
        SeparatorPlatform::separator = ".";
        SeparatorPlatform::wideSeparator = 0;
    }
    void TearDown() override
    {
        SetFCUIPlatformFactory(nullptr);
        Engine::Instance().Reset();
    }

    static std::string Write(float evpus, short unit)
    {
        FCString text("stale");
        text.SetMeasurement(evpus, unit);
        return text.GetCString();
    }
    static float Read(const char* text, short unit)
    {
        FCString measurement(text);
        return measurement.GetMeasurement(unit);
    }
};

TEST_F(MeasurementTest, WritesEveryUnit)
{
    EXPECT_EQ(Write(100, PICAS), "2p1");
    EXPECT_EQ(Write(144, INCHES), "0.5");
    EXPECT_EQ(Write(12.5f, EVPUS), "12.5");
    EXPECT_EQ(Write(13, EVPUS), "13");
    EXPECT_EQ(Write(10, POINTS), "2.5");
    EXPECT_EQ(Write(100, CM), "0.88194");  // written with 113.38583 EVPUs per cm
    EXPECT_EQ(Write(48, SPACES), "2");
    EXPECT_EQ(Write(100, SPACES), "4.16666");  // cut, not rounded
    EXPECT_EQ(Write(96, PICAS), "2p0");
    EXPECT_EQ(Write(10, PICAS), "0p2.5");
    EXPECT_EQ(Write(0, EVPUS), "0");
    EXPECT_EQ(Write(1.238f, EVPUS), "1.23");
    EXPECT_EQ(Write(-36, INCHES), "-0.125");
    EXPECT_EQ(Write(1000, EVPUS), "1000");  // zeros before the point stay
}

TEST_F(MeasurementTest, ReadsEveryUnitAndSuffix)
{
    EXPECT_FLOAT_EQ(Read("1in", EVPUS), 288.0f);  // the suffix overrides the unit
    EXPECT_FLOAT_EQ(Read("1in", SPACES), 288.0f);
    EXPECT_FLOAT_EQ(Read("2p6", PICAS), 120.0f);
    EXPECT_FLOAT_EQ(Read("2p6", EVPUS), 2.0f);
    EXPECT_FLOAT_EQ(Read("3,5 cm", EVPUS), 396.9f);  // read with 113.4 EVPUs per cm
    EXPECT_FLOAT_EQ(Read("12pts", EVPUS), 48.0f);
    EXPECT_FLOAT_EQ(Read("2''", EVPUS), 576.0f);
    EXPECT_FLOAT_EQ(Read("  1.5  ", INCHES), 432.0f);
    EXPECT_FLOAT_EQ(Read("10mm", EVPUS), 113.4f);
    EXPECT_FLOAT_EQ(Read("2 spaces.", EVPUS), 48.0f);  // suffix followed by "."
    EXPECT_FLOAT_EQ(Read("2sp", EVPUS), 48.0f);
    EXPECT_FLOAT_EQ(Read("3p", EVPUS), 144.0f);
    EXPECT_FLOAT_EQ(Read("7e", INCHES), 7.0f);
    EXPECT_FLOAT_EQ(Read("1 EVPUs", INCHES), 1.0f);
    EXPECT_FLOAT_EQ(Read("1 IN", EVPUS), 1.0f);  // suffixes are case-sensitive
}

TEST_F(MeasurementTest, TextsWithoutNumberOrUnitReadAsZero)
{
    EXPECT_FLOAT_EQ(Read("", EVPUS), 0.0f);
    EXPECT_FLOAT_EQ(Read("abc", INCHES), 0.0f);
    EXPECT_FLOAT_EQ(Read("in", EVPUS), 0.0f);
    EXPECT_FLOAT_EQ(Read("12", 7), 0.0f);
    EXPECT_FLOAT_EQ(Read("12", 99), 0.0f);
    EXPECT_FLOAT_EQ(Read("12", -1), 0.0f);
    EXPECT_EQ(Write(12, 7), "");
    EXPECT_EQ(Write(12, 101), "");
}

TEST_F(MeasurementTest, MillimetresAreWrittenAndReadBack)
{
    EXPECT_EQ(Write(113.4f, MM), "10");
    EXPECT_EQ(Write(288, MM), "25.39682");
    for (float evpus : {0.0f, 1.0f, 57.0f, 288.0f, 1000.0f}) {
        FCString text;
        text.SetMeasurement(evpus, MM);
        EXPECT_NEAR(text.GetMeasurement(MM), evpus, 0.001f) << text.GetCString();
    }
}

TEST_F(MeasurementTest, WrittenValuesReadBackInTheirUnit)
{
    for (short unit : {EVPUS, INCHES, POINTS, PICAS, SPACES}) {
        for (float evpus : {0.0f, 1.0f, 24.0f, 100.0f, 287.5f, 1000.0f, -100.0f, -1.0f, -47.0f}) {
            FCString text;
            text.SetMeasurement(evpus, unit);
            // Text keeps 2 decimals in small units, 5 in large ones.
            EXPECT_NEAR(text.GetMeasurement(unit), evpus, 0.04f) << "unit " << unit << ": " << text.GetCString();
        }
    }
}

TEST_F(MeasurementTest, NegativePicasKeepTheirSign)
{
    EXPECT_EQ(Write(-100, PICAS), "-2p1");
    EXPECT_FLOAT_EQ(Read("-2p1", PICAS), -100.0f);
    EXPECT_EQ(Write(-1, PICAS), "-0p0.25");
    EXPECT_FLOAT_EQ(Read("-0p0.25", PICAS), -1.0f);
}

TEST_F(MeasurementTest, PicasNeverRoundUpTheWholePart)
{
    // 47.99999 EVPUs is just under one pica: zero picas and almost 12 points,
    // not one pica and almost 12 points.
    EXPECT_EQ(Write(47.99999f, PICAS), "0p11.99");
    EXPECT_NEAR(Read("0p11.99", PICAS), 47.99999f, 0.05f);
}

TEST_F(MeasurementTest, ValuesBeyondIntegersAndNonNumbers)
{
    EXPECT_EQ(Write(3e9f, EVPUS), "3000000000");
    EXPECT_EQ(Write(std::numeric_limits<float>::infinity(), EVPUS), "");
    EXPECT_EQ(Write(std::numeric_limits<float>::quiet_NaN(), INCHES), "");
}

TEST_F(MeasurementTest, TheLargestValuesAreWrittenAsNumbersInEveryUnit)
{
    // Scaling the largest floats up for centimetres overflows; the text must
    // still be the number, never "inf".
    const float largest = std::numeric_limits<float>::max();
    for (float evpus : {largest, -largest, 1e34f}) {
        for (short unit : {EVPUS, INCHES, CM, POINTS, PICAS, SPACES, MM}) {
            FCString text;
            text.SetMeasurement(evpus, unit);
            const std::string written = text.GetCString();
            EXPECT_EQ(written.find("inf"), std::string::npos) << "unit " << unit << ": " << written;
            EXPECT_TRUE(std::isfinite(text.GetFloat(0))) << "unit " << unit << ": " << written;
        }
    }
    FCString centimeters;
    centimeters.SetMeasurement(1e34f, CM);
    EXPECT_NEAR(centimeters.GetFloat(0), 1e34 / 113.38583, 1e34 / 113.38583 * 1e-6);
}

TEST_F(MeasurementTest, DocumentDefaultUnitComesFromTheEngine)
{
    Document* doc = Engine::Instance().NewDocument();
    doc->SetDefaultUnit(INCHES);
    EXPECT_EQ(Write(144, DOC), "0.5");
    EXPECT_FLOAT_EQ(Read("0.5", DOC), 144.0f);
    EXPECT_FLOAT_EQ(Read("2sp", DOC), 48.0f);  // a suffix still wins

    doc->SetDefaultUnit(PICAS);  // read afresh on every call
    EXPECT_EQ(Write(100, DOC), "2p1");
    EXPECT_FLOAT_EQ(Read("2p6", DOC), 120.0f);

    doc->SetDefaultUnit(42);  // a unit nobody knows
    EXPECT_EQ(Write(100, DOC), "");
    EXPECT_FLOAT_EQ(Read("100", DOC), 0.0f);
}

TEST_F(MeasurementTest, NoDocumentMeansNoDefaultUnit)
{
    EXPECT_EQ(Write(100, DOC), "");
    EXPECT_FLOAT_EQ(Read("100", DOC), 0.0f);
    EXPECT_FLOAT_EQ(Read("100e", DOC), 100.0f);
}

TEST_F(MeasurementTest, UsesTheUsersDecimalSeparator)
{
    SetFCUIPlatformFactory(&MakeSeparatorPlatform);
    SeparatorPlatform::separator = ",";
    EXPECT_EQ(Write(144, INCHES), "0,5");
    EXPECT_EQ(Write(100, PICAS), "2p1");
    EXPECT_EQ(Write(10, PICAS), "0p2,5");
    EXPECT_FLOAT_EQ(Read("0,5", INCHES), 144.0f);  // "," always reads as the point

    SeparatorPlatform::wideSeparator = 0x066B;  // Arabic decimal separator
    FCString text;
    text.SetMeasurement(144, INCHES);
    ASSERT_EQ(text.GetLength(), 3u);
    EXPECT_EQ(text.GetItemAt(1), 0x066B);

    SeparatorPlatform::wideSeparator = 0;
    SeparatorPlatform::separator = "";  // no separator known: keep the point
    EXPECT_EQ(Write(144, INCHES), "0.5");
}

}  // namespace
