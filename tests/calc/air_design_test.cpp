// Supply air from a room's loads and heat recovery between two streams: cases worked by hand (the
// IAPWS-IF97 saturation line evaluated separately, the textbook relations of the loads), the balances of
// dry air, water and energy over random inputs with their refusals, and the exact ends (supply air at the
// apparatus dew point, an effectiveness of 0 and 1).
#include "calc/points/air_design.h"

#include <gtest/gtest.h>
#include <random>

namespace humidora {
namespace {

constexpr double kC = 273.15;
const ProcessConditions kSeaLevel { 101325, kIapws };

AirState At(double t_C, double phi, const ProcessConditions& c = kSeaLevel)
{
    return { t_C + kC, HumidityRatioAt(t_C + kC, phi, c).value() };
}

double Enthalpy(const AirState& s)
{
    return MoistAirEnthalpy(s.T_K, s.W);
}

// Room 24 C, 50 % at sea level; sensible 30 kW, latent 10 kW. By hand: W_r = 0.0093006; the latent heat at
// the room 2501 + 1.805 x 24 = 2544.32 kJ/kg; with the supply at 13 C the ratio of the loads gives
// W_s = (30 x 2544.32 x W_r - 1.006 x 10 x 11) / (30 x 2544.32 + 1.805 x 10 x 11) = 0.0078305 and
// m = 30 / ((1.006 + 1.805 W_s) 11) = 2.67345 kg/s; v_s = 0.82100 m^3/kg, 2.1949 m^3/s. The line meets
// the saturation line of IAPWS-IF97 at 9.4663 C (W 0.0073598), where the flow is 2.02512 kg/s.
const AirState kRoom = At(24, 0.5);
const RoomLoads kLoads { 30, 10 };

TEST(SupplyAirByHand, AtASupplyDryBulb)
{
    EXPECT_NEAR(kRoom.W, 0.0093006, 1e-7);
    const ProcessResult r = SupplyAtTemperature(kRoom, kLoads, 13 + kC, kSeaLevel);
    ASSERT_FALSE(r.refused()) << r.refusal;
    EXPECT_DOUBLE_EQ(r.leaving.state.T_K, 13 + kC);
    EXPECT_NEAR(r.leaving.state.W, 0.0078305, 1e-7);
    EXPECT_NEAR(*r.leaving.flow_kg_s, 2.67345, 1e-5);
    EXPECT_NEAR(*r.supply_volume_m3_s, 2.1949, 1e-4);
    EXPECT_NEAR(*r.apparatus_dew_point_K - kC, 9.4663, 1e-4);
    EXPECT_DOUBLE_EQ(*r.loads.total_kW, 40);
    EXPECT_DOUBLE_EQ(*r.loads.sensible_heat_ratio, 0.75);
}

TEST(SupplyAirByHand, AtAFlowAndItsLeastFlow)
{
    // 2.5 kg/s: W_s = W_r - 10 / (2.5 x 2544.32), t_s = 24 - 30 / (2.5 (1.006 + 1.805 W_s)).
    const double W = kRoom.W - 10 / (2.5 * 2544.32);
    const ProcessResult r = SupplyAtFlow(kRoom, kLoads, 2.5, kSeaLevel);
    ASSERT_FALSE(r.refused()) << r.refusal;
    EXPECT_NEAR(r.leaving.state.W, W, 1e-15);
    EXPECT_NEAR(r.leaving.state.T_K - kC, 24 - 30 / (2.5 * (1.006 + 1.805 * W)), 1e-12);
    // 2 kg/s would bring the supply to 9.28 C with W 0.0073355, above saturation: the least flow is named.
    const ProcessResult low = SupplyAtFlow(kRoom, kLoads, 2, kSeaLevel);
    ASSERT_TRUE(low.refused());
    EXPECT_NE(low.refusal.find("supply dry-air flow 2 kg/s lies below its minimum of 2.02512 kg/s"),
        std::string::npos)
        << low.refusal;
    ASSERT_TRUE(low.breach);
    EXPECT_EQ(low.breach->quantity, "supply_flow_kg_per_s");
    EXPECT_FALSE(low.breach->above);
    EXPECT_EQ(low.breach->value, 2);
    // The least flow brings the supply exactly to the apparatus dew point, and is itself accepted.
    const ProcessResult least = SupplyAtFlow(kRoom, kLoads, low.breach->limit, kSeaLevel);
    ASSERT_FALSE(least.refused()) << least.refusal;
    EXPECT_NEAR(least.leaving.state.T_K - kC, 9.46631, 5e-6);
}

TEST(SupplyAir, TheApparatusDewPointItselfIsAccepted)
{
    for (const SaturationMethod method : { kIapws, kHylandWexler }) {
        for (const double pressure : { 101325.0, 70000.0 }) {
            const ProcessConditions c { pressure, method };
            const AirState room = At(26, 0.45, c);
            const RoomLoads loads { 18, 6 };
            const AdpOnLine adp = RoomApparatusDewPoint(room, loads, c);
            ASSERT_TRUE(adp.adp_K) << adp.refusal;
            const ProcessResult at = SupplyAtTemperature(room, loads, *adp.adp_K, c);
            ASSERT_FALSE(at.refused()) << at.refusal;
            EXPECT_NEAR(RelativeHumidityOf(at.leaving.state, c), 1, 1e-9);
            // Its flow, given back, is accepted too, and a little less is not.
            const ProcessResult by_flow = SupplyAtFlow(room, loads, *at.leaving.flow_kg_s, c);
            ASSERT_FALSE(by_flow.refused()) << by_flow.refusal;
            EXPECT_NEAR(by_flow.leaving.state.T_K, *adp.adp_K, 1e-9);
            EXPECT_TRUE(SupplyAtFlow(room, loads, *at.leaving.flow_kg_s * (1 - 1e-6), c).refused());
            EXPECT_TRUE(SupplyAtTemperature(room, loads, *adp.adp_K - 1e-6, c).refused());
            // A dry bulb typed in another unit lands within a few ulps of it: still saturation.
            EXPECT_FALSE(SupplyAtTemperature(room, loads, std::nextafter(*adp.adp_K, 0.0), c).refused());
        }
    }
}

TEST(SupplyAir, SensibleOnlyLineEndsAtTheRoomDewPoint)
{
    // No latent load: the line keeps the room's humidity ratio and meets saturation at its dew point.
    const AdpOnLine adp = RoomApparatusDewPoint(kRoom, { 25, 0 }, kSeaLevel);
    ASSERT_TRUE(adp.adp_K) << adp.refusal;
    const double p_v = 101325 * kRoom.W / (kMolarMassRatio + kRoom.W);
    EXPECT_NEAR(*adp.adp_K, SaturationTemperature(p_v, kIapws), 1e-6);
    const ProcessResult r = SupplyAtTemperature(kRoom, { 25, 0 }, 15 + kC, kSeaLevel);
    ASSERT_FALSE(r.refused()) << r.refusal;
    EXPECT_EQ(r.leaving.state.W, kRoom.W);
    EXPECT_DOUBLE_EQ(*r.loads.sensible_heat_ratio, 1);
}

TEST(SupplyAir, ACoilMakingTheSupplyFromRoomAirCarriesTheRoomLoads)
{
    // The loads are split as the coil splits its own: a coil from the room state to the supply state with
    // the supply's flow has the same sensible and latent loads.
    const ProcessResult supply = SupplyAtTemperature(kRoom, kLoads, 13 + kC, kSeaLevel);
    ASSERT_FALSE(supply.refused()) << supply.refusal;
    const AirState& s = supply.leaving.state;
    const ProcessResult coil = CoilByLeaving(
        { kRoom, supply.leaving.flow_kg_s }, s.T_K, RelativeHumidityOf(s, kSeaLevel), kSeaLevel);
    ASSERT_FALSE(coil.refused()) << coil.refusal;
    EXPECT_NEAR(*coil.loads.sensible_kW, 30, 1e-9);
    EXPECT_NEAR(*coil.loads.latent_kW, 10, 1e-9);
    // And the coil's ADP is the room line's: the supply lies on it.
    EXPECT_NEAR(*coil.apparatus_dew_point_K, *supply.apparatus_dew_point_K, 1e-5);
}

TEST(SupplyAir, WinterHeatingLoad)
{
    // Room 21 C, 35 %; a heating load of 40 kW and 3 kW of latent gains, supply at 35 C: no ADP, the flow
    // 40 / ((1.006 + 1.805 W_s) 14) and the supply drier than the room.
    const AirState room = At(21, 0.35);
    const ProcessResult r = SupplyAtTemperature(room, { -40, 3 }, 35 + kC, kSeaLevel);
    ASSERT_FALSE(r.refused()) << r.refusal;
    EXPECT_FALSE(r.apparatus_dew_point_K);
    EXPECT_LT(r.leaving.state.W, room.W);
    EXPECT_NEAR(*r.leaving.flow_kg_s, 40 / ((1.006 + 1.805 * r.leaving.state.W) * 14), 1e-12);
    EXPECT_TRUE(SupplyAtTemperature(room, { -40, 3 }, 18 + kC, kSeaLevel).refused());
}

TEST(SupplyAir, LoadsFromTotalAndRatio)
{
    const struct
    {
        double total, ratio, sensible, latent;
    } cases[] = { { 40, 0.75, 30, 10 }, { 40, 1, 40, 0 }, { 40, 0, 0, 40 }, { -20, 1.1, -22, 2 } };
    for (const auto& c : cases) {
        const RoomLoads loads = LoadsFromTotal(c.total, c.ratio);
        EXPECT_NEAR(loads.sensible_kW, c.sensible, 1e-12) << c.total << " " << c.ratio;
        EXPECT_NEAR(loads.latent_kW, c.latent, 1e-12) << c.total << " " << c.ratio;
        EXPECT_EQ(loads.sensible_kW + loads.latent_kW, c.total);
    }
}

TEST(SupplyAirRefusals, EachNamesItsQuantityValueAndLimit)
{
    const double adp_K = *RoomApparatusDewPoint(kRoom, kLoads, kSeaLevel).adp_K;
    const struct
    {
        const char* what;
        ProcessResult result;
        const char* text;
        const char* quantity; ///< of the breach; empty for a rule without a limit
        bool above;
        double value;
        double limit;
    } cases[] = {
        { "warmer supply for cooling", SupplyAtTemperature(kRoom, kLoads, 26 + kC, kSeaLevel),
            "supply dry bulb 26 C must lie below 24 C, the room dry bulb", "supply_temperature_K", true,
            26 + kC, kRoom.T_K },
        { "supply at the room", SupplyAtTemperature(kRoom, kLoads, 24 + kC, kSeaLevel),
            "supply dry bulb 24 C must lie below 24 C, the room dry bulb", "supply_temperature_K", true,
            24 + kC, kRoom.T_K },
        { "cooler supply for heating", SupplyAtTemperature(kRoom, { -10, 0 }, 20 + kC, kSeaLevel),
            "supply dry bulb 20 C must lie above 24 C, the room dry bulb", "supply_temperature_K", false,
            20 + kC, kRoom.T_K },
        { "below the ADP", SupplyAtTemperature(kRoom, kLoads, 8 + kC, kSeaLevel),
            "supply dry bulb 8 C lies below its minimum of 9.46631 C, the apparatus dew point",
            "supply_temperature_K", false, 8 + kC, adp_K },
        { "above the calculator's range", SupplyAtTemperature(kRoom, { -10, 0 }, 120 + kC, kSeaLevel),
            "supply dry bulb 120 C lies above its maximum of 100 C", "supply_temperature_K", true, 120 + kC,
            373.15 },
        { "negative flow", SupplyAtFlow(kRoom, kLoads, -1, kSeaLevel),
            "supply dry-air flow -1 kg/s must lie above 0 kg/s", "supply_flow_kg_per_s", false, -1, 0 },
        { "zero flow", SupplyAtFlow(kRoom, kLoads, 0, kSeaLevel), "flow 0 kg/s must lie above 0 kg/s",
            "supply_flow_kg_per_s", false, 0, 0 },
        { "heating supply beyond 100 C", SupplyAtFlow(kRoom, { -100, 0 }, 0.5, kSeaLevel),
            "supply dry bulb 219.544 C lies above its maximum of 100 C", "temperature", true,
            kRoom.T_K + 100 / (0.5 * (1.006 + 1.805 * kRoom.W)), 373.15 },
        { "drying below dry air", SupplyAtFlow(kRoom, { -10, 100 }, 1, kSeaLevel), "supply humidity ratio -",
            "humidity_ratio", false, kRoom.W - 100 / (1 * (2501 + 1.805 * 24)), 0 },
        { "no sensible load", SupplyAtTemperature(kRoom, { 0, 5 }, 20 + kC, kSeaLevel),
            "With no room sensible load", "", false, 0, 0 },
        { "line reaching dry air", SupplyAtTemperature(kRoom, { 1, 60 }, 23.5 + kC, kSeaLevel),
            "reaches dry air before it meets saturation", "", false, 0, 0 },
        { "supersaturated room", SupplyAtFlow({ 24 + kC, 0.03 }, kLoads, 3, kSeaLevel),
            "room humidity ratio .03 kg/kg lies above its maximum of", "humidity_ratio", true, 0.03,
            *SaturationHumidityRatio(24 + kC, kSeaLevel) },
        { "not a number", SupplyAtFlow(kRoom, { std::nan(""), 1 }, 3, kSeaLevel), "sensible load", "", false,
            0, 0 },
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(c.result.refused()) << c.what;
        EXPECT_NE(c.result.refusal.find(c.text), std::string::npos) << c.what << ": " << c.result.refusal;
        // A refusal never carries a unit bound to one system into its words when it has a limit: the
        // limit travels as data.
        ASSERT_EQ(c.result.breach.has_value(), *c.quantity != 0) << c.what;
        if (!c.result.breach)
            continue;
        EXPECT_EQ(c.result.breach->quantity, c.quantity) << c.what;
        EXPECT_EQ(c.result.breach->above, c.above) << c.what;
        EXPECT_NEAR(c.result.breach->value, c.value, 1e-9) << c.what;
        EXPECT_NEAR(c.result.breach->limit, c.limit, 1e-12) << c.what;
        EXPECT_FALSE(c.result.breach->subject.empty()) << c.what;
    }
}

TEST(SupplyAirConservation, RandomRoomsLoadsAndSupplies)
{
    std::mt19937_64 random(21);
    std::uniform_real_distribution<double> unit(0, 1);
    int computed = 0, refused = 0, at_adp = 0;
    for (int i = 0; i < 3000; ++i) {
        const ProcessConditions c { 60000 + 45000 * unit(random),
            unit(random) < 0.5 ? kIapws : kHylandWexler };
        const AirState room = At(-5 + 45 * unit(random), 0.05 + 0.9 * unit(random), c);
        const RoomLoads loads { -50 + 150 * unit(random), -5 + 30 * unit(random) };
        const bool by_flow = unit(random) < 0.5;
        const double flow = -0.5 + 10 * unit(random);
        const double supply_K = room.T_K - 30 + 40 * unit(random);
        const ProcessResult r
            = by_flow ? SupplyAtFlow(room, loads, flow, c) : SupplyAtTemperature(room, loads, supply_K, c);
        if (r.refused()) {
            ++refused;
            EXPECT_NE(r.refusal.find_first_of("0123456789"), std::string::npos) << r.refusal;
            continue;
        }
        ++computed;
        const AirState& s = r.leaving.state;
        const double m = *r.leaving.flow_kg_s;
        ASSERT_GT(m, 0);
        if (by_flow) {
            EXPECT_EQ(m, flow);
        } else {
            EXPECT_EQ(s.T_K, supply_K);
        }
        EXPECT_LE(RelativeHumidityOf(s, c), 1 + 1e-9);
        // The supply takes up exactly the room's loads: water, energy and their split.
        const RoomLoads taken = LoadsOfSupply(room, s, m);
        const double scale = 1 + std::abs(loads.sensible_kW) + std::abs(loads.latent_kW);
        EXPECT_NEAR(taken.sensible_kW, loads.sensible_kW, 1e-9 * scale);
        EXPECT_NEAR(taken.latent_kW, loads.latent_kW, 1e-9 * scale);
        EXPECT_NEAR(m * (Enthalpy(room) - Enthalpy(s)), loads.sensible_kW + loads.latent_kW, 1e-9 * scale);
        EXPECT_NEAR(*r.supply_volume_m3_s, m * SpecificVolume(s.T_K, s.W, c.pressure_Pa), 1e-12 * m);
        // A cooling load has its ADP: saturated there, on the cold side of the supply, and reachable.
        EXPECT_EQ(r.apparatus_dew_point_K.has_value(), loads.sensible_kW > 0);
        if (r.apparatus_dew_point_K) {
            EXPECT_LE(*r.apparatus_dew_point_K, s.T_K);
            const ProcessResult adp = SupplyAtTemperature(room, loads, *r.apparatus_dew_point_K, c);
            if (!adp.refused()) {
                ++at_adp;
                EXPECT_NEAR(RelativeHumidityOf(adp.leaving.state, c), 1, 1e-8);
            }
        }
    }
    EXPECT_GT(computed, 600);
    EXPECT_GT(refused, 300);
    EXPECT_GT(at_adp, 300);
}

// Winter plate exchanger, by hand: outdoor -5 C, W 0.002, 2 kg/s; exhaust 22 C, W 0.007, 1.8 kg/s;
// sensible effectiveness 0.65. C_o = 2 (1.006 + 1.805 x 0.002) = 2.01922 kW/K, C_e = 1.8 (1.006 + 1.805 x
// 0.007) = 1.833543 kW/K = C_min; q = 0.65 x 1.833543 x 27 = 32.17868 kW; the outdoor air leaves at
// -5 + q / C_o = 10.93619 C. The exhaust would leave at 22 - q / C_e = 4.45 C, far below its dew point: it
// condenses and leaves saturated at 6.69161 C (W 0.0060812, IAPWS-IF97) with 5.95409 kg/h of condensate.
TEST(HeatRecoveryByHand, PlateExchangerInWinterCondensesTheExhaust)
{
    const Stream outdoor { { -5 + kC, 0.002 }, 2.0 };
    const Stream exhaust { { 22 + kC, 0.007 }, 1.8 };
    const ProcessResult r = HeatRecovery(outdoor, exhaust, 0.65, std::nullopt, kSeaLevel);
    ASSERT_FALSE(r.refused()) << r.refusal;
    EXPECT_NEAR(*r.loads.sensible_kW, 32.17868, 1e-5);
    EXPECT_NEAR(*r.loads.total_kW, 32.17868, 1e-5);
    EXPECT_NEAR(*r.loads.latent_kW, 0, 1e-12);
    EXPECT_NEAR(r.leaving.state.T_K - kC, 10.93619, 1e-5);
    EXPECT_EQ(r.leaving.state.W, 0.002);
    ASSERT_TRUE(r.exhaust_leaving);
    EXPECT_NEAR(r.exhaust_leaving->state.T_K - kC, 6.69161, 1e-4);
    EXPECT_NEAR(r.exhaust_leaving->state.W, 0.0060812, 1e-6);
    EXPECT_NEAR(*r.exhaust_condensate_kg_per_h, 5.95409, 1e-3);
    EXPECT_EQ(*r.outdoor_condensate_kg_per_h, 0);
    EXPECT_EQ(*r.loads.water_kg_per_h, *r.exhaust_condensate_kg_per_h);
}

// Summer enthalpy wheel, by hand: outdoor 35 C, W 0.018, 3 kg/s; exhaust 24 C, W 0.0093, 2.5 kg/s;
// effectivenesses 0.75 sensible, 0.70 latent. C_min = 2.5 (1.006 + 1.805 x 0.0093) = 2.55697 kW/K;
// q = 0.75 x 2.55697 x (24 - 35) = -21.09497 kW; the outdoor air leaves at 28.22896 C with W = 0.018 +
// 0.7 x 2.5 (0.0093 - 0.018) / 3 = 0.012925, having received -59.94846 kW in all (latent -38.85349); the
// exhaust leaves with W 0.01539 at 32.20724 C.
TEST(HeatRecoveryByHand, EnthalpyWheelInSummer)
{
    const Stream outdoor { { 35 + kC, 0.018 }, 3.0 };
    const Stream exhaust { { 24 + kC, 0.0093 }, 2.5 };
    const ProcessResult r = HeatRecovery(outdoor, exhaust, 0.75, 0.70, kSeaLevel);
    ASSERT_FALSE(r.refused()) << r.refusal;
    EXPECT_NEAR(*r.loads.sensible_kW, -21.09497, 1e-5);
    EXPECT_NEAR(*r.loads.total_kW, -59.94846, 1e-5);
    EXPECT_NEAR(*r.loads.latent_kW, -38.85349, 1e-5);
    EXPECT_NEAR(r.leaving.state.T_K - kC, 28.22896, 1e-5);
    EXPECT_NEAR(r.leaving.state.W, 0.012925, 1e-12);
    EXPECT_NEAR(r.exhaust_leaving->state.T_K - kC, 32.20724, 1e-5);
    EXPECT_NEAR(r.exhaust_leaving->state.W, 0.01539, 1e-12);
    EXPECT_EQ(*r.loads.water_kg_per_h, 0);
}

TEST(HeatRecovery, EffectivenessEnds)
{
    const Stream outdoor { { 5 + kC, 0.004 }, 2.0 };
    const Stream exhaust { { 22 + kC, 0.006 }, 2.0 };
    // Nothing moves at 0.
    const ProcessResult none = HeatRecovery(outdoor, exhaust, 0, 0.0, kSeaLevel);
    ASSERT_FALSE(none.refused()) << none.refusal;
    EXPECT_EQ(none.leaving.state.T_K, outdoor.state.T_K);
    EXPECT_EQ(none.leaving.state.W, outdoor.state.W);
    EXPECT_EQ(none.exhaust_leaving->state.T_K, exhaust.state.T_K);
    EXPECT_EQ(*none.loads.total_kW, 0);
    // At 1 the stream of the least capacity rate swings over the whole difference.
    const ProcessResult full = HeatRecovery(outdoor, exhaust, 1, 1.0, kSeaLevel);
    ASSERT_FALSE(full.refused()) << full.refusal;
    EXPECT_NEAR(full.leaving.state.T_K, exhaust.state.T_K, 1e-9); // outdoor is the smaller C (drier)
    EXPECT_NEAR(full.leaving.state.W, exhaust.state.W, 1e-15);
    EXPECT_NEAR(full.exhaust_leaving->state.W, outdoor.state.W, 1e-15);
}

TEST(HeatRecoveryRefusals, EachNamesItsQuantityValueAndLimit)
{
    const Stream outdoor { { 5 + kC, 0.004 }, 2.0 };
    const Stream exhaust { { 22 + kC, 0.006 }, 2.0 };
    const struct
    {
        const char* what;
        ProcessResult result;
        const char* text;
        const char* quantity; ///< of the breach; empty for a rule without a limit
    } cases[] = {
        { "effectiveness above 1", HeatRecovery(outdoor, exhaust, 1.2, std::nullopt, kSeaLevel),
            "sensible effectiveness 1.2 lies above its maximum of 1", "sensible_effectiveness" },
        { "latent below 0", HeatRecovery(outdoor, exhaust, 0.5, -0.1, kSeaLevel),
            "latent effectiveness -.1 lies below its minimum of 0", "latent_effectiveness" },
        { "no exhaust flow",
            HeatRecovery(outdoor, { exhaust.state, std::nullopt }, 0.5, std::nullopt, kSeaLevel),
            "exhaust air needs its dry-air flow", "" },
        { "negative outdoor flow",
            HeatRecovery({ outdoor.state, -2.0 }, exhaust, 0.5, std::nullopt, kSeaLevel),
            "outdoor air dry-air flow -2 kg/s must lie above 0 kg/s", "flow_kg_per_s" },
        { "supersaturated exhaust",
            HeatRecovery(outdoor, { { 22 + kC, 0.05 }, 2.0 }, 0.5, std::nullopt, kSeaLevel),
            "exhaust humidity ratio .05 kg/kg lies above its maximum", "humidity_ratio" },
        { "exhaust at the boiling point",
            HeatRecovery(outdoor, { { 100.5 + kC, 0.001 }, 2.0 }, 0.5, std::nullopt, kSeaLevel),
            "exhaust dry bulb 100.5 C lies above its maximum of 100 C", "temperature" },
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(c.result.refused()) << c.what;
        EXPECT_NE(c.result.refusal.find(c.text), std::string::npos) << c.what << ": " << c.result.refusal;
        ASSERT_EQ(c.result.breach.has_value(), *c.quantity != 0) << c.what;
        if (c.result.breach) {
            EXPECT_EQ(c.result.breach->quantity, c.quantity) << c.what;
        }
    }
}

TEST(HeatRecoveryConservation, RandomStreamsKeepDryAirWaterAndEnergy)
{
    std::mt19937_64 random(1060);
    std::uniform_real_distribution<double> unit(0, 1);
    int computed = 0, condensing = 0, refused = 0;
    for (int i = 0; i < 3000; ++i) {
        const ProcessConditions c { 70000 + 35000 * unit(random),
            unit(random) < 0.5 ? kIapws : kHylandWexler };
        const Stream o { At(-25 + 70 * unit(random), 0.05 + 0.95 * unit(random), c),
            -0.2 + 5 * unit(random) };
        const Stream e { At(15 + 25 * unit(random), 0.1 + 0.9 * unit(random), c), -0.2 + 5 * unit(random) };
        const double eps_s = -0.05 + 1.1 * unit(random);
        const std::optional<double> eps_l
            = unit(random) < 0.5 ? std::nullopt : std::optional<double>(-0.05 + 1.1 * unit(random));
        const ProcessResult r = HeatRecovery(o, e, eps_s, eps_l, c);
        const bool valid = *o.flow_kg_s > 0 && *e.flow_kg_s > 0 && eps_s >= 0 && eps_s <= 1
            && (!eps_l || (*eps_l >= 0 && *eps_l <= 1));
        if (r.refused()) {
            ++refused;
            EXPECT_NE(r.refusal.find_first_of("0123456789"), std::string::npos) << r.refusal;
            EXPECT_FALSE(valid) << r.refusal;
            continue;
        }
        ASSERT_TRUE(valid);
        ++computed;
        const Stream& o2 = r.leaving;
        const Stream& e2 = *r.exhaust_leaving;
        // Dry air passes each side unchanged.
        EXPECT_EQ(*o2.flow_kg_s, *o.flow_kg_s);
        EXPECT_EQ(*e2.flow_kg_s, *e.flow_kg_s);
        const double m_o = *o.flow_kg_s, m_e = *e.flow_kg_s;
        const double cond_o = *r.outdoor_condensate_kg_per_h / 3600,
                     cond_e = *r.exhaust_condensate_kg_per_h / 3600;
        if (cond_o > 0 || cond_e > 0)
            ++condensing;
        EXPECT_GE(cond_o, 0);
        EXPECT_GE(cond_e, 0);
        // Water: what enters leaves as vapour or condensate.
        EXPECT_NEAR(m_o * o.state.W + m_e * e.state.W, m_o * o2.state.W + m_e * e2.state.W + cond_o + cond_e,
            1e-12 * (m_o + m_e));
        // Energy: the condensate drains at its side's leaving dry bulb.
        const double in = m_o * Enthalpy(o.state) + m_e * Enthalpy(e.state);
        const double out = m_o * Enthalpy(o2.state) + m_e * Enthalpy(e2.state)
            + cond_o * LiquidWaterEnthalpy(o2.state.T_K) + cond_e * LiquidWaterEnthalpy(e2.state.T_K);
        EXPECT_NEAR(in, out, 1e-9 * (1 + std::abs(in)));
        // What the outdoor air receives is the exhaust's loss; its sensible part by the effectiveness.
        EXPECT_NEAR(*r.loads.total_kW,
            m_o * (Enthalpy(o2.state) - Enthalpy(o.state)) + cond_o * LiquidWaterEnthalpy(o2.state.T_K),
            1e-9 * (1 + std::abs(in)));
        const double C_min = std::min(m_o * (1.006 + 1.805 * o.state.W), m_e * (1.006 + 1.805 * e.state.W));
        EXPECT_NEAR(*r.loads.sensible_kW, eps_s * C_min * (e.state.T_K - o.state.T_K), 1e-9 * (1 + C_min));
        EXPECT_NEAR(*r.loads.sensible_kW + *r.loads.latent_kW, *r.loads.total_kW, 1e-9 * (1 + std::abs(in)));
        // No leaving state lies above saturation, and a side that condensed leaves saturated.
        EXPECT_LE(RelativeHumidityOf(o2.state, c), 1 + 1e-9);
        EXPECT_LE(RelativeHumidityOf(e2.state, c), 1 + 1e-9);
        if (cond_e > 0) {
            EXPECT_NEAR(RelativeHumidityOf(e2.state, c), 1, 1e-9);
        }
        // The outdoor air moves towards the exhaust's dry bulb and never past it.
        EXPECT_LE(std::abs(o2.state.T_K - o.state.T_K), std::abs(e.state.T_K - o.state.T_K) + 1e-9);
    }
    EXPECT_GT(computed, 1500);
    EXPECT_GT(condensing, 100);
    EXPECT_GT(refused, 100);
}

} // namespace
} // namespace humidora
