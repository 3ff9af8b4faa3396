// The bisection in its defining form, two evaluations per step, as the yardstick the routines' faster
// form must match bit for bit.
#pragma once

#include <cmath>

namespace humidora::testing_support {

template <class Function> double LiteralBisection(Function&& f, double target, double lo, double hi)
{
    double mid = 0;
    int steps = 0;
    do {
        const double f_lo = f(lo);
        mid = (lo + hi) * 0.5;
        const double f_mid = f(mid);
        if ((f_mid - target) * (f_lo - target) < 0)
            hi = mid;
        else
            lo = mid;
        ++steps;
    } while (std::fabs(hi - lo) > 0.000001 && steps < 1000);
    return mid;
}

} // namespace humidora::testing_support
