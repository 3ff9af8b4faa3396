#include "calc/points/air_design.h"

#include "calc/units/number_text.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace humidora {
namespace {

// The constants of the moist-air enthalpy h = 1.006 t + W (2501 + 1.805 t): the heat capacities of dry air
// and of vapour and the heat of vaporization at 0 C. Their products here are those of MoistAirEnthalpy,
// so the loads below are its differences.
constexpr double kAir = kDryAirHeatCapacity;
constexpr double kVapour = 1.805;
constexpr double kVaporization = 2501;
constexpr double kHighestK = 373.15; ///< the calculator's highest dry bulb
constexpr double kSecondsPerHour = 3600;
/// Relative humidity above 1 by no more than this is saturation (as for the other processes).
constexpr double kSaturationTolerance = 1e-9;
/// A supply dry bulb this little below the apparatus dew point is the ADP itself, typed in another unit
/// or reached through a flow; further down the room's line lies beyond saturation (where it may leave
/// the saturation curve again, out of a coil's reach).
constexpr double kAdpRoundOffK = 1e-9;

double Celsius(double T_K)
{
    return T_K - kCelsiusOffset;
}

/// A value as a refusal names it: six significant digits, the calculator's plain number form.
std::string Text(double value)
{
    return PlainNumberText(value, 6);
}

std::string CelsiusText(double T_K)
{
    return Text(Celsius(T_K)) + " C";
}

ProcessResult Refused(std::string reason)
{
    ProcessResult result;
    result.refusal = std::move(reason);
    return result;
}

/// A value in the units this module's own sentences use (C, kg/kg, kg/s, plain).
std::string MetricText(const std::string& quantity, double si)
{
    if (quantity == "temperature" || quantity.ends_with("_K"))
        return CelsiusText(si);
    if (quantity == "humidity_ratio")
        return Text(si) + " kg/kg";
    if (quantity.ends_with("_kg_per_s"))
        return Text(si) + " kg/s";
    return Text(si);
}

/// A value beyond its limit: the structured breach, from which the calculation writes the sentence in its
/// own units, and the same sentence in C, kg/kg and kg/s for a caller without units.
ProcessResult Beyond(std::string quantity, bool above, double value, double limit, std::string subject,
    std::string limit_name = {}, std::string consequence = {}, bool strict = false)
{
    StateBreach breach;
    breach.quantity = std::move(quantity);
    breach.above = above;
    breach.value = value;
    breach.limit = limit;
    breach.subject = std::move(subject);
    breach.limit_name = std::move(limit_name);
    breach.consequence = std::move(consequence);
    breach.strict = strict;
    std::string sentence = "The " + breach.subject + " " + MetricText(breach.quantity, breach.value);
    if (breach.strict)
        sentence += breach.above ? " must lie below " : " must lie above ";
    else
        sentence += breach.above ? " lies above its maximum of " : " lies below its minimum of ";
    sentence += MetricText(breach.quantity, breach.limit);
    if (!breach.limit_name.empty())
        sentence += ", " + breach.limit_name;
    if (!breach.consequence.empty())
        sentence += ": " + breach.consequence;
    ProcessResult result = Refused(sentence + ".");
    result.breach = std::move(breach);
    return result;
}

bool Supersaturated(const AirState& state, const ProcessConditions& conditions)
{
    return RelativeHumidityOf(state, conditions) > 1 + kSaturationTolerance;
}

/// Why a state (of `what`, e.g. "room", "supply") lies outside the calculator's range, or nothing.
std::optional<ProcessResult> StateProblem(
    const AirState& state, const ProcessConditions& conditions, const std::string& what)
{
    if (!std::isfinite(state.T_K) || !std::isfinite(state.W))
        return Refused("The " + what + " state cannot be computed.");
    const std::string dry_bulb = what + " dry bulb";
    if (state.T_K < kLowestTemperatureK)
        return Beyond("temperature", false, state.T_K, kLowestTemperatureK, dry_bulb);
    if (state.T_K > kHighestK)
        return Beyond("temperature", true, state.T_K, kHighestK, dry_bulb);
    if (state.W < 0)
        return Beyond("humidity_ratio", false, state.W, 0, what + " humidity ratio");
    if (SaturationPressure(state.T_K, conditions.method) >= conditions.pressure_Pa)
        return Beyond("temperature", true, state.T_K,
            SaturationTemperature(conditions.pressure_Pa, conditions.method), dry_bulb,
            "the boiling point at the barometric pressure", {}, true);
    if (Supersaturated(state, conditions)) {
        const double W_max = SaturationHumidityRatio(state.T_K, conditions).value_or(0);
        return Beyond("humidity_ratio", true, state.W, W_max, what + " humidity ratio",
            "saturation at its dry bulb", "the air would be supersaturated");
    }
    return std::nullopt;
}

/// A dry-air flow (of `what`, e.g. "supply", "outdoor air") that is missing, not finite or not positive.
std::optional<ProcessResult> FlowProblem(
    std::optional<double> flow_kg_s, const std::string& what, const std::string& quantity)
{
    if (!flow_kg_s)
        return Refused("The " + what + " needs its dry-air flow.");
    if (!std::isfinite(*flow_kg_s))
        return Refused("The " + what + " dry-air flow is not a finite number.");
    if (!(*flow_kg_s > 0))
        return Beyond(quantity, false, *flow_kg_s, 0, what + " dry-air flow", {}, {}, true);
    return std::nullopt;
}

std::optional<ProcessResult> LoadsProblem(const RoomLoads& loads)
{
    if (!std::isfinite(loads.sensible_kW))
        return Refused("The room sensible load is not a finite number.");
    if (!std::isfinite(loads.latent_kW))
        return Refused("The room latent load is not a finite number.");
    return std::nullopt;
}

/// The heat capacity of moist air of humidity ratio W, kJ per kg of dry air and K.
double HeatCapacity(double W)
{
    return kAir + kVapour * W;
}

/// The latent heat of the room's water at the room's dry bulb, kJ/kg: 2501 + 1.805 t_r.
double LatentHeat(const AirState& room)
{
    return kVaporization + kVapour * Celsius(room.T_K);
}

/// The humidity ratio of the supply air at the dry bulb T_s on the room's line: from the ratio of the
/// two loads, (W_r - W_s) a / ((1.006 + 1.805 W_s)(t_r - t_s)) = latent / sensible, linear in W_s.
double LineHumidityRatio(const AirState& room, const RoomLoads& loads, double supply_K)
{
    const double a = LatentHeat(room);
    const double dT = room.T_K - supply_K;
    if (dT == 0)
        return room.W;
    return (loads.sensible_kW * a * room.W - kAir * loads.latent_kW * dT)
        / (loads.sensible_kW * a + kVapour * loads.latent_kW * dT);
}

/// Supply air below the apparatus dew point of the room's line.
ProcessResult AdpBreach(double supply_K, double adp_K)
{
    return Beyond("supply_temperature_K", false, supply_K, adp_K, "supply dry bulb",
        "the apparatus dew point of the room's sensible-heat-ratio line",
        "the supply air would be supersaturated");
}

/// The supply result once its state and flow are known: the state checked, the loads of the room.
ProcessResult Supplied(const RoomLoads& loads, const AirState& supply, double flow_kg_s,
    std::optional<double> adp_K, const ProcessConditions& conditions)
{
    if (std::optional<ProcessResult> problem = StateProblem(supply, conditions, "supply")) {
        // Supply air on the room's line below its apparatus dew point lies above saturation: the dry bulb
        // is what passed its limit.
        if (adp_K && Supersaturated(supply, conditions) && supply.T_K < *adp_K)
            return AdpBreach(supply.T_K, *adp_K);
        return *problem;
    }
    ProcessResult result;
    result.leaving = { supply, flow_kg_s };
    result.apparatus_dew_point_K = adp_K;
    result.supply_volume_m3_s = flow_kg_s * SpecificVolume(supply.T_K, supply.W, conditions.pressure_Pa);
    const double total = loads.sensible_kW + loads.latent_kW;
    result.loads.total_kW = total;
    result.loads.sensible_kW = loads.sensible_kW;
    result.loads.latent_kW = loads.latent_kW;
    if (total != 0)
        result.loads.sensible_heat_ratio = loads.sensible_kW / total;
    return result;
}

/// The room's checks before any supply is sought; the ADP of its line for a cooling load.
std::optional<ProcessResult> RoomProblem(
    const AirState& room, const RoomLoads& loads, const ProcessConditions& conditions, AdpOnLine& adp)
{
    if (std::optional<ProcessResult> problem = StateProblem(room, conditions, "room"))
        return problem;
    if (std::optional<ProcessResult> problem = LoadsProblem(loads))
        return problem;
    adp = RoomApparatusDewPoint(room, loads, conditions);
    if (!adp.refusal.empty())
        return Refused(adp.refusal);
    return std::nullopt;
}

/// The saturated state of moist air whose air, vapour and condensed water at its own dry bulb carry the
/// total enthalpy of `dry` (an unsaturated-by-arithmetic state above saturation): found between the dry
/// bulb of `dry`, where too little of it is left once the excess water is liquid, and its dew point, where
/// there is too much. The bisection runs to adjacent doubles, so the balance holds to round-off.
std::optional<AirState> Condensed(const AirState& dry, const ProcessConditions& conditions)
{
    const double h = MoistAirEnthalpy(dry.T_K, dry.W);
    const auto excess = [&](double T_K) {
        const double Ws = SaturationHumidityRatio(T_K, conditions).value_or(dry.W);
        return MoistAirEnthalpy(T_K, Ws) + (dry.W - Ws) * LiquidWaterEnthalpy(T_K) - h;
    };
    const double p_v = conditions.pressure_Pa * dry.W / (kMolarMassRatio + dry.W);
    double lo = dry.T_K;
    double hi = SaturationTemperature(p_v, conditions.method);
    if (!(hi >= lo) || !(excess(lo) <= 0))
        return std::nullopt;
    while (excess(hi) < 0 && hi < kHighestK)
        hi = std::min(hi + 1, kHighestK);
    if (excess(hi) < 0)
        return std::nullopt;
    for (;;) {
        const double mid = 0.5 * (lo + hi);
        if (mid <= lo || mid >= hi)
            break;
        (excess(mid) < 0 ? lo : hi) = mid;
    }
    const double T = std::abs(excess(lo)) <= std::abs(excess(hi)) ? lo : hi;
    const std::optional<double> Ws = SaturationHumidityRatio(T, conditions);
    if (!Ws || *Ws > dry.W)
        return std::nullopt;
    return AirState { T, *Ws };
}

/// One side of the exchanger leaving at `dry` (its balances kept): saturated with condensate when `dry`
/// lies above saturation. The condensate flow (kg/h) is returned through `condensate`.
std::optional<ProcessResult> LeaveSide(const Stream& entering, AirState dry,
    const ProcessConditions& conditions, const std::string& what, Stream& leaving, double& condensate)
{
    condensate = 0;
    if (std::isfinite(dry.T_K) && std::isfinite(dry.W) && dry.T_K >= kLowestTemperatureK
        && dry.T_K <= kHighestK && dry.W >= 0 && Supersaturated(dry, conditions)) {
        const std::optional<AirState> wet = Condensed(dry, conditions);
        if (!wet)
            return Refused("The " + what
                + " air leaving above saturation cannot condense within the calculator's range.");
        condensate = *entering.flow_kg_s * (dry.W - wet->W) * kSecondsPerHour;
        dry = *wet;
    }
    if (std::optional<ProcessResult> problem = StateProblem(dry, conditions, what + " leaving"))
        return problem;
    leaving = { dry, entering.flow_kg_s };
    return std::nullopt;
}

std::optional<ProcessResult> EffectivenessProblem(double value, const std::string& what)
{
    if (!std::isfinite(value))
        return Refused("The " + what + " effectiveness is not a finite number.");
    const std::string quantity = what + "_effectiveness";
    if (value < 0)
        return Beyond(quantity, false, value, 0, what + " effectiveness");
    if (value > 1)
        return Beyond(quantity, true, value, 1, what + " effectiveness");
    return std::nullopt;
}

} // namespace

