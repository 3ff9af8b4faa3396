#include "calc/units/number_text.h"
#include "calc/windows/ambient_window.h"
#include "chart/chart_model.h"

#include <gtest/gtest.h>
#include <string>

namespace humidora::chart {
namespace {

AmbientWindow OpenWindow(bool british, bool hyland_wexler = false)
{
    AmbientWindow window;
    window.Open();
    if (british)
        window.ChooseBritish();
    if (hyland_wexler)
        window.ChooseHylandWexler();
    return window;
}

std::string ValueText(const ChartReadout& readout, std::string_view key)
{
    for (const ReadoutValue& value : readout.values) {
        if (value.key == key)
            return value.text;
    }
    return "(missing)";
}

// The quantity a family's label reads in the main window, and the decimals the window shows it with.
struct FamilyQuantity
{
    LineFamily family;
    std::string_view key;
    int decimals;
};
constexpr FamilyQuantity kReadBack[] = {
    { LineFamily::RelativeHumidity, "relative_humidity", 3 },
    { LineFamily::WetBulb, "wet_bulb", 3 },
    { LineFamily::Enthalpy, "enthalpy", 5 },
    { LineFamily::SpecificVolume, "specific_volume", 5 },
};

// Every interior point of every relative-humidity, wet-bulb, enthalpy and volume line, typed into the
// calculator (dry bulb and humidity ratio to 15 digits), reads the line's label in the window's digits.
void ExpectLinesReadBackTheirLabels(bool british, bool hyland_wexler)
{
    const AmbientWindow window = OpenWindow(british, hyland_wexler);
    ChartModel model;
    model.Follow(window);
    const std::string t_unit = window.controls().Combo1.text();
    const std::string w_unit = window.controls().Combo6.text();
    int checked = 0;
    for (const ChartLine& line : model.lines()->lines) {
        for (const FamilyQuantity& read : kReadBack) {
            if (read.family != line.family)
                continue;
            for (std::size_t i = 1; i + 1 < line.points.size(); i += 3) {
                const ChartPoint p = line.points[i];
                const ChartReadout readout = model.ReadoutFor(
                    *TemperatureText(p.T_K, t_unit, 12), *HumidityRatioText(p.W, w_unit, 18));
                ASSERT_TRUE(readout.accepted) << readout.reason;
                EXPECT_EQ(ValueText(readout, read.key), NumberText(line.value, read.decimals))
                    << FamilyName(line.family) << " " << line.value << " at " << p.T_K << " K, " << p.W;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 200);
}

TEST(ChartModel, MetricLinesReadBackTheirLabelsThroughTheCalculation)
{
    ExpectLinesReadBackTheirLabels(false, false);
}

TEST(ChartModel, BritishHylandWexlerLinesReadBackTheirLabelsThroughTheCalculation)
{
    ExpectLinesReadBackTheirLabels(true, true);
}

TEST(ChartModel, FollowsTheWindowsPressureMethodSystemAndState)
{
    AmbientWindow window = OpenWindow(false);
    ChartModel model;
    model.Follow(window);
    EXPECT_EQ(model.setup().pressure_Pa, 101325);
    EXPECT_EQ(model.setup().system, ChartSystem::Metric);
    ASSERT_TRUE(model.marker().has_value());
    EXPECT_EQ(model.marker()->T_K, 298.149993896484375);
    EXPECT_EQ(model.marker()->W, window.state().humidity_ratio);

    window.ClickOption(9);
    window.EditText(10, "2000");
    window.ChooseHylandWexler();
    model.Follow(window);
    EXPECT_EQ(model.setup().pressure_Pa, window.state().pressure);
    EXPECT_LT(model.setup().pressure_Pa, 80000);
    EXPECT_EQ(model.setup().method, kHylandWexler);

    // A refused altitude keeps the last accepted pressure; a refused humidity hides the marker.
    const double accepted = model.setup().pressure_Pa;
    window.EditText(10, "99999");
    model.Follow(window);
    EXPECT_EQ(model.setup().pressure_Pa, accepted);
    EXPECT_FALSE(model.marker().has_value());
    window.EditText(10, "0");
    window.EditText(4, "150");
    model.Follow(window);
    EXPECT_EQ(model.setup().pressure_Pa, 101325);
    EXPECT_FALSE(model.marker().has_value());

    // British, and a customized system by its temperature unit.
    window.ChooseBritish();
    model.Follow(window);
    EXPECT_EQ(model.setup().system, ChartSystem::British);
    window.ChooseMetric();
    window.SelectUnit(1, 2); // F
    model.Follow(window);
    EXPECT_EQ(model.setup().system, ChartSystem::British);
    window.SelectUnit(1, 1); // K
    model.Follow(window);
    EXPECT_EQ(model.setup().system, ChartSystem::Metric);
}

TEST(ChartModel, ReadoutShowsTheWindowsTextsForThePointsDigits)
{
    AmbientWindow window = OpenWindow(false);
    ChartModel model;
    model.Follow(window);
    const ChartLayout layout = LayoutFor(1000, 720);
    const ChartAxes axes(model.field(), layout.plot);
    const ChartReadout readout = model.ReadoutAt(axes, { 298.15 + 0.004, 0.0098832758 });
    ASSERT_TRUE(readout.accepted);
    // 60 K over about 890 pixels needs 0.01 C; 30 g/kg over about 600 pixels 0.00001 kg/kg.
    EXPECT_EQ(readout.inputs.temperature, "25");
    EXPECT_EQ(readout.inputs.humidity, ".00988");
    EXPECT_EQ(readout.inputs.humidity_option, 1);
    ASSERT_EQ(readout.values.size(), 7u);

    // The same inputs in the main window give the same seven texts.
    window.RestoreInputs(readout.inputs);
    const AmbientControls& c = window.controls();
    EXPECT_EQ(ValueText(readout, "temperature"), c.Text1.text);
    EXPECT_EQ(ValueText(readout, "humidity_ratio"), c.Text3.text);
    EXPECT_EQ(ValueText(readout, "relative_humidity"), c.Text4.text);
    EXPECT_EQ(ValueText(readout, "wet_bulb"), c.Text6.text);
    EXPECT_EQ(ValueText(readout, "dew_point"), c.Text5.text);
    EXPECT_EQ(ValueText(readout, "enthalpy"), c.Text16.text);
    EXPECT_EQ(ValueText(readout, "specific_volume"), c.Text15.text);
    EXPECT_EQ(readout.values[2].unit, "%");
    EXPECT_EQ(readout.values[5].unit, "kJ/kg (dry air)");
}

TEST(ChartModel, PointsAboveSaturationAreSupersaturated)
{
    const AmbientWindow window = OpenWindow(true);
    ChartModel model;
    model.Follow(window);
    const ChartAxes axes(model.field(), LayoutFor(1000, 720).plot);
    const ChartReadout readout = model.ReadoutAt(axes, { 293.15, 0.025 });
    EXPECT_FALSE(readout.accepted);
    EXPECT_TRUE(readout.supersaturated);
    EXPECT_NE(readout.reason.find("supersaturated"), std::string::npos);
    ASSERT_EQ(readout.values.size(), 2u);
    EXPECT_EQ(readout.values[0].unit, "F");
    EXPECT_EQ(readout.values[1].unit, "(lb moisture)/(lb dry air)");
}

TEST(ChartModel, ZoomPanResetAndMarkerHits)
{
    const AmbientWindow window = OpenWindow(false);
    ChartModel model;
    model.Follow(window);
    model.SetRange(ChartRange::Low);
    EXPECT_EQ(model.field(), PresetField(ChartRange::Low));
    const ChartLayout layout = LayoutFor(1000, 720);
    ChartAxes axes(model.field(), layout.plot);
    model.ZoomAt(axes, { 400, 300 }, 0.5);
    EXPECT_NEAR(model.field().t_max_K - model.field().t_min_K, 25, 1e-9);
    axes = ChartAxes(model.field(), layout.plot);
    model.Pan(axes, { 400, 300 }, { 500, 300 });
    EXPECT_LT(model.field().t_min_K, PresetField(ChartRange::Low).t_min_K + 12.5);
    model.ResetView();
    EXPECT_EQ(model.field(), PresetField(ChartRange::Low));
    EXPECT_FALSE(model.SetField({ 100, 300, 0, 0.01 }));

    model.SetRange(ChartRange::Normal);
    axes = ChartAxes(model.field(), layout.plot);
    const PixelPoint marker = axes.ToPixel(*model.marker());
    EXPECT_TRUE(model.HitsMarker(axes, { marker.x + 5, marker.y - 5 }, 1));
    EXPECT_FALSE(model.HitsMarker(axes, { marker.x + 12, marker.y }, 1));
}

} // namespace
} // namespace humidora::chart
