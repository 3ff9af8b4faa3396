#include "calc/windows/ambient_window.h"

#include "calc/ambient/calculate_ambient.h"
#include "calc/units/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
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

/// The text of `value` rounded to `digits` significant digits, in plain decimals without trailing zeros
/// ("35", "14.6959", "0.000012"): the window reads no exponents.
std::string SignificantText(double value, int digits)
{
    const int exponent = value == 0 ? 0 : static_cast<int>(std::floor(std::log10(std::fabs(value))));
    char buffer[400];
    const auto end = std::to_chars(
        buffer, buffer + sizeof buffer, value, std::chars_format::fixed, std::max(0, digits - 1 - exponent))
                         .ptr;
    std::string text(buffer, end);
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.')
            text.pop_back();
    }
    return text == "-0" ? "0" : text;
}

} // namespace

std::optional<double> ConvertBetweenUnits(const Quantity& quantity, int from, int to, double value)
{
    const auto count = static_cast<int>(quantity.units.size());
    if (from < 0 || from >= count || to < 0 || to >= count)
        return std::nullopt;
    const UnitItem& old_unit = quantity.units[static_cast<std::size_t>(from)];
    const UnitItem& new_unit = quantity.units[static_cast<std::size_t>(to)];
    if (quantity.units.data() == kTemperatureUnits.data()) {
        const std::optional<double> kelvin = TemperatureToKelvin(old_unit.key, value);
        return kelvin ? TemperatureFromKelvin(new_unit.key, *kelvin) : std::nullopt;
    }
    return new_unit.FromBase(old_unit.ToBase(value));
}

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
    // The input whose value is kept, read in the unit selected until now.
    const Quantity* converted = nullptr;
    const int from = unit_list.selected;
    for (const Quantity& quantity : kQuantities) {
        const std::string& text = BoxOf(controls_, quantity.boxNumber()).text;
        if (quantity.listNumber() == list && convert_on_unit_change_ && IsInput(quantity.boxNumber())
            && IsNumberText(text) && from != index && ConvertBetweenUnits(quantity, from, index, 1))
            converted = &quantity;
    }
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
    if (converted != nullptr)
        WriteConverted(*converted, from, index);
    else
        Recalculate();
}

bool AmbientWindow::IsInput(int box) const
{
    if (box == 1)
        return true;
    for (int option = 1; option <= 10; ++option) {
        if (BoxOfOption(option) == box)
            return OptionOf(controls_, option);
    }
    return false;
}

void AmbientWindow::WriteConverted(const Quantity& quantity, int from, int to)
{
    ValueBox& value_box = controls_.*(quantity.box);
    const std::string typed = value_box.text;
    const double value = ConvertBetweenUnits(quantity, from, to, NumberValue(typed)).value_or(0);
    if (!std::isfinite(value)) {
        Recalculate();
        return;
    }
    // The state shown with every digit of the converted value is the one to keep. Of the texts from six
    // significant digits up, the shortest is written that shows every other box, label and the listing as
    // that state does and that converts back to the typed text at its own digits, so that a change of
    // unit and back gives the typed text again. Temperatures are held in single precision and most
    // factors are not exact in binary, so the exact digits of the value are rarely the ones to write.
    int typed_digits = 0;
    bool leading = true;
    for (const char c : typed) {
        if (c >= '1' && c <= '9')
            leading = false;
        if (c >= '0' && c <= '9' && !leading)
            ++typed_digits;
    }
    typed_digits = std::clamp(typed_digits, 1, 17);
    const double typed_value = NumberValue(SignificantText(NumberValue(typed), typed_digits));
    value_box.text = SignificantText(value, 17);
    Recalculate();
    const AmbientControls reference = controls_;
    for (int digits = 6; digits < 17; ++digits) {
        const std::string text = SignificantText(value, digits);
        const std::optional<double> back = ConvertBetweenUnits(quantity, to, from, NumberValue(text));
        if (!back || NumberValue(SignificantText(*back, typed_digits)) != typed_value)
            continue;
        value_box.text = text;
        Recalculate();
        AmbientControls shown = controls_;
        shown.*(quantity.box) = reference.*(quantity.box);
        if (shown == reference)
            return;
    }
    controls_ = reference;
    Recalculate();
}

void AmbientWindow::ChooseSystem(
    UnitSystem system, const std::array<int, 16>& selection, std::string_view pressure)
{
    // The check marks come first, so that none of the list changes below counts as a departure.
    SetSystemMarks(controls_, system);
    // A pressure converted with its list keeps the state; otherwise the system's standard pressure.
    const bool keep_pressure
        = convert_on_unit_change_ && controls_.Option8 && IsNumberText(controls_.Text2.text);
    for (int list = 1; list <= 16; ++list)
        SelectUnit(list, selection[static_cast<std::size_t>(list - 1)]);
    if (!keep_pressure)
        EditText(2, std::string(pressure));
    Recalculate();
}

void AmbientWindow::ChooseMetric()
{
    ChooseSystem(UnitSystem::Metric, kMetricSelection, kMetricPressureText);
}

void AmbientWindow::ChooseBritish()
{
    ChooseSystem(UnitSystem::British, kBritishSelection, kBritishPressureText);
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
