#include "chart/chart_model.h"

#include "calc/ambient/input_limits.h"
#include "calc/units/number_text.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace humidora::chart {
namespace {

// The finest decimals with which the window shows each unit; a click never types more.
constexpr int kTemperatureDecimals = 3;

// Margins of a picture at scale 1, in pixels: the title above, the dry-bulb scale and the legend below,
// the humidity-ratio scale on the right (where the printed charts have it).
constexpr double kLeftMargin = 28, kTopMargin = 52, kRightMargin = 80, kBottomMargin = 74;
// The picture size at which the scale is 1, and the largest scale.
constexpr double kScaleWidth = 1000, kScaleHeight = 720, kLargestScale = 4;
constexpr double kMarkerGrabRadius = 8;

// The seven quantities of a read-out, in the order of a printed chart's legend.
constexpr std::string_view kReadoutKeys[] = { "temperature", "humidity_ratio", "relative_humidity",
    "wet_bulb", "dew_point", "enthalpy", "specific_volume" };

const QuantityControls* QuantityOf(std::string_view key)
{
    for (const QuantityControls& quantity : kQuantities) {
        if (quantity.key == key)
            return &quantity;
    }
    return nullptr;
}

ReadoutValue ValueOf(const AmbientControls& controls, std::string_view key)
{
    const QuantityControls* quantity = QuantityOf(key);
    return { std::string(key), (controls.*(quantity->box)).text, (controls.*(quantity->list)).text() };
}

bool IsRefused(const AmbientControls& controls)
{
    return controls.List1.background == Background::Red;
}

// Decimals that resolve one pixel of `per_pixel` (in the unit), at most `most`.
int DecimalsFor(double per_pixel, int most)
{
    if (!(per_pixel > 0))
        return most;
    return std::clamp(static_cast<int>(std::ceil(-std::log10(per_pixel))), 0, most);
}

// The item of a humidity-ratio unit; the list's first for another text.
UnitItem HumidityRatioItem(const std::string& unit)
{
    return FindUnit(kHumidityRatioUnits, unit).value_or(kHumidityRatioUnits[0]);
}

int HumidityRatioDecimals(const std::string& unit)
{
    return HumidityRatioItem(unit).decimals;
}

double HumidityRatioPerUnit(const std::string& unit)
{
    return HumidityRatioItem(unit).ToBase(1);
}

double KelvinPerUnit(const std::string& unit)
{
    const std::optional<UnitItem> item = FindUnit(kTemperatureUnits, unit);
    return item ? item->factor : 1;
}

} // namespace

std::vector<ChartPoint> RegionOutline(
    ChartPoint centre, double var_T, double var_W, double cov_TW, int segments)
{
    if (!(std::isfinite(var_T) && std::isfinite(var_W) && std::isfinite(cov_TW)) || var_T < 0 || var_W < 0
        || (var_T == 0 && var_W == 0) || segments < 3)
        return {};
    // The ellipse is formed in units of each quantity's standard uncertainty, where both axes are of one
    // size (a kelvin and a kilogram per kilogram differ by a factor of a thousand), then scaled back: the
    // region of a quadratic form is the same in any linear coordinates.
    const double s_T = std::sqrt(var_T), s_W = std::sqrt(var_W);
    const double rho = var_T > 0 && var_W > 0 ? std::clamp(cov_TW / (s_T * s_W), -1.0, 1.0) : 0;
    const UncertaintyEllipse e = CoverageEllipse(0, 0, var_T > 0 ? 1 : 0, var_W > 0 ? 1 : 0, rho);
    const double cos_angle = std::cos(e.angle), sin_angle = std::sin(e.angle);
    std::vector<ChartPoint> outline;
    outline.reserve(static_cast<std::size_t>(segments));
    for (int i = 0; i < segments; ++i) {
        const double t = 2 * std::numbers::pi * i / segments;
        const double u = e.a * std::cos(t) * cos_angle - e.b * std::sin(t) * sin_angle;
        const double v = e.a * std::cos(t) * sin_angle + e.b * std::sin(t) * cos_angle;
        outline.push_back({ centre.T_K + s_T * u, centre.W + s_W * v });
    }
    return outline;
}

