// Saturation pressure and saturation temperature of water.
#include "core/bisection.h"
#include "core/properties.h"
#include "core/saturation_curve.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace humidora {
namespace {

// IAPWS sublimation equation (ice); the exponents are the decimal values, not 1/300, 181/150, 511/300.
constexpr double kA[3] = { -21.2144006, 27.3203819, -6.1059813 };
constexpr double kB[3] = { 0.00333333333, 1.20666667, 1.70333333 };

// IAPWS-IF97 saturation-line coefficients n1..n10 (index 0 unused), shared by both directions.
constexpr double kN[11] = { 0.0, 1167.0521452767, -724213.16703206, -17.073846940092, 12020.82470247,
    -3232555.0322333, 14.91510861353, -4823.2657361591, 405113.40542057, -0.23855557567849, 650.17534844798 };

// Hyland-Wexler: ice C1..C7, water C8..C13 (index 0 unused).
constexpr double kC[14] = { 0.0, -5674.5359, 6.3925247, -0.009677843, 6.2215701e-07, 2.0747825e-09,
    -9.484024e-13, 4.1635019, -5800.2206, 1.3914993, -0.048640239, 4.1764768e-05, -1.4452093e-08, 6.5459673 };
constexpr double kHylandWexlerSwitchK = kCelsiusOffset;

double IapwsSublimation(double t)
{
    const double theta = t / kTriplePointK;
    double s = 0;
    for (int i = 0; i < 3; ++i)
        s = s + kA[i] * std::pow(theta, kB[i]);
    s = s / theta;
    return std::exp(s) * kTriplePointPa;
}

double If97SaturationPressure(double t)
{
    const double v = t + kN[9] / (t - kN[10]);
    const double a = std::pow(v, 2) + kN[1] * v + kN[2];
    const double b = kN[3] * std::pow(v, 2) + kN[4] * v + kN[5];
    const double c = kN[6] * std::pow(v, 2) + kN[7] * v + kN[8];
    return std::pow(2 * c / (-b + std::sqrt(std::pow(b, 2) - 4 * a * c)), 4) * 1000000;
}

double If97SaturationTemperature(double p)
{
    const double beta = std::pow(p / 1000000, 0.25);
    const double e = std::pow(beta, 2) + kN[3] * beta + kN[6];
    const double f = kN[1] * std::pow(beta, 2) + kN[4] * beta + kN[7];
    const double g = kN[2] * std::pow(beta, 2) + kN[5] * beta + kN[8];
    const double d = 2 * g / (-f - std::sqrt(std::pow(f, 2) - 4 * e * g));
    return (kN[10] + d - std::sqrt(std::pow(kN[10] + d, 2) - 4 * (kN[9] + kN[10] * d))) * 0.5;
}

double HylandWexlerIce(double t)
{
    const double ln_term = std::log(t) * kC[7];
    return std::exp(kC[1] / t + kC[2] + kC[3] * t + kC[4] * std::pow(t, 2) + kC[5] * std::pow(t, 3)
        + kC[6] * std::pow(t, 4) + ln_term);
}

double HylandWexlerWater(double t)
{
    const double ln_term = std::log(t) * kC[13];
    return std::exp(
        kC[8] / t + kC[9] + kC[10] * t + kC[11] * std::pow(t, 2) + kC[12] * std::pow(t, 3) + ln_term);
}

} // namespace

double SaturationPressure(double temperature_K, SaturationMethod method)
{
    if (!(temperature_K > 0) && (method == kIapws || method == kHylandWexler))
        return std::numeric_limits<double>::quiet_NaN();
    double result = 0;
    if (method == kIapws)
        result = temperature_K <= kTriplePointK ? IapwsSublimation(temperature_K)
                                                : If97SaturationPressure(temperature_K);
    if (method == kHylandWexler)
        result = temperature_K < kHylandWexlerSwitchK ? HylandWexlerIce(temperature_K)
                                                      : HylandWexlerWater(temperature_K);
    return result;
}

