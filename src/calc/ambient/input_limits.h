// The fixed limits of the three ambient inputs (dry bulb, barometric pressure, altitude), SI, both ends
// included. The humidity parameters' limits follow from these and the state; these alone are fixed.
#pragma once

namespace humidora {

inline constexpr double kTemperatureMinK = 173.15;
inline constexpr double kTemperatureMaxK = 373.15;
inline constexpr double kPressureMinPa = 5000;
inline constexpr double kPressureMaxPa = 1000000;
inline constexpr double kAltitudeMinM = -5000;
inline constexpr double kAltitudeMaxM = 11000;

} // namespace humidora
