// humidora-cli chart: the psychrometric chart without a window. The state options are those of `state`
// and go through the same window logic; the chart is drawn for its pressure, formulation and unit system,
// with the state as its marker when one is given, and written as a picture or as its geometry in JSON.
#include "calc/units/number_text.h"
#include "calc/windows/ambient_window.h"
#include "chart/chart_json.h"
#include "chart/chart_model.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/data_options.h"
#include "cli/state_inputs.h"
#include "cli/uncertainty_options.h"
#include "io/chart_picture.h"
#include "io/data_file.h"

#include <QMap>
#include <algorithm>
#include <variant>

namespace humidora::cli {
namespace {

using chart::ChartField;
using chart::ChartModel;
using chart::ChartSystem;

const char* const kDescription
    = "\nDraws the psychrometric chart for a pressure (or altitude), formulation and unit system, with the\n"
      "state given by the options of \"state\" as its marker (no marker when neither --temperature nor a\n"
      "humidity parameter is given). Metric charts read dry bulb in C and humidity ratio in g/kg, British\n"
      "ones in F and grains/lb (7000 grains = 1 lb); --dry-bulb-range and --humidity-ratio-max are in\n"
      "those units. --output writes a PNG, SVG or PDF picture (by the name's suffix), --json the chart's\n"
      "geometry: each line's points as [dry bulb in K, humidity ratio in kg/kg]. Without either, a\n"
      "summary of the lines is printed. Exit status 1 when the state or the pressure is refused.\n"
      "--data FILE.csv plots every row of a CSV file, computed as \"batch\" computes it, with the\n"
      "temperature and one humidity parameter from the named columns (--temperature-column,\n"
      "--relative-humidity-column, ... in the units of the unit options) and the pressure or altitude\n"
      "from a column or from --pressure/--altitude: as points up to 5000 rows, else as the density of\n"
      "rows per cell with its colour scale. Refused rows are counted on standard error, never drawn.\n"
      "--zone draws a zone and counts the rows inside it; --json then adds the member \"data\": the rows,\n"
      "the cells with their counts and the zones with theirs. --hours counts rows as hours.\n"
      "--uncertainty (as for \"state\") draws the 95 % region of the state's dry bulb and humidity\n"
      "ratio about its marker, an ellipse from their covariance; --json then adds the member \"region\"\n"
      "with its outline's points as [dry bulb in K, humidity ratio in kg/kg].\n"
      "Example: humidora-cli chart --system british --temperature 86 --dew-point 60 --output chart.svg\n"
      "Example: humidora-cli chart --data year.csv --temperature-column T --relative-humidity-column RH\n"
      "    --hours --zone name=Comfort,temperature=20:26,relative-humidity=30:60 --output year.png\n"
      "Example: humidora-cli chart --temperature 25 --relative-humidity 50\n"
      "    --uncertainty temperature=0.2,relative_humidity=2,pressure=0.1 --output state.png";

constexpr int kDefaultWidth = 1920;
constexpr int kDefaultHeight = 1200;

std::optional<double> NumberOption(const QString& text)
{
    if (!IsNumberText(text.toStdString()))
        return std::nullopt;
    return NumberValue(text.toStdString());
}

int UsageError(const QString& command, const QString& message)
{
    PrintError(command + ": " + message + "\nRun \"" + command + " --help\" for the options.");
    return kUsageError;
}

// The field the options ask for in the system's units, or a usage error.
std::variant<ChartField, int> FieldFromOptions(const QCommandLineParser& parser, const QString& command,
    const QCommandLineOption& range, const QCommandLineOption& dry_bulb_range,
    const QCommandLineOption& humidity_ratio_max, ChartSystem system)
{
    ChartField field = chart::PresetField(chart::ChartRange::Normal);
    if (parser.isSet(range)) {
        const auto preset = chart::RangeFromName(parser.value(range).toStdString());
        if (!preset)
            return UnknownKey(command, "range", parser.value(range), { "normal", "low", "high" });
        field = chart::PresetField(*preset);
    }
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(dry_bulb_range)) {
        if (positional.size() != 1)
            return UsageError(command, "--dry-bulb-range takes two values, MIN and MAX");
        const auto low = NumberOption(parser.value(dry_bulb_range));
        const auto high = NumberOption(positional.first());
        if (!low || !high)
            return UsageError(command, "--dry-bulb-range needs two numbers");
        field.t_min_K = chart::DryBulbKelvin(*low, system);
        field.t_max_K = chart::DryBulbKelvin(*high, system);
    } else if (!positional.isEmpty()) {
        return UsageError(command, "unexpected argument \"" + positional.first() + "\"");
    }
    if (parser.isSet(humidity_ratio_max)) {
        const auto high = NumberOption(parser.value(humidity_ratio_max));
        if (!high)
            return UsageError(command, "--humidity-ratio-max needs a number");
        field.w_min = 0;
        field.w_max = chart::HumidityRatioFromShown(*high, system);
    }
    if (!chart::IsValidField(field)) {
        const ChartField& d = chart::kDomain;
        return UsageError(command,
            QString(
                "the chart's field must lie within dry bulb %1..%2 %3 and humidity ratio 0..%4 %5, at least "
                "%6 K and %7 kg/kg wide, with MIN below MAX")
                .arg(chart::DryBulbShown(d.t_min_K, system))
                .arg(chart::DryBulbShown(d.t_max_K, system))
                .arg(QString::fromUtf8(chart::DryBulbUnit(system)))
                .arg(chart::HumidityRatioShown(d.w_max, system))
                .arg(QString::fromUtf8(chart::HumidityRatioUnit(system)))
                .arg(chart::kMinimumDryBulbSpanK)
                .arg(chart::kMinimumHumidityRatioSpan));
    }
    return field;
}

void PrintSummary(const chart::ChartPicture& picture)
{
    const chart::ChartLines& lines = *picture.lines;
    const chart::ChartSpec& setup = lines.setup;
    PrintOut(QString::fromStdString(picture.title + ": " + picture.subtitle));
    PrintOut(QString("dry bulb %1..%2 %3, humidity ratio %4..%5 %6")
                 .arg(chart::DryBulbShown(setup.field.t_min_K, setup.system), 0, 'g', 10)
                 .arg(chart::DryBulbShown(setup.field.t_max_K, setup.system), 0, 'g', 10)
                 .arg(QString::fromUtf8(chart::DryBulbUnit(setup.system)))
                 .arg(chart::HumidityRatioShown(setup.field.w_min, setup.system), 0, 'g', 10)
                 .arg(chart::HumidityRatioShown(setup.field.w_max, setup.system), 0, 'g', 10)
                 .arg(QString::fromUtf8(chart::HumidityRatioUnit(setup.system))));
    QMap<int, QStringList> values;
    QMap<int, QString> units;
    for (const chart::ChartLine& line : lines.lines) {
        values[static_cast<int>(line.family)] << QString::number(line.value, 'g', 10);
        units[static_cast<int>(line.family)]
            = QString::fromUtf8(line.unit.data(), qsizetype(line.unit.size()));
    }
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const auto family = static_cast<chart::LineFamily>(it.key());
        PrintOut(QString::fromUtf8(chart::FamilyName(family)).leftJustified(18) + it.value().join(' ') + ' '
            + units[it.key()]);
    }
    if (picture.marker)
        PrintOut(QString("state              %1 K, %2 kg/kg")
                     .arg(picture.marker->T_K, 0, 'g', 17)
                     .arg(picture.marker->W, 0, 'g', 17));
    if (!picture.marker_region.empty()) {
        const auto [t_low, t_high] = std::minmax_element(picture.marker_region.begin(),
            picture.marker_region.end(), [](const auto& a, const auto& b) { return a.T_K < b.T_K; });
        const auto [w_low, w_high] = std::minmax_element(picture.marker_region.begin(),
            picture.marker_region.end(), [](const auto& a, const auto& b) { return a.W < b.W; });
        PrintOut(QString("region (95 %)      %1..%2 K, %3..%4 kg/kg")
                     .arg(t_low->T_K, 0, 'g', 8)
                     .arg(t_high->T_K, 0, 'g', 8)
                     .arg(w_low->W, 0, 'g', 8)
                     .arg(w_high->W, 0, 'g', 8));
    }
}

