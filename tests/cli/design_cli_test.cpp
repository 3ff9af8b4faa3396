// humidora-cli process supply and recovery: the room's supply air and the heat recovery as JSON and as a
// table, their balances in the output's own numbers, British units, the saturated supply at the apparatus
// dew point typed back, refusals and usage errors.
#include "cli_process.h"

#include <QJsonArray>
#include <QJsonObject>
#include <cmath>
#include <gtest/gtest.h>

namespace humidora::cli_test {
namespace {

const QString kRoom = "name=R,temperature=24,relative-humidity=50";

// The JSON of a run, read only (so that members chain).
const QJsonObject Read(const CliRun& run)
{
    return run.json();
}

CliRun Json(const QStringList& arguments, const QString& locale = {})
{
    return RunCli(QStringList { "process" } + arguments + QStringList { "--json" }, locale);
}

TEST(DesignCommand, SupplyAtADryBulb)
{
    const CliRun run = Json({ "supply", "--point", kRoom, "--sensible-load", "30", "--latent-load", "10",
        "--supply-temperature", "13", "--name", "S" });
    ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
    const QJsonObject json = run.json();
    const QJsonObject room = json["points"][0].toObject();
    const QJsonObject supply = json["result"].toObject();
    const QJsonObject loads = json["loads"].toObject();
    EXPECT_EQ(supply["name"].toString(), "S");
    EXPECT_EQ(supply["texts"]["temperature"].toString(), "13");
    // By hand (see the calculation's tests): 2.6734 kg/s, W 0.0078305, 2.1949 m^3/s, ADP 9.466 C.
    const double m = supply["flow_kg_per_s"].toDouble();
    EXPECT_NEAR(m, 2.6734, 1e-4);
    EXPECT_NEAR(supply["W"].toDouble(), 0.0078305, 1e-7);
    EXPECT_NEAR(loads["supply_volume_m3_per_s"].toDouble(), 2.1949, 1e-4);
    EXPECT_NEAR(loads["apparatus_dew_point_K"].toDouble() - 273.15, 9.466, 1e-3);
    EXPECT_EQ(loads["sensible_kW"].toDouble(), 30);
    EXPECT_EQ(loads["latent_kW"].toDouble(), 10);
    EXPECT_EQ(loads["sensible_heat_ratio"].toDouble(), 0.75);
    // The room takes up the total load from the supply: m (h_r - h_s).
    EXPECT_NEAR(m * (room["h_kJ_per_kg"].toDouble() - supply["h_kJ_per_kg"].toDouble()), 40, 1e-9);
}

TEST(DesignCommand, SupplyByTotalAndRatioAtAFlowInBritishUnits)
{
    // 40 kW = 136485.67 btu/h; 2.75 kg/s = 21825.76 lb/h; 24 C = 75.2 F; 101.325 kPa = 14.6959494 psi.
    const CliRun metric = Json({ "supply", "--point", kRoom, "--total-load", "40", "--sensible-heat-ratio",
        "0.75", "--supply-flow", "2.75" });
    ASSERT_EQ(metric.exit_code, 0) << metric.err.toStdString();
    const CliRun british = Json({ "supply", "--system", "british", "--point",
        "temperature=75.2,relative-humidity=50", "--pressure", "14.695949400392212", "--total-load",
        "136485.66532512", "--sensible-heat-ratio", "0.75", "--supply-flow", "21825.763956302880" });
    ASSERT_EQ(british.exit_code, 0) << british.err.toStdString();
    const QJsonObject a = Read(metric)["result"].toObject(), b = Read(british)["result"].toObject();
    EXPECT_NEAR(a["flow_kg_per_s"].toDouble(), 2.75, 1e-12);
    EXPECT_NEAR(b["flow_kg_per_s"].toDouble(), 2.75, 1e-9);
    EXPECT_NEAR(a["T_K"].toDouble(), b["T_K"].toDouble(), 1e-5);
    EXPECT_NEAR(a["W"].toDouble(), b["W"].toDouble(), 1e-9);
    // The table in British units names the loads in btu/h and tons and the supply's volume in cfm.
    const CliRun table = RunCli({ "process", "supply", "--system", "british", "--point",
        "temperature=75.2,relative-humidity=50", "--pressure", "14.695949400392212", "--total-load",
        "136485.66532512", "--sensible-heat-ratio", "0.75", "--supply-flow", "21825.763956302880" });
    ASSERT_EQ(table.exit_code, 0) << table.err.toStdString();
    EXPECT_TRUE(table.out.contains("136486 btu/h")) << table.out.toStdString();
    EXPECT_TRUE(table.out.contains("11.374 tons")) << table.out.toStdString();
    EXPECT_TRUE(table.out.contains(" cfm")) << table.out.toStdString();
    EXPECT_TRUE(table.out.contains("Apparatus Dew Point:")) << table.out.toStdString();
}

TEST(DesignCommand, SupplyAtTheApparatusDewPointTypedBack)
{
    const QStringList loads { "--sensible-load", "18", "--latent-load", "6" };
    const CliRun first = Json(QStringList { "supply", "--point", "temperature=26,relative-humidity=45",
                                  "--supply-temperature", "15" }
        + loads);
    ASSERT_EQ(first.exit_code, 0) << first.err.toStdString();
    const double adp_C = Read(first)["loads"]["apparatus_dew_point_K"].toDouble() - 273.15;
    const CliRun at = Json(QStringList { "supply", "--point", "temperature=26,relative-humidity=45",
                               "--supply-temperature", QString::number(adp_C, 'g', 17) }
        + loads);
    ASSERT_EQ(at.exit_code, 0) << at.err.toStdString();
    EXPECT_EQ(Read(at)["result"]["texts"]["relative_humidity"].toString(), "100");
    // A hundredth of a kelvin below it is supersaturated: refused, naming the ADP as the limit.
    const CliRun below = Json(QStringList { "supply", "--point", "temperature=26,relative-humidity=45",
                                  "--supply-temperature", QString::number(adp_C - 0.01, 'g', 17) }
        + loads);
    EXPECT_EQ(below.exit_code, 1);
    EXPECT_TRUE(below.err.contains("is below its minimum of"));
    EXPECT_TRUE(below.err.contains("C, the apparatus dew point of the room's sensible-heat-ratio line"))
        << below.err.toStdString();
    // The minimum named is the ADP rounded up in its sixth digit.
    const double minimum = Read(below)["refusal"]["minimum"].toString().toDouble();
    EXPECT_GE(minimum, adp_C);
    EXPECT_LT(minimum - adp_C, 1e-5);
}

TEST(DesignCommand, RecoveryHasBothLeavingPointsAndTheCondensate)
{
    const CliRun run
        = Json({ "recovery", "--point", "name=OA,flow=2,temperature=-5,humidity-ratio=.002", "--point",
            "name=EA,flow=1.8,temperature=22,humidity-ratio=.007", "--sensible-effectiveness", "0.65" });
    ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
    const QJsonObject json = run.json();
    const QJsonObject o1 = json["points"][0].toObject(), e1 = json["points"][1].toObject();
    const QJsonObject o2 = json["result"].toObject(), e2 = json["exhaust_result"].toObject();
    const QJsonObject loads = json["loads"].toObject();
    EXPECT_EQ(o2["name"].toString(), "C");
    EXPECT_EQ(e2["name"].toString(), "D");
    // By hand: 32.179 kW, the outdoor air at 10.936 C, the exhaust saturated at 6.692 C with 5.954 kg/h.
    EXPECT_NEAR(loads["total_kW"].toDouble(), 32.179, 1e-3);
    EXPECT_TRUE(o2["texts"]["temperature"].toString().startsWith("10.936"));
    EXPECT_EQ(e2["texts"]["relative_humidity"].toString(), "100");
    EXPECT_NEAR(loads["exhaust_condensate_kg_per_h"].toDouble(), 5.954, 1e-3);
    EXPECT_EQ(loads["outdoor_condensate_kg_per_h"].toDouble(), 0);
    // Water and energy balance in the output's own numbers (the condensate drains at the exhaust's dry bulb).
    const double cond = loads["exhaust_condensate_kg_per_h"].toDouble() / 3600;
    EXPECT_NEAR(2 * o1["W"].toDouble() + 1.8 * e1["W"].toDouble(),
        2 * o2["W"].toDouble() + 1.8 * e2["W"].toDouble() + cond, 1e-12);
    EXPECT_NEAR(2 * o1["h_kJ_per_kg"].toDouble() + 1.8 * e1["h_kJ_per_kg"].toDouble(),
        2 * o2["h_kJ_per_kg"].toDouble() + 1.8 * e2["h_kJ_per_kg"].toDouble()
            + cond * 4.186 * (e2["T_K"].toDouble() - 273.15),
        1e-9);
    // The table shows both leaving points and both sides' condensate; the same in a comma locale.
    const QStringList table { "process", "recovery", "--point",
        "name=OA,flow=2,temperature=-5,humidity-ratio=.002", "--point",
        "name=EA,flow=1.8,temperature=22,humidity-ratio=.007", "--sensible-effectiveness", "0.65",
        "--latent-effectiveness", "0.5", "--name", "SA", "--exhaust-name", "XA" };
    const CliRun shown = RunCli(table);
    ASSERT_EQ(shown.exit_code, 0) << shown.err.toStdString();
    EXPECT_TRUE(shown.out.contains("\nSA ")) << shown.out.toStdString();
    EXPECT_TRUE(shown.out.contains("\nXA ")) << shown.out.toStdString();
    EXPECT_TRUE(shown.out.contains("Outdoor Condensate:")) << shown.out.toStdString();
    EXPECT_TRUE(shown.out.contains("Recovered Latent:")) << shown.out.toStdString();
    EXPECT_EQ(RunCli(table, "de_DE.UTF-8").out, shown.out);
}

TEST(DesignCommand, RefusalsAndUsageErrors)
{
    const CliRun warm = Json({ "supply", "--point", kRoom, "--sensible-load", "30", "--latent-load", "10",
        "--supply-temperature", "26" });
    EXPECT_EQ(warm.exit_code, 1);
    EXPECT_TRUE(Read(warm)["result"].isNull());
    EXPECT_TRUE(warm.err.contains("supply dry bulb 26 C must lie below 24 C, the room dry bulb"))
        << warm.err.toStdString();
    const CliRun negative = Json({ "supply", "--point", kRoom, "--sensible-load", "30", "--latent-load", "10",
        "--supply-flow", "-2" });
    EXPECT_EQ(negative.exit_code, 1);
    EXPECT_TRUE(negative.err.contains("-2 kg/s must lie above 0 kg/s")) << negative.err.toStdString();
    const CliRun effectiveness = Json({ "recovery", "--point", "flow=2,temperature=0,relative-humidity=50",
        "--point", "flow=2,temperature=22,relative-humidity=40", "--sensible-effectiveness", "1.5" });
    EXPECT_EQ(effectiveness.exit_code, 1);
    EXPECT_TRUE(Read(effectiveness)["exhaust_result"].isNull());
    EXPECT_TRUE(effectiveness.err.contains("Sensible Effectiveness 1.5 is above its maximum of 1."))
        << effectiveness.err.toStdString();
    // Refusals of the parameters are structured as the state's: quantity, value, limit and unit, in the
    // calculation's units.
    struct Case
    {
        QStringList arguments;
        QString quantity, text, reason, minimum, maximum, unit;
    };
    QList<Case> structured = {
        { QStringList { "recovery", "--sensible-effectiveness", "1.5" }
                + QStringList { "--point", "flow=2,temperature=0,relative-humidity=50", "--point",
                    "flow=2,temperature=22,relative-humidity=40" },
            "sensible_effectiveness", "1.5", "above_maximum", "0", "1", "" },
        { QStringList { "recovery", "--sensible-effectiveness", "0.6", "--latent-effectiveness", "-0.1",
              "--point", "flow=2,temperature=0,relative-humidity=50", "--point",
              "flow=2,temperature=22,relative-humidity=40" },
            "latent_effectiveness", "-.1", "below_minimum", "0", "1", "" },
        { { "supply", "--point", kRoom, "--sensible-load", "30", "--latent-load", "10", "--supply-flow",
              "0" },
            "supply_flow_kg_per_s", "0", "below_minimum", "0", "", "kg/s" },
        { { "supply", "--point", "temperature=75,relative-humidity=50", "--sensible-load", "100000",
              "--latent-load", "30000", "--supply-flow", "-5", "--system", "british" },
            "supply_flow_kg_per_s", "-5", "below_minimum", "0", "", "lb/h" },
        { { "supply", "--point", kRoom, "--total-load", "40", "--sensible-heat-ratio", "0.75",
              "--supply-temperature", "101" },
            "supply_temperature_K", "101", "above_maximum", "-100", "100", "C" },
        { { "supply", "--point", "temperature=75,relative-humidity=50", "--total-load", "40000",
              "--sensible-heat-ratio", "0.75", "--supply-temperature", "213", "--system", "british" },
            "supply_temperature_K", "213", "above_maximum", "-148", "212", "F" },
    };
    // A supply beyond the calculator's dry bulbs (a heating load on a small flow) is refused in the
    // calculation's units, not in Celsius.
    structured.push_back(
        { { "supply", "--point", "temperature=70,relative-humidity=40", "--sensible-load", "-1000000",
              "--latent-load", "0", "--supply-flow", "1000", "--system", "british" },
            "temperature", "", "above_maximum", "", "212", "F" });
    structured.push_back({ { "supply", "--point", "temperature=21,relative-humidity=40", "--sensible-load",
                               "-300", "--latent-load", "0", "--supply-flow", "0.5" },
        "temperature", "", "above_maximum", "", "100", "C" });
    for (const Case& c : structured) {
        const CliRun run = Json(c.arguments);
        const QString where = c.arguments.join(' ');
        EXPECT_EQ(run.exit_code, 1) << where.toStdString();
        const QJsonObject refusal = Read(run)["refusal"].toObject();
        EXPECT_EQ(refusal["quantity"].toString(), c.quantity) << where.toStdString();
        if (!c.text.isEmpty())
            EXPECT_EQ(refusal["text"].toString(), c.text) << where.toStdString();
        else
            EXPECT_FALSE(refusal["text"].toString().isEmpty()) << where.toStdString();
        EXPECT_EQ(refusal["reason"].toString(), c.reason) << where.toStdString();
        EXPECT_EQ(refusal["minimum"].toString(), c.minimum) << where.toStdString();
        EXPECT_EQ(refusal["maximum"].toString(), c.maximum) << where.toStdString();
        EXPECT_EQ(refusal["unit"].toString(), c.unit) << where.toStdString();
        EXPECT_FALSE(refusal["process"].toString().isEmpty()) << where.toStdString();
    }

    const QStringList two { "--point", "flow=2,temperature=0,relative-humidity=50", "--point",
        "flow=2,temperature=22,relative-humidity=40" };
    const QList<QStringList> usage = {
        { "supply", "--point", kRoom, "--sensible-load", "30", "--supply-temperature", "13" },
        { "supply", "--point", kRoom, "--sensible-load", "30", "--latent-load", "10", "--supply-temperature",
            "13", "--supply-flow", "2" },
        { "supply", "--point", kRoom, "--total-load", "30", "--latent-load", "10", "--supply-flow", "2" },
        QStringList { "supply", "--sensible-load", "30", "--latent-load", "10", "--supply-flow", "2" } + two,
        { "recovery", "--point", kRoom, "--sensible-effectiveness", "0.5" },
        QStringList { "recovery", "--latent-effectiveness", "0.5" } + two,
        QStringList { "recovery", "--sensible-effectiveness", "0.5", "--name", "X", "--exhaust-name", "X" }
            + two,
        { "heat", "--point", kRoom, "--to-temperature", "30", "--exhaust-name", "X" },
        { "heat", "--point", kRoom, "--sensible-effectiveness", "0.5" },
    };
    for (const QStringList& arguments : usage) {
        const CliRun run = RunCli(QStringList { "process" } + arguments);
        EXPECT_EQ(run.exit_code, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << arguments.join(' ').toStdString();
    }
}

// Every refusal of a supply or a recovery that has a limit names the quantity, the value and the limit in
// the calculation's units, as its sentence and as the JSON members.
TEST(DesignCommand, ProcessRefusalsInTheCalculationsUnits)
{
    const QString room_f = "name=R,temperature=75.2,relative-humidity=50";
    const QStringList british { "--system", "british" };
    // 30 kW and 10 kW in btu/h.
    const QStringList cooling { "--sensible-load", "30", "--latent-load", "10" };
    const QStringList cooling_f { "--sensible-load", "102364", "--latent-load", "34121" };
    struct Case
    {
        QStringList arguments;
        QString sentence, quantity, text, reason, minimum, maximum, unit, point;
    };
    const QList<Case> cases = {
        { QStringList { "supply", "--point", kRoom, "--supply-temperature", "26" } + cooling,
            "The supply dry bulb 26 C must lie below 24 C, the room dry bulb: a cooling load needs supply "
            "air "
            "cooler than the room.",
            "supply_temperature_K", "26", "above_maximum", "", "24", "C", "" },
        { QStringList { "supply", "--point", room_f, "--supply-temperature", "78.8" } + cooling_f + british,
            "The supply dry bulb 78.8 F must lie below 75.2 F, the room dry bulb: a cooling load needs "
            "supply "
            "air cooler than the room.",
            "supply_temperature_K", "78.8", "above_maximum", "", "75.2", "F", "" },
        { { "supply", "--point", kRoom, "--sensible-load", "-30", "--latent-load", "0",
              "--supply-temperature", "20" },
            "The supply dry bulb 20 C must lie above 24 C, the room dry bulb: a heating load needs supply "
            "air "
            "warmer than the room.",
            "supply_temperature_K", "20", "below_minimum", "24", "", "C", "" },
        { QStringList { "supply", "--point", room_f, "--sensible-load", "-102364", "--latent-load", "0",
              "--supply-temperature", "60" }
                + british,
            "The supply dry bulb 60 F must lie above 75.2 F, the room dry bulb: a heating load needs supply "
            "air "
            "warmer than the room.",
            "supply_temperature_K", "60", "below_minimum", "75.2", "", "F", "" },
        { QStringList { "supply", "--point", kRoom, "--supply-temperature", "8" } + cooling,
            "The supply dry bulb 8 C is below its minimum of 9.46631 C, the apparatus dew point of the "
            "room's "
            "sensible-heat-ratio line: the supply air would be supersaturated.",
            "supply_temperature_K", "8", "below_minimum", "9.46631", "", "C", "" },
        { QStringList { "supply", "--point", room_f, "--supply-temperature", "40" } + cooling_f + british,
            "The supply dry bulb 40 F is below its minimum of 49.0397 F, the apparatus dew point of the "
            "room's "
            "sensible-heat-ratio line: the supply air would be supersaturated.",
            "supply_temperature_K", "40", "below_minimum", "49.0397", "", "F", "" },
        { QStringList { "supply", "--point", kRoom, "--supply-flow", "2" } + cooling,
            "The supply dry-air flow 2 kg/s is below its minimum of 2.02512 kg/s, at which the supply air "
            "reaches the apparatus dew point of the room's sensible-heat-ratio line: the supply air would be "
            "supersaturated.",
            "supply_flow_kg_per_s", "2", "below_minimum", "2.02512", "", "kg/s", "" },
        { QStringList { "supply", "--point", room_f, "--supply-flow", "15873" } + cooling_f + british,
            "The supply dry-air flow 15873 lb/h is below its minimum of 16072.8 lb/h, at which the supply "
            "air "
            "reaches the apparatus dew point of the room's sensible-heat-ratio line: the supply air would be "
            "supersaturated.",
            "supply_flow_kg_per_s", "15873", "below_minimum", "16072.8", "", "lb/h", "" },
        { { "supply", "--point", "temperature=21,relative-humidity=40", "--sensible-load", "-300",
              "--latent-load", "0", "--supply-flow", "0.5" },
            "The supply dry bulb 610.891 C is above its maximum of 100 C.", "temperature", "610.891",
            "above_maximum", "", "100", "C", "" },
        { QStringList { "supply", "--point", "temperature=70,relative-humidity=40", "--sensible-load",
              "-1000000", "--latent-load", "0", "--supply-flow", "1000" }
                + british,
            "The supply dry bulb 4185.95 F is above its maximum of 212 F.", "temperature", "4185.95",
            "above_maximum", "", "212", "F", "" },
        { { "recovery", "--point", "name=OA,flow=-5,temperature=0,relative-humidity=50", "--point",
              "name=EA,flow=2,temperature=22,relative-humidity=40", "--sensible-effectiveness", "0.7" },
            "The dry-air flow of point OA -5 kg/s must lie above 0 kg/s.", "flow_kg_per_s", "-5",
            "below_minimum", "0", "", "kg/s", "OA" },
        { QStringList { "recovery", "--point", "name=OA,flow=3000,temperature=32,relative-humidity=50",
              "--point", "name=EA,flow=0,temperature=72,relative-humidity=40", "--sensible-effectiveness",
              "0.7" }
                + british,
            "The dry-air flow of point EA 0 lb/h must lie above 0 lb/h.", "flow_kg_per_s", "0",
            "below_minimum", "0", "", "lb/h", "EA" },
    };
    for (const Case& c : cases) {
        const CliRun run = Json(c.arguments);
        const std::string where = c.arguments.join(' ').toStdString();
        EXPECT_EQ(run.exit_code, 1) << where;
        EXPECT_TRUE(run.err.contains(c.sentence)) << where << "\n" << run.err.toStdString();
        const QJsonObject refusal = Read(run)["refusal"].toObject();
        EXPECT_EQ(refusal["message"].toString(), c.sentence) << where;
        EXPECT_EQ(refusal["quantity"].toString(), c.quantity) << where;
        EXPECT_EQ(refusal["text"].toString(), c.text) << where;
        EXPECT_EQ(refusal["reason"].toString(), c.reason) << where;
        EXPECT_EQ(refusal["minimum"].toString(), c.minimum) << where;
        EXPECT_EQ(refusal["maximum"].toString(), c.maximum) << where;
        EXPECT_EQ(refusal["unit"].toString(), c.unit) << where;
        if (c.point.isEmpty())
            EXPECT_FALSE(refusal["process"].toString().isEmpty()) << where;
        else
            EXPECT_EQ(refusal["point"].toString(), c.point) << where;
        // No Celsius or kilowatts in a British refusal.
        if (c.arguments.contains("british")) {
            EXPECT_FALSE(run.err.contains(" C ") || run.err.contains(" C,") || run.err.contains(" C."))
                << where;
            EXPECT_FALSE(run.err.contains("kW") || run.err.contains("kg/s")) << where;
        }
    }
}

// A minimum a refusal names is itself accepted, and the next lower number in its last digit is refused
// with the same minimum: the limit is the true edge, rounded to the allowed side.
TEST(DesignCommand, TheNamedMinimumItselfIsAccepted)
{
    const QString room_f = "name=R,temperature=75.2,relative-humidity=50";
    const QList<QStringList> refused = {
        { "supply", "--point", kRoom, "--sensible-load", "30", "--latent-load", "10", "--supply-temperature",
            "8" },
        { "supply", "--point", kRoom, "--sensible-load", "30", "--latent-load", "10", "--supply-flow", "2" },
        { "supply", "--system", "british", "--point", room_f, "--sensible-load", "102364", "--latent-load",
            "34121", "--supply-temperature", "40" },
        { "supply", "--system", "british", "--point", room_f, "--sensible-load", "102364", "--latent-load",
            "34121", "--supply-flow", "15873" },
        { "supply", "--point", kRoom, "--total-load", "12", "--sensible-heat-ratio", "1", "--supply-flow",
            "0.1" },
    };
    for (const QStringList& arguments : refused) {
        const std::string where = arguments.join(' ').toStdString();
        const CliRun run = Json(arguments);
        ASSERT_EQ(run.exit_code, 1) << where;
        const QString minimum = Read(run)["refusal"]["minimum"].toString();
        ASSERT_FALSE(minimum.isEmpty()) << where;
        QStringList at = arguments;
        at.last() = minimum;
        const CliRun edge = Json(at);
        EXPECT_EQ(edge.exit_code, 0) << where << " at " << minimum.toStdString() << ": "
                                     << edge.err.toStdString();
        const qsizetype point = minimum.indexOf('.');
        const int decimals = point < 0 ? 0 : int(minimum.size() - point - 1);
        QStringList below = arguments;
        below.last() = QString::number(minimum.toDouble() - std::pow(10.0, -decimals), 'f', decimals);
        const CliRun under = Json(below);
        EXPECT_EQ(under.exit_code, 1) << where << " at " << below.last().toStdString();
        EXPECT_EQ(Read(under)["refusal"]["minimum"].toString(), minimum) << where;
    }
}

} // namespace
} // namespace humidora::cli_test
