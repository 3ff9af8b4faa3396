#include "calc/points/state_points_list.h"

#include "calc/points/point_table.h"
#include "calc/points/process_parameters.h"
#include "calc/units/number_text.h"

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
        if (FindByName(name) < 0)
            return name;
    }
}

int StatePointsList::FindByName(const std::string& name) const
{
    const auto point
        = std::find_if(points_.begin(), points_.end(), [&](const StatePoint& p) { return p.name == name; });
    return point == points_.end() ? -1 : static_cast<int>(point - points_.begin());
}

int StatePointsList::RowOf(int id) const
{
    const auto found = std::find(ids_.begin(), ids_.end(), id);
    return id <= 0 || found == ids_.end() ? -1 : static_cast<int>(found - ids_.begin());
}

StatePointsList::Links StatePointsList::Resolve(const ProcessSpec& recipe) const
{
    Links links;
    for (const std::string& name : recipe.points) {
        const int row = FindByName(name);
        links.from.push_back(row < 0 ? 0 : IdOf(row));
    }
    const int to = FindByName(recipe.result_name);
    links.to = to < 0 ? 0 : IdOf(to);
    if (!recipe.exhaust_result_name.empty()) {
        const int exhaust_to = FindByName(recipe.exhaust_result_name);
        links.exhaust_to = exhaust_to < 0 ? 0 : IdOf(exhaust_to);
    }
    return links;
}

void StatePointsList::SetPoints(std::vector<StatePoint> points)
{
    points_ = std::move(points);
    ids_.clear();
    for (std::size_t i = 0; i < points_.size(); ++i)
        ids_.push_back(next_id_++);
    processes_.clear();
    links_.clear();
    Changed();
}

void StatePointsList::SetProcesses(std::vector<ProcessSpec> processes)
{
    processes_ = std::move(processes);
    links_.clear();
    for (const ProcessSpec& recipe : processes_)
        links_.push_back(Resolve(recipe));
    Changed();
}

int StatePointsList::Add(const AmbientInputs& inputs, std::optional<double> flow_kg_s)
{
    points_.push_back({ FreeName(), inputs, flow_kg_s });
    ids_.push_back(next_id_++);
    Changed();
    return static_cast<int>(points_.size()) - 1;
}

ProcessOutcome StatePointsList::Evaluate(const ProcessSpec& recipe) const
{
    std::vector<StatePoint> entering;
    for (const std::string& name : recipe.points) {
        const int row = FindByName(name);
        if (row < 0) {
            ProcessOutcome missing;
            missing.refusal = "There is no point " + name + ".";
            return missing;
        }
        entering.push_back(points_[static_cast<std::size_t>(row)]);
    }
    return RunProcess(recipe, entering);
}

ProcessOutcome StatePointsList::EvaluateKept(int row) const
{
    const ProcessSpec& recipe = processes_.at(static_cast<std::size_t>(row));
    const Links& links = links_.at(static_cast<std::size_t>(row));
    std::vector<StatePoint> entering;
    for (std::size_t i = 0; i < links.from.size(); ++i) {
        const int point = RowOf(links.from[i]);
        if (point < 0) {
            ProcessOutcome missing;
            missing.refusal = "There is no point " + recipe.points[i] + ".";
            return missing;
        }
        entering.push_back(points_[static_cast<std::size_t>(point)]);
    }
    return RunProcess(recipe, entering);
}

std::string StatePointsList::AddProcess(ProcessSpec recipe)
{
    recipe.result_name = Trimmed(recipe.result_name);
    if (recipe.result_name.empty())
        recipe.result_name = FreeName();
    const auto taken = [&](const std::string& name) { return FindByName(name) >= 0; };
    if (taken(recipe.result_name))
        return "There is a point " + recipe.result_name + " already.";
    const bool recovery = recipe.kind == ProcessKind::Recovery;
    if (recovery) {
        // The leaving exhaust takes the next free name after the leaving outdoor air.
        recipe.exhaust_result_name = Trimmed(recipe.exhaust_result_name);
        if (recipe.exhaust_result_name.empty()) {
            for (int i = 0; recipe.exhaust_result_name.empty(); ++i) {
                const std::string name = DefaultPointName(i);
                if (!taken(name) && name != recipe.result_name)
                    recipe.exhaust_result_name = name;
            }
        }
        if (taken(recipe.exhaust_result_name) || recipe.exhaust_result_name == recipe.result_name)
            return "There is a point " + recipe.exhaust_result_name + " already.";
    } else {
        recipe.exhaust_result_name.clear();
    }
    const ProcessOutcome outcome = Evaluate(recipe);
    if (!outcome.refusal.empty())
        return outcome.refusal;
    const AmbientInputs& like = points_[static_cast<std::size_t>(FindByName(recipe.points.front()))].inputs;
    points_.push_back({ recipe.result_name, InputsAtState(like, outcome.result.leaving.state),
        outcome.result.leaving.flow_kg_s });
    ids_.push_back(next_id_++);
    if (recovery && outcome.result.exhaust_leaving) {
        const AmbientInputs& exhaust_like
            = points_[static_cast<std::size_t>(FindByName(recipe.points.at(1)))].inputs;
        points_.push_back(
            { recipe.exhaust_result_name, InputsAtState(exhaust_like, outcome.result.exhaust_leaving->state),
                outcome.result.exhaust_leaving->flow_kg_s });
        ids_.push_back(next_id_++);
    }
    links_.push_back(Resolve(recipe));
    processes_.push_back(std::move(recipe));
    Changed();
    return {};
}

