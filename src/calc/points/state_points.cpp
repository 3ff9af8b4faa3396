#include "calc/points/state_points.h"

#include "calc/ambient/ambient_phases.h"
#include "calc/points/air_design.h"
#include "calc/points/point_table.h"
#include "calc/points/process_parameters.h"
#include "calc/units/number_text.h"
#include "calc/units/quantities.h"
#include "calc/units/units.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

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
    // The validator has checked that exactly one form of the kind is given.
    const Stream& first = streams.front();
    switch (recipe.kind) {
    case ProcessKind::Mix:
        return Mix(streams, c);
    case ProcessKind::Heat:
        return Heat(first, *recipe.to_temperature_K, c);
    case ProcessKind::Coil:
        if (recipe.adp_K)
            return CoilByAdp(first, *recipe.adp_K, *recipe.bypass_factor, c);
        return CoilByLeaving(first, *recipe.leaving_temperature_K, *recipe.leaving_relative_humidity, c);
    case ProcessKind::Evaporative:
        if (recipe.effectiveness)
            return EvaporativeByEffectiveness(first, *recipe.effectiveness, c);
        return EvaporativeToRelativeHumidity(first, *recipe.to_relative_humidity, c);
    case ProcessKind::Steam: {
        const double steam_K = recipe.steam_temperature_K.value_or(kDefaultSteamK);
        if (recipe.to_humidity_ratio)
            return SteamToHumidityRatio(first, *recipe.to_humidity_ratio, steam_K, c);
        return SteamToRelativeHumidity(first, *recipe.to_relative_humidity, steam_K, c);
    }
    case ProcessKind::Supply: {
        const RoomLoads loads = recipe.sensible_load_kW
            ? RoomLoads { *recipe.sensible_load_kW, *recipe.latent_load_kW }
            : LoadsFromTotal(*recipe.total_load_kW, *recipe.sensible_heat_ratio);
        if (recipe.supply_temperature_K)
            return SupplyAtTemperature(first.state, loads, *recipe.supply_temperature_K, c);
        return SupplyAtFlow(first.state, loads, *recipe.supply_flow_kg_s, c);
    }
    case ProcessKind::Recovery:
        return HeatRecovery(
            streams.at(0), streams.at(1), *recipe.sensible_effectiveness, recipe.latent_effectiveness, c);
    }
    ProcessResult unknown;
    unknown.refusal = "The process is of no known kind.";
    return unknown;
}

/// A leaving state beyond the calculator's limits, in the units of `units`: "The leaving relative
/// humidity 100.5 % is above its maximum of 100 %."
/// A limit as a refusal shows it, six significant digits rounded toward the side that is allowed (up for a
/// minimum, down for a maximum), so that the limit typed back is itself accepted; a strict limit, which is
/// refused itself, to the nearest.
std::string LimitText(double value, bool above, bool strict)
{
    constexpr int kDigits = 6;
    const std::string nearest = PlainNumberText(value, kDigits);
    const double shown = NumberValue(nearest);
    if (strict || !std::isfinite(value) || value == 0 || (above ? shown <= value : shown >= value))
        return nearest;
    const double step = std::pow(10.0, std::floor(std::log10(std::abs(value))) - (kDigits - 1));
    return PlainNumberText(above ? shown - step : shown + step, kDigits);
}

/// A breach a design names with its subject and its limit's name, in the units of `units`: "The supply
/// dry bulb 78.8 F must lie below 75.2 F, the room dry bulb: a cooling load needs supply air cooler than
/// the room."
ProcessRefusal NamedBreachRefusal(const StateBreach& breach, const AmbientInputs& units)
{
    ProcessParameter like {};
    if (const ProcessParameter* parameter = FindParameterByMember(breach.quantity))
        like = *parameter;
    else if (breach.quantity == "flow_kg_per_s")
        like.reading = ParameterReading::MassFlow;
    else if (breach.quantity == "temperature")
        like.reading = ParameterReading::Temperature;
    else if (breach.quantity == "humidity_ratio")
        like.reading = ParameterReading::HumidityRatio;
    else if (breach.quantity == "relative_humidity")
        like.reading = ParameterReading::Percent;
    else
        like.reading = ParameterReading::Plain;
    const std::string unit(ParameterUnit(like, units));
    const auto with_unit
        = [&](const std::string& value) { return unit.empty() ? value : value + " " + unit; };
    ProcessRefusal refusal;
    Refusal& r = refusal.refusal;
    r.quantity = breach.quantity;
    r.unit = unit;
    r.text = PlainNumberText(ParameterInUnit(like, breach.value, units), 6);
    r.reason = breach.above ? RefusalReason::AboveMaximum : RefusalReason::BelowMinimum;
    const std::string limit
        = LimitText(ParameterInUnit(like, breach.limit, units), breach.above, breach.strict);
    (breach.above ? r.maximum : r.minimum) = limit;
    std::string sentence = "The " + breach.subject + " " + with_unit(r.text);
    if (breach.strict)
        sentence += breach.above ? " must lie below " : " must lie above ";
    else
        sentence += breach.above ? " is above its maximum of " : " is below its minimum of ";
    sentence += with_unit(limit);
    if (!breach.limit_name.empty())
        sentence += ", " + breach.limit_name;
    if (!breach.consequence.empty())
        sentence += ": " + breach.consequence;
    refusal.sentence = sentence + ".";
    return refusal;
}

