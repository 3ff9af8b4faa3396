// humidora-cli process: one air-handling process on points given as the main window's inputs, with its
// leaving point and loads, without a window. Every point is shown through the window's own calculation.
#include "calc/points/point_table.h"
#include "calc/points/process_parameters.h"
#include "calc/points/state_points.h"
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
      "  supply        the room's point and its loads, --sensible-load Q --latent-load Q or --total-load Q\n"
      "                --sensible-heat-ratio SHR, with --supply-temperature T or --supply-flow F: the "
      "supply\n"
      "                air, its flows and the apparatus dew point of the room's sensible-heat-ratio line\n"
      "  recovery      the outdoor air's point and the exhaust air's point, each with its flow:\n"
      "                --sensible-effectiveness E (plate exchanger, run-around coil), with\n"
      "                --latent-effectiveness E (enthalpy wheel); both leaving points and the recovered "
      "load\n"
      "POINT is comma-separated key=value pairs: name, flow, temperature and one humidity key named as the\n"
      "options of \"state\" (relative-humidity, humidity-ratio, dew-point, wet-bulb, absolute-humidity,\n"
      "partial-pressure, mole-fraction, mass-fraction), values in the state command's units of the system;\n"
      "e.g. --point name=OA,flow=2,temperature=32,dew-point=22. Temperatures are in C (F with --system\n"
      "british), relative humidities in %, humidity ratios in the system's unit. Flows are dry-air mass\n"
      "flows in kg/s (lb/h in British) unless --flow-unit names another unit; a volume flow is taken at the\n"
      "point's own specific volume. Loads are in kW (btu/h in British); the supply flow is a dry-air flow "
      "in\n"
      "kg/s (lb/h in British). Exit status 1 when a point or the process is refused.";

QString FormText(const ProcessForm& form)
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
    const QCommandLineOption point("point", "A point: comma-separated key=value pairs (see above).", "POINT");
    const QCommandLineOption name("name", "Name of the leaving point (the next letter unless given).", "N");
    const QCommandLineOption exhaust_name("exhaust-name",
        "recovery: name of the leaving exhaust point (the letter after the leaving point's).", "N");
    parser.addOptions({ point, name, exhaust_name });
    std::vector<QCommandLineOption> parameter_options;
    for (const ProcessParameter& parameter : kProcessParameters) {
        QStringList kinds;
        for (const ProcessKind kind : parameter.kinds)
            kinds << FromModel(std::string(ProcessKindKey(kind)));
        parameter_options.emplace_back(FromModel(std::string(parameter.key)),
            kinds.join(", ") + ": " + FromModel(parameter.Prompt()) + '.', "V");
        parser.addOption(parameter_options.back());
    }
    const PointOptions options;
    options.addTo(parser);
    if (const std::optional<int> status
        = ParseArguments(parser, arguments, "process KIND --point POINT [options]", kDescription))
        return *status;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        PrintError(command + ": "
            + (positional.isEmpty() ? "KIND is missing" : "unexpected argument \"" + positional[1] + "\"")
            + "\nRun \"" + command + " --help\" for the options.");
        return kUsageError;
    }
    const std::optional<ProcessKind> kind = FindProcessKind(positional.first().toStdString());
    if (!kind) {
        QStringList keys;
        for (const ProcessKindInfo& info : kProcessKinds)
            keys << FromModel(std::string(info.key));
        return UnknownKey(command, "process kind", positional.first(), keys);
    }

    PointContext context;
    if (const std::optional<int> status = ReadPointContext(parser, options, command, context))
        return *status;

    ProcessSpec recipe;
    recipe.kind = *kind;
    std::vector<std::string> given;
    for (std::size_t i = 0; i < kProcessParameters.size(); ++i) {
        const ProcessParameter& parameter = kProcessParameters[i];
        const QString option = FromModel(std::string(parameter.key));
        if (!parser.isSet(parameter_options[i]))
            continue;
        if (!parameter.TakenBy(*kind)) {
            PrintError(command + ": --" + option + " does not belong to \"" + positional.first() + "\"");
            return kUsageError;
        }
        const QString text = parser.value(parameter_options[i]);
        const std::optional<double> value = ReadNumber(text);
        if (!value) {
            PrintError(command + ": --" + option + " \"" + text + "\" is not a number");
            return kUsageError;
        }
        recipe.*(parameter.field) = ParameterInSi(parameter, *value, context.base);
        given.emplace_back(parameter.key);
    }
    if (!MatchingForm(*kind, given)) {
        QStringList forms;
        for (const ProcessForm& form : kProcessForms) {
            if (form.kind == *kind)
                forms << FormText(form);
        }
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
    if (PointCountRefusal(*kind, points.size())) {
        PrintError(command + ": \"" + positional.first() + "\" takes "
            + FromModel(std::string(KindInfo(*kind).points_text)) + " (--point POINT)");
        return kUsageError;
    }
    if (parser.isSet(exhaust_name) && *kind != ProcessKind::Recovery) {
        PrintError(command + ": --exhaust-name belongs to \"recovery\"");
        return kUsageError;
    }
    for (const StatePoint& p : points)
        recipe.points.push_back(p.name);
    recipe.result_name = parser.isSet(name) ? parser.value(name).toStdString()
                                            : DefaultPointName(static_cast<int>(points.size()));
    if (*kind == ProcessKind::Recovery) {
        recipe.exhaust_result_name = parser.isSet(exhaust_name)
            ? parser.value(exhaust_name).toStdString()
            : DefaultPointName(static_cast<int>(points.size()) + 1);
        if (recipe.exhaust_result_name == recipe.result_name) {
            PrintError(command + ": the leaving points need two names, not \"" + FromModel(recipe.result_name)
                + "\" twice");
            return kUsageError;
        }
    }

    return PrintProcess(recipe, points, context, parser.isSet(options.json), command) ? kSuccess : kRefused;
}

} // namespace humidora::cli
