#include "calc/state_points.h"

#include "calc/ambient_phases.h"
#include "calc/number_text.h"
#include "calc/units.h"

#include <charconv>

namespace humidora {
namespace {

/// The shortest decimal text that reads back as exactly `value`.
std::string ExactText(double value)
{
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

/// The shortest text of value, from 6 significant digits up, that `same` accepts; else the exact text.
template <class Same> std::string ShortestText(double value, Same&& same)
{
    for (int digits = 6; digits < 17; ++digits) {
        char buffer[40];
        const auto end
            = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits).ptr;
        std::string text(buffer, end);
        if (same(text))
            return text;
    }
    return ExactText(value);
}

const std::string& ItemOf(const UnitList AmbientControls::*list, int index)
{
    static const AmbientControls lists;
    return (lists.*list).items.at(static_cast<std::size_t>(index));
}

/// A typed text of a humidity ratio (kg/kg) in a unit of Combo6.
std::string HumidityRatioInput(double W, std::string_view unit)
{
    const std::optional<UnitItem> item = FindUnit(kHumidityRatioUnits, unit);
    return ExactText(item ? item->FromBase(W) : W);
}

ProcessResult RunKind(
    const ProcessSpec& recipe, const std::vector<Stream>& streams, const ProcessConditions& c)
{
    const auto missing = [] {
        ProcessResult result;
        result.refusal = "The process lacks a parameter.";
        return result;
    };
    const Stream& first = streams.front();
    switch (recipe.kind) {
    case ProcessKind::Mix:
        return Mix(streams, c);
    case ProcessKind::Heat:
        return recipe.to_temperature_K ? Heat(first, *recipe.to_temperature_K, c) : missing();
    case ProcessKind::Coil:
        if (recipe.adp_K && recipe.bypass_factor)
            return CoilByAdp(first, *recipe.adp_K, *recipe.bypass_factor, c);
        if (recipe.leaving_temperature_K && recipe.leaving_relative_humidity)
            return CoilByLeaving(first, *recipe.leaving_temperature_K, *recipe.leaving_relative_humidity, c);
        return missing();
    case ProcessKind::Evaporative:
        if (recipe.effectiveness)
            return EvaporativeByEffectiveness(first, *recipe.effectiveness, c);
        return recipe.to_relative_humidity
            ? EvaporativeToRelativeHumidity(first, *recipe.to_relative_humidity, c)
            : missing();
    case ProcessKind::Steam: {
        const double steam_K = recipe.steam_temperature_K.value_or(kDefaultSteamK);
        if (recipe.to_humidity_ratio)
            return SteamToHumidityRatio(first, *recipe.to_humidity_ratio, steam_K, c);
        return recipe.to_relative_humidity
            ? SteamToRelativeHumidity(first, *recipe.to_relative_humidity, steam_K, c)
            : missing();
    }
    }
    return missing();
}

constexpr std::array<std::string_view, 5> kKindKeys = { "mix", "heat", "coil", "evaporative", "steam" };

} // namespace

std::optional<FlowUnit> FindFlowUnit(std::string_view key)
{
    for (const FlowUnit& unit : kFlowUnits) {
        if (unit.key == key)
            return unit;
    }
    return std::nullopt;
}

std::string_view DefaultFlowUnit(UnitSystem system)
{
    return (system == UnitSystem::British ? kPoundPerHour : kKilogramPerSecond).key;
}

PointView ViewPoint(const AmbientInputs& inputs)
{
    AmbientWindow window;
    window.Open();
    window.RestoreInputs(inputs);
    PointView view;
    view.controls = window.controls();
    if (view.controls.List1.background == Background::Red) {
        for (const std::string& line : view.controls.List1.lines)
            view.refusal += (view.refusal.empty() ? "" : " ") + line;
        return view;
    }
    const AmbientState& s = window.state();
    view.state = { s.temperature, s.humidity_ratio };
    view.conditions = { s.pressure, inputs.iapws ? kIapws : kHylandWexler };
    view.specific_volume = SpecificVolume(s.temperature, s.humidity_ratio, s.pressure);
    return view;
}

AmbientInputs InputsAtState(const AmbientInputs& like, const AirState& state)
{
    AmbientInputs inputs = like;
    inputs.humidity_option = 1;
    const std::string& temperature_unit = ItemOf(&AmbientControls::Combo1, like.selections[0]);
    const std::string& humidity_unit = ItemOf(&AmbientControls::Combo6, like.selections[5]);
    // The shortest texts that the window reads as this state: the dry bulb to its single precision, the
    // humidity ratio to every digit the window shows of the state.
    const auto held = [&](const std::string& text) {
        return NarrowToSingle(TemperatureToKelvin(temperature_unit, NumberValue(text)).value_or(0));
    };
    const double t = TemperatureFromKelvin(temperature_unit, state.T_K).value_or(state.T_K);
    const float T_held = held(ExactText(t));
    inputs.temperature = ShortestText(t, [&](const std::string& text) { return held(text) == T_held; });
    inputs.humidity = HumidityRatioInput(state.W, humidity_unit);
    const PointView exact = ViewPoint(inputs);
    if (exact.ok()) {
        const double typed = NumberValue(inputs.humidity);
        inputs.humidity = ShortestText(typed, [&](const std::string& text) {
            AmbientInputs trial = inputs;
            trial.humidity = text;
            AmbientControls shown = ViewPoint(trial).controls;
            shown.Text3.text = exact.controls.Text3.text;
            return shown == exact.controls;
        });
    } else if (exact.controls.Text3.background == Background::Red
        && NumberValue(exact.controls.Label12.caption) < NumberValue(inputs.humidity)) {
        // The window holds the dry bulb in single precision and checks the humidity ratio against its
        // shown, rounded maximum: a saturated state can land a hair above both. It is typed as saturated.
        inputs.humidity_option = 2;
        inputs.humidity = "100";
    }
    return inputs;
}

AmbientInputs InUnitsOf(const PointView& point, const AmbientInputs& window, bool iapws)
{
    AmbientInputs like = window;
    like.iapws = iapws;
    like.altitude_given = false;
    const std::optional<PressureUnit> unit
        = FindPressureUnit(ItemOf(&AmbientControls::Combo2, like.selections[1]));
    like.pressure
        = ExactText(unit ? unit->FromBase(point.conditions.pressure_Pa) : point.conditions.pressure_Pa);
    return InputsAtState(like, point.state);
}

std::string DefaultPointName(int index)
{
    std::string name;
    for (int n = index + 1; n > 0; n = (n - 1) / 26)
        name.insert(name.begin(), static_cast<char>('A' + (n - 1) % 26));
    return name;
}

std::string_view ProcessKindKey(ProcessKind kind)
{
    return kKindKeys.at(static_cast<std::size_t>(kind));
}

std::optional<ProcessKind> FindProcessKind(std::string_view key)
{
    for (std::size_t i = 0; i < kKindKeys.size(); ++i) {
        if (kKindKeys[i] == key)
            return static_cast<ProcessKind>(i);
    }
    return std::nullopt;
}

ProcessOutcome RunProcess(const ProcessSpec& recipe, const std::vector<StatePoint>& points)
{
    ProcessOutcome outcome;
    if (points.empty()) {
        outcome.refusal = "A process needs a point to start from.";
        return outcome;
    }
    std::vector<Stream> streams;
    for (const StatePoint& point : points) {
        PointView view = ViewPoint(point.inputs);
        if (!view.ok() && outcome.refusal.empty())
            outcome.refusal = "Point " + point.name + " is refused: " + view.refusal;
        streams.push_back({ view.state, point.flow_kg_s });
        outcome.entering.push_back(std::move(view));
    }
    if (!outcome.refusal.empty())
        return outcome;
    const ProcessConditions& conditions = outcome.entering.front().conditions;
    for (const PointView& view : outcome.entering) {
        if (view.conditions.pressure_Pa != conditions.pressure_Pa
            || view.conditions.method != conditions.method) {
            outcome.refusal
                = "The points of a process must share one pressure and one saturation formulation.";
            return outcome;
        }
    }
    outcome.result = RunKind(recipe, streams, conditions);
    if (outcome.result.refused()) {
        outcome.refusal = outcome.result.refusal;
        return outcome;
    }
    PointView leaving = ViewPoint(InputsAtState(points.front().inputs, outcome.result.leaving.state));
    if (!leaving.ok())
        outcome.refusal = "The leaving state is refused by the calculator: " + leaving.refusal;
    outcome.leaving = std::move(leaving);
    return outcome;
}

} // namespace humidora