RoomLoads LoadsFromTotal(double total_kW, double sensible_heat_ratio)
{
    const double sensible = total_kW * sensible_heat_ratio;
    // The latent part as the rest, so that the two add up to the total; exact at a ratio of 1 and of 0.
    return { sensible, sensible_heat_ratio == 1 ? 0 : total_kW - sensible };
}

RoomLoads LoadsOfSupply(const AirState& room, const AirState& supply, double flow_kg_s)
{
    return { flow_kg_s * HeatCapacity(supply.W) * (room.T_K - supply.T_K),
        flow_kg_s * (room.W - supply.W) * LatentHeat(room) };
}

AdpOnLine RoomApparatusDewPoint(
    const AirState& room, const RoomLoads& loads, const ProcessConditions& conditions)
{
    AdpOnLine found;
    if (!(loads.sensible_kW > 0))
        return found;
    // Along the line the supply dry bulb falls from the room's; the relative humidity of the line's state
    // at a dry bulb rises until it reaches saturation. 1 K steps down find the first bracket, the bisection
    // runs to adjacent doubles and keeps the warm end, whose state is not above saturation.
    const auto excess = [&](double T_K) {
        return RelativeHumidityOf({ T_K, LineHumidityRatio(room, loads, T_K) }, conditions) - 1;
    };
    double warm = room.T_K;
    if (excess(warm) >= 0) {
        found.adp_K = warm;
        return found;
    }
    double cold = warm;
    for (;;) {
        cold = std::max(warm - 1, kLowestTemperatureK);
        const double W = LineHumidityRatio(room, loads, cold);
        if (!(W >= 0) || !std::isfinite(W)) {
            found.refusal = "The room's sensible-heat-ratio line (ratio "
                + Text(loads.sensible_kW / (loads.sensible_kW + loads.latent_kW))
                + ") reaches dry air before it meets saturation: no apparatus dew point.";
            return found;
        }
        if (excess(cold) >= 0)
            break;
        if (cold == kLowestTemperatureK) {
            found.refusal = "The room's sensible-heat-ratio line meets saturation below the lowest dry bulb "
                            "the calculator accepts: no apparatus dew point.";
            return found;
        }
        warm = cold;
    }
    for (;;) {
        const double mid = 0.5 * (warm + cold);
        if (mid <= cold || mid >= warm)
            break;
        (excess(mid) < 0 ? warm : cold) = mid;
    }
    // The warm end is not above saturation beyond the tolerance; the cold end may be the exact root.
    found.adp_K = excess(cold) <= kSaturationTolerance ? cold : warm;
    return found;
}

