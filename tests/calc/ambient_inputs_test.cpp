// Reading, checking and converting the three ambient inputs; the limit labels; the out-of-range report of
// a refused input and what the state record keeps after it.
#include "ambient_testing.h"
#include "calc/ambient/calculate_ambient.h"
#include "calc/units/number_text.h"
#include "core/properties.h"

#include <cmath>
#include <gtest/gtest.h>

namespace humidora {
namespace {

using testing::Box;
using testing::kHumidityBoxes;
using testing::kOutOfRangeLines;
using testing::OpenedWindow;
using testing::SelectItem;

TEST(AmbientTemperature, TwentyFiveCelsiusIsHeldInSinglePrecision)
{
    const AmbientWindow window = OpenedWindow();
    EXPECT_EQ(window.state().temperature, 298.149993896484375f);
    EXPECT_EQ(double(window.state().temperature), 298.149993896484375);
}

struct LimitCase
{
    int list;
    const char* unit;
    const char* minimum;
    const char* maximum;
};

class LimitLabels : public ::testing::TestWithParam<LimitCase>
{
};

TEST_P(LimitLabels, ShowTheFixedLimitsInTheSelectedUnit)
{
    const LimitCase& c = GetParam();
    AmbientWindow window = OpenedWindow();
    SelectItem(window, c.list, c.unit);
    const AmbientControls& controls = window.controls();
    const LimitLabel& minimum = c.list == 1 ? controls.Label5
        : c.list == 2                       ? controls.Label7
                                            : controls.Label9;
    const LimitLabel& maximum = c.list == 1 ? controls.Label4
        : c.list == 2                       ? controls.Label6
                                            : controls.Label8;
    EXPECT_EQ(minimum.caption, c.minimum);
    EXPECT_EQ(maximum.caption, c.maximum);
}

INSTANTIATE_TEST_SUITE_P(EveryUnit, LimitLabels,
    ::testing::Values(LimitCase { 1, "K", "173.15", "373.15" }, LimitCase { 1, "C", "-100", "100" },
        LimitCase { 1, "R", "311.67", "671.67" }, LimitCase { 1, "F", "-148", "212" },
        LimitCase { 2, "Pa", "5000", "1000000" }, LimitCase { 2, "kPa", "5", "1000" },
        LimitCase { 2, "Bar", ".05", "10" }, LimitCase { 2, "mBar", "50", "10000" },
        LimitCase { 2, "mm H2O", "506.9", "101380.8" }, LimitCase { 2, "mm Hg", "37.503", "7500.638" },
        LimitCase { 2, "Atmosphere", ".04935", "9.86923" }, LimitCase { 2, "PSI", ".7252", "145.0377" },
        LimitCase { 10, "m", "-5000", "11000" }, LimitCase { 10, "km", "-5", "11" },
        LimitCase { 10, "mile", "-3.107", "6.835" }, LimitCase { 10, "ft", "-16404.199", "36089.239" }));

struct InputCase
{
    const char* name;
    int list; ///< unit list of the input
    const char* unit;
    int box; ///< Text1, Text2 or Text10
    const char* text;
    bool accepted;
};

class InputCheck : public ::testing::TestWithParam<InputCase>
{
};

TEST_P(InputCheck, ComparesWithTheShownLimitsBothEndsIncluded)
{
    const InputCase& c = GetParam();
    AmbientWindow window = OpenedWindow();
    if (c.box == 10)
        window.ClickOption(9);
    SelectItem(window, c.list, c.unit);
    window.EditText(c.box, c.text);
    const ValueBox& box = Box(window, c.box);
    EXPECT_EQ(box.text, c.text) << "the input keeps its text";
    if (c.accepted) {
        EXPECT_EQ(box.background, Background::Standard);
        EXPECT_EQ(window.controls().List1.background, Background::LightOrange);
        EXPECT_NE(window.controls().Text3.text, "Error");
    } else {
        EXPECT_EQ(box.background, Background::Red);
        EXPECT_EQ(window.controls().List1.lines, kOutOfRangeLines);
        EXPECT_EQ(window.controls().List1.background, Background::Red);
    }
}

INSTANTIATE_TEST_SUITE_P(Temperature, InputCheck,
    ::testing::Values(InputCase { "AtShownMinimum", 1, "C", 1, "-100", true },
        InputCase { "BelowShownMinimum", 1, "C", 1, "-100.001", false },
        InputCase { "KelvinAtShownMinimum", 1, "K", 1, "173.15", true },
        InputCase { "FahrenheitAboveShownMaximum", 1, "F", 1, "212.0001", false },
        InputCase { "DigitsThenLetters", 1, "C", 1, "12abc", false },
        InputCase { "Empty", 1, "C", 1, "", false }, InputCase { "Sign", 1, "C", 1, "-", false },
        InputCase { "Exponent", 1, "K", 1, "2.9815e2", true }),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(Pressure, InputCheck,
    ::testing::Values(
        // 7500.638 mm Hg is 1000000.06 Pa, above the SI maximum: the shown limit decides.
        InputCase { "MillimetreMercuryAtShownMaximum", 2, "mm Hg", 2, "7500.638", true },
        InputCase { "MillimetreMercuryAboveShownMaximum", 2, "mm Hg", 2, "7500.639", false },
        InputCase { "PascalAtMinimum", 2, "Pa", 2, "5000", true },
        InputCase { "PascalBelowMinimum", 2, "Pa", 2, "4999.99", false },
        InputCase { "Letters", 2, "kPa", 2, "abc", false },
        InputCase { "DigitsThenLetters", 2, "kPa", 2, "12abc", false }),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(Altitude, InputCheck,
    ::testing::Values(
        // Empty texts and letters read as 0, which lies inside the altitude limits: still refused.
        InputCase { "Empty", 10, "m", 10, "", false }, InputCase { "Letters", 10, "m", 10, "high", false },
        InputCase { "Zero", 10, "m", 10, "0", true },
        InputCase { "MileAtShownMaximum", 10, "mile", 10, "6.835", true },
        InputCase { "FootAboveShownMaximum", 10, "ft", 10, "36089.24", false }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AmbientPressure, FiveThousandPascalIsAboveTheAltitudeRangeAndTheRunGoesOn)
{
    AmbientWindow window = OpenedWindow();
    SelectItem(window, 2, "Pa");
    window.EditText(2, "5000");
    const AmbientControls& c = window.controls();
    EXPECT_EQ(c.Text10.text, "Out of Range");
    EXPECT_EQ(c.Text10.font_size, 7);
    EXPECT_GT(window.state().altitude, 11000);
    EXPECT_EQ(window.state().pressure, 5000);
    // The humidity state is still solved: 50 % at 25 C and 5000 Pa is a humidity ratio of about 0.29.
    EXPECT_EQ(c.List1.background, Background::LightOrange);
    EXPECT_NEAR(window.state().humidity_ratio, 0.62198 * 1584.87 / (5000 - 1584.87), 1e-4);
    // The next accepted pressure brings the normal font back.
    window.EditText(2, "101325");
    EXPECT_EQ(c.Text10.text, "0");
    EXPECT_EQ(c.Text10.font_size, 9);
}

TEST(AmbientPressure, DerivedAltitudeIsADoubleQuotientOfTheSinglePrecisionAltitude)
{
    AmbientWindow window = OpenedWindow();
    window.EditText(2, "26.4");
    const float altitude = AltitudeFromPressure(26400);
    EXPECT_EQ(window.state().altitude, double(altitude));
    EXPECT_EQ(window.state().pressure, 26400);
    ASSERT_GT(altitude, 10000.f);
    // About 10000 m with 3 decimals: eight significant digits, more than a single-precision text has.
    const std::string metres = window.controls().Text10.text;
    EXPECT_EQ(metres.size(), 9u) << metres;
    EXPECT_EQ(metres[5], '.') << metres;
    EXPECT_NEAR(NumberValue(metres), altitude, 0.0005) << metres;
    SelectItem(window, 10, "ft");
    const std::string feet = window.controls().Text10.text;
    EXPECT_EQ(feet.size(), 9u) << feet;
    EXPECT_NEAR(NumberValue(feet), altitude / 0.3048, 0.0005) << feet;
    SelectItem(window, 10, "km");
    EXPECT_EQ(window.controls().Text10.text.size(), 9u) << "10.xxxxxx, six decimals";
}

TEST(AmbientAltitude, ZeroMetresGivesTheStandardSeaLevelPressureInThePressureUnit)
{
    AmbientWindow window = OpenedWindow();
    window.ClickOption(9);
    window.EditText(10, "0");
    EXPECT_EQ(window.state().pressure, 101325);
    EXPECT_EQ(window.controls().Text2.text, "101.325");
    SelectItem(window, 2, "PSI");
    EXPECT_EQ(window.controls().Text2.text, "14.6959");
    SelectItem(window, 2, "mm H2O");
    EXPECT_EQ(window.controls().Text2.text, "10272.4");
    EXPECT_EQ(window.controls().Text2.background, Background::Cyan);
    EXPECT_EQ(window.controls().Text10.background, Background::Standard);
}

TEST(AmbientAltitude, DerivedPressureIsHeldInSinglePrecision)
{
    AmbientWindow window = OpenedWindow();
    window.ClickOption(9);
    window.EditText(10, "1500");
    const float pressure = PressureFromAltitude(1500);
    EXPECT_EQ(window.state().pressure, double(pressure));
    EXPECT_EQ(window.state().altitude, 1500);
    SelectItem(window, 2, "Pa");
    // The single-precision pressure written as a double quotient with 0 decimals.
    EXPECT_EQ(window.controls().Text2.text, std::to_string(std::lround(double(pressure))));
}

TEST(AmbientRefusal, RefusedTemperatureShowsErrorEverywhereButTheUsersInputs)
{
    AmbientWindow window = OpenedWindow();
    const AmbientState before = window.state();
    const std::string altitude_text = window.controls().Text10.text;
    window.EditText(1, "100.5");
    const AmbientControls& c = window.controls();
    EXPECT_EQ(c.Text1.background, Background::Red);
    for (const int box : kHumidityBoxes) {
        if (box == 4)
            EXPECT_EQ(Box(window, box).text, "50") << "the selected humidity box keeps the user's text";
        else
            EXPECT_EQ(Box(window, box).text, "Error") << "Text" << box;
    }
    for (const int box : { 12, 13, 14, 15, 16 })
        EXPECT_EQ(Box(window, box).text, "Error") << "Text" << box;
    EXPECT_EQ(c.List1.lines, kOutOfRangeLines);
    EXPECT_EQ(c.List1.background, Background::Red);
    // The pressure and altitude are not reached.
    EXPECT_EQ(c.Text2.text, "101.325");
    EXPECT_EQ(c.Text10.text, altitude_text);
    EXPECT_EQ(window.state(), before) << "a refused temperature changes nothing of the state";
}

TEST(AmbientRefusal, RefusedPressureKeepsEverythingButTheTemperature)
{
    AmbientWindow window = OpenedWindow();
    window.EditText(2, "1001");
    AmbientState expected = window.state();
    window.EditText(1, "30");
    const AmbientControls& c = window.controls();
    EXPECT_EQ(c.Text2.background, Background::Red);
    EXPECT_EQ(c.Text10.text, "Error");
    EXPECT_EQ(c.Text1.background, Background::Standard);
    EXPECT_EQ(c.Text3.text, "Error");
    EXPECT_EQ(c.List1.lines, kOutOfRangeLines);
    expected.temperature = 303.15f;
    EXPECT_EQ(window.state(), expected);
}

TEST(AmbientRefusal, RefusedAltitudeWritesErrorIntoThePressureBox)
{
    AmbientWindow window = OpenedWindow();
    window.ClickOption(9);
    const AmbientState before = window.state();
    window.EditText(10, "11000.001");
    const AmbientControls& c = window.controls();
    EXPECT_EQ(c.Text10.background, Background::Red);
    EXPECT_EQ(c.Text2.text, "Error");
    EXPECT_EQ(c.Text2.background, Background::Cyan);
    for (const int box : { 3, 5, 6, 7, 8, 9, 11 })
        EXPECT_EQ(Box(window, box).text, "Error") << "Text" << box;
    EXPECT_EQ(c.List1.lines, kOutOfRangeLines);
    EXPECT_EQ(window.state(), before);
}

TEST(AmbientRefusal, UnitChangeWhileTheTemperatureIsRefusedStillRewritesThePressureLimits)
{
    AmbientWindow window = OpenedWindow();
    window.EditText(1, "abc");
    SelectItem(window, 2, "Bar");
    EXPECT_EQ(window.controls().Label7.caption, ".05");
    EXPECT_EQ(window.controls().Label6.caption, "10");
    EXPECT_EQ(window.controls().Text1.background, Background::Red);
    EXPECT_EQ(window.controls().List1.lines, kOutOfRangeLines);
}

TEST(AmbientRefusal, CorrectingTheRefusedInputBringsTheListingBack)
{
    AmbientWindow window = OpenedWindow();
    const AmbientControls expected = window.controls();
    window.EditText(1, "-100.001");
    ASSERT_EQ(window.controls().List1.lines, kOutOfRangeLines);
    window.EditText(1, "25");
    EXPECT_EQ(window.controls(), expected);
}

} // namespace
} // namespace humidora
