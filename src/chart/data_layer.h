// Measured air on the chart: the rows of a logger's or a weather file, each computed by the main window's
// own calculation (so a row lands where the window would put the same inputs, with the digits of the
// batch command), drawn as points or, for many rows, as a density of rows per cell of the chart; and
// zones (a comfort or a design envelope) that count the rows inside them.
#pragma once

#include "calc/ambient/numeric_state.h"
#include "calc/document/chart_data.h"
#include "calc/windows/ambient_window.h"
#include "chart/chart_lines.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace humidora::chart {

using humidora::DataSource;
using humidora::Zone;
using humidora::ZoneRange;

/// A row as the chart places it and the zones test it, from the calculation's own record.
struct DataPoint
{
    double T_K = 0;   ///< dry bulb, the single-precision value the calculation holds
    double W = 0;     ///< humidity ratio, kg/kg
    double phi = 0;   ///< relative humidity, fraction
    double dew_K = 0; ///< dew point

    bool operator==(const DataPoint&) const = default;
};

/// The rows read: every row's point in file order, and how many the calculation refused.
struct DataSet
{
    std::vector<DataPoint> points;
    long rows = 0;    ///< data rows read (the header not counted)
    long refused = 0; ///< rows refused: wrong field count, or an input the calculation refuses
    /// The first few refusals, "row 12: <the window's sentence>", row numbers counting from the first
    /// data row as 1.
    std::vector<std::string> first_refusals;
    bool hourly = false;
};

/// The calculation of one row; each row starts from the same window, so a row's point depends on it
/// alone. Not shared between threads: each worker makes its own copy.
class DataRowCalculator
{
public:
    /// Finds the source's columns in header. Throws nothing; check error() before use.
    DataRowCalculator(const DataSource& source, const std::vector<std::string>& header);

    /// Empty when the columns were found, else the sentence naming the column that is missing and the
    /// file's columns.
    const std::string& error() const { return error_; }

    /// The row's point, or the reason the row is refused (the window's sentence).
    std::variant<DataPoint, std::string> Calculate(const std::vector<std::string>& row);

private:
    /// The row by the calculation on numbers; false when an input is not a number or the row is refused.
    bool Numbers(const std::vector<std::string>& row, DataPoint& point);

    struct Column
    {
        std::size_t index;
        ValueBox AmbientControls::*box;
    };
    std::vector<Column> columns_;
    // The calculation on numbers, for rows whose inputs are all numbers: the window's doubles without
    // forming texts. Temperature, pressure or altitude, humidity: a column, or the fixed text.
    std::optional<NumericCalculation> numeric_;
    std::array<int, 3> numeric_columns_ { -1, -1, -1 };
    std::array<std::optional<double>, 3> fixed_values_;
    NumericState numbers_;
    std::string field_;
    std::size_t fields_ = 0;
    bool decimal_comma_ = false;
    AmbientControls start_controls_, controls_;
    AmbientState start_state_, state_;
    std::string error_;
};

/// How many rows a data layer still draws as points; beyond, it draws their density.
inline constexpr std::size_t kMostPlottedPoints = 5000;

/// Rows counted in the cells of the chart's field. Cells are steps of the axis units (C or F, g/kg or
/// gr/lb) that divide the grid, about sixty across; a cell holds the rows from its lower edge up to
/// (not including) its upper edge, and the field's upper edges belong to the last cells.
struct DensityCells
{
    ChartSystem system = ChartSystem::Metric;
    double t_step = 1, w_step = 1;     ///< cell size in the axis units
    double t_origin = 0, w_origin = 0; ///< the lower edges of the first column and row, in the axis units
    int columns = 0, rows = 0;
    std::vector<std::uint32_t> counts; ///< row-major from the lowest humidity ratio
    long outside = 0;                  ///< rows outside the field
    std::uint32_t most = 0;            ///< the largest count of a cell

    std::uint32_t At(int column, int row) const
    {
        return counts[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns)
            + static_cast<std::size_t>(column)];
    }
};
DensityCells BinPoints(std::span<const DataPoint> points, const ChartField& field, ChartSystem system);

/// Why a zone cannot be used (no name, an unknown unit, an end that is not a number, a low end above the
/// high end, a humidity ratio and a dew point both given, a relative humidity outside 0..100 %), naming the
/// quantity, the value and the limit; nothing when it is sound.
std::optional<std::string> ZoneProblem(const Zone& zone);

/// A zone from its text "name=Comfort,temperature=20:26,relative-humidity=30:60": ranges LOW:HIGH in the
/// unit of the quantity's list in inputs, or LOW:HIGH:UNIT; a sound zone, or what is wrong with the text.
std::variant<Zone, std::string> ParseZone(std::string_view text, const AmbientInputs& inputs);
/// The text ParseZone reads back to zone, every range with its unit.
std::string ZoneText(const Zone& zone);

/// The zone's edges in the calculation's units, converted as the calculation converts a typed input, so
/// that a row typed exactly on an edge compares equal to it.
class ZoneTest
{
public:
    /// zone must be sound (ZoneProblem gives nothing).
    explicit ZoneTest(const Zone& zone);
    bool Contains(const DataPoint& point) const;

private:
    double t_low_K_, t_high_K_;
    double w_low_, w_high_;
    double dew_low_K_, dew_high_K_;
    double phi_low_, phi_high_;
    bool dew_point_ = false; ///< the zone has a dew-point range (a row's dew point is tested only then)
};

struct ZoneCount
{
    long inside = 0;
    long total = 0;
};
ZoneCount CountZone(const Zone& zone, std::span<const DataPoint> points);

/// "Comfort: 8,760 hours: 3,112 inside, 35.5 %": the zone's name, the accepted rows ("hours" when each
/// row is an hour, else "rows"), those inside and their share with one decimal (none of no rows).
std::string ZoneLegend(const std::string& name, const ZoneCount& count, bool hourly);

/// A whole number with a comma between thousands: 8,760.
std::string GroupedNumber(long value);

/// The zone's outline on a chart of setup: the dry-bulb range closed below and above by its humidity
/// ratio, dew point and relative-humidity edges and by the saturation curve, from the lower left round.
std::vector<ChartPoint> ZoneOutline(const Zone& zone, const ChartSpec& setup);

/// What a picture of the chart draws of the data: the points or the cells, the zones' outlines with
/// their legends, and one line of text about the rows.
struct ChartDataLayer
{
    std::vector<ChartPoint> points;    ///< when drawn as points
    std::optional<DensityCells> cells; ///< when drawn as a density
    struct ZoneView
    {
        std::string name;
        std::vector<ChartPoint> outline;
        std::string legend;
    };
    std::vector<ZoneView> zones;
    std::string summary; ///< "8,760 hours, 2 refused" and the like; empty without data
    bool hourly = false;
};

/// The layer of data and zones for a chart of setup: points up to kMostPlottedPoints rows, else cells.
/// Without data (zones alone) the zones' legends are their names.
ChartDataLayer MakeDataLayer(const DataSet* data, const std::vector<Zone>& zones, const ChartSpec& setup);

/// The layer as the member "data" of the chart's JSON (without braces round it): the counts, the cells
/// with their counts and the zones with theirs.
std::string DataLayerJson(
    const DataSet& data, const std::vector<Zone>& zones, const ChartDataLayer& layer, const ChartSpec& setup);

} // namespace humidora::chart
