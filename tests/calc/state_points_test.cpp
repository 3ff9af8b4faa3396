// State points as the main window shows them, and processes run on them.
#include "calc/state_points.h"

#include <gtest/gtest.h>

namespace humidora {
namespace {

AmbientInputs Typed(const std::string& t, int option, const std::string& humidity, UnitSystem system)
{
    AmbientInputs inputs;
    if (system == UnitSystem::British) {
        inputs.system = system;
        inputs.selections = kBritishSelection;
        inputs.pressure = "14.6957";
    }
    inputs.temperature = t;
    inputs.humidity_option = option;
    inputs.humidity = humidity;
    return inputs;
}

TEST(StatePoints, DefaultNamesRunThroughTheAlphabetThenDouble)
{
    EXPECT_EQ(DefaultPointName(0), "A");
    EXPECT_EQ(DefaultPointName(2), "C");
    EXPECT_EQ(DefaultPointName(25), "Z");
    EXPECT_EQ(DefaultPointName(26), "AA");
    EXPECT_EQ(DefaultPointName(27), "AB");
    EXPECT_EQ(DefaultPointName(701), "ZZ");
    EXPECT_EQ(DefaultPointName(702), "AAA");
}

TEST(StatePoints, AStateTypedBackReadsTheSameInEverySystem)
{
    // A process's leaving state, typed into the window in either system and either humidity-ratio unit,
    // holds the same dry bulb (to its single precision) and exactly the same humidity ratio.
    struct Case
    {
        UnitSystem system;
        int humidity_ratio_item;
    };
    for (const Case c :
        { Case { UnitSystem::Metric, 0 }, Case { UnitSystem::Metric, 1 }, Case { UnitSystem::British, 2 } }) {
        AmbientInputs like = Typed("20", 2, "40", c.system);
        like.selections[5] = c.humidity_ratio_item;
        const AirState state { 300.123456789, 0.0123456789 };
        const PointView view = ViewPoint(InputsAtState(like, state));
        ASSERT_TRUE(view.ok()) << view.refusal;
        EXPECT_EQ(view.state.T_K, static_cast<float>(state.T_K));
        EXPECT_NEAR(view.state.W, state.W, 1e-17);
        EXPECT_EQ(view.controls.Option1, true);
    }
}

TEST(StatePoints, ASaturatedLeavingStateIsShownNotRefused)
{
    // Saturation at 9.37 C: the window holds the dry bulb in single precision, a hair below, and shows
    // its maximum humidity ratio rounded; the point is typed as saturated.
    const ProcessConditions sea { 101325, kIapws };
    for (const double t : { 9.37, 14.03, 0.61, -7.7 }) {
        const double T = t + 273.15;
        const AirState saturated { T, SaturationHumidityRatio(T, sea).value() };
        const PointView view = ViewPoint(InputsAtState(AmbientInputs {}, saturated));
        ASSERT_TRUE(view.ok()) << t << ": " << view.refusal;
        EXPECT_EQ(view.controls.Text4.text, "100") << t;
    }
}

TEST(StatePoints, ACoilOnTwoWindowStatesGivesTheWindowsLeavingPoint)
{
    const StatePoint outdoor { "A", Typed("32", 3, "22", UnitSystem::Metric), 2.0 };
    ProcessSpec spec;
    spec.kind = ProcessKind::Coil;
    spec.adp_K = 10 + 273.15;
    spec.bypass_factor = 0;
    const ProcessOutcome outcome = RunProcess(spec, { outdoor });
    ASSERT_TRUE(outcome.refusal.empty()) << outcome.refusal;
    ASSERT_TRUE(outcome.leaving);
    EXPECT_EQ(outcome.leaving->controls.Text4.text, "100");
    EXPECT_EQ(outcome.leaving->controls.Text5.text, "10");
    EXPECT_GT(*outcome.result.loads.total_kW, 0);
}

TEST(StatePoints, ProcessesAreRefusedWithTheirReason)
{
    const StatePoint room { "R", Typed("24", 2, "50", UnitSystem::Metric), 1.0 };
    const StatePoint refused { "X", Typed("24", 2, "150", UnitSystem::Metric), 1.0 };
    StatePoint high = room;
    high.inputs.pressure = "90";
    ProcessSpec heat;
    heat.kind = ProcessKind::Heat;
    heat.to_temperature_K = 5 + 273.15;
    EXPECT_NE(RunProcess(heat, { room }).refusal.find("cooling coil"), std::string::npos);
    heat.to_temperature_K = 35 + 273.15;
    EXPECT_EQ(RunProcess(heat, { refused }).refusal.rfind("Point X is refused: ", 0), 0u);
    ProcessSpec mix;
    EXPECT_NE(RunProcess(mix, { room, high }).refusal.find("one pressure"), std::string::npos);
    EXPECT_TRUE(RunProcess(mix, { room, room }).refusal.empty());
    ProcessSpec lacking;
    lacking.kind = ProcessKind::Steam;
    EXPECT_EQ(RunProcess(lacking, { room }).refusal, "The process lacks a parameter.");
}

} // namespace
} // namespace humidora
