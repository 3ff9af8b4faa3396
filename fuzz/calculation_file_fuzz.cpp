// Fuzz target of the calculation-file reader.
//
// Any bytes given as a file: reading never crashes, and ends in a calculation or a refusal with a reason.
// A calculation that was read can be written again and read back unchanged (state points, processes and
// properties too), and the main window takes its inputs: after restoring them, the window invariants hold
// and the input boxes show exactly the texts of the file. Every point is shown and every process run on
// the points as the "State Points" window does, which refuses or computes but never fails.
#include "ambient_invariants.h"
#include "calc/points/state_points_list.h"
#include "calc/windows/ambient_window.h"
#include "fuzz_check.h"
#include "io/calculation_file.h"

#include <QByteArray>
#include <cstdint>
#include <set>
#include <string>

namespace {

using namespace humidora;

std::string Utf8(const QString& text)
{
    return text.toUtf8().toStdString();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray json(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    (void)DuplicateJsonMember(json);
    const CalculationRead read = ParseCalculation(json);
    if (!read) {
        FUZZ_CHECK(!read.problem.isEmpty(), "a refusal without a reason");
        return 0;
    }
    const Calculation& calculation = *read.calculation;
    const AmbientInputs& inputs = calculation.inputs;
    FUZZ_CHECK(read.problem.isEmpty(), "inputs and a problem at once: " + Utf8(read.problem));
    const QString problem = CalculationProblem(calculation);
    FUZZ_CHECK(problem.isEmpty(), "a calculation read that cannot be written: " + Utf8(problem));

    const CalculationRead again = ParseCalculation(CalculationJson(calculation));
    FUZZ_CHECK(again && *again.calculation == calculation,
        "a written calculation reads back differently: " + Utf8(again.problem));

    StatePointsList list;
    list.SetPoints(calculation.points);
    list.SetProcesses(calculation.processes);
    for (const ProcessSpec& recipe : calculation.processes)
        (void)list.Evaluate(recipe);
    (void)list.Shown(inputs);
    (void)list.ShownProcesses(inputs);

    AmbientWindow window;
    window.Open();
    window.RestoreInputs(inputs);
    const std::set<std::string> typed
        = { inputs.temperature, inputs.pressure, inputs.altitude, inputs.humidity, "25", "101.325", "50" };
    const checks::Problems problems = checks::WindowProblems(window.controls(), typed);
    FUZZ_CHECK(problems.empty(), checks::Joined(problems));
    const AmbientInputs shown = window.CurrentInputs();
    FUZZ_CHECK(shown.temperature == inputs.temperature && shown.humidity == inputs.humidity
            && (inputs.altitude_given ? shown.altitude == inputs.altitude : shown.pressure == inputs.pressure)
            && shown.selections == inputs.selections && shown.system == inputs.system
            && shown.iapws == inputs.iapws && shown.humidity_option == inputs.humidity_option
            && shown.altitude_given == inputs.altitude_given,
        "the window does not show the inputs it was given");
    return 0;
}
