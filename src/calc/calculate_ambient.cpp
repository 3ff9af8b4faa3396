#include "calc/calculate_ambient.h"

#include "calc/ambient_phases.h"

namespace humidora {

void CalculateAmbient(AmbientControls& controls, AmbientState& state)
{
    CalculateAmbient(controls, state, PropertyRoutines {});
}

void CalculateAmbient(AmbientControls& controls, AmbientState& state, const PropertyRoutines& routines)
{
    using namespace ambient;
    Run run { controls, state, routines };

    run.method = ReadFormulation(controls); // 1
    WriteLimitLabels(controls);             // 2
    WriteFixedRangeEnds(controls);          // 3

    // 4: from here on every failure of the arithmetic ends the run in the out-of-range report. The phases
    // raise ArithmeticFailure from their checked steps; nothing is marked red for it.
    try {
        if (!ReadTemperature(run)              // 5
            || !ReadPressureOrAltitude(run)) { // 6
            GiveOutOfRangeReport(controls);
            return;
        }
        if (!WriteSaturationRanges(run)) // 7, with its own report
            return;
        if (!SolveHumidity(run)) { // 8
            GiveOutOfRangeReport(controls);
            return;
        }
        WriteOtherProperties(run);    // 9
        WriteCompositionListing(run); // 10
    } catch (const ArithmeticFailure&) {
        GiveOutOfRangeReport(controls);
    }
}

} // namespace humidora
