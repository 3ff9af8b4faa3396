// The psychrometric wet-bulb relation and its inverse.
#include "core/bisection.h"
#include "core/properties.h"

#include <algorithm>
#include <cmath>

namespace humidora {
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
    const double ws_max = kMolarMassRatio * ps_max / (pressure_Pa - ps_max);
    const double ws_error = 1.001e-12 * (1 + ps_max / (pressure_Pa - ps_max)) + 1e-15;
    const double a_max = 2501 - 2.381 * kLowestCelsius;
    const double d_min = 2501 - 2.381 * t_C;
    const double d_max = 2501 + 1.805 * t_C - 4.186 * kLowestCelsius;
    const double terms = ws_max * a_max + 1.006 * (t_C - kLowestCelsius + 1);
    const double error = (ws_max * a_max * ws_error + terms * 1e-13) / d_min;
    const double rise = 1.006 * d_min / (d_max * d_max);
    return 10 * 2 * error / rise;
}

// The relation of a wet bulb twb_K at a given saturation pressure there, for the estimate below.
double RelationAt(double ps, double twb_K, double dry_bulb_K, double pressure_Pa, double* slope, double dps)
{
    const double ws = kMolarMassRatio * ps / (pressure_Pa - ps);
    const double twb_C = twb_K - kCelsiusOffset;
    const double t_C = dry_bulb_K - kCelsiusOffset;
    const double n = ws * (2501 - 2.381 * twb_C) - 1.006 * (t_C - twb_C);
    const double d = 2501 + 1.805 * t_C - 4.186 * twb_C;
    const double dws = kMolarMassRatio * pressure_Pa / ((pressure_Pa - ps) * (pressure_Pa - ps)) * dps;
    *slope = ((dws * (2501 - 2.381 * twb_C) - 2.381 * ws + 1.006) * d + 4.186 * n) / (d * d);
    return n / d;
}

// The wet bulb estimated on a model of the saturation pressure, p_s(hi) exp(L (1/hi - 1/T)) with L the
// latent heat over the gas constant of water vapour, solved by Newton steps; then corrected with the
// true relation by one step along the model's slope and secant steps. Only an estimate:
// ReplayBisection proves or refuses the result.
template <class Relation>
double EstimateWetBulb(
    const Relation& f, double target, double lo, double hi, double pressure_Pa, double ps_hi)
{
    const double latent = hi > 273.15 ? 5400 : 6140;
    double slope = 0;
    const auto model = [&](double t) {
        const double ps = ps_hi * std::exp(latent * (1 / hi - 1 / t));
        return RelationAt(ps, t, hi, pressure_Pa, &slope, ps * latent / (t * t));
    };
    double x0 = hi;
    for (int i = 0; i < 20; ++i) {
        const double step = (model(x0) - target) / slope;
        x0 = std::clamp(x0 - step, lo, hi);
        if (!(std::fabs(step) > 1e-3))
            break;
    }
    double f0 = f(x0);
    model(x0);
    double x1 = std::clamp(x0 - (f0 - target) / slope, lo, hi);
    for (int i = 0; i < 8; ++i) {
        if (!(std::fabs(x1 - x0) > 1e-4))
            return x1;
        const double f1 = f(x1);
        if (f1 == f0)
            break;
        const double x2 = std::clamp(x1 - (f1 - target) * (x1 - x0) / (f1 - f0), lo, hi);
        x0 = x1;
        f0 = f1;
        x1 = x2;
    }
    return std::nan("");
}

} // namespace

double WetBulbTemperature(
    double humidity_ratio, double dry_bulb_K, double pressure_Pa, SaturationMethod method)
{
    // The relation rises with the wet bulb, so the target is bracketed between 173.15 K and the dry bulb.
    const auto f = [&](double t) { return HumidityRatioFromWetBulb(t, dry_bulb_K, pressure_Pa, method); };
    const double lo = kLowestTemperatureK;
    if ((method == kIapws || method == kHylandWexler) && std::fabs(humidity_ratio) < 1e300) {
        const double ps_hi = SaturationPressure(dry_bulb_K, method);
        if (const double guard = WetBulbGuard(dry_bulb_K, pressure_Pa, ps_hi); guard > 0 && guard < 1e-8) {
            const double root = EstimateWetBulb(f, humidity_ratio, lo, dry_bulb_K, pressure_Pa, ps_hi);
            if (const auto t = detail::ReplayBisection(f, humidity_ratio, lo, dry_bulb_K, root, 1e-7, guard))
                return *t;
        }
    }
    return detail::Bisect(f, humidity_ratio, lo, dry_bulb_K);
}

double PlainWetBulbTemperature(
    double humidity_ratio, double dry_bulb_K, double pressure_Pa, SaturationMethod method)
{
    return detail::Bisect(
        [&](double t) { return HumidityRatioFromWetBulb(t, dry_bulb_K, pressure_Pa, method); },
        humidity_ratio, kLowestTemperatureK, dry_bulb_K);
}

} // namespace humidora
