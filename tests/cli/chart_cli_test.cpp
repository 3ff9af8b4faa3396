// humidora-cli chart run as a program: the geometry as JSON, the pictures, the state's marker and the
// exit statuses.
#include "cli_process.h"

#include <QFile>
#include <QImageReader>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace humidora::cli_test {
namespace {

TEST(ChartCli, JsonHasTheFieldEveryFamilyAndPointsInsideIt)
{
    const CliRun run = RunCli({ "chart", "--json" });
    ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
    const QJsonObject json = run.json();
    EXPECT_EQ(json["pressure_Pa"].toDouble(), 101325);
    EXPECT_EQ(json["method"].toString(), "iapws");
    EXPECT_EQ(json["system"].toString(), "metric");
    EXPECT_EQ(json["dry_bulb"]["unit"].toString(), "C");
    EXPECT_EQ(json["dry_bulb"]["min"].toDouble(), -10);
    EXPECT_EQ(json["dry_bulb"]["max"].toDouble(), 50);
    EXPECT_EQ(json["humidity_ratio"]["unit"].toString(), "g/kg");
    EXPECT_EQ(json["humidity_ratio"]["max"].toDouble(), 30);
    EXPECT_FALSE(json.contains("state"));
    std::set<QString> families;
    for (const QJsonValue& line : json["lines"].toArray()) {
        families.insert(line["family"].toString());
        const QJsonArray points = line["points"].toArray();
        ASSERT_GE(points.size(), 2) << line["family"].toString().toStdString();
        for (const QJsonValue& point : points) {
            EXPECT_GE(point[0].toDouble(), 263.15 - 1e-9);
            EXPECT_LE(point[0].toDouble(), 323.15 + 1e-9);
            EXPECT_GE(point[1].toDouble(), 0);
            EXPECT_LE(point[1].toDouble(), 0.030);
        }
    }
    EXPECT_EQ(families,
        (std::set<QString> { "saturation", "relative_humidity", "wet_bulb", "enthalpy", "specific_volume",
            "dry_bulb", "humidity_ratio" }));
    // Points are written with 17 significant digits; the text is the same under a comma locale.
    EXPECT_TRUE(run.out.contains(QRegularExpression("\\[2\\d\\d\\.\\d{14},0\\.0\\d{16,17}\\]")));
    EXPECT_EQ(RunCli({ "chart", "--json" }, "de_DE.UTF-8").out, run.out);
}

TEST(ChartCli, StateIsTheMainWindowsStateExactly)
{
    const CliRun run = RunCli({ "chart", "--json", "--temperature", "25", "--relative-humidity", "50" });
    ASSERT_EQ(run.exit_code, 0);
    EXPECT_TRUE(run.out.contains("\"state\":{\"T_K\":298.149993896484375,\"W\":0.00988327"));
    // The main window shows that state's humidity ratio to its seven decimals.
    const CliRun state = RunCli({ "state", "--json" });
    const double shown
        = state.json()["quantities"].toObject()["humidity_ratio"].toObject()["text"].toString().toDouble();
    EXPECT_NEAR(run.json()["state"].toObject()["W"].toDouble(), shown, 5e-8);
}

TEST(ChartCli, BritishAltitudeAndCustomRange)
{
    const CliRun run
        = RunCli({ "chart", "--json", "--system", "british", "--altitude", "5000", "--altitude-unit", "ft",
            "--method", "hyland-wexler", "--dry-bulb-range", "-40", "50", "--humidity-ratio-max", "70" });
    ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
    const QJsonObject json = run.json();
    EXPECT_EQ(json["system"].toString(), "british");
    EXPECT_EQ(json["method"].toString(), "hyland-wexler");
    EXPECT_NEAR(json["pressure_Pa"].toDouble(), 84307, 5);
    EXPECT_EQ(json["dry_bulb"]["unit"].toString(), "F");
    EXPECT_EQ(json["dry_bulb"]["min"].toDouble(), -40);
    EXPECT_EQ(json["humidity_ratio"]["unit"].toString(), "gr/lb");
    EXPECT_EQ(json["humidity_ratio"]["max"].toDouble(), 70);
    bool wet_bulb_in_F = false;
    for (const QJsonValue& line : json["lines"].toArray())
        wet_bulb_in_F |= line["family"] == "wet_bulb" && line["unit"] == "F";
    EXPECT_TRUE(wet_bulb_in_F);
}

TEST(ChartCli, ExitStatuses)
{
    struct Case
    {
        QStringList arguments;
        int status;
    };
    const Case cases[] = {
        { { "chart", "--range", "medium" }, 2 },
        { { "chart", "--dry-bulb-range", "10" }, 2 },
        { { "chart", "--dry-bulb-range", "30", "10" }, 2 },
        { { "chart", "--dry-bulb-range", "-150", "10" }, 2 },
        { { "chart", "--humidity-ratio-max", "abc" }, 2 },
        { { "chart", "--range", "low", "--dry-bulb-range", "0", "10" }, 2 },
        { { "chart", "--output", "chart.gif" }, 2 },
        { { "chart", "--output", "chart.png", "--width", "20000" }, 2 },
        { { "chart", "--json", "--height", "100" }, 2 },
        { { "chart", "--width", "wide" }, 2 },
        { { "chart", "--pressure", "1", "--altitude", "0" }, 2 },
        { { "chart", "--pressure", "1" }, 1 },
        { { "chart", "--temperature", "25", "--relative-humidity", "150" }, 1 },
        { { "chart", "--range", "high", "--temperature", "-20", "--dew-point", "-30" }, 0 },
        { { "chart", "--output", "/nonexistent-folder/chart.png" }, 3 },
    };
    for (const Case& c : cases) {
        const CliRun run = RunCli(c.arguments);
        EXPECT_EQ(run.exit_code, c.status) << c.arguments.join(' ').toStdString() << "\n"
                                           << run.err.toStdString();
        if (c.status == 2)
            EXPECT_TRUE(run.out.isEmpty());
        if (c.status != 0)
            EXPECT_FALSE(run.err.isEmpty());
    }
}

// Asked for JSON, a refused pressure or altitude is answered in JSON, with the quantity that was refused
TEST(ChartCli, RefusedConditionsAnswerJsonWithTheRefusal)
{
    struct Case
    {
        QStringList arguments;
        const char* quantity;
        const char* text;
    };
    const Case cases[] = {
        { { "chart", "--json", "--pressure", "0" }, "pressure", "0" },
        { { "chart", "--json", "--altitude", "20000" }, "altitude", "20000" },
        { { "chart", "--json", "--system", "british", "--pressure", "200" }, "pressure", "200" },
    };
    for (const Case& c : cases) {
        const CliRun run = RunCli(c.arguments);
        EXPECT_EQ(run.exit_code, 1) << c.arguments.join(' ').toStdString();
        const QJsonObject refusal = run.json()["refusal"].toObject();
        EXPECT_EQ(refusal["quantity"].toString(), c.quantity) << run.out.toStdString();
        EXPECT_EQ(refusal["text"].toString(), c.text);
        EXPECT_FALSE(refusal["message"].toString().isEmpty());
        EXPECT_FALSE(run.err.isEmpty());
    }
}

TEST(ChartCli, EachPictureFormatOpensAsAsked)
{
    QTemporaryDir dir;
    const QString png = dir.filePath("chart.png");
    const QString svg = dir.filePath("chart.svg");
    const QString pdf = dir.filePath("chart.pdf");
    ASSERT_EQ(
        RunCli({ "chart", "--output", png, "--width", "1000", "--height", "640", "--temperature", "30" })
            .exit_code,
        0);
    ASSERT_EQ(RunCli({ "chart", "--output", svg, "--system", "british" }).exit_code, 0);
    ASSERT_EQ(RunCli({ "chart", "--output", pdf, "--range", "low" }).exit_code, 0);

    QImageReader reader(png);
    EXPECT_EQ(reader.format(), "png");
    EXPECT_EQ(reader.size(), QSize(1000, 640));

    QFile file(svg);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader svg_reader(&file);
    QStringList texts;
    QString root;
    while (!svg_reader.atEnd()) {
        svg_reader.readNext();
        if (svg_reader.isStartElement() && root.isEmpty())
            root = svg_reader.name().toString();
        if (svg_reader.isStartElement() && svg_reader.name() == QLatin1String("text"))
            texts << svg_reader.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
    }
    ASSERT_FALSE(svg_reader.hasError()) << svg_reader.errorString().toStdString();
    EXPECT_EQ(root, "svg");
    // Every family's labels are texts of the drawing, in the British units: saturation, relative
    // humidity, wet bulb, enthalpy, specific volume and the two scales.
    for (const char* label :
        { "100%", "50%", "85", "40", "14.5", "Dry-bulb temperature, F", "Humidity ratio, gr/lb" })
        EXPECT_TRUE(texts.contains(label)) << label;

    QProcess info;
    info.start("pdfinfo", { pdf });
    ASSERT_TRUE(info.waitForFinished());
    EXPECT_TRUE(
        QString::fromUtf8(info.readAllStandardOutput()).contains(QRegularExpression("Pages:\\s+1\n")));
}

} // namespace
} // namespace humidora::cli_test

