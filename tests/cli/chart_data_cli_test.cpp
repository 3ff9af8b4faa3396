// humidora-cli chart --data and --zone, and batch --zone: the data layer's cells and zone counts against
// an independent count of the batch's output for the same file, refused rows reported, usage errors, and
// a decimal-comma file read the same under a German locale.
#include "cli_process.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <random>

namespace humidora::cli_test {
namespace {

class ChartDataCli : public testing::Test
{
protected:
    QString Write(const QString& name, const QByteArray& contents)
    {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        return path;
    }
    // Random weather with rows exactly on the zone's edges and a few rows the calculation refuses.
    QByteArray Weather(char delimiter = ',', bool decimal_comma = false)
    {
        std::mt19937 random(7);
        std::uniform_real_distribution<double> temperature(-12, 48), humidity(0, 100);
        QByteArray csv = QByteArray("time") + delimiter + "T" + delimiter + "RH\n";
        const auto number = [&](double value) {
            QByteArray text = QByteArray::number(value, 'f', 1);
            return decimal_comma ? text.replace('.', ',') : text;
        };
        for (int i = 0; i < 2000; ++i)
            csv += QByteArray::number(i) + delimiter + number(temperature(random)) + delimiter
                + number(humidity(random)) + "\n";
        for (const char* edge : { "20,30", "26,60", "20,60", "26,30", "19.9,45", "26.1,45" }) {
            const QList<QByteArray> parts = QByteArray(edge).split(',');
            csv += QByteArray("e") + delimiter + number(parts[0].toDouble()) + delimiter
                + number(parts[1].toDouble()) + "\n";
        }
        csv += QByteArray("bad") + delimiter + "warm" + delimiter + "50\n";
        csv += QByteArray("bad") + delimiter + "30" + delimiter + "101\n";
        csv += QByteArray("short") + delimiter + "30\n";
        return csv;
    }
    QTemporaryDir dir_;
};

const QString kZone = "name=Comfort,temperature=20:26,relative-humidity=30:60";

TEST_F(ChartDataCli, CellsAndZoneCountsMatchAnIndependentCountOfTheBatch)
{
    const QString path = Write("weather.csv", Weather());
    const CliRun batch = RunCli({ "batch", path, "--temperature-column", "T", "--relative-humidity-column",
        "RH", "--columns", "temperature,humidity_ratio:(g moisture)/(kg dry air),relative_humidity" });
    ASSERT_EQ(batch.exit_code, 0) << batch.err.toStdString();
    // The cells of the Normal field: 1 C by 0.5 g/kg from -10 C and 0 g/kg.
    std::map<std::pair<int, int>, int> cells;
    int accepted = 0, refused = 0, inside = 0, outside_field = 0;
    QStringList lines = batch.out.split('\n', Qt::SkipEmptyParts);
    lines.removeFirst();
    for (const QString& line : lines) {
        const QStringList fields = line.split(',');
        if (fields.back() != "ok") {
            ++refused;
            continue;
        }
        ++accepted;
        const double t = fields[3].toDouble(), w = fields[4].toDouble(), rh = fields[5].toDouble();
        if (t >= 20 && t <= 26 && rh >= 30 && rh <= 60)
            ++inside;
        if (t < -10 || t > 50 || w < 0 || w > 30) {
            ++outside_field;
            continue;
        }
        ++cells[{ std::min(59, static_cast<int>(std::floor(t + 10))),
            std::min(59, static_cast<int>(std::floor(w / 0.5))) }];
    }
    ASSERT_EQ(refused, 3);

    const CliRun chart = RunCli({ "chart", "--data", path, "--temperature-column", "T",
        "--relative-humidity-column", "RH", "--zone", kZone, "--json" });
    ASSERT_EQ(chart.exit_code, 0) << chart.err.toStdString();
    EXPECT_TRUE(chart.err.contains("2009 rows, 3 refused")) << chart.err.toStdString();
    EXPECT_TRUE(chart.err.contains("refused row 2007: Ambient Temperature 'warm' is not a number"));
    const QJsonObject data = chart.json()["data"].toObject();
    EXPECT_EQ(data["rows"].toInt(), accepted + refused);
    EXPECT_EQ(data["accepted"].toInt(), accepted);
    EXPECT_EQ(data["refused"].toInt(), refused);
    EXPECT_EQ(data["count_unit"].toString(), "rows");
    EXPECT_EQ(data["drawn_as"].toString(), "points");
    EXPECT_EQ(data["outside_field"].toInt(), outside_field);
    std::map<std::pair<int, int>, int> json_cells;
    for (const QJsonValue& cell : data["cells"].toObject()["counts"].toArray()) {
        const double t = cell["dry_bulb"][0].toDouble(), w = cell["humidity_ratio"][0].toDouble();
        EXPECT_EQ(cell["dry_bulb"][1].toDouble() - t, 1);
        json_cells[{ static_cast<int>(std::lround(t + 10)), static_cast<int>(std::lround(w / 0.5)) }]
            = cell["count"].toInt();
    }
    EXPECT_EQ(json_cells, cells);
    const QJsonObject zone = data["zones"][0].toObject();
    EXPECT_EQ(zone["name"].toString(), "Comfort");
    EXPECT_EQ(zone["inside"].toInt(), inside);
    EXPECT_EQ(zone["outside"].toInt(), accepted - inside);

    // The batch's own zone column says the same of every row, the edges inside.
    const CliRun zoned = RunCli({ "batch", path, "--temperature-column", "T", "--relative-humidity-column",
        "RH", "--columns", "temperature", "--zone", kZone });
    ASSERT_EQ(zoned.exit_code, 0);
    EXPECT_TRUE(zoned.out.startsWith("time,T,RH,temperature [C],zone Comfort,status\n"));
    EXPECT_EQ(zoned.out.count(",inside,ok\n"), inside);
    EXPECT_EQ(zoned.out.count(",outside,ok\n"), accepted - inside);
    for (const char* edge : { "e,20.0,30.0,20,inside", "e,26.0,60.0,26,inside", "e,19.9,45.0,19.9,outside",
             "e,26.1,45.0,26.1,outside", "bad,warm,50,,,Ambient" })
        EXPECT_TRUE(zoned.out.contains(edge)) << edge;
}

TEST_F(ChartDataCli, ADecimalCommaFileReadsTheSameUnderAGermanLocale)
{
    const QString dot = Write("dot.csv", Weather());
    const QString comma = Write("comma.csv", Weather(';', true));
    const QStringList options = { "--temperature-column", "T", "--relative-humidity-column", "RH", "--zone",
        kZone, "--hours", "--json" };
    const CliRun a = RunCli(QStringList { "chart", "--data", dot } + options);
    const CliRun b
        = RunCli(QStringList { "chart", "--data", comma, "--delimiter", ";", "--decimal-comma" } + options,
            "de_DE.UTF-8");
    ASSERT_EQ(a.exit_code, 0);
    ASSERT_EQ(b.exit_code, 0) << b.err.toStdString();
    EXPECT_EQ(a.json()["data"], b.json()["data"]);
    EXPECT_TRUE(
        b.json()["data"].toObject()["zones"][0]["legend"].toString().startsWith("Comfort: 2,006 hours: "));
}

TEST_F(ChartDataCli, DensityBeyondTheLimitOfPoints)
{
    QByteArray csv = "T,RH\n";
    for (int i = 0; i < 6000; ++i)
        csv += QByteArray::number(i % 40) + ",50\n";
    const QString path = Write("many.csv", csv);
    const CliRun run = RunCli({ "chart", "--data", path, "--temperature-column", "T",
        "--relative-humidity-column", "RH", "--json", "--output", dir_.filePath("many.png") });
    ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
    EXPECT_EQ(run.json()["data"].toObject()["drawn_as"].toString(), "density");
    EXPECT_EQ(run.json()["data"].toObject()["cells"].toObject()["counts"].toArray().size(), 40);
    EXPECT_TRUE(QFile::exists(dir_.filePath("many.png")));
}

struct UsageCase
{
    QStringList arguments;
    int status;
    const char* message;
};

TEST_F(ChartDataCli, UsageAndFileErrors)
{
    const QString path = Write("w.csv", "T,RH\n20,50\n");
    const UsageCase cases[] = {
        { { "--temperature-column", "T" }, 2, "--temperature-column needs --data" },
        { { "--data", path, "--temperature-column", "T" }, 2,
            "--data needs the column of one humidity parameter" },
        { { "--data", path, "--relative-humidity-column", "RH" }, 2, "--data needs --temperature-column" },
        { { "--data", path, "--temperature-column", "Temp", "--relative-humidity-column", "RH" }, 3,
            "No column \"Temp\" in the file; its columns: T, RH" },
        { { "--data", dir_.filePath("none.csv"), "--temperature-column", "T", "--relative-humidity-column",
              "RH" },
            3, "Could not read the data file" },
        { { "--zone", "name=Z,temperature=26:20" }, 2,
            "the dry bulb's low end 26 C lies above its high end 20 C" },
        { { "--zone", "name=Z,relative-humidity=20:30" }, 2, "the zone needs a temperature range" },
        { { "--zone", "name=Z,temperature=20:26,wind=1:2" }, 2, "unknown key \"wind\"" },
        { { "--zone", "name=Z,temperature=20" }, 2, "is not LOW:HIGH or LOW:HIGH:UNIT" },
        { { "--data", path, "--temperature-column", "T", "--relative-humidity-column", "RH", "--pressure",
              "90", "--pressure-column", "P" },
            2, "give the pressure or the altitude once" },
    };
    for (const UsageCase& c : cases) {
        const CliRun run = RunCli(QStringList { "chart" } + c.arguments);
        EXPECT_EQ(run.exit_code, c.status) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
    }
    // A zone alone is drawn without counts.
    const CliRun zone_only = RunCli({ "chart", "--zone", "name=Z,temperature=68:80:F", "--json" });
    EXPECT_EQ(zone_only.exit_code, 0);
    EXPECT_EQ(zone_only.json()["data"].toObject()["zones"][0]["legend"].toString(), "Z: 0 rows: 0 inside");
}

} // namespace
} // namespace humidora::cli_test
