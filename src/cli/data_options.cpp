#include "cli/data_options.h"

#include "calc/units/number_text.h"
#include "cli/commands.h"

namespace humidora::cli {
namespace {

int Usage(const QString& command, const QString& message)
{
    PrintError(command + ": " + message + "\nRun \"" + command + " --help\" for the options.");
    return kUsageError;
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

std::variant<std::vector<chart::Zone>, int> ZonesFromOptions(
    const QCommandLineParser& parser, const AmbientInputs& inputs, const QString& command)
{
    std::vector<chart::Zone> zones;
    for (const QString& text : parser.values("zone")) {
        auto zone = chart::ParseZone(text.toStdString(), inputs);
        if (const std::string* message = std::get_if<std::string>(&zone))
            return Usage(command, "--zone \"" + text + "\": " + QString::fromStdString(*message));
        zones.push_back(std::get<chart::Zone>(zone));
    }
    return zones;
}

} // namespace humidora::cli
