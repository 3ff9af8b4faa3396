// The state options shared by the commands that take a state of moist air as the main window does
// (state, chart): temperature, pressure or altitude, one humidity parameter, formulation, unit system and
// one unit option per list.
#pragma once

#include "calc/units/quantities.h"
#include "calc/windows/ambient_window.h"
#include "cli/cli_support.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <optional>
#include <vector>

namespace humidora::cli {

struct StateOptions : ConditionOptions
{
    StateOptions();
    void addTo(QCommandLineParser& parser) const;
    /// True when the temperature or a humidity parameter is given.
    bool givesState(const QCommandLineParser& parser) const;

    QCommandLineOption temperature { "temperature", "Ambient temperature.", "V" };
    std::vector<QCommandLineOption> humidity; ///< one per humidity parameter, relative humidity first
    std::vector<QCommandLineOption> units;    ///< one per unit list that offers a choice, in row order
};

/// The humidity parameters in the order of StateOptions::humidity: the window's default one (relative
/// humidity) first, then the others in the order in which the calculation tries them.
const std::vector<const Quantity*>& HumidityParameters();

/// The command-line name of a quantity, e.g. "dew-point".
QString CommandName(const Quantity& quantity);

/// A usage error (reported on stderr) when the options contradict each other (pressure and altitude).
std::optional<int> CheckStateOptions(
    const QCommandLineParser& parser, const StateOptions& options, const QString& command);

/// Brings the options into inputs: the window's start-up inputs, where an option not given takes the
/// window's default, or a saved calculation's (from_file), where the options change only what they name.
/// A unit option that departs from the system's item makes the system Customized, as in the window.
/// Returns the usage-error status (reported on stderr) for an unknown key or a second humidity parameter.
std::optional<int> ApplyStateOptions(const QCommandLineParser& parser, const StateOptions& options,
    const QString& command, bool from_file, AmbientInputs& inputs);

} // namespace humidora::cli
