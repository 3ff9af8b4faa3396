// Saturation pressure and saturation temperature of water.
#include "core/bisection.h"
#include "core/properties.h"

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
constexpr double kHylandWexlerSwitchK = 273.15;

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

double SaturationTemperature(double pressure_Pa, SaturationMethod method)
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
