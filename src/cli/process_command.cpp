// humidora-cli process: one air-handling process on points given as the main window's inputs, with its
// leaving point and loads, without a window. Every point is shown through the window's own calculation.
#include "calc/point_table.h"
#include "calc/state_points.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/point_output.h"

#include <QJsonArray>
#include <QJsonObject>

namespace humidora::cli {
namespace {

const char* const kDescription
    = "\nEvaluates one air-handling process. KIND is one of:\n"
      "  mix           two or more points, each with its flow\n"
      "  heat          --to-temperature T (sensible heating or cooling)\n"
      "  coil          --adp T --bypass-factor BF, or --leaving-temperature T --leaving-relative-humidity "
      "RH\n"
      "  evaporative   --effectiveness E (0..1), or --to-relative-humidity RH\n"
      "  steam         --to-humidity-ratio W or --to-relative-humidity RH [--steam-temperature T]\n"
      "SPEC is comma-separated key=value pairs: name, flow, temperature and one humidity key named as the\n"
      "options of \"state\" (relative-humidity, humidity-ratio, dew-point, wet-bulb, absolute-humidity,\n"
      "partial-pressure, mole-fraction, mass-fraction), values in the state command's units of the system;\n"
      "e.g. --point name=OA,flow=2,temperature=32,dew-point=22. Temperatures are in C (F with --system\n"
      "british), relative humidities in %, humidity ratios in the system's unit. Flows are dry-air mass\n"
      "flows in kg/s (lb/h in British) unless --flow-unit names another unit; a volume flow is taken at the\n"
      "point's own specific volume. Exit status 1 when a point or the process is refused.";

// A parameter option: name, help, the kinds it belongs to, and how its value is read.
enum class Reading
{
    Temperature,
    Percent,
    HumidityRatio,
    Plain,
};
struct Parameter
{
    const char* option;
    const char* help;
    ProcessKind kind;
    ProcessKind other_kind; ///< a second kind that takes it, else the same as kind
    Reading reading;
    std::optional<double> ProcessSpec::*field;
};
const Parameter kParameters[] = {
    { "to-temperature", "heat: leaving dry bulb.", ProcessKind::Heat, ProcessKind::Heat, Reading::Temperature,
        &ProcessSpec::to_temperature_K },
    { "adp", "coil: apparatus dew point.", ProcessKind::Coil, ProcessKind::Coil, Reading::Temperature,
        &ProcessSpec::adp_K },
    { "bypass-factor", "coil: bypass factor, 0..1.", ProcessKind::Coil, ProcessKind::Coil, Reading::Plain,
        &ProcessSpec::bypass_factor },
    { "leaving-temperature", "coil: leaving dry bulb.", ProcessKind::Coil, ProcessKind::Coil,
        Reading::Temperature, &ProcessSpec::leaving_temperature_K },
    { "leaving-relative-humidity", "coil: leaving relative humidity, %.", ProcessKind::Coil,
        ProcessKind::Coil, Reading::Percent, &ProcessSpec::leaving_relative_humidity },
    { "effectiveness", "evaporative: saturation effectiveness, 0..1.", ProcessKind::Evaporative,
        ProcessKind::Evaporative, Reading::Plain, &ProcessSpec::effectiveness },
    { "to-relative-humidity", "evaporative, steam: leaving relative humidity, %.", ProcessKind::Evaporative,
        ProcessKind::Steam, Reading::Percent, &ProcessSpec::to_relative_humidity },
    { "to-humidity-ratio", "steam: leaving humidity ratio.", ProcessKind::Steam, ProcessKind::Steam,
        Reading::HumidityRatio, &ProcessSpec::to_humidity_ratio },
    { "steam-temperature", "steam: temperature of the steam (100 C unless given).", ProcessKind::Steam,
        ProcessKind::Steam, Reading::Temperature, &ProcessSpec::steam_temperature_K },
};

// The forms of each kind: the parameters that together make one (by option name).
struct Form
{
    ProcessKind kind;
    std::vector<std::string_view> required;
};
const Form kForms[] = {
    { ProcessKind::Mix, {} },
    { ProcessKind::Heat, { "to-temperature" } },
    { ProcessKind::Coil, { "adp", "bypass-factor" } },
    { ProcessKind::Coil, { "leaving-temperature", "leaving-relative-humidity" } },
    { ProcessKind::Evaporative, { "effectiveness" } },
    { ProcessKind::Evaporative, { "to-relative-humidity" } },
    { ProcessKind::Steam, { "to-humidity-ratio" } },
    { ProcessKind::Steam, { "to-relative-humidity" } },
};

QString FormText(const Form& form)
{
    QStringList options;
    for (const std::string_view option : form.required)
        options << "--" + QString::fromUtf8(option.data(), static_cast<qsizetype>(option.size()));
    return options.join(" ");
}

} // namespace

int RunAirProcess(const QStringList& arguments)
{
    const QString command = arguments.value(0);
    QCommandLineParser parser;
    const QCommandLineOption point("point", "A point: comma-separated key=value pairs (see above).", "SPEC");
    const QCommandLineOption name("name", "Name of the leaving point (the next letter unless given).", "N");
    parser.addOptions({ point, name });
    std::vector<QCommandLineOption> parameter_options;
    for (const Parameter& parameter : kParameters) {
        parameter_options.emplace_back(parameter.option, parameter.help, "V");
        parser.addOption(parameter_options.back());
    }
    const PointOptions options;
    options.addTo(parser);
    if (const std::optional<int> status
        = ParseArguments(parser, arguments, "process KIND --point SPEC [options]", kDescription))
        return *status;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        PrintError(command + ": "
            + (positional.isEmpty() ? "KIND is missing" : "unexpected argument \"" + positional[1] + "\"")
            + "\nRun \"" + command + " --help\" for the options.");
        return kUsageError;
    }
    const std::optional<ProcessKind> kind = FindProcessKind(positional.first().toStdString());
    if (!kind)
        return UnknownKey(
            command, "process kind", positional.first(), { "mix", "heat", "coil", "evaporative", "steam" });

