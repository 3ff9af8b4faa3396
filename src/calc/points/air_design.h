// The air-side design around the processes: the supply air that meets a room's loads (with the room's
// sensible-heat-ratio line and the apparatus dew point a coil must reach on it), and heat recovery
// between outdoor and exhaust air. The relations are those of the processes (air_process.h): the
// moist-air enthalpy, its heat capacity 1.006 + 1.805 W, the chosen saturation formulation. No toolkit.
#pragma once

#include "calc/points/air_process.h"

#include <optional>

namespace humidora {

/// A room's loads, kW: heat and moisture the supply air must take up to leave at the room state. A
/// cooling load is positive, a heating load negative; a negative latent load is a room that loses water.
struct RoomLoads
{
    double sensible_kW = 0;
    double latent_kW = 0;
};

/// The loads of a total load (kW) and its sensible heat ratio (sensible over total).
RoomLoads LoadsFromTotal(double total_kW, double sensible_heat_ratio);

/// The sensible and latent loads that supply air at `supply` with dry-air flow m (kg/s) takes up on its way
/// to `room`. They are split as the cooling coil splits its own: the sensible part at the supply's humidity
/// ratio, m (1.006 + 1.805 W_s)(t_r - t_s), the latent part at the room's dry bulb,
/// m (W_r - W_s)(2501 + 1.805 t_r); so a coil that brings the room's air to the supply state carries exactly
/// the room's sensible and latent loads, and the two add up to m (h_r - h_s).
RoomLoads LoadsOfSupply(const AirState& room, const AirState& supply, double flow_kg_s);

/// The apparatus dew point of the room's sensible-heat-ratio line: the saturated state where the supply
/// states that meet `loads` (the straight line in (W, h) from the room point, of slope latent / total)
/// meet saturation on the cold side, K. Only a cooling load (positive sensible) has one. A reason when
/// the line leaves the calculator's range (humidity ratio 0, -100 C) before it meets saturation.
struct AdpOnLine
{
    std::optional<double> adp_K;
    std::string refusal;
};
AdpOnLine RoomApparatusDewPoint(
    const AirState& room, const RoomLoads& loads, const ProcessConditions& conditions);

/// The supply air that meets the room's loads at the supply dry bulb `supply_K` (the flow follows), or at
/// the supply dry-air flow `flow_kg_s` (the dry bulb follows). The result's leaving stream is the supply
/// air with its flow, its loads those of the room (total, sensible, latent, ratio), its apparatus dew
/// point that of the room's line (for a cooling load), and `supply_volume_m3_s` the supply's volume flow at
/// its own state. Supply air at the apparatus dew point itself is saturated and accepted.
ProcessResult SupplyAtTemperature(
    const AirState& room, const RoomLoads& loads, double supply_K, const ProcessConditions& conditions);
ProcessResult SupplyAtFlow(
    const AirState& room, const RoomLoads& loads, double flow_kg_s, const ProcessConditions& conditions);

/// Heat recovery between outdoor air and exhaust air, each with its dry-air flow: a plate exchanger or a
/// run-around coil by its sensible effectiveness alone, an enthalpy wheel by its sensible and latent
/// effectivenesses (0..1). The heat moved is eps_s C_min (t_exhaust - t_outdoor) with C = m (1.006 + 1.805
/// W) of each entering stream; the water moved eps_l m_min (W_exhaust - W_outdoor). The outdoor air's
/// leaving state follows from them; the exhaust's from the balances of water and energy. A stream that
/// would leave above saturation condenses: it leaves saturated with the same total enthalpy (its air,
/// vapour and the condensate draining at its leaving dry bulb), and the condensate is reported.
///
/// The result's leaving stream is the outdoor air leaving, `exhaust_leaving` the exhaust leaving, the loads
/// what the outdoor air receives (positive when it is heated): total, sensible (eps_s C_min dt), latent
/// (the rest), and water_kg_per_h the condensate of both sides, `outdoor_condensate_kg_per_h` and
/// `exhaust_condensate_kg_per_h` each side's.
ProcessResult HeatRecovery(const Stream& outdoor, const Stream& exhaust, double sensible_effectiveness,
    std::optional<double> latent_effectiveness, const ProcessConditions& conditions);

} // namespace humidora
