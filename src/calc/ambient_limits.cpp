// Phases 1 to 3: the formulation, the limit labels of the three ambient inputs in the selected units,
// and the fixed ends of the humidity ranges.
#include "calc/ambient_phases.h"
#include "calc/number_text.h"
#include "calc/units.h"

namespace humidora::ambient {
SaturationMethod ReadFormulation(const AmbientControls& controls)
{
    return controls.menu_IAPWS ? kIapws : kHylandWexler;
}

void WriteLimitLabels(AmbientControls& controls)
{
    // A unit the lists never offer (no item selected yet) leaves its labels as they are.
    const std::string& temperature_unit = controls.Combo1.text();
    if (const auto minimum = LimitTemperatureFromKelvin(temperature_unit, kTemperatureMinK)) {
        controls.Label5.caption = NumberText(*minimum, 3);
        controls.Label4.caption
            = NumberText(*LimitTemperatureFromKelvin(temperature_unit, kTemperatureMaxK), 3);
    }
    if (const auto unit = FindPressureUnit(controls.Combo2.text())) {
        controls.Label7.caption = NumberText(unit->FromBase(kPressureMinPa), unit->decimals);
        controls.Label6.caption = NumberText(unit->FromBase(kPressureMaxPa), unit->decimals);
    }
    if (const auto unit = FindAltitudeUnit(controls.Combo10.text())) {
        controls.Label9.caption = NumberText(unit->FromBase(kAltitudeMinM), kAltitudeLimitDecimals);
        controls.Label8.caption = NumberText(unit->FromBase(kAltitudeMaxM), kAltitudeLimitDecimals);
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
