// State points as the main window shows them, and processes run on them.
#include "calc/points/point_table.h"
#include "calc/points/process_parameters.h"
#include "calc/points/state_points.h"
#include "calc/points/state_points_list.h"

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
    // holds the same dry bulb (to its single precision) and shows every text as the state typed to the
    // last digit does, with short texts in the input boxes.
    struct Case
    {
        UnitSystem system;
        int humidity_ratio_item;
        const char* temperature; ///< 300.123456789 K to the last digit
        const char* humidity_ratio;
    };
    for (const Case c : { Case { UnitSystem::Metric, 0, "26.973456789", "0.0123456789" },
             Case { UnitSystem::Metric, 1, "26.973456789", "12.3456789" },
             Case { UnitSystem::British, 2, "80.5522222202", "0.0123456789" } }) {
        AmbientInputs like = Typed("20", 2, "40", c.system);
        like.selections[5] = c.humidity_ratio_item;
        const AirState state { 300.123456789, 0.0123456789 };
        const AmbientInputs inputs = InputsAtState(like, state);
        AmbientInputs exact = inputs;
        exact.temperature = c.temperature;
        exact.humidity = c.humidity_ratio;
        const PointView view = ViewPoint(inputs);
        ASSERT_TRUE(view.ok()) << view.refusal;
        EXPECT_EQ(view.state.T_K, static_cast<float>(state.T_K));
        EXPECT_NEAR(view.state.W, state.W, 1e-8);
        EXPECT_EQ(view.controls.Option1, true);
        EXPECT_LE(inputs.temperature.size(), 10u) << inputs.temperature;
        EXPECT_LE(inputs.humidity.size(), 10u) << inputs.humidity;
        AmbientControls shown = view.controls;
        const AmbientControls expected = ViewPoint(exact).controls;
        shown.Text1.text = expected.Text1.text;
        shown.Text3.text = expected.Text3.text;
        EXPECT_EQ(shown, expected) << inputs.temperature << " " << inputs.humidity;
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
    ProcessSpec recipe;
    recipe.kind = ProcessKind::Coil;
    recipe.adp_K = 10 + 273.15;
    recipe.bypass_factor = 0;
    const ProcessOutcome outcome = RunProcess(recipe, { outdoor });
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
    EXPECT_EQ(RunProcess(lacking, { room }).refusal,
        "Steam Humidifier takes Leaving Humidity Ratio, or Leaving Relative Humidity.");
}

} // namespace
} // namespace humidora

