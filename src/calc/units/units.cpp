#include "calc/units/units.h"

#include "core/moist_air.h"

#include <algorithm>

namespace humidora {
namespace {

// Factors that two lists share.
constexpr double kPoundPerCubicFoot = 16.01846; ///< kg/m^3
constexpr double kCalorie = 4.1868;             ///< J
constexpr double kKilocalorie = 4186.8;         ///< J
constexpr double kRankineOffset = 459.67;       ///< degrees Fahrenheit below 0 F at 0 K
constexpr double kKelvinPerDegreeF = 5.0 / 9.0; ///< informative; the routines form x * 5 / 9
constexpr std::string_view kPercentKey = "%";
constexpr double kBtuPerPoundPerKilojoulePerKilogram = 0.42992;
/// The enthalpy of dry air at 0 C on the inch-pound datum (dry air at 0 F), btu/lb, by the calculator's
/// own heat capacity of dry air, so that dry air at 0 F reads exactly 0 on that datum: 1.006 kJ/(kg K) x
/// 160/9 K x 0.42992 = 7.689 btu/lb (inch-pound tables, with 0.240 btu/(lb F), have 7.68).
constexpr double kInchPoundDatum = kDryAirHeatCapacity * (32.0 * 5 / 9) * kBtuPerPoundPerKilojoulePerKilogram;

using enum Scale;

} // namespace

constexpr std::array<UnitItem, 4> kTemperatureUnits = { {
    { "C", 1, Times, kCelsiusOffset, 3 },
    { "K", 1, Times, 0, 3 },
    { "F", kKelvinPerDegreeF, Times, kRankineOffset, 3 },
    { "R", kKelvinPerDegreeF, Times, 0, 3 },
} };

constexpr std::array<UnitItem, 9> kPressureUnits = { {
    { "Pa", 1, Times, 0, 0 },
    { "kPa", 1000, Times, 0, 3 },
    { "Bar", 100000, Times, 0, 5 },
    { "mBar", 100, Times, 0, 2 },
    { "mm H2O", 9.8638, Times, 0, 1 },
    { "mm Hg", 133.322, Times, 0, 3 },
    { "Atmosphere", kSeaLevelPressurePa, Times, 0, 5 },
    { "PSI", 6894.757, Times, 0, 4 },
    { "in Hg", 3386.389, Times, 0, 4 },
} };

// Decimals of an altitude derived from the pressure; the limit labels have kAltitudeLimitDecimals.
constexpr std::array<UnitItem, 4> kAltitudeUnits = { {
    { "m", 1, Times, 0, 3 },
    { "km", 1000, Times, 0, 6 },
    { "mile", 1609.34, Times, 0, 6 },
    { "ft", 0.3048, Times, 0, 3 },
} };

constexpr std::array<UnitItem, 1> kRelativeHumidityUnits = { { { kPercentKey, 100, Per, 0, 3 } } };

constexpr std::array<UnitItem, 4> kHumidityRatioUnits = { {
    { "(kg moisture)/(kg dry air)", 1, Per, 0, 7 },
    { "(g moisture)/(kg dry air)", 1000, Per, 0, 4 },
    { "(lb moisture)/(lb dry air)", 1, Per, 0, 7 },
    { "(gr moisture)/(lb dry air)", 7000, Per, 0, 3 },
} };

constexpr std::array<UnitItem, 3> kAbsoluteHumidityUnits = { {
    { "(kg moisture)/m^3", 1, Per, 0, 6 },
    { "(g moisture)/m^3", 1000, Per, 0, 3 },
    { "(lb moisture)/ft^3", 0.062427961, Per, 0, 6 },
} };

// Shown with the fixed four-decimal pattern; the range labels with 4 decimals.
constexpr std::array<UnitItem, 1> kWaterFractionUnits = { { { kPercentKey, 100, Per, 0, 4 } } };

// "btu/lb-R" is the same number as "kcal/kg-K".
constexpr std::array<UnitItem, 5> kGasConstantUnits = { {
    { "J/kg-K", 1, Times, 0, 3 },
    { "kJ/kg-K", 1000, Times, 0, 6 },
    { "cal/kg-K", kCalorie, Times, 0, 3 },
    { "kcal/kg-K", kKilocalorie, Times, 0, 6 },
    { "btu/lb-R", kKilocalorie, Times, 0, 6 },
} };

// kg/kmol and lbm/lbmol are the same number.
constexpr std::array<UnitItem, 2> kMolecularWeightUnits = { {
    { "kg/kmol", 1, Times, 0, 5 },
    { "lbm/lbmol", 1, Times, 0, 5 },
} };

constexpr std::array<UnitItem, 3> kDensityUnits = { {
    { "kg/m^3", 1, Times, 0, 4 },
    { "g/cm^3", 1000, Times, 0, 7 },
    { "lb/ft^3", kPoundPerCubicFoot, Times, 0, 5 },
} };

constexpr std::array<UnitItem, 3> kSpecificVolumeUnits = { {
    { "m^3/kg (dry air)", 1, Per, 0, 5 },
    { "cm^3/g (dry air)", 1000, Per, 0, 2 },
    { "ft^3/lb (dry air)", kPoundPerCubicFoot, Per, 0, 5 },
} };

// The calculation's datum is dry air and liquid water at 0 C; the last item has the inch-pound tables'
// datum, dry air at 0 F (and liquid water at 32 F).
constexpr std::array<UnitItem, 4> kEnthalpyUnits = { {
    { "kJ/kg (dry air)", 1, Times, 0, 5 },
    { "kcal/kg (dry air)", kCalorie, Times, 0, 5 },
    { "btu/lb (dry air)", kBtuPerPoundPerKilojoulePerKilogram, Per, 0, 5 },
    { "btu/lb (dry air from 0 F)", kBtuPerPoundPerKilojoulePerKilogram, Per, -kInchPoundDatum, 5 },
} };

// Loads are worked in kW; a btu/h is shown as kW x 3412.1416331279.
constexpr std::array<UnitItem, 2> kLoadUnits = { {
    { "kW", 1, Times, 0, 3 },
    { "btu/h", kBtuPerHourPerKilowatt, Per, 0, 0 },
} };

constexpr std::array<UnitAlias, 6> kUnitAliases = { {
    { "kg/kg", "(kg moisture)/(kg dry air)" },
    { "g/kg", "(g moisture)/(kg dry air)" },
    { "lb/lb", "(lb moisture)/(lb dry air)" },
    { "gr/lb", "(gr moisture)/(lb dry air)" },
    { "inHg", "in Hg" },
    { "psi", "PSI" },
} };

std::string_view UnitKeyOf(std::string_view typed)
{
    for (const UnitAlias& alias : kUnitAliases) {
        if (alias.alias == typed)
            return alias.key;
    }
    return typed;
}

namespace {

// Where the item whose key is `key` stands in `items`: the one lookup of a unit by its text.
template <typename Item>
std::optional<std::size_t> IndexByKey(std::span<const Item> items, std::string_view key)
{
    const auto it
        = std::find_if(items.begin(), items.end(), [key](const Item& item) { return item.key == key; });
    if (it == items.end())
        return std::nullopt;
    return static_cast<std::size_t>(it - items.begin());
}

} // namespace

std::optional<std::size_t> UnitIndex(std::span<const UnitItem> units, std::string_view key)
{
    return IndexByKey(units, key);
}

std::optional<UnitItem> FindUnit(std::span<const UnitItem> units, std::string_view key)
{
    const std::optional<std::size_t> index = IndexByKey(units, key);
    return index ? std::optional<UnitItem>(units[*index]) : std::nullopt;
}

std::optional<FlowUnit> FindFlowUnit(std::string_view key)
{
    const std::optional<std::size_t> index = IndexByKey(std::span<const FlowUnit>(kFlowUnits), key);
    return index ? std::optional<FlowUnit>(kFlowUnits[*index]) : std::nullopt;
}

std::optional<UnitItem> FindPressureUnit(std::string_view key)
{
    return FindUnit(kPressureUnits, key);
}

std::optional<UnitItem> FindAltitudeUnit(std::string_view key)
{
    return FindUnit(kAltitudeUnits, key);
}

std::optional<double> TemperatureToKelvin(std::string_view unit, double value)
{
    if (Is(unit, kKelvin))
        return value;
    if (Is(unit, kCelsius))
        return value + kCelsiusOffset;
    if (Is(unit, kRankine))
        return value * 5 / 9;
    if (Is(unit, kFahrenheit))
        return (value + kRankineOffset) * 5 / 9;
    return std::nullopt;
}

std::optional<double> TemperatureFromKelvin(std::string_view unit, double temperature_K)
{
    if (Is(unit, kKelvin))
        return temperature_K;
    if (Is(unit, kCelsius))
        return temperature_K - kCelsiusOffset;
    if (Is(unit, kRankine))
        return temperature_K * 9 / 5;
    if (Is(unit, kFahrenheit))
        return (temperature_K - kCelsiusOffset) * 1.8 + 32;
    return std::nullopt;
}

std::optional<double> LimitTemperatureFromKelvin(std::string_view unit, double temperature_K)
{
    if (Is(unit, kFahrenheit))
        return temperature_K * 9 / 5 - kRankineOffset;
    return TemperatureFromKelvin(unit, temperature_K);
}

std::optional<double> RangeTemperatureFromKelvin(std::string_view unit, double temperature_K)
{
    if (Is(unit, kFahrenheit))
        return (temperature_K - kCelsiusOffset) * 9 / 5 + 32;
    return TemperatureFromKelvin(unit, temperature_K);
}

float SingleRankineFromKelvin(double temperature_K)
{
    return NarrowToSingle(temperature_K * 9) / 5;
}

std::optional<double> DewPointThousandfold(std::string_view unit, double dew_point_K)
{
    if (Is(unit, kRankine))
        return dew_point_K * 1000 * 9 / 5;
    const std::optional<double> shown = TemperatureFromKelvin(unit, dew_point_K);
    if (!shown)
        return std::nullopt;
    return *shown * 1000;
}

} // namespace humidora
