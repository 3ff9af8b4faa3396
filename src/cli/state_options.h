// The options with which humidora-cli commands give a state of moist air as the main window takes it:
// one option per humidity parameter and one per unit list that offers a choice.
#pragma once

namespace humidora::cli {

/// A humidity parameter: option name and the number of the window's option button.
struct HumidityParameter
{
    const char* option;
    int option_button;
};
inline constexpr HumidityParameter kHumidityParameters[] = {
    { "relative-humidity", 2 },
    { "humidity-ratio", 1 },
    { "dew-point", 3 },
    { "wet-bulb", 4 },
    { "absolute-humidity", 5 },
    { "partial-pressure", 10 },
    { "mole-fraction", 6 },
    { "mass-fraction", 7 },
};

/// A unit option: option name and list number.
struct UnitParameter
{
    const char* option;
    int list;
};
inline constexpr UnitParameter kUnitParameters[] = {
    { "temperature-unit", 1 },
    { "pressure-unit", 2 },
    { "altitude-unit", 10 },
    { "humidity-ratio-unit", 6 },
    { "absolute-humidity-unit", 7 },
    { "dew-point-unit", 3 },
    { "wet-bulb-unit", 4 },
    { "partial-pressure-unit", 11 },
    { "gas-constant-unit", 12 },
    { "molecular-weight-unit", 13 },
    { "density-unit", 14 },
    { "specific-volume-unit", 15 },
    { "enthalpy-unit", 16 },
};

} // namespace humidora::cli
