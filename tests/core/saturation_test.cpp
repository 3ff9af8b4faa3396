// Reference values of the saturation routines. The expected values are those of the formulations as
// published for this calculator (the digits given there), so the tolerance is half a unit of the last
// digit quoted; exact values are compared exactly.
#include "core/bisection.h"
#include "core/literal_bisection.h"
#include "core/properties.h"

#include <cmath>
#include <gtest/gtest.h>

namespace humidora {
namespace {

struct PressureCase
{
    const char* name;
    double temperature_K;
    SaturationMethod method;
    double expected_Pa;
    double tolerance_Pa;
};

class SaturationPressureReference : public testing::TestWithParam<PressureCase>
{
};

TEST_P(SaturationPressureReference, MatchesPublishedDigits)
{
    const PressureCase& c = GetParam();
    EXPECT_NEAR(SaturationPressure(c.temperature_K, c.method), c.expected_Pa, c.tolerance_Pa);
}

INSTANTIATE_TEST_SUITE_P(Cases, SaturationPressureReference,
    testing::Values(PressureCase { "IapwsIceJustBelowSwitch", 273.15, kIapws, 611.1535, 5e-5 },
        PressureCase { "HylandWexlerWaterAtSwitch", 273.15, kHylandWexler, 611.2129, 5e-5 },
        PressureCase { "IapwsIf97AboveTriplePoint", 273.17, kIapws, 612.1016, 5e-5 },
        PressureCase { "IapwsBoiling", 373.15, kIapws, 101417.978, 5e-4 },
        PressureCase { "HylandWexlerBoiling", 373.15, kHylandWexler, 101418.717, 5e-4 },
        PressureCase { "IapwsIce253", 253.15, kIapws, 103.2390, 5e-5 },
        PressureCase { "HylandWexlerIce253", 253.15, kHylandWexler, 103.2604, 5e-5 },
        PressureCase { "IapwsLowest", 173.15, kIapws, 0.001405, 5e-7 },
        PressureCase { "HylandWexlerLowest", 173.15, kHylandWexler, 0.001405, 5e-7 },
        PressureCase { "IapwsHighest", 473.15, kIapws, 1554671.87, 5e-3 },
        PressureCase { "HylandWexlerHighest", 473.15, kHylandWexler, 1555073.75, 5e-3 },
        PressureCase { "IapwsAmbient25C", 298.149993896484375, kIapws, 3169.7457, 5e-5 },
        PressureCase { "HylandWexlerAmbient25C", 298.149993896484375, kHylandWexler, 3169.2153, 5e-5 }),
    [](const testing::TestParamInfo<PressureCase>& info) { return info.param.name; });

TEST(SaturationPressure, TriplePointIsExactOnTheIceBranch)
{
    // theta = 1 makes every power 1 and the sum exactly 0.
    EXPECT_EQ(SaturationPressure(273.16, kIapws), 611.657);
}

TEST(SaturationPressure, OutsideTheDomainGivesNaNOrZeroWithoutTrapping)
{
    EXPECT_TRUE(std::isnan(SaturationPressure(0, kIapws)));
    EXPECT_TRUE(std::isnan(SaturationPressure(-5, kHylandWexler)));
    EXPECT_TRUE(std::isnan(SaturationPressure(std::nan(""), kIapws)));
    EXPECT_EQ(SaturationPressure(300, 3), 0);
    EXPECT_EQ(SaturationTemperature(1000, 0), 0);
}

struct TemperatureCase
{
    const char* name;
    double pressure_Pa;
    SaturationMethod method;
    double expected_K;
    double tolerance_K;
};

class SaturationTemperatureReference : public testing::TestWithParam<TemperatureCase>
{
};

TEST_P(SaturationTemperatureReference, MatchesPublishedDigits)
{
    const TemperatureCase& c = GetParam();
    EXPECT_NEAR(SaturationTemperature(c.pressure_Pa, c.method), c.expected_K, c.tolerance_K);
}

INSTANTIATE_TEST_SUITE_P(Cases, SaturationTemperatureReference,
    testing::Values(TemperatureCase { "IapwsTriplePointBisects", 611.657, kIapws, 273.1599993, 5e-8 },
        TemperatureCase { "IapwsJustAboveTriplePointIsIf97", 611.658, kIapws, 273.1600225, 5e-8 },
        TemperatureCase { "IapwsAtmosphere", 101325, kIapws, 373.124300, 5e-7 },
        TemperatureCase { "HylandWexlerAtmosphere", 101325, kHylandWexler, 373.124099, 5e-7 },
        TemperatureCase { "Iapws20C", 2339.2, kIapws, 293.149898, 5e-7 },
        TemperatureCase { "HylandWexler20C", 2339.2, kHylandWexler, 293.152735, 5e-7 },
        TemperatureCase { "IapwsIce100Pa", 100, kIapws, 252.818306, 5e-7 },
        TemperatureCase { "HylandWexlerIce100Pa", 100, kHylandWexler, 252.816129, 5e-7 },
        TemperatureCase { "IapwsLowest", 0.0015, kIapws, 173.471780, 5e-7 },
        TemperatureCase { "HylandWexlerLowest", 0.0015, kHylandWexler, 173.470919, 5e-7 },
        TemperatureCase { "IapwsHighest", 1555000, kIapws, 473.160090, 5e-7 },
        TemperatureCase { "HylandWexlerHighest", 1555000, kHylandWexler, 473.147733, 5e-7 }),
    [](const testing::TestParamInfo<TemperatureCase>& info) { return info.param.name; });

TEST(SaturationTemperature, UnbracketedPressureEndsJustBelowTheUpperEnd)
{
    const double iapws = SaturationTemperature(0.001, kIapws);
    EXPECT_LT(iapws, 273.16);
    EXPECT_GT(iapws, 273.16 - 1e-6);
    const double hw = SaturationTemperature(0.001, kHylandWexler);
    EXPECT_LT(hw, 473.15);
    EXPECT_GT(hw, 473.15 - 1e-6);
}

// The bisection carries the lower end's saturation pressure over instead of re-evaluating it; the results
// must be bit-identical to the defining form (an exact hit aside, which none of these pressures is).
double LiteralBisection(double target, double lo, double hi, SaturationMethod method)
{
    return testing_support::LiteralBisection(
        [method](double t) { return SaturationPressure(t, method); }, target, lo, hi);
}

TEST(SaturationTemperature, BisectionIsBitIdenticalToTheLiteralAlgorithm)
{
    for (double p = 0.0011; p < 1.6e6; p *= 1.37) {
        EXPECT_EQ(SaturationTemperature(p, kHylandWexler), LiteralBisection(p, 173.15, 473.15, kHylandWexler))
            << p;
        if (p <= 611.657) {
            EXPECT_EQ(SaturationTemperature(p, kIapws), LiteralBisection(p, 173.15, 273.16, kIapws)) << p;
        }
    }
    EXPECT_EQ(SaturationTemperature(611.657, kIapws), LiteralBisection(611.657, 173.15, 273.16, kIapws));
}

TEST(SaturationTemperature, BisectionEvaluatesOncePerStep)
{
    // One evaluation for the lower end, then one per halving: 300 K to 1e-6 K takes 29 halvings, the ice
    // bracket of 100.01 K takes 27. Re-evaluating the lower end each step would double the count.
    struct Case
    {
        SaturationMethod method;
        double pressure_Pa, hi_K;
        int evaluations;
    };
    for (const Case& c : { Case { kHylandWexler, 2339.0, kHighestTemperatureK, 30 },
             Case { kHylandWexler, 0.01, kHighestTemperatureK, 30 },
             Case { kIapws, 100.0, kTriplePointK, 28 } }) {
        int evaluations = 0;
        const double t = detail::Bisect(
            [&](double t) {
                ++evaluations;
                return SaturationPressure(t, c.method);
            },
            c.pressure_Pa, kLowestTemperatureK, c.hi_K);
        EXPECT_EQ(t, SaturationTemperature(c.pressure_Pa, c.method));
        EXPECT_EQ(evaluations, c.evaluations) << c.pressure_Pa << " Pa, method " << c.method;
    }
}

TEST(SaturationTemperature, InvertsSaturationPressureOverTheWholeRange)
{
    // Exactly at the lower bracket end the sign product is zero in every step, so the search walks up to
    // the upper end: that is the defined behaviour of the bisection, so the sweep starts just above it.
    EXPECT_GT(SaturationTemperature(SaturationPressure(173.15, kHylandWexler), kHylandWexler), 473.149);
    for (SaturationMethod method : { kIapws, kHylandWexler }) {
        for (double t = 173.1501; t <= 473.15; t += 0.37)
            EXPECT_NEAR(SaturationTemperature(SaturationPressure(t, method), method), t, 1e-6)
                << t << " K, method " << method;
    }
}

} // namespace
} // namespace humidora
