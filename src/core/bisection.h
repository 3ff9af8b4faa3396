// The bisection both inverse routines use: the saturation temperature (on the saturation pressure) and
// the wet bulb (on the psychrometric relation), in its plain form and in a replay that returns the same
// double at the cost of a few evaluations. Internal to the core library.
#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
///
/// This is the reference: ReplayBisection below must return exactly what it returns.
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

/// x <= limit ? at_most : otherwise, decided in the floating-point registers without a branch: for
/// choices no predictor can learn (the binary digits of a root), in a chain where every cycle counts.
inline double SelectAtMost(double x, double limit, double at_most, double otherwise)
{
#if defined(__SSE2__)
    const __m128d mask = _mm_cmple_sd(_mm_set_sd(x), _mm_set_sd(limit));
    return _mm_cvtsd_f64(
        _mm_or_pd(_mm_and_pd(mask, _mm_set_sd(at_most)), _mm_andnot_pd(mask, _mm_set_sd(otherwise))));
#else
    const std::uint64_t mask = 0 - static_cast<std::uint64_t>(x <= limit);
    return std::bit_cast<double>(
        (std::bit_cast<std::uint64_t>(at_most) & mask) | (std::bit_cast<std::uint64_t>(otherwise) & ~mask));
#endif
}

/// Bisect's result without evaluating f at most of its midpoints, or nullopt where that cannot be shown
/// (the caller then runs Bisect itself).
///
/// The argument rests on the exact function, not on its floating-point values, which are not monotone
/// (neighbouring doubles often invert). The caller guarantees a separation `guard` such that for any two
/// arguments x, y in [lo, hi] with y - x >= guard the computed values satisfy f(x) <= f(y): the exact
/// function rises by more than the rigorous error bound of both evaluations over that distance. Given a
/// root estimate, f is evaluated at two anchors a < root < b close to it and must satisfy
/// f(a) < target < f(b). Every midpoint at least guard below a then has f(mid) <= f(a) < target, and every
/// midpoint at least guard above b has f(mid) >= f(b) > target: the bisection's decision there is known
/// without evaluating f. Midpoints between are evaluated, so exact hits and decisions near the root are
/// Bisect's own. A decision is taken only when the sign test of Bisect provably gives it (the product of
/// the two differences could underflow to zero); anything doubtful gives nullopt.
template <class Function>
std::optional<double> ReplayBisection(
    Function&& f, double target, double lo, double hi, double root, double anchor, double guard)
{
    // The plain bisection's normal course: the root inside the bracket, f(lo) below the target.
    // Its temperatures-like ends keep every sum and midpoint a normal number, so halving stays exact.
    if (!(lo >= 1 && lo < hi && hi <= 1e300) || !(root > lo && root < hi) || !(guard > 0)
        || !(anchor >= guard))
        return std::nullopt;
    const double a = std::max(root - anchor, lo);
    const double b = std::min(root + anchor, hi);
    const double f_a = f(a);
    const double f_b = f(b);
    if (!(f_a < target && f_b > target))
        return std::nullopt;
    const double below = a - guard; // a midpoint at or below this has f(mid) <= f(a)
    const double above = b + guard; // at or above this, f(mid) >= f(b)
    // f(lo) itself is needed only where lo lies within guard of a; else f(lo) <= f(a) < target is enough.
    // f_lo_known: f(lo) is the value f_lo; otherwise only f(lo) <= f(a) is known.
    bool f_lo_known = lo > below;
    double f_lo = f_lo_known ? f(lo) : f_a;
    if (!(f_lo < target))
        return std::nullopt;
    // With f(mid) > target, the product is at most its value at the smallest f(mid) and the largest f(lo)
    // that are known; it moves hi only if that bound is negative.
    const auto moves_hi
        = [&](double f_mid) { return (f_mid - target) * ((f_lo_known ? f_lo : f_a) - target) < 0; };
    bool skip_high_moves_hi = moves_hi(f_b);
    double mid = 0;
    int steps = 0;
    const double twice_below = below * 2;
    do {
        const double sum = lo + hi;
        mid = sum * 0.5;
        const bool skip_low = mid <= below;
        if (int(skip_low) + int((mid >= above) & skip_high_moves_hi) != 0) {
            // Decided without f: below, f(mid) < target and f(lo) < target, a non-negative product moves
            // lo; above, hi moves. Which of the two it is follows the digits of the root and cannot be
            // predicted, so the step is taken without a branch.
            // Halving is exact, so comparing the sum with twice the limit decides as the midpoint would,
            // a multiplication earlier in the chain of dependent steps.
            lo = SelectAtMost(sum, twice_below, mid, lo);
            hi = SelectAtMost(sum, twice_below, hi, mid);
            f_lo_known = f_lo_known & !skip_low;
            skip_high_moves_hi = moves_hi(f_b);
        } else {
            const bool skip_high = mid >= above;
            double f_mid = f_b;
            if (!skip_high) {
                f_mid = f(mid);
                if (f_mid == target)
                    return mid;
                if (std::isnan(f_mid))
                    return std::nullopt;
            }
            if (f_mid < target) {
                lo = mid;
                f_lo = f_mid;
                f_lo_known = true;
                skip_high_moves_hi = moves_hi(f_b);
            } else if (moves_hi(f_mid)) {
                hi = mid;
            } else {
                return std::nullopt;
            }
        }
        ++steps;
    } while (std::fabs(hi - lo) > 0.000001 && steps < 1000);
    return mid;
}

} // namespace humidora::detail
