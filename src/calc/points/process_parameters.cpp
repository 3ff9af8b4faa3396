#include "calc/points/process_parameters.h"

#include "calc/units/number_text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

namespace humidora {
namespace {

const std::string& ItemOf(const UnitList AmbientControls::*list, int index)
{
    static const AmbientControls lists;
    return (lists.*list).items.at(static_cast<std::size_t>(index));
}

constexpr std::size_t kManyPoints = std::numeric_limits<std::size_t>::max();
/// The calculator's range of dry bulbs, K: a temperature a process is given lies within it.
constexpr double kHighestParameterK = 373.15;
/// Steam humidifiers take steam from the atmospheric boiling point up to a few bar; 200 C covers every
/// one with room to spare while keeping the steam's enthalpy in the range of its linear relation.
constexpr double kHottestSteamK = 473.15;

/// A value of a parameter as the window would show it in `units`.
std::string ShownValue(const ProcessParameter& parameter, double si, const AmbientInputs& units)
{
    return NumberText(ParameterInUnit(parameter, si, units), ParameterDecimals(parameter, units));
}

/// A limit of a parameter in `units`, without trailing zeros ("-148", "100", "1").
std::string LimitValue(const ProcessParameter& parameter, double si, const AmbientInputs& units)
{
    return PlainNumberText(RoundHalfEven(ParameterInUnit(parameter, si, units), 6));
}

std::string WithUnit(const std::string& value, std::string_view unit)
{
    return unit.empty() ? value : value + ' ' + std::string(unit);
}

/// "Cooling Coil takes Apparatus Dew Point and Bypass Factor (0..1), or Leaving Dry Bulb and Leaving
/// Relative Humidity."
std::string FormsSentence(ProcessKind kind)
{
    std::string forms;
    for (const ProcessForm& form : kProcessForms) {
        if (form.kind != kind)
            continue;
        std::string captions;
        for (const std::string_view key : form.required)
            captions += (captions.empty() ? "" : " and ") + FindParameter(key)->Prompt();
        forms += (forms.empty() ? "" : ", or ") + (captions.empty() ? std::string("no parameter") : captions);
    }
    return std::string(ProcessKindCaption(kind)) + " takes " + forms + ".";
}

} // namespace

const std::vector<ProcessKindInfo> kProcessKinds = {
    { ProcessKind::Mix, "mix", "Mixing", 2, kManyPoints, "two or more points", true },
    { ProcessKind::Heat, "heat", "Heating / Sensible Cooling", 1, 1, "one point" },
    { ProcessKind::Coil, "coil", "Cooling Coil", 1, 1, "one point" },
    { ProcessKind::Evaporative, "evaporative", "Evaporative Humidifier", 1, 1, "one point" },
    { ProcessKind::Steam, "steam", "Steam Humidifier", 1, 1, "one point" },
    { ProcessKind::Supply, "supply", "Supply Air from Room Loads", 1, 1, "one point, the room" },
    { ProcessKind::Recovery, "recovery", "Heat Recovery", 2, 2,
        "two points, the outdoor air and the exhaust air", true },
};

const ProcessKindInfo& KindInfo(ProcessKind kind)
{
    const auto found = std::find_if(
        kProcessKinds.begin(), kProcessKinds.end(), [&](const ProcessKindInfo& k) { return k.kind == kind; });
    return found == kProcessKinds.end() ? kProcessKinds.front() : *found;
}

std::string_view ProcessKindKey(ProcessKind kind)
{
    return KindInfo(kind).key;
}

std::optional<ProcessKind> FindProcessKind(std::string_view key)
{
    for (const ProcessKindInfo& info : kProcessKinds) {
        if (info.key == key)
            return info.kind;
    }
    return std::nullopt;
}

std::string_view ProcessKindCaption(ProcessKind kind)
{
    return KindInfo(kind).caption;
}

const std::vector<ProcessParameter> kProcessParameters = {
    { "to-temperature", "Leaving Dry Bulb", { ProcessKind::Heat }, ParameterReading::Temperature,
        &ProcessSpec::to_temperature_K, kLowestTemperatureK, kHighestParameterK },
    { "adp", "Apparatus Dew Point", { ProcessKind::Coil }, ParameterReading::Temperature, &ProcessSpec::adp_K,
        kLowestTemperatureK, kHighestParameterK },
    { "bypass-factor", "Bypass Factor", { ProcessKind::Coil }, ParameterReading::Plain,
        &ProcessSpec::bypass_factor, 0.0, 1.0 },
    { "leaving-temperature", "Leaving Dry Bulb", { ProcessKind::Coil }, ParameterReading::Temperature,
        &ProcessSpec::leaving_temperature_K, kLowestTemperatureK, kHighestParameterK },
    { "leaving-relative-humidity", "Leaving Relative Humidity", { ProcessKind::Coil },
        ParameterReading::Percent, &ProcessSpec::leaving_relative_humidity, 0.0, 1.0 },
    { "effectiveness", "Saturation Effectiveness", { ProcessKind::Evaporative }, ParameterReading::Plain,
        &ProcessSpec::effectiveness, 0.0, 1.0 },
    { "to-relative-humidity", "Leaving Relative Humidity", { ProcessKind::Evaporative, ProcessKind::Steam },
        ParameterReading::Percent, &ProcessSpec::to_relative_humidity, 0.0, 1.0 },
    { "to-humidity-ratio", "Leaving Humidity Ratio", { ProcessKind::Steam }, ParameterReading::HumidityRatio,
        &ProcessSpec::to_humidity_ratio, 0.0, std::nullopt },
    { "steam-temperature", "Steam Temperature", { ProcessKind::Steam }, ParameterReading::Temperature,
        &ProcessSpec::steam_temperature_K, kCelsiusOffset, kHottestSteamK },
    // A room's loads are cooling loads when positive, heating loads (or a room losing water) when negative.
    { "sensible-load", "Room Sensible Load", { ProcessKind::Supply }, ParameterReading::Load,
        &ProcessSpec::sensible_load_kW, std::nullopt, std::nullopt },
    { "latent-load", "Room Latent Load", { ProcessKind::Supply }, ParameterReading::Load,
        &ProcessSpec::latent_load_kW, std::nullopt, std::nullopt },
    { "total-load", "Room Total Load", { ProcessKind::Supply }, ParameterReading::Load,
        &ProcessSpec::total_load_kW, std::nullopt, std::nullopt },
    { "sensible-heat-ratio", "Room Sensible Heat Ratio", { ProcessKind::Supply }, ParameterReading::Plain,
        &ProcessSpec::sensible_heat_ratio, std::nullopt, std::nullopt },
    { "supply-temperature", "Supply Dry Bulb", { ProcessKind::Supply }, ParameterReading::Temperature,
        &ProcessSpec::supply_temperature_K, kLowestTemperatureK, kHighestParameterK },
    // Above 0: the least flow a computed supply may have is checked against the room's line itself.
    { "supply-flow", "Supply Dry-Air Flow", { ProcessKind::Supply }, ParameterReading::MassFlow,
        &ProcessSpec::supply_flow_kg_s, 0.0, std::nullopt, true },
    { "sensible-effectiveness", "Sensible Effectiveness", { ProcessKind::Recovery }, ParameterReading::Plain,
        &ProcessSpec::sensible_effectiveness, 0.0, 1.0 },
    { "latent-effectiveness", "Latent Effectiveness", { ProcessKind::Recovery }, ParameterReading::Plain,
        &ProcessSpec::latent_effectiveness, 0.0, 1.0 },
};

bool ProcessParameter::TakenBy(ProcessKind k) const
{
    return std::find(kinds.begin(), kinds.end(), k) != kinds.end();
}

std::string ProcessParameter::Prompt() const
{
    if (reading != ParameterReading::Plain || !minimum || !maximum)
        return std::string(caption);
    return std::string(caption) + " (" + PlainNumberText(*minimum) + ".." + PlainNumberText(*maximum) + ")";
}

std::string ProcessParameter::Member() const
{
    std::string member(key);
    std::replace(member.begin(), member.end(), '-', '_');
    switch (reading) {
    case ParameterReading::Temperature:
        return member + "_K";
    case ParameterReading::Load:
        return member + "_kW";
    case ParameterReading::MassFlow:
        return member + "_kg_per_s";
    default:
        return member;
    }
}

const ProcessParameter* FindParameter(std::string_view key)
{
    for (const ProcessParameter& parameter : kProcessParameters) {
        if (parameter.key == key)
            return &parameter;
    }
    return nullptr;
}

const ProcessParameter* FindParameterByMember(std::string_view member)
{
    for (const ProcessParameter& parameter : kProcessParameters) {
        if (parameter.Member() == member)
            return &parameter;
    }
    return nullptr;
}

const std::vector<ProcessForm> kProcessForms = {
    { ProcessKind::Mix, {} },
    { ProcessKind::Heat, { "to-temperature" } },
    { ProcessKind::Coil, { "adp", "bypass-factor" } },
    { ProcessKind::Coil, { "leaving-temperature", "leaving-relative-humidity" } },
    { ProcessKind::Evaporative, { "effectiveness" } },
    { ProcessKind::Evaporative, { "to-relative-humidity" } },
    { ProcessKind::Steam, { "to-humidity-ratio" } },
    { ProcessKind::Steam, { "to-relative-humidity" } },
    { ProcessKind::Supply, { "sensible-load", "latent-load", "supply-temperature" } },
    { ProcessKind::Supply, { "sensible-load", "latent-load", "supply-flow" } },
    { ProcessKind::Supply, { "total-load", "sensible-heat-ratio", "supply-temperature" } },
    { ProcessKind::Supply, { "total-load", "sensible-heat-ratio", "supply-flow" } },
    // A plate exchanger or run-around coil; an enthalpy wheel.
    { ProcessKind::Recovery, { "sensible-effectiveness" } },
    { ProcessKind::Recovery, { "sensible-effectiveness", "latent-effectiveness" } },
};

const ProcessForm* MatchingForm(ProcessKind kind, std::vector<std::string> given)
{
    std::erase(given, "steam-temperature");
    std::sort(given.begin(), given.end());
    for (const ProcessForm& form : kProcessForms) {
        std::vector<std::string> required(form.required.begin(), form.required.end());
        std::sort(required.begin(), required.end());
        if (form.kind == kind && required == given)
            return &form;
    }
    return nullptr;
}

std::string_view ParameterUnit(const ProcessParameter& parameter, const AmbientInputs& units)
{
    switch (parameter.reading) {
    case ParameterReading::Temperature:
        return ItemOf(&AmbientControls::Combo1, units.selections[0]);
    case ParameterReading::Percent:
        return kRelativeHumidityUnits[0].key;
    case ParameterReading::HumidityRatio:
        return ItemOf(&AmbientControls::Combo6, units.selections[5]);
    case ParameterReading::Load:
        return units.system == UnitSystem::British ? "btu/h" : "kW";
    case ParameterReading::MassFlow:
        return (units.system == UnitSystem::British ? kPoundPerHour : kKilogramPerSecond).key;
    case ParameterReading::Plain:
        break;
    }
    return {};
}

int ParameterDecimals(const ProcessParameter& parameter, const AmbientInputs& units)
{
    // A plain number (a factor between 0 and 1) as the ratios of the loads are shown; loads and flows as
    // the process tables show them.
    constexpr int kPlainDecimals = 4;
    const std::string_view unit = ParameterUnit(parameter, units);
    if (parameter.reading == ParameterReading::Load)
        return unit == "kW" ? 3 : 0;
    if (parameter.reading == ParameterReading::MassFlow)
        return FindFlowUnit(unit).value_or(kKilogramPerSecond).decimals;
    for (const auto& list :
        { std::span<const UnitItem>(kTemperatureUnits), std::span<const UnitItem>(kRelativeHumidityUnits),
            std::span<const UnitItem>(kHumidityRatioUnits) }) {
        if (const std::optional<UnitItem> item = FindUnit(list, unit))
            return item->decimals;
    }
    return kPlainDecimals;
}

double ParameterInSi(const ProcessParameter& parameter, double value, const AmbientInputs& units)
{
    const std::string_view unit = ParameterUnit(parameter, units);
    switch (parameter.reading) {
    case ParameterReading::Temperature:
        return TemperatureToKelvin(unit, value).value_or(value);
    case ParameterReading::Percent:
        return kRelativeHumidityUnits[0].ToBase(value);
    case ParameterReading::HumidityRatio:
        return FindUnit(kHumidityRatioUnits, unit).value_or(kHumidityRatioUnits[0]).ToBase(value);
    case ParameterReading::Load:
        return unit == "kW" ? value : value / kBtuPerHourPerKilowatt;
    case ParameterReading::MassFlow:
        return value * FindFlowUnit(unit).value_or(kKilogramPerSecond).si_per_unit;
    case ParameterReading::Plain:
        break;
    }
    return value;
}

double ParameterInUnit(const ProcessParameter& parameter, double si, const AmbientInputs& units)
{
    const std::string_view unit = ParameterUnit(parameter, units);
    switch (parameter.reading) {
    case ParameterReading::Temperature:
        return TemperatureFromKelvin(unit, si).value_or(si);
    case ParameterReading::Percent:
        return kRelativeHumidityUnits[0].FromBase(si);
    case ParameterReading::HumidityRatio:
        return FindUnit(kHumidityRatioUnits, unit).value_or(kHumidityRatioUnits[0]).FromBase(si);
    case ParameterReading::Load:
        return unit == "kW" ? si : si * kBtuPerHourPerKilowatt;
    case ParameterReading::MassFlow:
        return si / FindFlowUnit(unit).value_or(kKilogramPerSecond).si_per_unit;
    case ParameterReading::Plain:
        break;
    }
    return si;
}

ProcessRefusal RuleRefusal(std::string sentence)
{
    ProcessRefusal refusal;
    refusal.refusal.reason = RefusalReason::ProcessRule;
    refusal.sentence = std::move(sentence);
    return refusal;
}

std::string RefusalClause(const Refusal& refusal)
{
    std::string why = RefusalSentence(refusal);
    // The window's sentence opens with the quantity's caption; inside a sentence it reads in lower case.
    const std::string_view caption = QuantityCaption(refusal.quantity);
    if (!caption.empty() && why.starts_with(caption)) {
        for (std::size_t i = 0; i < caption.size(); ++i)
            why[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(why[i])));
    }
    return why;
}

