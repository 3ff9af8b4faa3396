// SaturationTemperature and WetBulbTemperature return exactly the double of the plain bisection: over
// random states and over the inputs where a shortcut would go wrong first (targets equal to the function
// at a midpoint of the bisection and one ulp either side, the bracket ends, outside the bracket, the
// switch points of the formulations, a pressure near the saturation pressure, NaN, infinities, zeros,
// subnormals).
#include "core/bisection.h"
#include "core/properties.h"
#include "core/saturation_curve.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <vector>

namespace humidora {
namespace {

// Inputs per routine and formulation; fewer under the sanitizers, which slow the plain bisection tenfold.
#ifdef HUMIDORA_SANITIZE
constexpr int kRandomInputs = 100000;
#else
constexpr int kRandomInputs = 1000000;
#endif

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kSpecials[] = { kNaN, -kNaN, kInf, -kInf, 0.0, -0.0,
    std::numeric_limits<double>::denorm_min(), -std::numeric_limits<double>::denorm_min(), 1e-310,
    std::numeric_limits<double>::min(), std::numeric_limits<double>::max(), -1.0 };

bool SameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// The target values at which the plain bisection's decisions are closest: f at each of its last
// midpoints and at one randomly chosen earlier one, and one ulp either side of each.
std::vector<double> MidpointTargets(
    const std::function<double(double)>& f, double target, double lo, double hi, std::mt19937_64& random)
{
    std::vector<double> mids;
    detail::Bisect(
        [&](double t) {
            mids.push_back(t);
            return f(t);
        },
        target, lo, hi);
    std::vector<double> targets;
    const std::size_t n = mids.size();
    for (std::size_t k : { n - 1, n - 2, n - 3, std::size_t(random() % n) }) {
        if (k >= n)
            continue;
        const double value = f(mids[k]);
        targets.insert(targets.end(), { value, std::nextafter(value, -kInf), std::nextafter(value, kInf) });
    }
    return targets;
}

struct Mismatches
{
    int count = 0;
    long checked = 0;
    void Check(double fast, double plain, const char* routine, std::initializer_list<double> inputs)
    {
        ++checked;
        if (SameBits(fast, plain) || ++count > 5)
            return;
        std::string text;
        for (const double input : inputs)
            text += std::to_string(input) + " ";
        ADD_FAILURE() << routine << "(" << text << ") gives " << fast << ", the plain bisection " << plain;
    }
};

class FastInverse : public testing::TestWithParam<SaturationMethod>
{
};

TEST_P(FastInverse, SaturationTemperatureIsThePlainBisectionsDouble)
{
    const SaturationMethod method = GetParam();
    const double hi = method == kIapws ? kTriplePointK : kHighestTemperatureK;
    const auto f = [method](double t) { return SaturationPressure(t, method); };
    Mismatches mismatches;
    const auto check = [&](double p) {
        mismatches.Check(SaturationTemperature(p, method), PlainSaturationTemperature(p, method),
            "SaturationTemperature", { p, double(method) });
    };
    std::vector<double> fixed(std::begin(kSpecials), std::end(kSpecials));
    // The bracket ends, the switch points and the triple-point pressure, each with its neighbours.
    for (const double t : { kLowestTemperatureK, 273.15, kTriplePointK, hi, kHighestTemperatureK }) {
        for (const double p : { f(t), f(std::nextafter(t, 0.0)), f(std::nextafter(t, kInf)), kTriplePointPa })
            fixed.insert(fixed.end(), { p, std::nextafter(p, 0.0), std::nextafter(p, kInf) });
    }
    fixed.insert(fixed.end(), { 1e-3, 2e6, 1e300, -5.0 });
    for (const double p : fixed)
        check(p);

    std::mt19937_64 random(20261208 + method);
    std::uniform_real_distribution<double> log_pressure(std::log(1e-3), std::log(2e6));
    while (mismatches.checked < kRandomInputs) {
        const double p = std::exp(log_pressure(random));
        check(p);
        if (mismatches.checked % 16 == 0 && (method == kHylandWexler || p <= kTriplePointPa)) {
            for (const double target : MidpointTargets(f, p, kLowestTemperatureK, hi, random))
                check(target);
        }
    }
    EXPECT_EQ(mismatches.count, 0);
}

TEST_P(FastInverse, WetBulbTemperatureIsThePlainBisectionsDouble)
{
    const SaturationMethod method = GetParam();
    Mismatches mismatches;
    const auto check = [&](double w, double t, double p) {
        mismatches.Check(WetBulbTemperature(w, t, p, method), PlainWetBulbTemperature(w, t, p, method),
            "WetBulbTemperature", { w, t, p, double(method) });
    };
    // Dry bulbs at and beside the bracket's lower end, the switch points and the upper end of the
    // routines; pressures near the saturation pressure at the dry bulb; every special value in every place.
    const double switches[]
        = { kLowestTemperatureK, std::nextafter(kLowestTemperatureK, kInf), 273.15, kTriplePointK, 373.15,
              kHighestTemperatureK, std::nextafter(kHighestTemperatureK, kInf), 150.0, 500.0 };
    for (const double t : switches) {
        const double ps = SaturationPressure(t, method);
        for (const double p : { 101325.0, 5000.0, 1e6, ps, ps * 1.0001, ps * 1.02, ps * 0.99 }) {
            const double w_sat = HumidityRatioFromWetBulb(t, t, p, method);
            for (const double w :
                { 0.0, 0.001, w_sat, std::nextafter(w_sat, 0.0), std::nextafter(w_sat, kInf),
                    HumidityRatioFromWetBulb(kLowestTemperatureK, t, p, method), -0.5, 5.0 })
                check(w, t, p);
        }
    }
    for (const double special : kSpecials) {
        check(special, 303.15, 101325);
        check(0.01, special, 101325);
        check(0.01, 303.15, special);
    }

    std::mt19937_64 random(20261209 + method);
    std::uniform_real_distribution<double> unit(0, 1);
    while (mismatches.checked < kRandomInputs) {
        // Mostly the calculator's own range, now and then the routines' whole bracket.
        const bool wide = random() % 8 == 0;
        const double t = wide ? 173.15 + 300 * unit(random) : 173.15 + 200 * unit(random);
        const double p = wide ? 1000 + 2e6 * unit(random) : 5000 + 995000 * unit(random);
        const double ps = SaturationPressure(t, method);
        const double w_sat = ps < p ? 0.62198 * ps / (p - ps) : 0.1;
        const double w = w_sat * (unit(random) * 1.1 - 0.05);
        check(w, t, p);
        if (mismatches.checked % 16 == 0) {
            const auto f = [&](double twb) { return HumidityRatioFromWetBulb(twb, t, p, method); };
            for (const double target : MidpointTargets(f, w, kLowestTemperatureK, t, random))
                check(target, t, p);
        }
    }
    EXPECT_EQ(mismatches.count, 0);
}

INSTANTIATE_TEST_SUITE_P(Formulations, FastInverse, testing::Values(kIapws, kHylandWexler),
    [](const testing::TestParamInfo<SaturationMethod>& info) {
        return info.param == kIapws ? "Iapws" : "HylandWexler";
    });

// The replay refuses, rather than guesses, where its premises fail: a root estimate outside the bracket
// or not between the anchors, a reversed or empty bracket, a target the bracket does not enclose.
TEST(ReplayBisection, RefusesWhereThePlainBisectionLeavesItsNormalCourse)
{
    const auto f = [](double t) { return SaturationPressure(t, kHylandWexler); };
    const double p = f(250);
    EXPECT_TRUE(detail::ReplayBisection(f, p, 173.15, 473.15, 250, 1e-7, 1e-9).has_value());
    EXPECT_EQ(*detail::ReplayBisection(f, p, 173.15, 473.15, 250, 1e-7, 1e-9),
        detail::Bisect(f, p, 173.15, 473.15));
    EXPECT_FALSE(detail::ReplayBisection(f, p, 173.15, 473.15, 260, 1e-7, 1e-9)); // estimate far off
    EXPECT_FALSE(detail::ReplayBisection(f, p, 473.15, 173.15, 250, 1e-7, 1e-9)); // reversed
    EXPECT_FALSE(detail::ReplayBisection(f, p, 250, 250, 250, 1e-7, 1e-9));       // empty
    EXPECT_FALSE(detail::ReplayBisection(f, f(480), 173.15, 473.15, 473, 1e-7, 1e-9));
    EXPECT_FALSE(detail::ReplayBisection(f, kNaN, 173.15, 473.15, 250, 1e-7, 1e-9));
    EXPECT_FALSE(detail::ReplayBisection(f, p, 173.15, 473.15, 250, 1e-10, 1e-9)); // anchors inside the guard
    // Ends where a sum or a midpoint could be subnormal or overflow, and halving inexact.
    const auto line = [](double x) { return x; };
    EXPECT_FALSE(detail::ReplayBisection(line, 1e-310, 0.0, 1e-300, 1e-310, 1e-320, 1e-321));
    EXPECT_FALSE(detail::ReplayBisection(line, 5.0, 2.0, 1.5e308, 5.0, 1e-7, 1e-9));
}

// The interpolated curves the estimates come from: ln p_s and its slope against the formulations
// themselves at temperatures between the nodes and at the switch points, and the inverse against the
// forward curve. An estimate that strays costs the fast routines their shortcut on every call.
TEST(SaturationCurve, FollowsTheFormulationsBetweenItsNodes)
{
    struct Range
    {
        SaturationMethod method;
        double lo, hi;
    };
    const Range ranges[] = { { kIapws, kLowestTemperatureK, kTriplePointK },
        { kIapws, std::nextafter(kTriplePointK, kInf), kHighestTemperatureK },
        { kHylandWexler, kLowestTemperatureK, std::nextafter(273.15, 0.0) },
        { kHylandWexler, 273.15, kHighestTemperatureK } };
    for (const Range& range : ranges) {
        double worst_log = 0, worst_slope = 0, worst_curvature = 0, worst_inverse = 0;
        for (int i = 0; i <= 10007; ++i) {
            const double t = range.lo + (range.hi - range.lo) * i / 10007;
            const detail::LogPressurePoint point = detail::EstimatedLogSaturationPressure(t, range.method);
            const double log_ps = point.value;
            worst_log
                = std::max(worst_log, std::fabs(log_ps - std::log(SaturationPressure(t, range.method))));
            // The derivatives against central differences, away from the ends where the differences
            // would straddle the switch.
            if (i > 0 && i < 10007) {
                const double h = 1e-3;
                const auto y = [&](double x) { return std::log(SaturationPressure(x, range.method)); };
                const double slope = (y(t + h) - y(t - h)) / (2 * h);
                const double curvature = (y(t + h) - 2 * y(t) + y(t - h)) / (h * h);
                worst_slope = std::max(worst_slope, std::fabs(point.slope / slope - 1));
                worst_curvature = std::max(worst_curvature, std::fabs(point.curvature / curvature - 1));
            }
            if (range.method == kHylandWexler || t <= kTriplePointK) {
                const double back = detail::EstimatedSaturationTemperature(std::exp(log_ps), range.method);
                worst_inverse = std::max(worst_inverse, std::fabs(back - t));
            }
        }
        SCOPED_TRACE(testing::Message() << "method " << range.method << " from " << range.lo << " K");
        EXPECT_LT(worst_log, 3e-10);
        EXPECT_LT(worst_slope, 1e-6);
        EXPECT_LT(worst_curvature, 1e-3);
        EXPECT_LT(worst_inverse, 1e-9);
    }
}

TEST(SaturationCurve, EstimatesOutsideItsRangeAreNaNAndTheGapAtTheSwitchIsTheSwitch)
{
    for (const SaturationMethod method : { kIapws, kHylandWexler }) {
        for (const double t : { 173.0, 473.2, kNaN, -kInf })
            EXPECT_TRUE(std::isnan(detail::EstimatedLogSaturationPressure(t, method).value)) << t;
        for (const double p : { 1e-9, 0.0, -1.0, kNaN, 1e8 })
            EXPECT_TRUE(std::isnan(detail::EstimatedSaturationTemperature(p, method))) << p;
    }
    EXPECT_TRUE(std::isnan(detail::EstimatedLogSaturationPressure(300, 3).value));
    // IAPWS bisects only below the triple point; above it the estimate has no root to offer.
    EXPECT_TRUE(std::isnan(detail::EstimatedSaturationTemperature(700, kIapws)));
    // Hyland-Wexler's ice branch ends below its water branch at 273.15 K: pressures between are reached
    // at the switch itself.
    const double ice
        = std::exp(detail::EstimatedLogSaturationPressure(std::nextafter(273.15, 0.0), kHylandWexler).value);
    const double water = SaturationPressure(273.15, kHylandWexler);
    ASSERT_LT(ice, water);
    EXPECT_EQ(detail::EstimatedSaturationTemperature((ice + water) / 2, kHylandWexler), 273.15);
}

// What the shortcut is for: the saturation temperature at two evaluations of the saturation pressure
// and the wet bulb at three, on average over the calculator's states, against the plain bisection's 28
// to 30; the results the plain bisection's own.
long g_evaluations = 0;
double CountedSaturationPressure(double t, SaturationMethod method)
{
    ++g_evaluations;
    return SaturationPressure(t, method);
}

TEST_P(FastInverse, TakesAFewEvaluationsPerCall)
{
    const SaturationMethod method = GetParam();
    std::mt19937_64 random(14 + method);
    std::uniform_real_distribution<double> unit(0, 1);
    constexpr int kCalls = 20000;
    long dew_point = 0, wet_bulb = 0, dew_point_calls = 0;
    for (int i = 0; i < kCalls; ++i) {
        const double t = 233.15 + 120 * unit(random);
        const double p = 60000 + 50000 * unit(random);
        const double pv = SaturationPressure(t, method) * (0.01 + 0.99 * unit(random));
        const double w = kMolarMassRatio * pv / (p - pv);
        g_evaluations = 0;
        const double twb = detail::WetBulbTemperatureBy(w, t, p, method, CountedSaturationPressure);
        wet_bulb += g_evaluations;
        ASSERT_TRUE(SameBits(twb, PlainWetBulbTemperature(w, t, p, method))) << w << " " << t << " " << p;
        if (method == kIapws && pv > kTriplePointPa)
            continue; // the closed form
        g_evaluations = 0;
        const double tdp = detail::SaturationTemperatureBy(pv, method, CountedSaturationPressure);
        dew_point += g_evaluations;
        ++dew_point_calls;
        ASSERT_TRUE(SameBits(tdp, PlainSaturationTemperature(pv, method))) << pv;
    }
    ASSERT_GT(dew_point_calls, kCalls / 10);
    EXPECT_LT(double(dew_point) / dew_point_calls, 2.2);
    EXPECT_LT(double(wet_bulb) / kCalls, 3.3);
}

} // namespace
} // namespace humidora
