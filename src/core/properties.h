// Water and air property routines: saturation of water over liquid and ice, the wet-bulb relation and
// the standard atmosphere of the troposphere. Pure functions on SI values, no state, no checks.
//
// Every routine reproduces its defining formulation operation by operation (coefficient digits, order
// of evaluation, general power calls, switch temperatures, bisection rules), so that its results are the
// same to the last bit on every IEEE-754 platform whose libm gives the same pow/exp/log.
//
// Sources:
//   [R14]  IAPWS R14-08(2011), Revised Release on the Pressure along the Melting and Sublimation Curves of
//          Ordinary Water Substance: the sublimation-pressure equation, valid 50..273.16 K.
//   [IF97] IAPWS-IF97 (IAPWS R7-97(2012)), region 4, the saturation line: the saturation-pressure
//          equation (valid 273.15..647.096 K) and its backward saturation-temperature equation (valid
//          611.213 Pa..22.064 MPa); both solve one quadratic, so each is the exact inverse of the other.
//   [HW]   R. W. Hyland and A. Wexler, Formulations for the thermodynamic properties of the saturated
//          phases of H2O from 173.15 K to 473.15 K, ASHRAE Transactions 89(2A), 1983: saturation pressure
//          over ice (173.15..273.15 K) and over liquid water (273.15..473.15 K).
//   [AHF]  ASHRAE Handbook - Fundamentals, chapter Psychrometrics: humidity ratio, wet bulb (and, in
//          calc, enthalpy and specific volume of moist air).
//   [ATM]  The troposphere of the standard atmosphere, ISO 2533 and U.S. Standard Atmosphere 1976
//          (288.15 K and 101325 Pa at sea level, 0.0065 K/m lapse rate), up to the tropopause at 11000 m
//          geopotential altitude (22632 Pa); the 1976 standard tabulates it down to -5000 m.
#pragma once

