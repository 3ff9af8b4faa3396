#include "calc/document/calculation_document.h"

#include "calc/points/process_parameters.h"
#include "calc/units/quantities.h"

#include <algorithm>
#include <optional>
#include <type_traits>

namespace humidora {
namespace {

/// The long caption of the quantity whose control `number_of` numbers `number`.
std::string CaptionOf(int (Quantity::*number_of)() const, int number)
{
    for (const Quantity& quantity : kQuantities) {
        if ((quantity.*number_of)() == number)
            return std::string(quantity.long_caption);
    }
    return "Box " + std::to_string(number);
}

/// "A", "A and B", "A, B and C".
std::string NameList(const std::vector<std::string>& names)
{
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return text;
}

/// The rows of `rows` that are rows of `points`, ascending, once each.
std::vector<int> ValidRows(std::vector<int> rows, const StatePointsList& points)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                   [&](int row) { return row < 0 || row >= static_cast<int>(points.points().size()); }),
        rows.end());
    return rows;
}

} // namespace

bool SameState(const DocumentState& a, const DocumentState& b)
{
    return a.window.controls() == b.window.controls() && a.window.CurrentInputs() == b.window.CurrentInputs()
        && a.window.uncertainty() == b.window.uncertainty() && a.points == b.points
        && a.properties == b.properties && a.chart_data == b.chart_data;
}

std::string TypingStepName(int box)
{
    return "Typing in " + CaptionOf(&Quantity::boxNumber, box);
}

std::string OptionStepName(int option)
{
    return "Choose " + CaptionOf(&Quantity::optionNumber, option);
}

std::string UnitStepName(int list)
{
    return "Unit of " + CaptionOf(&Quantity::listNumber, list);
}

CalculationDocument::CalculationDocument()
{
    state_.window.Open();
}

Calculation CalculationDocument::ToCalculation() const
{
    Calculation calculation(state_.window.CurrentInputs());
    calculation.points = state_.points.points();
    calculation.processes = state_.points.processes();
    calculation.properties = state_.properties;
    calculation.uncertainty = state_.window.uncertainty();
    calculation.chart_data = state_.chart_data;
    return calculation;
}

int CalculationDocument::Listen(Listener listener)
{
    listeners_.emplace_back(next_listener_, std::move(listener));
    return next_listener_++;
}

void CalculationDocument::StopListening(int number)
{
    std::erase_if(listeners_, [&](const auto& entry) { return entry.first == number; });
}

void CalculationDocument::SetRecorder(Recorder recorder)
{
    recorder_ = std::move(recorder);
}

void CalculationDocument::Notify()
{
    // A listener may add or remove listeners: the ones present now are told.
    const std::vector<std::pair<int, Listener>> listeners = listeners_;
    for (const auto& [number, listener] : listeners)
        listener();
}

template <class Change> auto CalculationDocument::Apply(const DocumentStep& step, Change&& change)
{
    // Nothing is copied while no history records the steps (the command line).
    std::optional<DocumentState> before;
    if (recorder_)
        before = state_;
    const auto record = [&] {
        if (before && !SameState(*before, state_))
            recorder_(step, std::move(*before), state_);
        Notify();
    };
    if constexpr (std::is_void_v<decltype(change())>) {
        change();
        record();
    } else {
        auto result = change();
        record();
        return result;
    }
}

std::string CalculationDocument::PointName(int row) const
{
    const std::vector<StatePoint>& points = state_.points.points();
    return row >= 0 && row < static_cast<int>(points.size()) ? points[static_cast<std::size_t>(row)].name
                                                             : std::string();
}

void CalculationDocument::EditText(int box, const std::string& text)
{
    Apply({ TypingStepName(box), box }, [&] { state_.window.EditText(box, text); });
}

void CalculationDocument::SelectUnit(int list, int index)
{
    Apply({ UnitStepName(list) }, [&] {
        state_.window.SetConvertOnUnitChange(convert_on_unit_change_);
        state_.window.SelectUnit(list, index);
    });
}

void CalculationDocument::ClickOption(int option)
{
    Apply({ OptionStepName(option) }, [&] { state_.window.ClickOption(option); });
}

void CalculationDocument::ChooseMetric()
{
    Apply({ "Metric Units" }, [&] {
        state_.window.SetConvertOnUnitChange(convert_on_unit_change_);
        state_.window.ChooseMetric();
    });
}

void CalculationDocument::ChooseBritish()
{
    Apply({ "British Units" }, [&] {
        state_.window.SetConvertOnUnitChange(convert_on_unit_change_);
        state_.window.ChooseBritish();
    });
}

void CalculationDocument::ChooseIapws()
{
    Apply({ "IAPWS Formulation" }, [&] { state_.window.ChooseIapws(); });
}

void CalculationDocument::ChooseHylandWexler()
{
    Apply({ "Hyland-Wexler Formulation" }, [&] { state_.window.ChooseHylandWexler(); });
}

