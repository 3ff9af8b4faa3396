// humidora-cli state: the main window on the command line. The window's logic opens with its start-up
// sequence, the given inputs and choices are brought into it as one set, and the one recalculation runs:
// what is printed is what the window shows for the same inputs.
#include "calc/ambient_window.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/state_files.h"

#include <QJsonArray>
#include <QJsonObject>

namespace humidora::cli {
namespace {

const char* const kDescription
    = "\nComputes one state of moist air exactly as the main window shows it. Values are read as the\n"
      "window reads its boxes. Defaults: --temperature 25, --pressure 101.325 (14.6957 with --system\n"
      "british), --relative-humidity 50 when no humidity parameter is given, --method iapws,\n"
      "--system metric. Give the pressure or the altitude, and at most one humidity parameter.\n"
      "A unit option selects one list's item and overrides the system (the window then reports a\n"
      "Customized system). Exit status 1 when the window would show a report instead of the listing.\n"
      "Example: humidora-cli state --temperature=-5 --dew-point=-12 --json";

// The humidity parameters: option name and the number of the window's option button.
struct HumidityParameter
{
    const char* option;
    int option_button;
};
constexpr HumidityParameter kHumidityParameters[] = {
    { "relative-humidity", 2 },
    { "humidity-ratio", 1 },
    { "dew-point", 3 },
    { "wet-bulb", 4 },
    { "absolute-humidity", 5 },
    { "partial-pressure", 10 },
    { "mole-fraction", 6 },
    { "mass-fraction", 7 },
};

// One option per unit list that offers a choice: option name and list number.
struct UnitParameter
{
    const char* option;
    int list;
};
constexpr UnitParameter kUnitParameters[] = {
    { "temperature-unit", 1 },
    { "pressure-unit", 2 },
    { "altitude-unit", 10 },
    { "humidity-ratio-unit", 6 },
    { "absolute-humidity-unit", 7 },
    { "dew-point-unit", 3 },
    { "wet-bulb-unit", 4 },
    { "partial-pressure-unit", 11 },
    { "gas-constant-unit", 12 },
    { "molecular-weight-unit", 13 },
    { "density-unit", 14 },
    { "specific-volume-unit", 15 },
    { "enthalpy-unit", 16 },
};

const UnitList& ListOf(const AmbientControls& controls, int list)
{
    return controls.*(kUnitLists[static_cast<std::size_t>(list - 1)].list);
}

QString Role(const ValueBox& box)
{
    if (box.background == Background::Red)
        return "refused";
    return box.locked ? "computed" : "input";
}

QString HexColour(Background background)
{
    const Rgb rgb = BackgroundRgb(background);
    QString hex = "#";
    for (const int channel : { rgb.red, rgb.green, rgb.blue })
        hex += QString("%1").arg(channel, 2, 16, QChar('0'));
    return hex;
}

QJsonObject RefusalJson(const Refusal& refusal)
{
    return {
        { "quantity", FromModel(refusal.quantity) },
        { "text", FromModel(refusal.text) },
        { "reason", FromModel(std::string(RefusalReasonName(refusal.reason))) },
        { "minimum", FromModel(refusal.minimum) },
        { "maximum", FromModel(refusal.maximum) },
        { "unit", FromModel(refusal.unit) },
        { "message", FromModel(RefusalSentence(refusal)) },
    };
}

QJsonObject StateJson(const AmbientControls& controls, const std::optional<Refusal>& refusal)
{
    QJsonObject quantities;
    for (const QuantityControls& quantity : kQuantities) {
        const ValueBox& box = controls.*(quantity.box);
        QJsonObject entry {
            { "text", FromModel(box.text) },
            { "unit", FromModel((controls.*(quantity.list)).text()) },
            { "role", Role(box) },
        };
        if (quantity.minimum) {
            entry["min"] = FromModel((controls.*(quantity.minimum)).caption);
            entry["max"] = FromModel((controls.*(quantity.maximum)).caption);
        }
        quantities[FromModel(std::string(quantity.key))] = entry;
    }
    QJsonObject json {
        { "ok", !refusal },
        { "method", controls.menu_IAPWS ? "iapws" : "hyland-wexler" },
        { "quantities", quantities },
        { "listing", QJsonArray::fromStringList(FromModel(controls.List1.lines)) },
        { "listing_background", HexColour(controls.List1.background) },
    };
    if (refusal)
        json["refusal"] = RefusalJson(*refusal);
    return json;
}

void PrintTable(const AmbientControls& controls)
{
    const auto row = [](const QString& quantity, const QString& value, const QString& unit,
                         const QString& minimum, const QString& maximum) {
        PrintOut((quantity.leftJustified(19) + value.leftJustified(15) + unit.leftJustified(28)
            + minimum.leftJustified(12) + maximum)
                     .trimmed());
    };
    row("quantity", "value", "unit", "minimum", "maximum");
    for (const QuantityControls& quantity : kQuantities) {
        row(FromModel(std::string(quantity.key)), FromModel((controls.*(quantity.box)).text),
            FromModel((controls.*(quantity.list)).text()),
            quantity.minimum ? FromModel((controls.*(quantity.minimum)).caption) : QString(),
            quantity.maximum ? FromModel((controls.*(quantity.maximum)).caption) : QString());
    }
    PrintOut(QString());
    for (const std::string& line : controls.List1.lines)
        PrintOut(FromModel(line));
}

} // namespace

int RunState(const QStringList& arguments)
{
    const QString command = arguments.value(0);
    QCommandLineParser parser;
    const QCommandLineOption temperature("temperature", "Ambient temperature.", "V");
    const QCommandLineOption pressure("pressure", "Barometric pressure.", "V");
    const QCommandLineOption altitude(
        "altitude", "Altitude above sea level, given instead of the pressure.", "V");
    parser.addOptions({ temperature, pressure, altitude });
    std::vector<QCommandLineOption> humidity_options;
    for (const HumidityParameter& parameter : kHumidityParameters) {
        humidity_options.emplace_back(parameter.option,
            QString("The humidity given as %1.").arg(QString(parameter.option).replace('-', ' ')), "V");
        parser.addOption(humidity_options.back());
    }
    const QCommandLineOption method("method", "Saturation formulation: \"iapws\" or \"hyland-wexler\".", "M");
    const QCommandLineOption system("system", "Unit system: \"metric\" or \"british\".", "S");
    parser.addOptions({ method, system });
    std::vector<QCommandLineOption> unit_options;
    const AmbientControls lists;
    for (const UnitParameter& parameter : kUnitParameters) {
        unit_options.emplace_back(parameter.option,
            "Unit key, one of: \"" + FromModel(ListOf(lists, parameter.list).items).join("\", \"") + "\".",
            "KEY");
        parser.addOption(unit_options.back());
    }
    const QCommandLineOption json("json", "Write one JSON object instead of a table.");
    parser.addOption(json);
    const StateFileOptions files;
    files.addTo(parser);
    if (const std::optional<int> status
        = ParseArguments(parser, arguments, "state [options]", QString(kDescription) + kStateFilesHelp))
        return *status;
    if (!parser.positionalArguments().isEmpty()) {
        PrintError(command + ": unexpected argument \"" + parser.positionalArguments().first() + "\"\nRun \""
            + command + " --help\" for the options.");
        return kUsageError;
    }
    if (parser.isSet(pressure) && parser.isSet(altitude)) {
        PrintError(command + ": give either --pressure or --altitude, not both");
        return kUsageError;
    }

    AmbientWindow window;
    window.Open();
    AmbientInputs inputs = window.CurrentInputs();
    // From a saved calculation, the options change only what they name; else unnamed inputs take defaults.
    const bool from_file = parser.isSet(files.from);
    if (const std::optional<int> status = LoadStateFile(parser, files, command, inputs))
        return *status;
    const AmbientInputs read_from_file = inputs;

    const QString method_key = parser.isSet(method) ? parser.value(method) : "iapws";
    if (method_key != "iapws" && method_key != "hyland-wexler")
        return UnknownKey(command, "method", method_key, { "iapws", "hyland-wexler" });
    if (!from_file || parser.isSet(method))
        inputs.iapws = method_key == "iapws";

    const QString system_key = parser.isSet(system) ? parser.value(system) : "metric";
    if (system_key != "metric" && system_key != "british")
        return UnknownKey(command, "system", system_key, { "metric", "british" });
    const bool british = system_key == "british";
    const bool set_system = !from_file || parser.isSet(system);
    if (set_system) {
        inputs.system = british ? UnitSystem::British : UnitSystem::Metric;
        inputs.selections = british ? kBritishSelection : kMetricSelection;
    }
    const bool customized = inputs.system == UnitSystem::Customized;
    const std::array<int, 16>& reference
        = inputs.system == UnitSystem::British ? kBritishSelection : kMetricSelection;

    // A unit that departs from the system's item makes the system Customized, as in the window.
    for (std::size_t i = 0; i < std::size(kUnitParameters); ++i) {
        if (!parser.isSet(unit_options[i]))
            continue;
        const int list = kUnitParameters[i].list;
        const UnitList& unit_list = ListOf(window.controls(), list);
        const QString key = parser.value(unit_options[i]);
        const int index = unit_list.IndexOf(key.toStdString());
        if (index < 0)
            return UnknownKey(command, QString(kUnitParameters[i].option).replace('-', ' '), key,
                FromModel(unit_list.items));
        inputs.selections[static_cast<std::size_t>(list - 1)] = index;
        if (!customized && index != reference[static_cast<std::size_t>(list - 1)])
            inputs.system = UnitSystem::Customized;
    }

    const HumidityParameter* given = nullptr;
    QString humidity_text = "50";
    for (std::size_t i = 0; i < std::size(kHumidityParameters); ++i) {
        if (!parser.isSet(humidity_options[i]))
            continue;
        if (given) {
            PrintError(command + ": give at most one humidity parameter (--" + given->option + " and --"
                + kHumidityParameters[i].option + ")");
            return kUsageError;
        }
        given = &kHumidityParameters[i];
        humidity_text = parser.value(humidity_options[i]);
    }
    if (!from_file || given) {
        inputs.humidity_option = given ? given->option_button : 2;
        inputs.humidity = humidity_text.toStdString();
    }
    if (!from_file || parser.isSet(temperature))
        inputs.temperature = parser.isSet(temperature) ? parser.value(temperature).toStdString() : "25";
    if (!from_file || parser.isSet(altitude) || parser.isSet(pressure))
        inputs.altitude_given = parser.isSet(altitude);
    if (parser.isSet(altitude))
        inputs.altitude = parser.value(altitude).toStdString();
    if (parser.isSet(pressure))
        inputs.pressure = parser.value(pressure).toStdString();
    else if (set_system)
        inputs.pressure = british ? kBritishPressureText : kMetricPressureText;

    window.RestoreInputs(inputs);
    if (const std::optional<int> status
        = WriteStateFiles(parser, files, command, window, from_file ? &read_from_file : nullptr))
        return *status;

    const AmbientControls& controls = window.controls();
    const std::optional<Refusal>& refusal = window.refusal();
    if (parser.isSet(json))
        PrintJson(StateJson(controls, refusal));
    else
        PrintTable(controls);
    if (refusal) {
        PrintError(command + ": " + FromModel(RefusalSentence(*refusal)));
        return kRefused;
    }
    return kSuccess;
}

} // namespace humidora::cli