    PointContext context;
    if (const std::optional<int> status = ReadPointContext(parser, options, command, context))
        return *status;

    ProcessSpec spec;
    spec.kind = *kind;
    std::vector<std::string> given;
    for (std::size_t i = 0; i < std::size(kParameters); ++i) {
        const Parameter& parameter = kParameters[i];
        if (!parser.isSet(parameter_options[i]))
            continue;
        if (parameter.kind != *kind && parameter.other_kind != *kind) {
            PrintError(
                command + ": --" + parameter.option + " does not belong to \"" + positional.first() + "\"");
            return kUsageError;
        }
        const QString text = parser.value(parameter_options[i]);
        const std::optional<double> value = ReadNumber(text);
        if (!value) {
            PrintError(command + ": --" + parameter.option + " \"" + text + "\" is not a number");
            return kUsageError;
        }
        switch (parameter.reading) {
        case Reading::Temperature:
            spec.*(parameter.field) = context.Kelvin(*value);
            break;
        case Reading::Percent:
            spec.*(parameter.field) = *value / 100;
            break;
        case Reading::HumidityRatio:
            spec.*(parameter.field) = context.HumidityRatio(*value);
            break;
        case Reading::Plain:
            spec.*(parameter.field) = *value;
            break;
        }
        given.push_back(parameter.option);
    }
    // Exactly one form of the kind, complete; steam's temperature goes with either of its forms.
    std::erase(given, "steam-temperature");
    const Form* form = nullptr;
    QStringList forms;
    for (const Form& candidate : kForms) {
        if (candidate.kind != *kind)
            continue;
        forms << FormText(candidate);
        std::vector<std::string> required(candidate.required.begin(), candidate.required.end());
        std::vector<std::string> sorted_given = given;
        std::sort(required.begin(), required.end());
        std::sort(sorted_given.begin(), sorted_given.end());
        if (required == sorted_given)
            form = &candidate;
    }
    if (!form) {
        PrintError(command + ": \"" + positional.first() + "\" takes " + forms.join(", or ") + "\nRun \""
            + command + " --help\" for the options.");
        return kUsageError;
    }

    std::vector<StatePoint> points;
    for (const QString& text : parser.values(point)) {
        StatePoint parsed;
        if (const std::optional<int> status
            = ParsePointSpec(text, context, static_cast<int>(points.size()), command, parsed))
            return *status;
        points.push_back(std::move(parsed));
    }
    const std::size_t needed = *kind == ProcessKind::Mix ? 2 : 1;
    if (points.size() < needed || (*kind != ProcessKind::Mix && points.size() > 1)) {
        PrintError(command + ": \"" + positional.first() + "\" takes "
            + (*kind == ProcessKind::Mix ? "two or more points" : "one point") + " (--point SPEC)");
        return kUsageError;
    }
    for (const StatePoint& p : points)
        spec.points.push_back(p.name);
    spec.result_name = parser.isSet(name) ? parser.value(name).toStdString()
                                          : DefaultPointName(static_cast<int>(points.size()));

    return PrintProcess(spec, points, context, parser.isSet(options.json), command) ? kSuccess : kRefused;
}

} // namespace humidora::cli
