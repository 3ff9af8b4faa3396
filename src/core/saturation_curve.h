// Interpolated saturation curves: a cheap, very close stand-in for the saturation pressure from which the
// inverse routines estimate their roots, and the inverse routines with the evaluation they count on
// passed in. Internal to the core library (and to the benchmark that counts evaluations).
#pragma once

#include "core/properties.h"

#include <vector>

namespace humidora::detail {

/// ln p_s at a temperature with its first and second derivatives by T (1/K, 1/K^2).
struct LogPressurePoint
{
    double value, slope, curvature;
};

/// ln p_s of one branch of a formulation over [lo_K, hi_K], as cubics through nodes evenly spaced in
/// 1/T. Along 1/T, ln p_s is nearly straight (Clausius-Clapeyron) and very smooth, so 256 intervals give
/// it to 2e-10 (least closely at the hot end) and a root to 1e-8 K: close enough that the bisection's replay
/// only has to confirm it.
class SaturationCurve
{
public:
    /// The curve of branch over [lo_K, hi_K], with branch(T) the saturation pressure in Pa.
    SaturationCurve(double (*branch)(double temperature_K), double lo_K, double hi_K);

    /// ln p_s at temperature_K (within the curve's range), with its derivatives.
    LogPressurePoint LogPressure(double temperature_K) const;

    /// The temperature (K) at which ln p_s is log_pressure, for a log_pressure between those of the ends;
    /// NaN outside.
    double Temperature(double log_pressure) const;

    /// ln p_s at the lower and at the upper end.
    double log_lo() const { return y_.front(); }
    double log_hi() const { return y_.back(); }

private:
    static constexpr int kIntervals = 256;
    double s_lo_;           ///< 1/lo
    double step_;           ///< node spacing in 1/T (positive; nodes run from lo up in temperature)
    std::vector<double> y_; ///< ln p_s at the nodes, rising
    std::vector<double> c_; ///< per interval, the cubic in u (0 at its lower node, 1 at its upper one)

    double Cubic(int interval, double u, double* derivative) const;
    double CubicCurvature(int interval, double u) const;
};

/// A saturation-pressure routine with the signature of SaturationPressure.
using SaturationFunction = double (*)(double temperature_K, SaturationMethod method);

/// SaturationTemperature and WetBulbTemperature with the saturation pressure evaluated through
/// `saturation` (which must return what SaturationPressure returns); the public routines pass
/// SaturationPressure itself, a benchmark a routine that counts its calls.
double SaturationTemperatureBy(double pressure_Pa, SaturationMethod method, SaturationFunction saturation);
double WetBulbTemperatureBy(double humidity_ratio, double dry_bulb_K, double pressure_Pa,
    SaturationMethod method, SaturationFunction saturation);

/// The interpolated ln p_s at temperature_K by the formulation (the branch SaturationPressure takes), with
/// its derivatives; NaN outside 173.15..473.15 K or for another method.
LogPressurePoint EstimatedLogSaturationPressure(double temperature_K, SaturationMethod method);

/// The temperature (K) whose interpolated saturation pressure is pressure_Pa, on the bisection's bracket
/// of the formulation (IAPWS: 173.15..273.16 K; Hyland-Wexler: 173.15..473.15 K, a pressure between the
/// two branches' values at the switch giving the switch); NaN where the bracket holds no such temperature.
double EstimatedSaturationTemperature(double pressure_Pa, SaturationMethod method);

} // namespace humidora::detail
