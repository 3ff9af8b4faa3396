// The air-handling processes: worked examples of the ASHRAE Handbook of Fundamentals (SI, chapter
// "Psychrometrics"), conservation of dry air, water and energy over random states, the exact ends of the
// coil's line, and the refusals at the calculator's limits.
#include "calc/points/air_process.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace humidora {
namespace {

constexpr double kC = 273.15;
const ProcessConditions kSeaLevel { 101325, kIapws };

AirState AtRelativeHumidity(double t_C, double phi, const ProcessConditions& c = kSeaLevel)
{
    return { t_C + kC, HumidityRatioAt(t_C + kC, phi, c).value() };
}

// The handbook's examples read their states from its tables (vapour heat capacity 1.86, liquid water
// enthalpy from steam tables, saturation by Hyland-Wexler) and round them to three or four digits; the
// calculator's relations (1.805, 4.186 t) differ from those in the third digit of a load and by a tenth of
// a kelvin in a temperature, which the tolerances allow and no more.

TEST(AirProcessHandbook, HeatingSaturatedAirAt2CTo40C)
{
    // 10 m^3/s saturated at 2 C heated to 40 C: v1 = 0.7868 m^3/kg, m = 12.71 kg/s, q = 489.5 kW.
    const AirState in = AtRelativeHumidity(2, 1);
    EXPECT_NEAR(in.W, 0.004381, 0.004381 * 0.005);
    const double m = 10 / SpecificVolume(in.T_K, in.W, 101325);
    EXPECT_NEAR(m, 12.71, 12.71 * 0.003);
    const ProcessResult r = Heat({ in, m }, 40 + kC, kSeaLevel);
    ASSERT_FALSE(r.refused()) << r.refusal;
    EXPECT_NEAR(*r.loads.total_kW, 489.5, 489.5 * 0.005);
    EXPECT_EQ(*r.loads.sensible_kW, *r.loads.total_kW);
    EXPECT_FALSE(r.loads.latent_kW);
    EXPECT_FALSE(r.loads.water_kg_per_h);
    EXPECT_EQ(r.leaving.state.W, in.W);
}

TEST(AirProcessHandbook, CoolingCoil30C50PercentToSaturationAt10C)
{
    // 5 m^3/s at 30 C, 50 % cooled to saturation at 10 C: W1 = 0.01332, h1 = 64.3, v1 = 0.877,
    // W2 = 0.007661, h2 = 29.43, m = 5.70 kg/s, q = 197.4 kW.
    const AirState in = AtRelativeHumidity(30, 0.5);
    EXPECT_NEAR(in.W, 0.01332, 0.00002);
    EXPECT_NEAR(MoistAirEnthalpy(in.T_K, in.W), 64.3, 0.2);
    const double m = 5 / SpecificVolume(in.T_K, in.W, 101325);
    EXPECT_NEAR(m, 5.70, 0.01);
    const ProcessResult r = CoilByLeaving({ in, m }, 10 + kC, 1, kSeaLevel);
    ASSERT_FALSE(r.refused()) << r.refusal;
    EXPECT_NEAR(r.leaving.state.W, 0.007661, 0.007661 * 0.005);
    EXPECT_NEAR(MoistAirEnthalpy(r.leaving.state.T_K, r.leaving.state.W), 29.43, 0.2);
    EXPECT_NEAR(*r.loads.total_kW, 197.4, 197.4 * 0.01);
    EXPECT_NEAR(*r.loads.water_kg_per_h, 5.70 * (0.01332 - 0.007661) * 3600, 116.1 * 0.01);
    // Leaving saturated at its own dry bulb: that is the ADP, with nothing bypassed.
    EXPECT_DOUBLE_EQ(*r.apparatus_dew_point_K, 10 + kC);
    EXPECT_NEAR(*r.bypass_factor, 0, 1e-12);
}

TEST(AirProcessHandbook, MixingOutdoorAndRecirculatedAir)
{
    // 2 m^3/s at 4 C dry bulb, 2 C wet bulb with 6.25 m^3/s at 25 C, 50 %: v = 0.789 and 0.858 m^3/kg,
    // flows 2.535 and 7.284 kg/s; the mixture at 19.5 C dry bulb, 14.6 C wet bulb.
    const double W_outdoor = HumidityRatioFromWetBulb(2 + kC, 4 + kC, 101325, kIapws);
    const AirState outdoor { 4 + kC, W_outdoor };
    const AirState recirculated = AtRelativeHumidity(25, 0.5);
    const double m1 = 2 / SpecificVolume(outdoor.T_K, outdoor.W, 101325);
    const double m2 = 6.25 / SpecificVolume(recirculated.T_K, recirculated.W, 101325);
    EXPECT_NEAR(m1, 2.535, 0.005);
    EXPECT_NEAR(m2, 7.284, 0.01);
    const ProcessResult r = Mix({ { outdoor, m1 }, { recirculated, m2 } }, kSeaLevel);
    ASSERT_FALSE(r.refused()) << r.refusal;
    EXPECT_FALSE(r.fog);
    // The handbook reads the mixture off its chart, to a tenth of a kelvin at best.
    EXPECT_NEAR(r.leaving.state.T_K - kC, 19.5, 0.15);
    EXPECT_NEAR(WetBulbTemperature(r.leaving.state.W, r.leaving.state.T_K, 101325, kIapws) - kC, 14.6, 0.15);
    EXPECT_DOUBLE_EQ(*r.leaving.flow_kg_s, m1 + m2);
    EXPECT_FALSE(r.loads.total_kW);
}

TEST(AirProcessHandbook, SteamInjectionTo13CDewPoint)
{
    // 2 kg/s at 20 C dry bulb, 8 C wet bulb (W1 = 0.0020 off the handbook's chart) brought to a 13 C
    // dew point (W2 = 0.00937) by saturated steam at 110 C: steam 0.01474 kg/s, leaving about 21 C.
    const AirState in { 20 + kC, 0.0020 };
    const double W2 = 0.00937;
    EXPECT_NEAR(HumidityRatioAt(13 + kC, 1, kSeaLevel).value(), W2, W2 * 0.005);
    const ProcessResult r = SteamToHumidityRatio({ in, 2.0 }, W2, 110 + kC, kSeaLevel);
    ASSERT_FALSE(r.refused()) << r.refusal;
    EXPECT_NEAR(r.leaving.state.T_K - kC, 21, 0.3);
    EXPECT_NEAR(*r.loads.water_kg_per_h / 3600, 0.01474, 1e-12);
}

TEST(AirProcess, EvaporativeCoolingFollowsTheWetBulb)
{
    // Adiabatic saturation keeps the wet bulb (the psychrometric relation and the enthalpy relation agree
    // to a few hundredths of a kelvin); at full effectiveness the air leaves at the wet bulb, saturated.
    const AirState in = AtRelativeHumidity(36, 0.2);
    const double T_wb = WetBulbTemperature(in.W, in.T_K, 101325, kIapws);
    for (const double e : { 0.3, 0.7, 0.9 }) {
        const ProcessResult r = EvaporativeByEffectiveness({ in, 1.0 }, e, kSeaLevel);
        ASSERT_FALSE(r.refused()) << r.refusal;
        EXPECT_DOUBLE_EQ(r.leaving.state.T_K, in.T_K - e * (in.T_K - T_wb));
        EXPECT_NEAR(WetBulbTemperature(r.leaving.state.W, r.leaving.state.T_K, 101325, kIapws), T_wb, 0.05);
        // The enthalpy rises by exactly the liquid water's.
        EXPECT_NEAR(MoistAirEnthalpy(r.leaving.state.T_K, r.leaving.state.W),
            MoistAirEnthalpy(in.T_K, in.W) + (r.leaving.state.W - in.W) * LiquidWaterEnthalpy(T_wb), 1e-10);
    }
    // To a relative humidity: the same line, met where the humidity is reached.
    const ProcessResult by_e = EvaporativeByEffectiveness({ in, 1.0 }, 0.8, kSeaLevel);
    const double phi = RelativeHumidityOf(by_e.leaving.state, kSeaLevel);
    const ProcessResult by_phi = EvaporativeToRelativeHumidity({ in, 1.0 }, phi, kSeaLevel);
    ASSERT_FALSE(by_phi.refused()) << by_phi.refusal;
    EXPECT_NEAR(by_phi.leaving.state.T_K, by_e.leaving.state.T_K, 1e-6);
    EXPECT_NEAR(by_phi.leaving.state.W, by_e.leaving.state.W, 1e-8);
}

TEST(AirProcess, MixingAboveSaturationFogs)
{
    // Cold saturated outdoor air with warm saturated air: the straight line between them lies above the
    // curved saturation line, so the mixture holds liquid water.
    const AirState cold = AtRelativeHumidity(0.5, 1);
    const AirState warm = AtRelativeHumidity(35, 1);
    const ProcessResult r = Mix({ { cold, 1.0 }, { warm, 1.0 } }, kSeaLevel);
    ASSERT_FALSE(r.refused()) << r.refusal;
    ASSERT_TRUE(r.fog);
    EXPECT_NEAR(RelativeHumidityOf(r.leaving.state, kSeaLevel), 1, 1e-12);
    const double W_mix = (cold.W + warm.W) / 2;
    const double h_mix = (MoistAirEnthalpy(cold.T_K, cold.W) + MoistAirEnthalpy(warm.T_K, warm.W)) / 2;
    const double condensed = W_mix - r.leaving.state.W;
    EXPECT_GT(condensed, 0.0005);
    EXPECT_NEAR(*r.loads.water_kg_per_h, 2 * condensed * 3600, 1e-9);
    // Energy: air and vapour at the saturated state plus the fog's liquid carry the mixture's enthalpy,
    // to the bisection's 1e-6 K (about 3e-6 kJ/kg).
    EXPECT_NEAR(MoistAirEnthalpy(r.leaving.state.T_K, r.leaving.state.W)
            + condensed * LiquidWaterEnthalpy(r.leaving.state.T_K),
        h_mix, 1e-5);
}

TEST(AirProcess, FogOfAMixtureAHairAboveSaturationKeepsItsEnergy)
{
    // Two saturated streams a little apart fog by a trace: the mixture's dew point then lies within the
    // dew point's own 1e-6 K of its dry bulb, and the search's bracket must be checked and held there.
    for (const ProcessConditions& c : { kSeaLevel, ProcessConditions { 60000, kHylandWexler } }) {
        for (const double t : { -20.0, 0.5, 20.0, 45.0 }) {
            for (const double apart : { 1e-4, 1e-3, 1e-2, 0.1, 1.0, 10.0 }) {
                const AirState a = AtRelativeHumidity(t, 1, c);
                const AirState b = AtRelativeHumidity(t + apart, 1, c);
                const ProcessResult r = Mix({ { a, 1.0 }, { b, 3.0 } }, c);
                ASSERT_FALSE(r.refused()) << t << " + " << apart << ": " << r.refusal;
                const double W = (a.W + 3 * b.W) / 4;
                const double h = (MoistAirEnthalpy(a.T_K, a.W) + 3 * MoistAirEnthalpy(b.T_K, b.W)) / 4;
                const AirState& out = r.leaving.state;
                EXPECT_LE(RelativeHumidityOf(out, c), 1 + 1e-9) << t << " + " << apart;
                EXPECT_GE(out.T_K, a.T_K - 1e-9);
                EXPECT_LE(out.T_K, b.T_K + 1e-9);
                const double fog = r.fog ? W - out.W : 0;
                EXPECT_GE(fog, 0);
                EXPECT_NEAR(out.W + fog, W, 1e-15);
                EXPECT_NEAR(MoistAirEnthalpy(out.T_K, out.W) + fog * LiquidWaterEnthalpy(out.T_K), h, 1e-8)
                    << t << " + " << apart;
            }
        }
    }
}

TEST(AirProcess, CoilByLeavingStateFindsTheAdpAndBypassFactorOfTheLine)
{
    const AirState in = AtRelativeHumidity(27, 0.5);
    for (const double bf : { 0.05, 0.15, 0.3, 0.6 }) {
        const ProcessResult by_adp = CoilByAdp({ in, 3.0 }, 9 + kC, bf, kSeaLevel);
        ASSERT_FALSE(by_adp.refused()) << by_adp.refusal;
        const AirState out = by_adp.leaving.state;
        const ProcessResult by_leaving
            = CoilByLeaving({ in, 3.0 }, out.T_K, RelativeHumidityOf(out, kSeaLevel), kSeaLevel);
        ASSERT_FALSE(by_leaving.refused()) << by_leaving.refusal;
        EXPECT_NEAR(*by_leaving.apparatus_dew_point_K, 9 + kC, 2e-6) << bf;
        EXPECT_NEAR(*by_leaving.bypass_factor, bf, 1e-6) << bf;
        EXPECT_NEAR(*by_leaving.loads.total_kW, *by_adp.loads.total_kW, 1e-9);
        EXPECT_GT(*by_adp.loads.sensible_heat_ratio, 0);
        EXPECT_LT(*by_adp.loads.sensible_heat_ratio, 1);
    }
}

// Random entering states over the calculator's everyday field, at pressures from high altitude to above
// sea level and by both formulations.
struct RandomCase
{
    Stream stream;
    ProcessConditions conditions;
};
std::vector<RandomCase> RandomCases(int count, unsigned seed, double max_phi = 0.98)
{
    std::mt19937 engine(seed);
    std::uniform_real_distribution<double> t(-20, 45), phi(0.02, max_phi), p(70000, 105000), m(0.1, 20);
    std::vector<RandomCase> cases;
    for (int i = 0; i < count; ++i) {
        const ProcessConditions c { p(engine), i % 2 ? kIapws : kHylandWexler };
        cases.push_back({ { AtRelativeHumidity(t(engine), phi(engine), c), m(engine) }, c });
    }
    return cases;
}

} // namespace

