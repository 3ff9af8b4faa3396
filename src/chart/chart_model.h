// The psychrometric chart as one toolkit-free object: it follows the main window (pressure, formulation,
// unit system, the state as a marker), keeps the field the user looks at (preset, zoom, pan), hands the
// cached lines and the overlay to whatever draws them, and turns a point of the chart back into a state
// through the calculator itself, so that a read-out or a click shows exactly the main window's digits.
#pragma once

#include "calc/windows/ambient_window.h"
#include "chart/chart_field.h"
#include "chart/chart_lines.h"
#include "chart/data_layer.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace humidora::chart {

/// A labelled point drawn over the chart (a state of a process), in physical units, with the outline of
/// its 95 % region of dry bulb and humidity ratio when it carries uncertainties (else empty).
struct OverlayPoint
{
    std::string label;
    ChartPoint point;
    std::vector<ChartPoint> region;
};

/// An arrow from one overlay point to another (indices into ChartOverlay::points), with an optional label
/// drawn at its middle.
struct OverlayArrow
{
    std::size_t from = 0, to = 0;
    std::string label;
};

/// A dashed line that a process draws to a state it is built on (a coil's line on to its apparatus dew
/// point), labelled at its last point.
struct OverlayGuide
{
    std::vector<ChartPoint> points;
    std::string label;
};

/// What other tools draw over the chart: every picture of the chart (window, PNG, SVG, PDF, report)
/// draws it the same way. Arrows whose ends are not points of the overlay are not drawn.
struct ChartOverlay
{
    std::vector<OverlayPoint> points;
    std::vector<OverlayArrow> arrows;
    std::vector<OverlayGuide> guides;

    bool empty() const { return points.empty() && arrows.empty() && guides.empty(); }
};

/// The points of a region's outline drawn by the pictures.
inline constexpr int kRegionSegments = 72;

/// The outline of the 95 % region of dry bulb (K) and humidity ratio (kg/kg) about `centre` whose
/// covariance is var_T (K^2), var_W and cov_TW: `segments` points of the ellipse of CoverageEllipse,
/// counterclockwise; empty when neither quantity is uncertain or the covariance is not finite.
std::vector<ChartPoint> RegionOutline(
    ChartPoint centre, double var_T, double var_W, double cov_TW, int segments = kRegionSegments);

/// The region about `centre` (a window's state) from that state's uncertainty, whose covariance is in the
/// units `controls` show: empty when the uncertainty is off, refused or not computed for the dry bulb or
/// the humidity ratio.
std::vector<ChartPoint> StateRegion(
    ChartPoint centre, const UncertaintyResult& result, const AmbientControls& controls);

/// Where the plot rectangle lies in a picture of a given size, leaving room for the title, the axis
/// scales and the labels, and how large the picture's texts and marks are drawn (1 for a window-sized
/// picture, more for a large export).
struct ChartLayout
{
    PixelRect plot;
    double scale = 1;
};
ChartLayout LayoutFor(double width, double height);

/// Everything a picture of the chart shows.
struct ChartPicture
{
    std::shared_ptr<const ChartLines> lines;
    std::optional<ChartPoint> marker;
    std::vector<ChartPoint> marker_region; ///< the 95 % region of the marker's state, when known
    ChartOverlay overlay;
    std::shared_ptr<const ChartDataLayer> data; ///< measured rows and zones, when there are any
    std::string title;                          ///< "Psychrometric Chart"
    std::string subtitle;                       ///< pressure and formulation
    std::string legend;                         ///< units and the datum of the enthalpy
};

/// One quantity of a read-out: the main window's box and unit list texts for it.
struct ReadoutValue
{
    std::string key;  ///< quantity key of the main window (kQuantities), e.g. "relative_humidity"
    std::string text; ///< the box's text
    std::string unit; ///< the unit list's text
};

/// The state under a point of the chart, as the main window would show it after a click there.
struct ChartReadout
{
    bool accepted = false;       ///< the calculator accepts the point: a click would set it
    bool supersaturated = false; ///< the point lies above the saturation curve
    std::string reason;          ///< why the point is refused, in whole words; empty when accepted
    /// Dry bulb, humidity ratio, relative humidity, wet bulb, dew point, enthalpy and specific volume
    /// (only dry bulb and humidity ratio when refused).
    std::vector<ReadoutValue> values;
    /// The main window's inputs with the dry bulb in Text1 and the humidity ratio in Text3 ("Humidity
    /// Ratio" selected), both in the selected units: what a click sets.
    AmbientInputs inputs;
};

