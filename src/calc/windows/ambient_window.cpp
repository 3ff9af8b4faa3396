#include "calc/windows/ambient_window.h"

#include "calc/ambient/calculate_ambient.h"
#include "calc/units/number_text.h"

#include <span>

namespace humidora {
namespace {

// The two option groups: the pressure pair and the eight humidity parameters, each in the order in which
// their boxes are switched.
constexpr std::array<const Quantity*, 2> kPressureGroup = { &kQuantities[1], &kQuantities[2] };

// Makes `option` the selected one of its group: its box the input (unlocked, standard background), the
// other boxes of the group computed (locked, cyan). Lock states first, then backgrounds.
void SelectOption(AmbientControls& controls, int option)
{
    const Quantity* chosen = FindQuantityByOption(option);
    const std::span<const Quantity* const> group = chosen->isHumidity()
        ? std::span<const Quantity* const>(kHumidityQuantities)
        : std::span<const Quantity* const>(kPressureGroup);
    for (const Quantity* other : group)
        controls.*(other->option) = other == chosen;
    for (const Quantity* other : group)
        (controls.*(other->box)).locked = other != chosen;
    for (const Quantity* other : group)
        (controls.*(other->box)).background = other == chosen ? Background::Standard : Background::Cyan;
}

const char* SystemCaption(UnitSystem system)
{
    switch (system) {
    case UnitSystem::Metric:
        return "Unit (Metric)";
    case UnitSystem::British:
        return "Unit (British)";
    case UnitSystem::Customized:
        break;
    }
    return "Unit (Customized)";
}

void SetSystemMarks(AmbientControls& controls, UnitSystem system)
{
    controls.menu_metric = system == UnitSystem::Metric;
    controls.menu_british = system == UnitSystem::British;
    controls.menu_customized = system == UnitSystem::Customized;
    controls.Label27 = SystemCaption(system);
}

} // namespace

int BoxOfOption(int option)
{
    const Quantity* quantity = FindQuantityByOption(option);
    return quantity == nullptr ? 0 : quantity->boxNumber();
}

AmbientWindow::AmbientWindow() = default;

void AmbientWindow::Open()
{
    for (int list = 1; list <= 16; ++list)
        SelectUnit(list, kMetricSelection[static_cast<std::size_t>(list - 1)]);
    Recalculate();
    focus_box_ = 1;
    focus_select_all_ = false;
}

void AmbientWindow::ClickOption(int option)
{
    if (BoxOfOption(option) == 0)
        return;
    SelectOption(controls_, option);
    focus_box_ = BoxOfOption(option);
    focus_select_all_ = true;
}

void AmbientWindow::EditText(int box, const std::string& text)
{
    if (box < 1 || box > 16)
        return;
    ValueBox& value_box = BoxOf(controls_, box);
    // Only a change of the text is an edit: writing the same text again notifies nothing.
    if (value_box.text == text)
        return;
    value_box.text = text;
    bool input = box == 1;
    for (int option = 1; option <= 10; ++option) {
        if (BoxOfOption(option) == box)
            input = OptionOf(controls_, option);
    }
    if (input)
        Recalculate();
}

void AmbientWindow::SelectUnit(int list, int index)
{
    if (list < 1 || list > 16)
        return;
    UnitList& unit_list = ListOf(controls_, list);
    if (index < 0 || index >= static_cast<int>(unit_list.items.size()))
        return;
    unit_list.selected = index;
    // The lists with the single item "%" have no selection behaviour at all.
    if (unit_list.items.size() == 1)
        return;
    const std::size_t at = static_cast<std::size_t>(list - 1);
    if (controls_.menu_metric
        && unit_list.text() != unit_list.items[static_cast<std::size_t>(kMetricSelection[at])])
        SetSystemMarks(controls_, UnitSystem::Customized);
    if (controls_.menu_british
        && unit_list.text() != unit_list.items[static_cast<std::size_t>(kBritishSelection[at])])
        SetSystemMarks(controls_, UnitSystem::Customized);
    Recalculate();
}

void AmbientWindow::ChooseMetric()
{
    // The check marks come first, so that none of the list changes below counts as a departure.
    SetSystemMarks(controls_, UnitSystem::Metric);
    for (int list = 1; list <= 16; ++list)
        SelectUnit(list, kMetricSelection[static_cast<std::size_t>(list - 1)]);
    EditText(2, std::string(kMetricPressureText));
    Recalculate();
}

void AmbientWindow::ChooseBritish()
{
    SetSystemMarks(controls_, UnitSystem::British);
    for (int list = 1; list <= 16; ++list)
        SelectUnit(list, kBritishSelection[static_cast<std::size_t>(list - 1)]);
    EditText(2, std::string(kBritishPressureText));
    Recalculate();
}

void AmbientWindow::ChooseIapws()
{
    controls_.menu_IAPWS = true;
    controls_.menu_HW = false;
    Recalculate();
}

void AmbientWindow::ChooseHylandWexler()
{
    controls_.menu_IAPWS = false;
    controls_.menu_HW = true;
    Recalculate();
}

void AmbientWindow::RestoreInputs(const AmbientInputs& inputs)
{
    controls_.menu_IAPWS = inputs.iapws;
    controls_.menu_HW = !inputs.iapws;
    SetSystemMarks(controls_, inputs.system);
    for (int list = 1; list <= 16; ++list)
        ListOf(controls_, list).selected = inputs.selections[static_cast<std::size_t>(list - 1)];
    SelectOption(controls_, inputs.altitude_given ? 9 : 8);
    SelectOption(controls_, inputs.humidity_option);
    controls_.Text1.text = inputs.temperature;
    if (inputs.altitude_given)
        controls_.Text10.text = inputs.altitude;
    else
        controls_.Text2.text = inputs.pressure;
    BoxOf(controls_, BoxOfOption(inputs.humidity_option)).text = inputs.humidity;
    Recalculate();
}

AmbientInputs AmbientWindow::CurrentInputs() const
{
    AmbientInputs inputs;
    inputs.iapws = controls_.menu_IAPWS;
    inputs.system = controls_.menu_metric ? UnitSystem::Metric
        : controls_.menu_british          ? UnitSystem::British
                                          : UnitSystem::Customized;
    for (int list = 1; list <= 16; ++list)
        inputs.selections[static_cast<std::size_t>(list - 1)] = ListOf(controls_, list).selected;
    inputs.altitude_given = controls_.Option9;
    for (const Quantity* quantity : kHumidityQuantities) {
        if (controls_.*(quantity->option))
            inputs.humidity_option = quantity->optionNumber();
    }
    inputs.temperature = controls_.Text1.text;
    inputs.pressure = controls_.Text2.text;
    inputs.altitude = controls_.Text10.text;
    inputs.humidity = BoxOf(controls_, BoxOfOption(inputs.humidity_option)).text;
    return inputs;
}

void AmbientWindow::Recalculate()
{
    ++calculations_;
    refusal_ = CalculateAmbient(controls_, state_);
    UpdateUncertainty();
}

void AmbientWindow::SetUncertainty(const UncertaintySettings& settings)
{
    uncertainty_ = settings;
    UpdateUncertainty();
}

void AmbientWindow::UpdateUncertainty()
{
    uncertainty_result_ = UncertaintyResult {};
    if (!uncertainty_.enabled || refusal_ || UncertaintySettingsProblem(uncertainty_))
        return;
    ControlsEvaluator evaluator(controls_);
    uncertainty_result_ = PropagateUncertainty(evaluator, uncertainty_);
}

std::string AmbientWindow::UncertaintyLabel(int box) const
{
    if (!uncertainty_result_.ok)
        return {};
    for (std::size_t row = 0; row < kQuantities.size(); ++row) {
        const QuantityUncertainty& q = uncertainty_result_.quantities[row];
        if (kQuantities[row].boxNumber() != box || !q.computed || !IsNumberText(BoxOf(controls_, box).text))
            continue;
        return "\u00b1 " + UncertaintyText(q.U) + (q.flagged ? " !" : "");
    }
    return {};
}

std::string AmbientWindow::UncertaintyCaption() const
{
    if (!uncertainty_.enabled)
        return {};
    return "\u00b1 U (" + CoverageCaption(uncertainty_.coverage) + ")";
}

} // namespace humidora
