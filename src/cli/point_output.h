// What "process" and "points" share: the options that set the conditions of every point (pressure or
// altitude, formulation, unit system, flow unit), reading a point's POINT, and writing points, results and
// loads as a table or as JSON.
#pragma once

#include "calc/points/state_points.h"
#include "cli/cli_support.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QJsonObject>
#include <QString>
#include <optional>

namespace humidora::cli {

struct PointOptions : ConditionOptions
{
    PointOptions()
        : ConditionOptions("Barometric pressure of every point.", "P", "Z")
    {
    }

    QCommandLineOption pressure_unit { "pressure-unit", "Unit key of the pressure.", "U" };
    QCommandLineOption altitude_unit { "altitude-unit", "Unit key of the altitude.", "U" };
    QCommandLineOption flow_unit { "flow-unit",
        "Flow unit: \"kg/s\", \"kg/h\", \"lb/h\", \"lb/min\", \"m^3/s\", \"m^3/h\", \"L/s\" or \"cfm\".",
        "U" };
    QCommandLineOption json { "json", "Write one JSON object instead of a table." };

    void addTo(QCommandLineParser& parser) const
    {
        parser.addOptions(
            { pressure, pressure_unit, altitude, altitude_unit, method, system, flow_unit, json });
    }
};

/// The conditions shared by the points: the window inputs every point starts from, and the flow unit.
struct PointContext
{
    AmbientInputs base;
    FlowUnit flow_unit = kFlowUnits[0];
};

/// The value of a whole number text, read as the window reads its boxes; nothing when it is none.
std::optional<double> ReadNumber(const QString& text);

/// Reads the shared options into `context`; a usage error is reported and its status returned.
std::optional<int> ReadPointContext(const QCommandLineParser& parser, const PointOptions& options,
    const QString& command, PointContext& context);

/// Reads one POINT ("name=A,flow=2,temperature=30,relative-humidity=50") as point number `index` (which
/// names it when it has no name); a usage error is reported and its status returned.
std::optional<int> ParsePointSpec(
    const QString& recipe, const PointContext& context, int index, const QString& command, StatePoint& point);

/// A point as JSON: name, T_K, W, h_kJ_per_kg, flow_kg_per_s (null without a flow, and every number null
/// for a refused point) and the window's texts of every quantity. The numbers are the window's state, or
/// `exact` (a process's leaving state to full precision, of which the window holds the dry bulb in single
/// precision).
QJsonObject PointJson(std::string_view name, const PointView& view, std::optional<double> flow_kg_s,
    const std::optional<AirState>& exact = std::nullopt);

/// A process run on `points` (its entering points in order) as JSON: "points" (each as PointJson),
/// "result" (the leaving point, or null when refused), "loads" (those the process has, in kW, kg/h and a
/// ratio) and "refusal" (null, or the members of RefusalFigures).
QJsonObject ProcessJson(
    const ProcessSpec& recipe, const std::vector<StatePoint>& points, const ProcessOutcome& outcome);

/// Prints a table: the header, then one line per row, each column as wide as its widest text.
void PrintRows(const std::vector<std::string>& header, const std::vector<std::vector<std::string>>& rows);

/// Runs the process and prints the points, the leaving point and the loads (a table, or JSON). Returns
/// whether the process was computed; a refusal goes to stderr as well.
bool PrintProcess(const ProcessSpec& recipe, const std::vector<StatePoint>& points,
    const PointContext& context, bool json, const QString& command);

} // namespace humidora::cli
