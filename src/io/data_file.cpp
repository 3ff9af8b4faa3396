#include "io/data_file.h"

#include "io/csv.h"

#include <QFile>
#include <algorithm>
#include <future>
#include <thread>

namespace humidora {
namespace {

// Input handed to a worker at a time: a few thousand logger rows.
constexpr std::size_t kBytesPerTask = std::size_t(1) << 17;
// Refusals kept word for word; the rest are counted.
constexpr std::size_t kRefusalsKept = 5;

struct Block
{
    std::string text;
    std::vector<chart::DataPoint> points;
    std::vector<std::pair<long, std::string>> refusals; ///< row within the block, reason
    long rows = 0, refused = 0;
};

void Compute(chart::DataRowCalculator& calculator, Block& block, char delimiter)
{
    block.points.clear();
    block.refusals.clear();
    block.rows = block.refused = 0;
    CsvRecords records(block.text, delimiter);
    std::vector<std::string> row;
    for (; records.Next(row); ++block.rows) {
        auto result = calculator.Calculate(row);
        if (auto* point = std::get_if<chart::DataPoint>(&result)) {
            block.points.push_back(*point);
        } else {
            if (block.refusals.size() < kRefusalsKept)
                block.refusals.emplace_back(block.rows, std::move(std::get<std::string>(result)));
            ++block.refused;
        }
    }
}

} // namespace

std::variant<chart::DataSet, QString> ReadDataRows(const chart::DataSource& source, QIODevice& input,
    const QString& name, int threads, const std::atomic<bool>* cancel)
{
    const QString file = QStringLiteral("\"%1\"").arg(name);
    if (threads < 1)
        threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    CsvReader reader(input, source.delimiter);
    std::vector<std::string> header;
    if (!reader.Next(header))
        return QStringLiteral("The data file %1 is empty: it has no header line").arg(file);
    const chart::DataRowCalculator first(source, header);
    if (!first.error().empty())
        return QStringLiteral("The data file %1 cannot be plotted: %2")
            .arg(file, QString::fromStdString(first.error()));
    std::vector<chart::DataRowCalculator> calculators(static_cast<std::size_t>(threads), first);
    std::vector<Block> blocks(calculators.size());
    chart::DataSet data;
    data.hourly = source.hourly;
    for (;;) {
        if (cancel && cancel->load())
            return QStringLiteral("cancelled");
        std::size_t filled = 0;
        while (filled < blocks.size() && reader.NextRecords(blocks[filled].text, kBytesPerTask))
            ++filled;
        if (filled == 0)
            break;
        std::vector<std::future<void>> tasks;
        for (std::size_t t = 1; t < filled; ++t) {
            tasks.push_back(std::async(
                std::launch::async, [&, t] { Compute(calculators[t], blocks[t], source.delimiter); }));
        }
        Compute(calculators[0], blocks[0], source.delimiter);
        for (std::future<void>& task : tasks)
            task.get();
        for (std::size_t t = 0; t < filled; ++t) {
            const Block& block = blocks[t];
            for (const auto& [row, reason] : block.refusals) {
                if (data.first_refusals.size() < kRefusalsKept)
                    data.first_refusals.push_back(
                        "row " + std::to_string(data.rows + row + 1) + ": " + reason);
            }
            data.points.insert(data.points.end(), block.points.begin(), block.points.end());
            data.rows += block.rows;
            data.refused += block.refused;
        }
    }
    if (auto* device = qobject_cast<QFileDevice*>(&input); device && device->error() != QFileDevice::NoError)
        return QStringLiteral("Could not read the data file %1: %2").arg(file, device->errorString());
    return data;
}

std::variant<chart::DataSet, QString> ReadDataFile(
    const chart::DataSource& source, int threads, const std::atomic<bool>* cancel)
{
    const QString name = QString::fromStdString(source.path);
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Could not read the data file \"%1\": %2").arg(name, file.errorString());
    return ReadDataRows(source, file, name, threads, cancel);
}

std::variant<std::vector<std::string>, QString> ReadDataHeader(const QString& path, char delimiter)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Could not read the data file \"%1\": %2").arg(path, file.errorString());
    CsvReader reader(file, delimiter);
    std::vector<std::string> header;
    if (!reader.Next(header))
        return QStringLiteral("The data file \"%1\" is empty: it has no header line").arg(path);
    return header;
}

} // namespace humidora