std::vector<int> StatePointsList::Downstream(int id) const
{
    std::vector<int> reached { id };
    for (std::size_t done = 0; done < reached.size(); ++done) {
        for (const Links& links : links_) {
            const bool from_reached
                = std::find(links.from.begin(), links.from.end(), reached[done]) != links.from.end();
            if (!from_reached)
                continue;
            for (const int to : { links.to, links.exhaust_to }) {
                if (to > 0 && std::find(reached.begin(), reached.end(), to) == reached.end())
                    reached.push_back(to);
            }
        }
    }
    return reached;
}

void StatePointsList::Rerun()
{
    // Without cycles each pass settles at least one more link of the longest chain.
    for (std::size_t pass = 0; pass <= processes_.size(); ++pass) {
        bool changed = false;
        for (std::size_t k = 0; k < processes_.size(); ++k) {
            const int to = RowOf(links_[k].to);
            if (to < 0)
                continue;
            const ProcessOutcome outcome = EvaluateKept(static_cast<int>(k));
            if (!outcome.refusal.empty())
                continue;
            // The leaving point takes the units of the first entering point; a recovery's leaving exhaust
            // those of the exhaust entering.
            const auto settle = [&](int row, int like_id, const Stream& stream) {
                StatePoint& leaving = points_[static_cast<std::size_t>(row)];
                const AmbientInputs inputs
                    = InputsAtState(points_[static_cast<std::size_t>(RowOf(like_id))].inputs, stream.state);
                if (inputs == leaving.inputs && stream.flow_kg_s == leaving.flow_kg_s)
                    return;
                leaving.inputs = inputs;
                leaving.flow_kg_s = stream.flow_kg_s;
                changed = true;
            };
            settle(to, links_[k].from.front(), outcome.result.leaving);
            const int exhaust = RowOf(links_[k].exhaust_to);
            if (exhaust >= 0 && outcome.result.exhaust_leaving && links_[k].from.size() > 1)
                settle(exhaust, links_[k].from[1], *outcome.result.exhaust_leaving);
        }
        if (!changed)
            break;
    }
}

std::string StatePointsList::EditProcess(int row, ProcessSpec recipe)
{
    if (row < 0 || row >= static_cast<int>(processes_.size()))
        return "There is no process " + std::to_string(row + 1) + ".";
    const int leaving_id = links_[static_cast<std::size_t>(row)].to;
    const int leaving_row = RowOf(leaving_id);
    if (leaving_row < 0)
        return "There is no point " + processes_[static_cast<std::size_t>(row)].result_name + ".";
    recipe.result_name = points_[static_cast<std::size_t>(leaving_row)].name;
    // A heat recovery keeps its leaving exhaust point as well; no other kind has one to give it.
    const int exhaust_id = links_[static_cast<std::size_t>(row)].exhaust_to;
    const bool was_recovery = processes_[static_cast<std::size_t>(row)].kind == ProcessKind::Recovery;
    if ((recipe.kind == ProcessKind::Recovery) != was_recovery)
        return "A heat recovery has two leaving points and no other process has: delete the process and add "
               "the new one.";
    std::vector<int> downstream = Downstream(leaving_id);
    if (was_recovery) {
        const int exhaust_row = RowOf(exhaust_id);
        if (exhaust_row < 0)
            return "There is no point " + processes_[static_cast<std::size_t>(row)].exhaust_result_name + ".";
        recipe.exhaust_result_name = points_[static_cast<std::size_t>(exhaust_row)].name;
        for (const int id : Downstream(exhaust_id))
            downstream.push_back(id);
    } else {
        recipe.exhaust_result_name.clear();
    }
    for (const std::string& name : recipe.points) {
        const int point = FindByName(name);
        if (point >= 0 && std::find(downstream.begin(), downstream.end(), IdOf(point)) != downstream.end())
            return "Point " + name + " depends on point " + recipe.result_name
                + ", which this process leaves at: a process cannot start from it.";
    }
    const ProcessOutcome outcome = Evaluate(recipe);
    if (!outcome.refusal.empty())
        return outcome.refusal;
    Links links = Resolve(recipe);
    links.to = leaving_id;
    links.exhaust_to = was_recovery ? exhaust_id : 0;
    links_[static_cast<std::size_t>(row)] = std::move(links);
    processes_[static_cast<std::size_t>(row)] = std::move(recipe);
    Rerun();
    Changed();
    return {};
}

