#include "calc/points/point_table.h"

#include "calc/ambient/ambient_phases.h"
#include "calc/points/process_parameters.h"
#include "calc/units/number_text.h"

namespace humidora {
namespace {

// Decimals of the texts of loads, water and the coil's figures, and of temperatures as the window gives
// the wet bulb and the dew point.
constexpr int kLoadDecimals = 3;
constexpr int kRatioDecimals = 4;
constexpr int kTemperatureDecimals = 3;

/// The table's text of a column: the window's, with a typed dry bulb or humidity ratio rounded as the
/// window rounds such values where it computes them.
std::string ColumnText(const AmbientControls& controls, const Quantity& quantity)
{
    const ValueBox& box = controls.*(quantity.box);
    if (!box.locked && IsNumberText(box.text)) {
        if (quantity.key == "temperature")
            return NumberText(NumberValue(box.text), kTemperatureDecimals);
        if (quantity.key == "humidity_ratio")
            return ambient::HumidityRatioText(NumberValue(box.text), controls.Combo6.text())
                .value_or(box.text);
    }
    return box.text;
}

std::string Escaped(std::string_view text)
{
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

// A cell of tab-separated text: a tab or line break inside would split it.
std::string Cell(std::string_view text)
{
    std::string cell(text);
    for (char& c : cell) {
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    }
    return cell;
}

} // namespace

std::vector<std::string> PointColumnUnits(const AmbientControls& controls, std::string_view flow_unit)
{
    std::vector<std::string> units;
    for (const PointColumn& column : kPointColumns) {
        const Quantity* quantity = FindQuantity(column.quantity);
        units.push_back(quantity ? (controls.*(quantity->list)).text() : "");
    }
    units[kFlowColumn] = flow_unit;
    return units;
}

double FlowInUnit(double flow_kg_s, const FlowUnit& unit, double specific_volume)
{
    return (unit.volume ? flow_kg_s * specific_volume : flow_kg_s) / unit.si_per_unit;
}

double FlowFromUnit(double value, const FlowUnit& unit, double specific_volume)
{
    const double si = value * unit.si_per_unit;
    return unit.volume ? si / specific_volume : si;
}

std::vector<std::string> PointRowTexts(
    std::string_view name, const PointView& view, std::optional<double> flow_kg_s, const FlowUnit& flow_unit)
{
    std::vector<std::string> row;
    for (const PointColumn& column : kPointColumns) {
        const Quantity* quantity = FindQuantity(column.quantity);
        row.push_back(quantity ? ColumnText(view.controls, *quantity) : "");
    }
    row.front() = name;
    if (flow_kg_s) {
        row[kFlowColumn] = view.ok()
            ? NumberText(FlowInUnit(*flow_kg_s, flow_unit, view.specific_volume), flow_unit.decimals)
            : "Error";
    }
    return row;
}

std::string LineText(const LoadLine& line)
{
    return line.caption + " " + line.text + (line.unit.empty() ? "" : " " + line.unit);
}

std::vector<LoadLine> LoadLines(
    const ProcessResult& result, ProcessKind kind, UnitSystem system, std::string_view temperature_unit)
{
    std::vector<LoadLine> lines;
    const bool british = system == UnitSystem::British;
    // A British load reads in btu/h and, beside it, in tons of refrigeration.
    const auto power = [&](const char* caption, const std::optional<double>& kW) {
        if (!kW)
            return;
        if (british) {
            const double btu_h = kBtuPerHour.FromBase(*kW);
            lines.push_back({ caption, NumberText(btu_h, kBtuPerHour.decimals),
                std::string(kBtuPerHour.key) + " (" + NumberText(btu_h / kBtuPerHourPerTon, kLoadDecimals)
                    + " tons)" });
        } else {
            lines.push_back({ caption, NumberText(*kW, kKilowatt.decimals), std::string(kKilowatt.key) });
        }
    };
    const auto water = [&](const char* caption, double kg_per_h) {
        lines.push_back(
            { caption, NumberText(british ? kg_per_h * kPoundPerKilogram : kg_per_h, kLoadDecimals),
                std::string((british ? kPoundPerHour : kKilogramPerHour).key) });
    };
    const ProcessLoads& loads = result.loads;
    // Heat recovery names what the outdoor air receives (negative when it is cooled).
    const bool recovery = kind == ProcessKind::Recovery;
    power(recovery ? "Recovered Total" : "Total Load", loads.total_kW);
    power(recovery ? "Recovered Sensible" : "Sensible Load", loads.sensible_kW);
    power(recovery ? "Recovered Latent" : "Latent Load", loads.latent_kW);
    power("Condensate Enthalpy", loads.condensate_enthalpy_kW);
    if (loads.sensible_heat_ratio)
        lines.push_back(
            { "Sensible Heat Ratio", NumberText(*loads.sensible_heat_ratio, kRatioDecimals), "" });
    if (recovery) {
        // Condensation on either side is shown, a side without any as 0.
        water("Outdoor Condensate", result.outdoor_condensate_kg_per_h.value_or(0));
        water("Exhaust Condensate", result.exhaust_condensate_kg_per_h.value_or(0));
    } else if (loads.water_kg_per_h) {
        const char* caption = kind == ProcessKind::Coil ? "Condensate"
            : kind == ProcessKind::Mix                  ? "Fog (condensed water)"
            : kind == ProcessKind::Steam                ? "Steam"
                                                        : "Water Added";
        water(caption, *loads.water_kg_per_h);
    }
    if (result.supply_volume_m3_s) {
        const FlowUnit unit = *FindFlowUnit(british ? "cfm" : "m^3/s");
        lines.push_back(
            { "Supply Volume Flow", NumberText(*result.supply_volume_m3_s / unit.si_per_unit, unit.decimals),
                std::string(unit.key) });
    }
    power("Steam Energy", loads.steam_energy_kW);
    if (result.apparatus_dew_point_K)
        lines.push_back({ "Apparatus Dew Point",
            NumberText(TemperatureFromKelvin(temperature_unit, *result.apparatus_dew_point_K)
                           .value_or(*result.apparatus_dew_point_K),
                kLoadDecimals),
            std::string(temperature_unit) });
    if (result.bypass_factor)
        lines.push_back({ "Bypass Factor", NumberText(*result.bypass_factor, kRatioDecimals), "" });
    return lines;
}

std::vector<LoadLine> ParameterLines(const ProcessSpec& recipe, const AmbientInputs& units)
{
    std::vector<LoadLine> lines;
    for (const ProcessParameter& parameter : kProcessParameters) {
        std::optional<double> value = recipe.*(parameter.field);
        if (parameter.field == &ProcessSpec::steam_temperature_K && recipe.kind == ProcessKind::Steam)
            value = value.value_or(kDefaultSteamK);
        if (!parameter.TakenBy(recipe.kind) || !value)
            continue;
        lines.push_back({ std::string(parameter.caption),
            NumberText(ParameterInUnit(parameter, *value, units), ParameterDecimals(parameter, units)),
            std::string(ParameterUnit(parameter, units)) });
    }
    return lines;
}

PointFigures FiguresOf(std::string_view name, const PointView& view, std::optional<double> flow_kg_s,
    const std::optional<AirState>& exact)
{
    PointFigures figures;
    figures.name = name;
    if (view.ok()) {
        figures.state = exact.value_or(view.state);
        figures.enthalpy_kJ_kg = MoistAirEnthalpy(figures.state->T_K, figures.state->W);
    }
    figures.flow_kg_s = flow_kg_s;
    for (const Quantity& quantity : kQuantities)
        figures.texts.push_back({ quantity.key, (view.controls.*(quantity.box)).text });
    return figures;
}

std::vector<Figure<double>> LoadFigures(const ProcessResult& r)
{
    std::vector<Figure<double>> figures;
    const ProcessLoads& l = r.loads;
    const Figure<std::optional<double>> all[]
        = { { "total_kW", l.total_kW }, { "sensible_kW", l.sensible_kW }, { "latent_kW", l.latent_kW },
              { "condensate_enthalpy_kW", l.condensate_enthalpy_kW },
              { "sensible_heat_ratio", l.sensible_heat_ratio }, { "water_kg_per_h", l.water_kg_per_h },
              { "steam_energy_kW", l.steam_energy_kW }, { "apparatus_dew_point_K", r.apparatus_dew_point_K },
              { "supply_volume_m3_per_s", r.supply_volume_m3_s },
              { "outdoor_condensate_kg_per_h", r.outdoor_condensate_kg_per_h },
              { "exhaust_condensate_kg_per_h", r.exhaust_condensate_kg_per_h } };
    for (const auto& [key, value] : all) {
        if (value)
            figures.push_back({ key, *value });
    }
    return figures;
}

std::vector<Figure<std::string>> RefusalFigures(const ProcessRefusal& refusal, const std::string& process)
{
    const Refusal& r = refusal.refusal;
    std::vector<Figure<std::string>> figures = { { "quantity", r.quantity }, { "text", r.text },
        { "reason", std::string(RefusalReasonName(r.reason)) }, { "minimum", r.minimum },
        { "maximum", r.maximum }, { "unit", r.unit }, { "message", refusal.sentence } };
    if (refusal.point.empty())
        figures.push_back({ "process", process });
    else
        figures.push_back({ "point", refusal.point });
    return figures;
}

std::string ProcessName(const ProcessSpec& recipe)
{
    return std::string(ProcessKindKey(recipe.kind)) + " to " + recipe.result_name;
}

std::string Heading(std::string_view caption, std::string_view unit)
{
    return unit.empty() ? std::string(caption) : std::string(caption) + " (" + std::string(unit) + ")";
}

std::string TabSeparated(
    const std::vector<std::string>& header, const std::vector<std::vector<std::string>>& rows)
{
    std::string text;
    const auto line = [&](const std::vector<std::string>& cells) {
        for (std::size_t i = 0; i < cells.size(); ++i)
            text += (i ? "\t" : "") + Cell(cells[i]);
        text += '\n';
    };
    line(header);
    for (const std::vector<std::string>& row : rows)
        line(row);
    return text;
}

std::string HtmlTable(
    const std::vector<std::string>& header, const std::vector<std::vector<std::string>>& rows)
{
    std::string html = "<table>\n<tr>";
    for (const std::string& cell : header)
        html += "<th>" + Escaped(cell) + "</th>";
    html += "</tr>\n";
    for (const std::vector<std::string>& row : rows) {
        html += "<tr>";
        for (const std::string& cell : row)
            html += "<td>" + Escaped(cell) + "</td>";
        html += "</tr>\n";
    }
    return html + "</table>\n";
}

} // namespace humidora