ProcessRefusal BreachRefusal(const ProcessResult& result, const AmbientInputs& units)
{
    const StateBreach& breach = *result.breach;
    if (!breach.subject.empty())
        return NamedBreachRefusal(breach, units);
    const Quantity* quantity = FindQuantity(breach.quantity);
    const std::string& unit = quantity == nullptr
        ? std::string()
        : (AmbientControls().*(quantity->list))
              .items.at(static_cast<std::size_t>(
                  units.selections.at(static_cast<std::size_t>(quantity->listNumber() - 1))));
    const auto shown = [&](double si) {
        std::optional<double> value;
        if (breach.quantity == "temperature")
            value = TemperatureFromKelvin(unit, si);
        else if (const std::optional<UnitItem> item = FindUnit(quantity->units, unit))
            value = item->FromBase(si);
        return value ? *value : si;
    };
    const std::optional<UnitItem> item = quantity ? FindUnit(quantity->units, unit) : std::nullopt;
    const int decimals = item ? item->decimals : 6;
    ProcessRefusal refusal;
    Refusal& r = refusal.refusal;
    r.quantity = breach.quantity;
    r.unit = unit;
    r.text = NumberText(shown(breach.value), decimals);
    r.reason = breach.above ? RefusalReason::AboveMaximum : RefusalReason::BelowMinimum;
    (breach.above ? r.maximum : r.minimum) = PlainNumberText(RoundHalfEven(shown(breach.limit), decimals));
    // The caption of the points table's column: "dry bulb temperature", "relative humidity".
    std::string caption = breach.quantity;
    for (const PointColumn& column : kPointColumns) {
        if (column.quantity == breach.quantity)
            caption = column.caption;
    }
    for (char& c : caption)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto with_unit
        = [&](const std::string& value) { return unit.empty() ? value : value + " " + unit; };
    refusal.sentence = "The leaving " + caption + " " + with_unit(r.text) + " is "
        + (breach.above ? "above its maximum of " + with_unit(r.maximum)
                        : "below its minimum of " + with_unit(r.minimum))
        + ".";
    return refusal;
}

// A leaving point the window refuses refuses its process, with the window's reason: "The leaving point C
// is refused: ...".
ProcessRefusal LeavingRefusal(const std::string& which, const PointView& view)
{
    ProcessRefusal refusal
        = RuleRefusal(which + " is refused: " + (view.why ? RefusalClause(*view.why) + "." : view.refusal));
    if (view.why)
        refusal.refusal = *view.why;
    return refusal;
}

} // namespace

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
        view.why = window.refusal();
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

void ProcessOutcome::Refuse(ProcessRefusal why_refused)
{
    refusal = why_refused.sentence;
    why = std::move(why_refused);
}

ProcessOutcome RunProcess(const ProcessSpec& recipe, const std::vector<StatePoint>& points)
{
    ProcessOutcome outcome;
    if (points.empty()) {
        outcome.Refuse(RuleRefusal("A process needs a point to start from."));
        return outcome;
    }
    std::vector<EnteringPoint> entering;
    std::vector<Stream> streams;
    for (const StatePoint& point : points) {
        entering.push_back({ point.name, ViewPoint(point.inputs), point.flow_kg_s });
        streams.push_back({ entering.back().view.state, point.flow_kg_s });
        outcome.entering.push_back(entering.back().view);
    }
    const AmbientInputs& units = points.front().inputs;
    if (std::optional<ProcessRefusal> refusal = ValidateProcess(recipe, entering, units)) {
        outcome.Refuse(std::move(*refusal));
        return outcome;
    }
    const ProcessConditions& conditions = outcome.entering.front().conditions;
    // A point the window accepts at 100 % relative humidity holds its dry bulb in single precision, so its
    // humidity ratio may lie above saturation at that dry bulb by the rounding (a few parts in 10^8): it is
    // saturated air, and enters the process as such.
    for (Stream& stream : streams) {
        if (RelativeHumidityOf(stream.state, conditions) > 1) {
            if (const std::optional<double> saturated = SaturationHumidityRatio(stream.state.T_K, conditions))
                stream.state.W = std::min(stream.state.W, *saturated);
        }
    }
    outcome.result = RunKind(recipe, streams, conditions);
    if (outcome.result.refused()) {
        outcome.Refuse(outcome.result.breach ? BreachRefusal(outcome.result, units)
                                             : RuleRefusal(outcome.result.refusal));
        return outcome;
    }
    PointView leaving = ViewPoint(InputsAtState(units, outcome.result.leaving.state));
    if (!leaving.ok())
        outcome.Refuse(LeavingRefusal("The leaving point " + recipe.result_name, leaving));
    outcome.leaving = std::move(leaving);
    if (outcome.result.exhaust_leaving && points.size() > 1) {
        PointView exhaust = ViewPoint(InputsAtState(points[1].inputs, outcome.result.exhaust_leaving->state));
        if (!exhaust.ok() && outcome.refusal.empty())
            outcome.Refuse(
                LeavingRefusal("The leaving exhaust point " + recipe.exhaust_result_name, exhaust));
        outcome.exhaust_leaving = std::move(exhaust);
    }
    return outcome;
}

} // namespace humidora
