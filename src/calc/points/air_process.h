// Air-handling processes on streams of moist air: mixing, sensible heating and cooling, the cooling and
// dehumidifying coil, evaporative and steam humidification, each with its loads and water. The relations
// are the calculator's own (humidity ratio from vapour pressure with 0.62198, the enthalpy of "Other
// Properties", the chosen saturation formulation, the wet-bulb routine); every temperature that follows
// from an enthalpy is solved from it in closed form, and every saturated state by the calculator's
// bisection to its 1e-6 K width. No toolkit.
#pragma once

#include "core/moist_air.h"
#include "core/properties.h"

#include <optional>
#include <string>
#include <vector>

namespace humidora {

/// The state of moist air a process works on: dry bulb (K) and humidity ratio (kg water / kg dry air).
struct AirState
{
    double T_K = 0;
    double W = 0;
};

/// What every state of one process shares: the barometric pressure (Pa) and the saturation formulation.
struct ProcessConditions
{
    double pressure_Pa = kSeaLevelPressurePa;
    SaturationMethod method = kIapws;
};

/// A stream: its state and its dry-air mass flow (kg/s), when known. Without a flow a process still gives
/// its leaving state, but no loads.
struct Stream
{
    AirState state;
    std::optional<double> flow_kg_s;
};

/// Humidity ratio of saturated air at T_K, or nothing where the saturation pressure reaches the pressure.
std::optional<double> SaturationHumidityRatio(double T_K, const ProcessConditions& conditions);
/// Humidity ratio of air at T_K with relative humidity phi (fraction), or nothing where the vapour
/// pressure would reach the pressure.
std::optional<double> HumidityRatioAt(double T_K, double phi, const ProcessConditions& conditions);
/// Relative humidity (fraction, not capped at 1) of a state.
double RelativeHumidityOf(const AirState& state, const ProcessConditions& conditions);

/// Loads of a process; those a process does not have stay empty. Signs: heating and the coil's removal of
/// heat are positive as named (a "heater" cooling the air gives a negative total). A coil's total is the
/// sum of its sensible, latent and condensate-enthalpy lines: the condensate leaves at the leaving dry
/// bulb and carries its enthalpy away from the coil (a negative line).
struct ProcessLoads
{
    std::optional<double> total_kW;
    std::optional<double> sensible_kW;
    std::optional<double> latent_kW;
    std::optional<double> condensate_enthalpy_kW; ///< coil
    std::optional<double> steam_energy_kW;        ///< steam humidifier: the enthalpy the steam brings
    std::optional<double> sensible_heat_ratio;
    std::optional<double> water_kg_per_h; ///< condensed (coil, fog) or added (humidifiers)
};

/// A value beyond its limit, in SI (K, kg/kg, fraction, kg/s): a leaving state beyond what the calculator
/// shows (a quantity of the main window: "temperature", "humidity_ratio", "relative_humidity"), or, with a
/// `subject`, any quantity a design names (those of the main window, or a parameter's member such as
/// "supply_temperature_K", "supply_flow_kg_per_s", "sensible_effectiveness"). The sentence is written
/// where the calculation's units are known: "The supply dry bulb 78.8 F must lie below 75.2 F, the room
/// dry bulb: ...".
struct StateBreach
{
    std::string quantity;
    bool above = true; ///< above its maximum, else below its minimum
    double value = 0;
    double limit = 0;
    std::string subject;     ///< e.g. "supply dry bulb"; empty: the leaving point's quantity
    std::string limit_name;  ///< what the limit is, e.g. "the room dry bulb"; empty: the quantity's range
    std::string consequence; ///< a closing clause in words, without numbers
    bool strict = false;     ///< the limit itself is refused as well
};

/// Outcome of a process: the leaving stream and its loads, or the reason it is refused.
struct ProcessResult
{
    Stream leaving;
    ProcessLoads loads;
    bool fog = false;                            ///< mixing: the mixture lay above saturation and condensed
    std::optional<double> apparatus_dew_point_K; ///< coil: given or found on the line through the two states
    std::optional<double> bypass_factor;         ///< coil
    std::optional<double> supply_volume_m3_s;    ///< supply air: its volume flow at its own state
    std::optional<Stream> exhaust_leaving;       ///< heat recovery: the exhaust air leaving
    std::optional<double> outdoor_condensate_kg_per_h; ///< heat recovery: condensate of each side
    std::optional<double> exhaust_condensate_kg_per_h;
    std::string refusal;               ///< one sentence; empty when the process was computed
    std::optional<StateBreach> breach; ///< the limit the leaving state passes, when that refused it

    bool refused() const { return !refusal.empty(); }
};

/// Adiabatic mixing of two or more streams, each with its flow. A mixture above saturation fogs: the
/// result is the saturated state of the same total enthalpy (air, vapour and the fog's liquid water at
/// that state), and the condensed water is reported.
ProcessResult Mix(const std::vector<Stream>& streams, const ProcessConditions& conditions);

/// Sensible heating or cooling to the dry bulb T2_K at constant humidity ratio. A T2 below the dew point
/// is refused: that is a cooling coil.
ProcessResult Heat(const Stream& entering, double T2_K, const ProcessConditions& conditions);

/// Cooling and dehumidifying coil by its apparatus dew point and bypass factor (0..1): the leaving state
/// lies on the straight line in (W, h) from the entering state to the saturated state at the ADP.
ProcessResult CoilByAdp(
    const Stream& entering, double adp_K, double bypass_factor, const ProcessConditions& conditions);

/// The same coil given its leaving dry bulb and relative humidity (fraction); the ADP is where the line
/// through the two states meets saturation, nearest the leaving state.
ProcessResult CoilByLeaving(
    const Stream& entering, double T2_K, double phi2, const ProcessConditions& conditions);

/// Adiabatic (evaporative) humidification with saturation effectiveness e (0..1): t2 = t1 - e (t1 - t_wb1).
ProcessResult EvaporativeByEffectiveness(
    const Stream& entering, double effectiveness, const ProcessConditions& conditions);
/// The same to a leaving relative humidity (fraction).
ProcessResult EvaporativeToRelativeHumidity(
    const Stream& entering, double phi2, const ProcessConditions& conditions);

/// Steam humidification with steam at steam_K to a leaving humidity ratio, or relative humidity (fraction).
ProcessResult SteamToHumidityRatio(
    const Stream& entering, double W2, double steam_K, const ProcessConditions& conditions);
ProcessResult SteamToRelativeHumidity(
    const Stream& entering, double phi2, double steam_K, const ProcessConditions& conditions);

/// Steam at atmospheric boiling, the default of the steam humidifier, K.
inline constexpr double kDefaultSteamK = 373.15;

} // namespace humidora
