#include "chart/chart_json.h"

#include <charconv>
#include <cmath>

namespace humidora::chart {
namespace {

// As %g would write it in the "C" locale, whatever locale the process runs in (Qt programs take the
// user's, whose decimal point may be a comma).
std::string Number(double value, int significant)
{
    char text[80];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, significant);
    return std::string(text, end.ptr);
}

// A label or an axis end: its value in the axis unit, free of the round-off of the unit conversion.
std::string Label(double value)
{
    return Number(std::round(value * 1e9) / 1e9, 15);
}

void AppendAxis(std::string& json, const char* name, std::string_view unit, double min, double max)
{
    json += "\"";
    json += name;
    json += "\":{\"unit\":\"";
    json += unit;
    json += "\",\"min\":" + Label(min) + ",\"max\":" + Label(max) + "}";
}

} // namespace

std::string ChartJson(
    const ChartLines& chart, const std::optional<ChartPoint>& state, const std::string& members)
{
    const ChartSpec& setup = chart.setup;
    std::string json = "{\"pressure_Pa\":" + Number(setup.pressure_Pa, 17) + ",\"method\":\""
        + (setup.method == kIapws ? "iapws" : "hyland-wexler") + "\",\"system\":\""
        + (setup.system == ChartSystem::Metric ? "metric" : "british") + "\",";
    AppendAxis(json, "dry_bulb", DryBulbUnit(setup.system), DryBulbShown(setup.field.t_min_K, setup.system),
        DryBulbShown(setup.field.t_max_K, setup.system));
    json += ",";
    AppendAxis(json, "humidity_ratio", HumidityRatioUnit(setup.system),
        HumidityRatioShown(setup.field.w_min, setup.system),
        HumidityRatioShown(setup.field.w_max, setup.system));
    json += ",\"lines\":[";
    for (std::size_t i = 0; i < chart.lines.size(); ++i) {
        const ChartLine& line = chart.lines[i];
        json += (i ? ",{\"family\":\"" : "{\"family\":\"") + std::string(FamilyName(line.family))
            + "\",\"value\":" + Label(line.value) + ",\"unit\":\"" + std::string(line.unit)
            + "\",\"points\":[";
        for (std::size_t k = 0; k < line.points.size(); ++k) {
            json += (k ? ",[" : "[") + Number(line.points[k].T_K, 17) + "," + Number(line.points[k].W, 17)
                + "]";
        }
        json += "]}";
    }
    json += "]";
    if (state) {
        // Up to 40 digits: the exact decimal of a single-precision dry bulb, without trailing zeros.
        json += ",\"state\":{\"T_K\":" + Number(state->T_K, 40) + ",\"W\":" + Number(state->W, 17) + "}";
    }
    if (!members.empty())
        json += "," + members;
    return json + "}";
}

std::string RegionJson(const std::vector<ChartPoint>& outline)
{
    std::string json = "\"region\":{\"probability\":0.95,\"points\":[";
    for (std::size_t k = 0; k < outline.size(); ++k)
        json += (k ? ",[" : "[") + Number(outline[k].T_K, 17) + "," + Number(outline[k].W, 17) + "]";
    return json + "]}";
}

} // namespace humidora::chart
