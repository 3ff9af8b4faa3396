// The chart's overlay as a model: the 95 % regions of states from their covariance, the points and
// processes of a design with their guides, and the places of their labels, all without a toolkit.
#include "calc/points/state_points_list.h"
#include "calc/windows/ambient_window.h"
#include "chart/label_placer.h"
#include "chart/points_overlay.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace humidora::chart {
namespace {

/// v^T C^-1 v for v = (dT, dW) and the covariance C of the two.
double QuadraticForm(double dT, double dW, double var_T, double var_W, double cov)
{
    const double det = var_T * var_W - cov * cov;
    return (var_W * dT * dT - 2 * cov * dT * dW + var_T * dW * dW) / det;
}

struct RegionCase
{
    const char* name;
    double var_T, var_W, cov;
};

class RegionOutlineTest : public ::testing::TestWithParam<RegionCase>
{
};

TEST_P(RegionOutlineTest, EveryPointLiesOnTheChiSquareContourAndTheExtentsAreTheMarginalIntervals)
{
    const RegionCase c = GetParam();
    const ChartPoint centre { 300, 0.01 };
    const std::vector<ChartPoint> outline = RegionOutline(centre, c.var_T, c.var_W, c.cov, 720);
    ASSERT_EQ(outline.size(), 720u);
    double min_T = INFINITY, max_T = -INFINITY, min_W = INFINITY, max_W = -INFINITY;
    for (const ChartPoint& p : outline) {
        EXPECT_NEAR(QuadraticForm(p.T_K - centre.T_K, p.W - centre.W, c.var_T, c.var_W, c.cov),
            kChiSquare95TwoDof, 1e-9 * kChiSquare95TwoDof);
        min_T = std::min(min_T, p.T_K);
        max_T = std::max(max_T, p.T_K);
        min_W = std::min(min_W, p.W);
        max_W = std::max(max_W, p.W);
    }
    // The ellipse reaches sqrt(chi^2 var) either side in each quantity; 720 samples come within
    // 1 - cos(pi / 720) of it.
    const double half_T = std::sqrt(kChiSquare95TwoDof * c.var_T);
    const double half_W = std::sqrt(kChiSquare95TwoDof * c.var_W);
    EXPECT_NEAR(max_T - centre.T_K, half_T, 2e-5 * half_T);
    EXPECT_NEAR(centre.T_K - min_T, half_T, 2e-5 * half_T);
    EXPECT_NEAR(max_W - centre.W, half_W, 2e-5 * half_W);
    EXPECT_NEAR(centre.W - min_W, half_W, 2e-5 * half_W);
}

INSTANTIATE_TEST_SUITE_P(Covariances, RegionOutlineTest,
    ::testing::Values(RegionCase { "AxisAligned", 4, 1, 0 }, RegionCase { "StronglyCorrelated", 1, 1, 0.9 },
        RegionCase { "Anticorrelated", 2, 0.5, -0.8 },
        // A state's own scales: 0.1 K and 1e-4 kg/kg, correlated at 0.6.
        RegionCase { "KelvinAndKilogramPerKilogram", 0.01, 1e-8, 0.6 * 0.1 * 1e-4 },
        RegionCase { "AlmostALine", 0.04, 4e-8, 0.999999 * 0.2 * 2e-4 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegionOutline, DegenerateCovariances)
{
    EXPECT_TRUE(RegionOutline({ 300, 0.01 }, 0, 0, 0).empty());
    EXPECT_TRUE(RegionOutline({ 300, 0.01 }, NAN, 1e-8, 0).empty());
    EXPECT_TRUE(RegionOutline({ 300, 0.01 }, -1, 1e-8, 0).empty());
    // An exact humidity ratio: the region is the dry-bulb interval, a flat line at the state's W.
    const std::vector<ChartPoint> line = RegionOutline({ 300, 0.01 }, 0.04, 0, 0, 36);
    ASSERT_EQ(line.size(), 36u);
    double reach = 0;
    for (const ChartPoint& p : line) {
        EXPECT_EQ(p.W, 0.01);
        reach = std::max(reach, std::fabs(p.T_K - 300));
    }
    EXPECT_NEAR(reach, std::sqrt(kChiSquare95TwoDof * 0.04), 1e-12);
}

/// The main window at 25 C and 50 % (or 77 F in British) with the accuracies given (pressure exact).
AmbientWindow UncertainWindow(bool british, double temperature_accuracy, int ratio_unit = -1)
{
    AmbientWindow window;
    window.Open();
    if (british) {
        window.ChooseBritish();
        window.EditText(1, "77");
    }
    if (ratio_unit >= 0)
        window.SelectUnit(6, ratio_unit);
    UncertaintySettings settings;
    settings.enabled = true;
    settings.temperature = temperature_accuracy;
    settings.humidity = 2;
    settings.pressure = 0;
    window.SetUncertainty(settings);
    return window;
}

TEST(StateRegion, TheMarkersRegionIsTheSameInEveryUnitOfTheState)
{
    ChartModel metric;
    metric.Follow(UncertainWindow(false, 0.2));
    const std::vector<ChartPoint> reference = metric.marker_region();
    ASSERT_EQ(reference.size(), static_cast<std::size_t>(kRegionSegments));
    // The dry bulb is an input: its half-width is sqrt(chi^2) u with u = 0.2 K / sqrt 3.
    double reach_T = 0, mean_T = 0, mean_W = 0;
    for (const ChartPoint& p : reference) {
        reach_T = std::max(reach_T, std::fabs(p.T_K - metric.marker()->T_K));
        mean_T += p.T_K / reference.size();
        mean_W += p.W / reference.size();
    }
    EXPECT_NEAR(reach_T, std::sqrt(kChiSquare95TwoDof) * 0.2 / std::sqrt(3.0), 1e-3 * reach_T);
    EXPECT_NEAR(mean_T, metric.marker()->T_K, 1e-9);
    EXPECT_NEAR(mean_W, metric.marker()->W, 1e-12);

    struct Case
    {
        const char* name;
        AmbientWindow window;
    };
    const Case cases[] = { { "GramPerKilogram", UncertainWindow(false, 0.2, 1) },
        // 0.36 F is 0.2 K; the chart's British state is the same 25 C, at 14.696 psi (101.3253 kPa), which
        // moves the humidity ratio by a few parts in 10^5.
        { "British", UncertainWindow(true, 0.36) } };
    for (const Case& c : cases) {
        ChartModel model;
        model.Follow(c.window);
        const std::vector<ChartPoint> region = model.marker_region();
        ASSERT_EQ(region.size(), reference.size()) << c.name;
        for (std::size_t i = 0; i < region.size(); ++i) {
            EXPECT_NEAR(region[i].T_K - model.marker()->T_K, reference[i].T_K - metric.marker()->T_K, 1e-6)
                << c.name << " " << i;
            EXPECT_NEAR(region[i].W - model.marker()->W, reference[i].W - metric.marker()->W, 2e-8)
                << c.name << " " << i;
        }
    }
}

TEST(StateRegion, NoneWhileTheUncertaintyIsOffOrTheStateRefused)
{
    AmbientWindow window = UncertainWindow(false, 0.2);
    ChartModel model;
    model.Follow(window);
    ASSERT_FALSE(model.marker_region().empty());
    window.EditText(4, "130");
    model.Follow(window);
    EXPECT_FALSE(model.marker().has_value());
    EXPECT_TRUE(model.marker_region().empty());
    window.EditText(4, "50");
    UncertaintySettings off = window.uncertainty();
    off.enabled = false;
    window.SetUncertainty(off);
    model.Follow(window);
    EXPECT_TRUE(model.marker().has_value());
    EXPECT_TRUE(model.marker_region().empty());
    EXPECT_TRUE(model.Picture().marker_region.empty());
}

/// A summer design: outdoor and room air measured, their mixture, a coil by its ADP, a reheat.
StatePointsList SummerDesign(const AmbientInputs& window)
{
    StatePointsList list;
    AmbientInputs outdoor = window;
    outdoor.temperature = "33";
    outdoor.humidity = "55";
    list.Add(outdoor, 1.0);
    AmbientInputs room = window;
    room.temperature = "24";
    list.Add(room, 3.0);
    EXPECT_TRUE(list.Rename(0, "OA"));
    EXPECT_TRUE(list.Rename(1, "RA"));
    ProcessSpec mix;
    mix.kind = ProcessKind::Mix;
    mix.points = { "OA", "RA" };
    mix.result_name = "MA";
    EXPECT_EQ(list.AddProcess(mix), "");
    ProcessSpec coil;
    coil.kind = ProcessKind::Coil;
    coil.points = { "MA" };
    coil.adp_K = 283.15;
    coil.bypass_factor = 0.15;
    coil.result_name = "CA";
    EXPECT_EQ(list.AddProcess(coil), "");
    ProcessSpec heat;
    heat.kind = ProcessKind::Heat;
    heat.points = { "CA" };
    heat.to_temperature_K = 290.15;
    heat.result_name = "SA";
    EXPECT_EQ(list.AddProcess(heat), "");
    return list;
}

const OverlayPoint& PointNamed(const ChartOverlay& overlay, const std::string& name)
{
    return *std::find_if(
        overlay.points.begin(), overlay.points.end(), [&](const OverlayPoint& p) { return p.label == name; });
}

TEST(PointsOverlay, MeasuredPointsStatedLikeTheWindowCarryRegionsAndTheCoilRunsOnToItsAdp)
{
    AmbientWindow window = UncertainWindow(false, 0.2);
    const AmbientInputs inputs = window.CurrentInputs();
    StatePointsList list = SummerDesign(inputs);
    AmbientInputs dew = inputs; // a point given by its dew point: the RH accuracy means nothing for it
    dew.humidity_option = 3;
    dew.humidity = "12";
    list.Add(dew);
    ASSERT_TRUE(list.Rename(5, "DP"));

    const ChartOverlay overlay = PointsOverlay(list, &window.uncertainty(), &inputs);
    ASSERT_EQ(overlay.points.size(), 6u);
    EXPECT_FALSE(PointNamed(overlay, "OA").region.empty());
    EXPECT_FALSE(PointNamed(overlay, "RA").region.empty());
    for (const char* computed : { "MA", "CA", "SA", "DP" })
        EXPECT_TRUE(PointNamed(overlay, computed).region.empty()) << computed;
    // The room's region is the one the main window draws about the same state.
    AmbientWindow room = window;
    room.RestoreInputs(list.points()[1].inputs);
    ChartModel model;
    model.Follow(room);
    ASSERT_EQ(PointNamed(overlay, "RA").region, model.marker_region());

    // Three processes, four arrows (the mixing has two), one label each.
    ASSERT_EQ(overlay.arrows.size(), 4u);
    EXPECT_EQ(overlay.arrows[0].label, "mix");
    EXPECT_EQ(overlay.arrows[1].label, "");
    EXPECT_EQ(overlay.arrows[2].label, "coil");
    EXPECT_EQ(overlay.arrows[3].label, "heat");
    ASSERT_EQ(overlay.guides.size(), 1u);
    const OverlayGuide& guide = overlay.guides[0];
    EXPECT_EQ(guide.label, "ADP");
    ASSERT_EQ(guide.points.size(), 2u);
    EXPECT_EQ(guide.points.front(), PointNamed(overlay, "CA").point);
    EXPECT_DOUBLE_EQ(guide.points.back().T_K, 283.15);
    EXPECT_DOUBLE_EQ(guide.points.back().W, *SaturationHumidityRatio(283.15, {}));

    // Switched off, or without the window's inputs, no point carries a region.
    UncertaintySettings off = window.uncertainty();
    off.enabled = false;
    for (const ChartOverlay& plain : { PointsOverlay(list, &off, &inputs), PointsOverlay(list) }) {
        for (const OverlayPoint& point : plain.points)
            EXPECT_TRUE(point.region.empty()) << point.label;
    }
}

// ---- Labels ---------------------------------------------------------------------------------------------

/// Texts measured as a fixed-pitch font: 7 pixels a character, 13 high (point names 8 and 14, bold).
LabelSize FixedPitch(const std::string& text, LabelKind kind)
{
    const double pitch = kind == LabelKind::Point ? 8 : 7;
    return { pitch * static_cast<double>(text.size()) + 3, kind == LabelKind::Point ? 14.0 : 13.0 };
}

TEST(LabelPlacer, TakesTheFirstClearPlaceInItsOrderAndTheLeastCoveredWhenNoneIsClear)
{
    LabelPlacer placer({ 0, 0, 400, 300 });
    // Free: above right of the anchor, gap 3.
    const LabelRect first = placer.Place({ 100, 100 }, 20, 10, 3);
    EXPECT_DOUBLE_EQ(first.left, 103);
    EXPECT_DOUBLE_EQ(first.top, 87);
    // The same anchor again: above right is taken, below right is next.
    const LabelRect second = placer.Place({ 100, 100 }, 20, 10, 3);
    EXPECT_DOUBLE_EQ(second.left, 103);
    EXPECT_DOUBLE_EQ(second.top, 103);
    // Centred on its anchor when asked and free.
    const LabelRect centred = placer.Place({ 300, 200 }, 20, 10, 3, true);
    EXPECT_DOUBLE_EQ(centred.left, 290);
    EXPECT_DOUBLE_EQ(centred.top, 195);
    // At the top left corner only the places inside the bounds are taken.
    const LabelRect corner = placer.Place({ 2, 2 }, 20, 10, 3);
    EXPECT_GE(corner.left, 0);
    EXPECT_GE(corner.top, 0);
    for (std::size_t i = 0; i + 1 < placer.taken().size(); ++i)
        EXPECT_EQ(placer.taken()[i].Overlap(corner), 0) << i;

    // Everything blocked: a label is still placed, where it covers least.
    LabelPlacer full({ 0, 0, 100, 100 });
    full.Block({ 0, 0, 100, 100 });
    full.Block({ 60, 20, 40, 20 });
    const LabelRect forced = full.Place({ 50, 50 }, 20, 10, 3);
    EXPECT_EQ(forced.width, 20);
    EXPECT_LT(forced.Overlap({ 60, 20, 40, 20 }), 1e-9);
}

TEST(PlaceOverlayLabels, ACrowdedDesignsLabelsCoverNeitherEachOtherNorAnyDot)
{
    // The summer design on the chart drawn for the report (900 x 620 at scale 1), with six more points
    // crowded about the room state and a process between each pair of them.
    AmbientWindow window;
    window.Open();
    StatePointsList list = SummerDesign(window.CurrentInputs());
    for (int i = 0; i < 6; ++i) {
        AmbientInputs near = window.CurrentInputs();
        near.temperature = std::to_string(23.6 + 0.3 * i);
        near.humidity = std::to_string(48 + 1.5 * (i % 3));
        list.Add(near, 1.0);
    }
    for (int i = 5; i + 1 < 11; i += 2) {
        ProcessSpec heat;
        heat.kind = ProcessKind::Heat;
        heat.points = { list.points()[static_cast<std::size_t>(i)].name };
        heat.to_temperature_K = 273.15 + 24.5 + 0.2 * i;
        ASSERT_EQ(list.AddProcess(heat), "") << i;
    }
    // The design's own processes among them: the room's supply air with its line to the ADP, and heat
    // recovery between the outdoor and the return air with both its streams.
    ProcessSpec supply;
    supply.kind = ProcessKind::Supply;
    supply.points = { "RA" };
    supply.result_name = "RS";
    supply.sensible_load_kW = 30;
    supply.latent_load_kW = 10;
    supply.supply_temperature_K = 273.15 + 13;
    ASSERT_EQ(list.AddProcess(supply), "");
    ProcessSpec wheel;
    wheel.kind = ProcessKind::Recovery;
    wheel.points = { "OA", "RA" };
    wheel.result_name = "OW";
    wheel.exhaust_result_name = "EW";
    wheel.sensible_effectiveness = 0.7;
    wheel.latent_effectiveness = 0.6;
    ASSERT_EQ(list.AddProcess(wheel), "");
    const ChartOverlay overlay = PointsOverlay(list);
    ASSERT_GE(overlay.points.size(), 17u);
    ASSERT_GE(overlay.arrows.size(), 9u);
    ASSERT_GE(overlay.guides.size(), 2u);
    ChartModel model;
    model.Follow(window);
    const ChartLayout layout = LayoutFor(900, 620);
    const ChartAxes axes(model.field(), layout.plot);
    const OverlayLabels labels = PlaceOverlayLabels(overlay, model.marker(), axes, layout.scale, FixedPitch);
    ASSERT_EQ(labels.points.size(), overlay.points.size());
    ASSERT_EQ(labels.arrows.size(), overlay.arrows.size());
    ASSERT_EQ(labels.guides.size(), overlay.guides.size());

    std::vector<std::pair<std::string, LabelRect>> placed;
    for (std::size_t i = 0; i < labels.points.size(); ++i)
        placed.push_back({ overlay.points[i].label, labels.points[i] });
    for (std::size_t i = 0; i < labels.arrows.size(); ++i) {
        if (!overlay.arrows[i].label.empty())
            placed.push_back({ overlay.arrows[i].label, labels.arrows[i] });
    }
    for (std::size_t i = 0; i < labels.guides.size(); ++i)
        placed.push_back({ overlay.guides[i].label, labels.guides[i] });
    const PixelRect& plot = layout.plot;
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const auto& [text, rect] = placed[i];
        EXPECT_GT(rect.width, 0) << text;
        EXPECT_GE(rect.top, plot.top) << text;
        EXPECT_LE(rect.bottom(), plot.top + plot.height) << text;
        EXPECT_GE(rect.left, plot.left) << text;
        EXPECT_LE(rect.right(), plot.left + plot.width) << text;
        for (std::size_t j = i + 1; j < placed.size(); ++j)
            EXPECT_EQ(rect.Overlap(placed[j].second), 0) << text << " and " << placed[j].first;
        for (const OverlayPoint& point : overlay.points) {
            const PixelPoint at = axes.ToPixel(point.point);
            const double r = kPointDotRadius * layout.scale;
            EXPECT_EQ(rect.Overlap({ at.x - r, at.y - r, 2 * r, 2 * r }), 0)
                << text << " covers " << point.label;
        }
    }
    // The report's old fault: the mixing's label lay over the room's name.
    const auto find = [&](const std::string& text) {
        return std::find_if(placed.begin(), placed.end(), [&](const auto& p) {
            return p.first == text;
        })->second;
    };
    EXPECT_EQ(find("mix").Overlap(find("RA")), 0);
}

} // namespace
} // namespace humidora::chart