namespace humidora {

/// Saturation formulation: 1 = IAPWS (sublimation equation over ice, IF97 over liquid water),
/// 2 = Hyland-Wexler.
using SaturationMethod = int;
inline constexpr SaturationMethod kIapws = 1;
inline constexpr SaturationMethod kHylandWexler = 2;

/// Kelvin at 0 degrees Celsius.
inline constexpr double kCelsiusOffset = 273.15;
/// Ratio of the molar masses of water and dry air, 18.01528 / 28.9645 as the psychrometric relations
/// round it: W = 0.62198 p_w / (p - p_w) [AHF].
inline constexpr double kMolarMassRatio = 0.62198;

/// Standard sea-level pressure (one standard atmosphere), Pa.
inline constexpr double kSeaLevelPressurePa = 101325;

/// Lowest temperature of the property routines and of the dew point, K.
inline constexpr double kLowestTemperatureK = 173.15;
/// Highest temperature of the saturation routines (the upper end of the Hyland-Wexler bracket), K.
inline constexpr double kHighestTemperatureK = 473.15;
/// Triple point of water, where IAPWS switches from the sublimation to the IF97 equation, K and Pa.
inline constexpr double kTriplePointK = 273.16;
inline constexpr double kTriplePointPa = 611.657;

/// Saturation pressure of water at temperature_K (K) by the formulation method; result in Pa.
/// IAPWS: the sublimation equation [R14] up to and including the triple point 273.16 K, with its
/// exponents as 9-digit decimals (0.00333333333, not 1/300); above it the IF97 saturation-pressure
/// equation [IF97], in its own range from 273.15 K. Hyland-Wexler [HW]: the ice equation below 273.15 K,
/// the water equation from 273.15 K (273.15 K itself is water), with the published coefficients.
/// Used on 173.15..473.15 K, inside every branch's published range. A non-positive or NaN temperature gives
/// NaN; far above the critical temperature the IF97 discriminant turns negative and the result is NaN (never
/// a trap). A method other than 1 or 2 gives 0.
double SaturationPressure(double temperature_K, SaturationMethod method);

/// Temperature (K) at which pressure_Pa (Pa) is the saturation pressure by the formulation method.
/// IAPWS above the triple-point pressure 611.657 Pa uses the closed-form IF97 backward equation [IF97]
/// (published from 611.213 Pa to the critical 22.064 MPa; no upper check here);
/// IAPWS at or below it (bracket 173.15..273.16 K) and Hyland-Wexler everywhere (bracket 173.15..473.15 K)
/// bisect on SaturationPressure until the bracket is at most 1e-6 K wide, and return the last midpoint.
/// A pressure the bracket does not enclose ends within 1e-6 K below the bracket's upper end, with no
/// error. Above the critical pressure the IF97 branch gives NaN. A method other than 1 or 2 gives 0.
double SaturationTemperature(double pressure_Pa, SaturationMethod method);

/// Humidity ratio (kg water / kg dry air) of air whose wet bulb is wet_bulb_K and dry bulb dry_bulb_K
/// (both K) at total pressure pressure_Pa (Pa). The SI wet-bulb relation [AHF] over a wetted (liquid)
/// wick, W = ((2501 - 2.381 t*) Ws* - 1.006 (t - t*)) / (2501 + 1.805 t - 4.186 t*) in C and kJ/kg, with
/// Ws* the saturation humidity ratio at the wet bulb by the chosen formulation. The Handbook's ice form
/// is not used: the liquid-water form serves every wet bulb, also below 0 C. A total pressure equal to the
/// saturation pressure at the wet bulb gives +-inf or NaN (IEEE division); callers keep their state inside
/// their limits.
double HumidityRatioFromWetBulb(
    double wet_bulb_K, double dry_bulb_K, double pressure_Pa, SaturationMethod method);

/// Wet-bulb temperature (K) of air of humidity ratio humidity_ratio (kg/kg, 0 allowed) at dry bulb
/// dry_bulb_K (K) and pressure_Pa (Pa), the inverse of the relation above (the Handbook gives no closed
/// form): bisection on HumidityRatioFromWetBulb over 173.15 K..dry bulb to a width of 1e-6 K, returning
/// the last midpoint. A humidity ratio above saturation ends within 1e-6 K
/// below the dry bulb; a dry bulb of 173.15 K returns 173.15 K; a dry bulb below 173.15 K bisects the
/// reversed bracket and returns a value between the two ends. NaN inputs return NaN.
double WetBulbTemperature(
    double humidity_ratio, double dry_bulb_K, double pressure_Pa, SaturationMethod method);

/// SaturationTemperature and WetBulbTemperature by the plain bisection, one evaluation per halving. The
/// two routines above take a shorter way to exactly the same double; these are the yardstick that tests
/// and fuzzing hold them to.
double PlainSaturationTemperature(double pressure_Pa, SaturationMethod method);
double PlainWetBulbTemperature(
    double humidity_ratio, double dry_bulb_K, double pressure_Pa, SaturationMethod method);

/// Barometric pressure (Pa) at altitude_m (m, negative below sea level) in the standard troposphere
/// [ATM], p = 101325 (1 - 2.25577e-5 Z)^5.2559 as [AHF] writes it, narrowed to single precision. The
/// calculator's altitudes (-5000..11000 m) lie in the standard's range; beyond it the same power law is
/// applied without a check. Above about 44330.8 m the base of the power turns negative and the
/// result is NaN; a result beyond the single-precision range is +inf.
float PressureFromAltitude(double altitude_m);

/// Altitude (m) of barometric pressure pressure_Pa (Pa) in the standard troposphere [ATM], the inverse of
/// the power law above, narrowed to single precision. Pressures below 22632 Pa (the tropopause) and
/// above 177687 Pa (-5000 m) give altitudes outside the standard's range by the same law. A negative or NaN
/// pressure gives NaN; 0 Pa gives 44330.8... m.
float AltitudeFromPressure(double pressure_Pa);

/// Narrows a double to the nearest single-precision value (IEEE round to nearest, ties to even);
/// magnitudes past the largest float become +-inf instead of undefined behaviour.
float NarrowToSingle(double value);

} // namespace humidora
