// The data layer: rows computed by the window's calculation, zones whose every edge is inside (a row typed
// exactly on an edge compares equal to it, whatever precision the calculation holds the quantity in), the
// legend's text and the binning of the density.
#include "chart/data_layer.h"

#include <gtest/gtest.h>

namespace humidora::chart {
namespace {

// Rows "T,H" with the humidity given as `option` in the window's Metric units (the humidity ratio in g/kg)
// and the standard pressure.
DataPoint RowPoint(int option, const std::string& temperature, const std::string& humidity)
{
    DataSource source;
    source.inputs.humidity_option = option;
    source.inputs.selections[5] = 1;
    source.temperature_column = "T";
    source.humidity_column = "H";
    DataRowCalculator calculator(source, { "T", "H" });
    EXPECT_EQ(calculator.error(), "");
    auto result = calculator.Calculate({ temperature, humidity });
    if (const std::string* refusal = std::get_if<std::string>(&result)) {
        ADD_FAILURE() << temperature << ", " << humidity << ": " << *refusal;
        return {};
    }
    return std::get<DataPoint>(result);
}

struct EdgeCase
{
    int option; // 2 relative humidity, 1 humidity ratio (g/kg), 3 dew point (C)
    const char* temperature;
    const char* humidity;
    bool inside;
};

TEST(DataZone, EveryEdgeIsInsideAndTheNextValueOutside)
{
    Zone comfort { "Comfort", { 20, 26, "C" }, {}, {}, ZoneRange { 30, 60, "%" } };
    Zone by_ratio { "Ratio", { -10.5, 0, "C" }, ZoneRange { 0.5, 3.2, "(g moisture)/(kg dry air)" }, {}, {} };
    Zone by_dew { "Dew", { 15, 30, "C" }, {}, ZoneRange { 2, 12.5, "C" }, {} };
    const EdgeCase cases[] = {
        { 2, "20", "30", true },
        { 2, "26", "60", true },
        { 2, "20", "60", true },
        { 2, "26", "30", true },
        { 2, "19.99", "45", false },
        { 2, "26.01", "45", false },
        { 2, "23", "29.99", false },
        { 2, "23", "60.01", false },
    };
    for (const EdgeCase& c : cases) {
        const DataPoint point = RowPoint(c.option, c.temperature, c.humidity);
        EXPECT_EQ(ZoneTest(comfort).Contains(point), c.inside)
            << c.temperature << " C, " << c.humidity << " %";
    }
    const EdgeCase ratio_cases[] = {
        { 1, "-10.5", ".5", true },
        { 1, "0", "3.2", true },
        { 1, "-10.51", "1", false },
        { 1, "0.01", "1", false },
        { 1, "-5", ".49", false },
        { 1, "0", "3.21", false },
    };
    for (const EdgeCase& c : ratio_cases) {
        const DataPoint point = RowPoint(c.option, c.temperature, c.humidity);
        EXPECT_EQ(ZoneTest(by_ratio).Contains(point), c.inside)
            << c.temperature << " C, " << c.humidity << " g/kg";
    }
    const EdgeCase dew_cases[] = {
        { 3, "15", "2", true },
        { 3, "30", "12.5", true },
        { 3, "20", "1.99", false },
        { 3, "20", "12.51", false },
    };
    for (const EdgeCase& c : dew_cases) {
        const DataPoint point = RowPoint(c.option, c.temperature, c.humidity);
        EXPECT_EQ(ZoneTest(by_dew).Contains(point), c.inside) << c.temperature << " C, dew " << c.humidity;
    }
}

TEST(DataZone, EdgesInOtherUnits)
{
    // 68 F is exactly 20 C on the scale, but the rows and the zone both come through the same conversion.
    DataSource source;
    source.inputs.selections[0] = 2; // F
    source.inputs.humidity_option = 2;
    source.temperature_column = "T";
    source.humidity_column = "H";
    DataRowCalculator calculator(source, { "T", "H" });
    const Zone zone { "Warm", { 68, 78.8, "F" }, {}, {}, ZoneRange { 0, 100, "%" } };
    for (const auto& [temperature, inside] :
        { std::pair { "68", true }, std::pair { "78.8", true }, std::pair { "67.99", false } }) {
        const DataPoint point = std::get<DataPoint>(calculator.Calculate({ temperature, "0" }));
        EXPECT_EQ(ZoneTest(zone).Contains(point), inside) << temperature;
    }
    const DataPoint saturated = std::get<DataPoint>(calculator.Calculate({ "70", "100" }));
    EXPECT_TRUE(ZoneTest(zone).Contains(saturated));
}

TEST(DataZone, ProblemsNameTheQuantityTheValueAndTheLimit)
{
    const std::pair<Zone, const char*> cases[] = {
        { Zone { "", { 20, 26, "C" }, {}, {}, {} }, "A zone needs a name" },
        { Zone { "Z", { 26, 20, "C" }, {}, {}, {} },
            "The zone \"Z\": the dry bulb's low end 26 C lies above its high end 20 C" },
        { Zone { "Z", { 20, 26, "X" }, {}, {}, {} },
            "The zone \"Z\": the dry bulb's unit \"X\" is not one of C, K, F, R" },
        { Zone { "Z", { 20, 26, "C" }, ZoneRange { 0, 5, "(g moisture)/(kg dry air)" },
              ZoneRange { 0, 5, "C" }, {} },
            "The zone \"Z\": give a humidity-ratio range or a dew-point range, not both" },
        { Zone { "Z", { 20, 26, "C" }, {}, {}, ZoneRange { 30, 100.5, "%" } },
            "The zone \"Z\": the relative humidity 100.5 % lies outside 0 to 100 %" },
        { Zone { "Z", { -300, 26, "C" }, {}, {}, {} },
            "The zone \"Z\": the dry bulb -300 C lies below absolute zero" },
    };
    for (const auto& [zone, message] : cases)
        EXPECT_EQ(ZoneProblem(zone).value_or("none"), message);
    // The ends of the ranges themselves are allowed.
    EXPECT_FALSE(ZoneProblem(Zone { "Z", { 20, 20, "C" }, {}, {}, ZoneRange { 0, 100, "%" } }));
}

TEST(DataZone, LegendTellsRowsOrHoursAndTheShare)
{
    EXPECT_EQ(ZoneLegend("Comfort", { 3112, 8760 }, true), "Comfort: 8,760 hours: 3,112 inside, 35.5 %");
    EXPECT_EQ(ZoneLegend("Z", { 7, 7 }, false), "Z: 7 rows: 7 inside, 100.0 %");
    EXPECT_EQ(ZoneLegend("Z", { 0, 0 }, false), "Z: 0 rows: 0 inside");
    const std::pair<long, const char*> numbers[]
        = { { 0, "0" }, { 999, "999" }, { 1000, "1,000" }, { 1234567, "1,234,567" }, { -1000, "-1,000" } };
    for (const auto& [value, text] : numbers)
        EXPECT_EQ(GroupedNumber(value), text);
}

TEST(DataRows, RefusalsAndMissingColumns)
{
    DataSource source;
    source.temperature_column = "T";
    source.humidity_column = "RH";
    EXPECT_EQ(
        DataRowCalculator(source, { "T", "H" }).error(), "No column \"RH\" in the file; its columns: T, H");
    source.humidity_column.clear();
    EXPECT_EQ(DataRowCalculator(source, { "T", "H" }).error(), "No column is chosen for the humidity");
    source.humidity_column = "H";
    DataRowCalculator calculator(source, { "T", "H" });
    EXPECT_EQ(
        std::get<std::string>(calculator.Calculate({ "20" })), "The row has 1 fields where the header has 2");
    EXPECT_EQ(std::get<std::string>(calculator.Calculate({ "20", "abc" })),
        "Relative Humidity 'abc' is not a number");
    // A refused row leaves nothing behind: the next row reads as if it came first.
    EXPECT_EQ(std::get<DataPoint>(calculator.Calculate({ "20", "50" })), RowPoint(2, "20", "50"));
}

TEST(DataCells, EveryRowIsCountedOnceAndTheFieldsTopEdgesBelongToTheLastCells)
{
    const ChartField field = PresetField(ChartRange::Normal); // -10..50 C, 0..30 g/kg
    // Dry bulbs as the calculation holds them, in single precision.
    const std::vector<DataPoint> points = {
        { 263.15f, 0, 0, 0 },                                                     // the lower left corner
        { 323.15f, 0.030, 0, 0 },                                                 // the upper right corner
        { 293.15f, 0.010, 0, 0 }, { 293.15f, 0.010, 0, 0 }, { 400, 0.010, 0, 0 }, // beyond the field
        { 293.15f, 0.031, 0, 0 },                                                 // above it
    };
    const DensityCells cells = BinPoints(points, field, ChartSystem::Metric);
    EXPECT_EQ(cells.t_step, 1);
    EXPECT_EQ(cells.w_step, 0.5);
    EXPECT_EQ(cells.columns, 60);
    EXPECT_EQ(cells.rows, 60);
    EXPECT_EQ(cells.outside, 2);
    EXPECT_EQ(cells.At(0, 0), 1u);
    EXPECT_EQ(cells.At(59, 59), 1u);
    EXPECT_EQ(cells.At(30, 20), 2u); // 20 C starts column 30, 10 g/kg row 20
    EXPECT_EQ(cells.most, 2u);
    long total = cells.outside;
    for (const std::uint32_t count : cells.counts)
        total += count;
    EXPECT_EQ(total, static_cast<long>(points.size()));
    const DensityCells british = BinPoints(points, field, ChartSystem::British);
    EXPECT_EQ(british.outside, 2);
}

TEST(DataLayer, PointsUpToTheLimitThenDensity)
{
    DataSet data;
    data.points.assign(kMostPlottedPoints, DataPoint { 293.15, 0.01, 0.5, 280 });
    data.rows = static_cast<long>(kMostPlottedPoints) + 3;
    data.refused = 3;
    const ChartSpec setup;
    ChartDataLayer layer = MakeDataLayer(&data, {}, setup);
    EXPECT_EQ(layer.points.size(), kMostPlottedPoints);
    EXPECT_FALSE(layer.cells);
    EXPECT_EQ(layer.summary, "5,003 rows, 3 refused");
    data.points.push_back(data.points.back());
    data.hourly = true;
    const Zone zone { "All", { 0, 30, "C" }, {}, {}, {} };
    layer = MakeDataLayer(&data, { zone }, setup);
    EXPECT_TRUE(layer.points.empty());
    ASSERT_TRUE(layer.cells);
    EXPECT_EQ(layer.cells->most, kMostPlottedPoints + 1);
    ASSERT_EQ(layer.zones.size(), 1u);
    EXPECT_EQ(layer.zones[0].legend, "All: 5,001 hours: 5,001 inside, 100.0 %");
    EXPECT_GT(layer.zones[0].outline.size(), 4u);
    // Zones alone: outlines with their names.
    EXPECT_EQ(MakeDataLayer(nullptr, { zone }, setup).zones[0].legend, "All");
}

} // namespace
} // namespace humidora::chart
