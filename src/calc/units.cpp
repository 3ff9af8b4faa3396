#include "calc/units.h"

#include <algorithm>

namespace humidora {

std::optional<PressureUnit> FindPressureUnit(std::string_view key)
{
    const auto it = std::find_if(kPressureUnits.begin(), kPressureUnits.end(),
        [key](const PressureUnit& unit) { return unit.key == key; });
    if (it == kPressureUnits.end())
        return std::nullopt;
    return *it;
}

std::optional<AltitudeUnit> FindAltitudeUnit(std::string_view key)
{
    const auto it = std::find_if(kAltitudeUnits.begin(), kAltitudeUnits.end(),
        [key](const AltitudeUnit& unit) { return unit.key == key; });
    if (it == kAltitudeUnits.end())
        return std::nullopt;
    return *it;
}

bool IsTemperatureUnit(std::string_view key)
{
    return std::find(kTemperatureUnits.begin(), kTemperatureUnits.end(), key) != kTemperatureUnits.end();
}

} // namespace humidora