ProcessResult SupplyAtTemperature(
    const AirState& room, const RoomLoads& loads, double supply_K, const ProcessConditions& conditions)
{
    AdpOnLine adp;
    if (std::optional<ProcessResult> problem = RoomProblem(room, loads, conditions, adp))
        return *problem;
    if (!std::isfinite(supply_K))
        return Refused("The supply dry bulb is not a finite number.");
    if (loads.sensible_kW == 0)
        return Refused("With no room sensible load the supply dry bulb is the room's at any flow: give the "
                       "supply flow instead.");
    const std::string dry_bulb = "supply dry bulb";
    if (loads.sensible_kW > 0 && !(supply_K < room.T_K))
        return Beyond("supply_temperature_K", true, supply_K, room.T_K, dry_bulb, "the room dry bulb",
            "a cooling load needs supply air cooler than the room", true);
    if (loads.sensible_kW < 0 && !(supply_K > room.T_K))
        return Beyond("supply_temperature_K", false, supply_K, room.T_K, dry_bulb, "the room dry bulb",
            "a heating load needs supply air warmer than the room", true);
    // Below the ADP the line's state lies above saturation; at it (to the round-off of a typed dry bulb)
    // the supply is saturated and accepted.
    if (adp.adp_K && supply_K < *adp.adp_K
        && (*adp.adp_K - supply_K > kAdpRoundOffK
            || Supersaturated({ supply_K, LineHumidityRatio(room, loads, supply_K) }, conditions)))
        return AdpBreach(supply_K, *adp.adp_K);
    if (supply_K < kLowestTemperatureK)
        return Beyond("supply_temperature_K", false, supply_K, kLowestTemperatureK, dry_bulb);
    if (supply_K > kHighestK)
        return Beyond("supply_temperature_K", true, supply_K, kHighestK, dry_bulb);
    // At the ADP itself the supply is the saturated state found there, exactly.
    const AirState supply { supply_K, LineHumidityRatio(room, loads, supply_K) };
    const double flow = loads.sensible_kW / (HeatCapacity(supply.W) * (room.T_K - supply_K));
    if (!std::isfinite(flow))
        return Refused("The supply dry-air flow cannot be computed at that supply dry bulb.");
    if (!(flow > 0))
        return Beyond("supply_flow_kg_per_s", false, flow, 0, "supply dry-air flow", {},
            "no supply at that dry bulb meets the room's loads", true);
    return Supplied(loads, supply, flow, adp.adp_K, conditions);
}

