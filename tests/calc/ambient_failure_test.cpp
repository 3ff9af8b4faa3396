// Arithmetic failures no accepted input reaches: provoked by swapping a property routine, they end the run
// in the out-of-range report with nothing marked red, and keep what was written before them.
#include "ambient_testing.h"
#include "calc/ambient/ambient_phases.h"
#include "calc/ambient/calculate_ambient.h"

#include <gtest/gtest.h>
#include <limits>
#include <set>

namespace humidora {
namespace {

using testing::Box;
using testing::kHumidityBoxes;
using testing::kOutOfRangeLines;
using testing::OpenedWindow;

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double OverflowingSaturationTemperature(double, SaturationMethod)
{
    return kInfinity;
}

// The first wet bulb of a run (that of dry air, for the range label) succeeds; the next one is invalid.
int wet_bulb_calls = 0;
double SecondWetBulbInvalid(
    double humidity_ratio, double dry_bulb_K, double pressure_Pa, SaturationMethod method)
{
    if (++wet_bulb_calls == 1)
        return WetBulbTemperature(humidity_ratio, dry_bulb_K, pressure_Pa, method);
    return kNaN;
}

float InvalidAltitude(double)
{
    return std::numeric_limits<float>::quiet_NaN();
}

float OverflowingPressure(double)
{
    return std::numeric_limits<float>::infinity();
}

// A saturation pressure beyond the single-precision range below 280 K, the real one above.
double HugeBelow280K(double temperature_K, SaturationMethod method)
{
    return temperature_K < 280 ? 1e300 : SaturationPressure(temperature_K, method);
}

struct Harness
{
    AmbientControls controls;
    AmbientState state;
};

// The start-up window with `option` selected and the seven other humidity boxes marked, ready for a run
// with swapped routines.
Harness Prepared(int option)
{
    AmbientWindow window = OpenedWindow();
    window.ClickOption(option);
    for (const int box : kHumidityBoxes) {
        if (box != BoxOfOption(option))
            window.EditText(box, "before");
    }
    return { window.controls(), window.state() };
}

// The computed humidity boxes the run wrote (the box of the given option holds the input).
std::set<int> WrittenBoxes(const AmbientControls& controls, int option)
{
    std::set<int> written;
    for (const int box : kHumidityBoxes) {
        if (box == BoxOfOption(option))
            continue;
        const std::string& text = (controls.*(kValueBoxes[static_cast<std::size_t>(box - 1)].box)).text;
        if (text != "before")
            written.insert(box);
    }
    return written;
}

void ExpectOutOfRangeReportWithNothingRed(const AmbientControls& controls)
{
    EXPECT_EQ(controls.List1.lines, kOutOfRangeLines);
    EXPECT_EQ(controls.List1.background, Background::Red);
    for (const ValueBox* box :
        { &controls.Text12, &controls.Text13, &controls.Text14, &controls.Text15, &controls.Text16 })
        EXPECT_EQ(box->text, "Error");
    EXPECT_TRUE(testing::NothingRed(controls));
}

struct WriteOrderCase
{
    const char* name;
    int option;
    std::set<int> written_before_dew_point;
    std::set<int> written_before_wet_bulb;
};

class FailureInsideARoute : public ::testing::TestWithParam<WriteOrderCase>
{
};

TEST_P(FailureInsideARoute, KeepsTheBoxesWrittenBeforeTheDewPoint)
{
    const WriteOrderCase& c = GetParam();
    Harness h = Prepared(c.option);
    PropertyRoutines routines;
    routines.saturation_temperature = &OverflowingSaturationTemperature;
    CalculateAmbient(h.controls, h.state, routines);
    if (c.option == 3) {
        // The dew point is given: no dew point is computed and the run completes.
        EXPECT_EQ(h.controls.List1.background, Background::LightOrange);
        return;
    }
    EXPECT_EQ(WrittenBoxes(h.controls, c.option), c.written_before_dew_point);
    ExpectOutOfRangeReportWithNothingRed(h.controls);
}

TEST_P(FailureInsideARoute, KeepsTheBoxesWrittenBeforeTheWetBulb)
{
    const WriteOrderCase& c = GetParam();
    Harness h = Prepared(c.option);
    PropertyRoutines routines;
    routines.wet_bulb_temperature = &SecondWetBulbInvalid;
    wet_bulb_calls = 0;
    CalculateAmbient(h.controls, h.state, routines);
    if (c.option == 4) {
        EXPECT_EQ(h.controls.List1.background, Background::LightOrange);
        return;
    }
    EXPECT_EQ(WrittenBoxes(h.controls, c.option), c.written_before_wet_bulb);
    ExpectOutOfRangeReportWithNothingRed(h.controls);
}

INSTANTIATE_TEST_SUITE_P(EveryRoute, FailureInsideARoute,
    ::testing::Values(WriteOrderCase { "HumidityRatio", 1, { 4 }, { 4, 5 } },
        WriteOrderCase { "RelativeHumidity", 2, { 3 }, { 3, 5 } },
        WriteOrderCase { "DewPoint", 3, {}, { 3, 4 } }, WriteOrderCase { "WetBulb", 4, { 3, 4 }, {} },
        WriteOrderCase { "AbsoluteHumidity", 5, { 3, 4, 8, 9 }, {} },
        WriteOrderCase { "PartialPressure", 10, {}, {} }, WriteOrderCase { "MoleFraction", 6, {}, {} },
        WriteOrderCase { "MassFraction", 7, {}, {} }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ArithmeticFailure, StateKeepsTheFieldsWrittenBeforeIt)
{
    Harness h = Prepared(2);
    const AmbientState before = h.state;
    h.controls.Text4.text = "60";
    PropertyRoutines routines;
    routines.saturation_temperature = &OverflowingSaturationTemperature;
    CalculateAmbient(h.controls, h.state, routines);
    EXPECT_EQ(h.state.relative_humidity, 0.6);
    EXPECT_GT(h.state.vapour_pressure, before.vapour_pressure);
    EXPECT_GT(h.state.humidity_ratio, before.humidity_ratio);
    EXPECT_EQ(h.state.dew_point, before.dew_point);
    EXPECT_EQ(h.state.water_mole_fraction, before.water_mole_fraction);
    EXPECT_EQ(h.state.gas_constant, before.gas_constant);
    EXPECT_EQ(h.state.n2_volume_fraction, before.n2_volume_fraction);
    EXPECT_EQ(h.controls.Text4.background, Background::Standard);
}

TEST(ArithmeticFailure, InvalidDerivedAltitude)
{
    Harness h = Prepared(2);
    const std::string altitude_text = h.controls.Text10.text;
    PropertyRoutines routines;
    routines.altitude_from_pressure = &InvalidAltitude;
    CalculateAmbient(h.controls, h.state, routines);
    ExpectOutOfRangeReportWithNothingRed(h.controls);
    EXPECT_EQ(h.controls.Text2.background, Background::Standard) << "the pressure itself was accepted";
    EXPECT_EQ(h.controls.Text10.text, altitude_text) << "never \"nan\"";
}

TEST(ArithmeticFailure, DerivedPressureBeyondSinglePrecision)
{
    AmbientWindow window = OpenedWindow();
    window.ClickOption(9);
    Harness h { window.controls(), window.state() };
    const double pressure_before = h.state.pressure;
    PropertyRoutines routines;
    routines.pressure_from_altitude = &OverflowingPressure;
    CalculateAmbient(h.controls, h.state, routines);
    ExpectOutOfRangeReportWithNothingRed(h.controls);
    EXPECT_EQ(h.state.pressure, pressure_before);
    EXPECT_EQ(h.controls.Text2.text, "101.325") << "never \"inf\"";
}

TEST(ArithmeticFailure, VapourPressureBeyondSinglePrecision)
{
    Harness h = Prepared(3);
    h.controls.Text5.text = "5";
    PropertyRoutines routines;
    routines.saturation_pressure = &HugeBelow280K;
    CalculateAmbient(h.controls, h.state, routines);
    ExpectOutOfRangeReportWithNothingRed(h.controls);
    EXPECT_EQ(h.state.dew_point, 278.15) << "stored before the failing step";
    EXPECT_EQ(WrittenBoxes(h.controls, 3), std::set<int> {});
}

TEST(ArithmeticFailure, InTheRangesOfTheSaturationState)
{
    Harness h = Prepared(2);
    h.controls.Combo11.selected = h.controls.Combo11.IndexOf("Pa");
    const std::string humidity_ratio_maximum = h.controls.Label12.caption;
    PropertyRoutines routines;
    routines.wet_bulb_temperature = [](double, double, double, SaturationMethod) { return kNaN; };
    CalculateAmbient(h.controls, h.state, routines);
    ExpectOutOfRangeReportWithNothingRed(h.controls);
    EXPECT_EQ(h.controls.Label20.caption, "3170") << "written by this run before the failure";
    EXPECT_EQ(h.controls.Label12.caption, humidity_ratio_maximum);
}

TEST(ArithmeticFailure, NextCompleteRunRestoresTheWindow)
{
    AmbientWindow window = OpenedWindow();
    Harness h { window.controls(), window.state() };
    PropertyRoutines routines;
    routines.saturation_temperature = &OverflowingSaturationTemperature;
    CalculateAmbient(h.controls, h.state, routines);
    ASSERT_EQ(h.controls.List1.lines, kOutOfRangeLines);
    CalculateAmbient(h.controls, h.state);
    EXPECT_EQ(h.controls, window.controls());
    EXPECT_EQ(h.state, window.state());
}

TEST(CheckedArithmetic, RefusesWhatWouldNotBeANumber)
{
    using namespace ambient;
    EXPECT_THROW(Quotient(1, 0), ArithmeticFailure);
    EXPECT_THROW(Quotient(0, 0), ArithmeticFailure);
    EXPECT_THROW(Quotient(1e308, 1e-308), ArithmeticFailure);
    EXPECT_THROW(Finite(kNaN), ArithmeticFailure);
    EXPECT_THROW(Finite(-kInfinity), ArithmeticFailure);
    EXPECT_THROW(Single(3.5e38), ArithmeticFailure);
    EXPECT_THROW(Single(-3.5e38), ArithmeticFailure);
    EXPECT_EQ(Single(3.4e38), 3.4e38f);
    EXPECT_EQ(Single(298.15), 298.15f);
    EXPECT_EQ(Quotient(1, 4), 0.25);
    EXPECT_EQ(Finite(-0.5), -0.5);
}

} // namespace
} // namespace humidora
