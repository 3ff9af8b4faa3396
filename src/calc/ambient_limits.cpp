// Phases 1 to 3: the formulation, the limit labels of the three ambient inputs in the selected units,
// and the fixed ends of the humidity ranges.
#include "calc/ambient_phases.h"
#include "calc/number_text.h"
#include "calc/units.h"

namespace humidora::ambient {
namespace {

// A temperature limit (K) in the unit of Combo1, or nullopt for an unknown unit.
std::optional<double> TemperatureLimitInUnit(double limit_K, std::string_view unit)
{
    if (unit == "K")
        return limit_K;
    if (unit == "C")
        return limit_K - kCelsiusOffset;
    if (unit == "R")
        return limit_K * 9 / 5;
    if (unit == "F")
        return limit_K * 9 / 5 - kRankineOffset;
    return std::nullopt;
}

} // namespace

SaturationMethod ReadFormulation(const AmbientControls& controls)
{
    return controls.menu_IAPWS ? kIapws : kHylandWexler;
}

void WriteLimitLabels(AmbientControls& controls)
{
    // A unit the lists never offer (no item selected yet) leaves its labels as they are.
    const std::string& temperature_unit = controls.Combo1.text();
    if (const auto minimum = TemperatureLimitInUnit(kTemperatureMinK, temperature_unit)) {
        controls.Label5.caption = NumberText(*minimum, 3);
        controls.Label4.caption = NumberText(*TemperatureLimitInUnit(kTemperatureMaxK, temperature_unit), 3);
    }
    if (const auto unit = FindPressureUnit(controls.Combo2.text())) {
        controls.Label7.caption = NumberText(kPressureMinPa / unit->pascal_per_unit, unit->decimals);
        controls.Label6.caption = NumberText(kPressureMaxPa / unit->pascal_per_unit, unit->decimals);
    }
    if (const auto unit = FindAltitudeUnit(controls.Combo10.text())) {
        controls.Label9.caption = NumberText(kAltitudeMinM / unit->metre_per_unit, unit->limit_decimals);
        controls.Label8.caption = NumberText(kAltitudeMaxM / unit->metre_per_unit, unit->limit_decimals);
    }
}

void WriteFixedRangeEnds(AmbientControls& controls)
{
    controls.Label10.caption = "100";
    for (LimitLabel* label : { &controls.Label11, &controls.Label13, &controls.Label15, &controls.Label21,
             &controls.Label23, &controls.Label25 })
        label->caption = "0";
    controls.Label20.background = Background::LightRed;
}

} // namespace humidora::ambient
