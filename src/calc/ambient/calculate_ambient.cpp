#include "calc/ambient/calculate_ambient.h"

#include "calc/ambient/ambient_phases.h"

namespace humidora {

std::optional<Refusal> CalculateAmbient(AmbientControls& controls, AmbientState& state)
{
    return CalculateAmbient(controls, state, PropertyRoutines {});
}

std::optional<Refusal> CalculateAmbient(
    AmbientControls& controls, AmbientState& state, const PropertyRoutines& routines, RunExtent extent)
{
    using namespace ambient;
    Run run { controls, state, routines, extent, kIapws, 0, std::nullopt };

    run.method = ReadFormulation(controls); // 1
    WriteLimitLabels(controls);             // 2
    WriteFixedRangeEnds(controls);          // 3

    // 4: from here on every failure of the arithmetic ends the run in the out-of-range report. The phases
    // raise ArithmeticFailure from their checked steps; nothing is marked red for it.
    try {
        if (!ReadTemperature(run)              // 5
            || !ReadPressureOrAltitude(run)) { // 6
            GiveOutOfRangeReport(controls);
            return run.refusal;
        }
        if (!WriteSaturationRanges(run)) // 7, with its own report
            return run.refusal;
        if (!SolveHumidity(run)) { // 8
            GiveOutOfRangeReport(controls);
            return run.refusal ? run.refusal : Refusal {};
        }
        WriteOtherProperties(run);    // 9
        WriteCompositionListing(run); // 10
    } catch (const ArithmeticFailure&) {
        GiveOutOfRangeReport(controls);
        return Refusal {};
    }
    return std::nullopt;
}

} // namespace humidora
