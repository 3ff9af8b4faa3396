// The unit items of the system: every unit list's item texts (the unit keys) with their conversion to the
// unit the calculation works in and the decimals a value is shown with. A unit is recognised by exact,
// case-sensitive comparison of its key. Every text and factor of a unit is written here and nowhere else;
// the quantity table (quantities.h) says which list belongs to which quantity.
#pragma once

#include "core/properties.h"

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace humidora {

/// Which way a unit's factor goes.
enum class Scale
{
    Times, ///< calculation value = shown value x factor; shown = calculation value / factor
    Per,   ///< calculation value = shown value / factor; shown = calculation value x factor
};

/// One item of a unit list.
///
/// The calculation works in kelvin, pascal, metre, kg/kg, kg/m^3, fractions (not percent), J/(kg K),
/// kg/kmol, m^3/kg and kJ/kg. `factor` and `scale` relate a shown value to that unit. The direction
/// matters for the digits: 1 cm^3/g is shown as v x 1000, which is not always the same double as v / 0.001.
/// Temperatures are affine: kelvin = (shown + offset) x factor, formed by the temperature routines below
/// in their own order of operations. Of the other units only the enthalpy on the inch-pound datum has an
/// offset, applied by ToBase and FromBase: calculation value = scaled (shown + offset).
struct UnitItem
{
    std::string_view key; ///< the item text, e.g. "kPa"
    double factor;
    Scale scale;
    double offset;
    int decimals; ///< decimals of a value shown in this unit (a box, a limit or range label)

    /// The value in the calculation's unit of a linear unit's shown value, and back. Temperatures use
    /// TemperatureToKelvin / TemperatureFromKelvin instead.
    double ToBase(double shown) const
    {
        if (offset != 0)
            shown += offset;
        return scale == Scale::Times ? shown * factor : shown / factor;
    }
    double FromBase(double base) const
    {
        const double shown = scale == Scale::Times ? base / factor : base * factor;
        return offset != 0 ? shown - offset : shown;
    }
};

/// Units of a pressure, and their older name.
using PressureUnit = UnitItem;

// Temperature: "C", "K", "F", "R".
extern const std::array<UnitItem, 4> kTemperatureUnits;
// Pressure, in Pa per unit. One millimetre of water is 9.8638 Pa and one PSI 6894.757 Pa in every
// conversion of the system; one inch of mercury (at 32 F) is 3386.389 Pa.
extern const std::array<UnitItem, 9> kPressureUnits;
// Length (altitude), in m per unit; one mile is 1609.34 m.
extern const std::array<UnitItem, 4> kAltitudeUnits;
// The humidity parameters.
extern const std::array<UnitItem, 1> kRelativeHumidityUnits;
extern const std::array<UnitItem, 4> kHumidityRatioUnits; ///< 7000 grains to the pound
extern const std::array<UnitItem, 3> kAbsoluteHumidityUnits;
extern const std::array<UnitItem, 1> kWaterFractionUnits; ///< mole and mass fraction
// The five further properties.
extern const std::array<UnitItem, 5> kGasConstantUnits;
extern const std::array<UnitItem, 2> kMolecularWeightUnits;
extern const std::array<UnitItem, 3> kDensityUnits;
extern const std::array<UnitItem, 3> kSpecificVolumeUnits;
extern const std::array<UnitItem, 4> kEnthalpyUnits;

/// A short key that the command line takes for a unit text that is awkward to type ("g/kg" for
/// "(g moisture)/(kg dry air)").
struct UnitAlias
{
    std::string_view alias;
    std::string_view key;
};
extern const std::array<UnitAlias, 6> kUnitAliases;

/// The unit text a short key stands for; any other text unchanged.
std::string_view UnitKeyOf(std::string_view typed);

/// Decimals of the altitude limit labels, in every length unit.
inline constexpr int kAltitudeLimitDecimals = 3;

/// Where the item whose key is `key` stands in `units`, or nullopt.
std::optional<std::size_t> UnitIndex(std::span<const UnitItem> units, std::string_view key);
/// The item of `units` whose key is `key`, or nullopt.
std::optional<UnitItem> FindUnit(std::span<const UnitItem> units, std::string_view key);
std::optional<UnitItem> FindPressureUnit(std::string_view key);
std::optional<UnitItem> FindAltitudeUnit(std::string_view key);

/// True when `unit` is `item` (by key).
inline bool Is(std::string_view unit, const UnitItem& item)
{
    return unit == item.key;
}

// Named items, for the few places whose arithmetic differs by unit (the list order is fixed).
inline const UnitItem& kCelsius = kTemperatureUnits[0];
inline const UnitItem& kKelvin = kTemperatureUnits[1];
inline const UnitItem& kFahrenheit = kTemperatureUnits[2];
inline const UnitItem& kRankine = kTemperatureUnits[3];
inline const UnitItem& kPercent = kRelativeHumidityUnits[0];
inline const UnitItem& kBritishEnthalpy = kEnthalpyUnits[2];
inline const UnitItem& kInchPoundEnthalpy = kEnthalpyUnits[3];
inline const UnitItem& kBritishSpecificVolume = kSpecificVolumeUnits[2];

// ---- Flows, loads and water ---------------------------------------------------------------------------
// A process's loads are worked in kW and its water in kg/h; they are shown in kW, or in btu/h with tons of
// refrigeration (12000 btu/h) beside them, and in kg/h or lb/h (the mass-flow items below).
inline constexpr double kBtuPerHourPerKilowatt = 3412.1416331279;
inline constexpr double kBtuPerHourPerTon = 12000;
inline constexpr double kPoundPerKilogram = 1 / 0.45359237;
/// The load units: "kW" (the unit loads are worked in) and "btu/h".
extern const std::array<UnitItem, 2> kLoadUnits;
inline const UnitItem& kKilowatt = kLoadUnits[0];
inline const UnitItem& kBtuPerHour = kLoadUnits[1];

/// A unit of flow: a dry-air mass flow in kg/s per unit, or a volume flow in m^3/s per unit (converted to a
/// mass flow at the point's own specific volume), and the decimals a flow is shown with.
struct FlowUnit
{
    std::string_view key;
    double si_per_unit;
    bool volume;
    int decimals;
};

/// Flow units in list order; "kg/s" is the Metric and "lb/h" the British flow unit.
inline constexpr std::array<FlowUnit, 8> kFlowUnits = { {
    { "kg/s", 1, false, 4 },
    { "kg/h", 1 / 3600.0, false, 2 },
    { "lb/h", 0.45359237 / 3600, false, 2 },
    { "lb/min", 0.45359237 / 60, false, 3 },
    { "m^3/s", 1, true, 4 },
    { "m^3/h", 1 / 3600.0, true, 1 },
    { "L/s", 0.001, true, 2 },
    { "cfm", 0.028316846592 / 60, true, 1 },
} };
inline constexpr const FlowUnit& kKilogramPerSecond = kFlowUnits[0];
inline constexpr const FlowUnit& kKilogramPerHour = kFlowUnits[1];
inline constexpr const FlowUnit& kPoundPerHour = kFlowUnits[2];
std::optional<FlowUnit> FindFlowUnit(std::string_view key);

/// The quantities of the temperature, pressure and length lists as the tool windows name them.
inline constexpr std::string_view kTemperatureName = "Temperature";
inline constexpr std::string_view kPressureName = "Pressure";
inline constexpr std::string_view kLengthName = "Length";

// ---- Temperature ---------------------------------------------------------------------------------------
// The one home of temperature conversion. Each routine keeps the order of operations its digits were
// always formed by: (x + 459.67) x 5 / 9 is not the same double as (x + 459.67) x (5/9), nor
// (K - 273.15) x 1.8 + 32 the same as (K - 273.15) x 9 / 5 + 32. Unknown keys give nullopt.

/// Kelvin of a temperature typed in `unit`: C x + 273.15, F (x + 459.67) x 5 / 9, R x x 5 / 9.
std::optional<double> TemperatureToKelvin(std::string_view unit, double value);
/// A temperature (K) shown in `unit`: C K - 273.15, F (K - 273.15) x 1.8 + 32, R K x 9 / 5.
std::optional<double> TemperatureFromKelvin(std::string_view unit, double temperature_K);
/// The limit labels of the ambient temperature: F by way of Rankine, K x 9 / 5 - 459.67.
std::optional<double> LimitTemperatureFromKelvin(std::string_view unit, double temperature_K);
/// The range labels of the dew point and wet bulb: F as (K - 273.15) x 9 / 5 + 32.
std::optional<double> RangeTemperatureFromKelvin(std::string_view unit, double temperature_K);
/// The ambient temperature's range label in Rankine, formed in single precision as the temperature itself
/// is held: single(K x 9) / 5 divided in single precision.
float SingleRankineFromKelvin(double temperature_K);
/// The dew point's thousandfold value in `unit`, which the dew point box rounds to an integer before
/// writing it with three decimals: R forms K x 1000 x 9 / 5, the others the shown value x 1000.
std::optional<double> DewPointThousandfold(std::string_view unit, double dew_point_K);

} // namespace humidora