ProcessRefusal PointRefusal(const std::string& name, const Refusal& refusal)
{
    return { name, refusal, "Point " + name + " is refused: " + RefusalClause(refusal) + "." };
}

std::optional<ProcessRefusal> ParametersRefusal(const ProcessSpec& recipe, const AmbientInputs& units)
{
    std::vector<std::string> given;
    for (const ProcessParameter& parameter : kProcessParameters) {
        const std::optional<double>& value = recipe.*(parameter.field);
        if (!value)
            continue;
        if (!parameter.TakenBy(recipe.kind))
            return RuleRefusal(std::string(ProcessKindCaption(recipe.kind)) + " takes no "
                + std::string(parameter.caption) + ".");
        given.emplace_back(parameter.key);
    }
    if (MatchingForm(recipe.kind, given) == nullptr)
        return RuleRefusal(FormsSentence(recipe.kind));
    for (const ProcessParameter& parameter : kProcessParameters) {
        const std::optional<double>& value = recipe.*(parameter.field);
        if (!value)
            continue;
        Refusal refusal;
        refusal.quantity = parameter.Member();
        refusal.unit = std::string(ParameterUnit(parameter, units));
        if (!std::isfinite(*value)) {
            refusal.reason = RefusalReason::NotANumber;
            refusal.text = PlainNumberText(*value);
            return ProcessRefusal { {}, refusal,
                std::string(parameter.caption) + " is not a finite number." };
        }
        refusal.text = ShownValue(parameter, *value, units);
        if (parameter.minimum)
            refusal.minimum = LimitValue(parameter, *parameter.minimum, units);
        if (parameter.maximum)
            refusal.maximum = LimitValue(parameter, *parameter.maximum, units);
        if (parameter.minimum && parameter.above_minimum && !(*value > *parameter.minimum)) {
            refusal.reason = RefusalReason::BelowMinimum;
            return ProcessRefusal { {}, refusal,
                std::string(parameter.caption) + " " + WithUnit(refusal.text, refusal.unit)
                    + " must lie above " + WithUnit(refusal.minimum, refusal.unit) + "." };
        }
        if (parameter.minimum && *value < *parameter.minimum) {
            refusal.reason = RefusalReason::BelowMinimum;
            return ProcessRefusal { {}, refusal,
                std::string(parameter.caption) + " " + WithUnit(refusal.text, refusal.unit)
                    + " is below its minimum of " + WithUnit(refusal.minimum, refusal.unit) + "." };
        }
        if (parameter.maximum && *value > *parameter.maximum) {
            refusal.reason = RefusalReason::AboveMaximum;
            return ProcessRefusal { {}, refusal,
                std::string(parameter.caption) + " " + WithUnit(refusal.text, refusal.unit)
                    + " is above its maximum of " + WithUnit(refusal.maximum, refusal.unit) + "." };
        }
    }
    return std::nullopt;
}

