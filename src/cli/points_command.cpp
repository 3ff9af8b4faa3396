// humidora-cli points: every state point and process of a calculation file, evaluated as the "State
// Points" window and humidora-cli process evaluate them, without a window.
#include "calc/document/calculation_document.h"
#include "calc/points/process_parameters.h"
#include "calc/points/state_points_list.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/point_output.h"
#include "io/calculation_file.h"

#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>

namespace humidora::cli {
namespace {

const char* const kDescription
    = "\nEvaluates every state point and every process of a saved calculation (FILE, .humidora). The\n"
      "table shows the points and the processes as the State Points window does, in the units of the\n"
      "calculation's main window. With --json: {\"points\": [P...], \"processes\": [{\"kind\", \"points\":\n"
      "[P...], \"result\": P, \"loads\": {...}, \"refusal\": null}...]}, each P and each process as\n"
      "\"process --json\" writes them. Exit status 1 when a point or a process is refused (the reasons\n"
      "go to stderr), 3 when FILE cannot be read or is not a valid calculation.";

/// The points a process names, in its order, as far as the list holds them.
std::vector<StatePoint> EnteringPoints(const ProcessSpec& recipe, const StatePointsList& list)
{
    std::vector<StatePoint> entering;
    for (const std::string& name : recipe.points) {
        const auto point = std::find_if(
            list.points().begin(), list.points().end(), [&](const StatePoint& p) { return p.name == name; });
        if (point != list.points().end())
            entering.push_back(*point);
    }
    return entering;
}

} // namespace

int RunPoints(const QStringList& arguments)
{
    const QString command = arguments.value(0);
    QCommandLineParser parser;
    const QCommandLineOption from("from", "The calculation file (.humidora) to evaluate.", "FILE");
    const QCommandLineOption json("json", "Write one JSON object instead of tables.");
    parser.addOptions({ from, json });
    if (const std::optional<int> status
        = ParseArguments(parser, arguments, "points --from FILE [--json]", kDescription))
        return *status;
    if (!parser.positionalArguments().isEmpty()) {
        PrintError(command + ": unexpected argument \"" + parser.positionalArguments().first() + "\"\nRun \""
            + command + " --help\" for the options.");
        return kUsageError;
    }
    if (!parser.isSet(from)) {
        PrintError(command + ": --from FILE is missing\nRun \"" + command + " --help\" for the options.");
        return kUsageError;
    }
    const CalculationRead read = ReadCalculationFile(parser.value(from));
    if (!read) {
        PrintError(command + ": " + read.problem);
        return kFileError;
    }
    const Calculation& calculation = *read.calculation;
    // The file as the program holds it: the processes refer to the points they name.
    CalculationDocument document;
    document.Load(calculation);
    const StatePointsList& list = document.points();

    QStringList refusals;
    std::vector<PointView> views;
    for (const StatePoint& point : calculation.points) {
        views.push_back(ViewPoint(point.inputs));
        if (!views.back().ok()) {
            refusals << FromModel(views.back().why
                    ? PointRefusal(point.name, *views.back().why).sentence
                    : "Point " + point.name + " is refused: " + views.back().refusal);
        }
    }
    std::vector<ProcessOutcome> outcomes;
    for (std::size_t i = 0; i < calculation.processes.size(); ++i) {
        const ProcessSpec& recipe = calculation.processes[i];
        outcomes.push_back(list.EvaluateKept(static_cast<int>(i)));
        if (!outcomes.back().refusal.empty()) {
            refusals << FromModel(ProcessName(recipe)) + ": " + FromModel(outcomes.back().refusal);
        }
    }

    if (parser.isSet(json)) {
        QJsonArray points;
        for (std::size_t i = 0; i < views.size(); ++i) {
            const StatePoint& point = calculation.points[i];
            QJsonObject object = PointJson(point.name, views[i], point.flow_kg_s);
            // A refused point says why, with the members of a process's refusal.
            if (views[i].why) {
                QJsonObject refusal;
                for (const auto& [key, text] : RefusalFigures(PointRefusal(point.name, *views[i].why), {}))
                    refusal[FromModel(std::string(key))] = FromModel(text);
                object["refusal"] = refusal;
            }
            points.append(object);
        }
        QJsonArray processes;
        for (std::size_t i = 0; i < outcomes.size(); ++i) {
            const ProcessSpec& recipe = calculation.processes[i];
            QJsonObject process = ProcessJson(recipe, EnteringPoints(recipe, list), outcomes[i]);
            process["kind"] = FromModel(std::string(ProcessKindKey(recipe.kind)));
            processes.append(process);
        }
        PrintJson({ { "points", points }, { "processes", processes } });
    } else {
        const TextTable shown = list.Shown(calculation.inputs);
        PrintRows(shown.header, shown.rows);
        if (!calculation.processes.empty()) {
            PrintOut(QString());
            const TextTable shown_processes = list.ShownProcesses(calculation.inputs);
            PrintRows(shown_processes.header, shown_processes.rows);
        }
    }
    for (const QString& refusal : refusals)
        PrintError(command + ": " + refusal);
    return refusals.isEmpty() ? kSuccess : kRefused;
}

} // namespace humidora::cli
