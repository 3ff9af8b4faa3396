#include "calc/points/air_process.h"
#include "chart/chart_lines.h"

#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace humidora::chart {
namespace {

// The relation of each family, W as a function of the dry bulb, from the property routines and the
// moist-air relations (enthalpy and volume are linear in W): the test's own statement of what a line of
// a given label is. British enthalpy and volume labels are in btu/lb and ft^3/lb.
double RelationW(const ChartSpec& setup, const ChartLine& line, double T)
{
    const double P = setup.pressure_Pa;
    const bool metric = setup.system == ChartSystem::Metric;
    switch (line.family) {
    case LineFamily::Saturation:
    case LineFamily::RelativeHumidity:
        return HumidityRatioAt(T, line.value / 100, { P, setup.method }).value_or(NAN);
    case LineFamily::WetBulb:
        return HumidityRatioFromWetBulb(DryBulbKelvin(line.value, setup.system), T, P, setup.method);
    case LineFamily::Enthalpy: {
        const double h = metric ? line.value : line.value / 0.42992;
        return (h - MoistAirEnthalpy(T, 0)) / (MoistAirEnthalpy(T, 1) - MoistAirEnthalpy(T, 0));
    }
    case LineFamily::SpecificVolume: {
        const double v = metric ? line.value : line.value / 16.01846;
        return (v - SpecificVolume(T, 0, P)) / (SpecificVolume(T, 1, P) - SpecificVolume(T, 0, P));
    }
    case LineFamily::HumidityRatio:
        return HumidityRatioFromShown(line.value, setup.system);
    case LineFamily::DryBulb:
        break;
    }
    return NAN;
}

struct SpecCase
{
    const char* name;
    ChartSpec setup;
};

const SpecCase kSpecs[] = {
    { "NormalMetricIapws", { 101325, kIapws, ChartSystem::Metric, PresetField(ChartRange::Normal) } },
    { "NormalBritishHylandWexler",
        { 101325, kHylandWexler, ChartSystem::British, PresetField(ChartRange::Normal) } },
    { "LowMetricAltitude", { 79495, kIapws, ChartSystem::Metric, PresetField(ChartRange::Low) } },
    { "HighBritish", { 101325, kIapws, ChartSystem::British, PresetField(ChartRange::High) } },
    { "HighLowPressure", { 20000, kHylandWexler, ChartSystem::Metric, PresetField(ChartRange::High) } },
    { "ZoomedIntoTheComfortZone", { 101325, kIapws, ChartSystem::Metric, { 293.15, 300.15, 0.006, 0.013 } } },
};

class ChartLinesTest : public testing::TestWithParam<SpecCase>
{
};

TEST_P(ChartLinesTest, EveryFamilyIsPresentWithItsLabels)
{
    const ChartSpec& setup = GetParam().setup;
    const ChartLines chart = ComputeChartLines(setup);
    std::map<LineFamily, int> counts;
    for (const ChartLine& line : chart.lines) {
        ++counts[line.family];
        EXPECT_GE(line.points.size(), 2u) << FamilyName(line.family) << " " << line.value;
    }
    const bool zoomed = setup.field.w_min > 0;
    EXPECT_EQ(counts[LineFamily::Saturation], zoomed ? 0 : 1);
    EXPECT_GE(counts[LineFamily::RelativeHumidity], zoomed ? 3 : 9);
    EXPECT_GE(counts[LineFamily::WetBulb], 1);
    EXPECT_GE(counts[LineFamily::Enthalpy], 1);
    EXPECT_GE(counts[LineFamily::SpecificVolume], 1);
    EXPECT_GE(counts[LineFamily::DryBulb], 5);
    EXPECT_GE(counts[LineFamily::HumidityRatio], 5);
}

TEST_P(ChartLinesTest, EveryPointLiesOnItsLineInsideTheField)
{
    const ChartSpec& setup = GetParam().setup;
    const ChartField& f = setup.field;
    for (const ChartLine& line : ComputeChartLines(setup).lines) {
        for (const ChartPoint& p : line.points) {
            EXPECT_GE(p.T_K, f.t_min_K);
            EXPECT_LE(p.T_K, f.t_max_K);
            EXPECT_GE(p.W, f.w_min);
            EXPECT_LE(p.W, f.w_max);
            if (line.family == LineFamily::DryBulb)
                EXPECT_NEAR(p.T_K, DryBulbKelvin(line.value, setup.system), 1e-9);
            else
                EXPECT_NEAR(p.W, RelationW(setup, line, p.T_K), 1e-14 + 1e-12 * p.W)
                    << FamilyName(line.family) << " " << line.value << " at " << p.T_K;
        }
    }
}

TEST_P(ChartLinesTest, NoSegmentStraysHalfAPixelAtTheReferenceSize)
{
    const ChartSpec& setup = GetParam().setup;
    const ChartAxes axes(setup.field, { 0, 0, kReferenceWidth, kReferenceHeight });
    double worst = 0;
    for (const ChartLine& line : ComputeChartLines(setup).lines) {
        if (line.family == LineFamily::DryBulb)
            continue;
        for (std::size_t i = 1; i < line.points.size(); ++i) {
            const PixelPoint a = axes.ToPixel(line.points[i - 1]);
            const PixelPoint b = axes.ToPixel(line.points[i]);
            const double chord = std::hypot(b.x - a.x, b.y - a.y);
            for (int k = 1; k < 16; ++k) {
                const double T
                    = line.points[i - 1].T_K + (line.points[i].T_K - line.points[i - 1].T_K) * k / 16;
                const PixelPoint m = axes.ToPixel({ T, RelationW(setup, line, T) });
                const double distance
                    = std::fabs((b.x - a.x) * (m.y - a.y) - (b.y - a.y) * (m.x - a.x)) / chord;
                worst = std::max(worst, distance);
            }
        }
    }
    EXPECT_LT(worst, kToleranceInPixels);
}

TEST_P(ChartLinesTest, FallingLinesStartOnTheSaturationCurve)
{
    const ChartSpec& setup = GetParam().setup;
    const ChartAxes axes(setup.field, { 0, 0, kReferenceWidth, kReferenceHeight });
    for (const ChartLine& line : ComputeChartLines(setup).lines) {
        if (line.family != LineFamily::WetBulb && line.family != LineFamily::Enthalpy
            && line.family != LineFamily::SpecificVolume)
            continue;
        const ChartPoint start = line.points.front();
        const auto Ws = SaturationHumidityRatio(start.T_K, { setup.pressure_Pa, setup.method });
        ASSERT_TRUE(Ws.has_value());
        EXPECT_LE(start.W, *Ws + 1e-15);
        // Unless the line enters the field across its left or bottom edge, it begins on the curve.
        if (start.T_K > setup.field.t_min_K + 1e-4 && start.W > setup.field.w_min
            && start.W < setup.field.w_max)
            EXPECT_LT(axes.ToPixel({ start.T_K, *Ws }).y - axes.ToPixel(start).y, 0.01)
                << FamilyName(line.family) << " " << line.value;
        // The rest of the line lies on the unsaturated side.
        for (const ChartPoint& p : line.points)
            EXPECT_LE(
                p.W, SaturationHumidityRatio(p.T_K, { setup.pressure_Pa, setup.method }).value_or(1) + 1e-15);
    }
}

INSTANTIATE_TEST_SUITE_P(Specs, ChartLinesTest, testing::ValuesIn(kSpecs),
    [](const testing::TestParamInfo<SpecCase>& info) { return std::string(info.param.name); });

TEST(ChartLines, TheLabelStepEndsForEveryAxisSpan)
{
    // An axis of one value, a reversed one, or one that is not a number has no step; before, the search
    // for one never ended.
    for (const double span : { 0.0, -0.0, -5.0, std::nan(""), HUGE_VAL, -HUGE_VAL })
        EXPECT_EQ(LabelStep(span), 0) << span;
    // Ordinary spans get 1, 2 or 5 times a power of ten.
    const std::pair<double, double> steps[] = { { 100, 10 }, { 60, 5 }, { 0.5, 0.05 }, { 1, 0.1 } };
    for (const auto& [span, step] : steps)
        EXPECT_DOUBLE_EQ(LabelStep(span), step) << span;
    // A span whose step is a subnormal number still ends with one.
    EXPECT_GT(LabelStep(1e-320), 0);
    EXPECT_LE(1e-320 / LabelStep(1e-320), 15);
}

TEST(ChartLines, SaturationBelowFreezingFollowsTheIceBranch)
{
    // Saturation over ice at -20 C and 101.325 kPa holds 0.6373 g/kg (ASHRAE Fundamentals, the
    // thermodynamic-properties table of moist air); over supercooled water it would be about 0.78 g/kg.
    // 0.5 % covers the formulations' differences.
    for (const SaturationMethod method : { kIapws, kHylandWexler }) {
        const ChartLines chart
            = ComputeChartLines({ 101325, method, ChartSystem::Metric, PresetField(ChartRange::Low) });
        const ChartLine& saturation = chart.lines.front();
        ASSERT_EQ(saturation.family, LineFamily::Saturation);
        const auto at = std::lower_bound(saturation.points.begin(), saturation.points.end(), 253.15,
            [](const ChartPoint& p, double T) { return p.T_K < T; });
        ASSERT_NE(at, saturation.points.begin());
        const ChartPoint& a = *(at - 1);
        const double W = a.W + (at->W - a.W) * (253.15 - a.T_K) / (at->T_K - a.T_K);
        EXPECT_NEAR(W, 0.0006373, 0.0006373 * 0.005) << method;
    }
}

TEST(ChartLines, LabelsFollowTheSystemsSteps)
{
    struct Expected
    {
        ChartSystem system;
        LineFamily family;
        double step;
        std::string_view unit;
    };
    const Expected expected[] = {
        { ChartSystem::Metric, LineFamily::WetBulb, 5, "C" },
        { ChartSystem::Metric, LineFamily::Enthalpy, 10, "kJ/kg" },
        { ChartSystem::Metric, LineFamily::SpecificVolume, 0.05, "m^3/kg" },
        { ChartSystem::British, LineFamily::WetBulb, 5, "F" },
        { ChartSystem::British, LineFamily::Enthalpy, 5, "btu/lb" },
        { ChartSystem::British, LineFamily::SpecificVolume, 0.5, "ft^3/lb" },
    };
    for (const Expected& e : expected) {
        const ChartLines chart
            = ComputeChartLines({ 101325, kIapws, e.system, PresetField(ChartRange::Normal) });
        std::vector<double> values;
        for (const ChartLine& line : chart.lines) {
            if (line.family != e.family)
                continue;
            EXPECT_EQ(line.unit, e.unit);
            EXPECT_NEAR(std::remainder(line.value, e.step), 0, 1e-9) << line.value;
            values.push_back(line.value);
        }
        ASSERT_GE(values.size(), 3u) << FamilyName(e.family);
        for (std::size_t i = 1; i < values.size(); ++i)
            EXPECT_NEAR(values[i] - values[i - 1], e.step, 1e-9);
    }
}

TEST(ChartLineCache, ComputesEachSpecOnce)
{
    ChartLineCache cache;
    const ChartSpec normal;
    ChartSpec british = normal;
    british.system = ChartSystem::British;
    const auto first = cache.Lines(normal);
    EXPECT_EQ(cache.Lines(normal), first);
    cache.Lines(british);
    EXPECT_EQ(cache.Lines(normal), first);
    EXPECT_EQ(cache.computations(), 2u);
    ChartSpec other_pressure = normal;
    other_pressure.pressure_Pa = 90000;
    EXPECT_NE(
        cache.Lines(other_pressure)->lines.front().points.back().W, first->lines.front().points.back().W);
    EXPECT_EQ(cache.computations(), 3u);
}

TEST(ChartField, AxesRoundTripAndCorners)
{
    const ChartField field = PresetField(ChartRange::Normal);
    const ChartAxes axes(field, { 30, 50, 900, 600 });
    const PixelPoint bottom_left = axes.ToPixel({ field.t_min_K, field.w_min });
    EXPECT_DOUBLE_EQ(bottom_left.x, 30);
    EXPECT_DOUBLE_EQ(bottom_left.y, 650);
    const PixelPoint top_right = axes.ToPixel({ field.t_max_K, field.w_max });
    EXPECT_DOUBLE_EQ(top_right.x, 930);
    EXPECT_DOUBLE_EQ(top_right.y, 50);
    for (const PixelPoint pixel :
        { PixelPoint { 31.5, 77.25 }, PixelPoint { 500, 400 }, PixelPoint { 929, 649 } }) {
        const PixelPoint back = axes.ToPixel(axes.FromPixel(pixel));
        EXPECT_NEAR(back.x, pixel.x, 1e-9);
        EXPECT_NEAR(back.y, pixel.y, 1e-9);
        EXPECT_TRUE(axes.Contains(pixel));
    }
    EXPECT_FALSE(axes.Contains({ 29, 400 }));
    EXPECT_FALSE(axes.Contains({ 500, 651 }));
}

TEST(ChartField, ZoomKeepsItsAnchorAndPanStopsAtTheDomain)
{
    const ChartField normal = PresetField(ChartRange::Normal);
    const ChartField in = Zoomed(normal, 298.15, 0.01, 0.5);
    EXPECT_NEAR((298.15 - in.t_min_K) / (in.t_max_K - in.t_min_K), (298.15 - normal.t_min_K) / 60, 1e-12);
    EXPECT_NEAR(in.t_max_K - in.t_min_K, 30, 1e-9);
    EXPECT_NEAR(in.w_max - in.w_min, 0.015, 1e-12);
    // Zooming out far ends at the domain; zooming in far ends at the smallest spans.
    EXPECT_EQ(Zoomed(normal, 298.15, 0.01, 1e6), kDomain);
    const ChartField tiny = Zoomed(normal, 298.15, 0.01, 1e-9);
    EXPECT_TRUE(IsValidField(tiny));
    EXPECT_NEAR(tiny.t_max_K - tiny.t_min_K, kMinimumDryBulbSpanK, 1e-9);
    // A pan past the domain's bottom stops with the field resting on W = 0.
    const ChartField down = Panned(normal, 5, -1);
    EXPECT_EQ(down.w_min, 0);
    EXPECT_NEAR(down.t_min_K, normal.t_min_K + 5, 1e-12);
    EXPECT_FALSE(IsValidField({ 300, 290, 0, 0.01 }));
    EXPECT_FALSE(IsValidField({ 100, 290, 0, 0.01 }));
    EXPECT_FALSE(IsValidField({ 280, 290, 0, NAN }));
    for (const ChartRange range : { ChartRange::Normal, ChartRange::Low, ChartRange::High }) {
        EXPECT_TRUE(IsValidField(PresetField(range)));
        EXPECT_EQ(RangeFromName(RangeName(range)), range);
    }
    EXPECT_FALSE(RangeFromName("Normal").has_value());
}

} // namespace
} // namespace humidora::chart