void CalculationDocument::SetUncertainty(const UncertaintySettings& settings)
{
    Apply({ "Measurement Uncertainty" }, [&] { state_.window.SetUncertainty(settings); });
}

void CalculationDocument::SetInputs(const AmbientInputs& inputs, const std::string& name)
{
    Apply({ name }, [&] { state_.window.RestoreInputs(inputs); });
}

int CalculationDocument::AddPoint()
{
    return Apply({ "Add Point " + state_.points.FreeName() },
        [&] { return state_.points.Add(state_.window.CurrentInputs()); });
}

bool CalculationDocument::RenamePoint(int row, const std::string& name)
{
    const std::string old_name = PointName(row);
    return Apply({ "Rename Point " + old_name }, [&] { return state_.points.Rename(row, name); });
}

bool CalculationDocument::SetPointFlow(int row, const std::string& text)
{
    const FlowUnit unit = StatePointsList::TableFlowUnit(state_.window.CurrentInputs().system);
    return SetPointFlow(row, text, FlowDisplay { unit, FlowBasis::Actual }).empty();
}

std::string CalculationDocument::SetPointFlow(int row, const std::string& text, const FlowDisplay& flow)
{
    return Apply(
        { "Flow of Point " + PointName(row) }, [&] { return state_.points.SetFlowText(row, text, flow); });
}

bool CalculationDocument::MovePoint(int row, int offset)
{
    return Apply({ std::string("Move Point ") + PointName(row) + (offset < 0 ? " Up" : " Down") },
        [&] { return state_.points.Move(row, offset); });
}

void CalculationDocument::DeletePoints(const std::vector<int>& rows)
{
    const std::vector<int> valid = ValidRows(rows, state_.points);
    std::vector<std::string> names;
    for (const int row : valid)
        names.push_back(PointName(row));
    Apply({ (names.size() == 1 ? "Delete Point " : "Delete Points ") + NameList(names) },
        [&] { state_.points.RemoveRows(valid); });
}

std::string CalculationDocument::DeleteQuestion(const std::vector<int>& rows) const
{
    const std::vector<int> valid = ValidRows(rows, state_.points);
    const std::size_t processes = state_.points.ProcessesUsing(valid).size();
    if (valid.empty() || processes == 0)
        return {};
    std::vector<std::string> names;
    for (const int row : valid)
        names.push_back(PointName(row));
    const bool one_point = names.size() == 1;
    return std::string(one_point ? "Delete point " : "Delete points ") + NameList(names) + " and "
        + (processes == 1 ? std::string("the process that uses ")
                          : "the " + std::to_string(processes) + " processes that use ")
        + (one_point ? "it?" : "them?");
}

void CalculationDocument::LoadPoint(int row)
{
    if (row < 0 || row >= static_cast<int>(state_.points.points().size()))
        return;
    const AmbientInputs inputs = state_.points.points()[static_cast<std::size_t>(row)].inputs;
    Apply({ "Load Point " + PointName(row) }, [&] { state_.window.RestoreInputs(inputs); });
}

std::string CalculationDocument::AddProcess(const ProcessSpec& recipe)
{
    return Apply({ "Add " + std::string(ProcessKindCaption(recipe.kind)) },
        [&] { return state_.points.AddProcess(recipe); });
}

std::string CalculationDocument::EditProcess(int row, const ProcessSpec& recipe)
{
    return Apply({ "Edit " + std::string(ProcessKindCaption(recipe.kind)) },
        [&] { return state_.points.EditProcess(row, recipe); });
}

void CalculationDocument::DeleteProcess(int row)
{
    const std::vector<ProcessSpec>& processes = state_.points.processes();
    if (row < 0 || row >= static_cast<int>(processes.size()))
        return;
    Apply({ "Delete " + std::string(ProcessKindCaption(processes[static_cast<std::size_t>(row)].kind)) },
        [&] { state_.points.RemoveProcess(row); });
}

void CalculationDocument::SetProperties(const ProjectProperties& properties)
{
    Apply({ "Properties" }, [&] { state_.properties = properties; });
}

void CalculationDocument::SetChartData(const ChartData& data)
{
    Apply({ "Chart Data" }, [&] { state_.chart_data = data; });
}

void CalculationDocument::Load(const Calculation& calculation)
{
    state_.window.RestoreInputs(calculation.inputs);
    state_.window.SetUncertainty(calculation.uncertainty);
    state_.points.SetPoints(calculation.points);
    state_.points.SetProcesses(calculation.processes);
    state_.properties = calculation.properties;
    state_.chart_data = calculation.chart_data;
    Notify();
}

void CalculationDocument::Restore(const DocumentState& state)
{
    const long calculations = state_.window.calculations();
    state_ = state;
    state_.window.ContinueCount(calculations);
    Notify();
}

void CalculationDocument::Recalculate()
{
    AmbientWindow reopened = state_.window;
    reopened.RestoreInputs(state_.window.CurrentInputs());
    if (reopened.controls() == state_.window.controls())
        return;
    state_.window = std::move(reopened);
    Notify();
}

} // namespace humidora
