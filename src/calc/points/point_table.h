// The table of state points and the loads of a process as texts: what the "State Points" window, the
// command line, the clipboard and the report show, in the main window's units and number formats. Every
// state text is the window's own text for that state; flows, loads and water follow the unit system.
#pragma once

#include "calc/points/state_points.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace humidora {

/// A column of the points table: its caption and the key of the window's quantity (see kQuantities) whose
/// text it shows; empty for the point's name and for its flow.
struct PointColumn
{
    std::string_view caption;
    std::string_view quantity;
};

inline constexpr std::array<PointColumn, 9> kPointColumns = { {
    { "Point", "" },
    { "Dry Bulb Temperature", "temperature" },
    { "Humidity Ratio", "humidity_ratio" },
    { "Relative Humidity", "relative_humidity" },
    { "Wet Bulb Temperature", "wet_bulb" },
    { "Dew Point Temperature", "dew_point" },
    { "Specific Enthalpy", "enthalpy" },
    { "Specific Volume", "specific_volume" },
    { "Dry-Air Flow", "" },
} };
inline constexpr std::size_t kFlowColumn = kPointColumns.size() - 1;

/// The unit of every column ("" for the name) as the window `controls` and the flow unit name them.
std::vector<std::string> PointColumnUnits(const AmbientControls& controls, std::string_view flow_unit);

/// The texts of one row: the name, the window's texts of the state, and the flow in `flow_unit` ("" when
/// the point has none). The dry bulb and a typed humidity ratio, which the window shows as typed (a
/// process's leaving state is typed to the last digit), are shown with the decimals the window gives
/// computed temperatures and humidity ratios. A refused point shows the window's "Error" texts.
std::vector<std::string> PointRowTexts(
    std::string_view name, const PointView& view, std::optional<double> flow_kg_s, const FlowUnit& flow_unit);

/// A flow (kg/s of dry air) in a flow unit, a volume unit at the specific volume v (m^3/kg dry air).
double FlowInUnit(double flow_kg_s, const FlowUnit& unit, double specific_volume);
/// The dry-air mass flow (kg/s) of a value in a flow unit at the specific volume v.
double FlowFromUnit(double value, const FlowUnit& unit, double specific_volume);

/// One line of a process's loads: caption, text and unit ("Total Load", "12.345", "kW").
struct LoadLine
{
    std::string caption;
    std::string text;
    std::string unit;
};

/// "caption text unit" ("Total Load 12.345 kW"; no unit for a ratio).
std::string LineText(const LoadLine& line);

/// The loads, water, ADP, bypass factor and fog of a result, in the units of `system` (Metric: kW, kg/h;
/// British: btu/h and tons, lb/h); temperatures in `temperature_unit` (a Combo1 item).
std::vector<LoadLine> LoadLines(
    const ProcessResult& result, ProcessKind kind, UnitSystem system, std::string_view temperature_unit);

/// The parameters a process was given, in the units of the window inputs `units` ("Apparatus Dew Point",
/// "10", "C"), in the order of kProcessParameters; a steam humidifier shows the steam temperature it
/// used also when none was given.
std::vector<LoadLine> ParameterLines(const ProcessSpec& recipe, const AmbientInputs& units);

/// Tab-separated text of a table: a header row of "caption (unit)" (only the caption where the unit is
/// empty), then one line per row; and the same as an HTML table. A spreadsheet pastes either one value per
/// cell.
std::string TabSeparated(
    const std::vector<std::string>& header, const std::vector<std::vector<std::string>>& rows);
std::string HtmlTable(
    const std::vector<std::string>& header, const std::vector<std::vector<std::string>>& rows);

/// One named figure of a process's answer as the command line's JSON and the Python module give it.
template <class Value> struct Figure
{
    std::string_view key;
    Value value;
};

/// A point of a process's answer: its name, its state (the window's, or a process's leaving state to
/// full precision), its flow and the window's text of every quantity (by key). A refused point has no
/// state.
struct PointFigures
{
    std::string name;
    std::optional<AirState> state;
    double enthalpy_kJ_kg = 0;
    std::optional<double> flow_kg_s;
    std::vector<Figure<std::string>> texts;
};
PointFigures FiguresOf(std::string_view name, const PointView& view, std::optional<double> flow_kg_s,
    const std::optional<AirState>& exact = std::nullopt);

/// The loads a process has, in kW, kg/h and a ratio: "total_kW", "sensible_kW", "latent_kW",
/// "condensate_enthalpy_kW", "sensible_heat_ratio", "water_kg_per_h", "steam_energy_kW"; and what it
/// finds beside them: "apparatus_dew_point_K" (a coil, supply air for a cooling load),
/// "supply_volume_m3_per_s", "outdoor_condensate_kg_per_h" and "exhaust_condensate_kg_per_h" (heat
/// recovery).
std::vector<Figure<double>> LoadFigures(const ProcessResult& result);

/// The members of a process's refusal: those of the window's refusal ("quantity", "text", "reason",
/// "minimum", "maximum", "unit", "message") and "point" (the refused entering point) or "process" (the
/// process, `process` naming it).
std::vector<Figure<std::string>> RefusalFigures(const ProcessRefusal& refusal, const std::string& process);

/// A process as the command line names it: "coil to C".
std::string ProcessName(const ProcessSpec& recipe);

/// "caption (unit)", or the caption alone for an empty unit.
std::string Heading(std::string_view caption, std::string_view unit);

} // namespace humidora
