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
    { "bypass-factor", "Bypass Factor (0..1)", ProcessKind::Coil, ProcessKind::Coil, ParameterReading::Plain,
        &ProcessSpec::bypass_factor },
    { "leaving-temperature", "Leaving Dry Bulb", ProcessKind::Coil, ProcessKind::Coil,
        ParameterReading::Temperature, &ProcessSpec::leaving_temperature_K },
    { "leaving-relative-humidity", "Leaving Relative Humidity", ProcessKind::Coil, ProcessKind::Coil,
        ParameterReading::Percent, &ProcessSpec::leaving_relative_humidity },
    { "effectiveness", "Saturation Effectiveness (0..1)", ProcessKind::Evaporative, ProcessKind::Evaporative,
        ParameterReading::Plain, &ProcessSpec::effectiveness },
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

double ParameterInSi(const ProcessParameter& parameter, double value, const AmbientInputs& units)
{
    switch (parameter.reading) {
    case ParameterReading::Temperature:
        return KelvinFromTemperatureUnit(value, ItemOf(&AmbientControls::Combo1, units.selections[0]))
            .value_or(value);
    case ParameterReading::Percent:
        return value / 100;
    case ParameterReading::HumidityRatio:
        return ItemOf(&AmbientControls::Combo6, units.selections[5]) == "(g moisture)/(kg dry air)"
            ? value / 1000
            : value;
    case ParameterReading::Plain:
        break;
    }
    return value;
}

std::string_view ProcessKindCaption(ProcessKind kind)
{
    constexpr std::array<std::string_view, 5> captions = { "Mixing", "Heating / Sensible Cooling",
        "Cooling Coil", "Evaporative Humidifier", "Steam Humidifier" };
    return captions.at(static_cast<std::size_t>(kind));
}

} // namespace humidora
