// The psychrometric wet-bulb relation and its inverse.
#include "core/properties.h"

#include <cmath>

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
    // As in the saturation bisection, the value at the lower end is carried over from the step that set
    // it; the relation is pure, so the result is that of re-evaluating it each step.
    double lo = kLowestTemperatureK;
    double hi = dry_bulb_K;
    double w_lo = HumidityRatioFromWetBulb(lo, dry_bulb_K, pressure_Pa, method);
    double mid = 0;
    int steps = 0;
    do {
        mid = (lo + hi) * 0.5;
        const double w_mid = HumidityRatioFromWetBulb(mid, dry_bulb_K, pressure_Pa, method);
        // An exact hit is the answer; the sign test would otherwise walk from it to the dry bulb.
        if (w_mid == humidity_ratio)
            return mid;
        if ((w_mid - humidity_ratio) * (w_lo - humidity_ratio) < 0) {
            hi = mid;
        } else {
            lo = mid;
            w_lo = w_mid;
        }
        ++steps;
    } while (std::fabs(hi - lo) > 0.000001 && steps < 1000);
    return mid;
}

} // namespace humidora
