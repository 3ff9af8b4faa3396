// State points: named states of the main window with an optional dry-air flow, the processes that join
// them, and the units of flows, loads and water. A point is kept as the inputs that type it into the
// window, so it reads the same digits wherever it is shown; a process's leaving state is typed in the
// same way (dry bulb and humidity ratio) and shown through the window's own calculation. No toolkit.
#pragma once

#include "calc/points/air_process.h"
#include "calc/units/refusal.h"
#include "calc/windows/ambient_window.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace humidora {

/// The flow unit of a unit system: "lb/h" in British, else "kg/s".
std::string_view DefaultFlowUnit(UnitSystem system);

/// A named state of the main window and its dry-air flow (kg/s), when given.
struct StatePoint
{
    std::string name;
    AmbientInputs inputs;
    std::optional<double> flow_kg_s;

    bool operator==(const StatePoint&) const = default;
};

/// A point as the main window shows it: its controls after the one recalculation, the state in SI and
/// the conditions (pressure, formulation) a process at this point works under; or the window's refusal.
struct PointView
{
    AmbientControls controls;
    AirState state;
    ProcessConditions conditions;
    double specific_volume = 0; ///< m^3 per kg of dry air
    std::string refusal;        ///< the window's report, one line; empty when the state was computed
    std::optional<Refusal> why; ///< the window's structured refusal, when it gives one

    bool ok() const { return refusal.empty(); }
};

/// The window's view of `inputs`.
PointView ViewPoint(const AmbientInputs& inputs);

/// The inputs that type `state` into the window in the units, formulation and pressure of `like`: the dry
/// bulb into Text1 and the humidity ratio into Text3 (its option selected), as the shortest decimal texts
/// that give the same dry bulb in the window's single precision and the same text in every box. A
/// saturated state whose humidity ratio lies above the shown maximum of its row only by that maximum's
/// rounding (or the dry bulb's single precision) is typed as 100 % relative humidity.
AmbientInputs InputsAtState(const AmbientInputs& like, const AirState& state);

/// The inputs that show `point`'s state in the units of the main window's `window` inputs: the dry bulb,
/// the humidity ratio and the barometric pressure typed exactly in those units, the point's formulation
/// kept. The state reads back the same (the dry bulb to its single precision).
AmbientInputs InUnitsOf(const PointView& point, const AmbientInputs& window, bool iapws);

/// The names A, B, C, ..., Z, AA, AB, ...: the default name of the n-th point (0-based).
std::string DefaultPointName(int index);

/// Kinds of process and their parameters, in SI (K, fractions, kg/kg).
enum class ProcessKind
{
    Mix,
    Heat,
    Coil,
    Evaporative,
    Steam,
    Supply,   ///< the supply air that meets a room's loads; its one point is the room
    Recovery, ///< heat recovery; its two points are the outdoor air and the exhaust air, in that order
};

struct ProcessSpec
{
    ProcessKind kind = ProcessKind::Mix;
    std::vector<std::string> points; ///< names of the entering points
    std::string result_name;         ///< name of the leaving point
    // Exactly those of the kind's one form are set.
    std::optional<double> to_temperature_K;      ///< heat
    std::optional<double> adp_K, bypass_factor;  ///< coil by ADP
    std::optional<double> leaving_temperature_K; ///< coil by leaving state, with leaving_relative_humidity
    std::optional<double> leaving_relative_humidity; ///< coil
    std::optional<double> effectiveness;             ///< evaporative
    std::optional<double> to_relative_humidity;      ///< evaporative, steam
    std::optional<double> to_humidity_ratio;         ///< steam
    std::optional<double> steam_temperature_K;       ///< steam; kDefaultSteamK when empty
    /// Supply air: the room's loads (sensible and latent, or total and its sensible heat ratio; kW) and the
    /// supply dry bulb or the supply dry-air flow (kg/s).
    std::optional<double> sensible_load_kW, latent_load_kW, total_load_kW, sensible_heat_ratio;
    std::optional<double> supply_temperature_K, supply_flow_kg_s;
    std::optional<double> sensible_effectiveness, latent_effectiveness; ///< heat recovery
    std::string exhaust_result_name; ///< heat recovery: name of the leaving exhaust point

    bool operator==(const ProcessSpec&) const = default;
};

/// Keys of the kinds as the command line and files name them: "mix", "heat", "coil", "evaporative", "steam",
/// "supply", "recovery".
std::string_view ProcessKindKey(ProcessKind kind);
std::optional<ProcessKind> FindProcessKind(std::string_view key);

/// Why a process is refused: the structured refusal (quantity, value, limit, unit, as the window's own
/// refusal gives them, in the units of the calculation), the entering point it concerns (empty when the
/// process itself is refused) and the whole sentence.
struct ProcessRefusal
{
    std::string point;
    Refusal refusal;
    std::string sentence;

    bool operator==(const ProcessRefusal&) const = default;
};

/// A process evaluated on its points: the views of the entering points and of the leaving point, and the
/// process result; `refusal` is set when a point or the process is refused.
struct ProcessOutcome
{
    std::vector<PointView> entering;
    ProcessResult result;
    std::optional<PointView> leaving;
    std::optional<PointView> exhaust_leaving; ///< heat recovery
    std::string refusal;                      ///< the sentence of `why`; empty when the process was computed
    std::optional<ProcessRefusal> why;        ///< set together with `refusal`

    /// Sets the refusal and its sentence.
    void Refuse(ProcessRefusal refusal);
};

/// Runs `recipe` on `points` (in the order of recipe.points, already looked up). Every point must share the
/// pressure and formulation of the first; the leaving point is typed into the window in the first point's
/// units and shown through it, and a state the window refuses refuses the process with the window's reason.
ProcessOutcome RunProcess(const ProcessSpec& recipe, const std::vector<StatePoint>& points);

} // namespace humidora
