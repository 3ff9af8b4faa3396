// The options that say where a state's inputs stand in a CSV file (columns by header name, the
// delimiter, a decimal comma), shared by "batch" and "chart --data", and the zones of both.
#pragma once

#include "chart/data_layer.h"
#include "cli/state_inputs.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <variant>
#include <vector>

namespace humidora::cli {

struct DataColumnOptions
{
    DataColumnOptions();
    /// The column options (temperature, pressure, altitude, one per humidity parameter).
    void addColumnsTo(QCommandLineParser& parser) const;
    /// --delimiter and --decimal-comma.
    void addFormatTo(QCommandLineParser& parser) const;

    /// Reads --delimiter and --decimal-comma; a usage error (reported on stderr) for a delimiter that is not
    /// one character other than a quote or a line break, or a decimal comma with ',' as the delimiter.
    std::optional<int> readFormat(
        const QCommandLineParser& parser, const QString& command, char& delimiter, bool& decimal_comma) const;

    /// Index into HumidityParameters() of the humidity column given, if one; a usage error when two are
    /// given or, unless the state's values mean another state (the chart's marker), a humidity value is
    /// given beside one.
    std::variant<std::optional<std::size_t>, int> humidityColumn(const QCommandLineParser& parser,
        const StateOptions& state, const QString& command, bool separate_state = false) const;

    /// A usage error when the pressure or altitude is given twice (as columns and values), or, unless the
    /// state's values mean another state, the temperature both as a column and as a value.
    std::optional<int> checkSources(const QCommandLineParser& parser, const StateOptions& state,
        const QString& command, bool separate_state = false) const;

    QCommandLineOption temperature { "temperature-column", "Column of the ambient temperature.", "NAME" };
    QCommandLineOption pressure { "pressure-column", "Column of the barometric pressure.", "NAME" };
    QCommandLineOption altitude { "altitude-column", "Column of the altitude.", "NAME" };
    std::vector<QCommandLineOption> humidity; ///< in the order of HumidityParameters()
    QCommandLineOption delimiter { "delimiter", "Field delimiter of input and output (default ',').",
        "CHAR" };
    QCommandLineOption decimal_comma { "decimal-comma",
        "Numbers are read and written with ',' as the decimal point." };
};

/// The option --zone, repeatable, and its syntax in the help.
QCommandLineOption ZoneOption();

/// Every --zone of parser, or a usage error (reported on stderr).
std::variant<std::vector<chart::Zone>, int> ZonesFromOptions(
    const QCommandLineParser& parser, const AmbientInputs& inputs, const QString& command);

} // namespace humidora::cli