// The options that only mean something with --data.
std::vector<const QCommandLineOption*> DataOnlyOptions(
    const DataColumnOptions& columns, const QCommandLineOption& hours)
{
    std::vector<const QCommandLineOption*> options { &columns.temperature, &columns.pressure,
        &columns.altitude, &columns.delimiter, &columns.decimal_comma, &hours };
    for (const QCommandLineOption& option : columns.humidity)
        options.push_back(&option);
    return options;
}

// The rows of --data computed with the columns of the options and the chart's inputs (units, formulation,
// fixed pressure or altitude); the count of refused rows and the first reasons go to standard error.
std::variant<chart::DataSet, int> ReadData(const QCommandLineParser& parser, const DataColumnOptions& options,
    const StateOptions& state_options, const QString& command, const AmbientInputs& inputs)
{
    chart::DataSource source;
    source.path = parser.value("data").toStdString();
    source.inputs = inputs;
    if (const auto status = options.readFormat(parser, command, source.delimiter, source.decimal_comma))
        return *status;
    if (const auto status = options.checkSources(parser, state_options, command, true))
        return *status;
    if (!parser.isSet(options.temperature))
        return UsageError(command, "--data needs --temperature-column");
    const auto humidity = options.humidityColumn(parser, state_options, command, true);
    if (const int* status = std::get_if<int>(&humidity))
        return *status;
    const std::optional<std::size_t> parameter = std::get<std::optional<std::size_t>>(humidity);
    if (!parameter)
        return UsageError(
            command, "--data needs the column of one humidity parameter, such as --relative-humidity-column");
    source.temperature_column = parser.value(options.temperature).toStdString();
    source.humidity_column = parser.value(options.humidity[*parameter]).toStdString();
    source.inputs.humidity_option = HumidityParameters()[*parameter]->optionNumber();
    if (parser.isSet(options.pressure)) {
        source.inputs.altitude_given = false;
        source.pressure_column = parser.value(options.pressure).toStdString();
    } else if (parser.isSet(options.altitude)) {
        source.inputs.altitude_given = true;
        source.pressure_column = parser.value(options.altitude).toStdString();
    }
    auto read = ReadDataFile(source);
    if (const QString* error = std::get_if<QString>(&read)) {
        PrintError(command + ": " + *error);
        return kFileError;
    }
    chart::DataSet& rows = std::get<chart::DataSet>(read);
    PrintError(command + QString(": %1 rows, %2 refused").arg(rows.rows).arg(rows.refused));
    for (const std::string& refusal : rows.first_refusals)
        PrintError(command + ": refused " + FromModel(refusal));
    if (rows.refused > static_cast<long>(rows.first_refusals.size()))
        PrintError(command
            + QString(": and %1 more refused rows")
                  .arg(rows.refused - static_cast<long>(rows.first_refusals.size())));
    return std::move(rows);
}

} // namespace

