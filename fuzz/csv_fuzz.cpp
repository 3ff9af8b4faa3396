// Fuzz target of the CSV reader and of humidora-cli batch's path from a row to its output line.
//
// The first byte chooses the dialect (delimiter ',' ';' '\t' or '|', decimal comma) and how the input
// is cut (the bytes per device read and per block of records); the second the humidity parameter of the
// second column; the rest is the file. Checked:
// - the records are the same read one by one, in blocks of whole records, and from a device that hands
//   out a few bytes per read;
// - written back field by field (after a byte-order mark, which the reader takes away) they read the same;
// - batch, run in-process on the file with its first columns as temperature, humidity and pressure,
//   succeeds and writes one line per record, each with the header's fields, the sixteen results and the
//   status: the input fields as given, results that are all finite numbers (or the window's "< min" of
//   a dew point and "Out of Range" of an altitude) for an "ok" row and all empty for a refused one, and a
//   reason in the status.
#include "calc/units/number_text.h"
#include "cli/commands.h"
#include "fuzz_check.h"
#include "io/csv.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace humidora;
using Records = std::vector<std::vector<std::string>>;

QCoreApplication* application = nullptr;
QTemporaryDir* scratch = nullptr;
int quiet_stderr = -1;
std::FILE* captured = nullptr; ///< standard output of a batch run

constexpr char kDelimiters[] = { ',', ';', '\t', '|' };
constexpr const char* kHumidity[] = { "relative-humidity", "humidity-ratio", "dew-point", "wet-bulb",
    "absolute-humidity", "partial-pressure", "mole-fraction", "mass-fraction" };
constexpr std::size_t kResults = 16;
constexpr std::size_t kAltitude = 2; ///< places among the results, in the order of the quantities
constexpr std::size_t kDewPoint = 6;

// A device that hands out at most `step` bytes per read, as a pipe may.
class SteppingDevice : public QIODevice
{
public:
    SteppingDevice(const QByteArray& data, qint64 step)
        : data_(data)
        , step_(step)
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* out, qint64 size) override
    {
        const qint64 n = std::min({ size, step_, data_.size() - position_ });
        std::copy_n(data_.constData() + position_, n, out);
        position_ += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    const QByteArray& data_;
    qint64 step_;
    qint64 position_ = 0;
};

Records OneByOne(QIODevice& device, char delimiter)
{
    CsvReader reader(device, delimiter);
    Records records;
    std::vector<std::string> fields;
    while (reader.Next(fields))
        records.push_back(fields);
    FUZZ_CHECK(reader.error().isEmpty(), "a read error from memory");
    return records;
}

Records InBlocks(QIODevice& device, char delimiter, std::size_t bytes)
{
    CsvReader reader(device, delimiter);
    Records records;
    std::vector<std::string> fields;
    if (reader.Next(fields))
        records.push_back(fields);
    std::string block;
    while (reader.NextRecords(block, bytes)) {
        FUZZ_CHECK(!block.empty(), "an empty block of records");
        CsvRecords split(block, delimiter);
        while (split.Next(fields))
            records.push_back(fields);
    }
    return records;
}

Records FromMemory(const QByteArray& bytes, char delimiter)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return OneByOne(buffer, delimiter);
}

std::string Describe(const Records& records)
{
    std::string text;
    for (const auto& record : records) {
        text += '[';
        for (const std::string& field : record)
            text += fuzz::Printable(field) + ' ';
        text += "] ";
    }
    return text;
}

const cli::Command& BatchCommand()
{
    for (const cli::Command& command : cli::kCommands) {
        if (std::string_view(command.name) == "batch")
            return command;
    }
    std::abort();
}

// True when a header name reaches the parser unchanged (the command line holds valid UTF-8 only).
bool SurvivesTheCommandLine(const std::string& name)
{
    return QString::fromStdString(name).toStdString() == name && name.find('\0') == std::string::npos;
}

