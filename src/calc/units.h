// Unit keys of the system and their conversion factors. A unit is recognised by exact, case-sensitive
// comparison of its key (the item text of a unit list).
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace humidora {

/// Temperature unit keys, in list order.
inline constexpr std::array<std::string_view, 4> kTemperatureUnits = { "C", "K", "F", "R" };

/// A pressure unit: pascals per unit, and the decimals with which a pressure is shown in it.
struct PressureUnit
{
    std::string_view key;
    double pascal_per_unit;
    int decimals;
};

/// Pressure units in list order. One millimetre of water is 9.8638 Pa and one PSI 6894.757 Pa in every
/// conversion of the system.
inline constexpr std::array<PressureUnit, 8> kPressureUnits = { {
    { "Pa", 1, 0 },
    { "kPa", 1000, 3 },
    { "Bar", 100000, 5 },
    { "mBar", 100, 2 },
    { "mm H2O", 9.8638, 1 },
    { "mm Hg", 133.322, 3 },
    { "Atmosphere", 101325, 5 },
    { "PSI", 6894.757, 4 },
} };

/// An altitude (length) unit: metres per unit, the decimals of a limit and of a derived altitude.
struct AltitudeUnit
{
    std::string_view key;
    double metre_per_unit;
    int limit_decimals;
    int derived_decimals;
};

/// Altitude units in list order; one mile is 1609.34 m.
inline constexpr std::array<AltitudeUnit, 4> kAltitudeUnits = { {
    { "m", 1, 3, 3 },
    { "km", 1000, 3, 6 },
    { "mile", 1609.34, 3, 6 },
    { "ft", 0.3048, 3, 3 },
} };

std::optional<PressureUnit> FindPressureUnit(std::string_view key);
std::optional<AltitudeUnit> FindAltitudeUnit(std::string_view key);
bool IsTemperatureUnit(std::string_view key);

} // namespace humidora
