// humidora-cli batch: one state of moist air per row of a CSV file, computed by the main window's own
// recalculation so that every row reads what the window shows for the same inputs. Rows stream through
// in chunks, each chunk spread over all cores and written in input order, so memory stays the same
// whatever the length of the file; a row's output depends on that row alone, so parts of a file processed
// apart concatenate to the output of the whole.
#include "calc/ambient/calculate_ambient.h"
#include "calc/ambient/numeric_state.h"
#include "calc/units/number_text.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/data_options.h"
#include "cli/state_inputs.h"
#include "cli/uncertainty_options.h"
#include "io/csv.h"

#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace humidora::cli {
namespace {

const char* const kDescription
    = "\nComputes one state of moist air per row of INPUT.csv (\"-\" or nothing: standard input), exactly "
      "as\n"
      "the main window computes it, and writes the input columns, one column per quantity (named as in\n"
      "\"state --json\", with the unit in brackets) and a status column (\"ok\", or why the row is refused)\n"
      "to OUTPUT.csv (default standard output). The temperature, the pressure or altitude and one humidity\n"
      "parameter come from the named columns or from the fixed options of \"state\" (--temperature,\n"
      "--pressure, --altitude, --relative-humidity, ...). A refused row keeps its place with empty results;\n"
      "the count of refused rows goes to standard error and the exit status stays 0 (3 when a file cannot\n"
      "be read or written). Rows are processed on all cores in chunks and written in input order; the\n"
      "same rows split into parts (the later ones with --input-columns and --no-header) concatenate to the\n"
      "output of the whole. OUTPUT may not be INPUT under any name or redirection; a named OUTPUT takes\n"
      "the place of an earlier file only when the whole run has succeeded. A row with more or fewer\n"
      "fields than the header keeps the columns: empty results, the reason in the status.\n"
      "Each --zone adds a column \"zone NAME\" that says whether the row lies \"inside\" or \"outside\" it\n"
      "(empty for a refused row).\n"
      "Example: humidora-cli batch logger.csv -o states.csv --temperature-column T "
      "--relative-humidity-column RH\n"
      "    --pressure 101.325 --columns wet_bulb,dew_point:F,enthalpy\n"
      "With --uncertainty each output quantity gets a column \"U(quantity) [unit]\" after the results: its\n"
      "expanded uncertainty from the inputs' accuracies (as in \"state --uncertainty\").";

// Input handed to a worker at a time: about five thousand logger rows, whose output is a megabyte or two.
constexpr std::size_t kBytesPerTask = std::size_t(1) << 17;

// Where an input of the calculation comes from: a column of the row, or the fixed text of the template.
struct Source
{
    int column = -1; ///< index in the row, -1 for the template's text
    ValueBox AmbientControls::*box = nullptr;
};

struct Settings
{
    AmbientControls controls; ///< the window after one run with the fixed inputs: lists, options, texts
    AmbientState state;
    std::vector<Source> sources; ///< temperature, pressure or altitude, humidity
    std::vector<const QuantityControls*> outputs;
    std::vector<chart::ZoneTest> zones;             ///< one "inside"/"outside" column each, after the outputs
    std::optional<UncertaintySettings> uncertainty; ///< the accuracies, when U columns are written
    std::shared_ptr<const NumericCalculation> uncertainty_calculation;
    std::size_t input_columns = 0;
    /// The full numbers come from the calculation on numbers; a row it refuses (or whose inputs are not
    /// all numbers) runs through the window's calculation, whose refusal names the texts as typed.
    std::optional<NumericCalculation> numeric;
    /// Where the temperature, the pressure or altitude and the humidity come from, in that order: a column,
    /// or (column -1) the fixed text of the template.
    std::array<int, 3> numeric_columns { -1, -1, -1 };
    std::array<std::string, 3> fixed_texts;
    /// For each row of kQuantities, which of the three inputs it writes back (-1: a computed value).
    std::array<int, 16> input_of_row {};
    bool full = true;
    bool decimal_comma = false;
    char delimiter = ',';
};

// The number as a text that reads back to the same double, with the chosen decimal separator.
void AppendNumber(std::string& out, double value, bool decimal_comma)
{
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    if (decimal_comma)
        std::replace(buffer, end, '.', ',');
    out.append(buffer, end);
}

std::string Fields(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " field" : " fields");
}

