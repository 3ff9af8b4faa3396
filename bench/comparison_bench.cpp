// Humidora against PsychroLib (C version, compiled in when its source is beside the repository) on the
// same 4096 states from dry bulb, relative humidity and pressure: PsychroLib's whole state
// (CalcPsychrometricsFromRelHum: humidity ratio, wet bulb, dew point, enthalpy, volume), Humidora's
// numeric state by both formulations, and one recalculation of the main window with all its texts. The
// per-state times are the counter "ns_per_state"; scripts/bench divides them within one run.
#include "calc/ambient/calculate_ambient.h"
#include "calc/ambient/numeric_state.h"
#include "calc/points/air_process.h"
#include "calc/windows/ambient_window.h"
#include "core/properties.h"

#ifdef HUMIDORA_PSYCHROLIB
extern "C" {
#include "psychrolib.h"
}
#endif

#include <benchmark/benchmark.h>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace humidora;

constexpr int kStates = 4096;

struct Inputs
{
    double t_C, rh, p_Pa;
};

// Indoor, outdoor and process air: -20..50 C, 5..95 %, 80..105 kPa.
const std::vector<Inputs>& States()
{
    static const std::vector<Inputs> states = [] {
        std::mt19937_64 random(4096);
        std::uniform_real_distribution<double> unit(0, 1);
        std::vector<Inputs> s;
        for (int i = 0; i < kStates; ++i)
            s.push_back({ -20 + 70 * unit(random), 0.05 + 0.9 * unit(random), 80000 + 25000 * unit(random) });
        return s;
    }();
    return states;
}

// Nanoseconds per state, the figure the ratios are taken of.
void PerState(benchmark::State& bench)
{
    bench.counters["ns_per_state"] = benchmark::Counter(double(bench.iterations()) * kStates * 1e-9,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

#ifdef HUMIDORA_PSYCHROLIB
void BM_PsychroLibState(benchmark::State& bench)
{
    SetUnitSystem(SI);
    for (auto _ : bench) {
        for (const Inputs& s : States()) {
            double w, twb, tdp, pv, h, v, mu;
            CalcPsychrometricsFromRelHum(s.t_C, s.rh, s.p_Pa, &w, &twb, &tdp, &pv, &h, &v, &mu);
            benchmark::DoNotOptimize(twb + tdp + h + v);
        }
    }
    PerState(bench);
}
BENCHMARK(BM_PsychroLibState)->Unit(benchmark::kMicrosecond);
#endif

// The same five quantities by Humidora's relations.
void BM_NumericState(benchmark::State& bench)
{
    const auto method = static_cast<SaturationMethod>(bench.range(0));
    for (auto _ : bench) {
        for (const Inputs& s : States()) {
            const double t = s.t_C + kCelsiusOffset;
            const double pv = SaturationPressure(t, method) * s.rh;
            const double w = kMolarMassRatio * pv / (s.p_Pa - pv);
            const double twb = WetBulbTemperature(w, t, s.p_Pa, method);
            const double tdp = SaturationTemperature(pv, method);
            benchmark::DoNotOptimize(twb + tdp + MoistAirEnthalpy(t, w) + SpecificVolume(t, w, s.p_Pa));
        }
    }
    PerState(bench);
}
BENCHMARK(BM_NumericState)->Arg(1)->Arg(2)->ArgName("method")->Unit(benchmark::kMicrosecond);

// The calculation on numbers that the batch's full numbers and the Python module run: the window's
// acceptance and all sixteen values, without texts (metric units, IAPWS).
void BM_NumericCalculation(benchmark::State& bench)
{
    const NumericCalculation calculation;
    NumericState state;
    for (auto _ : bench) {
        for (const Inputs& s : States()) {
            calculation.Compute(s.t_C, s.p_Pa / 1000, s.rh * 100, state);
            benchmark::DoNotOptimize(state.values);
        }
    }
    PerState(bench);
}
BENCHMARK(BM_NumericCalculation)->Unit(benchmark::kMicrosecond);

// One recalculation of the main window per state, every text included.
void BM_RecalculationPerState(benchmark::State& bench)
{
    AmbientWindow window;
    window.Open();
    if (bench.range(0) == 2)
        window.ChooseHylandWexler();
    AmbientControls controls = window.controls();
    AmbientState state = window.state();
    std::vector<std::array<std::string, 3>> texts;
    for (const Inputs& s : States())
        texts.push_back({ std::to_string(s.t_C), std::to_string(s.p_Pa / 1000), std::to_string(s.rh * 100) });
    for (auto _ : bench) {
        for (const auto& [t, p, rh] : texts) {
            controls.Text1.text = t;
            controls.Text2.text = p;
            controls.Text4.text = rh;
            benchmark::DoNotOptimize(CalculateAmbient(controls, state));
        }
    }
    PerState(bench);
}
BENCHMARK(BM_RecalculationPerState)->Arg(1)->Arg(2)->ArgName("method")->Unit(benchmark::kMicrosecond);

} // namespace
