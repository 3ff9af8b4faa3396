#include "calc/state_points_list.h"

#include "calc/number_text.h"
#include "calc/point_table.h"
#include "calc/process_parameters.h"

#include <algorithm>

namespace humidora {
namespace {

std::string Trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::vector<std::vector<std::string>> Selected(const TextTable& table, const std::vector<int>& selected)
{
    std::vector<int> rows = selected;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::vector<std::vector<std::string>> chosen;
    for (const int row : rows) {
        if (row >= 0 && row < static_cast<int>(table.rows.size()))
            chosen.push_back(table.rows[static_cast<std::size_t>(row)]);
    }
    return chosen;
}

} // namespace

std::string StatePointsList::FreeName() const
{
    for (int i = 0;; ++i) {
        std::string name = DefaultPointName(i);
        if (std::none_of(points_.begin(), points_.end(), [&](const StatePoint& p) { return p.name == name; }))
            return name;
    }
}

int StatePointsList::Add(const AmbientInputs& inputs, std::optional<double> flow_kg_s)
{
    points_.push_back({ FreeName(), inputs, flow_kg_s });
    return static_cast<int>(points_.size()) - 1;
}

ProcessOutcome StatePointsList::Evaluate(const ProcessSpec& recipe) const
{
    std::vector<StatePoint> entering;
    for (const std::string& name : recipe.points) {
        const auto point = std::find_if(
            points_.begin(), points_.end(), [&](const StatePoint& p) { return p.name == name; });
        if (point == points_.end()) {
            ProcessOutcome missing;
            missing.refusal = "There is no point " + name + ".";
            return missing;
        }
        entering.push_back(*point);
    }
    return RunProcess(recipe, entering);
}

std::string StatePointsList::AddProcess(ProcessSpec recipe)
{
    recipe.result_name = Trimmed(recipe.result_name);
    if (recipe.result_name.empty())
        recipe.result_name = FreeName();
    if (std::any_of(points_.begin(), points_.end(),
            [&](const StatePoint& p) { return p.name == recipe.result_name; }))
        return "There is a point " + recipe.result_name + " already.";
    const ProcessOutcome outcome = Evaluate(recipe);
    if (!outcome.refusal.empty())
        return outcome.refusal;
    const AmbientInputs& like = std::find_if(points_.begin(), points_.end(), [&](const StatePoint& p) {
        return p.name == recipe.points.front();
    })->inputs;
    points_.push_back({ recipe.result_name, InputsAtState(like, outcome.result.leaving.state),
        outcome.result.leaving.flow_kg_s });
    processes_.push_back(std::move(recipe));
    return {};
}

void StatePointsList::RemoveProcess(int row)
{
    if (row >= 0 && row < static_cast<int>(processes_.size()))
        processes_.erase(processes_.begin() + row);
}

std::vector<ProcessRow> StatePointsList::ShownProcessRows(const AmbientInputs& window) const
{
    static const AmbientControls lists;
    const std::string& temperature_unit
        = lists.Combo1.items.at(static_cast<std::size_t>(window.selections[0]));
    std::vector<ProcessRow> rows;
    for (const ProcessSpec& recipe : processes_) {
        const ProcessOutcome outcome = Evaluate(recipe);
        ProcessRow& row = rows.emplace_back();
        row.kind = ProcessKindCaption(recipe.kind);
        for (const std::string& name : recipe.points)
            row.from += (row.from.empty() ? "" : ", ") + name;
        row.to = recipe.result_name;
        row.parameters = ParameterLines(recipe, window);
        row.refusal = outcome.refusal;
        if (outcome.refusal.empty()) {
            // A coil given by its apparatus dew point and bypass factor shows them once, as parameters.
            ProcessResult result = outcome.result;
            if (recipe.adp_K) {
                result.apparatus_dew_point_K.reset();
                result.bypass_factor.reset();
            }
            row.loads = LoadLines(result, recipe.kind, window.system, temperature_unit);
        }
    }
    return rows;
}

TextTable StatePointsList::ShownProcesses(const AmbientInputs& window) const
{
    TextTable table { { "Process", "From", "To", "Parameters", "Loads" }, {} };
    const auto joined = [](const std::vector<LoadLine>& lines) {
        std::string text;
        for (const LoadLine& line : lines)
            text += (text.empty() ? "" : "; ") + LineText(line);
        return text;
    };
    for (const ProcessRow& row : ShownProcessRows(window)) {
        table.rows.push_back({ row.kind, row.from, row.to, joined(row.parameters),
            row.refusal.empty() ? joined(row.loads) : row.refusal });
    }
    return table;
}

bool StatePointsList::Rename(int row, const std::string& name)
{
    const std::string trimmed = Trimmed(name);
    if (row < 0 || row >= static_cast<int>(points_.size()) || trimmed.empty())
        return false;
    for (std::size_t i = 0; i < points_.size(); ++i) {
        if (static_cast<int>(i) != row && points_[i].name == trimmed)
            return false;
    }
    points_[static_cast<std::size_t>(row)].name = trimmed;
    return true;
}

void StatePointsList::Remove(int row)
{
    if (row >= 0 && row < static_cast<int>(points_.size()))
        points_.erase(points_.begin() + row);
}

bool StatePointsList::Move(int row, int offset)
{
    const int target = row + offset;
    const int size = static_cast<int>(points_.size());
    if (row < 0 || row >= size || target < 0 || target >= size)
        return false;
    std::swap(points_[static_cast<std::size_t>(row)], points_[static_cast<std::size_t>(target)]);
    return true;
}

bool StatePointsList::SetFlowText(int row, const std::string& text, const FlowUnit& unit)
{
    if (row < 0 || row >= static_cast<int>(points_.size()))
        return false;
    StatePoint& point = points_[static_cast<std::size_t>(row)];
    if (Trimmed(text).empty()) {
        point.flow_kg_s.reset();
        return true;
    }
    if (!IsNumberText(text) || !(NumberValue(text) > 0))
        return false;
    const PointView view = ViewPoint(point.inputs);
    if (!view.ok())
        return false;
    point.flow_kg_s = FlowFromUnit(NumberValue(text), unit, view.specific_volume);
    return true;
}

FlowUnit StatePointsList::TableFlowUnit(UnitSystem system)
{
    return *FindFlowUnit(DefaultFlowUnit(system));
}

PointView StatePointsList::ViewInWindowUnits(int row, const AmbientInputs& window) const
{
    const StatePoint& point = points_.at(static_cast<std::size_t>(row));
    PointView own = ViewPoint(point.inputs);
    if (!own.ok())
        return own;
    PointView shown = ViewPoint(InUnitsOf(own, window, point.inputs.iapws));
    // The volume flow of the table is the point's own; the re-typed state differs from it by round-off.
    shown.specific_volume = own.specific_volume;
    return shown;
}

TextTable StatePointsList::Shown(const AmbientInputs& window) const
{
    TextTable table;
    const FlowUnit flow = TableFlowUnit(window.system);
    // The header takes the units of the window's lists.
    AmbientWindow units;
    units.Open();
    units.RestoreInputs(window);
    const std::vector<std::string> column_units = PointColumnUnits(units.controls(), flow.key);
    for (std::size_t i = 0; i < kPointColumns.size(); ++i)
        table.header.push_back(Heading(kPointColumns[i].caption, column_units[i]));
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const PointView view = ViewInWindowUnits(static_cast<int>(i), window);
        table.rows.push_back(PointRowTexts(points_[i].name, view, points_[i].flow_kg_s, flow));
    }
    return table;
}

