// The "State Points" window without a toolkit: the user's named points with their flows, added from the
// main window, renamed, reordered and deleted, shown as a table in the main window's units, and copied
// as text a spreadsheet takes one value per cell.
#pragma once

#include "calc/ambient/uncertainty.h"
#include "calc/points/flow_display.h"
#include "calc/points/point_table.h"
#include "calc/points/state_points.h"

#include <memory>
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

/// The user's state points and the processes on them. Each point has an identity (a positive number given
/// once and never again within the list); its name is a label the user may change. A kept process refers to
/// its points by identity: renaming a point keeps its processes, deleting it deletes them with it. The
/// names in processes() follow the points' names, so that a file or a command line may name them.
class StatePointsList
{
public:
    const std::vector<StatePoint>& points() const { return points_; }
    /// Replaces the points (each gets a new identity); the processes go with the old points.
    void SetPoints(std::vector<StatePoint> points);

    /// The identity of the point in `row`, and the row of the point with identity `id` (-1 when none).
    int IdOf(int row) const { return ids_.at(static_cast<std::size_t>(row)); }
    int RowOf(int id) const;
    const std::vector<int>& ids() const { return ids_; }

    /// Adds a point with the main window's inputs under the first default name (A, B, ...) not in use;
    /// returns its row.
    int Add(const AmbientInputs& inputs, std::optional<double> flow_kg_s = std::nullopt);
    /// Renames a point; a name is trimmed and must be unique and not empty (else nothing changes: false).
    /// The processes on the point keep it.
    bool Rename(int row, const std::string& name);
    /// Deletes the point and every process that enters or leaves at it.
    void Remove(int row);
    /// Deletes the points of `rows` and every process that uses any of them.
    void RemoveRows(std::vector<int> rows);
    /// The rows of the processes that enter or leave at any point of `rows`.
    std::vector<int> ProcessesUsing(const std::vector<int>& rows) const;
    /// Moves a point up (-1) or down (+1); false at an end.
    bool Move(int row, int offset);
    /// Sets the flow of a point from a text in `flow`'s unit (a volume taken at the point's own state or as
    /// standard air); an empty text clears it. A text that is not a positive number, or an actual volume
    /// of a point the window refuses, changes nothing: the reason is returned (else an empty text).
    std::string SetFlowText(int row, const std::string& text, const FlowDisplay& flow);

    /// Processes on the points. Adding one runs it: when computed, its leaving point joins the points under
    /// recipe.result_name (or the first free default name) and the process is kept; when refused nothing
    /// changes and the reason is returned (else an empty text).
    const std::vector<ProcessSpec>& processes() const { return processes_; }
    /// Replaces the processes; each refers to the points its names name now (a name no point has stays
    /// unresolved: the process is refused).
    void SetProcesses(std::vector<ProcessSpec> processes);
    std::string AddProcess(ProcessSpec recipe);
    /// Gives process `row` new points and parameters: its leaving point keeps its identity and name and
    /// takes the new leaving state, and every process downstream of it is run again, so each later point
    /// shows what its process gives now. A process may not start from a point that depends on its own
    /// leaving point. When refused nothing changes and the reason is returned (else an empty text).
    std::string EditProcess(int row, ProcessSpec recipe);
    void RemoveProcess(int row);
    /// The identities of the entering points of process `row` (0 for a name no point had) and of its leaving
    /// point.
    const std::vector<int>& EnteringIds(int row) const
    {
        return links_.at(static_cast<std::size_t>(row)).from;
    }
    int LeavingId(int row) const { return links_.at(static_cast<std::size_t>(row)).to; }
    /// The identity of the leaving exhaust point of a heat recovery (0 for any other kind).
    int ExhaustLeavingId(int row) const { return links_.at(static_cast<std::size_t>(row)).exhaust_to; }
    /// A process evaluated on the points as they are now, its points found by name.
    ProcessOutcome Evaluate(const ProcessSpec& recipe) const;
    /// Kept process `row` evaluated on its points, found by identity.
    ProcessOutcome EvaluateKept(int row) const;
    /// The processes with the parameters given and their loads (or the refusal), in the units of the main
    /// window `window`; and the same as a table with one cell per column ("; " between the lines). Computed
    /// once per change of the points, processes or the window's units.
    const std::vector<ProcessRow>& ShownProcessRows(const AmbientInputs& window) const;
    TextTable ShownProcesses(const AmbientInputs& window) const;

    /// The flow unit the table shows for a main window in `system` unless another is chosen: kg/s, or
    /// lb/h in British.
    static FlowUnit TableFlowUnit(UnitSystem system);
    /// The points in the main window's units (`window` = its current inputs): header and one row each,
    /// the flows in `flow` (by default the system's own unit). The points' views are computed once per
    /// change of the points or the window's units and kept; another flow unit only writes the texts again.
    const TextTable& Shown(
        const AmbientInputs& window, const std::optional<FlowDisplay>& flow = std::nullopt) const;
    /// The view of one point in the main window's units.
    PointView ViewInWindowUnits(int row, const AmbientInputs& window) const;
    /// How many times the points' views were computed: a measure of the cache's work.
    long viewsComputed() const { return views_computed_; }

    /// The same points, identities, processes and references (the kept views do not count).
    bool operator==(const StatePointsList& other) const;

    /// The first default name (A, B, ...) no point has: the name of the next point added.
    std::string FreeName() const;

private:
    struct Links
    {
        std::vector<int> from;
        int to = 0;
        int exhaust_to = 0; ///< a heat recovery's leaving exhaust point
        bool operator==(const Links&) const = default;
    };
    /// What the table shows for the window units of `key`, computed when missing.
    struct ShownCache
    {
        AmbientInputs key;
        std::vector<std::string> column_units; ///< the flow column's aside
        std::vector<PointView> views;
        std::vector<ProcessRow> processes;
    };
    /// The points' table of a ShownCache with its flows in one display.
    struct FlowTable
    {
        std::shared_ptr<const ShownCache> of;
        FlowDisplay flow;
        TextTable points;
    };

    int FindByName(const std::string& name) const;
    Links Resolve(const ProcessSpec& recipe) const;
    void Changed()
    {
        shown_.reset();
        table_.reset();
    }
    /// The identities of the points that depend on point `id` through processes (`id` itself included).
    std::vector<int> Downstream(int id) const;
    /// Runs the processes again until every leaving point holds its process's leaving state.
    void Rerun();
    const ShownCache& ShownFor(const AmbientInputs& window) const;

    std::vector<StatePoint> points_;
    std::vector<int> ids_;
    std::vector<ProcessSpec> processes_;
    std::vector<Links> links_;
    int next_id_ = 1;
    mutable std::shared_ptr<const ShownCache> shown_; ///< shared by copies: it never changes once made
    mutable std::shared_ptr<const FlowTable> table_;  ///< likewise
    mutable long views_computed_ = 0;
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
