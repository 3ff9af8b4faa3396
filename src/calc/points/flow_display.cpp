#include "calc/points/flow_display.h"

#include "calc/units/number_text.h"

#include <algorithm>
#include <cmath>

namespace humidora {
namespace {

bool IsBritish(const FlowUnit& unit)
{
    return unit.key == "lb/h" || unit.key == "lb/min" || unit.key == "cfm";
}

std::string_view Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

std::vector<FlowUnit> FlowUnitsOf(UnitSystem system)
{
    std::vector<FlowUnit> units;
    for (const FlowUnit& unit : kFlowUnits) {
        if (system == UnitSystem::Customized || IsBritish(unit) == (system == UnitSystem::British))
            units.push_back(unit);
    }
    return units;
}

double FlowDisplay::StandardDensity() const
{
    return IsBritish(unit) ? kBritishStandardAirDensity : kMetricStandardAirDensity;
}

double FlowDisplay::VolumePerKilogram(double specific_volume) const
{
    return standard() ? 1 / StandardDensity() : specific_volume;
}

std::string FlowDisplay::UnitText() const
{
    if (!standard())
        return std::string(unit.key);
    return std::string(unit.key) + (IsBritish(unit) ? " at 0.075 lb/ft^3" : " at 1.2 kg/m^3");
}

FlowDisplay ChooseFlowDisplay(UnitSystem system, std::string_view unit_key, FlowBasis basis)
{
    const std::vector<FlowUnit> offered = FlowUnitsOf(system);
    const auto chosen = std::find_if(
        offered.begin(), offered.end(), [&](const FlowUnit& unit) { return unit.key == unit_key; });
    if (chosen != offered.end())
        return { *chosen, basis };
    return { system == UnitSystem::British ? kPoundPerHour : kKilogramPerSecond, basis };
}

double FlowShown(double flow_kg_s, const FlowDisplay& display, double specific_volume)
{
    const double si
        = display.unit.volume ? flow_kg_s * display.VolumePerKilogram(specific_volume) : flow_kg_s;
    return si / display.unit.si_per_unit;
}

double FlowTaken(double value, const FlowDisplay& display, double specific_volume)
{
    const double si = value * display.unit.si_per_unit;
    return display.unit.volume ? si / display.VolumePerKilogram(specific_volume) : si;
}

FlowReading ReadFlow(const std::string& text, const FlowDisplay& display,
    std::optional<double> specific_volume, std::string_view point)
{
    FlowReading reading;
    const std::string unit = display.UnitText();
    const std::string subject = "The dry-air flow of point " + std::string(point) + ", ";
    const std::string_view typed = Trim(text);
    if (!IsNumberText(std::string(typed)) || !std::isfinite(NumberValue(std::string(typed)))) {
        reading.refusal = subject + "\"" + std::string(typed) + "\", is not a number.";
        return reading;
    }
    const double value = NumberValue(std::string(typed));
    const std::string shown = std::string(typed) + " " + unit;
    if (value < 0) {
        reading.refusal = subject + shown + ", is below its minimum of 0 " + unit + ".";
        return reading;
    }
    if (value == 0) {
        reading.refusal = subject + shown + ", is at its minimum of 0 " + unit + "; a flow must be above it.";
        return reading;
    }
    if (display.unit.volume && !display.standard() && !specific_volume) {
        reading.refusal
            = "Point " + std::string(point) + " is refused: its actual volume flow cannot be taken.";
        return reading;
    }
    reading.flow_kg_s = FlowTaken(value, display, specific_volume.value_or(0));
    if (!std::isfinite(reading.flow_kg_s) || !(reading.flow_kg_s > 0))
        reading.refusal = subject + shown + ", is out of range.";
    return reading;
}

} // namespace humidora