TextTable ResultsTable(const AmbientControls& controls, const std::vector<std::string>& captions,
    const UncertaintyResult* uncertainty)
{
    TextTable table;
    table.rows.emplace_back();
    for (std::size_t i = 0; i < kQuantities.size(); ++i) {
        const QuantityControls& quantity = kQuantities[i];
        table.header.push_back(Heading(i < captions.size() ? captions[i] : std::string(quantity.key),
            (controls.*(quantity.list)).text()));
        table.rows.back().push_back((controls.*(quantity.box)).text);
    }
    if (uncertainty == nullptr || !uncertainty->ok)
        return table;
    for (std::size_t i = 0; i < kQuantities.size(); ++i) {
        const QuantityControls& quantity = kQuantities[i];
        const QuantityUncertainty& q = uncertainty->quantities[i];
        table.header.push_back(Heading("U " + (i < captions.size() ? captions[i] : std::string(quantity.key))
                + " (k = " + PlainNumberText(uncertainty->k) + ")",
            (controls.*(quantity.list)).text()));
        table.rows.back().push_back(q.computed && IsNumberText((controls.*(quantity.box)).text)
                ? UncertaintyText(q.U)
                : std::string());
    }
    return table;
}

std::string TableText(const TextTable& table, const std::vector<int>& selected)
{
    return TabSeparated(table.header, Selected(table, selected));
}

std::string TableHtml(const TextTable& table, const std::vector<int>& selected)
{
    return HtmlTable(table.header, Selected(table, selected));
}

} // namespace humidora
