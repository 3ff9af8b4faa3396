// The "State Points" window without a toolkit: the user's named points with their flows, added from the
// main window, renamed, reordered and deleted, shown as a table in the main window's units, and copied
// as text a spreadsheet takes one value per cell.
#pragma once

#include "calc/point_table.h"
#include "calc/state_points.h"
#include "calc/uncertainty.h"

#include <string>
#include <vector>

namespace humidora {

/// A table of texts: a header row of "caption (unit)" and rows of values.
struct TextTable
{
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
};

/// One process as the table shows it, its parameters and loads line by line.
struct ProcessRow
{
    std::string kind;                 ///< its caption, e.g. "Cooling Coil"
    std::string from;                 ///< the entering points, "A, B"
    std::string to;                   ///< the leaving point
    std::vector<LoadLine> parameters; ///< as given, in the window's units
    std::vector<LoadLine> loads;      ///< the loads and water; empty when refused
    std::string refusal;              ///< why the process is refused now, else empty
};

class StatePointsList
{
public:
    const std::vector<StatePoint>& points() const { return points_; }
    void SetPoints(std::vector<StatePoint> points) { points_ = std::move(points); }

    /// Adds a point with the main window's inputs under the first default name (A, B, ...) not in use;
    /// returns its row.
    int Add(const AmbientInputs& inputs, std::optional<double> flow_kg_s = std::nullopt);
    /// Renames a point; a name is trimmed and must be unique and not empty (else nothing changes: false).
    bool Rename(int row, const std::string& name);
    void Remove(int row);
    /// Moves a point up (-1) or down (+1); false at an end.
    bool Move(int row, int offset);
    /// Sets the flow of a point from a text in `unit` (a volume taken at the point's own state); an empty
    /// text clears it. A text that is not a positive number, or a point the window refuses, changes
    /// nothing: false.
    bool SetFlowText(int row, const std::string& text, const FlowUnit& unit);

    /// Processes on the points, by name. Adding one runs it: when computed, its leaving point joins the
    /// points under recipe.result_name (or the first free default name) and the process is kept; when
    /// refused nothing changes and the reason is returned (else an empty text).
    const std::vector<ProcessSpec>& processes() const { return processes_; }
    void SetProcesses(std::vector<ProcessSpec> processes) { processes_ = std::move(processes); }
    std::string AddProcess(ProcessSpec recipe);
    void RemoveProcess(int row);
    /// A kept process evaluated on the points as they are now; a point renamed or deleted since refuses it.
    ProcessOutcome Evaluate(const ProcessSpec& recipe) const;
    /// The processes with the parameters given and their loads (or the refusal), in the units of the main
    /// window `window`; and the same as a table with one cell per column ("; " between the lines).
    std::vector<ProcessRow> ShownProcessRows(const AmbientInputs& window) const;
    TextTable ShownProcesses(const AmbientInputs& window) const;

    /// The flow unit the table shows for a main window in `system`.
    static FlowUnit TableFlowUnit(UnitSystem system);
    /// The points in the main window's units (`window` = its current inputs): header and one row each.
    TextTable Shown(const AmbientInputs& window) const;
    /// The view of one point in the main window's units.
    PointView ViewInWindowUnits(int row, const AmbientInputs& window) const;

private:
    std::string FreeName() const;

    std::vector<StatePoint> points_;
    std::vector<ProcessSpec> processes_;
};

/// Edit > Copy Results: the main window's whole state as one row, a column per quantity of kQuantities;
/// `captions` holds the window's caption of each quantity in that order. With an `uncertainty` that is
/// ok, a column "U <caption> (k = 2) (unit)" per quantity follows with its expanded uncertainty.
TextTable ResultsTable(const AmbientControls& controls, const std::vector<std::string>& captions,
    const UncertaintyResult* uncertainty = nullptr);

/// The rows `selected` of `table` (in table order) with its header, as tab-separated text and as HTML.
std::string TableText(const TextTable& table, const std::vector<int>& selected);
std::string TableHtml(const TextTable& table, const std::vector<int>& selected);

} // namespace humidora
