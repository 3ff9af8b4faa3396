// SaturationTemperature and WetBulbTemperature return exactly the double of the plain bisection: over
// random states and over the inputs where a shortcut would go wrong first (targets equal to the function
// at a midpoint of the bisection and one ulp either side, the bracket ends, outside the bracket, the
// switch points of the formulations, a pressure near the saturation pressure, NaN, infinities, zeros,
// subnormals).
#include "core/bisection.h"
#include "core/properties.h"

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
}

} // namespace
} // namespace humidora