namespace humidora {
namespace {

TEST(PointTable, RowsShowTheWindowsTextsAndTheFlowInItsUnit)
{
    const PointView view = ViewPoint(Typed("86", 3, "60", UnitSystem::British));
    ASSERT_TRUE(view.ok());
    const FlowUnit cfm = *FindFlowUnit("cfm");
    // The texts of "humidora-cli state --system british --temperature 86 --dew-point 60"; 1 lb/s of dry air
    // at 14.00381 ft^3/lb is 840.23 cfm.
    const std::vector<std::string> row = PointRowTexts("OA", view, 0.45359237, cfm);
    const std::vector<std::string> expected { "OA", "86", ".0110441", "41.626", "68.699", "60", "25.10704",
        "14.00381", "840.2" };
    EXPECT_EQ(row, expected);
    const std::vector<std::string> units = PointColumnUnits(view.controls, "cfm");
    EXPECT_EQ(units[1], "F");
    EXPECT_EQ(units[2], "(lb moisture)/(lb dry air)");
    EXPECT_EQ(units[3], "%");
    EXPECT_EQ(units[8], "cfm");
    EXPECT_EQ(Heading(kPointColumns[1].caption, units[1]), "Dry Bulb Temperature (F)");
    EXPECT_EQ(Heading(kPointColumns[0].caption, units[0]), "Point");
    // A typed leaving state shows the decimals of computed values, not every digit typed.
    const PointView typed = ViewPoint(InputsAtState(AmbientInputs {}, { 300.123456789, 0.0123456789 }));
    const std::vector<std::string> typed_row = PointRowTexts("B", typed, std::nullopt, cfm);
    EXPECT_EQ(typed_row[1], "26.973");
    EXPECT_EQ(typed_row[2], ".0123457");
    EXPECT_EQ(typed_row[8], "");
}

TEST(PointTable, LoadsFollowTheUnitSystem)
{
    ProcessResult result;
    result.loads.total_kW = 10;
    result.loads.sensible_heat_ratio = 0.71234;
    result.loads.water_kg_per_h = 4.5359237;
    result.apparatus_dew_point_K = 283.15;
    const std::vector<LoadLine> metric = LoadLines(result, ProcessKind::Coil, UnitSystem::Metric, "C");
    ASSERT_EQ(metric.size(), 4u);
    EXPECT_EQ(metric[0].text + " " + metric[0].unit, "10 kW");
    EXPECT_EQ(metric[1].text, ".7123");
    EXPECT_EQ(metric[2].caption + " " + metric[2].text + " " + metric[2].unit, "Condensate 4.536 kg/h");
    EXPECT_EQ(metric[3].text + " " + metric[3].unit, "10 C");
    const std::vector<LoadLine> british = LoadLines(result, ProcessKind::Coil, UnitSystem::British, "F");
    // A British load is one line in btu/h and tons.
    ASSERT_EQ(british.size(), 4u);
    EXPECT_EQ(LineText(british[0]), "Total Load 34121 btu/h (2.843 tons)");
    EXPECT_EQ(british[2].text + " " + british[2].unit, "10 lb/h");
    EXPECT_EQ(british[3].text + " " + british[3].unit, "50 F");
}

TEST(PointTable, ClipboardTextsKeepOneValuePerCell)
{
    const std::vector<std::string> header { "Point", "Dry Bulb Temperature (C)" };
    const std::vector<std::vector<std::string>> rows { { "A<1>", "25" }, { "B\tC", "-3.5" } };
    EXPECT_EQ(TabSeparated(header, rows), "Point\tDry Bulb Temperature (C)\nA<1>\t25\nB C\t-3.5\n");
    EXPECT_EQ(HtmlTable(header, rows),
        "<table>\n<tr><th>Point</th><th>Dry Bulb Temperature (C)</th></tr>\n"
        "<tr><td>A&lt;1&gt;</td><td>25</td></tr>\n<tr><td>B\tC</td><td>-3.5</td></tr>\n</table>\n");
}

} // namespace
} // namespace humidora