// One worker's calculation: the template's controls, reset before every row so that each row's output
// depends on that row only.
class RowCalculator
{
public:
    explicit RowCalculator(const Settings& settings)
        : settings_(settings)
        , controls_(settings.controls)
    {
        if (settings.uncertainty)
            evaluator_.emplace(settings.uncertainty_calculation);
    }

    void Append(const std::vector<std::string>& row, std::string& out)
    {
        const Settings& s = settings_;
        // The input part has the header's columns whatever the row holds: a short row is padded with
        // empty fields and a long one loses its surplus, so that results and status stay in their columns
        // (the status says what the row held).
        for (std::size_t i = 0; i < s.input_columns; ++i) {
            if (i > 0)
                out += s.delimiter;
            if (i < row.size())
                AppendCsvField(out, row[i], s.delimiter);
        }
        if (row.size() == s.input_columns && s.full && s.numeric && AppendNumbers(row, out))
            return;
        std::optional<Refusal> refusal;
        std::string status = "ok";
        if (row.size() != s.input_columns) {
            status = "The row has " + Fields(row.size()) + " where the header has " + Fields(s.input_columns);
        } else {
            for (const NamedBox& named : kValueBoxes)
                controls_.*(named.box) = s.controls.*(named.box);
            state_ = s.state;
            for (const Source& source : s.sources) {
                if (source.column < 0)
                    continue;
                std::string& text = (controls_.*(source.box)).text;
                text = row[static_cast<std::size_t>(source.column)];
                if (s.decimal_comma)
                    std::replace(text.begin(), text.end(), ',', '.');
            }
            // Only the value boxes are written out: the run leaves out the listing and the ranges of
            // the humidity parameters not given, with the same boxes and refusals as the window's.
            refusal = CalculateAmbient(controls_, state_, PropertyRoutines {}, RunExtent::Values);
            if (refusal)
                status = RefusalSentence(*refusal);
        }
        const bool ok = status == "ok";
        for (const QuantityControls* quantity : s.outputs) {
            out += s.delimiter;
            if (!ok)
                continue;
            const ValueBox& box = controls_.*(quantity->box);
            if (!s.full || !IsNumberText(box.text)) {
                std::string text = box.text;
                if (s.decimal_comma)
                    std::replace(text.begin(), text.end(), '.', ',');
                AppendCsvField(out, text, s.delimiter);
            } else {
                AppendNumber(out, box.locked ? box.value : NumberValue(box.text), s.decimal_comma);
            }
        }
        AppendZones(ok ? &state_ : nullptr, out);
        if (s.uncertainty) {
            // The window accepted the row's texts: their values are the inputs of the calculation.
            InputVector x {};
            const std::array<std::size_t, kUncertainInputs> rows = evaluator_->InputRows();
            for (std::size_t i = 0; i < kUncertainInputs; ++i)
                x[i] = NumberValue((controls_.*(kQuantities[rows[i]].box)).text);
            AppendUncertainties(ok ? &x : nullptr, out);
        }
        out += s.delimiter;
        AppendCsvField(out, status, s.delimiter);
        out += '\n';
        refused_ += !ok;
    }

