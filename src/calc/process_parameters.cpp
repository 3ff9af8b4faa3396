#include "calc/process_parameters.h"

#include <algorithm>

namespace humidora {
namespace {

const std::string& ItemOf(const UnitList AmbientControls::*list, int index)
{
    static const AmbientControls lists;
    return (lists.*list).items.at(static_cast<std::size_t>(index));
}

} // namespace

const std::array<ProcessParameter, 9> kProcessParameters = { {
    { "to-temperature", "Leaving Dry Bulb", ProcessKind::Heat, ProcessKind::Heat,
        ParameterReading::Temperature, &ProcessSpec::to_temperature_K },
    { "adp", "Apparatus Dew Point", ProcessKind::Coil, ProcessKind::Coil, ParameterReading::Temperature,
        &ProcessSpec::adp_K },
    { "bypass-factor", "Bypass Factor", ProcessKind::Coil, ProcessKind::Coil, ParameterReading::Plain,
        &ProcessSpec::bypass_factor, "0..1" },
    { "leaving-temperature", "Leaving Dry Bulb", ProcessKind::Coil, ProcessKind::Coil,
        ParameterReading::Temperature, &ProcessSpec::leaving_temperature_K },
    { "leaving-relative-humidity", "Leaving Relative Humidity", ProcessKind::Coil, ProcessKind::Coil,
        ParameterReading::Percent, &ProcessSpec::leaving_relative_humidity },
    { "effectiveness", "Saturation Effectiveness", ProcessKind::Evaporative, ProcessKind::Evaporative,
        ParameterReading::Plain, &ProcessSpec::effectiveness, "0..1" },
    { "to-relative-humidity", "Leaving Relative Humidity", ProcessKind::Evaporative, ProcessKind::Steam,
        ParameterReading::Percent, &ProcessSpec::to_relative_humidity },
    { "to-humidity-ratio", "Leaving Humidity Ratio", ProcessKind::Steam, ProcessKind::Steam,
        ParameterReading::HumidityRatio, &ProcessSpec::to_humidity_ratio },
    { "steam-temperature", "Steam Temperature", ProcessKind::Steam, ProcessKind::Steam,
        ParameterReading::Temperature, &ProcessSpec::steam_temperature_K },
} };

const std::array<ProcessForm, 8> kProcessForms = { {
    { ProcessKind::Mix, {} },
    { ProcessKind::Heat, { "to-temperature" } },
    { ProcessKind::Coil, { "adp", "bypass-factor" } },
    { ProcessKind::Coil, { "leaving-temperature", "leaving-relative-humidity" } },
    { ProcessKind::Evaporative, { "effectiveness" } },
    { ProcessKind::Evaporative, { "to-relative-humidity" } },
    { ProcessKind::Steam, { "to-humidity-ratio" } },
    { ProcessKind::Steam, { "to-relative-humidity" } },
} };

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
    case ParameterReading::Plain:
        break;
    }
    return {};
}

int ParameterDecimals(const ProcessParameter& parameter, const AmbientInputs& units)
{
    // A plain number (a factor between 0 and 1) as the ratios of the loads are shown.
    constexpr int kPlainDecimals = 4;
    const std::string_view unit = ParameterUnit(parameter, units);
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
    case ParameterReading::Plain:
        break;
    }
    return si;
}

std::string_view ProcessKindCaption(ProcessKind kind)
{
    constexpr std::array<std::string_view, 5> captions = { "Mixing", "Heating / Sensible Cooling",
        "Cooling Coil", "Evaporative Humidifier", "Steam Humidifier" };
    return captions.at(static_cast<std::size_t>(kind));
}

} // namespace humidora