namespace humidora {
namespace {

TEST(StatePointsList, ProcessesAddTheirLeavingPointAndFollowThePoints)
{
    StatePointsList list;
    AmbientInputs outdoor;
    outdoor.temperature = "32";
    list.Add(outdoor, 1.0);
    list.Add(AmbientInputs {}, 3.0);
    ProcessSpec mix;
    mix.points = { "A", "B" };
    EXPECT_EQ(list.AddProcess(mix), "");
    ASSERT_EQ(list.points().size(), 3u);
    EXPECT_EQ(list.points()[2].name, "C");
    EXPECT_DOUBLE_EQ(*list.points()[2].flow_kg_s, 4.0);
    ProcessSpec heat;
    heat.kind = ProcessKind::Heat;
    heat.points = { "C" };
    heat.to_temperature_K = 308.15;
    heat.result_name = " SA ";
    EXPECT_EQ(list.AddProcess(heat), "");
    EXPECT_EQ(list.points()[3].name, "SA");
    heat.result_name = "A"; // taken
    EXPECT_EQ(list.AddProcess(heat), "There is a point A already.");
    EXPECT_EQ(list.processes().size(), 2u);

    const TextTable shown = list.ShownProcesses(AmbientInputs {});
    ASSERT_EQ(shown.rows.size(), 2u);
    EXPECT_EQ(shown.rows[0], (std::vector<std::string> { "Mixing", "A, B", "C", "", "" }));
    EXPECT_EQ(shown.rows[1][0], "Heating / Sensible Cooling");
    EXPECT_EQ(shown.rows[1][3], "Leaving Dry Bulb 35 C");
    EXPECT_EQ(shown.rows[1][4].rfind("Total Load ", 0), 0u);
    // A renamed point keeps its processes: the mixing leaves at it and the heater enters at it, by its
    // new name, with the same loads.
    EXPECT_TRUE(list.Rename(2, "M"));
    const TextTable renamed = list.ShownProcesses(AmbientInputs {});
    EXPECT_EQ(renamed.rows[0][2], "M");
    EXPECT_EQ(renamed.rows[1][1], "M");
    EXPECT_EQ(renamed.rows[1][4], shown.rows[1][4]);
    // Deleting it deletes both.
    list.Remove(2);
    EXPECT_TRUE(list.processes().empty());
}

/// A process recipe and the parameters its table row shows, in the window's units.
struct ParameterCase
{
    const char* name;
    ProcessSpec recipe;
    UnitSystem system;
    std::vector<std::string> shown; ///< "caption text unit" per parameter
};

class ProcessParameterTexts : public ::testing::TestWithParam<ParameterCase>
{
};

TEST_P(ProcessParameterTexts, InTheWindowsUnits)
{
    AmbientInputs units = Typed("25", 2, "50", GetParam().system);
    if (GetParam().system == UnitSystem::Customized)
        units.selections[5] = 1; // humidity ratio in g/kg
    std::vector<std::string> shown;
    for (const LoadLine& line : ParameterLines(GetParam().recipe, units))
        shown.push_back(line.caption + " " + line.text + (line.unit.empty() ? "" : " " + line.unit));
    EXPECT_EQ(shown, GetParam().shown);
}

ProcessSpec Recipe(ProcessKind kind, std::optional<double> ProcessSpec::*first, double first_value,
    std::optional<double> ProcessSpec::*second = nullptr, double second_value = 0)
{
    ProcessSpec recipe;
    recipe.kind = kind;
    recipe.*first = first_value;
    if (second)
        recipe.*second = second_value;
    return recipe;
}

using enum ProcessKind;
using S = ProcessSpec;
INSTANTIATE_TEST_SUITE_P(Kinds, ProcessParameterTexts,
    ::testing::Values(ParameterCase { "Mix", {}, UnitSystem::Metric, {} },
        ParameterCase { "Heat", Recipe(Heat, &S::to_temperature_K, 308.15), UnitSystem::Metric,
            { "Leaving Dry Bulb 35 C" } },
        ParameterCase { "HeatBritish", Recipe(Heat, &S::to_temperature_K, 308.15), UnitSystem::British,
            { "Leaving Dry Bulb 95 F" } },
        ParameterCase { "CoilByAdp", Recipe(Coil, &S::adp_K, 283.15, &S::bypass_factor, 0.15),
            UnitSystem::Metric, { "Apparatus Dew Point 10 C", "Bypass Factor .15" } },
        ParameterCase { "CoilByLeavingState",
            Recipe(Coil, &S::leaving_temperature_K, 286.15, &S::leaving_relative_humidity, 0.905),
            UnitSystem::British, { "Leaving Dry Bulb 55.4 F", "Leaving Relative Humidity 90.5 %" } },
        ParameterCase { "Evaporative", Recipe(Evaporative, &S::effectiveness, 0.85), UnitSystem::Metric,
            { "Saturation Effectiveness .85" } },
        // The steam temperature used when none was given, and a given one.
        ParameterCase { "SteamDefaultTemperature", Recipe(Steam, &S::to_humidity_ratio, 0.008),
            UnitSystem::Customized,
            { "Leaving Humidity Ratio 8 (g moisture)/(kg dry air)", "Steam Temperature 100 C" } },
        ParameterCase { "SteamBritish",
            Recipe(Steam, &S::to_relative_humidity, 0.4, &S::steam_temperature_K, 383.15),
            UnitSystem::British, { "Leaving Relative Humidity 40 %", "Steam Temperature 230 F" } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProcessParameterUnits, TypedValueComesBackFromSi)
{
    // Every parameter in every unit of its list: what the dialog reads in is what the table shows.
    for (const ProcessParameter& parameter : kProcessParameters) {
        for (int temperature = 0; temperature < 4; ++temperature) {
            for (int ratio = 0; ratio < 3; ++ratio) {
                AmbientInputs units;
                units.selections[0] = temperature;
                units.selections[5] = ratio;
                for (const double typed : { 0.25, 12.5, 90.0, 250.0 }) {
                    const double si = ParameterInSi(parameter, typed, units);
                    EXPECT_NEAR(ParameterInUnit(parameter, si, units), typed, 1e-9)
                        << parameter.key << " in " << ParameterUnit(parameter, units);
                }
            }
        }
    }
}

} // namespace
} // namespace humidora
