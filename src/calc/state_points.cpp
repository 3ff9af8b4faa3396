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

const std::string& ItemOf(const UnitList AmbientControls::*list, int index)
{
    static const AmbientControls lists;
    return (lists.*list).items.at(static_cast<std::size_t>(index));
}

/// A typed text of a humidity ratio (kg/kg) in a unit of Combo6.
std::string HumidityRatioInput(double W, std::string_view unit)
{
    return ExactText(unit == "(g moisture)/(kg dry air)" ? W * 1000 : W);
}

ProcessResult RunKind(const ProcessSpec& spec, const std::vector<Stream>& streams, const ProcessConditions& c)
{
    const auto missing = [] {
        ProcessResult result;
        result.refusal = "The process lacks a parameter.";
        return result;
    };
    const Stream& first = streams.front();
    switch (spec.kind) {
    case ProcessKind::Mix:
        return Mix(streams, c);
    case ProcessKind::Heat:
        return spec.to_temperature_K ? Heat(first, *spec.to_temperature_K, c) : missing();
    case ProcessKind::Coil:
        if (spec.adp_K && spec.bypass_factor)
            return CoilByAdp(first, *spec.adp_K, *spec.bypass_factor, c);
        if (spec.leaving_temperature_K && spec.leaving_relative_humidity)
            return CoilByLeaving(first, *spec.leaving_temperature_K, *spec.leaving_relative_humidity, c);
        return missing();
    case ProcessKind::Evaporative:
        if (spec.effectiveness)
            return EvaporativeByEffectiveness(first, *spec.effectiveness, c);
        return spec.to_relative_humidity ? EvaporativeToRelativeHumidity(first, *spec.to_relative_humidity, c)
                                         : missing();
    case ProcessKind::Steam: {
        const double steam_K = spec.steam_temperature_K.value_or(kDefaultSteamK);
        if (spec.to_humidity_ratio)
            return SteamToHumidityRatio(first, *spec.to_humidity_ratio, steam_K, c);
        return spec.to_relative_humidity
            ? SteamToRelativeHumidity(first, *spec.to_relative_humidity, steam_K, c)
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
    return system == UnitSystem::British ? "lb/h" : "kg/s";
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
    inputs.temperature
        = ExactText(TemperatureInUnit(state.T_K, ItemOf(&AmbientControls::Combo1, like.selections[0])));
    inputs.humidity_option = 1;
    const std::string& unit = ItemOf(&AmbientControls::Combo6, like.selections[5]);
    inputs.humidity = HumidityRatioInput(state.W, unit);
    // The window holds the dry bulb in single precision and checks the humidity ratio against its shown,
    // rounded maximum: a saturated state can land a hair above both. It is typed as saturated instead.
    const PointView view = ViewPoint(inputs);
    if (!view.ok() && view.controls.Text3.background == Background::Red
        && NumberValue(view.controls.Label12.caption) < NumberValue(inputs.humidity)) {
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
    like.pressure = ExactText(point.conditions.pressure_Pa / (unit ? unit->pascal_per_unit : 1));
    return InputsAtState(like, point.state);
}

std::optional<double> KelvinFromTemperatureUnit(double value, std::string_view unit)
{
    return ambient::KelvinFromUnit(value, unit);
}

double TemperatureInUnit(double T_K, std::string_view unit)
{
    if (unit == "K")
        return T_K;
    if (unit == "F")
        return (T_K - ambient::kCelsiusOffset) * 1.8 + 32;
    if (unit == "R")
        return T_K * 1.8;
    return T_K - ambient::kCelsiusOffset;
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

ProcessOutcome RunProcess(const ProcessSpec& spec, const std::vector<StatePoint>& points)
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
    outcome.result = RunKind(spec, streams, conditions);
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