    long refused() const { return refused_; }

private:
    // The results of an accepted row by the calculation on numbers; false, with nothing appended, when
    // an input is not a number or the row is refused.
    bool AppendNumbers(const std::vector<std::string>& row, std::string& out)
    {
        const Settings& s = settings_;
        std::array<double, 3> inputs {};
        std::array<std::string_view, 3> texts; // with '.' as the decimal point
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            const int column = s.numeric_columns[i];
            if (column < 0) {
                texts[i] = s.fixed_texts[i];
            } else if (s.decimal_comma) {
                fields_[i] = row[static_cast<std::size_t>(column)];
                std::replace(fields_[i].begin(), fields_[i].end(), ',', '.');
                texts[i] = fields_[i];
            } else {
                texts[i] = row[static_cast<std::size_t>(column)];
            }
            const std::optional<double> value = NumberTextValue(texts[i]);
            if (!value)
                return false;
            inputs[i] = *value;
        }
        s.numeric->Compute(inputs[0], inputs[1], inputs[2], numbers_);
        if (numbers_.refusal)
            return false;
        // The fields are formed in a buffer on the stack and appended a few hundred bytes at a time: the
        // string grows once per row, not once per number.
        char buffer[512];
        char* end = buffer;
        const auto flush = [&] {
            out.append(buffer, end);
            end = buffer;
        };
        for (const QuantityControls* quantity : s.outputs) {
            if (buffer + sizeof buffer - end < 40) // room for a delimiter and the longest double
                flush();
            *end++ = s.delimiter;
            const auto index = static_cast<std::size_t>(quantity - kQuantities.data());
            const double value = numbers_.values[index];
            if (std::isnan(value)) {
                flush();
                AppendCsvField(out, NotANumberText(index), s.delimiter);
                continue;
            }
            char* const number = end;
            // A given input's shortest text is mostly its own text, without the zeros that say nothing.
            const int input = s.input_of_row[index];
            char* const formed
                = input >= 0 && texts[input].size() < 32 ? ShortestPlainDecimal(texts[input], end) : nullptr;
            end = formed ? formed : std::to_chars(end, buffer + sizeof buffer, value).ptr;
            if (s.decimal_comma)
                std::replace(number, end, '.', ',');
        }
        flush();
        AppendZones(&numbers_.state, out);
        if (s.uncertainty) {
            const InputVector x { inputs[0], inputs[2], inputs[1] };
            evaluator_->SetBase(x, numbers_.values);
            AppendUncertainties(nullptr, out, true);
        }
        out += s.delimiter;
        out += "ok\n";
        return true;
    }

    // The expanded uncertainty of each output of an accepted row with inputs `x` (temperature, humidity,
    // pressure or altitude); empty fields for a refused row (null). With `based`, the evaluator already
    // holds the row's state.
    void AppendUncertainties(const InputVector* x, std::string& out, bool based = false)
    {
        const Settings& s = settings_;
        std::optional<UncertaintyResult> result;
        if (based || (x && evaluator_->SetBase(*x)))
            result = PropagateUncertainty(*evaluator_, *s.uncertainty);
        for (const QuantityControls* quantity : s.outputs) {
            out += s.delimiter;
            if (!result || !result->ok)
                continue;
            const QuantityUncertainty& q
                = result->quantities[static_cast<std::size_t>(quantity - kQuantities.data())];
            if (!q.computed)
                continue;
            if (s.full) {
                AppendNumber(out, q.U, s.decimal_comma);
            } else {
                std::string text = UncertaintyText(q.U);
                if (s.decimal_comma)
                    std::replace(text.begin(), text.end(), '.', ',');
                out += text;
            }
        }
    }

    // The zone columns: "inside" or "outside" for an accepted row's state, empty for a refused row.
    void AppendZones(const AmbientState* state, std::string& out) const
    {
        for (const chart::ZoneTest& zone : settings_.zones) {
            out += settings_.delimiter;
            if (state)
                out += zone.Contains({ state->temperature, state->humidity_ratio, state->relative_humidity,
                           state->dew_point })
                    ? "inside"
                    : "outside";
        }
    }

    const Settings& settings_;
    std::optional<NumericEvaluator> evaluator_;
    AmbientControls controls_;
    AmbientState state_;
    NumericState numbers_;
    std::array<std::string, 3> fields_;
    long refused_ = 0;
};

QString UnitOf(const AmbientControls& controls, const QuantityControls& quantity)
{
    return FromModel((controls.*(quantity.list)).text());
}

