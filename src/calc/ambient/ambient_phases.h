// The phases of CalculateAmbient and what they share. Internal to the calculation: front ends include
// calculate_ambient.h only.
#pragma once

#include "calc/ambient/ambient_state.h"
#include "calc/ambient/calculate_ambient.h"
#include "calc/ambient/input_limits.h"
#include "calc/units/ambient_controls.h"
#include "calc/units/quantities.h"
#include "calc/units/refusal.h"
#include "core/properties.h"

#include <optional>
#include <string>
#include <string_view>

namespace humidora::ambient {

/// Thrown by the checked arithmetic below; CalculateAmbient turns it into the out-of-range report.
struct ArithmeticFailure
{
};

/// value itself when finite; an ArithmeticFailure otherwise (overflow, invalid operation).
double Finite(double value);

/// value narrowed to single precision; an ArithmeticFailure when it is not finite or lies beyond the
/// single-precision range.
float Single(double value);

/// numerator / denominator; an ArithmeticFailure on a zero denominator or a non-finite quotient.
double Quotient(double numerator, double denominator);

/// What one run carries from phase to phase besides the controls and the state record.
struct Run
{
    AmbientControls& controls;
    AmbientState& state;
    const PropertyRoutines& routines;
    RunExtent extent = RunExtent::Window;
    SaturationMethod method = kIapws;
    double saturation_pressure = 0; ///< Ps at the ambient temperature, Pa
    std::optional<Refusal> refusal; ///< set by the phase that refuses the run
};

// Physical constants shared by the phases (with kMolarMassRatio and kCelsiusOffset of the core).
inline constexpr double kWaterMolarMass = 18.01528;      ///< kg/kmol
inline constexpr double kDryAirMolarMass = 28.9645;      ///< kg/kmol
inline constexpr double kMolarMassDifference = 10.94922; ///< 28.9645 - 18.01528, a constant of its own
inline constexpr double kUniversalGasConstant = 8314.41; ///< J/(kmol K)

/// The input rule shared by every value box: the whole text is one number and it lies between the values
/// of the captions of its minimum and maximum label, both ends included. The number when it is accepted.
std::optional<double> AcceptedValue(
    const ValueBox& box, const LimitLabel& minimum, const LimitLabel& maximum);

/// The refusal of the input `quantity` by the rule of AcceptedValue, in the words of its box, limit labels
/// and unit list; a box that passes the rule is refused for `otherwise`.
Refusal InputRefusal(
    const AmbientControls& controls, const QuantityControls& quantity, RefusalReason otherwise);

/// "Error" into each humidity box whose option is not selected.
void WriteErrorIntoHumidityOutputs(AmbientControls& controls);

// Writers of the eight humidity boxes, each in the unit of its list. A unit the list does not offer leaves
// the box unchanged. A value that is not finite is an ArithmeticFailure.
void WriteHumidityRatio(AmbientControls& controls, double W);                   // Text3, W in kg/kg
void WriteRelativeHumidity(AmbientControls& controls, double phi);              // Text4, phi as a fraction
void WriteDewPoint(AmbientControls& controls, double dew_point_K);              // Text5
void WriteDewPointBelowMinimum(AmbientControls& controls);                      // Text5 "< min"
void WriteWetBulb(AmbientControls& controls, double wet_bulb_K);                // Text6
void WriteAbsoluteHumidity(AmbientControls& controls, float rho_kg_m3);         // Text7
void WriteMoleFraction(AmbientControls& controls, double x);                    // Text8, fraction
void WriteMassFraction(AmbientControls& controls, double w);                    // Text9, fraction
void WritePartialPressure(AmbientControls& controls, float vapour_pressure_Pa); // Text11

/// `value` (in the calculation's unit) written into `box` in the unit selected in `list`, with that unit's
/// factor and decimals; a unit that `units` does not hold leaves the box as it is. A value that is not
/// finite is an ArithmeticFailure.
void WriteInUnit(ValueBox& box, const UnitList& list, std::span<const UnitItem> units, double value);

/// A humidity ratio (kg/kg) as a box or a range label shows it in a unit of Combo6; nullopt for another unit.
std::optional<std::string> HumidityRatioText(double W, std::string_view unit);

/// Where a humidity route puts the seven parameters it computes besides the given one: the window's boxes,
/// or the plain numbers of a run without texts. A value that is not finite in its unit is an
/// ArithmeticFailure.
class HumidityOutputs
{
public:
    virtual ~HumidityOutputs() = default;
    virtual void HumidityRatio(double W) = 0;                ///< kg/kg
    virtual void RelativeHumidity(double phi) = 0;           ///< fraction
    virtual void DewPoint(double dew_point_K) = 0;           ///< K
    virtual void DewPointBelowMinimum() = 0;                 ///< beyond the reach of the property routines
    virtual void WetBulb(double wet_bulb_K) = 0;             ///< K
    virtual void AbsoluteHumidity(float rho_kg_m3) = 0;      ///< kg/m^3
    virtual void MoleFraction(double x) = 0;                 ///< fraction
    virtual void MassFraction(double w) = 0;                 ///< fraction
    virtual void PartialPressure(float vapour_pressure) = 0; ///< Pa
};

/// The values of a run that every humidity route uses.
struct HumidityRun
{
    HumidityOutputs& out;
    AmbientState& s;
    const PropertyRoutines& routines;
    SaturationMethod method;
    double T;  ///< ambient temperature, K (the single-precision value)
    double P;  ///< ambient pressure, Pa
    double Ps; ///< saturation pressure at T, Pa
};

/// A vapour pressure at or above the ambient pressure would follow from the given value. The limits are
/// checked as shown, after their rounding, so a value typed at a shown maximum can get there; it is
/// refused like a value outside its limits rather than turned into a negative humidity ratio or a
/// division by zero.
struct VapourPressureReachesAmbient
{
};

/// Solves the humidity state from the value `v` of the humidity parameter `selected`, given in `unit` (one
/// of its units): the state record's humidity fields and the seven outputs. Throws
/// VapourPressureReachesAmbient or ArithmeticFailure.
void RunHumidityRoute(const HumidityRun& h, const Quantity& selected, const UnitItem& unit, double v);

/// The wet bulb of dry air at T and P (K), the lower end of the wet-bulb range.
double ZeroHumidityWetBulb(const PropertyRoutines& routines, double T, double P, SaturationMethod method);

/// The units of the absolute humidity and of the partial pressure whose shown value is held in single
/// precision.
bool AbsoluteHumidityHeldInSingle(const UnitItem& unit);
bool PartialPressureHeldInSingle(const UnitItem& unit);

// Phase 1.
SaturationMethod ReadFormulation(const AmbientControls& controls);
// Phase 2: temperature, pressure and altitude limits in the selected units.
void WriteLimitLabels(AmbientControls& controls);
// Phase 3: the fixed ends of the humidity ranges; Label20 back to light red.
void WriteFixedRangeEnds(AmbientControls& controls);
// Phase 5. False when the temperature is refused (its refusal is shown, the report still to come).
bool ReadTemperature(Run& run);
// Phase 6. False when the pressure or altitude is refused.
bool ReadPressureOrAltitude(Run& run);
// Phase 7. False when Ps reaches P (the vapour-pressure report has been given).
bool WriteSaturationRanges(Run& run);
// Phase 8. False when the humidity input is refused.
bool SolveHumidity(Run& run);
// Phase 9.
void WriteOtherProperties(Run& run);
// Phase 10.
void WriteCompositionListing(Run& run);

/// A report in place of the listing: "Error" in the five property boxes and, on red, "Error!" over the
/// two lines that say why.
void GiveReport(AmbientControls& controls, const char* first_reason, const char* second_reason);

/// The common error exit: the report that points at the box marked red.
void GiveOutOfRangeReport(AmbientControls& controls);

} // namespace humidora::ambient
