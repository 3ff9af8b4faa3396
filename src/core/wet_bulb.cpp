// The psychrometric wet-bulb relation and its inverse.
#include "core/bisection.h"
#include "core/properties.h"

namespace humidora {
namespace {
constexpr double kMolarMassRatio = 0.62198; // water / dry air
constexpr double kCelsiusOffset = 273.15;
} // namespace

double HumidityRatioFromWetBulb(
    double wet_bulb_K, double dry_bulb_K, double pressure_Pa, SaturationMethod method)
{
    const double ps = SaturationPressure(wet_bulb_K, method);
    const double ws = kMolarMassRatio * ps / (pressure_Pa - ps);
    const double twb_C = wet_bulb_K - kCelsiusOffset;
    const double t_C = dry_bulb_K - kCelsiusOffset;
    // The liquid-water constants hold for every wet bulb, also below 0 C.
    return (ws * (2501 - 2.381 * twb_C) - 1.006 * (t_C - twb_C)) / (2501 + 1.805 * t_C - 4.186 * twb_C);
}

double WetBulbTemperature(
    double humidity_ratio, double dry_bulb_K, double pressure_Pa, SaturationMethod method)
{
    // The relation rises with the wet bulb, so the target is bracketed between 173.15 K and the dry bulb.
    return detail::Bisect(
        [&](double t) { return HumidityRatioFromWetBulb(t, dry_bulb_K, pressure_Pa, method); },
        humidity_ratio, kLowestTemperatureK, dry_bulb_K);
}

} // namespace humidora