/// Whether steam at steam_K added to `in` reaches the relative humidity phi anywhere within the
/// calculator's dry bulbs: the line scanned by its humidity ratio, independently of the humidifier's own
/// search.
bool SteamReaches(const AirState& in, const ProcessConditions& c, double steam_K, double phi)
{
    const double h1 = MoistAirEnthalpy(in.T_K, in.W);
    for (int i = 0; i <= 20000; ++i) {
        const double W2 = in.W + 1e-6 * std::pow(10.0, i * 7.0 / 20000);
        const double T2 = TemperatureFromEnthalpy(h1 + (W2 - in.W) * SteamEnthalpy(steam_K), W2);
        if (!(T2 >= 173.15 && T2 <= 373.15))
            break;
        if (SaturationPressure(T2, c.method) < c.pressure_Pa && RelativeHumidityOf({ T2, W2 }, c) >= phi)
            return true;
    }
    return false;
}

namespace {

TEST(AirProcessConservation, MixingKeepsDryAirWaterAndEnergy)
{
    const std::vector<RandomCase> cases = RandomCases(200, 13);
    for (std::size_t i = 0; i + 2 < cases.size(); i += 3) {
        const ProcessConditions c = cases[i].conditions;
        std::vector<Stream> streams;
        double m = 0, water = 0, energy = 0;
        for (std::size_t j = i; j < i + 3; ++j) {
            // Every stream at the first one's pressure: rebuild its state there.
            const Stream s = cases[j].stream;
            const double phi = std::min(RelativeHumidityOf(s.state, cases[j].conditions), 0.98);
            const AirState state { s.state.T_K, HumidityRatioAt(s.state.T_K, phi, c).value() };
            streams.push_back({ state, s.flow_kg_s });
            m += *s.flow_kg_s;
            water += *s.flow_kg_s * state.W;
            energy += *s.flow_kg_s * MoistAirEnthalpy(state.T_K, state.W);
        }
        const ProcessResult r = Mix(streams, c);
        ASSERT_FALSE(r.refused()) << r.refusal;
        const AirState& out = r.leaving.state;
        const double condensed = r.loads.water_kg_per_h.value_or(0) / 3600;
        EXPECT_NEAR(*r.leaving.flow_kg_s, m, 1e-12 * m);
        EXPECT_NEAR(m * out.W + condensed, water, 1e-12 * water + 1e-15);
        EXPECT_NEAR(m * MoistAirEnthalpy(out.T_K, out.W) + condensed * LiquidWaterEnthalpy(out.T_K), energy,
            1e-5 * m + 1e-9 * std::abs(energy));
    }
}

TEST(AirProcessConservation, MixingAStreamWithItselfIsItself)
{
    for (const RandomCase& rc : RandomCases(100, 7)) {
        const ProcessResult r = Mix({ rc.stream, rc.stream, rc.stream }, rc.conditions);
        ASSERT_FALSE(r.refused()) << r.refusal;
        EXPECT_NEAR(r.leaving.state.T_K, rc.stream.state.T_K, 1e-10);
        EXPECT_NEAR(r.leaving.state.W, rc.stream.state.W, 1e-16);
        EXPECT_FALSE(r.fog);
    }
}

TEST(AirProcessConservation, CoilEndsAndBalance)
{
    // Air near saturation gives a line to a far ADP that crosses into fog: such coils are refused, below.
    for (const RandomCase& rc : RandomCases(100, 21, 0.7)) {
        const Stream& s = rc.stream;
        const double T_dew = SaturationTemperature(
            rc.conditions.pressure_Pa * s.state.W / (0.62198 + s.state.W), rc.conditions.method);
        const double adp = std::max(T_dew - 8, 173.2);
        // BF = 1 leaves the air as it came; BF = 0 gives the saturated state at the ADP.
        const ProcessResult unchanged = CoilByAdp(s, adp, 1, rc.conditions);
        ASSERT_FALSE(unchanged.refused()) << unchanged.refusal;
        EXPECT_EQ(unchanged.leaving.state.T_K, s.state.T_K);
        EXPECT_EQ(unchanged.leaving.state.W, s.state.W);
        EXPECT_EQ(*unchanged.loads.total_kW, 0);
        const ProcessResult saturated = CoilByAdp(s, adp, 0, rc.conditions);
        ASSERT_FALSE(saturated.refused()) << saturated.refusal;
        EXPECT_EQ(saturated.leaving.state.T_K, adp);
        EXPECT_EQ(saturated.leaving.state.W, SaturationHumidityRatio(adp, rc.conditions).value());

        // Between them, the energy balance of the air side: entering enthalpy = leaving enthalpy + heat
        // removed + the condensate's enthalpy; the water balance: entering = leaving + condensate.
        const ProcessResult r = CoilByAdp(s, adp, 0.2, rc.conditions);
        ASSERT_FALSE(r.refused()) << r.refusal;
        const double m = *s.flow_kg_s;
        const AirState& out = r.leaving.state;
        const double condensate = *r.loads.water_kg_per_h / 3600;
        EXPECT_NEAR(m * s.state.W, m * out.W + condensate, 1e-15 + 1e-12 * m * s.state.W);
        EXPECT_NEAR(m * MoistAirEnthalpy(s.state.T_K, s.state.W),
            m * MoistAirEnthalpy(out.T_K, out.W) + *r.loads.total_kW
                + condensate * LiquidWaterEnthalpy(out.T_K),
            1e-9 * m * 100);
        EXPECT_NEAR(*r.loads.sensible_kW + *r.loads.latent_kW,
            m * (MoistAirEnthalpy(s.state.T_K, s.state.W) - MoistAirEnthalpy(out.T_K, out.W)),
            1e-9 * m * 100);
    }
}

TEST(AirProcessConservation, HumidifiersAddExactlyTheirWaterAndItsEnthalpy)
{
    for (const RandomCase& rc : RandomCases(100, 5)) {
        const Stream& s = rc.stream;
        const double m = *s.flow_kg_s;
        const double h1 = MoistAirEnthalpy(s.state.T_K, s.state.W);
        const std::optional<double> W_sat = SaturationHumidityRatio(s.state.T_K, rc.conditions);
        const double W2 = s.state.W + 0.3 * (*W_sat - s.state.W);
        const ProcessResult steam = SteamToHumidityRatio(s, W2, kDefaultSteamK, rc.conditions);
        ASSERT_FALSE(steam.refused()) << steam.refusal;
        EXPECT_EQ(steam.leaving.state.W, W2);
        EXPECT_NEAR(*steam.loads.water_kg_per_h, m * (W2 - s.state.W) * 3600, 1e-9);
        EXPECT_NEAR(MoistAirEnthalpy(steam.leaving.state.T_K, W2),
            h1 + (W2 - s.state.W) * SteamEnthalpy(kDefaultSteamK), 1e-10);
        // The same state reached by its relative humidity.
        const double phi2 = RelativeHumidityOf(steam.leaving.state, rc.conditions);
        const ProcessResult by_phi = SteamToRelativeHumidity(s, phi2, kDefaultSteamK, rc.conditions);
        ASSERT_FALSE(by_phi.refused()) << by_phi.refusal;
        EXPECT_NEAR(by_phi.leaving.state.T_K, steam.leaving.state.T_K, 1e-6);
        EXPECT_NEAR(by_phi.leaving.state.W, W2, 1e-8);
    }
}

TEST(AirProcessConservation, TheCoilsLoadLinesAddUpToItsTotal)
{
    // Total = sensible + latent + condensate enthalpy, and the condensate's line is its water at the
    // leaving dry bulb; by the ADP and by the leaving state, over random coils.
    std::mt19937 engine(77);
    // Air not near saturation: a line to a far ADP from near-saturated air crosses into fog.
    std::uniform_real_distribution<double> bypass(0, 1), below(2, 8);
    for (const RandomCase& rc : RandomCases(150, 31, 0.7)) {
        const Stream& s = rc.stream;
        const double T_dew = SaturationTemperature(
            rc.conditions.pressure_Pa * s.state.W / (0.62198 + s.state.W), rc.conditions.method);
        const ProcessResult r
            = CoilByAdp(s, std::max(T_dew - below(engine), 174.0), bypass(engine), rc.conditions);
        ASSERT_FALSE(r.refused()) << r.refusal;
        const ProcessLoads& l = r.loads;
        const double scale = 1e-9 * std::max(1.0, std::abs(*l.total_kW));
        EXPECT_NEAR(*l.sensible_kW + *l.latent_kW + *l.condensate_enthalpy_kW, *l.total_kW, scale);
        EXPECT_NEAR(*l.condensate_enthalpy_kW,
            -*l.water_kg_per_h / 3600 * LiquidWaterEnthalpy(r.leaving.state.T_K), scale);
        EXPECT_FALSE(l.steam_energy_kW);
    }
}

TEST(AirProcessConservation, SteamBringsItsEnergyAndEvaporativeWaterItsEnthalpy)
{
    int unreachable = 0;
    std::mt19937 engine(5);
    std::uniform_real_distribution<double> share(0.05, 1), steam_C(100, 180);
    for (const RandomCase& rc : RandomCases(150, 41, 0.9)) {
        const Stream& s = rc.stream;
        const double m = *s.flow_kg_s;
        const double h1 = MoistAirEnthalpy(s.state.T_K, s.state.W);
        const double phi1 = RelativeHumidityOf(s.state, rc.conditions);
        // A random target between the entering humidity and saturation, 100 % among them.
        const double target = std::min(1.0, phi1 + share(engine) * (1.05 - phi1));
        const double steam_K = steam_C(engine) + kC;
        const ProcessResult steam = SteamToRelativeHumidity(s, target, steam_K, rc.conditions);
        if (steam.refused() && !SteamReaches(s.state, rc.conditions, steam_K, target)) {
            ++unreachable;
            continue;
        }
        ASSERT_FALSE(steam.refused()) << steam.refusal << " target " << target;
        const AirState& out = steam.leaving.state;
        EXPECT_NEAR(RelativeHumidityOf(out, rc.conditions), target, 1e-9);
        EXPECT_LE(RelativeHumidityOf(out, rc.conditions), 1 + 1e-9);
        const double water = *steam.loads.water_kg_per_h / 3600; // kg/s
        EXPECT_NEAR(m * s.state.W + water, m * out.W, 1e-12 * m);
        // Energy: the air's enthalpy rises by exactly what the steam brings.
        EXPECT_NEAR(
            m * h1 + *steam.loads.steam_energy_kW, m * MoistAirEnthalpy(out.T_K, out.W), 1e-9 * m * 100);
        EXPECT_NEAR(*steam.loads.steam_energy_kW, water * SteamEnthalpy(steam_K), 1e-9 * m * 100);

        const ProcessResult evaporative = EvaporativeToRelativeHumidity(s, target, rc.conditions);
        ASSERT_FALSE(evaporative.refused()) << evaporative.refusal << " target " << target;
        const AirState& wet = evaporative.leaving.state;
        EXPECT_NEAR(RelativeHumidityOf(wet, rc.conditions), target, 1e-9);
        const double added = *evaporative.loads.water_kg_per_h / 3600;
        const double T_wb
            = WetBulbTemperature(s.state.W, s.state.T_K, rc.conditions.pressure_Pa, rc.conditions.method);
        EXPECT_NEAR(m * s.state.W + added, m * wet.W, 1e-12 * m);
        EXPECT_NEAR(
            m * h1 + added * LiquidWaterEnthalpy(T_wb), m * MoistAirEnthalpy(wet.T_K, wet.W), 1e-9 * m * 100);
        EXPECT_FALSE(evaporative.loads.steam_energy_kW);
    }
    // Steam hotter than the boiling point at the pressure may never saturate the air; most do.
    EXPECT_LT(unreachable, 30);
}

TEST(AirProcessConservation, HeatingThereAndBackIsTheIdentity)
{
    for (const RandomCase& rc : RandomCases(100, 3)) {
        const ProcessResult up = Heat(rc.stream, rc.stream.state.T_K + 15, rc.conditions);
        ASSERT_FALSE(up.refused()) << up.refusal;
        const ProcessResult down = Heat(up.leaving, rc.stream.state.T_K, rc.conditions);
        ASSERT_FALSE(down.refused()) << down.refusal;
        EXPECT_EQ(down.leaving.state.W, rc.stream.state.W);
        EXPECT_NEAR(*up.loads.total_kW, -*down.loads.total_kW, 1e-9 * std::abs(*up.loads.total_kW));
    }
}

struct RefusalCase
{
    const char* name;
    ProcessResult (*run)(const Stream&);
};

const Stream kRoom { AtRelativeHumidity(24, 0.5), 1.0 };

TEST(AirProcessRefusals, EachIsRefusedWithAReason)
{
    const RefusalCase cases[] = {
        { "HeatBelowTheDewPoint", [](const Stream& s) { return Heat(s, 5 + kC, kSeaLevel); } },
        { "HeatTo100CAtSeaLevel", [](const Stream& s) { return Heat(s, 100 + kC, kSeaLevel); } },
        { "CoilLineThroughFog",
            [](const Stream&) {
                return CoilByAdp({ AtRelativeHumidity(20, 0.97), 1.0 }, -30 + kC, 0.5, kSeaLevel);
            } },
        { "HeatAbove100C", [](const Stream& s) { return Heat(s, 100.5 + kC, kSeaLevel); } },
        { "HeatBelowMinus100C",
            [](const Stream& s) {
                return Heat({ { 0 + kC, 0 }, 1.0 }, 172, kSeaLevel);
            } },
        { "MixOneStream", [](const Stream& s) { return Mix({ s }, kSeaLevel); } },
        { "MixWithoutFlow",
            [](const Stream& s) {
                return Mix({ s, { s.state, {} } }, kSeaLevel);
            } },
        { "NegativeFlow",
            [](const Stream& s) {
                return Heat({ s.state, -1.0 }, 30 + kC, kSeaLevel);
            } },
        { "CoilBypassAboveOne", [](const Stream& s) { return CoilByAdp(s, 10 + kC, 1.2, kSeaLevel); } },
        { "CoilAdpAboveEnteringDewPoint",
            [](const Stream& s) { return CoilByAdp(s, 20 + kC, 0.1, kSeaLevel); } },
        { "CoilAdpBelowMinus100C", [](const Stream& s) { return CoilByAdp(s, 170, 0.1, kSeaLevel); } },
        { "CoilLeavingWarmer", [](const Stream& s) { return CoilByLeaving(s, 30 + kC, 0.5, kSeaLevel); } },
        { "CoilLeavingWetter", [](const Stream& s) { return CoilByLeaving(s, 22 + kC, 0.95, kSeaLevel); } },
        { "CoilLeavingAbove100Percent",
            [](const Stream& s) { return CoilByLeaving(s, 12 + kC, 1.01, kSeaLevel); } },
        { "EvaporativeEffectivenessAboveOne",
            [](const Stream& s) { return EvaporativeByEffectiveness(s, 1.1, kSeaLevel); } },
        { "EvaporativeToDrierAir",
            [](const Stream& s) { return EvaporativeToRelativeHumidity(s, 0.3, kSeaLevel); } },
        { "SteamToDrierAir",
            [](const Stream& s) {
                return SteamToHumidityRatio(s, s.state.W / 2, kDefaultSteamK, kSeaLevel);
            } },
        { "SteamSupersaturates",
            [](const Stream& s) { return SteamToHumidityRatio(s, 0.05, kDefaultSteamK, kSeaLevel); } },
        { "SteamToMoreThan100Percent",
            [](const Stream& s) { return SteamToRelativeHumidity(s, 1.2, kDefaultSteamK, kSeaLevel); } },
        // At 7 kPa water boils near 39 C: air heated to 45 C there lies beyond the calculator.
        { "HeatPastBoilingAtLowPressure",
            [](const Stream& s) {
                const ProcessConditions thin { 7000, kIapws };
                return Heat({ AtRelativeHumidity(20, 0.1, thin), 1.0 }, 45 + kC, thin);
            } },
        { "EnteringStateSupersaturated",
            [](const Stream& s) {
                return Heat({ { s.state.T_K, 0.05 }, 1.0 }, 40 + kC, kSeaLevel);
            } },
    };
    for (const RefusalCase& c : cases) {
        const ProcessResult r = c.run(kRoom);
        EXPECT_TRUE(r.refused()) << c.name;
        EXPECT_EQ(r.refusal.back(), '.') << c.name << ": " << r.refusal;
    }
}

TEST(AirProcessRefusals, TheLimitsThemselvesAreAccepted)
{
    EXPECT_FALSE(Heat(kRoom, 100 + kC, { 200000, kIapws }).refused());
    EXPECT_FALSE(Heat(kRoom, 99 + kC, kSeaLevel).refused());
    EXPECT_FALSE(CoilByAdp(kRoom, 12 + kC, 0, kSeaLevel).refused());
    EXPECT_FALSE(CoilByAdp(kRoom, 12 + kC, 1, kSeaLevel).refused());
    EXPECT_FALSE(EvaporativeByEffectiveness(kRoom, 0, kSeaLevel).refused());
    EXPECT_FALSE(CoilByLeaving(kRoom, 10 + kC, 1, kSeaLevel).refused());
}

} // namespace
} // namespace humidora
