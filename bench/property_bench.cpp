// Cost of the property routines, with one exp() call as the yardstick of a saturation evaluation.
#include "core/properties.h"
#include "core/saturation_curve.h"

#include <benchmark/benchmark.h>
#include <cmath>

namespace {

using namespace humidora;

void BM_Exp(benchmark::State& state)
{
    double x = 17.25;
    for (auto _ : state) {
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(std::exp(x));
    }
}
BENCHMARK(BM_Exp);

void BM_SaturationPressure(benchmark::State& state)
{
    const auto method = static_cast<SaturationMethod>(state.range(0));
    const double t = state.range(1) == 0 ? 253.15 : 298.15; // ice branch, water branch
    double x = t;
    for (auto _ : state) {
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(SaturationPressure(x, method));
    }
}
BENCHMARK(BM_SaturationPressure)->ArgsProduct({ { 1, 2 }, { 0, 1 } })->ArgNames({ "method", "water" });

// The same calls one after the other, each argument waiting for the previous result (the result times
// zero is added), as in a bisection: the latency of one evaluation rather than the throughput of many
// independent ones, which the processor overlaps.
void BM_SaturationPressureChained(benchmark::State& state)
{
    const auto method = static_cast<SaturationMethod>(state.range(0));
    const double t = state.range(1) == 0 ? 253.15 : 298.15;
    double p = 0;
    for (auto _ : state) {
        p = SaturationPressure(t + p * 0.0, method);
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_SaturationPressureChained)->ArgsProduct({ { 1, 2 }, { 0, 1 } })->ArgNames({ "method", "water" });

// The time of an inverse routine depends on the machine; its cost in saturation evaluations does not.
// The counters "evaluations" count them by running the routine's own code with a saturation pressure
// that counts its calls (and check that it returns the routine's result, else -1); 0 where IAPWS
// inverts IF97 in closed form.
int g_evaluations = 0;
double CountedSaturationPressure(double t, SaturationMethod method)
{
    ++g_evaluations;
    return SaturationPressure(t, method);
}

template <class Call> int CountEvaluations(const Call& counted, double result)
{
    g_evaluations = 0;
    return counted() == result ? g_evaluations : -1;
}

void BM_SaturationTemperature(benchmark::State& state)
{
    const auto method = static_cast<SaturationMethod>(state.range(0));
    double p = state.range(1) == 0 ? 100.0 : 1584.87;
    for (auto _ : state) {
        benchmark::DoNotOptimize(p);
        benchmark::DoNotOptimize(SaturationTemperature(p, method));
    }
    state.counters["evaluations"] = CountEvaluations(
        [&] { return detail::SaturationTemperatureBy(p, method, CountedSaturationPressure); },
        SaturationTemperature(p, method));
}
BENCHMARK(BM_SaturationTemperature)->ArgsProduct({ { 1, 2 }, { 0, 1 } })->ArgNames({ "method", "above_tp" });

void BM_HumidityRatioFromWetBulb(benchmark::State& state)
{
    double twb = 291.04;
    for (auto _ : state) {
        benchmark::DoNotOptimize(twb);
        benchmark::DoNotOptimize(HumidityRatioFromWetBulb(twb, 298.15, 101325, kIapws));
    }
}
BENCHMARK(BM_HumidityRatioFromWetBulb);

void BM_WetBulbTemperature(benchmark::State& state)
{
    const auto method = static_cast<SaturationMethod>(state.range(0));
    double w = 0.0098832758;
    for (auto _ : state) {
        benchmark::DoNotOptimize(w);
        benchmark::DoNotOptimize(WetBulbTemperature(w, 298.15, 101325, method));
    }
    state.counters["evaluations"] = CountEvaluations(
        [&] { return detail::WetBulbTemperatureBy(w, 298.15, 101325, method, CountedSaturationPressure); },
        WetBulbTemperature(w, 298.15, 101325, method));
}
BENCHMARK(BM_WetBulbTemperature)->Arg(1)->Arg(2)->ArgName("method");

void BM_PressureFromAltitude(benchmark::State& state)
{
    double z = 1000;
    for (auto _ : state) {
        benchmark::DoNotOptimize(z);
        benchmark::DoNotOptimize(PressureFromAltitude(z));
    }
}
BENCHMARK(BM_PressureFromAltitude);

void BM_AltitudeFromPressure(benchmark::State& state)
{
    double p = 89874.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(p);
        benchmark::DoNotOptimize(AltitudeFromPressure(p));
    }
}
BENCHMARK(BM_AltitudeFromPressure);

} // namespace
