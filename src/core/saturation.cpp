// Saturation pressure and saturation temperature of water.
#include "core/bisection.h"
#include "core/properties.h"

#include <algorithm>
#include <array>
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

double HylandWexler(double t)
{
    if (t < kHylandWexlerSwitchK) {
        const double ln_term = std::log(t) * kC[7];
        return std::exp(kC[1] / t + kC[2] + kC[3] * t + kC[4] * std::pow(t, 2) + kC[5] * std::pow(t, 3)
            + kC[6] * std::pow(t, 4) + ln_term);
    }
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
        result = HylandWexler(temperature_K);
    return result;
}

namespace {

// Computed saturation pressures 1e-9 K apart or more never invert. Their relative error is below 1e-12 on
// 173.15..473.15 K (sixty times the largest error measured against an evaluation in extended precision).
// d ln p_s / dT is at least 0.0209 /K on every branch of both formulations (least at 473.15 K), and both
// switch points jump upward, so the exact function rises by a factor of at least exp(0.02 g) over any
// distance g: over 1e-9 K that is 2e-11, ten times the 2e-12 that two evaluations' errors can make up.
constexpr double kSaturationGuardK = 1e-9;

// ln p_s at temperatures evenly spaced in 1/T over a bisection bracket. Along 1/T, ln p_s is nearly
// straight (Clausius-Clapeyron), so interpolating between neighbours gives a first estimate within a few
// millikelvin, and the neighbours' slope a Newton step from there.
struct SaturationLine
{
    static constexpr int kNodes = 64;
    std::array<double, kNodes + 1> s {}; ///< 1/T, falling
    std::array<double, kNodes + 1> y {}; ///< ln p_s, rising
    double hi;                           ///< upper end of the bracket, K

    SaturationLine(SaturationMethod method, double upper_end_K)
        : hi(upper_end_K)
    {
        for (int i = 0; i <= kNodes; ++i) {
            s[i] = 1 / kLowestTemperatureK + (1 / hi - 1 / kLowestTemperatureK) * i / kNodes;
            y[i] = std::log(SaturationPressure(1 / s[i], method));
        }
    }
};

// Saturation temperature by the line above, then secant steps on it with the true function. Only an
// estimate: ReplayBisection proves or refuses the result.
double EstimateSaturationTemperature(double pressure_Pa, SaturationMethod method, const SaturationLine& line)
{
    const double target = std::log(pressure_Pa);
    const auto node = std::upper_bound(line.y.begin() + 1, line.y.end() - 1, target) - line.y.begin();
    const double slope = (line.s[node] - line.s[node - 1]) / (line.y[node] - line.y[node - 1]);
    double s0 = line.s[node - 1] + (target - line.y[node - 1]) * slope;
    double y0 = std::log(SaturationPressure(1 / s0, method));
    double s1 = s0 - (y0 - target) * slope;
    for (int i = 0; i < 8; ++i) {
        if (!(std::fabs(1 / s1 - 1 / s0) > 1e-4))
            return 1 / s1;
        const double y1 = std::log(SaturationPressure(1 / s1, method));
        if (y1 == y0)
            break;
        const double s2 = s1 - (y1 - target) * (s1 - s0) / (y1 - y0);
        s0 = s1;
        y0 = y1;
        s1 = s2;
    }
    return std::nan("");
}

double BisectSaturationTemperature(double pressure_Pa, SaturationMethod method)
{
    static const SaturationLine lines[2]
        = { { kIapws, kTriplePointK }, { kHylandWexler, kHighestTemperatureK } };
    const SaturationLine& line = lines[method - 1];
    const double lo = kLowestTemperatureK;
    const double hi = line.hi;
    const auto f = [method](double t) { return SaturationPressure(t, method); };
    if (pressure_Pa > 0 && pressure_Pa < 1e300) {
        const double root = EstimateSaturationTemperature(pressure_Pa, method, line);
        if (const auto t = detail::ReplayBisection(f, pressure_Pa, lo, hi, root, 1e-7, kSaturationGuardK))
            return *t;
    }
    return detail::Bisect(f, pressure_Pa, lo, hi);
}

} // namespace

double SaturationTemperature(double pressure_Pa, SaturationMethod method)
{
    if (method == kIapws) {
        if (pressure_Pa <= kTriplePointPa)
            return BisectSaturationTemperature(pressure_Pa, kIapws);
        return If97SaturationTemperature(pressure_Pa);
    }
    if (method == kHylandWexler)
        return BisectSaturationTemperature(pressure_Pa, kHylandWexler);
    return 0;
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
