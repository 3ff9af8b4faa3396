// Phases 1 to 3: the formulation, the limit labels of the three ambient inputs in the selected units,
// and the fixed ends of the humidity ranges.
#include "calc/ambient/ambient_phases.h"
#include "calc/units/number_text.h"
#include "calc/units/units.h"

#include <array>
#include <string>

namespace humidora::ambient {
SaturationMethod ReadFormulation(const AmbientControls& controls)
{
    return controls.menu_IAPWS ? kIapws : kHylandWexler;
}

namespace {

// The captions of a minimum and a maximum label.
struct LimitCaptions
{
    std::string minimum, maximum;
};

// The limits of the ambient inputs are constants, so each unit's two captions are formed once.
template <std::size_t N, typename Captions>
std::array<LimitCaptions, N> CaptionsPerUnit(const std::array<UnitItem, N>& units, Captions captions)
{
    std::array<LimitCaptions, N> table;
    for (std::size_t i = 0; i < N; ++i)
        table[i] = captions(units[i]);
    return table;
}

// The captions of the unit `key` into the two labels; a unit the lists never offer (no item selected yet)
// leaves them as they are.
template <std::size_t N>
void SetCaptions(LimitLabel& minimum, LimitLabel& maximum, const std::array<UnitItem, N>& units,
    const std::array<LimitCaptions, N>& captions, std::string_view key)
{
    if (const std::optional<std::size_t> i = UnitIndex(units, key)) {
        minimum.caption = captions[*i].minimum;
        maximum.caption = captions[*i].maximum;
    }
}

} // namespace

void WriteLimitLabels(AmbientControls& controls)
{
    static const auto temperature = CaptionsPerUnit(kTemperatureUnits, [](const UnitItem& unit) {
        return LimitCaptions { NumberText(*LimitTemperatureFromKelvin(unit.key, kTemperatureMinK), 3),
            NumberText(*LimitTemperatureFromKelvin(unit.key, kTemperatureMaxK), 3) };
    });
    static const auto pressure = CaptionsPerUnit(kPressureUnits, [](const UnitItem& unit) {
        return LimitCaptions { NumberText(unit.FromBase(kPressureMinPa), unit.decimals),
            NumberText(unit.FromBase(kPressureMaxPa), unit.decimals) };
    });
    static const auto altitude = CaptionsPerUnit(kAltitudeUnits, [](const UnitItem& unit) {
        return LimitCaptions { NumberText(unit.FromBase(kAltitudeMinM), kAltitudeLimitDecimals),
            NumberText(unit.FromBase(kAltitudeMaxM), kAltitudeLimitDecimals) };
    });
    SetCaptions(controls.Label5, controls.Label4, kTemperatureUnits, temperature, controls.Combo1.text());
    SetCaptions(controls.Label7, controls.Label6, kPressureUnits, pressure, controls.Combo2.text());
    SetCaptions(controls.Label9, controls.Label8, kAltitudeUnits, altitude, controls.Combo10.text());
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
