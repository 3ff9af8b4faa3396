// The measurement-uncertainty options of the commands that compute states (state, batch): the inputs'
// accuracies, their form, the coverage factor and the Monte Carlo check; and the uncertainty in JSON.
#pragma once

#include "calc/ambient/uncertainty.h"
#include "calc/units/ambient_controls.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QJsonObject>
#include <optional>

namespace humidora::cli {

struct UncertaintyOptions
{
    /// With `monte_carlo`, the --monte-carlo option (state only).
    explicit UncertaintyOptions(bool monte_carlo);
    void addTo(QCommandLineParser& parser) const;
    bool given(const QCommandLineParser& parser) const;

    QCommandLineOption uncertainty;
    QCommandLineOption form;
    QCommandLineOption coverage;
    QCommandLineOption monte_carlo;
    bool with_monte_carlo;
};

/// Reads the options into `settings` for a state whose humidity input is option `humidity_option` and whose
/// pressure is given as an altitude when `altitude_given`. `settings` holds what a calculation file brought
/// (or the defaults, switched off); --uncertainty switches it on and sets the accuracies it names, the
/// others being 0 unless the file gave them. A bad value is a usage error naming the quantity, the value and
/// the limit, reported on stderr, whose status is returned.
std::optional<int> ReadUncertaintyOptions(const QCommandLineParser& parser, const UncertaintyOptions& options,
    const QString& command, int humidity_option, bool altitude_given, UncertaintySettings& settings,
    long& monte_carlo_draws);

/// The largest number of Monte Carlo draws a command makes (each keeps its sixteen results in memory).
inline constexpr long kMaximumDraws = 1'000'000;

/// {quantity: {u, U, k, unit, interval: [low, high], flagged[, monte_carlo: {interval, draws, refused}]}}
/// for every quantity that has an uncertainty, in the units the controls show.
QJsonObject UncertaintyJson(
    const AmbientControls& controls, const UncertaintyResult& result, const MonteCarloResult* monte_carlo);

/// The lines a table prints under the state: the coverage, the intervals that reach beyond a range and
/// the Monte Carlo intervals.
QStringList UncertaintyLines(
    const AmbientControls& controls, const UncertaintyResult& result, const MonteCarloResult* monte_carlo);

} // namespace humidora::cli
