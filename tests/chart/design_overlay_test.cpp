// The chart's overlay of the design's processes: the room's sensible-heat-ratio line from the room point
// through the supply point to its apparatus dew point on saturation; heat recovery's two streams, each
// to its own leaving point.
#include "chart/points_overlay.h"

#include <gtest/gtest.h>

namespace humidora::chart {
namespace {

AmbientInputs Typed(const std::string& temperature, const std::string& relative_humidity)
{
    AmbientInputs inputs;
    inputs.temperature = temperature;
    inputs.humidity_option = 2;
    inputs.humidity = relative_humidity;
    return inputs;
}

TEST(DesignOverlay, SupplyDrawsTheRoomsLineToItsApparatusDewPoint)
{
    StatePointsList list;
    list.Add(Typed("24", "50"));
    ProcessSpec supply;
    supply.kind = ProcessKind::Supply;
    supply.points = { "A" };
    supply.result_name = "S";
    supply.sensible_load_kW = 30;
    supply.latent_load_kW = 10;
    supply.supply_temperature_K = 286.15;
    ASSERT_EQ(list.AddProcess(supply), "");
    const ChartOverlay overlay = PointsOverlay(list);
    // The room and the supply point, no arrow: the line is a dashed guide from the room through the supply
    // to the ADP, labelled there.
    ASSERT_EQ(overlay.points.size(), std::size_t(2));
    EXPECT_TRUE(overlay.arrows.empty());
    ASSERT_EQ(overlay.guides.size(), std::size_t(1));
    const OverlayGuide& guide = overlay.guides[0];
    EXPECT_EQ(guide.label, "ADP, SHR .75");
    ASSERT_EQ(guide.points.size(), std::size_t(3));
    EXPECT_EQ(guide.points[0], overlay.points[0].point);
    EXPECT_EQ(guide.points[1], overlay.points[1].point);
    // The ADP lies on saturation; the supply point lies on the line from the room to it, in (W, h).
    const ProcessConditions c;
    const ChartPoint room = guide.points[0], at = guide.points[1], adp = guide.points[2];
    EXPECT_NEAR(RelativeHumidityOf({ adp.T_K, adp.W }, c), 1, 1e-9);
    const auto h = [](const ChartPoint& p) { return MoistAirEnthalpy(p.T_K, p.W); };
    const double cross = (h(at) - h(room)) * (adp.W - room.W) - (at.W - room.W) * (h(adp) - h(room));
    EXPECT_NEAR(cross, 0, 1e-6 * std::abs((h(adp) - h(room)) * (adp.W - room.W)));
    EXPECT_LT(adp.T_K, at.T_K);
}

TEST(DesignOverlay, RecoveryDrawsEachStreamToItsLeavingPoint)
{
    StatePointsList list;
    list.Add(Typed("-5", "80"), 2.0);
    list.Add(Typed("22", "40"), 1.8);
    ProcessSpec wheel;
    wheel.kind = ProcessKind::Recovery;
    wheel.points = { "A", "B" };
    wheel.sensible_effectiveness = 0.7;
    ASSERT_EQ(list.AddProcess(wheel), "");
    const ChartOverlay overlay = PointsOverlay(list);
    ASSERT_EQ(overlay.points.size(), std::size_t(4));
    ASSERT_EQ(overlay.arrows.size(), std::size_t(2));
    EXPECT_EQ(overlay.points[overlay.arrows[0].from].label, "A");
    EXPECT_EQ(overlay.points[overlay.arrows[0].to].label, "C");
    EXPECT_EQ(overlay.arrows[0].label, "recovery");
    EXPECT_EQ(overlay.points[overlay.arrows[1].from].label, "B");
    EXPECT_EQ(overlay.points[overlay.arrows[1].to].label, "D");
}

} // namespace
} // namespace humidora::chart