ProcessResult SupplyAtFlow(
    const AirState& room, const RoomLoads& loads, double flow_kg_s, const ProcessConditions& conditions)
{
    AdpOnLine adp;
    if (std::optional<ProcessResult> problem = RoomProblem(room, loads, conditions, adp))
        return *problem;
    if (std::optional<ProcessResult> problem = FlowProblem(flow_kg_s, "supply", "supply_flow_kg_per_s"))
        return *problem;
    AirState supply;
    supply.W = room.W - loads.latent_kW / (flow_kg_s * LatentHeat(room));
    supply.T_K = room.T_K - loads.sensible_kW / (flow_kg_s * HeatCapacity(supply.W));
    if (adp.adp_K && supply.T_K < *adp.adp_K) {
        // The least flow is the one that brings the supply to the ADP.
        const double W_adp = LineHumidityRatio(room, loads, *adp.adp_K);
        const double least = loads.sensible_kW / (HeatCapacity(W_adp) * (room.T_K - *adp.adp_K));
        if (*adp.adp_K - supply.T_K > kAdpRoundOffK || Supersaturated(supply, conditions))
            return Beyond("supply_flow_kg_per_s", false, flow_kg_s, least, "supply dry-air flow",
                "at which the supply air reaches the apparatus dew point of the room's sensible-heat-ratio "
                "line",
                "the supply air would be supersaturated");
    }
    return Supplied(loads, supply, flow_kg_s, adp.adp_K, conditions);
}