std::vector<ChartPoint> StateRegion(
    ChartPoint centre, const UncertaintyResult& result, const AmbientControls& controls)
{
    if (!result.ok)
        return {};
    std::size_t t_row = kQuantities.size(), w_row = kQuantities.size();
    for (std::size_t row = 0; row < kQuantities.size(); ++row) {
        if (kQuantities[row].key == std::string_view("temperature"))
            t_row = row;
        else if (kQuantities[row].key == std::string_view("humidity_ratio"))
            w_row = row;
    }
    if (t_row == kQuantities.size() || w_row == kQuantities.size() || !result.quantities[t_row].computed
        || !result.quantities[w_row].computed)
        return {};
    // The covariance is in the units shown: a temperature difference in C, K, F or R and a humidity ratio
    // in any unit of its list, turned into kelvin and kg/kg.
    const double k_T = KelvinPerUnit(controls.Combo1.text());
    const double k_W = HumidityRatioPerUnit(controls.Combo6.text());
    return RegionOutline(centre, result.covariance[t_row][t_row] * k_T * k_T,
        result.covariance[w_row][w_row] * k_W * k_W, result.covariance[t_row][w_row] * k_T * k_W);
}

ChartLayout LayoutFor(double width, double height)
{
    const double scale = std::clamp(std::min(width / kScaleWidth, height / kScaleHeight), 1.0, kLargestScale);
    ChartLayout layout;
    layout.scale = scale;
    layout.plot.left = kLeftMargin * scale;
    layout.plot.top = kTopMargin * scale;
    layout.plot.width = std::max(1.0, width - (kLeftMargin + kRightMargin) * scale);
    layout.plot.height = std::max(1.0, height - (kTopMargin + kBottomMargin) * scale);
    return layout;
}

std::optional<std::string> TemperatureText(double temperature_K, const std::string& unit, int decimals)
{
    const std::optional<double> shown = TemperatureFromKelvin(unit, temperature_K);
    if (!shown)
        return std::nullopt;
    return NumberText(*shown, decimals);
}

std::optional<std::string> HumidityRatioText(double W, const std::string& unit, int decimals)
{
    if (!FindUnit(kHumidityRatioUnits, unit))
        return std::nullopt;
    return NumberText(W / HumidityRatioPerUnit(unit), decimals);
}

ChartModel::ChartModel()
    : field_(PresetField(range_))
    , probe_(std::make_unique<AmbientWindow>())
{
}

void ChartModel::Follow(const AmbientWindow& window)
{
    const AmbientControls& c = window.controls();
    method_ = c.menu_HW ? kHylandWexler : kIapws;
    const bool british_temperature = Is(c.Combo1.text(), kFahrenheit) || Is(c.Combo1.text(), kRankine);
    system_ = c.menu_british || (c.menu_customized && british_temperature) ? ChartSystem::British
                                                                           : ChartSystem::Metric;
    // The pressure phase ran and accepted its input when neither the temperature (read before it) nor
    // the pressure or altitude box is refused.
    const ValueBox& pressure_box = c.Option9 ? c.Text10 : c.Text2;
    if (c.Text1.background != Background::Red && pressure_box.background != Background::Red) {
        pressure_Pa_ = window.state().pressure;
        pressure_text_ = c.Text2.text + " " + c.Combo2.text();
    }
    marker_region_.clear();
    if (IsRefused(c)) {
        marker_.reset();
    } else {
        marker_ = ChartPoint { window.state().temperature, window.state().humidity_ratio };
        marker_region_ = StateRegion(*marker_, window.uncertaintyResult(), c);
    }
    inputs_ = window.CurrentInputs();
}

void ChartModel::SetRange(ChartRange range)
{
    range_ = range;
    field_ = PresetField(range);
}

bool ChartModel::SetField(const ChartField& field)
{
    if (!IsValidField(field))
        return false;
    field_ = field;
    return true;
}

void ChartModel::ResetView()
{
    field_ = PresetField(range_);
}

void ChartModel::ZoomAt(const ChartAxes& axes, PixelPoint pixel, double factor)
{
    const ChartPoint at = axes.FromPixel(pixel);
    field_ = Zoomed(field_, at.T_K, at.W, factor);
}

void ChartModel::Pan(const ChartAxes& axes, PixelPoint from, PixelPoint to)
{
    const ChartPoint a = axes.FromPixel(from);
    const ChartPoint b = axes.FromPixel(to);
    field_ = Panned(field_, a.T_K - b.T_K, a.W - b.W);
}

ChartSpec ChartModel::setup() const
{
    return { pressure_Pa_, method_, system_, field_ };
}

