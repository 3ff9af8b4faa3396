// humidora-cli state and batch with --uncertainty: the JSON of each quantity's uncertainty, the forms of
// the accuracies, the Monte Carlo check, a flagged interval, refused options and the batch's U columns.
#include "cli_process.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace humidora::cli_test {
namespace {

QJsonObject Uncertainty(const QStringList& arguments)
{
    const CliRun run = RunCli(QStringList { "state", "--json" } + arguments);
    EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
    return run.json()["uncertainty"].toObject();
}

// The dew point's U at 25 C, 50 %, 101.325 kPa from +-2 % relative humidity alone (the user's guide works
// it by hand: 2/sqrt(3) % x 0.3078 K/% x 2 = 0.711 K).
TEST(UncertaintyCli, EachQuantityHasItsUncertaintyInItsUnit)
{
    const CliRun run = RunCli({ "state", "--json", "--uncertainty", "relative_humidity=2" });
    ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
    const QJsonObject json = run.json();
    const QJsonObject dew = json["uncertainty"]["dew_point"].toObject();
    EXPECT_NEAR(dew["U"].toDouble(), 0.7108, 5e-4);
    EXPECT_DOUBLE_EQ(dew["U"].toDouble(), 2 * dew["u"].toDouble());
    EXPECT_EQ(dew["k"].toDouble(), 2);
    EXPECT_EQ(dew["unit"].toString(), "C");
    EXPECT_FALSE(dew["flagged"].toBool());
    const QJsonArray interval = dew["interval"].toArray();
    EXPECT_NEAR((interval[0].toDouble() + interval[1].toDouble()) / 2, 13.864, 5e-4);
    EXPECT_NEAR(interval[1].toDouble() - interval[0].toDouble(), 2 * dew["U"].toDouble(), 1e-12);
    // Every quantity is there, in the unit its row shows; the exact inputs have none.
    for (const QString& key : json["quantities"].toObject().keys()) {
        ASSERT_TRUE(json["uncertainty"][key].isObject()) << key.toStdString();
        EXPECT_EQ(json["uncertainty"][key]["unit"], json["quantities"][key]["unit"]) << key.toStdString();
    }
    EXPECT_EQ(json["uncertainty"]["temperature"]["U"].toDouble(), 0);
}

// The same accuracy read in the three forms: u = a/sqrt 3, U/k, u; --coverage scales U and not u.
TEST(UncertaintyCli, FormsAndCoverage)
{
    struct Case
    {
        QStringList options;
        double u_per_accuracy; // u of the relative humidity per unit of its accuracy
        double k;
    };
    const Case cases[] = {
        { {}, 1 / std::sqrt(3.0), 2 },
        { { "--uncertainty-form", "standard" }, 1, 2 },
        { { "--uncertainty-form", "expanded:4" }, 0.25, 2 },
        { { "--uncertainty-form", "expanded" }, 0.5, 2 },
        { { "--uncertainty-form", "standard", "--coverage", "3" }, 1, 3 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.join(' ').toStdString());
        const QJsonObject json
            = Uncertainty(QStringList { "--uncertainty", "relative_humidity=2" } + c.options);
        const QJsonObject rh = json["relative_humidity"].toObject();
        EXPECT_NEAR(rh["u"].toDouble(), 2 * c.u_per_accuracy, 1e-12);
        EXPECT_NEAR(rh["U"].toDouble(), c.k * 2 * c.u_per_accuracy, 1e-12);
        EXPECT_EQ(rh["k"].toDouble(), c.k);
    }
}

// With --monte-carlo each quantity carries the draws' interval; at 99 % the draws above 100 % are refused
// and counted, and the linear interval of the relative humidity reaches beyond 100 %, flagged.
TEST(UncertaintyCli, MonteCarloCountsRefusedDrawsAndALimitIsFlagged)
{
    const QJsonObject plain
        = Uncertainty({ "--uncertainty", "temperature=0.2,relative_humidity=2,pressure=0.1",
            "--uncertainty-form", "standard", "--monte-carlo", "20000" });
    const QJsonObject dew = plain["dew_point"].toObject();
    const QJsonObject check = dew["monte_carlo"].toObject();
    EXPECT_EQ(check["draws"].toInt(), 20000);
    EXPECT_EQ(check["refused"].toInt(), 0);
    const double half = (check["interval"][1].toDouble() - check["interval"][0].toDouble()) / 2;
    EXPECT_NEAR(half, dew["U"].toDouble(), 0.05 * dew["U"].toDouble());

    const QJsonObject wet = Uncertainty(
        { "--relative-humidity", "99", "--uncertainty", "relative_humidity=2", "--monte-carlo", "20000" });
    const QJsonObject rh = wet["relative_humidity"].toObject();
    EXPECT_TRUE(rh["flagged"].toBool());
    EXPECT_GT(rh["interval"][1].toDouble(), 100);
    const int refused = rh["monte_carlo"]["refused"].toInt();
    EXPECT_GT(refused, 4000);
    EXPECT_EQ(rh["monte_carlo"]["draws"].toInt(), 20000 - refused);
    EXPECT_LE(rh["monte_carlo"]["interval"][1].toDouble(), 100);
}

// The table shows "value ± U" in every locale, with the coverage under it.
TEST(UncertaintyCli, TableShowsValuePlusMinusUInEveryLocale)
{
    for (const QString locale : { "C", "de_DE.UTF-8" }) {
        const CliRun run = RunCli({ "state", "--uncertainty", "relative_humidity=2" }, locale);
        ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(QString::fromUtf8("13.864 ± 0.71"))) << run.out.toStdString();
        EXPECT_TRUE(run.out.contains("k = 2, about 95 %")) << run.out.toStdString();
    }
}