int RunChart(const QStringList& arguments)
{
    const QString command = arguments.value(0);
    QCommandLineParser parser;
    const StateOptions state_options;
    state_options.addTo(parser);
    const QCommandLineOption range("range", "Preset field: \"normal\", \"low\" or \"high\".", "R");
    const QCommandLineOption dry_bulb_range(
        "dry-bulb-range", "Dry-bulb field MIN MAX in the system's unit (MAX follows MIN).", "MIN");
    const QCommandLineOption humidity_ratio_max(
        "humidity-ratio-max", "Top of the humidity-ratio field in the system's unit.", "MAX");
    const QCommandLineOption output("output", "Write the chart to FILE (.png, .svg or .pdf).", "FILE");
    const QCommandLineOption width(
        "width", QString("Picture width in pixels (%1).").arg(kDefaultWidth), "PIXELS");
    const QCommandLineOption height(
        "height", QString("Picture height in pixels (%1).").arg(kDefaultHeight), "PIXELS");
    const QCommandLineOption json("json", "Write the chart's geometry as one JSON object.");
    parser.addOptions({ range, dry_bulb_range, humidity_ratio_max, output, width, height, json });
    const QCommandLineOption data(
        "data", "Plot the rows of a CSV file (its first line names the columns).", "FILE");
    const QCommandLineOption hours("hours", "Each row of --data is one hour: counts are told in hours.");
    parser.addOptions({ data, hours, ZoneOption() });
    const UncertaintyOptions uncertainty_options(false);
    uncertainty_options.addTo(parser);
    const DataColumnOptions column_options;
    column_options.addColumnsTo(parser);
    column_options.addFormatTo(parser);
    if (const std::optional<int> status
        = ParseArguments(parser, arguments, "chart [options] [--output FILE] [--json]", kDescription))
        return *status;
    if (const std::optional<int> status = CheckStateOptions(parser, state_options, command))
        return *status;
    if (parser.isSet(range) && parser.isSet(dry_bulb_range))
        return UsageError(command, "give either --range or --dry-bulb-range, not both");
    QSize size(kDefaultWidth, kDefaultHeight);
    for (const auto& [option, extent] :
        { std::pair { &width, &size.rwidth() }, std::pair { &height, &size.rheight() } }) {
        if (!parser.isSet(*option))
            continue;
        bool ok = false;
        *extent = parser.value(*option).toInt(&ok);
        if (!ok)
            return UsageError(command, "--" + option->names().first() + " needs a whole number of pixels");
    }
    if (!IsChartSize(size))
        return UsageError(command,
            QString("the picture must be %1 x %2 to %3 x %4 pixels")
                .arg(kSmallestChart.width())
                .arg(kSmallestChart.height())
                .arg(kLargestChart.width())
                .arg(kLargestChart.height()));
    if (parser.isSet(output) && !IsChartFormat(parser.value(output)))
        return UsageError(command, "the --output file must end in .png, .svg or .pdf");

    AmbientWindow window;
    window.Open();
    AmbientInputs inputs = window.CurrentInputs();
    if (const std::optional<int> status = ApplyStateOptions(parser, state_options, command, false, inputs))
        return *status;
    const auto zones = ZonesFromOptions(parser, inputs, command);
    if (const int* status = std::get_if<int>(&zones))
        return *status;
    std::optional<chart::DataSet> rows;
    if (parser.isSet(data)) {
        const auto read = ReadData(parser, column_options, state_options, command, inputs);
        if (const int* status = std::get_if<int>(&read))
            return *status;
        rows = std::get<chart::DataSet>(read);
        rows->hourly = parser.isSet(hours);
    } else {
        for (const QCommandLineOption* option : DataOnlyOptions(column_options, hours)) {
            if (parser.isSet(*option))
                return UsageError(command, "--" + option->names().first() + " needs --data");
        }
    }
    UncertaintySettings uncertainty;
    long draws = 0;
    if (const std::optional<int> status = ReadUncertaintyOptions(parser, uncertainty_options, command,
            inputs.humidity_option, inputs.altitude_given, uncertainty, draws))
        return *status;
    window.RestoreInputs(inputs);
    window.SetUncertainty(uncertainty);
    ChartModel model;
    if (window.controls().Text1.background == Background::Red) {
        // The pressure is read after the temperature: learn it at a temperature the window accepts.
        AmbientWindow pressure_window;
        AmbientInputs at_room_temperature = inputs;
        at_room_temperature.temperature
            = chart::TemperatureText(293.15, window.controls().Combo1.text(), 3).value_or("20");
        pressure_window.RestoreInputs(at_room_temperature);
        model.Follow(pressure_window);
    }
    model.Follow(window);
    const AmbientControls& c = window.controls();
    const ValueBox& pressure_box = c.Option9 ? c.Text10 : c.Text2;
    if (pressure_box.background == Background::Red) {
        // A program that asked for JSON reads the refusal as JSON too, as from the state command.
        if (parser.isSet(json) && window.refusal())
            PrintJson({ { "refusal", RefusalJson(*window.refusal()) } });
        PrintError(command + ": the " + (c.Option9 ? "altitude" : "pressure") + " \""
            + FromModel(pressure_box.text) + "\" is refused: " + FromModel(c.List1.lines).join(' '));
        return kRefused;
    }

    const auto field
        = FieldFromOptions(parser, command, range, dry_bulb_range, humidity_ratio_max, model.setup().system);
    if (const int* status = std::get_if<int>(&field))
        return *status;
    model.SetField(std::get<ChartField>(field));

    chart::ChartPicture picture = model.Picture();
    const bool state_given = state_options.givesState(parser);
    if (!state_given) {
        picture.marker.reset();
        picture.marker_region.clear();
    }
    const std::vector<chart::Zone>& zone_list = std::get<std::vector<chart::Zone>>(zones);
    if (rows || !zone_list.empty())
        picture.data = std::make_shared<const chart::ChartDataLayer>(
            chart::MakeDataLayer(rows ? &*rows : nullptr, zone_list, picture.lines->setup));
    if (parser.isSet(output)) {
        const QString error = ExportChart(parser.value(output), picture, size);
        if (!error.isEmpty()) {
            PrintError(command + ": " + error);
            return kFileError;
        }
    }
    if (parser.isSet(json)) {
        std::string members = rows || !zone_list.empty()
            ? chart::DataLayerJson(
                rows ? *rows : chart::DataSet {}, zone_list, *picture.data, picture.lines->setup)
            : std::string();
        if (!picture.marker_region.empty())
            members += (members.empty() ? "" : ",") + chart::RegionJson(picture.marker_region);
        PrintOut(QString::fromStdString(chart::ChartJson(*picture.lines, picture.marker, members)));
    } else if (!parser.isSet(output))
        PrintSummary(picture);
    if (state_given && !picture.marker) {
        PrintError(command
            + ": the state is refused, the chart shows no marker: " + FromModel(c.List1.lines).join(' '));
        return kRefused;
    }
    return kSuccess;
}

} // namespace humidora::cli
