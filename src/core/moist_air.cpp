#include "core/moist_air.h"

namespace humidora {

double MoistAirEnthalpy(double T_K, double W)
{
    const double t = T_K - kCelsiusOffset;
    return kDryAirHeatCapacity * t + W * (kHeatOfVaporization + kVapourHeatCapacity * t);
}

double TemperatureFromEnthalpy(double h_kJ_kg, double W)
{
    return (h_kJ_kg - kHeatOfVaporization * W) / (kDryAirHeatCapacity + kVapourHeatCapacity * W)
        + kCelsiusOffset;
}

double SpecificVolume(double T_K, double W, double pressure_Pa)
{
    return kDryAirGasConstant * T_K * (1 + kVolumeMolarMassRatio * W) / pressure_Pa;
}

double LiquidWaterEnthalpy(double T_K)
{
    return kWaterHeatCapacity * (T_K - kCelsiusOffset);
}

double SteamEnthalpy(double T_K)
{
    return kHeatOfVaporization + kVapourHeatCapacity * (T_K - kCelsiusOffset);
}

} // namespace humidora
