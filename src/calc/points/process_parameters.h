// The kinds of air-handling process and their parameters, written once: each kind's key, caption and the
// points that enter it, each parameter's key, caption, unit and range, the forms in which a kind is
// complete, and the one validator that the "Add Process" dialog, the command line, the Python module and
// the file reader apply to a process before it runs.
#pragma once

#include "calc/points/state_points.h"
#include "calc/units/refusal.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace humidora {

/// One kind of process: the key the command line and files name it by, its caption, how many points
/// enter it, and whether every entering point needs its dry-air flow.
struct ProcessKindInfo
{
    ProcessKind kind;
    std::string_view key;
    std::string_view caption;
    std::size_t fewest_points;
    std::size_t most_points;
    std::string_view points_text; ///< "two or more points", "one point"
    bool needs_flows = false;
};

/// Every kind, in the order the dialog lists them.
extern const std::vector<ProcessKindInfo> kProcessKinds;
const ProcessKindInfo& KindInfo(ProcessKind kind);

/// How a parameter is typed: a temperature in the window's temperature unit, a relative humidity in %,
/// a humidity ratio in the window's humidity-ratio unit, a load in kW (btu/h in British), a dry-air flow
/// in kg/s (lb/h in British), or a plain number.
enum class ParameterReading
{
    Temperature,
    Percent,
    HumidityRatio,
    Plain,
    Load,
    MassFlow,
};

struct ProcessParameter
{
    std::string_view key;     ///< the command line's option name, e.g. "bypass-factor"
    std::string_view caption; ///< e.g. "Bypass Factor"
    std::vector<ProcessKind> kinds;
    ParameterReading reading;
    std::optional<double> ProcessSpec::*field;
    /// The range in SI (K, fraction, kg/kg, plain), both ends allowed; empty where a side is open.
    std::optional<double> minimum;
    std::optional<double> maximum;
    bool above_minimum = false; ///< the minimum itself is refused (a flow must exceed 0)

    bool TakenBy(ProcessKind k) const;
    /// The caption with the range of a plain number where the parameter is asked for: "Bypass Factor
    /// (0..1)".
    std::string Prompt() const;
    /// The member of the file and the JSON quantity: the key with '_' for '-', and the SI unit after a
    /// temperature, a load or a flow ("adp_K", "bypass_factor", "sensible_load_kW", "supply_flow_kg_per_s").
    std::string Member() const;
};

extern const std::vector<ProcessParameter> kProcessParameters;
const ProcessParameter* FindParameter(std::string_view key);
/// The parameter whose Member() is `member` ("supply_temperature_K"), or null.
const ProcessParameter* FindParameterByMember(std::string_view member);

/// The parameters that together make one complete form of a kind (the steam temperature aside, which
/// goes with either form of steam).
struct ProcessForm
{
    ProcessKind kind;
    std::vector<std::string_view> required;
};
extern const std::vector<ProcessForm> kProcessForms;

/// The form of `kind` that the parameter keys `given` make exactly, or null.
const ProcessForm* MatchingForm(ProcessKind kind, std::vector<std::string> given);

/// A parameter typed in the units of the window inputs `units`, in SI (K, fraction, kg/kg), and back.
double ParameterInSi(const ProcessParameter& parameter, double value, const AmbientInputs& units);
double ParameterInUnit(const ProcessParameter& parameter, double si, const AmbientInputs& units);

/// The unit a parameter is typed in with the window inputs `units` (a Combo1 or Combo6 item, "%"), and
/// the decimals a value is shown with in it; an empty unit for a plain number.
std::string_view ParameterUnit(const ProcessParameter& parameter, const AmbientInputs& units);
int ParameterDecimals(const ProcessParameter& parameter, const AmbientInputs& units);

/// Captions of the kinds: "Mixing", "Heating / Sensible Cooling", "Cooling Coil", ...
std::string_view ProcessKindCaption(ProcessKind kind);

/// A refusal that is a rule of the process, with no quantity: reason ProcessRule and the sentence.
ProcessRefusal RuleRefusal(std::string sentence);
/// The window's sentence of a refusal within a sentence: "relative humidity 130 % is above its maximum of
/// 100 %".
std::string RefusalClause(const Refusal& refusal);
/// "Point A is refused: relative humidity 130 % is above its maximum of 100 %."
ProcessRefusal PointRefusal(const std::string& name, const Refusal& refusal);

/// A point entering a process, already resolved: its name, its view through the window and its flow.
struct EnteringPoint
{
    std::string name;
    PointView view;
    std::optional<double> flow_kg_s;
};

/// The parameters of `recipe` alone: those its kind takes, finite, one complete form, each within its
/// range (the texts in the units of `units`). Nothing when they are sound.
std::optional<ProcessRefusal> ParametersRefusal(const ProcessSpec& recipe, const AmbientInputs& units);
/// The number of entering points of a kind.
std::optional<ProcessRefusal> PointCountRefusal(ProcessKind kind, std::size_t count);
/// The whole process before it runs: its parameters, the number of its points, each point accepted by
/// the window, each flow positive (and given where the kind needs it), one pressure and formulation.
/// The texts are in the units of `units` (the first point's inputs).
std::optional<ProcessRefusal> ValidateProcess(
    const ProcessSpec& recipe, const std::vector<EnteringPoint>& points, const AmbientInputs& units);

} // namespace humidora