ProcessResult HeatRecovery(const Stream& outdoor, const Stream& exhaust, double sensible_effectiveness,
    std::optional<double> latent_effectiveness, const ProcessConditions& conditions)
{
    for (const auto& [stream, what] :
        { std::pair { &outdoor, "outdoor" }, std::pair { &exhaust, "exhaust" } }) {
        if (std::optional<ProcessResult> problem
            = FlowProblem(stream->flow_kg_s, std::string(what) + " air", "flow_kg_per_s"))
            return *problem;
        if (std::optional<ProcessResult> problem = StateProblem(stream->state, conditions, what))
            return *problem;
    }
    if (std::optional<ProcessResult> problem = EffectivenessProblem(sensible_effectiveness, "sensible"))
        return *problem;
    if (latent_effectiveness) {
        if (std::optional<ProcessResult> problem = EffectivenessProblem(*latent_effectiveness, "latent"))
            return *problem;
    }
    const double m_o = *outdoor.flow_kg_s;
    const double m_e = *exhaust.flow_kg_s;
    const AirState& o = outdoor.state;
    const AirState& e = exhaust.state;
    const double C_o = m_o * HeatCapacity(o.W);
    const double C_e = m_e * HeatCapacity(e.W);
    const double sensible = sensible_effectiveness * std::min(C_o, C_e) * (e.T_K - o.T_K);
    const double water = latent_effectiveness.value_or(0) * std::min(m_o, m_e) * (e.W - o.W); // kg/s

    // The outdoor air by the effectivenesses; the exhaust by the balances of water and energy.
    AirState outdoor_dry { o.T_K + sensible / C_o, o.W + water / m_o };
    if (sensible == 0)
        outdoor_dry.T_K = o.T_K;
    const double received
        = m_o * (MoistAirEnthalpy(outdoor_dry.T_K, outdoor_dry.W) - MoistAirEnthalpy(o.T_K, o.W));
    AirState exhaust_dry;
    exhaust_dry.W = e.W - water / m_e;
    exhaust_dry.T_K = received == 0 && water == 0
        ? e.T_K
        : TemperatureFromEnthalpy(MoistAirEnthalpy(e.T_K, e.W) - received / m_e, exhaust_dry.W);

    ProcessResult result;
    Stream exhaust_leaving;
    double outdoor_condensate = 0, exhaust_condensate = 0;
    if (std::optional<ProcessResult> problem
        = LeaveSide(outdoor, outdoor_dry, conditions, "outdoor", result.leaving, outdoor_condensate))
        return *problem;
    if (std::optional<ProcessResult> problem
        = LeaveSide(exhaust, exhaust_dry, conditions, "exhaust", exhaust_leaving, exhaust_condensate))
        return *problem;
    result.exhaust_leaving = exhaust_leaving;
    result.outdoor_condensate_kg_per_h = outdoor_condensate;
    result.exhaust_condensate_kg_per_h = exhaust_condensate;
    result.loads.total_kW = received;
    result.loads.sensible_kW = sensible;
    result.loads.latent_kW = received - sensible;
    if (received != 0)
        result.loads.sensible_heat_ratio = sensible / received;
    result.loads.water_kg_per_h = outdoor_condensate + exhaust_condensate;
    return result;
}

} // namespace humidora
