// One recalculation of the main window at its start-up state, for each of the eight humidity parameters as
// the given one and both formulations: everything from the limit labels to the composition listing,
// formatting included.
#include "calc/ambient/calculate_ambient.h"
#include "calc/windows/ambient_window.h"

#include <benchmark/benchmark.h>

namespace {

using humidora::AmbientControls;
using humidora::AmbientState;
using humidora::AmbientWindow;

// args: option number of the given humidity parameter, 1 for IAPWS or 2 for Hyland-Wexler.
void BM_CalculateAmbient(benchmark::State& bench)
{
    const int option = static_cast<int>(bench.range(0));
    AmbientWindow window;
    window.Open();
    if (bench.range(1) == 2)
        window.ChooseHylandWexler();
    // The box of the clicked option keeps the value the start-up run computed for it.
    window.ClickOption(option);
    AmbientControls controls = window.controls();
    AmbientState state = window.state();
    for (auto _ : bench) {
        humidora::CalculateAmbient(controls, state);
        benchmark::DoNotOptimize(controls.List1.lines.data());
    }
    if (controls.List1.background != humidora::Background::LightOrange)
        bench.SkipWithError("the run did not complete");
}
BENCHMARK(BM_CalculateAmbient)
    ->ArgNames({ "option", "method" })
    ->ArgsProduct({ { 1, 2, 3, 4, 5, 6, 7, 10 }, { 1, 2 } })
    ->Unit(benchmark::kMicrosecond);

} // namespace
