// The parameters of the air-handling processes as the user gives them (command line, the "Add Process"
// dialog): key, caption, the kinds that take them, the unit they are typed in, and the forms in which
// each kind is complete.
#pragma once

#include "calc/state_points.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace humidora {

/// How a parameter is typed: a temperature in the window's temperature unit, a relative humidity in %,
/// a humidity ratio in the window's humidity-ratio unit, or a plain number.
enum class ParameterReading
{
    Temperature,
    Percent,
    HumidityRatio,
    Plain,
};

struct ProcessParameter
{
    std::string_view key;     ///< the command line's option name, e.g. "bypass-factor"
    std::string_view caption; ///< e.g. "Bypass Factor"
    ProcessKind kind;
    ProcessKind other_kind; ///< a second kind that takes it, else the same as kind
    ParameterReading reading;
    std::optional<double> ProcessSpec::*field;
    std::string_view range = {}; ///< the range of a plain number, e.g. "0..1"; empty for the others

    bool TakenBy(ProcessKind k) const { return kind == k || other_kind == k; }
    /// The caption with the range of a plain number where the parameter is asked for: "Bypass Factor
    /// (0..1)".
    std::string Prompt() const
    {
        return range.empty() ? std::string(caption) : std::string(caption) + " (" + std::string(range) + ")";
    }
};

extern const std::array<ProcessParameter, 9> kProcessParameters;

/// The parameters that together make one complete form of a kind (the steam temperature aside, which
/// goes with either form of steam).
struct ProcessForm
{
    ProcessKind kind;
    std::vector<std::string_view> required;
};
extern const std::array<ProcessForm, 8> kProcessForms;

/// The form of `kind` that the parameter keys `given` make exactly, or null.
const ProcessForm* MatchingForm(ProcessKind kind, std::vector<std::string> given);

/// A parameter typed in the units of the window inputs `units`, in SI (K, fraction, kg/kg), and back.
double ParameterInSi(const ProcessParameter& parameter, double value, const AmbientInputs& units);
double ParameterInUnit(const ProcessParameter& parameter, double si, const AmbientInputs& units);

/// The unit a parameter is typed in with the window inputs `units` (a Combo1 or Combo6 item, "%"), and
/// the decimals a value is shown with in it; an empty unit for a plain number.
std::string_view ParameterUnit(const ProcessParameter& parameter, const AmbientInputs& units);
int ParameterDecimals(const ProcessParameter& parameter, const AmbientInputs& units);

/// Captions of the kinds: "Mixing", "Heating / Sensible Cooling", "Cooling Coil", "Evaporative
/// Humidifier", "Steam Humidifier".
std::string_view ProcessKindCaption(ProcessKind kind);

} // namespace humidora
