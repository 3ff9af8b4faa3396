// The field of a psychrometric chart: the unit system of its axes, the rectangle of dry bulb and
// humidity ratio it shows (its presets, zoom and pan), and the mapping between that rectangle and the
// pixels of a picture. Physical values are SI throughout: dry bulb in K, humidity ratio in kg/kg.
#pragma once

#include <optional>
#include <string_view>

namespace humidora::chart {

/// The axes' units: Metric reads dry bulb in C and humidity ratio in g/kg, British in F and in grains
/// per pound (7000 grains to the pound).
enum class ChartSystem
{
    Metric,
    British
};

/// Dry bulb (K) in the axis unit of the system (C or F), and back.
double DryBulbShown(double temperature_K, ChartSystem system);
double DryBulbKelvin(double shown, ChartSystem system);
/// Humidity ratio (kg/kg) in the axis unit of the system (g/kg or gr/lb), and back.
double HumidityRatioShown(double W, ChartSystem system);
double HumidityRatioFromShown(double shown, ChartSystem system);
/// The axis units as the chart labels them: "C" / "F" and "g/kg" / "gr/lb".
std::string_view DryBulbUnit(ChartSystem system);
std::string_view HumidityRatioUnit(ChartSystem system);

/// The rectangle of the chart: dry bulb t_min_K..t_max_K (K), humidity ratio w_min..w_max (kg/kg).
struct ChartField
{
    double t_min_K = 0, t_max_K = 0;
    double w_min = 0, w_max = 0;

    bool operator==(const ChartField&) const = default;
};

/// The preset fields. Normal is the field of the common printed chart (-10..50 C, 0..30 g/kg); Low the
/// cold one (-40..10 C, 0..10 g/kg) whose saturation curve is the ice branch below 0 C; High the hot one
/// (10..100 C, 0..150 g/kg), whose saturation curve leaves the field where the vapour pressure nears the
/// barometric pressure. A preset is the same field in both systems.
enum class ChartRange
{
    Normal,
    Low,
    High
};
ChartField PresetField(ChartRange range);
/// "normal", "low", "high".
std::string_view RangeName(ChartRange range);
std::optional<ChartRange> RangeFromName(std::string_view name);

/// The largest field a chart may show: the calculator's temperatures (-100..100 C) and humidity ratios
/// up to 1 kg/kg. The smallest spans keep a zoomed chart well above the round-off of its relations.
inline constexpr ChartField kDomain { 173.15, 373.15, 0, 1 };
inline constexpr double kMinimumDryBulbSpanK = 0.5;
inline constexpr double kMinimumHumidityRatioSpan = 1e-5;

/// True when field is ordered, inside the domain and at least the smallest spans wide.
bool IsValidField(const ChartField& field);

/// field scaled by factor (< 1 zooms in) about the point (temperature_K, W), which stays where it is;
/// then moved and, when needed, shrunk to lie inside the domain with at least the smallest spans.
ChartField Zoomed(const ChartField& field, double temperature_K, double W, double factor);
/// field moved by (dT_K, dW), stopping at the edges of the domain.
ChartField Panned(const ChartField& field, double dT_K, double dW);

/// A rectangle of a picture in pixels (y grows downwards).
struct PixelRect
{
    double left = 0, top = 0, width = 0, height = 0;
};

struct PixelPoint
{
    double x = 0, y = 0;
};

/// A point of the physical plane: dry bulb (K) and humidity ratio (kg/kg).
struct ChartPoint
{
    double T_K = 0;
    double W = 0;

    bool operator==(const ChartPoint&) const = default;
};

/// The first preset (Normal, Low, High) whose field holds point; Normal when none does.
ChartRange RangeHolding(ChartPoint point);

/// The linear mapping of the field onto the plot rectangle of a picture: dry bulb to the right, humidity
/// ratio upwards.
class ChartAxes
{
public:
    ChartAxes(const ChartField& field, const PixelRect& plot);

    PixelPoint ToPixel(ChartPoint point) const;
    ChartPoint FromPixel(PixelPoint pixel) const;
    /// True when the pixel lies inside the plot rectangle (edges included).
    bool Contains(PixelPoint pixel) const;

    const ChartField& field() const { return field_; }
    const PixelRect& plot() const { return plot_; }
    /// Size of one pixel in K and in kg/kg.
    double KelvinPerPixel() const;
    double HumidityRatioPerPixel() const;

private:
    ChartField field_;
    PixelRect plot_;
};

} // namespace humidora::chart
