#include "chart/chart_field.h"

#include "calc/ambient/input_limits.h"
#include "calc/units/units.h"

#include <algorithm>
#include <array>

namespace humidora::chart {
namespace {

constexpr double kGrainsPerPound = 7000;

struct NamedRange
{
    ChartRange range;
    std::string_view name;
    ChartField field;
};
constexpr std::array<NamedRange, 3> kRanges = { {
    { ChartRange::Normal, "normal", { 263.15, 323.15, 0, 0.030 } },
    { ChartRange::Low, "low", { 233.15, 283.15, 0, 0.010 } },
    { ChartRange::High, "high", { 283.15, 373.15, 0, 0.150 } },
} };

// One axis of a field: its span first limited to [minimum span, domain span], then moved inside the
// domain.
void FitAxis(double& low, double& high, double domain_low, double domain_high, double minimum_span)
{
    // A hair above the smallest span, so that the difference of the rounded ends still reaches it.
    const double span = std::clamp(high - low, minimum_span * (1 + 1e-9), domain_high - domain_low);
    const double centre = (low + high) / 2;
    low = std::clamp(centre - span / 2, domain_low, domain_high - span);
    high = low + span;
}

ChartField Fitted(ChartField field)
{
    FitAxis(field.t_min_K, field.t_max_K, kDomain.t_min_K, kDomain.t_max_K, kMinimumDryBulbSpanK);
    FitAxis(field.w_min, field.w_max, kDomain.w_min, kDomain.w_max, kMinimumHumidityRatioSpan);
    return field;
}

} // namespace

// The conversions of the calculator's temperature boxes.
double DryBulbShown(double temperature_K, ChartSystem system)
{
    return *TemperatureFromKelvin(DryBulbUnit(system), temperature_K);
}

double DryBulbKelvin(double shown, ChartSystem system)
{
    return *TemperatureToKelvin(DryBulbUnit(system), shown);
}

double HumidityRatioShown(double W, ChartSystem system)
{
    return W * (system == ChartSystem::Metric ? 1000 : kGrainsPerPound);
}

double HumidityRatioFromShown(double shown, ChartSystem system)
{
    return shown / (system == ChartSystem::Metric ? 1000 : kGrainsPerPound);
}

std::string_view DryBulbUnit(ChartSystem system)
{
    return system == ChartSystem::Metric ? kCelsius.key : kFahrenheit.key;
}

std::string_view HumidityRatioUnit(ChartSystem system)
{
    return system == ChartSystem::Metric ? "g/kg" : "gr/lb";
}

ChartField PresetField(ChartRange range)
{
    for (const NamedRange& named : kRanges) {
        if (named.range == range)
            return named.field;
    }
    return kRanges.front().field;
}

std::string_view RangeName(ChartRange range)
{
    for (const NamedRange& named : kRanges) {
        if (named.range == range)
            return named.name;
    }
    return kRanges.front().name;
}

std::optional<ChartRange> RangeFromName(std::string_view name)
{
    for (const NamedRange& named : kRanges) {
        if (named.name == name)
            return named.range;
    }
    return std::nullopt;
}

ChartRange RangeHolding(ChartPoint point)
{
    for (const NamedRange& named : kRanges) {
        const ChartField& f = named.field;
        if (f.t_min_K <= point.T_K && point.T_K <= f.t_max_K && f.w_min <= point.W && point.W <= f.w_max)
            return named.range;
    }
    return ChartRange::Normal;
}

bool IsValidField(const ChartField& field)
{
    // Written so that NaN fails every comparison.
    return field.t_min_K >= kDomain.t_min_K && field.t_max_K <= kDomain.t_max_K
        && field.t_max_K - field.t_min_K >= kMinimumDryBulbSpanK && field.w_min >= kDomain.w_min
        && field.w_max <= kDomain.w_max && field.w_max - field.w_min >= kMinimumHumidityRatioSpan;
}

ChartField Zoomed(const ChartField& field, double temperature_K, double W, double factor)
{
    ChartField zoomed;
    zoomed.t_min_K = temperature_K + (field.t_min_K - temperature_K) * factor;
    zoomed.t_max_K = temperature_K + (field.t_max_K - temperature_K) * factor;
    zoomed.w_min = W + (field.w_min - W) * factor;
    zoomed.w_max = W + (field.w_max - W) * factor;
    return Fitted(zoomed);
}

ChartField Panned(const ChartField& field, double dT_K, double dW)
{
    ChartField panned = field;
    const double dT = std::clamp(dT_K, kDomain.t_min_K - field.t_min_K, kDomain.t_max_K - field.t_max_K);
    const double dw = std::clamp(dW, kDomain.w_min - field.w_min, kDomain.w_max - field.w_max);
    panned.t_min_K += dT;
    panned.t_max_K += dT;
    panned.w_min += dw;
    panned.w_max += dw;
    return panned;
}

ChartAxes::ChartAxes(const ChartField& field, const PixelRect& plot)
    : field_(field)
    , plot_(plot)
{
}

PixelPoint ChartAxes::ToPixel(ChartPoint point) const
{
    return { plot_.left + (point.T_K - field_.t_min_K) / KelvinPerPixel(),
        plot_.top + plot_.height - (point.W - field_.w_min) / HumidityRatioPerPixel() };
}

ChartPoint ChartAxes::FromPixel(PixelPoint pixel) const
{
    return { field_.t_min_K + (pixel.x - plot_.left) * KelvinPerPixel(),
        field_.w_min + (plot_.top + plot_.height - pixel.y) * HumidityRatioPerPixel() };
}

bool ChartAxes::Contains(PixelPoint pixel) const
{
    return pixel.x >= plot_.left && pixel.x <= plot_.left + plot_.width && pixel.y >= plot_.top
        && pixel.y <= plot_.top + plot_.height;
}

double ChartAxes::KelvinPerPixel() const
{
    return (field_.t_max_K - field_.t_min_K) / plot_.width;
}

double ChartAxes::HumidityRatioPerPixel() const
{
    return (field_.w_max - field_.w_min) / plot_.height;
}

} // namespace humidora::chart
