// How the points table shows and takes a point's flow: in a mass unit, or in a volume unit either as the
// actual volume at the point's own state or as standard air. A point always keeps its dry-air mass flow;
// the unit and basis only change what is shown and how a typed flow is read.
#pragma once

#include "calc/ambient/ambient_inputs.h"
#include "calc/units/units.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace humidora {

/// What a volume flow measures: the air at the point's own state, or standard air.
enum class FlowBasis
{
    Actual,
    Standard,
};

/// Standard air: 1.2 kg/m^3 with the metric volume units, 0.075 lb/ft^3 with cfm (1.2013... kg/m^3). A
/// standard volume flow is the dry-air mass flow over this density, whatever the point's state.
inline constexpr double kMetricStandardAirDensity = 1.2;
inline constexpr double kBritishStandardAirDensity = 0.075 * 0.45359237 / 0.028316846592;

/// The flow units offered with a main window in `system`: Metric kg/s, kg/h, m^3/s, m^3/h, L/s; British
/// lb/h, lb/min, cfm; with customized units every one.
std::vector<FlowUnit> FlowUnitsOf(UnitSystem system);

/// A flow unit and basis as the table uses them.
struct FlowDisplay
{
    FlowUnit unit;
    FlowBasis basis = FlowBasis::Actual;

    /// True when the basis matters: a volume unit.
    bool standard() const { return unit.volume && basis == FlowBasis::Standard; }
    /// The density of standard air in this unit's family (kg/m^3).
    double StandardDensity() const;
    /// The volume (m^3) per kg of dry air that the shown volume is taken at: the point's own specific
    /// volume `specific_volume`, or that of standard air.
    double VolumePerKilogram(double specific_volume) const;
    /// The unit as a heading writes it: "m^3/h", or "m^3/h at 1.2 kg/m^3" and "cfm at 0.075 lb/ft^3" for
    /// standard air.
    std::string UnitText() const;

    bool operator==(const FlowDisplay& other) const
    {
        return unit.key == other.unit.key && basis == other.basis;
    }
};

/// The display with unit `unit_key` when `system` offers it, else the system's own flow unit (kg/s, or
/// lb/h in British), with `basis`.
FlowDisplay ChooseFlowDisplay(UnitSystem system, std::string_view unit_key, FlowBasis basis);

/// The flow of a point shown in `display` (its specific volume `specific_volume`), and the dry-air mass
/// flow (kg/s) of a value in it.
double FlowShown(double flow_kg_s, const FlowDisplay& display, double specific_volume);
double FlowTaken(double value, const FlowDisplay& display, double specific_volume);

/// A flow typed for point `point`: the dry-air mass flow, or why it is refused (the quantity, the value and
/// the limit: "The dry-air flow of point A, -2 m^3/h, is below its minimum of 0 m^3/h."). A flow must be
/// above zero. `specific_volume` is the point's own, nullopt when the point is refused (an actual volume
/// cannot be taken then).
struct FlowReading
{
    double flow_kg_s = 0;
    std::string refusal;
};
FlowReading ReadFlow(const std::string& text, const FlowDisplay& display,
    std::optional<double> specific_volume, std::string_view point);

} // namespace humidora
