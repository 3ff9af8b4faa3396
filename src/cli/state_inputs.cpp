#include "cli/state_inputs.h"

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/state_options.h"

namespace humidora::cli {

StateOptions::StateOptions()
{
    for (const HumidityParameter& parameter : kHumidityParameters)
        humidity.emplace_back(parameter.option,
            QString("The humidity given as %1.").arg(QString(parameter.option).replace('-', ' ')), "V");
    const AmbientControls lists;
    for (const UnitParameter& parameter : kUnitParameters) {
        const UnitList& list = lists.*(kUnitLists[static_cast<std::size_t>(parameter.list - 1)].list);
        units.emplace_back(
            parameter.option, "Unit key, one of: \"" + FromModel(list.items).join("\", \"") + "\".", "KEY");
    }
}

void StateOptions::addTo(QCommandLineParser& parser) const
{
    parser.addOptions({ temperature, pressure, altitude });
    for (const QCommandLineOption& option : humidity)
        parser.addOption(option);
    parser.addOptions({ method, system });
    for (const QCommandLineOption& option : units)
        parser.addOption(option);
}

bool StateOptions::givesState(const QCommandLineParser& parser) const
{
    if (parser.isSet(temperature))
        return true;
    for (const QCommandLineOption& option : humidity) {
        if (parser.isSet(option))
            return true;
    }
    return false;
}

std::optional<int> CheckStateOptions(
    const QCommandLineParser& parser, const StateOptions& options, const QString& command)
{
    if (parser.isSet(options.pressure) && parser.isSet(options.altitude)) {
        PrintError(command + ": give either --pressure or --altitude, not both");
        return kUsageError;
    }
    return std::nullopt;
}

std::optional<int> ApplyStateOptions(const QCommandLineParser& parser, const StateOptions& options,
    const QString& command, bool from_file, AmbientInputs& inputs)
{
    const AmbientControls lists;
    const QString method_key = parser.isSet(options.method) ? parser.value(options.method) : "iapws";
    if (method_key != "iapws" && method_key != "hyland-wexler")
        return UnknownKey(command, "method", method_key, { "iapws", "hyland-wexler" });
    if (!from_file || parser.isSet(options.method))
        inputs.iapws = method_key == "iapws";

    const QString system_key = parser.isSet(options.system) ? parser.value(options.system) : "metric";
    if (system_key != "metric" && system_key != "british")
        return UnknownKey(command, "system", system_key, { "metric", "british" });
    const bool british = system_key == "british";
    const bool set_system = !from_file || parser.isSet(options.system);
    if (set_system) {
        inputs.system = british ? UnitSystem::British : UnitSystem::Metric;
        inputs.selections = british ? kBritishSelection : kMetricSelection;
    }
    const bool customized = inputs.system == UnitSystem::Customized;
    const std::array<int, 16>& reference
        = inputs.system == UnitSystem::British ? kBritishSelection : kMetricSelection;

    // A unit that departs from the system's item makes the system Customized, as in the window.
    for (std::size_t i = 0; i < std::size(kUnitParameters); ++i) {
        if (!parser.isSet(options.units[i]))
            continue;
        const int list = kUnitParameters[i].list;
        const UnitList& unit_list = lists.*(kUnitLists[static_cast<std::size_t>(list - 1)].list);
        const QString key = parser.value(options.units[i]);
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
        if (!parser.isSet(options.humidity[i]))
            continue;
        if (given) {
            PrintError(command + ": give at most one humidity parameter (--" + given->option + " and --"
                + kHumidityParameters[i].option + ")");
            return kUsageError;
        }
        given = &kHumidityParameters[i];
        humidity_text = parser.value(options.humidity[i]);
    }
    if (!from_file || given) {
        inputs.humidity_option = given ? given->option_button : 2;
        inputs.humidity = humidity_text.toStdString();
    }
    if (!from_file || parser.isSet(options.temperature))
        inputs.temperature
            = parser.isSet(options.temperature) ? parser.value(options.temperature).toStdString() : "25";
    if (!from_file || parser.isSet(options.altitude) || parser.isSet(options.pressure))
        inputs.altitude_given = parser.isSet(options.altitude);
    if (parser.isSet(options.altitude))
        inputs.altitude = parser.value(options.altitude).toStdString();
    if (parser.isSet(options.pressure))
        inputs.pressure = parser.value(options.pressure).toStdString();
    else if (set_system)
        inputs.pressure = british ? kBritishPressureText : kMetricPressureText;

    return std::nullopt;
}

} // namespace humidora::cli
