// The live calculation: the one object that owns what a calculation file holds (the main window's inputs
// and choices, the state points with their identities and the processes on them, the properties, the
// measurement uncertainty and the chart's data) and through which every view reads and changes it. Each
// change is one named step; a listener hears every change, and a recorder receives the whole state before
// and after each step, which is all an undo history needs (documents are small). No toolkit.
#pragma once

#include "calc/document/calculation.h"
#include "calc/document/chart_data.h"
#include "calc/document/project_properties.h"
#include "calc/points/state_points_list.h"
#include "calc/windows/ambient_window.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace humidora {

/// Everything the user can change, copied whole: the main window as it shows itself (every text, colour,
/// range label, listing line and check mark), the points and processes, the properties and the chart data.
struct DocumentState
{
    AmbientWindow window;
    StatePointsList points;
    ProjectProperties properties;
    ChartData chart_data;
};

/// True when `a` and `b` show the same: the window's controls, inputs and uncertainty settings, the
/// points with their identities, the processes, the properties and the chart data.
bool SameState(const DocumentState& a, const DocumentState& b);

/// A change as one step of a history: its name ("Delete Point MA"), and a key that makes consecutive
/// steps with the same non-zero key one step (the keystrokes of one box).
struct DocumentStep
{
    std::string name;
    int merge = 0;
};

class CalculationDocument
{
public:
    /// The main window at its start-up, no points, no properties, no chart data.
    CalculationDocument();

    const DocumentState& state() const { return state_; }
    const AmbientWindow& window() const { return state_.window; }
    const StatePointsList& points() const { return state_.points; }
    const ProjectProperties& properties() const { return state_.properties; }
    const ChartData& chartData() const { return state_.chart_data; }
    /// What a calculation file holds of the document: the processes name their points.
    Calculation ToCalculation() const;

    /// Called after every change, load and restore (the views show the document again).
    using Listener = std::function<void()>;
    /// Adds a listener; the number returned removes it again.
    int Listen(Listener listener);
    void StopListening(int number);
    /// Receives every step that changed something, with the whole state before and after it. One
    /// recorder; an empty function removes it (nothing is copied then).
    using Recorder
        = std::function<void(const DocumentStep& step, DocumentState before, const DocumentState& after)>;
    void SetRecorder(Recorder recorder);

    /// Option > "Convert Values When Units Change": a preference of the user's, not part of the
    /// calculation (no step, kept through undo, redo and loading). When on, a unit list or unit system
    /// change rewrites the typed input so that the state stays the same, in the same one step.
    void SetConvertOnUnitChange(bool convert) { convert_on_unit_change_ = convert; }
    bool convertOnUnitChange() const { return convert_on_unit_change_; }

    // ---- The main window: each is the window's own event, one step ----
    void EditText(int box, const std::string& text);
    void SelectUnit(int list, int index);
    void ClickOption(int option);
    void ChooseMetric();
    void ChooseBritish();
    void ChooseIapws();
    void ChooseHylandWexler();
    void SetUncertainty(const UncertaintySettings& settings);
    /// Types `inputs` into the window (a state picked on the chart), as step `name`.
    void SetInputs(const AmbientInputs& inputs, const std::string& name);

    // ---- Points and processes ----
    /// Adds the window's state as a point; returns its row.
    int AddPoint();
    /// False (and no change) for an empty name or one another point has.
    bool RenamePoint(int row, const std::string& name);
    /// The point's flow from a text in the table's flow unit; false (and no change) when refused.
    bool SetPointFlow(int row, const std::string& text);
    /// The point's flow from a text in `flow`'s unit and basis; the refusal (the point, the value and the
    /// limit), else empty.
    std::string SetPointFlow(int row, const std::string& text, const FlowDisplay& flow);
    bool MovePoint(int row, int offset);
    /// Deletes the points of `rows` with every process that uses any of them.
    void DeletePoints(const std::vector<int>& rows);
    /// The question to ask before DeletePoints(rows) when processes use the points, else empty:
    /// "Delete point MA and the 2 processes that use it?".
    std::string DeleteQuestion(const std::vector<int>& rows) const;
    /// Types point `row`'s inputs into the window, as they were when it was added.
    void LoadPoint(int row);
    /// Adds a process and its leaving point; the refusal, else empty (and nothing changes when refused).
    std::string AddProcess(const ProcessSpec& recipe);
    /// Gives process `row` new points and parameters (its leaving point and the points downstream follow);
    /// the refusal, else empty (and nothing changes when refused).
    std::string EditProcess(int row, const ProcessSpec& recipe);
    void DeleteProcess(int row);

    // ---- The rest of the file ----
    void SetProperties(const ProjectProperties& properties);
    void SetChartData(const ChartData& data);

    /// Replaces the whole document by a calculation read from a file: not a step (a history starts anew).
    void Load(const Calculation& calculation);
    /// Brings back a state recorded before (undo, redo): not a step.
    void Restore(const DocumentState& state);
    /// The window recalculated from its inputs, so that it shows what reopening its file shows (after an
    /// option was clicked without typing, the boxes still show the state before). Not a step: the inputs
    /// are the same.
    void Recalculate();

private:
    /// Runs `change` on the state as step `step`; records it when the state changed; tells the listeners.
    template <class Change> auto Apply(const DocumentStep& step, Change&& change);
    void Notify();
    std::string PointName(int row) const;

    DocumentState state_;
    std::vector<std::pair<int, Listener>> listeners_;
    int next_listener_ = 1;
    Recorder recorder_;
    bool convert_on_unit_change_ = false;
};

/// The name of the step of typing in value box `box` ("Typing in Dry Bulb Temperature"), choosing option
/// `option` and a unit in list `list`.
std::string TypingStepName(int box);
std::string OptionStepName(int option);
std::string UnitStepName(int list);

} // namespace humidora
