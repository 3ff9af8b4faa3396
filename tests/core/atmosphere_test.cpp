// The standard atmosphere: exact single-precision results.
#include "core/properties.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace humidora {
namespace {

TEST(StandardAtmosphere, SeaLevelIsExact)
{
    EXPECT_EQ(PressureFromAltitude(0), 101325.0f);
    EXPECT_EQ(AltitudeFromPressure(101325), 0.0f);
}

TEST(StandardAtmosphere, ResultsAreNarrowedToSinglePrecision)
{
    EXPECT_EQ(PressureFromAltitude(1000), 89874.515625f);
    EXPECT_EQ(AltitudeFromPressure(89874.515625), 1000.0003662109375f);
    EXPECT_EQ(PressureFromAltitude(-5000), 177687.453125f);
    EXPECT_EQ(PressureFromAltitude(11000), 22631.90234375f);
    EXPECT_EQ(AltitudeFromPressure(22631.90234375), 11000.0f);
}

TEST(StandardAtmosphere, AltitudeReferenceValues)
{
    EXPECT_NEAR(AltitudeFromPressure(100000), 110.88398, 5e-5);
    EXPECT_NEAR(AltitudeFromPressure(80000), 1948.9801, 5e-4);
}

TEST(StandardAtmosphere, OutsideTheDomainGivesNaNOrInfinity)
{
    EXPECT_TRUE(std::isnan(PressureFromAltitude(50000)));
    EXPECT_TRUE(std::isnan(AltitudeFromPressure(-1)));
    EXPECT_EQ(PressureFromAltitude(-1e30), std::numeric_limits<float>::infinity());
}

TEST(NarrowToSingle, RoundsToNearestAndSaturatesToInfinity)
{
    EXPECT_EQ(NarrowToSingle(298.15), 298.149993896484375f);
    EXPECT_EQ(NarrowToSingle(1e300), std::numeric_limits<float>::infinity());
    EXPECT_EQ(NarrowToSingle(-1e300), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(NarrowToSingle(std::numeric_limits<float>::max()), std::numeric_limits<float>::max());
    EXPECT_EQ(NarrowToSingle(0x1.fffffefffffffp+127), std::numeric_limits<float>::max());
    EXPECT_EQ(NarrowToSingle(0x1.ffffffp+127), std::numeric_limits<float>::infinity());
}

} // namespace
} // namespace humidora
