#include "cli/state_inputs.h"

#include "cli/cli_support.h"
#include "cli/commands.h"

namespace humidora::cli {
const std::vector<const Quantity*>& HumidityParameters()
{
    static const std::vector<const Quantity*> parameters = [] {
        std::vector<const Quantity*> made = { FindQuantityByOption(AmbientInputs {}.humidity_option) };
        for (const Quantity* quantity : kHumidityRouteOrder) {
            if (quantity != made.front())
                made.push_back(quantity);
        }
        return made;
    }();
    return parameters;
}

QString CommandName(const Quantity& quantity)
{
    return FromModel(std::string(quantity.command_name));
}

namespace {

// One unit option per unit list that offers a choice, in the window's row order.
const std::vector<const Quantity*>& UnitParameters()
{
    static const std::vector<const Quantity*> parameters = [] {
        std::vector<const Quantity*> made;
        for (const Quantity& quantity : kQuantities) {
            if (quantity.units.size() > 1)
                made.push_back(&quantity);
        }
        return made;
    }();
    return parameters;
}

QString UnitOptionName(const Quantity& quantity)
{
    return CommandName(quantity) + "-unit";
}

} // namespace

StateOptions::StateOptions()
    : ConditionOptions("Barometric pressure.", "V", "V")
{
    for (const Quantity* parameter : HumidityParameters())
        humidity.emplace_back(CommandName(*parameter),
            QString("The humidity given as %1.").arg(CommandName(*parameter).replace('-', ' ')), "V");
    const AmbientControls lists;
    for (const Quantity* parameter : UnitParameters()) {
        units.emplace_back(UnitOptionName(*parameter),
            "Unit key, one of: \"" + UnitKeys((lists.*parameter->list).items).join("\", \"") + "\".", "KEY");
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
    return options.checkPressureOrAltitude(parser, command);
}

std::optional<int> ApplyStateOptions(const QCommandLineParser& parser, const StateOptions& options,
    const QString& command, bool from_file, AmbientInputs& inputs)
{
    const AmbientControls lists;
    bool iapws = true;
    bool british = false;
    if (const std::optional<int> status = options.readMethodAndSystem(parser, command, iapws, british))
        return status;
    if (!from_file || parser.isSet(options.method))
        inputs.iapws = iapws;

    const bool set_system = !from_file || parser.isSet(options.system);
    if (set_system) {
        inputs.system = british ? UnitSystem::British : UnitSystem::Metric;
        inputs.selections = british ? kBritishSelection : kMetricSelection;
    }
    const bool customized = inputs.system == UnitSystem::Customized;
    const std::array<int, 16>& reference
        = inputs.system == UnitSystem::British ? kBritishSelection : kMetricSelection;

    // A unit that departs from the system's item makes the system Customized, as in the window.
    for (std::size_t i = 0; i < UnitParameters().size(); ++i) {
        if (!parser.isSet(options.units[i]))
            continue;
        const int list = UnitParameters()[i]->listNumber();
        const UnitList& unit_list = ListOf(lists, list);
        const QString key = parser.value(options.units[i]);
        const int index = UnitIndex(unit_list.items, key);
        if (index < 0)
            return UnknownKey(command, UnitOptionName(*UnitParameters()[i]).replace('-', ' '), key,
                UnitKeys(unit_list.items));
        inputs.selections[static_cast<std::size_t>(list - 1)] = index;
        if (!customized && index != reference[static_cast<std::size_t>(list - 1)])
            inputs.system = UnitSystem::Customized;
    }

    const Quantity* given = nullptr;
    QString humidity_text = FromModel(AmbientInputs {}.humidity);
    for (std::size_t i = 0; i < HumidityParameters().size(); ++i) {
        if (!parser.isSet(options.humidity[i]))
            continue;
        if (given) {
            PrintError(command + ": give at most one humidity parameter (--" + CommandName(*given) + " and --"
                + CommandName(*HumidityParameters()[i]) + ")");
            return kUsageError;
        }
        given = HumidityParameters()[i];
        humidity_text = parser.value(options.humidity[i]);
    }
    if (!from_file || given) {
        inputs.humidity_option = given ? given->optionNumber() : AmbientInputs {}.humidity_option;
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