namespace humidora::cli_test {
namespace {

TEST(ChartCli, UncertaintyDrawsTheStatesRegionFromTheCovarianceThatStateReports)
{
    const QStringList state_options = { "--temperature", "25", "--relative-humidity", "50", "--uncertainty",
        "temperature=0.2,relative_humidity=2" };
    const CliRun chart = RunCli(QStringList { "chart", "--json" } + state_options);
    ASSERT_EQ(chart.exit_code, 0) << chart.err.toStdString();
    const QJsonObject json = chart.json();
    ASSERT_TRUE(json.contains("region")) << chart.out.left(200).toStdString();
    EXPECT_EQ(json["region"]["probability"].toDouble(), 0.95);
    const QJsonArray points = json["region"]["points"].toArray();
    ASSERT_EQ(points.size(), 72);
    const double T = json["state"]["T_K"].toDouble();
    const double W = json["state"]["W"].toDouble();
    double reach_T = 0, reach_W = 0;
    for (const QJsonValue& point : points) {
        reach_T = std::max(reach_T, std::fabs(point[0].toDouble() - T));
        reach_W = std::max(reach_W, std::fabs(point[1].toDouble() - W));
    }
    // The region reaches sqrt(chi^2(2 dof, 95 %)) standard uncertainties either way in each quantity: the
    // dry bulb's is 0.2 K / sqrt 3, the humidity ratio's the one "state" reports (kg/kg in Metric).
    const double chi = std::sqrt(5.991464547107979);
    EXPECT_NEAR(reach_T, chi * 0.2 / std::sqrt(3.0), 2e-3 * reach_T);
    const CliRun state = RunCli(QStringList { "state", "--json" } + state_options);
    ASSERT_EQ(state.exit_code, 0) << state.err.toStdString();
    const double u_W = state.json()["uncertainty"].toObject()["humidity_ratio"].toObject()["u"].toDouble();
    ASSERT_GT(u_W, 0);
    EXPECT_NEAR(reach_W, chi * u_W, 2e-3 * reach_W);

    // Without --uncertainty there is none; the summary tells its extent; a bad accuracy is a usage error.
    EXPECT_FALSE(RunCli({ "chart", "--json", "--temperature", "25" }).json().contains("region"));
    EXPECT_TRUE(RunCli(QStringList { "chart" } + state_options).out.contains("region (95 %)"));
    const CliRun bad = RunCli({ "chart", "--temperature", "25", "--uncertainty", "temperature=-1" });
    EXPECT_EQ(bad.exit_code, 2) << bad.err.toStdString();
    EXPECT_TRUE(bad.err.contains("-1")) << bad.err.toStdString();
}

} // namespace
} // namespace humidora::cli_test