void CheckBatch(
    const QByteArray& file, const Records& records, char delimiter, bool decimal_comma, const char* humidity)
{
    const std::vector<std::string>& header = records.front();
    if (header.size() < 2)
        return;
    QFile input(scratch->filePath("in.csv"));
    if (!input.open(QIODevice::WriteOnly) || input.write(file) != file.size() || !input.flush())
        std::abort();
    input.close();

    // The rows go to standard output, a scratch file meanwhile: a named output would be synced to disk
    // on every run, which the fuzzer cannot afford.
    QStringList arguments = { "humidora-cli batch", scratch->filePath("in.csv"), "--jobs", "1", "--delimiter",
        QString(QChar(delimiter)), "--temperature-column=" + QString::fromStdString(header[0]),
        QString("--%1-column=").arg(humidity) + QString::fromStdString(header[1]) };
    bool names_survive = SurvivesTheCommandLine(header[0]) && SurvivesTheCommandLine(header[1]);
    if (header.size() > 2) {
        arguments << "--pressure-column=" + QString::fromStdString(header[2]);
        names_survive = names_survive && SurvivesTheCommandLine(header[2]);
    }
    if (decimal_comma)
        arguments << "--decimal-comma";

    std::fflush(nullptr);
    const int saved_stderr = dup(STDERR_FILENO);
    const int saved_stdout = dup(STDOUT_FILENO);
    std::rewind(captured);
    if (ftruncate(fileno(captured), 0) != 0)
        std::abort();
    dup2(quiet_stderr, STDERR_FILENO);
    dup2(fileno(captured), STDOUT_FILENO);
    const int status = BatchCommand().run(arguments);
    std::fflush(nullptr);
    dup2(saved_stderr, STDERR_FILENO);
    dup2(saved_stdout, STDOUT_FILENO);
    close(saved_stderr);
    close(saved_stdout);

    const std::string context = "batch " + fuzz::Printable(arguments.join(' ').toStdString()) + " on "
        + fuzz::Printable(file.toStdString());
    if (!names_survive) {
        FUZZ_CHECK(status == cli::kSuccess || status == cli::kUsageError,
            context + ": status " + std::to_string(status));
        if (status != cli::kSuccess)
            return;
    }
    FUZZ_CHECK(status == cli::kSuccess, context + ": status " + std::to_string(status));

    QByteArray out;
    std::rewind(captured);
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, captured)) > 0;)
        out.append(buffer, static_cast<qsizetype>(n));
    const Records lines = FromMemory(out, delimiter);
    FUZZ_CHECK(lines.size() == records.size(),
        context + ": " + std::to_string(lines.size()) + " lines for " + std::to_string(records.size())
            + " records");
    const std::size_t width = header.size() + kResults + 1;
    for (std::size_t r = 1; r < records.size(); ++r) {
        const std::vector<std::string>& row = records[r];
        const std::vector<std::string>& line = lines[r];
        const std::string where = context + ", line " + std::to_string(r) + ": " + Describe({ line });
        FUZZ_CHECK(line.size() == width, where + " has " + std::to_string(line.size()) + " fields");
        for (std::size_t i = 0; i < std::min(row.size(), header.size()); ++i)
            FUZZ_CHECK(line[i] == row[i], where + ": input field " + std::to_string(i) + " changed");
        for (std::size_t i = row.size(); i < header.size(); ++i)
            FUZZ_CHECK(line[i].empty(), where + ": a missing field is not empty");
        const std::string& verdict = line.back();
        const bool ok = verdict == "ok";
        FUZZ_CHECK(!verdict.empty(), where + ": no status");
        FUZZ_CHECK(!ok || row.size() == header.size(), where + ": a row of another width is ok");
        for (std::size_t i = header.size(); i + 1 < width; ++i) {
            std::string result = line[i];
            if (decimal_comma)
                std::replace(result.begin(), result.end(), ',', '.');
            // As in the window: the dew point of air drier than the lowest dew point reads "< min", the
            // altitude of a pressure beyond the standard atmosphere's "Out of Range".
            const std::size_t quantity = i - header.size();
            if (ok)
                FUZZ_CHECK(IsNumberText(result) || (quantity == kDewPoint && result == "< min")
                        || (quantity == kAltitude && result == "Out of Range"),
                    where + ": result " + fuzz::Printable(result) + " of an ok row");
            else
                FUZZ_CHECK(result.empty(), where + ": a refused row has a result");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    application = new QCoreApplication(*argc, *argv);
    scratch = new QTemporaryDir(QDir::tempPath() + "/humidora-csv-fuzz-XXXXXX");
    if (!scratch->isValid())
        std::abort();
    std::atexit([] { delete scratch; }); // libFuzzer ends through exit(): remove the scratch folder
    quiet_stderr = ::open("/dev/null", O_WRONLY);
    captured = std::tmpfile();
    if (quiet_stderr < 0 || captured == nullptr)
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const char delimiter = kDelimiters[data[0] & 3];
    const bool decimal_comma = (data[0] & 4) != 0 && delimiter != ',';
    const qint64 step = 1 + ((data[0] >> 3) & 7) * 3;
    const std::size_t block = 1 + static_cast<std::size_t>(data[0] >> 6) * 17;
    const char* humidity = kHumidity[data[1] % std::size(kHumidity)];
    const QByteArray file(reinterpret_cast<const char*>(data + 2), static_cast<qsizetype>(size - 2));

    const Records records = FromMemory(file, delimiter);
    {
        QBuffer buffer;
        buffer.setData(file);
        buffer.open(QIODevice::ReadOnly);
        const Records blocks = InBlocks(buffer, delimiter, block);
        FUZZ_CHECK(
            blocks == records, "in blocks: " + Describe(blocks) + "\n    one by one: " + Describe(records));
        SteppingDevice stepping(file, step);
        const Records stepped = OneByOne(stepping, delimiter);
        FUZZ_CHECK(
            stepped == records, "stepped: " + Describe(stepped) + "\n    at once: " + Describe(records));
    }

    std::string written = "\xEF\xBB\xBF";
    for (const auto& record : records) {
        for (std::size_t i = 0; i < record.size(); ++i) {
            if (i > 0)
                written += delimiter;
            AppendCsvField(written, record[i], delimiter);
        }
        written += '\n';
    }
    const Records reread = FromMemory(QByteArray::fromStdString(written), delimiter);
    FUZZ_CHECK(reread == records, "written " + fuzz::Printable(written) + " reads " + Describe(reread));

    if (!records.empty())
        CheckBatch(file, records, delimiter, decimal_comma, humidity);
    return 0;
}