// Number (1..16) of the unit list of a quantity.
int ListNumber(const QuantityControls& quantity)
{
    for (std::size_t i = 0; i < kUnitLists.size(); ++i) {
        if (kUnitLists[i].list == quantity.list)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

const QuantityControls* FindQuantity(const QString& key)
{
    for (const QuantityControls& quantity : kQuantities) {
        if (FromModel(std::string(quantity.key)) == key)
            return &quantity;
    }
    return nullptr;
}

// Progress on standard error while it is a terminal: rows, rows per second and, for a file, the share read.
class Progress
{
public:
    explicit Progress(qint64 size)
        : size_(size)
        , shown_(isatty(STDERR_FILENO))
    {
        timer_.start();
    }
    void Update(long rows, qint64 consumed, bool done = false)
    {
        if (!shown_ || (!done && timer_.elapsed() < last_ + 200))
            return;
        last_ = timer_.elapsed();
        const double seconds = std::max<qint64>(last_, 1) / 1000.0;
        QString line = QString("\r%1 rows, %2 rows/s").arg(rows).arg(qRound64(rows / seconds));
        if (size_ > 0)
            line += QString(", %1 %").arg(100.0 * consumed / size_, 0, 'f', 1);
        std::fputs(line.toUtf8().constData(), stderr);
        if (done)
            std::fputs("\n", stderr);
        std::fflush(stderr);
    }

private:
    qint64 size_;
    bool shown_;
    QElapsedTimer timer_;
    qint64 last_ = -1000;
};

// The blocks of a batch in flight, in input order: read (by the main thread), taken and computed (by a
// worker), finished, written (by the main thread), and then free for the next read.
class BlockRing
{
public:
    struct Block
    {
        std::string input, output;
        long rows = 0;
        bool finished = false;
        std::exception_ptr failure;
    };

    explicit BlockRing(std::size_t size)
        : blocks_(size)
    {
    }

    /// The place for the next block to read; null while every place is in flight or after the input's end.
    Block* Free()
    {
        const std::lock_guard lock(mutex_);
        return ended_ || read_ - written_ == blocks_.size() ? nullptr : &blocks_[read_ % blocks_.size()];
    }
    /// The block from Free() holds its records: the workers may take it.
    void Read(Block& block)
    {
        {
            const std::lock_guard lock(mutex_);
            block.finished = false;
            block.failure = nullptr;
            ++read_;
        }
        taken_or_stopped_.notify_one();
    }
    void EndOfInput()
    {
        {
            const std::lock_guard lock(mutex_);
            ended_ = true;
        }
        taken_or_stopped_.notify_all();
    }
    /// For a worker: the next read block, or null once the input has ended and all are taken, or on Stop.
    Block* Take()
    {
        std::unique_lock lock(mutex_);
        taken_or_stopped_.wait(lock, [&] { return stopped_ || taken_ < read_ || ended_; });
        if (stopped_ || taken_ == read_)
            return nullptr;
        return &blocks_[taken_++ % blocks_.size()];
    }
    void Done(Block& block)
    {
        {
            const std::lock_guard lock(mutex_);
            block.finished = true;
        }
        finished_.notify_all();
    }
    /// The oldest block not yet written, once finished; null when every block has been written and the
    /// input has ended.
    Block* NextFinished()
    {
        std::unique_lock lock(mutex_);
        if (written_ == read_)
            return nullptr;
        Block& block = blocks_[written_ % blocks_.size()];
        finished_.wait(lock, [&] { return block.finished; });
        return &block;
    }
    void Written()
    {
        const std::lock_guard lock(mutex_);
        ++written_;
    }
    /// The workers end after the block each is computing.
    void Stop()
    {
        {
            const std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        taken_or_stopped_.notify_all();
    }

private:
    std::vector<Block> blocks_;
    std::mutex mutex_;
    std::condition_variable taken_or_stopped_, finished_;
    std::size_t read_ = 0, taken_ = 0, written_ = 0;
    bool ended_ = false, stopped_ = false;
};

} // namespace

int RunBatch(const QStringList& arguments)
{
    const QString command = arguments.value(0);
    QCommandLineParser parser;
    const StateOptions state_options;
    state_options.addTo(parser);
    // The columns and the CSV dialect are those of "chart --data" too.
    const DataColumnOptions data_columns;
    data_columns.addColumnsTo(parser);
    const QCommandLineOption& temperature_column = data_columns.temperature;
    const QCommandLineOption& pressure_column = data_columns.pressure;
    const QCommandLineOption& altitude_column = data_columns.altitude;
    const std::vector<QCommandLineOption>& humidity_columns = data_columns.humidity;
    const QCommandLineOption output({ "o", "output" }, "Output file (\"-\": standard output).", "FILE");
    const QCommandLineOption columns("columns",
        "Output quantities, comma-separated, each NAME or NAME:UNIT (default: all sixteen in the units of "
        "the system).",
        "LIST");
    const QCommandLineOption numbers("numbers",
        "\"full\" (default): numbers that read back to the same double; \"display\": the window's texts.",
        "MODE");
    const QCommandLineOption no_header("no-header", "Write no header line.");
    const QCommandLineOption input_columns(
        "input-columns", "Names of the columns of an input without a header line, comma-separated.", "NAMES");
    const QCommandLineOption& delimiter = data_columns.delimiter;
    const QCommandLineOption& decimal_comma = data_columns.decimal_comma;
    const QCommandLineOption jobs("jobs", "Worker threads (default: one per core).", "N");
    const UncertaintyOptions uncertainty_options(false);
    uncertainty_options.addTo(parser);
    parser.addOptions({ output, columns, numbers, no_header, input_columns, delimiter, decimal_comma, jobs });
    parser.addOption(ZoneOption());
    parser.addPositionalArgument("INPUT", "Input CSV file, \"-\" or nothing for standard input.");
    if (const std::optional<int> status
        = ParseArguments(parser, arguments, "batch [options] [INPUT.csv|-]", kDescription))
        return *status;
    const auto usage = [&](const QString& message) {
        PrintError(command + ": " + message + "\nRun \"" + command + " --help\" for the options.");
        return kUsageError;
    };
    if (parser.positionalArguments().size() > 1)
        return usage("only one INPUT may be given");
    if (const std::optional<int> status = CheckStateOptions(parser, state_options, command))
        return *status;

    Settings settings;
    settings.full = parser.value(numbers) != "display";
    if (parser.isSet(numbers) && parser.value(numbers) != "display" && parser.value(numbers) != "full")
        return UnknownKey(command, "numbers", parser.value(numbers), { "full", "display" });
    if (const auto status
        = data_columns.readFormat(parser, command, settings.delimiter, settings.decimal_comma))
        return *status;
    bool jobs_ok = true;
    const int threads = parser.isSet(jobs)
        ? parser.value(jobs).toInt(&jobs_ok)
        : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    if (!jobs_ok || threads < 1 || threads > 256)
        return usage("--jobs is a number of threads from 1 to 256");

    // The window with the fixed inputs and choices; the columns then say which boxes are read per row.
    AmbientInputs inputs;
    if (const std::optional<int> status = ApplyStateOptions(parser, state_options, command, false, inputs))
        return *status;
    const auto humidity_column = data_columns.humidityColumn(parser, state_options, command);
    if (const int* status = std::get_if<int>(&humidity_column))
        return *status;
    const std::optional<std::size_t> humidity_index = std::get<std::optional<std::size_t>>(humidity_column);
    const Quantity* humidity = humidity_index ? HumidityParameters()[*humidity_index] : nullptr;
    if (humidity)
        inputs.humidity_option = humidity->optionNumber();
    if (const auto status = data_columns.checkSources(parser, state_options, command))
        return *status;
    if (parser.isSet(altitude_column))
        inputs.altitude_given = true;
    if (parser.isSet(pressure_column))
        inputs.altitude_given = false;
    UncertaintySettings uncertainty;
    long no_draws = 0;
    if (const std::optional<int> status = ReadUncertaintyOptions(parser, uncertainty_options, command,
            inputs.humidity_option, inputs.altitude_given, uncertainty, no_draws))
        return *status;
    if (uncertainty.enabled)
        settings.uncertainty = uncertainty;

    // Output quantities, and the units they name.
    if (parser.isSet(columns)) {
        const AmbientControls lists;
        for (const QString& item : parser.value(columns).split(',')) {
            const QString key = item.section(':', 0, 0).trimmed();
            const QuantityControls* quantity = FindQuantity(key);
            if (!quantity) {
                QStringList names;
                for (const QuantityControls& q : kQuantities)
                    names << FromModel(std::string(q.key));
                return UnknownKey(command, "quantity", key, names);
            }
            if (item.contains(':')) {
                const QString unit = item.section(':', 1);
                const int list = ListNumber(*quantity);
                const int index = UnitIndex((lists.*(quantity->list)).items, unit);
                if (index < 0)
                    return UnknownKey(
                        command, "unit of " + key, unit, UnitKeys((lists.*(quantity->list)).items));
                if (index != inputs.selections[static_cast<std::size_t>(list - 1)])
                    inputs.system = UnitSystem::Customized;
                inputs.selections[static_cast<std::size_t>(list - 1)] = index;
            }
            settings.outputs.push_back(quantity);
        }
    } else {
        for (const QuantityControls& quantity : kQuantities)
            settings.outputs.push_back(&quantity);
    }

    const auto zones = ZonesFromOptions(parser, inputs, command);
    if (const int* status = std::get_if<int>(&zones))
        return *status;
    for (const chart::Zone& zone : std::get<std::vector<chart::Zone>>(zones))
        settings.zones.emplace_back(zone);

    AmbientWindow window;
    window.Open();
    window.RestoreInputs(inputs);
    settings.controls = window.controls();
    if (settings.uncertainty)
        settings.uncertainty_calculation = std::make_shared<const NumericCalculation>(NumericSetupOf(inputs));
    settings.state = window.state();

    // Input, and a check that the output is not the input under another name (a link, another path,
    // a redirection of standard input or output) before anything is opened for writing.
    const QString input_name = parser.positionalArguments().value(0, "-");
    const QString output_name = parser.isSet(output) ? parser.value(output) : "-";
    if (SameFile(input_name, output_name)) {
        PrintError(command + ": cannot write \"" + (output_name == "-" ? "standard output" : output_name)
            + "\": it is the input \"" + (input_name == "-" ? "standard input" : input_name)
            + "\", which would be lost");
        return kFileError;
    }
    QFile input;
    const bool input_ok = input_name == "-"
        ? input.open(stdin, QIODevice::ReadOnly)
        : (input.setFileName(input_name), input.open(QIODevice::ReadOnly));
    if (!input_ok) {
        PrintError(command + ": cannot read \"" + input_name + "\": " + input.errorString());
        return kFileError;
    }
    const auto read_failed = [&](const CsvReader& reader) {
        if (reader.error().isEmpty())
            return false;
        PrintError(command + ": cannot read \"" + input_name + "\": " + reader.error());
        return true;
    };

    CsvReader reader(input, settings.delimiter);
    std::vector<std::string> header;
    if (parser.isSet(input_columns)) {
        SplitCsvRecord(parser.value(input_columns).toStdString(), ',', header);
    } else if (!reader.Next(header)) {
        header.clear();
    }
    if (read_failed(reader))
        return kFileError;
    settings.input_columns = header.size();
    const auto column_of = [&](const QCommandLineOption& option) -> std::optional<int> {
        const std::string name = parser.value(option).toStdString();
        const auto found = std::find(header.begin(), header.end(), name);
        if (found == header.end())
            return std::nullopt;
        return static_cast<int>(found - header.begin());
    };
    const std::pair<const QCommandLineOption*, ValueBox AmbientControls::*> sources[] = {
        { &temperature_column, &AmbientControls::Text1 },
        { &pressure_column, &AmbientControls::Text2 },
        { &altitude_column, &AmbientControls::Text10 },
    };
    std::vector<std::pair<const QCommandLineOption*, ValueBox AmbientControls::*>> wanted(
        std::begin(sources), std::end(sources));
    if (humidity)
        wanted.emplace_back(&humidity_columns[*humidity_index], humidity->box);
    for (const auto& [option, box] : wanted) {
        if (!parser.isSet(*option))
            continue;
        const std::optional<int> column = column_of(*option);
        if (!column)
            return usage("no column \"" + parser.value(*option)
                + "\" in the input; its columns: " + FromModel(header).join(", "));
        settings.sources.push_back({ *column, box });
    }
    if (settings.full) {
        const AmbientControls& c = settings.controls;
        const std::array<ValueBox AmbientControls::*, 3> inputs_boxes
            = { &AmbientControls::Text1, c.Option9 ? &AmbientControls::Text10 : &AmbientControls::Text2,
                  FindQuantityByOption(inputs.humidity_option)->box };
        for (std::size_t i = 0; i < inputs_boxes.size(); ++i) {
            settings.fixed_texts[i] = (c.*(inputs_boxes[i])).text;
            for (const Source& source : settings.sources) {
                if (source.box == inputs_boxes[i])
                    settings.numeric_columns[i] = source.column;
            }
        }
        settings.numeric.emplace(NumericSetupOf(inputs));
        settings.input_of_row.fill(-1);
        settings.input_of_row[static_cast<std::size_t>(FindQuantity("temperature") - kQuantities.data())] = 0;
        settings.input_of_row[static_cast<std::size_t>(
            FindQuantity(settings.numeric->setup().altitude_given ? "altitude" : "pressure")
            - kQuantities.data())]
            = 1;
        settings
            .input_of_row[static_cast<std::size_t>(settings.numeric->setup().humidity - kQuantities.data())]
            = 2;
    }

    // A named output is written beside its place and takes it only when the whole run has succeeded.
    OutputFile out(output_name);
    const auto write_failed = [&](const QString& reason) {
        PrintError(command + ": cannot write \"" + (output_name == "-" ? "standard output" : output_name)
            + "\": " + reason);
        return kFileError;
    };
    if (const QString reason = out.open(); !reason.isEmpty())
        return write_failed(reason);

    std::string line;
    if (!parser.isSet(no_header)) {
        for (std::size_t i = 0; i < header.size(); ++i) {
            AppendCsvField(line, header[i], settings.delimiter);
            line += settings.delimiter;
        }
        for (const QuantityControls* quantity : settings.outputs) {
            AppendCsvField(line,
                std::string(quantity->key) + " [" + UnitOf(settings.controls, *quantity).toStdString() + "]",
                settings.delimiter);
            line += settings.delimiter;
        }
        for (const chart::Zone& zone : std::get<std::vector<chart::Zone>>(zones)) {
            AppendCsvField(line, "zone " + zone.name, settings.delimiter);
            line += settings.delimiter;
        }
        for (const QuantityControls* quantity : settings.outputs) {
            if (!settings.uncertainty)
                break;
            AppendCsvField(line,
                "U(" + std::string(quantity->key) + ") [" + UnitOf(settings.controls, *quantity).toStdString()
                    + "]",
                settings.delimiter);
            line += settings.delimiter;
        }
        line += "status\n";
        if (!out.write(line))
            return write_failed(out.error());
    }

    // A ring of blocks of whole records in flight. The main thread reads blocks into free places and
    // writes the finished ones in input order; each worker takes whichever read block comes next, so a
    // worker slowed by other work on the machine holds up no other. The ring's length bounds the memory
    // whatever the length of the input.
    std::vector<RowCalculator> calculators(static_cast<std::size_t>(threads), RowCalculator(settings));
    BlockRing ring(2 * calculators.size() + 2);
    std::vector<std::thread> workers;
    for (RowCalculator& calculator : calculators) {
        workers.emplace_back([&ring, &calculator, &settings] {
            std::vector<std::string> row;
            while (BlockRing::Block* block = ring.Take()) {
                block->output.clear();
                block->rows = 0;
                try {
                    CsvRecords records(block->input, settings.delimiter);
                    for (; records.Next(row); ++block->rows)
                        calculator.Append(row, block->output);
                } catch (...) {
                    block->failure = std::current_exception();
                }
                ring.Done(*block);
            }
        });
    }
    const auto stop_workers = [&] {
        ring.Stop();
        for (std::thread& worker : workers)
            worker.join();
    };
    Progress progress(input_name == "-" ? 0 : input.size());
    long rows_done = 0;
    for (;;) {
        while (BlockRing::Block* block = ring.Free()) {
            if (!reader.NextRecords(block->input, kBytesPerTask)) {
                ring.EndOfInput();
                break;
            }
            ring.Read(*block);
        }
        BlockRing::Block* block = ring.NextFinished();
        if (!block)
            break;
        if (block->failure) {
            stop_workers();
            std::rethrow_exception(block->failure);
        }
        if (!out.write(block->output)) {
            stop_workers();
            return write_failed(out.error());
        }
        rows_done += block->rows;
        ring.Written();
        progress.Update(rows_done, reader.consumed());
    }
    stop_workers();
    if (read_failed(reader))
        return kFileError;
    if (const QString reason = out.finish(); !reason.isEmpty())
        return write_failed(reason);
    progress.Update(rows_done, reader.consumed(), true);
    long refused = 0;
    for (const RowCalculator& calculator : calculators)
        refused += calculator.refused();
    PrintError(command + QString(": %1 rows, %2 refused").arg(rows_done).arg(refused));
    return kSuccess;
}

} // namespace humidora::cli
