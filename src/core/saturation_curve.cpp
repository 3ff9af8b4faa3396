#include "core/saturation_curve.h"

#include <algorithm>
#include <cmath>

namespace humidora::detail {

SaturationCurve::SaturationCurve(double (*branch)(double temperature_K), double lo_K, double hi_K)
    : s_lo_(1 / lo_K)
    , step_((1 / lo_K - 1 / hi_K) / kIntervals)
    , y_(kIntervals + 1)
    , c_(4 * kIntervals)
{
    // The ends themselves are nodes, so that a branch that stops at a switch point is taken there.
    for (int i = 0; i <= kIntervals; ++i)
        y_[i] = std::log(branch(i == 0 ? lo_K : i == kIntervals ? hi_K : 1 / (s_lo_ - i * step_)));
    // The cubic of an interval passes through its own two nodes and one more on each side (two on one side
    // at the ends of the curve), written as a polynomial in u by expanding the Lagrange form.
    for (int i = 0; i < kIntervals; ++i) {
        const int first = std::clamp(i - 1, 0, kIntervals - 3);
        double* c = &c_[4 * i];
        for (int j = 0; j < 4; ++j) {
            double roots[3];
            double scale = y_[first + j];
            for (int m = 0, r = 0; m < 4; ++m) {
                if (m == j)
                    continue;
                roots[r++] = first + m - i;
                scale /= j - m;
            }
            const double sum = roots[0] + roots[1] + roots[2];
            const double pairs = roots[0] * roots[1] + roots[0] * roots[2] + roots[1] * roots[2];
            const double product = roots[0] * roots[1] * roots[2];
            c[0] -= scale * product;
            c[1] += scale * pairs;
            c[2] -= scale * sum;
            c[3] += scale;
        }
    }
}

double SaturationCurve::Cubic(int interval, double u, double* derivative) const
{
    const double* c = &c_[4 * interval];
    *derivative = (3 * c[3] * u + 2 * c[2]) * u + c[1];
    return ((c[3] * u + c[2]) * u + c[1]) * u + c[0];
}

double SaturationCurve::CubicCurvature(int interval, double u) const
{
    const double* c = &c_[4 * interval];
    return 6 * c[3] * u + 2 * c[2];
}

LogPressurePoint SaturationCurve::LogPressure(double temperature_K) const
{
    const double x = (s_lo_ - 1 / temperature_K) / step_;
    const int interval = std::clamp(static_cast<int>(x), 0, kIntervals - 1);
    double dy_du = 0;
    const double y = Cubic(interval, x - interval, &dy_du);
    // u = (1/lo - 1/T) / step: du/dT = 1 / (step T^2), d2u/dT2 = -2 / (step T^3).
    const double du_dt = 1 / (step_ * temperature_K * temperature_K);
    return { y, dy_du * du_dt,
        CubicCurvature(interval, x - interval) * du_dt * du_dt - 2 * dy_du * du_dt / temperature_K };
}

double SaturationCurve::Temperature(double log_pressure) const
{
    if (!(log_pressure >= y_.front() && log_pressure <= y_.back()))
        return std::nan("");
    // ln p_s is nearly straight in the node number: a proportional guess is at most a node or two off.
    int interval
        = std::clamp(static_cast<int>((log_pressure - y_.front()) / (y_.back() - y_.front()) * kIntervals), 0,
            kIntervals - 1);
    while (interval > 0 && y_[interval] > log_pressure)
        --interval;
    while (interval < kIntervals - 1 && y_[interval + 1] <= log_pressure)
        ++interval;
    // Newton steps on the cubic from the chord, which it bends away from by a thousandth of the
    // interval at most: two steps leave nothing of that.
    double u = (log_pressure - y_[interval]) / (y_[interval + 1] - y_[interval]);
    for (int k = 0; k < 2; ++k) {
        double derivative = 0;
        u -= (Cubic(interval, u, &derivative) - log_pressure) / derivative;
    }
    return 1 / (s_lo_ - (interval + u) * step_);
}

} // namespace humidora::detail
