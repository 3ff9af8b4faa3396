// The table of process kinds and the one validator that every front end applies, the structured refusals
// of points and processes, and humidifying to exactly 100 % over a grid of entering states.
#include "calc/points/point_table.h"
#include "calc/points/process_parameters.h"
#include "calc/points/state_points.h"
#include "calc/units/number_text.h"
#include "calc/units/quantities.h"

#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace humidora {

bool SteamReaches(const AirState& in, const ProcessConditions& c, double steam_K, double phi);

namespace {

constexpr double kC = 273.15;

TEST(ProcessKinds, EveryKindHasOneKeyCaptionAndItsForms)
{
    std::set<std::string_view> keys, captions;
    for (const ProcessKindInfo& info : kProcessKinds) {
        EXPECT_TRUE(keys.insert(info.key).second) << info.key;
        EXPECT_TRUE(captions.insert(info.caption).second) << info.caption;
        EXPECT_EQ(FindProcessKind(info.key), info.kind);
        EXPECT_EQ(ProcessKindKey(info.kind), info.key);
        EXPECT_EQ(ProcessKindCaption(info.kind), info.caption);
        EXPECT_LE(info.fewest_points, info.most_points);
        EXPECT_FALSE(PointCountRefusal(info.kind, info.fewest_points));
        EXPECT_TRUE(PointCountRefusal(info.kind, info.fewest_points - 1));
        // Each kind has a form, and each form's parameters are the kind's own.
        bool has_form = false;
        for (const ProcessForm& form : kProcessForms) {
            if (form.kind != info.kind)
                continue;
            has_form = true;
            for (const std::string_view key : form.required) {
                ASSERT_NE(FindParameter(key), nullptr) << key;
                EXPECT_TRUE(FindParameter(key)->TakenBy(info.kind)) << key;
            }
        }
        EXPECT_TRUE(has_form) << info.key;
    }
    EXPECT_FALSE(FindProcessKind("boil"));
    EXPECT_TRUE(PointCountRefusal(ProcessKind::Heat, 2));
    EXPECT_FALSE(PointCountRefusal(ProcessKind::Mix, 7));
    // Every parameter is taken by some kind and lies in a form, or goes with any form (the steam's).
    for (const ProcessParameter& parameter : kProcessParameters) {
        EXPECT_FALSE(parameter.kinds.empty()) << parameter.key;
        EXPECT_TRUE(parameter.field != nullptr) << parameter.key;
        if (parameter.minimum && parameter.maximum) {
            EXPECT_LT(*parameter.minimum, *parameter.maximum) << parameter.key;
        }
    }
}

AmbientInputs Metric()
{
    return AmbientInputs {};
}

AmbientInputs British()
{
    AmbientInputs inputs;
    inputs.system = UnitSystem::British;
    inputs.selections = kBritishSelection;
    inputs.pressure = kBritishPressureText;
    inputs.temperature = "77";
    return inputs;
}

ProcessSpec Recipe(
    ProcessKind kind, std::vector<std::pair<std::optional<double> ProcessSpec::*, double>> values)
{
    ProcessSpec recipe;
    recipe.kind = kind;
    for (const auto& [field, value] : values)
        recipe.*field = value;
    return recipe;
}

struct ParameterCase
{
    const char* name;
    ProcessSpec recipe;
    bool british;
    // Expected: empty sentence for an accepted recipe.
    std::string sentence;
    std::string quantity;
    RefusalReason reason;
    std::string text, minimum, maximum, unit;
};

TEST(ProcessValidator, ParametersAreCheckedForFormAndRangeInTheCalculationsUnits)
{
    const std::vector<ParameterCase> cases = {
        { "CoilByAdp",
            Recipe(
                ProcessKind::Coil, { { &ProcessSpec::adp_K, 283.15 }, { &ProcessSpec::bypass_factor, 0.1 } }),
            false, "", "", {}, "", "", "", "" },
        { "BypassFactorEndsAllowed",
            Recipe(
                ProcessKind::Coil, { { &ProcessSpec::adp_K, 283.15 }, { &ProcessSpec::bypass_factor, 1 } }),
            false, "", "", {}, "", "", "", "" },
        { "BypassFactorAboveOne",
            Recipe(
                ProcessKind::Coil, { { &ProcessSpec::adp_K, 283.15 }, { &ProcessSpec::bypass_factor, 1.2 } }),
            false, "Bypass Factor 1.2 is above its maximum of 1.", "bypass_factor",
            RefusalReason::AboveMaximum, "1.2", "0", "1", "" },
        { "BritishAdpBelowTheLowest",
            Recipe(ProcessKind::Coil, { { &ProcessSpec::adp_K, 170 }, { &ProcessSpec::bypass_factor, 0.1 } }),
            true, "Apparatus Dew Point -153.67 F is below its minimum of -148 F.", "adp_K",
            RefusalReason::BelowMinimum, "-153.67", "-148", "212", "F" },
        { "RelativeHumidityAbove100",
            Recipe(ProcessKind::Evaporative, { { &ProcessSpec::to_relative_humidity, 1.005 } }), false,
            "Leaving Relative Humidity 100.5 % is above its maximum of 100 %.", "to_relative_humidity",
            RefusalReason::AboveMaximum, "100.5", "0", "100", "%" },
        { "RelativeHumidity100Allowed",
            Recipe(ProcessKind::Steam, { { &ProcessSpec::to_relative_humidity, 1 } }), false, "", "", {}, "",
            "", "", "" },
        { "NegativeHumidityRatio",
            Recipe(ProcessKind::Steam, { { &ProcessSpec::to_humidity_ratio, -0.001 } }), false,
            "Leaving Humidity Ratio -.001 (kg moisture)/(kg dry air) is below its minimum of 0 (kg "
            "moisture)/(kg dry air).",
            "to_humidity_ratio", RefusalReason::BelowMinimum, "-.001", "0", "",
            "(kg moisture)/(kg dry air)" },
        { "ParameterOfAnotherKind",
            Recipe(ProcessKind::Heat,
                { { &ProcessSpec::to_temperature_K, 300 }, { &ProcessSpec::bypass_factor, 0.1 } }),
            false, "Heating / Sensible Cooling takes no Bypass Factor.", "", RefusalReason::ProcessRule, "",
            "", "", "" },
        { "TwoForms",
            Recipe(ProcessKind::Evaporative,
                { { &ProcessSpec::effectiveness, 0.5 }, { &ProcessSpec::to_relative_humidity, 0.5 } }),
            false,
            "Evaporative Humidifier takes Saturation Effectiveness (0..1), or Leaving Relative Humidity.", "",
            RefusalReason::ProcessRule, "", "", "", "" },
        { "NoForm", Recipe(ProcessKind::Heat, {}), false,
            "Heating / Sensible Cooling takes Leaving Dry Bulb.", "", RefusalReason::ProcessRule, "", "", "",
            "" },
        { "NotFinite", Recipe(ProcessKind::Heat, { { &ProcessSpec::to_temperature_K, std::nan("") } }), false,
            "Leaving Dry Bulb is not a finite number.", "to_temperature_K", RefusalReason::NotANumber,
            "Error", "", "", "C" },
    };
    for (const ParameterCase& c : cases) {
        const std::optional<ProcessRefusal> refusal
            = ParametersRefusal(c.recipe, c.british ? British() : Metric());
        if (c.sentence.empty()) {
            EXPECT_FALSE(refusal) << c.name << ": " << refusal->sentence;
            continue;
        }
        ASSERT_TRUE(refusal) << c.name;
        EXPECT_EQ(refusal->sentence, c.sentence) << c.name;
        EXPECT_EQ(refusal->point, "") << c.name;
        EXPECT_EQ(refusal->refusal.quantity, c.quantity) << c.name;
        EXPECT_EQ(refusal->refusal.reason, c.reason) << c.name;
        if (c.reason == RefusalReason::ProcessRule)
            continue;
        EXPECT_EQ(refusal->refusal.text, c.text) << c.name;
        EXPECT_EQ(refusal->refusal.minimum, c.minimum) << c.name;
        EXPECT_EQ(refusal->refusal.maximum, c.maximum) << c.name;
        EXPECT_EQ(refusal->refusal.unit, c.unit) << c.name;
    }
}

StatePoint Point(std::string name, const AmbientInputs& like, std::string t, std::string rh,
    std::optional<double> flow = 1.0)
{
    StatePoint point { std::move(name), like, flow };
    point.inputs.temperature = std::move(t);
    point.inputs.humidity_option = 2;
    point.inputs.humidity = std::move(rh);
    return point;
}

TEST(ProcessValidator, PointsAreCheckedAndTheCulpritNamed)
{
    const ProcessSpec heat = Recipe(ProcessKind::Heat, { { &ProcessSpec::to_temperature_K, 40 + kC } });
    ProcessSpec mix;

    // A point the window refuses: the window's structured refusal, and the point by name.
    const ProcessOutcome wet = RunProcess(heat, { Point("A", Metric(), "30", "130") });
    ASSERT_TRUE(wet.why);
    EXPECT_EQ(wet.refusal, "Point A is refused: relative humidity 130 % is above its maximum of 100 %.");
    EXPECT_EQ(wet.why->point, "A");
    EXPECT_EQ(wet.why->refusal.quantity, "relative_humidity");
    EXPECT_EQ(wet.why->refusal.reason, RefusalReason::AboveMaximum);
    EXPECT_EQ(wet.why->refusal.text, "130");
    EXPECT_EQ(wet.why->refusal.maximum, "100");
    EXPECT_EQ(wet.why->refusal.unit, "%");
    EXPECT_EQ(wet.refusal.find("Error!"), std::string::npos);

    const ProcessOutcome hot = RunProcess(heat, { Point("OA", British(), "250", "30") });
    ASSERT_TRUE(hot.why);
    EXPECT_EQ(hot.why->point, "OA");
    EXPECT_EQ(hot.why->refusal.unit, "F");
    EXPECT_EQ(hot.why->refusal.maximum, "212");

    // Mixing needs every flow, and names the point without one.
    const ProcessOutcome no_flow = RunProcess(
        mix, { Point("A", Metric(), "30", "50"), Point("B", Metric(), "20", "50", std::nullopt) });
    ASSERT_TRUE(no_flow.why);
    EXPECT_EQ(no_flow.why->point, "B");
    EXPECT_EQ(no_flow.why->refusal.reason, RefusalReason::ProcessRule);
    const ProcessOutcome negative
        = RunProcess(mix, { Point("A", Metric(), "30", "50", -2.0), Point("B", Metric(), "20", "50") });
    ASSERT_TRUE(negative.why);
    EXPECT_EQ(negative.why->point, "A");
    // One point to mix, two to heat.
    EXPECT_EQ(RunProcess(mix, { Point("A", Metric(), "30", "50") }).refusal,
        "Mixing takes two or more points, not 1.");
    EXPECT_EQ(
        RunProcess(heat, { Point("A", Metric(), "30", "50"), Point("B", Metric(), "20", "50") }).refusal,
        "Heating / Sensible Cooling takes one point, not 2.");
    EXPECT_TRUE(RunProcess(heat, { Point("A", Metric(), "30", "50") }).refusal.empty());
}

TEST(ProcessValidator, AProcessRefusalIsStructuredInTheCalculationsUnits)
{
    // Steam to a humidity ratio the air cannot hold: the leaving relative humidity passes 100 %.
    for (const bool british : { false, true }) {
        const AmbientInputs units = british ? British() : Metric();
        const ProcessSpec steam = Recipe(ProcessKind::Steam, { { &ProcessSpec::to_humidity_ratio, 0.2 } });
        const ProcessOutcome outcome = RunProcess(steam, { Point("A", units, british ? "68" : "20", "50") });
        ASSERT_TRUE(outcome.why) << british;
        EXPECT_EQ(outcome.why->point, "");
        EXPECT_EQ(outcome.why->refusal.quantity, "relative_humidity");
        EXPECT_EQ(outcome.why->refusal.reason, RefusalReason::AboveMaximum);
        EXPECT_EQ(outcome.why->refusal.maximum, "100");
        EXPECT_GT(NumberValue(outcome.why->refusal.text), 100);
        EXPECT_EQ(outcome.refusal,
            "The leaving relative humidity " + outcome.why->refusal.text
                + " % is above its maximum of 100 %.");
    }
    // Heating past the calculator's highest dry bulb at a high pressure, in F: never a fixed "100 C".
    const ProcessSpec heat = Recipe(ProcessKind::Heat, { { &ProcessSpec::to_temperature_K, 100 + kC } });
    AmbientInputs british = British();
    const ProcessOutcome fine = RunProcess(heat, { Point("A", british, "70", "50") });
    EXPECT_TRUE(fine.refusal.empty() || fine.refusal.find(" C") == std::string::npos) << fine.refusal;
    const ProcessSpec evaporate
        = Recipe(ProcessKind::Evaporative, { { &ProcessSpec::to_relative_humidity, 0.2 } });
    const ProcessOutcome drier = RunProcess(evaporate, { Point("A", british, "70", "50") });
    EXPECT_FALSE(drier.refusal.empty());
    EXPECT_EQ(drier.why->refusal.reason, RefusalReason::ProcessRule);
}

/// The relative humidity a point shows, and the window's maximum of that row.
std::string RelativeHumidityText(const PointView& view)
{
    return (view.controls.*(FindQuantity("relative_humidity")->box)).text;
}

std::string Shortest(double value)
{
    return PlainNumberText(value, 10);
}

TEST(HumidifyTo100Percent, EveryEnteringStateOfTheGridReachesItInBothFormulationsAndSystems)
{
    int computed = 0, unreachable = 0;
    for (const double pressure_kPa : { 101.325, 84.0, 60.0 }) {
        for (const bool iapws : { true, false }) {
            for (const bool british : { false, true }) {
                AmbientInputs like = british ? British() : Metric();
                like.iapws = iapws;
                // The pressure typed in the system's unit (kPa, or psia in British).
                like.pressure = british ? Shortest(pressure_kPa / 6.894757) : Shortest(pressure_kPa);
                for (double t = -10; t <= 45; t += 5) {
                    for (const double rh : { 5.0, 30.0, 55.0, 80.0, 95.0 }) {
                        const StatePoint entering
                            = Point("A", like, Shortest(british ? t * 1.8 + 32 : t), Shortest(rh));
                        for (const double target : { 1.0, 0.999 }) {
                            for (const ProcessKind kind : { ProcessKind::Evaporative, ProcessKind::Steam }) {
                                const ProcessSpec recipe
                                    = Recipe(kind, { { &ProcessSpec::to_relative_humidity, target } });
                                const ProcessOutcome outcome = RunProcess(recipe, { entering });
                                const std::string where = std::string(ProcessKindKey(kind)) + " at "
                                    + std::to_string(t) + " C, " + std::to_string(rh) + " %, "
                                    + std::to_string(pressure_kPa) + " kPa, " + (iapws ? "IAPWS" : "HW")
                                    + (british ? ", British" : ", Metric") + " to "
                                    + std::to_string(target * 100);
                                // Only a target the humidifier cannot reach is refused: steam hotter than
                                // the boiling point at a low pressure may never saturate the air.
                                if (kind == ProcessKind::Steam && !outcome.refusal.empty()
                                    && !outcome.entering.empty() && outcome.entering[0].ok()
                                    && !SteamReaches(outcome.entering[0].state,
                                        outcome.entering[0].conditions, kDefaultSteamK, target)) {
                                    ++unreachable;
                                    continue;
                                }
                                ASSERT_TRUE(outcome.refusal.empty()) << where << ": " << outcome.refusal;
                                ASSERT_TRUE(outcome.leaving && outcome.leaving->ok()) << where;
                                // The leaving point shows the target, 100 % as "100".
                                const std::string shown = RelativeHumidityText(*outcome.leaving);
                                if (target == 1)
                                    EXPECT_EQ(shown, "100") << where;
                                else
                                    EXPECT_NEAR(NumberValue(shown), 99.9, 0.0011) << where << ": " << shown;
                                ++computed;
                            }
                        }
                    }
                }
            }
        }
    }
    EXPECT_EQ(computed + unreachable, 3 * 2 * 2 * 12 * 5 * 2 * 2);
    EXPECT_LT(unreachable, computed / 10);
}

TEST(HumidifyTo100Percent, TheCommandLinesCasesOfBefore)
{
    const ProcessOutcome evaporative
        = RunProcess(Recipe(ProcessKind::Evaporative, { { &ProcessSpec::to_relative_humidity, 1 } }),
            { Point("A", Metric(), "30", "30") });
    ASSERT_TRUE(evaporative.refusal.empty()) << evaporative.refusal;
    EXPECT_EQ(RelativeHumidityText(*evaporative.leaving), "100");
    StatePoint dry = Point("A", Metric(), "30", "0");
    dry.inputs.humidity_option = 1;
    dry.inputs.humidity = ".004";
    const ProcessOutcome steam
        = RunProcess(Recipe(ProcessKind::Steam, { { &ProcessSpec::to_relative_humidity, 1 } }), { dry });
    ASSERT_TRUE(steam.refusal.empty()) << steam.refusal;
    EXPECT_EQ(RelativeHumidityText(*steam.leaving), "100");
    // Saturation effectiveness 1 ends on saturation, not beyond it.
    const ProcessOutcome full
        = RunProcess(Recipe(ProcessKind::Evaporative, { { &ProcessSpec::effectiveness, 1 } }),
            { Point("A", Metric(), "30", "30") });
    ASSERT_TRUE(full.refusal.empty()) << full.refusal;
    EXPECT_EQ(RelativeHumidityText(*full.leaving), "100");
}

TEST(HumidifyTo100Percent, OnlyAnUnreachableTargetIsRefused)
{
    // Steam at 20 C into air at 30 C, 20 %: the air cools towards the steam's temperature while its
    // humidity ratio grows, and saturation is reached.
    const ProcessSpec cool_steam = Recipe(ProcessKind::Steam,
        { { &ProcessSpec::to_relative_humidity, 1 }, { &ProcessSpec::steam_temperature_K, 20 + kC } });
    const ProcessOutcome outcome = RunProcess(cool_steam, { Point("A", Metric(), "30", "20") });
    ASSERT_TRUE(outcome.refusal.empty()) << outcome.refusal;
    EXPECT_EQ(RelativeHumidityText(*outcome.leaving), "100");
    // Evaporative humidification below the entering relative humidity is unreachable.
    const ProcessOutcome lower
        = RunProcess(Recipe(ProcessKind::Evaporative, { { &ProcessSpec::to_relative_humidity, 0.1 } }),
            { Point("A", Metric(), "30", "30") });
    EXPECT_FALSE(lower.refusal.empty());
}

} // namespace
} // namespace humidora
