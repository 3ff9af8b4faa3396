// humidora-cli batch on a CSV file of logger rows (dry bulb, relative humidity, pressure; all sixteen
// quantities out, full numbers, all cores), from the file to /dev/null. The counter "ns_per_row" is the
// wall time per row; "cpu_ns_per_row" the processor time of all threads per row, which a machine busy
// with other work does not inflate; "peak_rss_MB" the process's peak resident memory after the run, so
// that a run of ten times the rows after a smaller one shows whether memory grows with the row count.
#include "cli/commands.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>
#include <sys/resource.h>

#ifdef HUMIDORA_PSYCHROLIB
int RunPsychroLibBatch(const char* input, const char* output);
#endif

namespace {

// The rows' file, written once per row count for every benchmark of this program.
QString WriteRows(long rows)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QString("rows%1.csv").arg(rows));
    if (QFile::exists(path))
        return path;
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    std::mt19937_64 random(rows);
    std::uniform_real_distribution<double> unit(0, 1);
    QByteArray chunk = "T,RH,P\n";
    for (long i = 0; i < rows; ++i) {
        chunk += QByteArray::number(-20 + 70 * unit(random), 'f', 2) + ','
            + QByteArray::number(5 + 90 * unit(random), 'f', 1) + ','
            + QByteArray::number(80 + 25 * unit(random), 'f', 3) + '\n';
        if (chunk.size() > (1 << 20)) {
            file.write(chunk);
            chunk.clear();
        }
    }
    file.write(chunk);
    return path;
}

double CpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

void RowCounters(benchmark::State& bench, long rows, double cpu_before)
{
    bench.counters["cpu_ns_per_row"]
        = (CpuSeconds() - cpu_before) * 1e9 / (double(rows) * double(bench.iterations()));
    bench.counters["ns_per_row"] = benchmark::Counter(double(rows) * double(bench.iterations()) * 1e-9,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    bench.counters["peak_rss_MB"] = double(usage.ru_maxrss) / 1024;
}

void BM_Batch(benchmark::State& bench)
{
    const long rows = bench.range(0);
    const QString input = WriteRows(rows);
    QStringList arguments = { "humidora-cli batch", input, "-o", "/dev/null", "--temperature-column", "T",
        "--relative-humidity-column", "RH", "--pressure-column", "P" };
    if (bench.range(1) > 0)
        arguments << "--jobs" << QString::number(bench.range(1));
    const double cpu_before = CpuSeconds();
    for (auto _ : bench) {
        if (humidora::cli::RunBatch(arguments) != 0)
            bench.SkipWithError("batch failed");
    }
    RowCounters(bench, rows, cpu_before);
}
// args: rows, worker threads (0: one per core).
BENCHMARK(BM_Batch)
    ->Args({ 100000, 0 })
    ->Args({ 1000000, 0 })
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

#ifdef HUMIDORA_PSYCHROLIB
// PsychroLib's whole-file peer on the same rows, right after the batch: read, computed and written on
// one thread (bench/psychrolib_batch.cpp), the same counters.
void BM_PsychroLibBatch(benchmark::State& bench)
{
    const long rows = bench.range(0);
    const QByteArray input = QFile::encodeName(WriteRows(rows));
    const double cpu_before = CpuSeconds();
    for (auto _ : bench) {
        if (RunPsychroLibBatch(input.constData(), "/dev/null") != 0)
            bench.SkipWithError("PsychroLib batch failed");
    }
    RowCounters(bench, rows, cpu_before);
}
BENCHMARK(BM_PsychroLibBatch)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

} // namespace