void StatePointsList::RemoveProcess(int row)
{
    if (row < 0 || row >= static_cast<int>(processes_.size()))
        return;
    processes_.erase(processes_.begin() + row);
    links_.erase(links_.begin() + row);
    Changed();
}

std::vector<int> StatePointsList::ProcessesUsing(const std::vector<int>& rows) const
{
    std::vector<int> ids;
    for (const int row : rows) {
        if (row >= 0 && row < static_cast<int>(ids_.size()))
            ids.push_back(IdOf(row));
    }
    const auto used = [&](int id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); };
    std::vector<int> using_rows;
    for (std::size_t i = 0; i < links_.size(); ++i) {
        if (used(links_[i].to) || used(links_[i].exhaust_to)
            || std::any_of(links_[i].from.begin(), links_[i].from.end(), used))
            using_rows.push_back(static_cast<int>(i));
    }
    return using_rows;
}

void StatePointsList::RemoveRows(std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                   [&](int row) { return row < 0 || row >= static_cast<int>(points_.size()); }),
        rows.end());
    if (rows.empty())
        return;
    const std::vector<int> processes = ProcessesUsing(rows);
    for (auto it = processes.rbegin(); it != processes.rend(); ++it) {
        processes_.erase(processes_.begin() + *it);
        links_.erase(links_.begin() + *it);
    }
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        points_.erase(points_.begin() + *it);
        ids_.erase(ids_.begin() + *it);
    }
    Changed();
}

void StatePointsList::Remove(int row)
{
    RemoveRows({ row });
}

const std::vector<ProcessRow>& StatePointsList::ShownProcessRows(const AmbientInputs& window) const
{
    return ShownFor(window).processes;
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
    const int same = FindByName(trimmed);
    if (same >= 0 && same != row)
        return false;
    StatePoint& point = points_[static_cast<std::size_t>(row)];
    if (point.name == trimmed)
        return true;
    // The processes name the point by its new name: they refer to it, not to a name.
    const int id = IdOf(row);
    for (std::size_t i = 0; i < processes_.size(); ++i) {
        for (std::size_t k = 0; k < links_[i].from.size(); ++k) {
            if (links_[i].from[k] == id)
                processes_[i].points[k] = trimmed;
        }
        if (links_[i].to == id)
            processes_[i].result_name = trimmed;
        if (links_[i].exhaust_to == id)
            processes_[i].exhaust_result_name = trimmed;
    }
    point.name = trimmed;
    Changed();
    return true;
}

bool StatePointsList::Move(int row, int offset)
{
    const int target = row + offset;
    const int size = static_cast<int>(points_.size());
    if (row < 0 || row >= size || target < 0 || target >= size || offset == 0)
        return false;
    std::swap(points_[static_cast<std::size_t>(row)], points_[static_cast<std::size_t>(target)]);
    std::swap(ids_[static_cast<std::size_t>(row)], ids_[static_cast<std::size_t>(target)]);
    Changed();
    return true;
}

std::string StatePointsList::SetFlowText(int row, const std::string& text, const FlowDisplay& flow)
{
    if (row < 0 || row >= static_cast<int>(points_.size()))
        return "There is no point " + std::to_string(row + 1) + ".";
    StatePoint& point = points_[static_cast<std::size_t>(row)];
    if (Trimmed(text).empty()) {
        point.flow_kg_s.reset();
        Changed();
        return {};
    }
    const PointView view = ViewPoint(point.inputs);
    const FlowReading reading = ReadFlow(
        text, flow, view.ok() ? std::optional<double>(view.specific_volume) : std::nullopt, point.name);
    if (!reading.refusal.empty())
        return reading.refusal;
    point.flow_kg_s = reading.flow_kg_s;
    Changed();
    return {};
}

