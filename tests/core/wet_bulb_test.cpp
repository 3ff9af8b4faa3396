// Reference values of the wet-bulb relation and its inverse (digits as published for this calculator;
// tolerance half a unit of the last quoted digit).
#include "core/literal_bisection.h"
#include "core/properties.h"

#include <cmath>
#include <gtest/gtest.h>

namespace humidora {
namespace {

TEST(HumidityRatioFromWetBulb, ReferenceValues)
{
    EXPECT_NEAR(HumidityRatioFromWetBulb(293.15, 303.15, 101325, kIapws), 0.0105206546, 5e-11);
    EXPECT_NEAR(HumidityRatioFromWetBulb(293.15, 303.15, 101325, kHylandWexler), 0.0105180299, 5e-11);
}

struct WetBulbCase
{
    const char* name;
    double humidity_ratio;
    double dry_bulb_K;
    SaturationMethod method;
    double expected_K;
    double tolerance_K;
};

class WetBulbReference : public testing::TestWithParam<WetBulbCase>
{
};

TEST_P(WetBulbReference, MatchesPublishedDigits)
{
    const WetBulbCase& c = GetParam();
    EXPECT_NEAR(
        WetBulbTemperature(c.humidity_ratio, c.dry_bulb_K, 101325, c.method), c.expected_K, c.tolerance_K);
}

INSTANTIATE_TEST_SUITE_P(Cases, WetBulbReference,
    testing::Values(WetBulbCase { "DryAirIapws", 0, 303.15, kIapws, 283.680460, 5e-7 },
        WetBulbCase { "DryAirHylandWexler", 0, 303.15, kHylandWexler, 283.681806, 5e-7 },
        WetBulbCase { "MoistIapws", 0.01, 303.15, kIapws, 292.757066, 5e-7 },
        WetBulbCase { "OversaturatedEndsBelowDryBulb", 0.05, 303.15, kIapws, 303.149999, 1e-6 },
        WetBulbCase { "IceIapws", 0.001, 263.15, kIapws, 262.029288, 5e-7 },
        WetBulbCase { "IceHylandWexler", 0.001, 263.15, kHylandWexler, 262.028949, 5e-7 }),
    [](const testing::TestParamInfo<WetBulbCase>& info) { return info.param.name; });

TEST(WetBulbTemperature, InverseOfTheForwardRelation)
{
    const double w = HumidityRatioFromWetBulb(293.15, 303.15, 101325, kIapws);
    const double t = WetBulbTemperature(w, 303.15, 101325, kIapws);
    EXPECT_NEAR(t, 293.1499996, 5e-8);
    EXPECT_LT(std::fabs(t - 293.15), 1e-6);
}

TEST(WetBulbTemperature, OversaturatedTargetStaysBelowTheDryBulb)
{
    const double t = WetBulbTemperature(0.05, 303.15, 101325, kIapws);
    EXPECT_LT(t, 303.15);
    EXPECT_GT(t, 303.15 - 1e-6);
}

TEST(WetBulbTemperature, ZeroWidthBracketReturnsTheLowestTemperature)
{
    EXPECT_EQ(WetBulbTemperature(0, 173.15, 101325, kIapws), 173.15);
}

TEST(WetBulbTemperature, DegenerateInputsTerminate)
{
    EXPECT_TRUE(std::isnan(WetBulbTemperature(0, std::nan(""), 101325, kIapws)));
    const double reversed = WetBulbTemperature(0, 150, 101325, kIapws);
    EXPECT_GE(reversed, 150);
    EXPECT_LE(reversed, 173.15);
}

// The search carries the lower end's value over; compare with the literal two-evaluation form.
TEST(WetBulbTemperature, BisectionIsBitIdenticalToTheLiteralAlgorithm)
{
    for (SaturationMethod method : { kIapws, kHylandWexler }) {
        for (double w : { 0.0, 0.001, 0.0098832758, 0.02, 0.05 }) {
            const double t = 298.149993896484375;
            const double literal = testing_support::LiteralBisection(
                [&](double twb) { return HumidityRatioFromWetBulb(twb, t, 101325, method); }, w, 173.15, t);
            EXPECT_EQ(WetBulbTemperature(w, t, 101325, method), literal) << w;
        }
    }
}

} // namespace
} // namespace humidora
