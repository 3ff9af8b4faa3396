// Physical invariants of the ambient calculation over a grid of states: every humidity parameter given
// in turn, each other parameter read back as shown and given instead, and the first one must come back
// within what the shown rounding allows; relative humidity, dew point <= wet bulb <= dry bulb and the
// composition sums after every completed run; and the inverse saturation routine over its whole range.
#include "ambient_invariants.h"
#include "calc/units/number_text.h"
#include "calc/units/units.h"
#include "calc/windows/ambient_window.h"
#include "core/properties.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace humidora {
namespace {

using checks::BoxOf;

constexpr int kHumidityOptions[] = { 1, 2, 3, 4, 5, 6, 7, 10 };

const char* OptionName(int option)
{
    switch (option) {
    case 1:
        return "HumidityRatio";
    case 2:
        return "RelativeHumidity";
    case 3:
        return "DewPoint";
    case 4:
        return "WetBulb";
    case 5:
        return "AbsoluteHumidity";
    case 6:
        return "MoleFraction";
    case 7:
        return "MassFraction";
    default:
        return "PartialPressure";
    }
}

/// Decimals with which the window shows the humidity parameter of `option` in unit `unit`. NumberText
/// drops trailing zeros, so they cannot be read off the text itself.
int ShownDecimals(int option, const std::string& unit)
{
    switch (option) {
    case 1:
        return unit == "(g moisture)/(kg dry air)" ? 4 : 7;
    case 2:
    case 3:
    case 4:
        return 3;
    case 5:
        return unit == "(g moisture)/m^3" ? 3 : 6;
    case 6:
    case 7:
        return 4;
    default:
        for (const PressureUnit& pressure : kPressureUnits) {
            if (pressure.key == unit)
                return pressure.decimals;
        }
        ADD_FAILURE() << "unknown pressure unit " << unit;
        return 0;
    }
}

/// An ambient state of the grid: temperature, and pressure or altitude, typed in a unit system.
struct Ambient
{
    const char* name;
    bool british;
    const char* temperature;
    bool altitude;
    const char* pressure_or_altitude;
};

void PrintTo(const Ambient& ambient, std::ostream* out)
{
    *out << ambient.name;
}

// Cold to hot, low to high pressure, and altitudes from below sea level to the top of the range.
constexpr Ambient kAmbients[] = {
    { "Minus60C_SeaLevel", false, "-60", false, "101.325" },
    { "Minus20C_70kPa", false, "-20", false, "70" },
    { "Minus2C_Altitude3000m", false, "-2", true, "3000" },
    { "Plus1C_SeaLevel", false, "1", false, "101.325" },
    { "Plus25C_SeaLevel", false, "25", false, "101.325" },
    { "Plus25C_AltitudeMinus4000m", false, "25", true, "-4000" },
    { "Plus35C_Altitude11000m", false, "35", true, "11000" },
    { "Plus50C_500kPa", false, "50", false, "500" },
    { "Plus70C_40kPa", false, "70", false, "40" },
    { "Plus95C_1000kPa", false, "95", false, "1000" },
    { "British77F_SeaLevel", true, "77", false, "14.6957" },
    { "British14F_Altitude5000ft", true, "14", true, "5000" },
};

// The relative humidities from which each state is first given.
constexpr const char* kLevels[] = { "15", "85" };

// Types `text` into the box of `option` as a user does after selecting the whole text: the box is empty
// for a moment, so the text is always an edit, also when it equals what the box showed.
void Give(AmbientWindow& window, int option, const std::string& text)
{
    window.ClickOption(option);
    window.EditText(BoxOfOption(option), "");
    window.EditText(BoxOfOption(option), text);
}

// Opens the window in the unit system and formulation of the case, at its temperature and its pressure
// or altitude.
void OpenAt(AmbientWindow& window, bool hyland_wexler, const Ambient& ambient)
{
    window.Open();
    if (ambient.british)
        window.ChooseBritish();
    if (hyland_wexler)
        window.ChooseHylandWexler();
    window.EditText(1, ambient.temperature);
    Give(window, ambient.altitude ? 9 : 8, ambient.pressure_or_altitude);
}

const std::string& TextOf(const AmbientWindow& window, int option)
{
    return BoxOf(window.controls(), BoxOfOption(option)).text;
}

const UnitList& UnitOf(const AmbientWindow& window, int option)
{
    for (const QuantityControls& quantity : kQuantities) {
        if (quantity.option && BoxOfOption(option) > 0
            && &(window.controls().*(quantity.box)) == &BoxOf(window.controls(), BoxOfOption(option)))
            return window.controls().*(quantity.list);
    }
    static const UnitList none;
    return none;
}

const LimitLabel& LimitOf(const AmbientWindow& window, int option, bool maximum)
{
    for (const QuantityControls& quantity : kQuantities) {
        if (quantity.option
            && &(window.controls().*(quantity.box)) == &BoxOf(window.controls(), BoxOfOption(option)))
            return window.controls().*(maximum ? quantity.maximum : quantity.minimum);
    }
    static const LimitLabel none;
    return none;
}

/// The shown value of a parameter; "< min" (a dew point below the range of the property routines) reads
/// as minus infinity, the end it stands for.
std::optional<double> ShownValue(const std::string& text)
{
    if (text == "< min")
        return -std::numeric_limits<double>::infinity();
    if (!IsNumberText(text))
        return std::nullopt;
    return NumberValue(text);
}

void ExpectPhysicalInvariants(const AmbientWindow& window, int option)
{
    ASSERT_TRUE(checks::Completed(window.controls()));
    const checks::Problems window_problems = checks::WindowProblems(window.controls(), {});
    EXPECT_TRUE(window_problems.empty()) << checks::Joined(window_problems);
    const checks::Problems physical = checks::PhysicalProblems(window.controls(), window.state(), option);
    EXPECT_TRUE(physical.empty()) << checks::Joined(physical);
}

using GridCase = std::tuple<bool, int, Ambient>; // Hyland-Wexler, given option, ambient state

class RoundTrip : public ::testing::TestWithParam<GridCase>
{
};

// The state is given by parameter A (its shown text a0 typed in). For every other parameter B the shown
// text b is typed instead, and A must come back as a0 within the rounding of b.
//
// Tolerance, from the shown decimals and the conditioning: the state behind a0 has a true B within half a
// unit of b's last shown decimal (h). Every humidity parameter grows with the vapour pressure at a fixed
// temperature and pressure, so A, as a function of B, is monotone: the true a0 lies between A(b - h) and
// A(b + h). Those two are given to the window too, and their shown A values (each rounded by at most half
// a unit of A's last decimal, uA) bracket a0. So a0 must lie in [A_lo - uA, A_hi + uA], and the A shown
// for b itself inside [A_lo, A_hi]. 1e-6 relative allows for the single-precision values (the vapour
// pressure, the absolute humidity) on the way. Where b -/+ h falls outside B's limit labels the window
// refuses it; that end is left open, as the shown rounding cannot tell the state from the end of the range.
TEST_P(RoundTrip, EveryOtherParameterGivesTheFirstOneBackWithinItsShownRounding)
{
    const auto& [hyland_wexler, given, ambient] = GetParam();
    for (const char* level : kLevels) {
        SCOPED_TRACE(std::string("from a relative humidity of ") + level);
        AmbientWindow window;
        OpenAt(window, hyland_wexler, ambient);
        Give(window, 2, level);
        ASSERT_TRUE(checks::Completed(window.controls())) << "the grid holds only states below saturation";
        ExpectPhysicalInvariants(window, 2);

        const std::string a0 = TextOf(window, given);
        if (a0 == "< min")
            continue; // a dew point below the routines' range cannot be given
        ASSERT_TRUE(IsNumberText(a0)) << a0;
        Give(window, given, a0);
        ASSERT_TRUE(checks::Completed(window.controls())) << "giving " << a0 << " was refused";
        ExpectPhysicalInvariants(window, given);
        const double a = NumberValue(a0);
        const double half_a = 0.5 * std::pow(10.0, -ShownDecimals(given, UnitOf(window, given).text()));
        const double slack = 1e-6 * std::fabs(a) + 1e-12;

        for (const int other : kHumidityOptions) {
            if (other == given)
                continue;
            const std::string b = TextOf(window, other);
            if (b == "< min")
                continue;
            SCOPED_TRACE(std::string("given ") + OptionName(given) + " = " + a0 + ", then "
                + OptionName(other) + " = " + b);
            ASSERT_TRUE(IsNumberText(b)) << b;
            const int decimals = ShownDecimals(other, UnitOf(window, other).text());
            const double half_b = 0.5 * std::pow(10.0, -decimals);
            const double low_label = NumberValue(LimitOf(window, other, false).caption);
            const double high_label = NumberValue(LimitOf(window, other, true).caption);

            // A for a value of B, as shown, or nothing when the window refuses that value.
            const auto a_for = [&](double value) -> std::optional<double> {
                if (value < low_label || value > high_label)
                    return std::nullopt;
                Give(window, other, NumberText(value, decimals + 2));
                if (!checks::Completed(window.controls()))
                    return std::nullopt;
                ExpectPhysicalInvariants(window, other);
                return ShownValue(TextOf(window, given));
            };
            const double infinity = std::numeric_limits<double>::infinity();
            const double value_b = NumberValue(b);
            const std::optional<double> a_low = a_for(value_b - half_b);
            const std::optional<double> a_high = a_for(value_b + half_b);
            const double low = a_low ? *a_low : -infinity;
            const double high = a_high ? *a_high : infinity;

            Give(window, other, b);
            ASSERT_TRUE(checks::Completed(window.controls()));
            ExpectPhysicalInvariants(window, other);
            const std::optional<double> a_back = ShownValue(TextOf(window, given));
            ASSERT_TRUE(a_back.has_value()) << TextOf(window, given);
            EXPECT_LE(low, high + slack) << "not monotone";
            EXPECT_GE(a, low - half_a - slack) << "A(b - h) = " << low;
            EXPECT_LE(a, high + half_a + slack) << "A(b + h) = " << high;
            EXPECT_GE(*a_back, low - slack) << TextOf(window, given);
            EXPECT_LE(*a_back, high + slack) << TextOf(window, given);

            Give(window, given, a0);
            ASSERT_TRUE(checks::Completed(window.controls()));
        }
    }
}

std::string GridName(const ::testing::TestParamInfo<GridCase>& info)
{
    const auto& [hyland_wexler, given, ambient] = info.param;
    return std::string(hyland_wexler ? "HylandWexler_" : "IAPWS_") + OptionName(given) + "_" + ambient.name;
}

INSTANTIATE_TEST_SUITE_P(Grid, RoundTrip,
    ::testing::Combine(
        ::testing::Bool(), ::testing::ValuesIn(kHumidityOptions), ::testing::ValuesIn(kAmbients)),
    GridName);

// The routes that cap the relative humidity show at most 100 even when their input is typed at the
// rounded-up maximum label, the value furthest above saturation the window accepts.
class CappedRoute : public ::testing::TestWithParam<std::tuple<bool, int, Ambient>>
{
};

TEST_P(CappedRoute, AtItsMaximumLabelShowsAtMostSaturation)
{
    const auto& [hyland_wexler, given, ambient] = GetParam();
    AmbientWindow window;
    OpenAt(window, hyland_wexler, ambient);
    Give(window, given, LimitOf(window, given, true).caption);
    ASSERT_TRUE(checks::Completed(window.controls()));
    const double rh = NumberValue(window.controls().Text4.text);
    EXPECT_LE(rh, 100);
    EXPECT_GE(rh, 99) << "the maximum label is the saturation state";
    ExpectPhysicalInvariants(window, given);
    Give(window, given, LimitOf(window, given, false).caption);
    ASSERT_TRUE(checks::Completed(window.controls()));
    ExpectPhysicalInvariants(window, given);
}

std::string CappedName(const ::testing::TestParamInfo<GridCase>& info)
{
    return GridName(info);
}

INSTANTIATE_TEST_SUITE_P(Grid, CappedRoute,
    ::testing::Combine(::testing::Bool(), ::testing::Values(1, 3, 4), ::testing::ValuesIn(kAmbients)),
    CappedName);

// SaturationTemperature inverts SaturationPressure to within 1e-6 K over the whole range of the routines,
// for both formulations: the IF97 backward equation above the triple-point pressure and the 1e-6 K
// bisection elsewhere. 173.15 K itself is left out: there the pressure is that of the bracket's lower end,
// the bisection's sign product is zero at every step, and by the rule of the algorithm the bracket then
// always moves its lower end up, so it ends at the upper end. Every temperature above it is covered, down
// to 173.15 K + 1e-9 K.
class SaturationInverse : public ::testing::TestWithParam<SaturationMethod>
{
};

TEST_P(SaturationInverse, TemperatureOfTheSaturationPressureIsTheTemperature)
{
    const SaturationMethod method = GetParam();
    std::vector<double> temperatures;
    for (int step = 1; step <= 30000; ++step)
        temperatures.push_back(173.15 + step * 0.01);
    // Next to the lower end, the formulations' switch temperatures and the triple point, and the ends of
    // the ambient range, where a step of 0.01 K might miss a branch.
    for (const double t : { 173.15 + 1e-9, 173.15 + 1e-6, 173.1501, 273.15 - 1e-7, 273.15, 273.15 + 1e-7,
             273.16 - 1e-7, 273.16, 273.16 + 1e-7, 298.149993896484375, 373.15, 473.15 - 1e-7, 473.15 })
        temperatures.push_back(t);
    int failures = 0;
    for (const double t : temperatures) {
        const double p = SaturationPressure(t, method);
        const double back = SaturationTemperature(p, method);
        if (!(std::fabs(back - t) <= 1e-6) && ++failures <= 10)
            ADD_FAILURE() << "T = " << NumberText(t, 9) << " K: p = " << p << " Pa gives "
                          << NumberText(back, 9) << " K";
    }
    EXPECT_EQ(failures, 0);
}

TEST_P(SaturationInverse, LowestTemperatureIsTheDocumentedExceptionOfTheBisection)
{
    // Pins the exclusion above: should the bisection ever treat a zero sign product differently, this
    // test tells that 173.15 K can join the range.
    const SaturationMethod method = GetParam();
    const double back = SaturationTemperature(SaturationPressure(173.15, method), method);
    EXPECT_GT(back, 173.15 + 1) << "the bisection no longer walks to the upper end";
}

// Found by the inverse above: a pressure whose temperature is exactly a midpoint of the bisection made
// the sign product zero, the search moved its lower end onto the root and walked to the bracket's upper
// end (the saturation window showed 200 C by Hyland-Wexler for the saturation pressure at 50 C).
TEST_P(SaturationInverse, PressureAtABisectionMidpointGivesThatMidpoint)
{
    const SaturationMethod method = GetParam();
    const double hi = method == kIapws ? 273.16 : 473.15;
    const double first = (173.15 + hi) * 0.5;
    const double second = (173.15 + first) * 0.5;
    for (const double mid : { first, second, (first + hi) * 0.5 }) {
        if (method == kIapws && SaturationPressure(mid, method) > 611.657)
            continue; // the closed-form branch
        EXPECT_NEAR(SaturationTemperature(SaturationPressure(mid, method), method), mid, 1e-6) << mid;
    }
}

INSTANTIATE_TEST_SUITE_P(Formulation, SaturationInverse, ::testing::Values(kIapws, kHylandWexler),
    [](const ::testing::TestParamInfo<SaturationMethod>& info) {
        return std::string(info.param == kIapws ? "IAPWS" : "HylandWexler");
    });

// WetBulbTemperature inverts HumidityRatioFromWetBulb to within 1e-6 K over the whole bracket, from
// 173.15 K to the dry bulb, at temperatures and pressures where the dry bulb lies below saturation.
class WetBulbInverse : public ::testing::TestWithParam<SaturationMethod>
{
};

TEST_P(WetBulbInverse, WetBulbOfTheHumidityRatioIsTheWetBulb)
{
    const SaturationMethod method = GetParam();
    int failures = 0;
    for (const double dry_C : { -70.0, -20.0, 0.005, 25.0, 60.0, 95.0 }) {
        for (const double pressure : { 20000.0, 101325.0, 1000000.0 }) {
            const double dry = dry_C + 273.15;
            if (SaturationPressure(dry, method) >= pressure)
                continue;
            for (double wet = 173.15 + 0.0137; wet < dry; wet += 0.0731) {
                const double w = HumidityRatioFromWetBulb(wet, dry, pressure, method);
                const double back = WetBulbTemperature(w, dry, pressure, method);
                if (!(std::fabs(back - wet) <= 1e-6) && ++failures <= 10)
                    ADD_FAILURE() << "dry " << dry << " K, " << pressure << " Pa, wet " << wet << " K gives "
                                  << back;
            }
        }
    }
    EXPECT_EQ(failures, 0);
}

// Found with the saturation case: a humidity ratio that the relation reaches exactly at a bisection
// midpoint sent the wet bulb to the dry bulb.
TEST_P(WetBulbInverse, HumidityRatioAtABisectionMidpointGivesThatMidpoint)
{
    const SaturationMethod method = GetParam();
    const double dry = 298.15, pressure = 101325;
    const double first = (173.15 + dry) * 0.5;
    for (const double mid : { first, (first + dry) * 0.5 }) {
        const double w = HumidityRatioFromWetBulb(mid, dry, pressure, method);
        EXPECT_NEAR(WetBulbTemperature(w, dry, pressure, method), mid, 1e-6) << mid;
    }
}

INSTANTIATE_TEST_SUITE_P(Formulation, WetBulbInverse, ::testing::Values(kIapws, kHylandWexler),
    [](const ::testing::TestParamInfo<SaturationMethod>& info) {
        return std::string(info.param == kIapws ? "IAPWS" : "HylandWexler");
    });

} // namespace
} // namespace humidora