std::optional<ProcessRefusal> PointCountRefusal(ProcessKind kind, std::size_t count)
{
    const ProcessKindInfo& info = KindInfo(kind);
    if (count >= info.fewest_points && count <= info.most_points)
        return std::nullopt;
    return RuleRefusal(std::string(info.caption) + " takes " + std::string(info.points_text) + ", not "
        + std::to_string(count) + ".");
}

std::optional<ProcessRefusal> ValidateProcess(
    const ProcessSpec& recipe, const std::vector<EnteringPoint>& points, const AmbientInputs& units)
{
    if (std::optional<ProcessRefusal> refusal = PointCountRefusal(recipe.kind, points.size()))
        return refusal;
    if (std::optional<ProcessRefusal> refusal = ParametersRefusal(recipe, units))
        return refusal;
    const ProcessKindInfo& info = KindInfo(recipe.kind);
    for (const EnteringPoint& point : points) {
        if (!point.view.ok()) {
            if (point.view.why)
                return PointRefusal(point.name, *point.view.why);
            ProcessRefusal refusal
                = RuleRefusal("Point " + point.name + " is refused: " + point.view.refusal);
            refusal.point = point.name;
            return refusal;
        }
        if (point.flow_kg_s && !(std::isfinite(*point.flow_kg_s) && *point.flow_kg_s > 0)) {
            // In the flow unit of the calculation, as the flow's own refusal when it is typed.
            ProcessParameter flow {};
            flow.reading = ParameterReading::MassFlow;
            ProcessRefusal refusal;
            refusal.point = point.name;
            Refusal& r = refusal.refusal;
            r.quantity = "flow_kg_per_s";
            r.unit = std::string(ParameterUnit(flow, units));
            r.text = PlainNumberText(ParameterInUnit(flow, *point.flow_kg_s, units), 6);
            if (!std::isfinite(*point.flow_kg_s)) {
                r.reason = RefusalReason::NotANumber;
                refusal.sentence = "The dry-air flow of point " + point.name + " is not a finite number.";
                return refusal;
            }
            r.reason = RefusalReason::BelowMinimum;
            r.minimum = "0";
            refusal.sentence = "The dry-air flow of point " + point.name + " " + WithUnit(r.text, r.unit)
                + " must lie above " + WithUnit(r.minimum, r.unit) + ".";
            return refusal;
        }
        if (info.needs_flows && !point.flow_kg_s) {
            ProcessRefusal refusal = RuleRefusal("Point " + point.name
                + " has no dry-air flow: " + std::string(info.caption) + " needs the flow of every point.");
            refusal.point = point.name;
            return refusal;
        }
    }
    const ProcessConditions& first = points.front().view.conditions;
    for (const EnteringPoint& point : points) {
        if (point.view.conditions.pressure_Pa != first.pressure_Pa
            || point.view.conditions.method != first.method)
            return RuleRefusal(
                "The points of a process must share one pressure and one saturation formulation.");
    }
    return std::nullopt;
}

} // namespace humidora
