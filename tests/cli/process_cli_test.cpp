// humidora-cli process: the JSON of each kind, the leaving point read back through "state", flow units,
// refusals, usage errors and the locale.
#include "cli_process.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace humidora::cli_test {
namespace {

CliRun RunProcess(const QStringList& arguments, const QString& locale = {})
{
    return RunCli(QStringList { "process" } + arguments + QStringList { "--json" }, locale);
}

// The JSON of a run, read only (so that members chain: Json(run)["loads"]["total_kW"]).
const QJsonObject Json(const CliRun& run)
{
    return run.json();
}

QStringList Keys(const QJsonObject& object)
{
    QStringList keys = object.keys();
    keys.sort();
    return keys;
}

TEST(ProcessCommand, CoilJsonHasThePointsTheResultAndAllFiveLoads)
{
    const CliRun run = RunProcess({ "coil", "--point", "name=RA,flow=5,temperature=30,relative-humidity=50",
        "--leaving-temperature", "10", "--leaving-relative-humidity", "100", "--name", "SA" });
    ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
    const QJsonObject json = run.json();
    EXPECT_EQ(Keys(json), (QStringList { "loads", "points", "refusal", "result" }));
    EXPECT_TRUE(json["refusal"].isNull());
    const QJsonObject point = json["points"][0].toObject();
    EXPECT_EQ(Keys(point), (QStringList { "T_K", "W", "flow_kg_per_s", "h_kJ_per_kg", "name", "texts" }));
    EXPECT_EQ(point["name"].toString(), "RA");
    EXPECT_EQ(point["T_K"].toDouble(), 303.149993896484375); // 30 C as the window holds it
    EXPECT_EQ(point["flow_kg_per_s"].toDouble(), 5);
    EXPECT_EQ(point["texts"]["relative_humidity"].toString(), "50");
    EXPECT_EQ(point["texts"].toObject().size(), 16);
    const QJsonObject result = json["result"].toObject();
    EXPECT_EQ(result["name"].toString(), "SA");
    EXPECT_EQ(result["texts"]["relative_humidity"].toString(), "100");
    EXPECT_EQ(result["texts"]["dew_point"].toString(), "10");
    const QJsonObject loads = json["loads"].toObject();
    EXPECT_EQ(Keys(loads),
        (QStringList { "apparatus_dew_point_K", "condensate_enthalpy_kW", "latent_kW", "sensible_heat_ratio",
            "sensible_kW", "total_kW", "water_kg_per_h" }));
    // The lines add up: total = sensible + latent + the condensate's enthalpy (carried away).
    EXPECT_NEAR(loads["sensible_kW"].toDouble() + loads["latent_kW"].toDouble()
            + loads["condensate_enthalpy_kW"].toDouble(),
        loads["total_kW"].toDouble(), 1e-9);
    EXPECT_NEAR(loads["condensate_enthalpy_kW"].toDouble(),
        -loads["water_kg_per_h"].toDouble() / 3600 * 4.186 * 10, 1e-9);
    // Condensate and energy of the air side, in the result's own numbers.
    const double W1 = point["W"].toDouble(), W2 = result["W"].toDouble();
    EXPECT_NEAR(loads["water_kg_per_h"].toDouble(), 5 * (W1 - W2) * 3600, 1e-9);
    EXPECT_NEAR(loads["total_kW"].toDouble(),
        5 * (point["h_kJ_per_kg"].toDouble() - result["h_kJ_per_kg"].toDouble()) - 5 * (W1 - W2) * 4.186 * 10,
        1e-9);
}

TEST(ProcessCommand, TheLeavingPointReadsTheSameThroughState)
{
    // The leaving point's texts are the main window's for its state: "state" typed with the point's own
    // inputs shows every text alike.
    const CliRun run = RunProcess(
        { "evaporative", "--point", "temperature=38,relative-humidity=15,flow=1", "--effectiveness", "0.8" });
    ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
    const QJsonObject texts = Json(run)["result"]["texts"].toObject();
    const CliRun state = RunCli({ "state", "--json", "--temperature", texts["temperature"].toString(),
        "--humidity-ratio", texts["humidity_ratio"].toString() });
    ASSERT_EQ(state.exit_code, 0) << state.err.toStdString();
    const QJsonObject quantities = Json(state)["quantities"].toObject();
    for (const QString& key : texts.keys())
        EXPECT_EQ(texts[key].toString(), quantities[key]["text"].toString()) << key.toStdString();
    EXPECT_EQ(Keys(Json(run)["loads"].toObject()), QStringList { "water_kg_per_h" });
}

TEST(ProcessCommand, VolumeFlowsAreTakenAtThePointsOwnSpecificVolume)
{
    const CliRun run = RunProcess({ "mix", "--flow-unit", "m^3/s", "--point",
        "flow=2,temperature=4,wet-bulb=2", "--point", "flow=6.25,temperature=25,relative-humidity=50" });
    ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
    const QJsonObject json = run.json();
    for (const auto& [index, volume] : { std::pair { 0, 2.0 }, std::pair { 1, 6.25 } }) {
        const QJsonObject point = json["points"][index].toObject();
        const double v = point["texts"]["specific_volume"].toString().toDouble();
        EXPECT_NEAR(point["flow_kg_per_s"].toDouble() * v, volume, volume * 1e-5);
    }
    EXPECT_EQ(json["points"][1]["name"].toString(), "B");
    EXPECT_EQ(json["result"]["name"].toString(), "C");
    EXPECT_DOUBLE_EQ(json["result"]["flow_kg_per_s"].toDouble(),
        json["points"][0]["flow_kg_per_s"].toDouble() + json["points"][1]["flow_kg_per_s"].toDouble());
    EXPECT_TRUE(json["loads"].toObject().isEmpty());
}

TEST(ProcessCommand, BritishUnitsGiveTheSameSiNumbersAndLoadsInBtuAndTons)
{
    const CliRun metric = RunProcess(
        { "heat", "--point", "temperature=-20,relative-humidity=60,flow=1", "--to-temperature", "15" });
    const CliRun british
        = RunProcess({ "heat", "--system", "british", "--pressure", "14.6959494", "--flow-unit", "kg/s",
            "--point", "temperature=-4,relative-humidity=60,flow=1", "--to-temperature", "59" });
    ASSERT_EQ(metric.exit_code, 0) << metric.err.toStdString();
    ASSERT_EQ(british.exit_code, 0) << british.err.toStdString();
    EXPECT_NEAR(
        Json(metric)["loads"]["total_kW"].toDouble(), Json(british)["loads"]["total_kW"].toDouble(), 1e-4);
    // By hand: W = 0.62198 x 61.96 / (101325 - 61.96) = 0.0003805 (60 % of 103.26 Pa over ice);
    // h1 = -20.12 + 0.0003805 x 2464.9 = -19.182, h2 = 15.09 + 0.0003805 x 2528.1 = 16.052 kJ/kg.
    EXPECT_NEAR(Json(metric)["loads"]["total_kW"].toDouble(), 35.234, 0.001);
    EXPECT_FALSE(Json(metric)["loads"].toObject().contains("latent_kW"));
    const CliRun table = RunCli({ "process", "heat", "--system", "british", "--point",
        "temperature=-4,relative-humidity=60,flow=7936.64", "--to-temperature", "59" });
    ASSERT_EQ(table.exit_code, 0);
    EXPECT_TRUE(table.out.contains("Dry-Air Flow (lb/h)")) << table.out.toStdString();
    // One line per load, in btu/h with tons beside it.
    EXPECT_EQ(table.out.count("Total Load:"), 1) << table.out.toStdString();
    EXPECT_TRUE(table.out.contains(QRegularExpression("\nTotal Load: +[0-9]+ btu/h \\([.0-9]+ tons\\)\n")))
        << table.out.toStdString();
}

TEST(ProcessCommand, HumidifiersReachExactly100Percent)
{
    const QList<QStringList> cases = {
        { "evaporative", "--point", "name=A,flow=1,temperature=30,relative-humidity=30",
            "--to-relative-humidity", "100" },
        { "steam", "--point", "name=A,flow=1,temperature=30,humidity-ratio=0.004", "--to-relative-humidity",
            "100" },
        { "steam", "--system", "british", "--point", "name=A,flow=1,temperature=86,humidity-ratio=0.004",
            "--to-relative-humidity", "100" },
        { "evaporative", "--method", "hyland-wexler", "--pressure", "70", "--point",
            "name=A,flow=1,temperature=-5,relative-humidity=40", "--effectiveness", "1" },
    };
    for (const QStringList& arguments : cases) {
        const CliRun run = RunProcess(arguments);
        ASSERT_EQ(run.exit_code, 0) << arguments.join(' ').toStdString() << ": " << run.err.toStdString();
        EXPECT_EQ(Json(run)["result"]["texts"]["relative_humidity"].toString(), "100")
            << arguments.join(' ').toStdString();
    }
    // The steam humidifier's energy beside its water: the air's enthalpy rises by exactly it.
    const CliRun steam = RunProcess(cases[1]);
    const QJsonObject loads = Json(steam)["loads"].toObject();
    EXPECT_NEAR(loads["steam_energy_kW"].toDouble(),
        Json(steam)["result"]["h_kJ_per_kg"].toDouble() - Json(steam)["points"][0]["h_kJ_per_kg"].toDouble(),
        1e-9);
    const CliRun table = RunCli(QStringList { "process" } + cases[1]);
    EXPECT_TRUE(table.out.contains(QRegularExpression("\nSteam: +[.0-9]+ kg/h\nSteam Energy: +[.0-9]+ kW\n")))
        << table.out.toStdString();
}

TEST(ProcessCommand, ARefusedProcessSaysWhyWithStatusOne)
{
    const CliRun run = RunProcess(
        { "heat", "--point", "temperature=24,relative-humidity=50,flow=1", "--to-temperature", "5" });
    EXPECT_EQ(run.exit_code, 1);
    const QJsonObject json = run.json();
    EXPECT_TRUE(json["result"].isNull());
    EXPECT_TRUE(json["loads"].toObject().isEmpty());
    EXPECT_TRUE(json["refusal"]["message"].toString().contains("cooling coil"));
    EXPECT_EQ(json["refusal"]["reason"].toString(), "process_rule");
    EXPECT_EQ(json["refusal"]["process"].toString(), "heat to B");
    EXPECT_TRUE(run.err.contains("cooling coil"));
    // A point the window refuses refuses the process, with the window's reason.
    const CliRun refused
        = RunProcess({ "heat", "--point", "temperature=24,relative-humidity=150", "--to-temperature", "30" });
    EXPECT_EQ(refused.exit_code, 1);
    EXPECT_TRUE(Json(refused)["points"][0]["T_K"].isNull());
    // Its refusal carries the members of the state command's, and the point.
    const QJsonObject expected { { "quantity", "relative_humidity" }, { "text", "150" },
        { "reason", "above_maximum" }, { "minimum", "0" }, { "maximum", "100" }, { "unit", "%" },
        { "message", "Point A is refused: relative humidity 150 % is above its maximum of 100 %." },
        { "point", "A" } };
    EXPECT_EQ(Json(refused)["refusal"].toObject(), expected)
        << QJsonDocument(Json(refused)["refusal"].toObject()).toJson().toStdString();
    EXPECT_EQ(refused.err, "humidora-cli process: " + expected["message"].toString() + "\n");
}

TEST(ProcessCommand, UsageErrorsPrintNothingOnStdout)
{
    const QStringList point { "--point", "temperature=24,relative-humidity=50,flow=1" };
    const QList<QStringList> cases = {
        { "boil" },
        QStringList { "heat" } + point,
        { "heat", "--to-temperature", "30" },
        QStringList { "heat", "--adp", "10" } + point,
        QStringList { "coil", "--adp", "10" } + point,
        QStringList { "coil", "--adp", "10", "--bypass-factor", "0.1", "--leaving-temperature", "12" }
            + point,
        QStringList { "mix" } + point,
        QStringList { "heat", "--to-temperature", "3O" } + point,
        { "heat", "--to-temperature", "30", "--point", "temperature=24,colour=blue" },
        { "heat", "--to-temperature", "30", "--point", "temperature=24,dew-point=3,wet-bulb=5" },
        QStringList { "heat", "--to-temperature", "30", "--flow-unit", "gpm" } + point,
        QStringList { "heat", "--to-temperature", "30", "--pressure", "90", "--altitude", "100" } + point,
    };
    for (const QStringList& arguments : cases) {
        const CliRun run = RunCli(QStringList { "process" } + arguments);
        EXPECT_EQ(run.exit_code, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << arguments.join(' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty()) << arguments.join(' ').toStdString();
    }
}

TEST(ProcessCommand, NegativeValuesAndACommaLocale)
{
    const QStringList arguments { "heat", "--point", "temperature=-5,relative-humidity=80,flow=1.5",
        "--to-temperature", "-2.5" };
    const CliRun run = RunProcess(arguments);
    ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
    // By hand: p_v = 321.4 Pa at W = 0.0019791; over ice at -2.5 C Ps = 496.5 Pa: 64.73 %. The load
    // 1.5 x 2.5 x (1.006 + 1.805 x 0.0019791) = 3.7859 kW.
    EXPECT_EQ(Json(run)["result"]["texts"]["relative_humidity"].toString(), "64.735");
    EXPECT_NEAR(Json(run)["loads"]["total_kW"].toDouble(), 3.7859, 0.0001);
    EXPECT_EQ(RunProcess(arguments, "de_DE.UTF-8").out, run.out);
}

} // namespace
} // namespace humidora::cli_test
