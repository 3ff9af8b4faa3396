// The chart's data from file to picture: a year of hourly rows (goal: under a second) and a million rows
// drawn as a density (goal: under 3 s on two cores), each read from a CSV file, computed by the window's
// calculation on every core, binned and painted at the command line's default size.
#include "chart/chart_model.h"
#include "io/chart_picture.h"
#include "io/data_file.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <fstream>
#include <random>

namespace {

// Hourly weather of a temperate year: a seasonal and a daily swing of the dry bulb, the relative
// humidity falling as the day warms, with noise; written as a logger would (one decimal).
std::string WriteWeather(const QTemporaryDir& dir, long rows)
{
    const std::string path = dir.filePath(QStringLiteral("weather_%1.csv").arg(rows)).toStdString();
    std::ofstream out(path);
    out << "time,T,RH\n";
    std::mt19937 random(11);
    std::normal_distribution<double> noise(0, 6);
    char line[64];
    for (long h = 0; h < rows; ++h) {
        const double t = 12 + 10 * std::sin(2 * M_PI * h / 8760.0 - 1.9) + 5 * std::sin(2 * M_PI * h / 24.0);
        const double rh = std::clamp(65 - 20 * std::sin(2 * M_PI * h / 24.0) + noise(random), 5.0, 100.0);
        std::snprintf(line, sizeof line, "%ld,%.1f,%.0f\n", h, t, rh);
        out << line;
    }
    return path;
}

void PlotFile(benchmark::State& state, long rows)
{
    QTemporaryDir dir;
    humidora::chart::DataSource source;
    source.path = WriteWeather(dir, rows);
    source.temperature_column = "T";
    source.humidity_column = "RH";
    source.hourly = true;
    const std::vector<humidora::chart::Zone> zones
        = { { "Comfort", { 20, 26, "C" }, {}, {}, humidora::ZoneRange { 30, 60, "%" } } };
    humidora::chart::ChartModel model;
    for (auto _ : state) {
        auto read = humidora::ReadDataFile(source);
        auto& data = std::get<humidora::chart::DataSet>(read);
        model.SetData(std::make_shared<const humidora::chart::DataSet>(std::move(data)), zones);
        const QImage image = humidora::ChartImage(model.Picture(), QSize(1920, 1200));
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["rows/s"]
        = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_ChartDataYearOfHours(benchmark::State& state)
{
    PlotFile(state, 8760);
}
BENCHMARK(BM_ChartDataYearOfHours)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ChartDataMillionRowsDensity(benchmark::State& state)
{
    PlotFile(state, 1000000);
}
BENCHMARK(BM_ChartDataMillionRowsDensity)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
