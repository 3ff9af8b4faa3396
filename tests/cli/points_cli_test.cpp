// humidora-cli points: every point and process of a calculation file, as "process" evaluates them, the
// table, and the exit statuses of refused processes and unusable files.
#include "calc/points/state_points_list.h"
#include "cli_process.h"
#include "io/calculation_file.h"
#include "typed_inputs.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace humidora::cli_test {
namespace {

using humidora::testing::Typed;

class PointsCommand : public ::testing::Test
{
protected:
    /// Outdoor and return air mixed, the mixture through a coil: saved as the window saves it.
    QString saveMixAndCoil()
    {
        StatePointsList list;
        list.Add(Typed("32", 3, "22"), 2.0); // dew point 22 C
        list.Add(Typed("24", 2, "50"), 6.0);
        list.Rename(0, "OA");
        list.Rename(1, "RA");
        ProcessSpec mix;
        mix.points = { "OA", "RA" };
        mix.result_name = "MA";
        EXPECT_EQ(list.AddProcess(mix), "");
        ProcessSpec coil;
        coil.kind = ProcessKind::Coil;
        coil.points = { "MA" };
        coil.result_name = "SA";
        coil.adp_K = 283.15;
        coil.bypass_factor = 0.1;
        EXPECT_EQ(list.AddProcess(coil), "");
        calculation_.points = list.points();
        calculation_.processes = list.processes();
        return save("mix and coil.humidora");
    }

    QString save(const QString& name)
    {
        const QString file = folder_.filePath(name);
        EXPECT_EQ(WriteCalculationFile(file, calculation_), QString());
        return file;
    }

    QTemporaryDir folder_;
    Calculation calculation_;
};

TEST_F(PointsCommand, EveryPointAndProcessAsProcessGivesThem)
{
    const CliRun run = RunCli({ "points", "--from", saveMixAndCoil(), "--json" });
    ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
    EXPECT_EQ(run.err, "");
    const QJsonObject json = run.json();
    const QJsonArray points = json["points"].toArray();
    ASSERT_EQ(points.size(), 4);
    QStringList names;
    for (const QJsonValue& point : points)
        names << point["name"].toString();
    EXPECT_EQ(names, (QStringList { "OA", "RA", "MA", "SA" }));
    EXPECT_EQ(points[0]["texts"]["dew_point"].toString(), "22");
    EXPECT_EQ(points[1]["flow_kg_per_s"].toDouble(), 6);
    EXPECT_EQ(points[2]["flow_kg_per_s"].toDouble(), 8);

    // The mixing reads exactly as "process mix" writes it for the same points.
    const CliRun mix = RunCli({ "process", "mix", "--point", "name=OA,flow=2,temperature=32,dew-point=22",
        "--point", "name=RA,flow=6,temperature=24,relative-humidity=50", "--name", "MA", "--json" });
    ASSERT_EQ(mix.exit_code, 0) << mix.err.toStdString();
    QJsonObject first = json["processes"][0].toObject();
    EXPECT_EQ(first.take("kind").toString(), "mix");
    EXPECT_EQ(first, mix.json());

    // The coil works on the stored mixed point, with its flow, and has all five loads.
    const QJsonObject coil = json["processes"][1].toObject();
    EXPECT_EQ(coil["kind"].toString(), "coil");
    EXPECT_TRUE(coil["refusal"].isNull());
    EXPECT_EQ(coil["points"][0], points[2]);
    EXPECT_EQ(coil["result"]["name"].toString(), "SA");
    EXPECT_EQ(coil["result"]["texts"], points[3]["texts"]);
    EXPECT_EQ(coil["loads"].toObject().size(), 7); // with the condensate's enthalpy and the ADP
    EXPECT_GT(coil["loads"]["total_kW"].toDouble(), 0);
}

TEST_F(PointsCommand, TheTableShowsThePointsAndProcessesAsTheWindowDoes)
{
    const CliRun run = RunCli({ "points", "--from", saveMixAndCoil() });
    ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
    const QStringList lines = run.out.split('\n');
    ASSERT_GE(lines.size(), 8);
    EXPECT_TRUE(lines[0].startsWith("Point  Dry Bulb Temperature (C)")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("OA ")) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains(" 32 ")) << lines[1].toStdString();
    EXPECT_TRUE(lines[6].startsWith("Process")) << lines[6].toStdString();
    EXPECT_TRUE(lines[7].startsWith("Mixing ")) << lines[7].toStdString();
    EXPECT_TRUE(lines[8].contains("Apparatus Dew Point 10 C; Bypass Factor .1")) << lines[8].toStdString();
    EXPECT_TRUE(lines[8].contains("Total Load ")) << lines[8].toStdString();
}

