// The chart's data in a calculation file: the data file's settings and the zones written and read back
// unchanged, a file without them read as before, and a hostile member refused with its reason.
#include "io/calculation_file.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>
#include <gtest/gtest.h>

namespace humidora {
namespace {

Calculation WithChartData()
{
    Calculation calculation;
    DataSource source;
    source.path = "/data/year 2024.csv";
    source.temperature_column = "Temp (C)";
    source.humidity_column = "Dew";
    source.pressure_column = "Altitude";
    source.inputs.humidity_option = 3;
    source.inputs.altitude_given = true;
    source.inputs.selections[9] = 3; // ft
    source.inputs.system = UnitSystem::Customized;
    source.delimiter = ';';
    source.decimal_comma = true;
    source.hourly = true;
    calculation.chart_data.source = source;
    calculation.chart_data.zones = {
        { "Comfort", { 20, 26, "C" }, {}, {}, ZoneRange { 30, 60, "%" } },
        { "Design", { 68.5, 95, "F" }, {}, ZoneRange { -5, 15.25, "F" }, {} },
    };
    return calculation;
}

TEST(ChartDataFile, SettingsAndZonesRoundTrip)
{
    const Calculation calculation = WithChartData();
    ASSERT_TRUE(CalculationProblem(calculation).isEmpty());
    const QByteArray json = CalculationJson(calculation);
    const CalculationRead read = ParseCalculation(json);
    ASSERT_TRUE(read.calculation) << read.problem.toStdString();
    EXPECT_EQ(read.calculation->chart_data, calculation.chart_data);
    EXPECT_TRUE(SameCalculation(*read.calculation, calculation));
    // Zones alone, without a data file.
    Calculation zones_only;
    zones_only.chart_data.zones = calculation.chart_data.zones;
    EXPECT_EQ(ParseCalculation(CalculationJson(zones_only)).calculation->chart_data, zones_only.chart_data);
}

TEST(ChartDataFile, AFileWithoutChartDataReadsAsBefore)
{
    Calculation plain;
    plain.properties.project = "Office";
    const QByteArray json = CalculationJson(plain);
    EXPECT_FALSE(json.contains("chart_data"));
    const CalculationRead read = ParseCalculation(json);
    ASSERT_TRUE(read.calculation);
    EXPECT_TRUE(read.calculation->chart_data.empty());
    // The chart's data alone make a version 2 file; inputs alone stay version 1.
    EXPECT_TRUE(CalculationJson(WithChartData()).contains("\"version\": 2"));
    EXPECT_TRUE(CalculationJson(Calculation {}).contains("\"version\": 1"));
    // Changing them is a change of the calculation.
    Calculation changed = WithChartData();
    changed.chart_data.zones[0].dry_bulb.high = 27;
    EXPECT_FALSE(SameCalculation(changed, WithChartData()));
}

TEST(ChartDataFile, BadMembersAreRefusedWithTheirReason)
{
    const QJsonObject good = QJsonDocument::fromJson(CalculationJson(WithChartData())).object();
    const auto with = [&](const std::function<void(QJsonObject&)>& change) {
        QJsonObject chart = good["chart_data"].toObject();
        change(chart);
        QJsonObject top = good;
        top["chart_data"] = chart;
        return ParseCalculation(QJsonDocument(top).toJson()).problem.toStdString();
    };
    EXPECT_EQ(with([](QJsonObject& c) { c["extra"] = 1; }), "\"chart_data\" has an unknown member \"extra\"");
    EXPECT_EQ(with([](QJsonObject& c) {
        QJsonArray zones = c["zones"].toArray();
        QJsonObject zone = zones[0].toObject();
        QJsonObject range = zone["dry_bulb"].toObject();
        range["low"] = 40;
        zone["dry_bulb"] = range;
        zones[0] = zone;
        c["zones"] = zones;
    }),
        "The zone \"Comfort\": the dry bulb's low end 40 C lies above its high end 26 C");
    EXPECT_EQ(with([](QJsonObject& c) {
        QJsonObject file = c["data_file"].toObject();
        file["delimiter"] = "\"";
        c["data_file"] = file;
    }),
        "the \"delimiter\" member of \"data_file\" must be one character other than a quote");
    EXPECT_EQ(with([](QJsonObject& c) {
        QJsonObject file = c["data_file"].toObject();
        file.remove("hours");
        c["data_file"] = file;
    }),
        "\"data_file\" has no \"hours\" member");
}

} // namespace
} // namespace humidora
