// Fuzz target of the calculation-file reader.
//
// Any bytes given as a file: reading never crashes, and ends in inputs or a refusal with a reason. Inputs
// that were read can be written again and read back unchanged, and the main window takes them: after
// restoring them, the window invariants hold and the input boxes show exactly the texts of the file.
#include "ambient_invariants.h"
#include "calc/ambient_window.h"
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
    const AmbientInputs& inputs = *read.inputs;
    FUZZ_CHECK(read.problem.isEmpty(), "inputs and a problem at once: " + Utf8(read.problem));
    const QString problem = InputsProblem(inputs);
    FUZZ_CHECK(problem.isEmpty(), "inputs read that cannot be written: " + Utf8(problem));

    const CalculationRead again = ParseCalculation(CalculationJson(inputs));
    FUZZ_CHECK(
        again && *again.inputs == inputs, "written inputs read back differently: " + Utf8(again.problem));

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