namespace {

// Computed saturation pressures 1e-9 K apart or more never invert. Their relative error is below 1e-12 on
// 173.15..473.15 K (sixty times the largest error measured against an evaluation in extended precision).
// d ln p_s / dT is at least 0.0209 /K on every branch of both formulations (least at 473.15 K), and both
// switch points jump upward, so the exact function rises by a factor of at least exp(0.02 g) over any
// distance g: over 1e-9 K that is 2e-11, ten times the 2e-12 that two evaluations' errors can make up.
constexpr double kSaturationGuardK = 1e-9;

// The branches of both formulations as interpolated curves, each over the temperatures where
// SaturationPressure takes it (the ice curves up to their switch point, the water curves from it to the
// upper end of the routines).
struct Curves
{
    detail::SaturationCurve ice, water;
};

const Curves& CurvesOf(SaturationMethod method)
{
    static const Curves iapws { { IapwsSublimation, kLowestTemperatureK, kTriplePointK },
        { If97SaturationPressure, kTriplePointK, kHighestTemperatureK } };
    static const Curves hyland_wexler { { HylandWexlerIce, kLowestTemperatureK, kHylandWexlerSwitchK },
        { HylandWexlerWater, kHylandWexlerSwitchK, kHighestTemperatureK } };
    return method == kIapws ? iapws : hyland_wexler;
}

// The estimate's root lies within 1e-8 K of the exact one; the anchors of the replay stand
// clear of both by that much more than the guard.
constexpr double kSaturationAnchorK = 2e-8;

double BisectSaturationTemperature(
    double pressure_Pa, SaturationMethod method, detail::SaturationFunction saturation)
{
    const double lo = kLowestTemperatureK;
    const double hi = method == kIapws ? kTriplePointK : kHighestTemperatureK;
    const auto f = [method, saturation](double t) { return saturation(t, method); };
    if (pressure_Pa > 0 && pressure_Pa < 1e300) {
        const double root = detail::EstimatedSaturationTemperature(pressure_Pa, method);
        if (const auto t = detail::ReplayBisection(
                f, pressure_Pa, lo, hi, root, kSaturationAnchorK + kSaturationGuardK, kSaturationGuardK))
            return *t;
    }
    return detail::Bisect(f, pressure_Pa, lo, hi);
}

} // namespace

namespace detail {

LogPressurePoint EstimatedLogSaturationPressure(double temperature_K, SaturationMethod method)
{
    if (!(temperature_K >= kLowestTemperatureK && temperature_K <= kHighestTemperatureK)
        || (method != kIapws && method != kHylandWexler))
        return { std::nan(""), std::nan(""), std::nan("") };
    const Curves& curves = CurvesOf(method);
    const bool ice = method == kIapws ? temperature_K <= kTriplePointK : temperature_K < kHylandWexlerSwitchK;
    return (ice ? curves.ice : curves.water).LogPressure(temperature_K);
}

double EstimatedSaturationTemperature(double pressure_Pa, SaturationMethod method)
{
    const double y = std::log(pressure_Pa);
    const Curves& curves = CurvesOf(method);
    if (method == kIapws || y <= curves.ice.log_hi())
        return curves.ice.Temperature(y);
    // Hyland-Wexler jumps upward at its switch: a pressure in the gap is reached right there.
    if (y < curves.water.log_lo())
        return kHylandWexlerSwitchK;
    return curves.water.Temperature(y);
}

double SaturationTemperatureBy(double pressure_Pa, SaturationMethod method, SaturationFunction saturation)
{
    if (method == kIapws) {
        if (pressure_Pa <= kTriplePointPa)
            return BisectSaturationTemperature(pressure_Pa, kIapws, saturation);
        return If97SaturationTemperature(pressure_Pa);
    }
    if (method == kHylandWexler)
        return BisectSaturationTemperature(pressure_Pa, kHylandWexler, saturation);
    return 0;
}

} // namespace detail

double SaturationTemperature(double pressure_Pa, SaturationMethod method)
{
    return detail::SaturationTemperatureBy(pressure_Pa, method, SaturationPressure);
}

double PlainSaturationTemperature(double pressure_Pa, SaturationMethod method)
{
    if (method == kIapws) {
        if (pressure_Pa <= kTriplePointPa)
            return detail::Bisect([](double t) { return SaturationPressure(t, kIapws); }, pressure_Pa,
                kLowestTemperatureK, kTriplePointK);
        return If97SaturationTemperature(pressure_Pa);
    }
    if (method == kHylandWexler)
        return detail::Bisect([](double t) { return SaturationPressure(t, kHylandWexler); }, pressure_Pa,
            kLowestTemperatureK, kHighestTemperatureK);
    return 0;
}

} // namespace humidora
