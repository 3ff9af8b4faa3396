// The psychrometric wet-bulb relation and its inverse.
#include "core/bisection.h"
#include "core/moist_air.h"
#include "core/properties.h"
#include "core/saturation_curve.h"

#include <algorithm>
#include <cmath>

namespace humidora {
namespace {

/// How the heat of vaporization falls with the wet bulb in the relation, kJ/(kg K): 4.186 - 1.805.
constexpr double kLatentSlope = 2.381;

// The psychrometric relation at a wet bulb whose saturation pressure is ps.
double Relation(double ps, double wet_bulb_K, double dry_bulb_K, double pressure_Pa)
{
    const double ws = HumidityRatioOfVapourPressure(ps, pressure_Pa);
    const double twb_C = wet_bulb_K - kCelsiusOffset;
    const double t_C = dry_bulb_K - kCelsiusOffset;
    // The liquid-water constants hold for every wet bulb, also below 0 C.
    return (ws * (kHeatOfVaporization - kLatentSlope * twb_C) - kDryAirHeatCapacity * (t_C - twb_C))
        / (kHeatOfVaporization + kVapourHeatCapacity * t_C - kWaterHeatCapacity * twb_C);
}

} // namespace

double HumidityRatioFromWetBulb(
    double wet_bulb_K, double dry_bulb_K, double pressure_Pa, SaturationMethod method)
{
    return Relation(SaturationPressure(wet_bulb_K, method), wet_bulb_K, dry_bulb_K, pressure_Pa);
}

namespace {

constexpr double kLowestCelsius = kLowestTemperatureK - kCelsiusOffset;

// The separation (K) beyond which computed values of the relation over [173.15 K, dry bulb] never invert,
// or 0 where the bound below does not hold.
//
// With ws >= 0 (the saturation pressure below the total pressure), twb from -100 C to the dry bulb and the
// dry bulb at most 200 C, the exact relation N/D rises at least 1.006 (2501 - 2.381 t) / D_max^2 per
// kelvin: N' >= 1.006 because the rise of ws (at least 0.0209 ws per kelvin, times A >= 2025) outweighs
// the 2.381 ws of A' = -2.381, and N D' = -4.186 N adds no more than 4.186 x 1.006 (t - twb) takes away.
// The computed relation differs from it by the error of ws (that of the saturation pressure, magnified
// by P / (P - ps) in P - ps) carried by the term ws A, plus a few roundings of every term, which 1e-13
// of their sum covers with a hundredfold margin. The guard is ten times the distance over which the
// rise exceeds twice that error.
double WetBulbGuard(double dry_bulb_K, double pressure_Pa, double ps_dry_bulb)
{
    if (!(dry_bulb_K > kLowestTemperatureK && dry_bulb_K <= kHighestTemperatureK) || !(pressure_Pa < 1e300)
        || !(ps_dry_bulb > 0 && ps_dry_bulb < 0.99 * pressure_Pa))
        return 0;
    const double t_C = dry_bulb_K - kCelsiusOffset;
    const double ps_max = ps_dry_bulb * (1 + 1e-9);
    const double ws_max = HumidityRatioOfVapourPressure(ps_max, pressure_Pa);
    const double ws_error = 1.001e-12 * (1 + ps_max / (pressure_Pa - ps_max)) + 1e-15;
    const double a_max = kHeatOfVaporization - kLatentSlope * kLowestCelsius;
    const double d_min = kHeatOfVaporization - kLatentSlope * t_C;
    const double d_max
        = kHeatOfVaporization + kVapourHeatCapacity * t_C - kWaterHeatCapacity * kLowestCelsius;
    const double terms = ws_max * a_max + kDryAirHeatCapacity * (t_C - kLowestCelsius + 1);
    const double error = (ws_max * a_max * ws_error + terms * 1e-13) / d_min;
    const double rise = kDryAirHeatCapacity * d_min / (d_max * d_max);
    return 10 * 2 * error / rise;
}

// The step of Halley's method towards the root of the relation minus target at the wet bulb twb_K, on the
// saturation pressure ps there with the derivatives of its logarithm.
double HalleyStep(double target, double ps, const detail::LogPressurePoint& log_ps, double twb_K,
    double dry_bulb_K, double pressure_Pa)
{
    const double dps = ps * log_ps.slope;
    const double d2ps = ps * (log_ps.curvature + log_ps.slope * log_ps.slope);
    const double q = pressure_Pa - ps;
    const double ws = kMolarMassRatio * ps / q;
    const double dws = kMolarMassRatio * pressure_Pa * dps / (q * q);
    const double d2ws = kMolarMassRatio * pressure_Pa * (d2ps * q + 2 * dps * dps) / (q * q * q);
    const double twb_C = twb_K - kCelsiusOffset;
    const double t_C = dry_bulb_K - kCelsiusOffset;
    const double a = kHeatOfVaporization - kLatentSlope * twb_C;
    const double n = ws * a - kDryAirHeatCapacity * (t_C - twb_C);
    const double dn = dws * a - kLatentSlope * ws + kDryAirHeatCapacity;
    const double d2n = d2ws * a - 2 * kLatentSlope * dws;
    // d' = -4.186, d'' = 0
    const double d = kHeatOfVaporization + kVapourHeatCapacity * t_C - kWaterHeatCapacity * twb_C;
    const double f = n / d - target;
    const double df = (dn * d + kWaterHeatCapacity * n) / (d * d);
    const double d2f = (d2n + 2 * kWaterHeatCapacity * df) / d;
    // Far from the root the correction of the Newton step could grow without bound: it is kept to at most
    // twice the Newton step.
    return f / df / std::max(1 - f * d2f / (2 * df * df), 0.5);
}

// The wet bulb of the relation on the interpolated saturation curve, by Halley's steps from the dry bulb,
// where the saturation pressure ps_hi is known exactly. The relation rises and bends upward, so the
// steps approach the root from above, the curvature lengthening those from far away. Only an estimate:
// ReplayBisection proves or refuses the result.
double EstimateWetBulb(
    double target, double lo, double dry_bulb_K, double pressure_Pa, double ps_hi, SaturationMethod method)
{
    double x = dry_bulb_K;
    for (int i = 0; i < 40; ++i) {
        const detail::LogPressurePoint log_ps = detail::EstimatedLogSaturationPressure(x, method);
        const double ps = i == 0 ? ps_hi : std::exp(log_ps.value);
        const double step = HalleyStep(target, ps, log_ps, x, dry_bulb_K, pressure_Pa);
        x = std::clamp(x - step, lo, dry_bulb_K);
        // Halley's method triples the digits that are right: after a step of 1e-3 K the estimate is off
        // by about 1e-9 K.
        if (!(std::fabs(step) > 1e-3))
            return x;
    }
    return std::nan("");
}

// The estimate's root lies within 1e-8 K of the exact one; the anchors of the replay stand
// clear of both by that much more than the guard.
constexpr double kWetBulbAnchorK = 2e-8;

} // namespace

namespace detail {

double WetBulbTemperatureBy(double humidity_ratio, double dry_bulb_K, double pressure_Pa,
    SaturationMethod method, SaturationFunction saturation)
{
    // The relation rises with the wet bulb, so the target is bracketed between 173.15 K and the dry bulb.
    const auto f = [&](double t) { return Relation(saturation(t, method), t, dry_bulb_K, pressure_Pa); };
    const double lo = kLowestTemperatureK;
    if ((method == kIapws || method == kHylandWexler) && std::fabs(humidity_ratio) < 1e300) {
        const double ps_hi = saturation(dry_bulb_K, method);
        if (const double guard = WetBulbGuard(dry_bulb_K, pressure_Pa, ps_hi); guard > 0 && guard < 1e-6) {
            const double root = EstimateWetBulb(humidity_ratio, lo, dry_bulb_K, pressure_Pa, ps_hi, method);
            if (const auto t
                = ReplayBisection(f, humidity_ratio, lo, dry_bulb_K, root, kWetBulbAnchorK + guard, guard))
                return *t;
        }
    }
    return Bisect(f, humidity_ratio, lo, dry_bulb_K);
}

} // namespace detail

double WetBulbTemperature(
    double humidity_ratio, double dry_bulb_K, double pressure_Pa, SaturationMethod method)
{
    return detail::WetBulbTemperatureBy(humidity_ratio, dry_bulb_K, pressure_Pa, method, SaturationPressure);
}

double PlainWetBulbTemperature(
    double humidity_ratio, double dry_bulb_K, double pressure_Pa, SaturationMethod method)
{
    return detail::Bisect(
        [&](double t) { return HumidityRatioFromWetBulb(t, dry_bulb_K, pressure_Pa, method); },
        humidity_ratio, kLowestTemperatureK, dry_bulb_K);
}

} // namespace humidora
