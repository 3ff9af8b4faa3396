// The bisection both inverse routines use: the saturation temperature (on the saturation pressure) and
// the wet bulb (on the psychrometric relation). Internal to the core library.
#pragma once

#include <cmath>

namespace humidora::detail {

/// Halves [lo, hi] around the argument where the rising function f reaches target, until the bracket is
/// at most 1e-6 wide (or after 1000 halvings), and returns the last midpoint.
///
/// The defining form evaluates f at both the lower end and the midpoint in every step and keeps the half
/// whose ends differ in sign: ((f(mid) - target) * (f(lo) - target) < 0 moves hi, anything else moves lo).
/// Here f(lo) is carried over from the step that set lo instead of being evaluated afresh: f is pure, so
/// every decision and the returned midpoint are exactly those of the defining form, at one evaluation per
/// step instead of two (a bracket of 300 takes 30 evaluations, one of 100 takes 28).
///
/// A midpoint at which f hits target exactly is returned at once. Left to the sign test, its zero product
/// would move lo onto the root, every later product would be zero too, and the search would walk to the
/// upper end of the bracket (50 C read back as 200 C by Hyland-Wexler). A target equal to f(lo) at the
/// start still walks to the upper end: no midpoint hits it.
template <class Function> double Bisect(Function&& f, double target, double lo, double hi)
{
    double f_lo = f(lo);
    double mid = 0;
    int steps = 0;
    do {
        mid = (lo + hi) * 0.5;
        const double f_mid = f(mid);
        if (f_mid == target)
            return mid;
        if ((f_mid - target) * (f_lo - target) < 0) {
            hi = mid;
        } else {
            lo = mid;
            f_lo = f_mid;
        }
        ++steps;
    } while (std::fabs(hi - lo) > 0.000001 && steps < 1000);
    return mid;
}

} // namespace humidora::detail
