// The moist-air relations of the ideal-gas mixture that every part of the calculator shares: the specific
// enthalpy and its inverse, the specific volume, the enthalpy of liquid water and of steam, and the humidity
// ratio of a vapour pressure. One place for the constants 1.006, 2501, 1.805 and 4.186, so that the wet
// bulb, the window's other properties, the chart and the processes work on the same relations. Standard
// library only.
#pragma once

#include "core/properties.h"

namespace humidora {

/// Heat capacity of dry air, kJ/(kg K).
inline constexpr double kDryAirHeatCapacity = 1.006;
/// Heat capacity of water vapour, kJ/(kg K).
inline constexpr double kVapourHeatCapacity = 1.805;
/// Heat capacity of liquid water, kJ/(kg K).
inline constexpr double kWaterHeatCapacity = 4.186;
/// Latent heat of vaporization of water at 0 C, the datum of the vapour's enthalpy, kJ/kg.
inline constexpr double kHeatOfVaporization = 2501;
/// Gas constant of dry air in the specific volume, J/(kg K).
inline constexpr double kDryAirGasConstant = 287.1;
/// Ratio of the molar masses of dry air and water in the specific volume (1 / 0.62198, rounded).
inline constexpr double kVolumeMolarMassRatio = 1.6078;

/// Specific enthalpy of moist air, kJ per kg of dry air, zero for dry air at 0 C: the ASHRAE Handbook -
/// Fundamentals' relation of an ideal-gas mixture, h = 1.006 t + W (2501 + 1.805 t) with t in C; its
/// constant heat capacities serve the whole range of the calculator.
double MoistAirEnthalpy(double T_K, double W);
/// Dry bulb (K) of the air of enthalpy h (kJ/kg dry air) and humidity ratio W: the enthalpy relation
/// solved for the temperature.
double TemperatureFromEnthalpy(double h_kJ_kg, double W);
/// Specific volume of moist air, m^3 per kg of dry air: the Handbook's ideal-gas relation
/// v = 287.1 T (1 + 1.6078 W) / p, with T in K and p in Pa.
double SpecificVolume(double T_K, double W, double pressure_Pa);
/// Enthalpy of liquid water and of steam at T_K, kJ/kg, on the datum of the moist-air enthalpy.
double LiquidWaterEnthalpy(double T_K);
double SteamEnthalpy(double T_K);

/// Humidity ratio (kg/kg) of air whose water vapour has the partial pressure p_v at the total pressure
/// pressure_Pa: W = 0.62198 p_v / (p - p_v). A vapour pressure at the total pressure gives +-inf or NaN.
inline double HumidityRatioOfVapourPressure(double p_v, double pressure_Pa)
{
    return kMolarMassRatio * p_v / (pressure_Pa - p_v);
}
/// The partial pressure of water vapour (Pa) of the humidity ratio W at the total pressure, the inverse.
inline double VapourPressureOfHumidityRatio(double W, double pressure_Pa)
{
    return pressure_Pa * W / (kMolarMassRatio + W);
}

} // namespace humidora