// A bad option names the quantity, the value and the limit; it is a usage error.
TEST(UncertaintyCli, BadOptionsAreRefusedByName)
{
    struct Case
    {
        QStringList arguments;
        const char* message;
    };
    const Case cases[] = {
        { { "--uncertainty", "temperature=-0.2" },
            "the accuracy of temperature -0.2 is below its minimum of 0" },
        { { "--uncertainty", "temperature=0,2" }, "unknown input of --uncertainty \"2\"" },
        { { "--uncertainty", "relative_humidity=two" },
            "the accuracy of relative_humidity \"two\" is not a number" },
        { { "--uncertainty", "dew_point=1" }, "unknown input of --uncertainty \"dew_point\"" },
        { { "--uncertainty", "altitude=1" }, "unknown input of --uncertainty \"altitude\"" },
        { { "--uncertainty", "temperature" }, "give the accuracy of temperature as temperature=VALUE" },
        { { "--uncertainty", "temperature=1", "--coverage", "0" },
            "the coverage factor --coverage 0 is not above" },
        { { "--uncertainty", "temperature=1", "--uncertainty-form", "triangular" },
            "unknown --uncertainty-form \"triangular\"" },
        { { "--uncertainty", "temperature=1", "--monte-carlo", "0" },
            "is not a whole number from 1 to 1000000" },
        { { "--monte-carlo", "100" }, "need --uncertainty" },
    };
    for (const Case& c : cases) {
        const CliRun run = RunCli(QStringList { "state" } + c.arguments);
        EXPECT_EQ(run.exit_code, 2) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    // The altitude's accuracy is named as the altitude when the altitude is given.
    const QJsonObject json = Uncertainty({ "--altitude", "500", "--uncertainty", "altitude=10" });
    EXPECT_GT(json["pressure"]["U"].toDouble(), 0);
}

// batch --uncertainty: one U column per output after the results, empty for a refused row, written with
// the decimal comma where asked.
TEST(UncertaintyCli, BatchAddsOneUColumnPerOutput)
{
    QTemporaryDir dir;
    const QString input = dir.filePath("in.csv");
    QFile file(input);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("T;RH\n25;50\n25;120\n");
    file.close();
    const CliRun run = RunCli({ "batch", input, "--delimiter", ";", "--decimal-comma", "--temperature-column",
                                  "T", "--relative-humidity-column", "RH", "--columns", "dew_point,enthalpy",
                                  "--numbers", "display", "--uncertainty", "relative_humidity=2" },
        "de_DE.UTF-8");
    ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0],
        "T;RH;dew_point [C];enthalpy [kJ/kg (dry air)];U(dew_point) [C];U(enthalpy) [kJ/kg (dry "
        "air)];status");
    EXPECT_TRUE(lines[1].startsWith("25;50;13,864;50,31405;0,71;1,2;ok")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("25;120;;;;;")) << lines[2].toStdString();

    // In full numbers the U column agrees with state's U.
    const CliRun full = RunCli(
        { "batch", input, "--delimiter", ";", "--temperature-column", "T", "--relative-humidity-column", "RH",
            "--columns", "dew_point", "--uncertainty", "relative_humidity=2" });
    const double U = full.out.split('\n')[1].split(';')[3].toDouble();
    EXPECT_DOUBLE_EQ(
        U, Uncertainty({ "--uncertainty", "relative_humidity=2" })["dew_point"].toObject()["U"].toDouble());
}

} // namespace
} // namespace humidora::cli_test

namespace humidora::cli_test {
namespace {

// --save keeps the accuracies with the calculation; --from brings them back, and an option changes only
// the accuracy it names.
TEST(UncertaintyCli, SavedWithTheCalculationAndReadBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("sensor.humidora");
    const CliRun save
        = RunCli({ "state", "--uncertainty", "temperature=0.5,relative_humidity=2", "--save", path });
    ASSERT_EQ(save.exit_code, 0) << save.err.toStdString();
    const QJsonObject read = Uncertainty({ "--from", path });
    EXPECT_NEAR(read["temperature"]["u"].toDouble(), 0.5 / std::sqrt(3.0), 1e-12);
    EXPECT_NEAR(read["relative_humidity"]["u"].toDouble(), 2 / std::sqrt(3.0), 1e-12);
    const QJsonObject changed = Uncertainty({ "--from", path, "--uncertainty", "temperature=0.1" });
    EXPECT_NEAR(changed["temperature"]["u"].toDouble(), 0.1 / std::sqrt(3.0), 1e-12);
    EXPECT_NEAR(changed["relative_humidity"]["u"].toDouble(), 2 / std::sqrt(3.0), 1e-12);
    // A file saved without accuracies has none.
    const QString plain = dir.filePath("plain.humidora");
    ASSERT_EQ(RunCli({ "state", "--save", plain }).exit_code, 0);
    EXPECT_FALSE(RunCli({ "state", "--json", "--from", plain }).json().contains("uncertainty"));
}

} // namespace
} // namespace humidora::cli_test
