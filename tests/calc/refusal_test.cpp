// Why a run is refused: the calculation names the quantity, the text, the reason and the limits in the
// units the user has chosen, and one sentence says it.
#include "ambient_testing.h"
#include "calc/ambient/calculate_ambient.h"
#include "calc/units/refusal.h"

#include <gtest/gtest.h>
#include <limits>

namespace humidora {
namespace {

using testing::Give;
using testing::OpenedWindow;
using testing::SelectItem;

struct RefusalCase
{
    const char* name;
    void (*prepare)(AmbientWindow& window);
    Refusal expected;
    const char* sentence;
};

const RefusalCase kRefusalCases[] = {
    { "RelativeHumidityAboveMaximum", [](AmbientWindow& w) { w.EditText(4, "120"); },
        { "relative_humidity", "120", RefusalReason::AboveMaximum, "0", "100", "%", 4 },
        "Relative Humidity 120 % is above its maximum of 100 %" },
    { "CommaAsDecimalPoint", [](AmbientWindow& w) { w.EditText(4, "50,5"); },
        { "relative_humidity", "50,5", RefusalReason::NotANumber, "0", "100", "%", 4 },
        "Relative Humidity '50,5' is not a number (the decimal point is '.')" },
    { "Letters", [](AmbientWindow& w) { w.EditText(1, "2x"); },
        { "temperature", "2x", RefusalReason::NotANumber, "-100", "100", "C", 1 },
        "Ambient Temperature '2x' is not a number" },
    { "EmptyTemperature", [](AmbientWindow& w) { w.EditText(1, ""); },
        { "temperature", "", RefusalReason::NotANumber, "-100", "100", "C", 1 },
        "Ambient Temperature is empty: type a number" },
    { "TemperatureBelowMinimum", [](AmbientWindow& w) { w.EditText(1, "-150"); },
        { "temperature", "-150", RefusalReason::BelowMinimum, "-100", "100", "C", 1 },
        "Ambient Temperature -150 C is below its minimum of -100 C" },
    { "BritishTemperatureInItsUnit",
        [](AmbientWindow& w) {
            w.ChooseBritish();
            w.EditText(1, "250");
        },
        { "temperature", "250", RefusalReason::AboveMaximum, "-148", "212", "F", 1 },
        "Ambient Temperature 250 F is above its maximum of 212 F" },
    { "PressureInPsi",
        [](AmbientWindow& w) {
            w.ChooseBritish();
            w.EditText(2, ".5");
        },
        { "pressure", ".5", RefusalReason::BelowMinimum, ".7252", "145.0377", "PSI", 2 },
        "Barometric Pressure .5 PSI is below its minimum of .7252 PSI" },
    { "AltitudeAboveMaximum", [](AmbientWindow& w) { Give(w, 9, "12000"); },
        { "altitude", "12000", RefusalReason::AboveMaximum, "-5000", "11000", "m", 10 },
        "Altitude above Sea Level 12000 m is above its maximum of 11000 m" },
    { "DewPointAboveTheAmbientTemperature", [](AmbientWindow& w) { Give(w, 3, "30"); },
        { "dew_point", "30", RefusalReason::AboveMaximum, "-100", "25", "C", 5 },
        "Dew Point Temperature 30 C is above its maximum of 25 C" },
    // The saturation pressure at 90 C is above 50 kPa: the water could not stay vapour. The limit label of
    // the partial pressure shows Ps, the sentence compares it with the ambient pressure in the same unit.
    { "SaturationReachesTheAmbientPressure",
        [](AmbientWindow& w) {
            w.EditText(2, "50");
            w.EditText(1, "90");
        },
        { "partial_pressure", "70.182", RefusalReason::ReachesAmbientPressure, "", "50", "kPa", 2 },
        "Partial Pressure of Water in Air 70.182 kPa reaches the ambient pressure 50 kPa" },
    { "SaturationInMillimetresOfMercury",
        [](AmbientWindow& w) {
            SelectItem(w, 11, "mm Hg");
            w.EditText(2, "50");
            w.EditText(1, "90");
        },
        { "partial_pressure", "526.412", RefusalReason::ReachesAmbientPressure, "", "375.032", "mm Hg", 2 },
        "Partial Pressure of Water in Air 526.412 mm Hg reaches the ambient pressure 375.032 mm Hg" },
};

class RefusedRun : public ::testing::TestWithParam<RefusalCase>
{
};

TEST_P(RefusedRun, NamesQuantityTextReasonAndLimitsInTheChosenUnit)
{
    const RefusalCase& c = GetParam();
    AmbientWindow window = OpenedWindow();
    c.prepare(window);
    ASSERT_TRUE(window.refusal().has_value());
    EXPECT_EQ(*window.refusal(), c.expected);
    EXPECT_EQ(RefusalSentence(*window.refusal()), c.sentence);
}

INSTANTIATE_TEST_SUITE_P(Refusal, RefusedRun, ::testing::ValuesIn(kRefusalCases),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return info.param.name; });

TEST(RefusedRun, AnAcceptedRunClearsTheRefusal)
{
    AmbientWindow window = OpenedWindow();
    EXPECT_FALSE(window.refusal().has_value());
    window.EditText(4, "120");
    EXPECT_TRUE(window.refusal().has_value());
    window.EditText(4, "60");
    EXPECT_FALSE(window.refusal().has_value());
}

float OverflowingPressure(double)
{
    return std::numeric_limits<float>::infinity();
}

TEST(RefusedRun, AnArithmeticFailureIsNotComputableWithoutABox)
{
    AmbientWindow window = OpenedWindow();
    window.ClickOption(9);
    AmbientControls controls = window.controls();
    AmbientState state = window.state();
    PropertyRoutines routines;
    routines.pressure_from_altitude = &OverflowingPressure;
    const std::optional<Refusal> refusal = CalculateAmbient(controls, state, routines);
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->reason, RefusalReason::NotComputable);
    EXPECT_EQ(refusal->box, 0);
    EXPECT_EQ(RefusalSentence(*refusal),
        "The state cannot be computed: an intermediate result lies beyond the range of the arithmetic");
}

TEST(RefusalReasonName, EveryReasonHasItsOwnName)
{
    const std::pair<RefusalReason, const char*> names[] = {
        { RefusalReason::NotANumber, "not_a_number" },
        { RefusalReason::BelowMinimum, "below_minimum" },
        { RefusalReason::AboveMaximum, "above_maximum" },
        { RefusalReason::ReachesAmbientPressure, "reaches_ambient_pressure" },
        { RefusalReason::UnknownUnit, "unknown_unit" },
        { RefusalReason::NotComputable, "not_computable" },
    };
    for (const auto& [reason, name] : names)
        EXPECT_EQ(RefusalReasonName(reason), name);
}

} // namespace
} // namespace humidora