class ChartModel
{
public:
    ChartModel();

    /// Takes the main window's formulation, unit system (a Customized one reads by its temperature unit:
    /// F or R British, else Metric), pressure and state. The pressure is taken when the last
    /// calculation accepted it (a refused pressure leaves the chart at the last accepted one); the
    /// marker shows the state when the calculation was accepted, else there is none, with the 95 % region
    /// of its dry bulb and humidity ratio while the window's measurement uncertainty is on.
    void Follow(const AmbientWindow& window);

    /// The field: a preset, or any valid field (zoom, pan, the command line's ranges).
    void SetRange(ChartRange range);
    bool SetField(const ChartField& field);
    /// The preset the view started from; the field is that preset's unless zoomed or panned.
    ChartRange range() const { return range_; }
    const ChartField& field() const { return field_; }
    /// Back to the field of the preset.
    void ResetView();
    /// Zooms by factor (< 1 in) about the point under pixel, which stays where it is.
    void ZoomAt(const ChartAxes& axes, PixelPoint pixel, double factor);
    /// Moves the field so that what lay under `from` comes under `to`.
    void Pan(const ChartAxes& axes, PixelPoint from, PixelPoint to);

    ChartSpec setup() const;
    /// The lines of the current setup, from the cache when drawn before.
    std::shared_ptr<const ChartLines> lines();
    const ChartLineCache& cache() const { return cache_; }
    std::optional<ChartPoint> marker() const { return marker_; }
    /// The 95 % region about the marker while the window's uncertainty is on (else empty).
    const std::vector<ChartPoint>& marker_region() const { return marker_region_; }

    /// The rows plotted (null for none) and the zones: every picture draws them as the data layer.
    void SetData(std::shared_ptr<const DataSet> rows, std::vector<Zone> zones);
    const std::shared_ptr<const DataSet>& rows() const { return rows_; }
    const std::vector<Zone>& zones() const { return zones_; }

    ChartOverlay& overlay() { return overlay_; }
    const ChartOverlay& overlay() const { return overlay_; }

    ChartPicture Picture();

    /// The state under point, with the dry bulb and the humidity ratio written to the finest digits that
    /// one pixel of `axes` resolves (at most those the window shows).
    ChartReadout ReadoutAt(const ChartAxes& axes, ChartPoint point);
    /// The same with the two texts given, as the user would type them into Text1 and Text3.
    ChartReadout ReadoutFor(const std::string& dry_bulb_text, const std::string& humidity_ratio_text);

    /// True when pixel lies within grabbing distance of the marker.
    bool HitsMarker(const ChartAxes& axes, PixelPoint pixel, double scale) const;

private:
    ChartLineCache cache_;
    ChartRange range_ = ChartRange::Normal;
    ChartField field_;
    double pressure_Pa_ = kSeaLevelPressurePa;
    SaturationMethod method_ = kIapws;
    ChartSystem system_ = ChartSystem::Metric;
    std::string pressure_text_ = "101.325 kPa";
    std::optional<ChartPoint> marker_;
    std::vector<ChartPoint> marker_region_;
    ChartOverlay overlay_;
    std::shared_ptr<const DataSet> rows_;
    std::vector<Zone> zones_;
    /// The data layer of the last setup it was made for: a repaint does not count the rows again.
    mutable std::shared_ptr<const ChartDataLayer> layer_;
    mutable ChartSpec layer_setup_;
    AmbientInputs inputs_;
    std::unique_ptr<AmbientWindow> probe_; ///< the calculator behind read-outs
};

/// The dry bulb typed in a temperature unit of the main window ("C", "K", "F", "R") for temperature_K,
/// and the humidity ratio in a unit of Combo6, with `decimals` decimals; nothing for another unit.
std::optional<std::string> TemperatureText(double temperature_K, const std::string& unit, int decimals);
std::optional<std::string> HumidityRatioText(double W, const std::string& unit, int decimals);

} // namespace humidora::chart
