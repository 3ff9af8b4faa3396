#include "cli/data_options.h"

#include "calc/number_text.h"
#include "cli/commands.h"

namespace humidora::cli {
namespace {

int Usage(const QString& command, const QString& message)
{
    PrintError(command + ": " + message + "\nRun \"" + command + " --help\" for the options.");
    return kUsageError;
}

// The item of unit list `list` (1..16) that inputs select.
std::string SelectedUnit(const AmbientInputs& inputs, int list)
{
    const AmbientControls lists;
    const UnitList& unit_list = ListOf(lists, list);
    const int index = inputs.selections[static_cast<std::size_t>(list - 1)];
    return index >= 0 && static_cast<std::size_t>(index) < unit_list.items.size()
        ? unit_list.items[static_cast<std::size_t>(index)]
        : unit_list.items.front();
}

} // namespace

DataColumnOptions::DataColumnOptions()
{
    for (const Quantity* parameter : HumidityParameters()) {
        humidity.emplace_back(CommandName(*parameter) + "-column",
            QString("Column of the %1.").arg(CommandName(*parameter).replace('-', ' ')), "NAME");
    }
}

void DataColumnOptions::addColumnsTo(QCommandLineParser& parser) const
{
    parser.addOptions({ temperature, pressure, altitude });
    for (const QCommandLineOption& option : humidity)
        parser.addOption(option);
}

void DataColumnOptions::addFormatTo(QCommandLineParser& parser) const
{
    parser.addOptions({ delimiter, decimal_comma });
}

std::optional<int> DataColumnOptions::readFormat(
    const QCommandLineParser& parser, const QString& command, char& delimiter_char, bool& comma) const
{
    comma = parser.isSet(decimal_comma);
    if (parser.isSet(delimiter)) {
        const QByteArray d = parser.value(delimiter).toUtf8();
        if (d.size() != 1 || d[0] == '"' || d[0] == '\r' || d[0] == '\n')
            return Usage(command, "the delimiter is one character other than a quote or a line break");
        delimiter_char = d[0];
    }
    if (comma && delimiter_char == ',')
        return Usage(command, "--decimal-comma needs another --delimiter, such as ';'");
    return std::nullopt;
}

std::variant<std::optional<std::size_t>, int> DataColumnOptions::humidityColumn(
    const QCommandLineParser& parser, const StateOptions& state, const QString& command,
    bool separate_state) const
{
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < humidity.size(); ++i) {
        if (!parser.isSet(humidity[i]))
            continue;
        if (found)
            return Usage(command, "give one humidity parameter, as a column or as a value");
        found = i;
    }
    if (found && !separate_state) {
        for (const QCommandLineOption& option : state.humidity) {
            if (parser.isSet(option))
                return Usage(command, "give one humidity parameter, as a column or as a value");
        }
    }
    return found;
}

std::optional<int> DataColumnOptions::checkSources(const QCommandLineParser& parser,
    const StateOptions& state, const QString& command, bool separate_state) const
{
    const bool fixed_pressure = parser.isSet(state.pressure) || parser.isSet(state.altitude);
    if (int(parser.isSet(pressure)) + int(parser.isSet(altitude)) + int(fixed_pressure) > 1)
        return Usage(command, "give the pressure or the altitude once, as a column or as a value");
    if (!separate_state && parser.isSet(temperature) && parser.isSet(state.temperature))
        return Usage(command, "give the temperature once, as a column or as a value");
    return std::nullopt;
}

QCommandLineOption ZoneOption()
{
    return QCommandLineOption("zone",
        "A zone that counts the rows inside it (repeatable): \"name=NAME,temperature=LOW:HIGH\" with "
        "\"humidity-ratio=LOW:HIGH\" or \"dew-point=LOW:HIGH\" and/or \"relative-humidity=LOW:HIGH\"; "
        "each range in the unit of its option or list, or LOW:HIGH:UNIT. Edges are inside.",
        "ZONE");
}

std::variant<chart::Zone, QString> ParseZone(const QString& text, const AmbientInputs& inputs)
{
    chart::Zone zone;
    bool has_temperature = false;
    for (const QString& item : text.split(',')) {
        const QString key = item.section('=', 0, 0).trimmed();
        const QString value = item.section('=', 1);
        if (!item.contains('='))
            return QString("\"%1\" is not KEY=VALUE").arg(item);
        if (key == "name") {
            zone.name = value.trimmed().toStdString();
            continue;
        }
        int list = 0;
        std::optional<chart::ZoneRange>* target = nullptr;
        if (key == "temperature")
            list = 1;
        else if (key == "dew-point")
            list = 3, target = &zone.dew_point;
        else if (key == "relative-humidity")
            list = 5, target = &zone.relative_humidity;
        else if (key == "humidity-ratio")
            list = 6, target = &zone.humidity_ratio;
        else
            return QString(
                "unknown key \"%1\"; the keys are name, temperature, humidity-ratio, dew-point and "
                "relative-humidity")
                .arg(key);
        const QStringList parts = value.split(':');
        if (parts.size() < 2 || parts.size() > 3 || !IsNumberText(parts[0].trimmed().toStdString())
            || !IsNumberText(parts[1].trimmed().toStdString()))
            return QString("the %1 range \"%2\" is not LOW:HIGH or LOW:HIGH:UNIT").arg(key, value);
        chart::ZoneRange range { NumberValue(parts[0].trimmed().toStdString()),
            NumberValue(parts[1].trimmed().toStdString()),
            parts.size() == 3 ? parts[2].trimmed().toStdString() : SelectedUnit(inputs, list) };
        if (list == 1) {
            zone.dry_bulb = range;
            has_temperature = true;
        } else {
            *target = range;
        }
    }
    if (!has_temperature)
        return QString("the zone needs a temperature range");
    if (const auto problem = chart::ZoneProblem(zone))
        return QString::fromStdString(*problem);
    return zone;
}

std::variant<std::vector<chart::Zone>, int> ZonesFromOptions(
    const QCommandLineParser& parser, const AmbientInputs& inputs, const QString& command)
{
    std::vector<chart::Zone> zones;
    for (const QString& text : parser.values("zone")) {
        auto zone = ParseZone(text, inputs);
        if (const QString* message = std::get_if<QString>(&zone))
            return Usage(command, "--zone \"" + text + "\": " + *message);
        zones.push_back(std::get<chart::Zone>(zone));
    }
    return zones;
}

} // namespace humidora::cli
