// The chart's lines: every family computed afresh (no cache) for each preset field in both systems.
#include "chart/chart_lines.h"

#include <benchmark/benchmark.h>

namespace {

using humidora::chart::ChartRange;
using humidora::chart::ChartSystem;

void BM_ChartLines(benchmark::State& state)
{
    const humidora::chart::ChartSpec setup { 101325, static_cast<humidora::SaturationMethod>(state.range(2)),
        static_cast<ChartSystem>(state.range(1)),
        humidora::chart::PresetField(static_cast<ChartRange>(state.range(0))) };
    std::size_t points = 0;
    for (auto _ : state) {
        const humidora::chart::ChartLines lines = humidora::chart::ComputeChartLines(setup);
        points = 0;
        for (const humidora::chart::ChartLine& line : lines.lines)
            points += line.points.size();
        benchmark::DoNotOptimize(points);
    }
    state.counters["points"] = static_cast<double>(points);
}
BENCHMARK(BM_ChartLines)
    ->ArgNames({ "range", "british", "method" })
    ->ArgsProduct({ { 0, 1, 2 }, { 0, 1 }, { 1, 2 } })
    ->Unit(benchmark::kMillisecond);

} // namespace
