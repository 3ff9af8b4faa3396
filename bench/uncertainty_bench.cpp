// Measurement uncertainty: the linear propagation of one state against the state alone (the batch row's
// calculation on numbers; goal: at most 8x), the window's keystroke with the uncertainty shown (goal:
// under 16 ms), and the Monte Carlo check of 10^5 draws on the machine's cores (goal: under 1 s).
#include "calc/ambient/numeric_state.h"
#include "calc/ambient/uncertainty.h"
#include "calc/windows/ambient_window.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace humidora;

UncertaintySettings Typical()
{
    UncertaintySettings settings;
    settings.enabled = true;
    return settings; // 0.2 K, 2 %, 0.1 kPa, rectangular, k = 2
}

// The state alone: 25 C, 50 %, 101.325 kPa, as a batch row with full numbers computes it.
void BM_StateOnNumbers(benchmark::State& bench)
{
    const NumericCalculation calculation;
    NumericState state;
    for (auto _ : bench) {
        calculation.Compute(25, 101.325, 50, state);
        benchmark::DoNotOptimize(state.values.data());
    }
}
BENCHMARK(BM_StateOnNumbers);

// The same state with the linear propagation of its inputs' uncertainties, as a batch row adds it: the
// base is known from the row, six differences follow.
void BM_StateWithUncertainty(benchmark::State& bench)
{
    NumericEvaluator evaluator(std::make_shared<const NumericCalculation>());
    const UncertaintySettings settings = Typical();
    NumericState state;
    for (auto _ : bench) {
        evaluator.calculation().Compute(25, 101.325, 50, state);
        evaluator.SetBase({ 25, 50, 101.325 }, state.values);
        const UncertaintyResult result = PropagateUncertainty(evaluator, settings);
        benchmark::DoNotOptimize(result.quantities[6].U);
    }
}
BENCHMARK(BM_StateWithUncertainty);

// A keystroke in the main window's logic with the uncertainty shown: the recalculation of the typed text
// and the uncertainty of every output (the window's widget updates are measured in humidora_window_bench).
void BM_KeystrokeWithUncertainty(benchmark::State& bench)
{
    AmbientWindow window;
    window.Open();
    const UncertaintySettings settings = Typical();
    bool flip = false;
    for (auto _ : bench) {
        window.EditText(4, (flip = !flip) ? "55" : "50");
        ControlsEvaluator evaluator(window.controls());
        const UncertaintyResult result = PropagateUncertainty(evaluator, settings);
        benchmark::DoNotOptimize(result.quantities[6].U);
    }
}
BENCHMARK(BM_KeystrokeWithUncertainty)->Unit(benchmark::kMicrosecond);

// The Monte Carlo check: 10^5 draws on every core.
void BM_MonteCarlo(benchmark::State& bench)
{
    AmbientWindow window;
    window.Open();
    const ControlsEvaluator evaluator(window.controls());
    const UncertaintySettings settings = Typical();
    for (auto _ : bench) {
        const MonteCarloResult result = RunMonteCarlo(evaluator, settings, { .draws = bench.range(0) });
        benchmark::DoNotOptimize(result.quantities[6].low);
    }
}
BENCHMARK(BM_MonteCarlo)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
