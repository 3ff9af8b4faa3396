// The one recalculation of the main window: reads every input afresh from the control model, checks and
// converts it, solves the state of the moist air and writes every output and the state record back.
#pragma once

#include "calc/ambient/ambient_state.h"
#include "calc/units/ambient_controls.h"
#include "calc/units/refusal.h"
#include "core/properties.h"

#include <optional>

namespace humidora {

/// The property routines a run calls. The defaults are the routines of the core library; a test swaps
/// one for a routine that overflows or returns NaN, to provoke a failure that no accepted input reaches.
struct PropertyRoutines
{
    double (*saturation_pressure)(double temperature_K, SaturationMethod method) = &SaturationPressure;
    double (*saturation_temperature)(double pressure_Pa, SaturationMethod method) = &SaturationTemperature;
    double (*humidity_ratio_from_wet_bulb)(
        double wet_bulb_K, double dry_bulb_K, double pressure_Pa, SaturationMethod method)
        = &HumidityRatioFromWetBulb;
    double (*wet_bulb_temperature)(
        double humidity_ratio, double dry_bulb_K, double pressure_Pa, SaturationMethod method)
        = &WetBulbTemperature;
    float (*pressure_from_altitude)(double altitude_m) = &PressureFromAltitude;
    float (*altitude_from_pressure)(double pressure_Pa) = &AltitudeFromPressure;
};

/// What a run writes. The window needs every text; a front end that reads only the value boxes (the
/// batch) may leave out the range labels that no input is checked against and the listing's lines. The
/// value boxes, their backgrounds, the state record and a refusal are the same either way.
enum class RunExtent
{
    Window, ///< every box, label and listing line
    Values, ///< the value boxes and the labels of the inputs; the listing's lines and the range labels of
            ///< the humidity parameters not selected are left as they were
};

/// One recalculation: ten phases in a fixed order, from the formulation check mark to the composition
/// listing. A refused input, a vapour pressure that reaches the ambient pressure, or any arithmetic failure
/// (a non-finite intermediate, a division by zero, a value beyond single precision) ends the run early
/// with its report in List1; nothing is thrown to the caller and no text ever shows "inf" or "nan".
/// Returns why a run was refused (an arithmetic failure is NotComputable), nothing for an accepted one.
std::optional<Refusal> CalculateAmbient(AmbientControls& controls, AmbientState& state);

/// The same run with the given property routines.
std::optional<Refusal> CalculateAmbient(AmbientControls& controls, AmbientState& state,
    const PropertyRoutines& routines, RunExtent extent = RunExtent::Window);

} // namespace humidora
