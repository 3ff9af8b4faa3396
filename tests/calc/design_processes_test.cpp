// Supply air and heat recovery as kinds of the one table: run through the validator and the window like the
// other processes (ranges in the calculation's units, the culprit named), their balances of dry air, water
// and energy over random inputs (refused ones included), and both leaving points of a recovery kept by
// identity in the live calculation, each change one step that restores exactly.
#include "calc/document/calculation_document.h"
#include "calc/points/air_design.h"
#include "calc/points/process_parameters.h"
#include "calc/points/state_points.h"
#include "calc/units/number_text.h"
#include "core/moist_air.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace humidora {
namespace {

constexpr double kC = 273.15;

AmbientInputs Inputs(bool british, const std::string& temperature, const std::string& rh)
{
    AmbientInputs inputs;
    if (british) {
        inputs.system = UnitSystem::British;
        inputs.selections = kBritishSelection;
        inputs.pressure = kBritishPressureText;
    }
    inputs.temperature = temperature;
    inputs.humidity = rh;
    return inputs;
}

StatePoint Point(const std::string& name, const AmbientInputs& inputs, std::optional<double> flow)
{
    return { name, inputs, flow };
}

std::string Text(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.3f", value);
    return buffer;
}

TEST(DesignKinds, RecoveryOverRandomStreamsBalancesOrNamesWhatItRefuses)
{
    std::mt19937_64 random(2112);
    std::uniform_real_distribution<double> unit(0, 1);
    int computed = 0, refused_range = 0, refused_flow = 0;
    for (int i = 0; i < 3000; ++i) {
        const bool british = i % 3 == 0;
        const double t_o = -25 + 65 * unit(random), t_e = 5 + 30 * unit(random);
        const double rh_o = 5 + 95 * unit(random), rh_e = 5 + 90 * unit(random);
        const auto shown = [&](double celsius) { return Text(british ? celsius * 1.8 + 32 : celsius); };
        // Flows: mostly positive, sometimes missing or not positive (each refused with the point named).
        const auto flow = [&]() -> std::optional<double> {
            const double pick = unit(random);
            if (pick < 0.03)
                return std::nullopt;
            if (pick < 0.06)
                return -unit(random);
            return 0.2 + 5 * unit(random);
        };
        const StatePoint outdoor = Point("OA", Inputs(british, shown(t_o), Text(rh_o)), flow());
        const StatePoint exhaust = Point("EA", Inputs(british, shown(t_e), Text(rh_e)), flow());
        ProcessSpec recipe;
        recipe.kind = ProcessKind::Recovery;
        recipe.points = { "OA", "EA" };
        recipe.result_name = "C";
        recipe.exhaust_result_name = "D";
        recipe.sensible_effectiveness = -0.1 + 1.2 * unit(random);
        if (unit(random) < 0.5)
            recipe.latent_effectiveness = -0.1 + 1.2 * unit(random);
        const ProcessOutcome outcome = RunProcess(recipe, { outdoor, exhaust });
        const std::string where = "case " + std::to_string(i);

        const auto out_of_range = [](const std::optional<double>& e) { return e && (*e < 0 || *e > 1); };
        const bool bad_flow = !(outdoor.flow_kg_s && *outdoor.flow_kg_s > 0)
            || !(exhaust.flow_kg_s && *exhaust.flow_kg_s > 0);
        if (out_of_range(recipe.sensible_effectiveness) || out_of_range(recipe.latent_effectiveness)) {
            ++refused_range;
            ASSERT_TRUE(outcome.why) << where;
            const bool sensible = out_of_range(recipe.sensible_effectiveness);
            EXPECT_EQ(
                outcome.why->refusal.quantity, sensible ? "sensible_effectiveness" : "latent_effectiveness")
                << where;
            EXPECT_EQ(outcome.why->refusal.minimum, "0") << where;
            EXPECT_EQ(outcome.why->refusal.maximum, "1") << where;
            continue;
        }
        if (bad_flow) {
            ++refused_flow;
            ASSERT_TRUE(outcome.why) << where;
            EXPECT_TRUE(outcome.why->point == "OA" || outcome.why->point == "EA") << where;
            continue;
        }
        if (!outcome.refusal.empty()) {
            // Refused by the physics (a side leaving beyond the calculator's range): a sentence, no result.
            EXPECT_FALSE(outcome.leaving && outcome.exhaust_leaving && outcome.leaving->ok()
                && outcome.exhaust_leaving->ok() && outcome.refusal.empty())
                << where;
            continue;
        }
        ++computed;
        ASSERT_TRUE(outcome.exhaust_leaving) << where;
        ASSERT_TRUE(outcome.result.exhaust_leaving) << where;
        const Stream& o2 = outcome.result.leaving;
        const Stream& e2 = *outcome.result.exhaust_leaving;
        const AirState& o1 = outcome.entering[0].state;
        const AirState& e1 = outcome.entering[1].state;
        const double m_o = *outdoor.flow_kg_s, m_e = *exhaust.flow_kg_s;
        // Dry air: each stream keeps its own.
        EXPECT_DOUBLE_EQ(*o2.flow_kg_s, m_o) << where;
        EXPECT_DOUBLE_EQ(*e2.flow_kg_s, m_e) << where;
        // Water: what both carry in leaves as vapour or as each side's condensate.
        const double cond_o = *outcome.result.outdoor_condensate_kg_per_h / 3600;
        const double cond_e = *outcome.result.exhaust_condensate_kg_per_h / 3600;
        EXPECT_GE(cond_o, 0) << where;
        EXPECT_GE(cond_e, 0) << where;
        EXPECT_NEAR(m_o * o1.W + m_e * e1.W, m_o * o2.state.W + m_e * e2.state.W + cond_o + cond_e, 1e-10)
            << where;
        // Energy: the enthalpy of both streams in equals that out, the condensate's at its side's dry bulb.
        const double in = m_o * MoistAirEnthalpy(o1.T_K, o1.W) + m_e * MoistAirEnthalpy(e1.T_K, e1.W);
        const double out = m_o * MoistAirEnthalpy(o2.state.T_K, o2.state.W)
            + m_e * MoistAirEnthalpy(e2.state.T_K, e2.state.W) + cond_o * LiquidWaterEnthalpy(o2.state.T_K)
            + cond_e * LiquidWaterEnthalpy(e2.state.T_K);
        EXPECT_NEAR(in, out, 1e-8 * (1 + std::abs(in))) << where;
        // The recovered load is what the outdoor air receives: its air and vapour, and any condensate on
        // its side draining at its leaving dry bulb.
        EXPECT_NEAR(*outcome.result.loads.total_kW,
            m_o * (MoistAirEnthalpy(o2.state.T_K, o2.state.W) - MoistAirEnthalpy(o1.T_K, o1.W))
                + cond_o * LiquidWaterEnthalpy(o2.state.T_K),
            1e-8 * (1 + std::abs(*outcome.result.loads.total_kW)))
            << where;
        // Both leaving points are typed back into the window in their own point's units.
        EXPECT_TRUE(outcome.leaving->ok()) << where;
        EXPECT_TRUE(outcome.exhaust_leaving->ok()) << where;
        EXPECT_NEAR(outcome.exhaust_leaving->state.W, e2.state.W, 1e-6) << where;
    }
    EXPECT_GT(computed, 2000);
    EXPECT_GT(refused_range, 100);
    EXPECT_GT(refused_flow, 50);
}

TEST(DesignKinds, SupplyOverRandomRoomsMeetsTheLoadsOrNamesWhatItRefuses)
{
    std::mt19937_64 random(1981);
    std::uniform_real_distribution<double> unit(0, 1);
    int computed = 0, refused_range = 0;
    for (int i = 0; i < 3000; ++i) {
        const bool british = i % 4 == 0;
        const double t_r = 18 + 10 * unit(random), rh_r = 30 + 35 * unit(random);
        const auto shown = [&](double celsius) { return Text(british ? celsius * 1.8 + 32 : celsius); };
        const StatePoint room = Point("R", Inputs(british, shown(t_r), Text(rh_r)), std::nullopt);
        ProcessSpec recipe;
        recipe.kind = ProcessKind::Supply;
        recipe.points = { "R" };
        recipe.result_name = "S";
        const bool cooling = unit(random) < 0.7;
        const double sensible = (cooling ? 1 : -1) * (1 + 60 * unit(random));
        const double latent = -2 + 20 * unit(random);
        if (unit(random) < 0.5) {
            recipe.sensible_load_kW = sensible;
            recipe.latent_load_kW = latent;
        } else {
            recipe.total_load_kW = sensible + latent;
            recipe.sensible_heat_ratio = sensible / (sensible + latent);
        }
        // The supply dry bulb up to 110 C (above 100 C refused by its range), or a flow from -0.5 kg/s.
        if (unit(random) < 0.5)
            recipe.supply_temperature_K
                = kC + (cooling ? t_r - 1 - 20 * unit(random) : t_r + 1 + 89 * unit(random));
        else
            recipe.supply_flow_kg_s = -0.5 + 8 * unit(random);
        const ProcessOutcome outcome = RunProcess(recipe, { room });
        const std::string where = "case " + std::to_string(i);
        const bool bad_temperature = recipe.supply_temperature_K && *recipe.supply_temperature_K > 100 + kC;
        const bool bad_flow = recipe.supply_flow_kg_s && !(*recipe.supply_flow_kg_s > 0);
        if (bad_temperature || bad_flow) {
            ++refused_range;
            ASSERT_TRUE(outcome.why) << where;
            EXPECT_EQ(
                outcome.why->refusal.quantity, bad_flow ? "supply_flow_kg_per_s" : "supply_temperature_K")
                << where;
            EXPECT_EQ(
                outcome.why->refusal.unit, bad_flow ? (british ? "lb/h" : "kg/s") : (british ? "F" : "C"))
                << where;
            EXPECT_EQ(bad_flow ? outcome.why->refusal.minimum : outcome.why->refusal.maximum,
                bad_flow ? "0" : (british ? "212" : "100"))
                << where;
            continue;
        }
        if (!outcome.refusal.empty()) {
            // Below the ADP, or a supply beyond the calculator's range: the quantity, the value and the
            // limit in the calculation's units; only a line that never meets saturation is a bare rule.
            ASSERT_TRUE(outcome.why) << where;
            const Refusal& why = outcome.why->refusal;
            if (why.quantity.empty()) {
                EXPECT_EQ(why.reason, RefusalReason::ProcessRule) << where;
                EXPECT_NE(outcome.refusal.find("sensible-heat-ratio line"), std::string::npos) << where;
                continue;
            }
            if (why.quantity == "humidity_ratio")
                EXPECT_EQ(why.unit.starts_with(british ? "(lb" : "(kg"), true)
                    << where << ": " << outcome.refusal;
            else
                EXPECT_TRUE(why.unit == (british ? "F" : "C") || why.unit == (british ? "lb/h" : "kg/s"))
                    << where << ": " << outcome.refusal;
            EXPECT_FALSE(why.text.empty()) << where;
            EXPECT_FALSE(why.minimum.empty() && why.maximum.empty()) << where;
            EXPECT_NE(outcome.refusal.find(why.text + " " + why.unit), std::string::npos) << where;
            continue;
        }
        ++computed;
        const AirState& r = outcome.entering[0].state;
        const Stream& s = outcome.result.leaving;
        ASSERT_TRUE(s.flow_kg_s) << where;
        // The supply air, warmed (or cooled) and wetted to the room state, takes up exactly the loads.
        const RoomLoads taken = LoadsOfSupply(r, s.state, *s.flow_kg_s);
        const RoomLoads given = recipe.sensible_load_kW
            ? RoomLoads { *recipe.sensible_load_kW, *recipe.latent_load_kW }
            : LoadsFromTotal(*recipe.total_load_kW, *recipe.sensible_heat_ratio);
        EXPECT_NEAR(taken.sensible_kW, given.sensible_kW, 1e-9 * (1 + std::abs(given.sensible_kW))) << where;
        EXPECT_NEAR(taken.latent_kW, given.latent_kW, 1e-9 * (1 + std::abs(given.latent_kW))) << where;
        // Energy: the flow's enthalpy rise is the total load.
        EXPECT_NEAR(*s.flow_kg_s * (MoistAirEnthalpy(r.T_K, r.W) - MoistAirEnthalpy(s.state.T_K, s.state.W)),
            given.sensible_kW + given.latent_kW, 1e-8 * (1 + std::abs(given.sensible_kW + given.latent_kW)))
            << where;
        EXPECT_TRUE(outcome.leaving && outcome.leaving->ok()) << where;
        if (recipe.supply_temperature_K)
            EXPECT_NEAR(s.state.T_K, *recipe.supply_temperature_K, 1e-9) << where;
        else
            EXPECT_DOUBLE_EQ(*s.flow_kg_s, *recipe.supply_flow_kg_s) << where;
    }
    EXPECT_GT(computed, 1000);
    EXPECT_GT(refused_range, 100);
}

TEST(DesignKinds, APointTypedAtSaturationEntersAProcess)
{
    // The window holds a dry bulb in single precision; its humidity ratio at 100 % may lie above the
    // processes' saturation at that dry bulb by the rounding. Such a point (the saturated exhaust leaving a
    // recovery, or one the user typed) enters heating and heat recovery like any other.
    int cases = 0;
    for (const bool british : { false, true }) {
        for (const bool iapws : { true, false }) {
            for (double t = -20; t <= 45; t += 0.37) {
                AmbientInputs inputs = Inputs(british, Text(british ? t * 1.8 + 32 : t), "100");
                inputs.iapws = iapws;
                const StatePoint saturated = Point("S", inputs, 1.5);
                ProcessSpec heat;
                heat.kind = ProcessKind::Heat;
                heat.points = { "S" };
                heat.result_name = "H";
                heat.to_temperature_K = t + kC + 10;
                const ProcessOutcome heated = RunProcess(heat, { saturated });
                EXPECT_EQ(heated.refusal, "") << inputs.temperature << (british ? " F" : " C");
                AmbientInputs cold = Inputs(british, Text(british ? (t - 10) * 1.8 + 32 : t - 10), "50");
                cold.iapws = iapws;
                ProcessSpec plate;
                plate.kind = ProcessKind::Recovery;
                plate.points = { "O", "S" };
                plate.result_name = "C";
                plate.exhaust_result_name = "D";
                plate.sensible_effectiveness = 0.7;
                const ProcessOutcome recovered = RunProcess(plate, { Point("O", cold, 1.5), saturated });
                EXPECT_EQ(recovered.refusal, "") << inputs.temperature << (british ? " F" : " C");
                // The cooled saturated exhaust condenses; its air keeps saturation.
                if (recovered.refusal.empty())
                    EXPECT_GT(*recovered.result.exhaust_condensate_kg_per_h, 0) << inputs.temperature;
                ++cases;
            }
        }
    }
    EXPECT_GT(cases, 600);
}

/// A winter design in the live calculation: outdoor air A and exhaust B through a wheel to C and D.
void AddWheel(CalculationDocument& document)
{
    document.EditText(1, "-10");
    document.EditText(4, "80");
    document.AddPoint();
    document.EditText(1, "22");
    document.EditText(4, "40");
    document.AddPoint();
    ASSERT_TRUE(document.SetPointFlow(0, "2"));
    ASSERT_TRUE(document.SetPointFlow(1, "1.8"));
    ProcessSpec wheel;
    wheel.kind = ProcessKind::Recovery;
    wheel.points = { "A", "B" };
    wheel.sensible_effectiveness = 0.75;
    wheel.latent_effectiveness = 0.6;
    ASSERT_EQ(document.AddProcess(wheel), "");
}

TEST(DesignKinds, BothLeavingPointsOfARecoveryAreKeptByIdentity)
{
    CalculationDocument document;
    AddWheel(document);
    const StatePointsList& points = document.points();
    ASSERT_EQ(points.points().size(), 4U);
    EXPECT_EQ(points.points()[2].name, "C");
    EXPECT_EQ(points.points()[3].name, "D");
    EXPECT_EQ(points.LeavingId(0), points.IdOf(2));
    EXPECT_EQ(points.ExhaustLeavingId(0), points.IdOf(3));
    const AmbientInputs window = document.window().CurrentInputs();
    EXPECT_EQ(points.ShownProcessRows(window)[0].to, "C, D");

    // Renaming the leaving exhaust point renames it in the process, which still computes.
    ASSERT_TRUE(document.RenamePoint(3, "EA off wheel"));
    EXPECT_EQ(document.points().processes()[0].exhaust_result_name, "EA off wheel");
    EXPECT_EQ(document.points().EvaluateKept(0).refusal, "");
    EXPECT_EQ(document.ToCalculation().processes[0].exhaust_result_name, "EA off wheel");

    // Deleting it asks first and takes the recovery with it; the step restores both.
    {
        std::vector<std::pair<DocumentStep, DocumentState>> before;
        document.SetRecorder([&](const DocumentStep& step, DocumentState state, const DocumentState&) {
            before.emplace_back(step, std::move(state));
        });
        EXPECT_EQ(document.DeleteQuestion({ 3 }), "Delete point EA off wheel and the process that uses it?");
        document.DeletePoints({ 3 });
        EXPECT_TRUE(document.points().processes().empty());
        ASSERT_EQ(before.size(), 1U);
        document.Restore(before.front().second);
        ASSERT_EQ(document.points().processes().size(), 1U);
        EXPECT_EQ(document.points().ExhaustLeavingId(0), document.points().IdOf(3));
    }
}

TEST(DesignKinds, EditingARecoveryMovesBothLeavingPointsAndWhatFollows)
{
    CalculationDocument document;
    AddWheel(document); // A, B -> C, D
    // Heating the leaving exhaust D to E: downstream of the recovery's second leaving point.
    ProcessSpec heat;
    heat.kind = ProcessKind::Heat;
    heat.points = { "D" };
    heat.to_temperature_K = 30 + kC;
    ASSERT_EQ(document.AddProcess(heat), "");
    const auto state_of = [&](int row) { return ViewPoint(document.points().points()[row].inputs).state; };
    const AirState c_before = state_of(2), d_before = state_of(3), e_before = state_of(4);
    const int c_id = document.points().IdOf(2), d_id = document.points().IdOf(3);

    ProcessSpec plate = document.points().processes()[0];
    plate.latent_effectiveness.reset();
    plate.sensible_effectiveness = 0.5;
    ASSERT_EQ(document.EditProcess(0, plate), "");
    const StatePointsList& points = document.points();
    // The leaving points keep their identities and names and take the new states.
    EXPECT_EQ(points.IdOf(2), c_id);
    EXPECT_EQ(points.IdOf(3), d_id);
    EXPECT_EQ(points.ExhaustLeavingId(0), d_id);
    EXPECT_EQ(points.processes()[0].exhaust_result_name, "D");
    const ProcessOutcome now = points.EvaluateKept(0);
    ASSERT_EQ(now.refusal, "");
    EXPECT_NEAR(state_of(2).T_K, now.result.leaving.state.T_K, 1e-4);
    EXPECT_NEAR(state_of(3).T_K, now.result.exhaust_leaving->state.T_K, 1e-4);
    EXPECT_NEAR(state_of(3).W, now.result.exhaust_leaving->state.W, 1e-7);
    EXPECT_LT(state_of(2).T_K, c_before.T_K); // less heat recovered
    EXPECT_NE(state_of(3).W, d_before.W);     // no water moved now
    // The heating after the exhaust follows: same dry bulb, the exhaust's new water.
    EXPECT_NEAR(state_of(4).T_K, e_before.T_K, 1e-4);
    EXPECT_NEAR(state_of(4).W, state_of(3).W, 1e-7);
    // A recovery may not start from what it feeds, through its exhaust either; nor become another kind.
    ProcessSpec loop = plate;
    loop.points = { "A", "E" };
    EXPECT_NE(document.EditProcess(0, loop), "");
    ProcessSpec other = heat;
    other.points = { "A" };
    EXPECT_NE(document.EditProcess(0, other), "");
    EXPECT_EQ(document.points().processes()[0].kind, ProcessKind::Recovery);
}

TEST(DesignKinds, AddingADesignProcessIsOneNamedStep)
{
    for (const ProcessKind kind : { ProcessKind::Supply, ProcessKind::Recovery }) {
        CalculationDocument document;
        AddWheel(document);
        ProcessSpec recipe;
        recipe.kind = kind;
        if (kind == ProcessKind::Supply) {
            recipe.points = { "B" };
            recipe.sensible_load_kW = -20;
            recipe.latent_load_kW = 1;
            recipe.supply_temperature_K = 35 + kC;
        } else {
            recipe.points = { "C", "D" };
            recipe.sensible_effectiveness = 0.5;
        }
        std::vector<std::string> names;
        DocumentState start = document.state();
        document.SetRecorder([&](const DocumentStep& step, DocumentState, const DocumentState&) {
            names.push_back(step.name);
        });
        const std::size_t points_before = document.points().points().size();
        ASSERT_EQ(document.AddProcess(recipe), "") << ProcessKindKey(kind);
        ASSERT_EQ(names.size(), 1U);
        EXPECT_EQ(names.front(), "Add " + std::string(ProcessKindCaption(kind)));
        EXPECT_EQ(document.points().points().size(), points_before + (kind == ProcessKind::Recovery ? 2 : 1));
        document.Restore(start);
        EXPECT_TRUE(SameState(document.state(), start));

        // A refused one changes nothing and is no step: the exhaust name taken, or an effectiveness of 2.
        names.clear();
        ProcessSpec refused = recipe;
        if (kind == ProcessKind::Supply)
            refused.supply_flow_kg_s = 1;
        else
            refused.exhaust_result_name = "A";
        EXPECT_NE(document.AddProcess(refused), "");
        EXPECT_TRUE(names.empty());
        EXPECT_TRUE(SameState(document.state(), start));
    }
}

// With a temperature unit of the user's choosing, the design's refusals use it.
TEST(DesignKinds, RefusalsUseTheSelectedTemperatureUnit)
{
    AmbientInputs kelvin = Inputs(false, "297.15", "50");
    kelvin.selections[0] = AmbientControls().Combo1.IndexOf("K");
    ProcessSpec recipe;
    recipe.kind = ProcessKind::Supply;
    recipe.points = { "R" };
    recipe.result_name = "S";
    recipe.sensible_load_kW = 30;
    recipe.latent_load_kW = 10;
    recipe.supply_temperature_K = 300;
    const ProcessOutcome warm = RunProcess(recipe, { Point("R", kelvin, std::nullopt) });
    ASSERT_TRUE(warm.why) << warm.refusal;
    EXPECT_EQ(warm.refusal,
        "The supply dry bulb 300 K must lie below 297.15 K, the room dry bulb: a cooling load needs supply "
        "air "
        "cooler than the room.");
    EXPECT_EQ(warm.why->refusal.unit, "K");
    EXPECT_EQ(warm.why->refusal.maximum, "297.15");
    EXPECT_EQ(warm.why->refusal.reason, RefusalReason::AboveMaximum);
    // Below the ADP: the minimum is the ADP in kelvin, rounded up, and accepted typed back.
    recipe.supply_temperature_K = 280;
    const ProcessOutcome cold = RunProcess(recipe, { Point("R", kelvin, std::nullopt) });
    ASSERT_TRUE(cold.why) << cold.refusal;
    EXPECT_EQ(cold.why->refusal.unit, "K");
    EXPECT_EQ(cold.why->refusal.reason, RefusalReason::BelowMinimum);
    const double minimum = NumberValue(cold.why->refusal.minimum);
    // Six digits, as the window shows a temperature in kelvin: 282.61631 K rounded up.
    EXPECT_EQ(cold.why->refusal.minimum, "282.617") << cold.refusal;
    recipe.supply_temperature_K = minimum;
    const ProcessOutcome at = RunProcess(recipe, { Point("R", kelvin, std::nullopt) });
    EXPECT_TRUE(at.refusal.empty()) << at.refusal;
    recipe.supply_temperature_K = minimum - 1e-3;
    EXPECT_FALSE(RunProcess(recipe, { Point("R", kelvin, std::nullopt) }).refusal.empty());
}

} // namespace
} // namespace humidora