TEST_F(PointsCommand, ARefusedProcessIsReportedAndExitsOne)
{
    saveMixAndCoil();
    calculation_.points.erase(calculation_.points.begin() + 2); // "MA", entering the coil
    const CliRun run = RunCli({ "points", "--from", save("no MA.humidora"), "--json" });
    EXPECT_EQ(run.exit_code, 1);
    const QJsonObject coil = run.json()["processes"][1].toObject();
    EXPECT_EQ(coil["refusal"]["message"].toString(), "There is no point MA.");
    EXPECT_EQ(coil["refusal"]["process"].toString(), "coil to SA");
    EXPECT_TRUE(coil["result"].isNull());
    EXPECT_TRUE(coil["loads"].toObject().isEmpty());
    EXPECT_TRUE(run.json()["processes"][0]["refusal"].isNull());
    EXPECT_EQ(run.err, "humidora-cli points: coil to SA: There is no point MA.\n");
}

TEST_F(PointsCommand, ARefusedPointIsNullInJsonAndExitsOne)
{
    calculation_.points = { { "Hot", Typed("250", 2, "50"), std::nullopt } };
    const CliRun run = RunCli({ "points", "--from", save("hot.humidora"), "--json" });
    EXPECT_EQ(run.exit_code, 1);
    const QJsonObject point = run.json()["points"][0].toObject();
    EXPECT_TRUE(point["T_K"].isNull());
    EXPECT_EQ(point["texts"]["wet_bulb"].toString(), "Error");
    // Why, as the state command says it, with the point named.
    const QString why = "Point Hot is refused: ambient temperature 250 C is above its maximum of 100 C.";
    EXPECT_EQ(run.err, "humidora-cli points: " + why + "\n");
    EXPECT_EQ(point["refusal"]["message"].toString(), why);
    EXPECT_EQ(point["refusal"]["point"].toString(), "Hot");
    EXPECT_EQ(point["refusal"]["quantity"].toString(), "temperature");
    EXPECT_EQ(point["refusal"]["reason"].toString(), "above_maximum");
    EXPECT_EQ(point["refusal"]["text"].toString(), "250");
    EXPECT_EQ(point["refusal"]["maximum"].toString(), "100");
    EXPECT_EQ(point["refusal"]["unit"].toString(), "C");
}

TEST_F(PointsCommand, AFileWithoutPointsHasEmptyLists)
{
    const CliRun run = RunCli({ "points", "--from", save("plain.humidora"), "--json" });
    EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
    EXPECT_EQ(run.json(), (QJsonObject { { "points", QJsonArray {} }, { "processes", QJsonArray {} } }));
}

TEST_F(PointsCommand, UnusableFilesAndUsageErrors)
{
    const QString not_calculation = folder_.filePath("notes.txt");
    {
        QFile file(not_calculation);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Supply air 13 C\n");
    }
    const QString newer = folder_.filePath("newer.humidora");
    {
        QFile file(newer);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(R"({"format": "humidora-calculation", "version": 3})");
    }
    const struct
    {
        QStringList arguments;
        int status;
        const char* message;
    } cases[] = {
        { { "--from", folder_.filePath("missing.humidora") }, 3, "No such file" },
        { { "--from", not_calculation }, 3, "not valid JSON" },
        { { "--from", newer }, 3, "format version 3, from a newer Humidora" },
        { { "--from", folder_.path() }, 3, "Cannot open" },
        { {}, 2, "--from FILE is missing" },
        { { "--from", newer, "extra" }, 2, "unexpected argument \"extra\"" },
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli(QStringList { "points", "--json" } + c.arguments);
        EXPECT_EQ(run.exit_code, c.status) << c.message;
        EXPECT_TRUE(run.err.contains(QLatin1String(c.message))) << run.err.toStdString();
        EXPECT_EQ(run.out, "") << c.message;
    }
}

} // namespace
} // namespace humidora::cli_test
