// Standard atmosphere of the troposphere, and the single-precision narrowing its results go through.
#include "core/properties.h"

#include <cmath>
#include <limits>

namespace humidora {
namespace {
constexpr double kLapse = 2.25577; // per 100000 m
constexpr double kScale = 100000;
constexpr double kExponent = 5.2559;
} // namespace

float NarrowToSingle(double value)
{
    // Half an ulp above the largest float: from here on, round-to-nearest gives infinity. Below it the
    // conversion is well defined (the value lies between two representable floats).
    constexpr double kOverflow = 0x1.ffffffp+127;
    if (value >= kOverflow)
        return std::numeric_limits<float>::infinity();
    if (value <= -kOverflow)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

float PressureFromAltitude(double altitude_m)
{
    return NarrowToSingle(kSeaLevelPressurePa * std::pow(1 - kLapse * altitude_m / kScale, kExponent));
}

float AltitudeFromPressure(double pressure_Pa)
{
    // The inverse exponent is formed in double precision on every call, as 1 / 5.2559.
    return NarrowToSingle((1 - std::pow(pressure_Pa / kSeaLevelPressurePa, 1 / kExponent)) * kScale / kLapse);
}

} // namespace humidora
