// The line families of the psychrometric chart, computed in physical units from the calculator's own
// relations: saturation and relative humidity from the saturation pressure of the chosen formulation and
// the humidity ratio of a vapour pressure (0.62198), wet bulb from the wet-bulb relation of the wet-bulb
// route, enthalpy and specific volume as the calculator's other properties, and the dry-bulb and
// humidity-ratio grid. Each line is clipped to the chart's field with its end points solved on the line
// itself, and sampled densely enough that no segment strays more than half a pixel from the true curve
// on a 1920 x 1200 picture of the field.
#pragma once

#include "chart/chart_field.h"
#include "core/properties.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace humidora::chart {

enum class LineFamily
{
    Saturation,
    RelativeHumidity,
    WetBulb,
    Enthalpy,
    SpecificVolume,
    DryBulb,
    HumidityRatio
};

/// "saturation", "relative_humidity", "wet_bulb", "enthalpy", "specific_volume", "dry_bulb",
/// "humidity_ratio".
std::string_view FamilyName(LineFamily family);

/// One line: its family, its label (value in unit, e.g. 50 "%", 20 "C", 50 "kJ/kg") and its points from
/// one end to the other. Saturation, relative-humidity and grid lines run left to right; wet-bulb,
/// enthalpy and volume lines start at their saturation end (the first point lies on the saturation
/// curve whenever that end is inside the field).
struct ChartLine
{
    LineFamily family = LineFamily::Saturation;
    double value = 0;
    std::string_view unit;
    std::vector<ChartPoint> points;
};

/// What a chart is drawn for.
struct ChartSpec
{
    double pressure_Pa = kSeaLevelPressurePa;
    SaturationMethod method = kIapws;
    ChartSystem system = ChartSystem::Metric;
    ChartField field = PresetField(ChartRange::Normal);

    bool operator==(const ChartSpec&) const = default;
};

struct ChartLines
{
    ChartSpec setup;
    std::vector<ChartLine> lines;
};

/// The picture size at which the sampling keeps every segment within kToleranceInPixels of its curve.
inline constexpr double kReferenceWidth = 1920;
inline constexpr double kReferenceHeight = 1200;
inline constexpr double kToleranceInPixels = 0.5;

/// Every line of the chart for setup, in the order saturation, relative humidity, wet bulb, enthalpy,
/// specific volume, dry-bulb grid, humidity-ratio grid; lines without a part in the field are left out.
/// The pressure must lie within the calculator's limits (5 kPa to 1 MPa) and the field be valid.
ChartLines ComputeChartLines(const ChartSpec& setup);

/// The step of the labelled values on an axis of span (in its unit): 1, 2 or 5 times a power of ten,
/// about a dozen labels across. The grid lines of the axis divide it. 0 for a span that is empty, negative
/// or not a finite number.
double LabelStep(double span);

/// The lines of the last few specs, so that a repaint, a keystroke or a return to an earlier zoom costs
/// no computation.
class ChartLineCache
{
public:
    std::shared_ptr<const ChartLines> Lines(const ChartSpec& setup);
    /// How many times lines were computed (not found).
    std::size_t computations() const { return computations_; }

private:
    static constexpr std::size_t kEntries = 8;
    std::vector<std::shared_ptr<const ChartLines>> entries_; ///< most recently used first
    std::size_t computations_ = 0;
};

} // namespace humidora::chart
