// The record of the last ambient-air calculation.
#pragma once

namespace humidora {

/// Results of the last run of CalculateAmbient, in SI units. Nothing is cleared between runs: each field
/// holds the value of the last run that reached the step that writes it. Fields declared float are held
/// in single precision, and every later step computes with the rounded value; pressure and altitude are
/// double when typed and hold a single-precision value when derived through the standard atmosphere.
struct AmbientState
{
    double pressure = 0;          ///< Pa
    float temperature = 0;        ///< K
    double molar_mass = 0;        ///< kg/kmol
    double gas_constant = 0;      ///< J/(kg K)
    double density = 0;           ///< kg/m^3
    double humidity_ratio = 0;    ///< kg water / kg dry air
    double relative_humidity = 0; ///< fraction, 1 at saturation
    double dew_point = 0;         ///< K
    double altitude = 0;          ///< m
    float absolute_humidity = 0;  ///< kg water / m^3 moist air
    double water_mole_fraction = 0;
    double water_mass_fraction = 0;
    float vapour_pressure = 0; ///< Pa
    double n2_volume_fraction = 0, o2_volume_fraction = 0, co2_volume_fraction = 0;
    float ar_volume_fraction = 0;
    double n2_mass_fraction = 0, o2_mass_fraction = 0, co2_mass_fraction = 0;
    float ar_mass_fraction = 0;

    bool operator==(const AmbientState&) const = default;
};

} // namespace humidora