std::shared_ptr<const ChartLines> ChartModel::lines()
{
    return cache_.Lines(setup());
}

void ChartModel::SetData(std::shared_ptr<const DataSet> rows, std::vector<Zone> zones)
{
    rows_ = std::move(rows);
    zones_ = std::move(zones);
    layer_.reset();
}

ChartPicture ChartModel::Picture()
{
    ChartPicture picture;
    picture.lines = lines();
    if (rows_ || !zones_.empty()) {
        if (!layer_ || !(layer_setup_ == picture.lines->setup)) {
            layer_ = std::make_shared<const ChartDataLayer>(
                MakeDataLayer(rows_.get(), zones_, picture.lines->setup));
            layer_setup_ = picture.lines->setup;
        }
        picture.data = layer_;
    }
    picture.marker = marker_;
    picture.marker_region = marker_region_;
    picture.overlay = overlay_;
    picture.title = "Psychrometric Chart";
    picture.subtitle = "Barometric pressure " + pressure_text_ + ", saturation by "
        + (method_ == kIapws ? "IAPWS" : "Hyland-Wexler");
    picture.legend = system_ == ChartSystem::Metric
        ? "Dry bulb and wet bulb in C, humidity ratio in g of water per kg of dry air, enthalpy in kJ/kg and "
          "volume in m^3/kg of dry air; enthalpy zero for dry air and liquid water at 0 C."
        : "Dry bulb and wet bulb in F, humidity ratio in grains of water per lb of dry air (7000 grains = 1 "
          "lb), enthalpy in btu/lb and volume in ft^3/lb of dry air; enthalpy zero for dry air and liquid "
          "water at 32 F (0 C), as in the calculator.";
    return picture;
}

ChartReadout ChartModel::ReadoutAt(const ChartAxes& axes, ChartPoint point)
{
    const AmbientControls& c = probe_->controls();
    const std::string temperature_unit = inputs_.selections[0] >= 0
        ? c.Combo1.items[static_cast<std::size_t>(inputs_.selections[0])]
        : std::string(kCelsius.key);
    const std::string ratio_unit = inputs_.selections[5] >= 0
        ? c.Combo6.items[static_cast<std::size_t>(inputs_.selections[5])]
        : std::string(kHumidityRatioUnits[0].key);
    const int temperature_decimals
        = DecimalsFor(axes.KelvinPerPixel() / KelvinPerUnit(temperature_unit), kTemperatureDecimals);
    const int ratio_decimals = DecimalsFor(
        axes.HumidityRatioPerPixel() / HumidityRatioPerUnit(ratio_unit), HumidityRatioDecimals(ratio_unit));
    return ReadoutFor(TemperatureText(point.T_K, temperature_unit, temperature_decimals).value_or("Error"),
        HumidityRatioText(point.W, ratio_unit, ratio_decimals).value_or("Error"));
}

ChartReadout ChartModel::ReadoutFor(const std::string& dry_bulb_text, const std::string& humidity_ratio_text)
{
    ChartReadout readout;
    readout.inputs = inputs_;
    readout.inputs.humidity_option = 1;
    readout.inputs.humidity = humidity_ratio_text;
    readout.inputs.temperature = dry_bulb_text;
    probe_->RestoreInputs(readout.inputs);
    const AmbientControls& c = probe_->controls();
    readout.accepted = !IsRefused(c);
    if (readout.accepted) {
        for (const std::string_view key : kReadoutKeys)
            readout.values.push_back(ValueOf(c, key));
        return readout;
    }
    readout.values = { ValueOf(c, "temperature"), ValueOf(c, "humidity_ratio") };
    // Above its maximum the humidity ratio is more than the air holds at that dry bulb.
    const std::optional<Refusal>& refusal = probe_->refusal();
    readout.supersaturated
        = refusal && refusal->quantity == "humidity_ratio" && refusal->reason == RefusalReason::AboveMaximum;
    if (readout.supersaturated)
        readout.reason = "supersaturated: more water than the air holds at this dry bulb";
    else if (refusal)
        readout.reason = RefusalSentence(*refusal);
    return readout;
}

bool ChartModel::HitsMarker(const ChartAxes& axes, PixelPoint pixel, double scale) const
{
    if (!marker_)
        return false;
    const PixelPoint at = axes.ToPixel(*marker_);
    return std::hypot(at.x - pixel.x, at.y - pixel.y) <= kMarkerGrabRadius * scale;
}

} // namespace humidora::chart