FlowUnit StatePointsList::TableFlowUnit(UnitSystem system)
{
    return *FindFlowUnit(DefaultFlowUnit(system));
}

PointView StatePointsList::ViewInWindowUnits(int row, const AmbientInputs& window) const
{
    const StatePoint& point = points_.at(static_cast<std::size_t>(row));
    ++views_computed_;
    PointView own = ViewPoint(point.inputs);
    if (!own.ok())
        return own;
    PointView shown = ViewPoint(InUnitsOf(own, window, point.inputs.iapws));
    // The volume flow of the table is the point's own; the re-typed state differs from it by round-off.
    shown.specific_volume = own.specific_volume;
    return shown;
}

const StatePointsList::ShownCache& StatePointsList::ShownFor(const AmbientInputs& window) const
{
    // The table depends on the window's units alone (its lists and unit system), not on the state typed.
    AmbientInputs key;
    key.selections = window.selections;
    key.system = window.system;
    if (shown_ && shown_->key == key)
        return *shown_;
    auto shown = std::make_shared<ShownCache>();
    shown->key = key;
    // The header takes the units of the window's lists.
    AmbientWindow units;
    units.Open();
    units.RestoreInputs(key);
    shown->column_units = PointColumnUnits(units.controls(), "");
    for (std::size_t i = 0; i < points_.size(); ++i)
        shown->views.push_back(ViewInWindowUnits(static_cast<int>(i), key));

    static const AmbientControls lists;
    const std::string& temperature_unit = lists.Combo1.items.at(static_cast<std::size_t>(key.selections[0]));
    for (std::size_t i = 0; i < processes_.size(); ++i) {
        const ProcessSpec& recipe = processes_[i];
        const ProcessOutcome outcome = EvaluateKept(static_cast<int>(i));
        ProcessRow& row = shown->processes.emplace_back();
        row.kind = ProcessKindCaption(recipe.kind);
        for (const std::string& name : recipe.points)
            row.from += (row.from.empty() ? "" : ", ") + name;
        row.to = recipe.result_name;
        if (!recipe.exhaust_result_name.empty())
            row.to += ", " + recipe.exhaust_result_name;
        row.parameters = ParameterLines(recipe, key);
        row.refusal = outcome.refusal;
        if (outcome.refusal.empty()) {
            // A coil given by its apparatus dew point and bypass factor shows them once, as parameters.
            ProcessResult result = outcome.result;
            if (recipe.adp_K) {
                result.apparatus_dew_point_K.reset();
                result.bypass_factor.reset();
            }
            row.loads = LoadLines(result, recipe.kind, key.system, temperature_unit);
        }
    }
    shown_ = std::move(shown);
    return *shown_;
}

const TextTable& StatePointsList::Shown(
    const AmbientInputs& window, const std::optional<FlowDisplay>& flow) const
{
    ShownFor(window);
    const FlowDisplay display
        = flow.value_or(FlowDisplay { TableFlowUnit(window.system), FlowBasis::Actual });
    if (table_ && table_->of == shown_ && table_->flow == display)
        return table_->points;
    auto made = std::make_shared<FlowTable>();
    made->of = shown_;
    made->flow = display;
    std::vector<std::string> column_units = shown_->column_units;
    column_units[kFlowColumn] = display.UnitText();
    for (std::size_t i = 0; i < kPointColumns.size(); ++i)
        made->points.header.push_back(Heading(kPointColumns[i].caption, column_units[i]));
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const PointView& view = shown_->views[i];
        std::vector<std::string>& row = made->points.rows.emplace_back(
            PointRowTexts(points_[i].name, view, std::nullopt, display.unit));
        if (const std::optional<double>& flow_kg_s = points_[i].flow_kg_s) {
            row[kFlowColumn] = view.ok()
                ? NumberText(FlowShown(*flow_kg_s, display, view.specific_volume), display.unit.decimals)
                : "Error";
        }
    }
    table_ = std::move(made);
    return table_->points;
}

bool StatePointsList::operator==(const StatePointsList& other) const
{
    return points_ == other.points_ && ids_ == other.ids_ && processes_ == other.processes_
        && links_ == other.links_ && next_id_ == other.next_id_;
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
