#include "chart/chart_lines.h"

#include "calc/points/air_process.h"
#include "calc/units/units.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>

namespace humidora::chart {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Humidity ratio of a line as a function of the dry bulb (K). +inf where the line has no state (the
// vapour pressure would reach the barometric pressure), which every test below reads as "outside".
using Relation = std::function<double(double)>;

// Spacing of the families whose steps the printed charts fix, in the axis units of each system.
struct FamilySteps
{
    double wet_bulb;
    double enthalpy;
    double specific_volume;
    std::string_view enthalpy_unit;
    std::string_view volume_unit;
    double enthalpy_per_kJ_kg; // shown enthalpy per kJ/kg (the same datum, 0 C, in both systems)
    double volume_per_m3_kg;   // shown volume per m^3/kg
};
// British enthalpy and volume in the calculator's units (both shown as the base value times the factor).
constexpr FamilySteps kMetricSteps { 5, 10, 0.05, "kJ/kg", "m^3/kg", 1, 1 };
const FamilySteps kBritishSteps { 5, 5, 0.5, "btu/lb", "ft^3/lb", kBritishEnthalpy.factor,
    kBritishSpecificVolume.factor };

// Grid lines: at most this many lines of dry bulb and of humidity ratio across the field (every degree
// and every g/kg on the normal field, as printed charts have them), and about a dozen labelled values.
constexpr double kMostDryBulbLines = 60;
constexpr double kMostHumidityRatioLines = 40;
constexpr double kMostLabels = 15;

// Subdivision: a segment is split while the curve at its middle lies more than this share of the
// tolerance from the chord, which leaves room for the part of the segment the middle does not see.
constexpr double kSplitShare = 0.5;
constexpr int kInitialPieces = 16;
constexpr int kDeepestSplit = 24;

// Bisection on the dry bulb stops at this width (K): far below a pixel at any zoom the domain allows.
constexpr double kBisectionWidthK = 1e-10;

// The end of the part of [inside, outside] where in(T) holds, given in(inside) and not in(outside); the
// returned T satisfies in(T), so a point solved on a line's relation lies on the line and in the field.
template <class Predicate> double Boundary(double inside, double outside, const Predicate& in)
{
    while (std::fabs(outside - inside) > kBisectionWidthK) {
        const double middle = (inside + outside) / 2;
        if (middle == inside || middle == outside)
            break;
        (in(middle) ? inside : outside) = middle;
    }
    return inside;
}

struct Interval
{
    double from, to;
};

// The calculator holds a dry bulb in single precision: every point of a line has a dry bulb that is a
// single-precision value, so that the state the calculator computes for it is the state on the line.
double SingleAtOrAbove(double T)
{
    const float single = NarrowToSingle(T);
    return single < T ? std::nextafter(single, std::numeric_limits<float>::infinity()) : single;
}
double SingleAtOrBelow(double T)
{
    const float single = NarrowToSingle(T);
    return single > T ? std::nextafter(single, -std::numeric_limits<float>::infinity()) : single;
}

// The part of [from, to] (within the field's dry bulbs) where a monotone line lies within the field's
// humidity ratios; nothing when the line misses the field.
std::optional<Interval> ClipToField(const Relation& W_of, double from, double to, const ChartField& field)
{
    from = std::max(from, field.t_min_K);
    to = std::min(to, field.t_max_K);
    if (!(from < to))
        return std::nullopt;
    const auto in = [&](double T) {
        const double W = W_of(T);
        return W >= field.w_min && W <= field.w_max;
    };
    const double W_from = W_of(from);
    const double W_to = W_of(to);
    const bool in_from = in(from);
    const bool in_to = in(to);
    double inside = from;
    if (!in_from && in_to) {
        inside = to;
    } else if (!in_from) {
        // Both ends outside: a monotone line crosses the field only from below to above (or back).
        const bool rising = W_from < field.w_min && W_to > field.w_max;
        const bool falling = W_from > field.w_max && W_to < field.w_min;
        if (!rising && !falling)
            return std::nullopt;
        const double middle_W = (field.w_min + field.w_max) / 2;
        inside
            = Boundary(rising ? from : to, rising ? to : from, [&](double T) { return W_of(T) <= middle_W; });
        if (!in(inside))
            return std::nullopt;
    }
    const Interval interval { SingleAtOrAbove(in_from ? from : Boundary(inside, from, in)),
        SingleAtOrBelow(in_to ? to : Boundary(inside, to, in)) };
    if (!(interval.from < interval.to))
        return std::nullopt;
    return interval;
}

// Samples a line between two dry bulbs so that, on the reference picture of the field, the polyline
// never strays more than the tolerance from the curve.
class Sampler
{
public:
    explicit Sampler(const ChartField& field)
        : kelvin_per_pixel_((field.t_max_K - field.t_min_K) / kReferenceWidth)
        , ratio_per_pixel_((field.w_max - field.w_min) / kReferenceHeight)
    {
    }

    std::vector<ChartPoint> Sample(const Relation& W_of, Interval interval) const
    {
        std::vector<ChartPoint> points;
        ChartPoint last { interval.from, W_of(interval.from) };
        points.push_back(last);
        for (int piece = 1; piece <= kInitialPieces; ++piece) {
            const double T = piece == kInitialPieces
                ? interval.to
                : NarrowToSingle(interval.from + (interval.to - interval.from) * piece / kInitialPieces);
            if (!(T > last.T_K))
                continue;
            const ChartPoint next { T, W_of(T) };
            Refine(W_of, last, next, 0, points);
            points.push_back(next);
            last = next;
        }
        return points;
    }

private:
    // Distance in pixels of m from the chord a-b.
    double Deviation(ChartPoint a, ChartPoint b, ChartPoint m) const
    {
        const double dx = (b.T_K - a.T_K) / kelvin_per_pixel_;
        const double dy = (b.W - a.W) / ratio_per_pixel_;
        const double ex = (m.T_K - a.T_K) / kelvin_per_pixel_;
        const double ey = (m.W - a.W) / ratio_per_pixel_;
        const double chord = std::hypot(dx, dy);
        return chord == 0 ? std::hypot(ex, ey) : std::fabs(dx * ey - dy * ex) / chord;
    }

    void Refine(
        const Relation& W_of, ChartPoint a, ChartPoint b, int depth, std::vector<ChartPoint>& out) const
    {
        const double T = NarrowToSingle((a.T_K + b.T_K) / 2);
        if (!(a.T_K < T && T < b.T_K))
            return;
        const ChartPoint m { T, W_of(T) };
        if (depth >= kDeepestSplit || !(Deviation(a, b, m) > kToleranceInPixels * kSplitShare))
            return;
        Refine(W_of, a, m, depth + 1, out);
        out.push_back(m);
        Refine(W_of, m, b, depth + 1, out);
    }

    double kelvin_per_pixel_;
    double ratio_per_pixel_;
};

// A step of 1, 2 or 5 times a power of ten that divides span into at most `most` parts; 0 for a span that
// is empty or not a finite number (an axis of one value has no steps, and the search would never end).
double NiceStep(double span, double most)
{
    if (!(span > 0 && std::isfinite(span) && most >= 1 && std::isfinite(most)))
        return 0;
    double step = std::pow(10.0, std::floor(std::log10(span / most)));
    if (!(step > 0)) // a span so small that its power of ten underflows
        return 0;
    for (;;) {
        for (const double multiple : { 1.0, 2.0, 5.0 }) {
            if (span / (step * multiple) <= most)
                return step * multiple;
        }
        step *= 10;
    }
}

// Multiples of step from low to high (both in the same unit), free of the round-off of k * step.
std::vector<double> Multiples(double low, double high, double step)
{
    std::vector<double> values;
    if (!(step > 0) || !std::isfinite(low) || !std::isfinite(high))
        return values;
    for (double k = std::ceil(low / step - 1e-9); k * step <= high + step * 1e-9; ++k)
        values.push_back(std::round(k * step * 1e9) / 1e9);
    return values;
}

class LineBuilder
{
public:
    explicit LineBuilder(const ChartSpec& setup)
        : spec_(setup)
        , field_(setup.field)
        , sampler_(setup.field)
        , steps_(setup.system == ChartSystem::Metric ? kMetricSteps : kBritishSteps)
        , t_end_(EndOfStates())
    {
    }

    ChartLines Build()
    {
        ChartLines result { spec_, {} };
        lines_ = &result.lines;
        Saturation();
        RelativeHumidity();
        WetBulb();
        Enthalpy();
        SpecificVolumes();
        DryBulbGrid();
        HumidityRatioGrid();
        return result;
    }

private:
    double P() const { return spec_.pressure_Pa; }

    // The calculator has no state where the saturation pressure reaches the barometric pressure (the
    // water would boil): every line ends at the field's right edge or at that dry bulb.
    double EndOfStates() const
    {
        const auto below = [this](double T) { return SaturationPressure(T, spec_.method) < P(); };
        if (below(field_.t_max_K))
            return field_.t_max_K;
        if (!below(field_.t_min_K))
            return field_.t_min_K;
        return Boundary(field_.t_min_K, field_.t_max_K, below);
    }

    // Humidity ratio at relative humidity phi (fraction), +inf where the vapour pressure reaches P.
    double AtRelativeHumidity(double T, double phi) const
    {
        return HumidityRatioAt(T, phi, { P(), spec_.method }).value_or(kInfinity);
    }

    void Add(LineFamily family, double value, std::string_view unit, const Relation& W_of,
        std::optional<Interval> interval)
    {
        if (!interval || !(interval->from < interval->to))
            return;
        lines_->push_back({ family, value, unit, sampler_.Sample(W_of, *interval) });
    }

    void AddStraight(LineFamily family, double value, std::string_view unit, ChartPoint a, ChartPoint b)
    {
        lines_->push_back({ family, value, unit, { a, b } });
    }

    // The dry bulb where a falling line meets the saturation curve (on its unsaturated side), or the
    // field's left edge when it lies under saturation there already; nothing when it stays above.
    std::optional<double> SaturationEnd(const Relation& W_of) const
    {
        const auto under = [&](double T) { return AtRelativeHumidity(T, 1) >= W_of(T); };
        if (under(field_.t_min_K))
            return field_.t_min_K;
        if (!under(t_end_))
            return std::nullopt;
        return Boundary(t_end_, field_.t_min_K, under);
    }

    void Saturation()
    {
        const Relation W_of = [this](double T) { return AtRelativeHumidity(T, 1); };
        Add(LineFamily::Saturation, 100, kPercent.key, W_of,
            ClipToField(W_of, field_.t_min_K, t_end_, field_));
    }

    void RelativeHumidity()
    {
        for (int percent = 10; percent <= 90; percent += 10) {
            const double phi = percent / 100.0;
            const Relation W_of = [this, phi](double T) { return AtRelativeHumidity(T, phi); };
            Add(LineFamily::RelativeHumidity, percent, kPercent.key, W_of,
                ClipToField(W_of, field_.t_min_K, t_end_, field_));
        }
    }

    void WetBulb()
    {
        // From the wet bulb of the field's driest, coldest corner up to its warmest dry bulb.
        const double lowest = WetBulbTemperature(field_.w_min, field_.t_min_K, P(), spec_.method);
        for (const double value : Multiples(DryBulbShown(lowest, spec_.system),
                 DryBulbShown(field_.t_max_K, spec_.system), steps_.wet_bulb)) {
            const double wet_bulb_K = DryBulbKelvin(value, spec_.system);
            if (!(SaturationPressure(wet_bulb_K, spec_.method) < P()))
                continue;
            // The line starts on the saturation curve, where dry and wet bulb are equal.
            const Relation W_of = [this, wet_bulb_K](double T) {
                return HumidityRatioFromWetBulb(wet_bulb_K, T, P(), spec_.method);
            };
            Add(LineFamily::WetBulb, value, DryBulbUnit(spec_.system), W_of,
                ClipToField(W_of, wet_bulb_K, t_end_, field_));
        }
    }

    // A falling family from its saturation end: enthalpy and specific volume.
    void FromSaturation(LineFamily family, double value, std::string_view unit, const Relation& W_of)
    {
        if (const auto start = SaturationEnd(W_of))
            Add(family, value, unit, W_of, ClipToField(W_of, *start, t_end_, field_));
    }

    void Enthalpy()
    {
        const double factor = steps_.enthalpy_per_kJ_kg;
        for (const double value : Multiples(MoistAirEnthalpy(field_.t_min_K, field_.w_min) * factor,
                 MoistAirEnthalpy(field_.t_max_K, field_.w_max) * factor, steps_.enthalpy)) {
            // The enthalpy relation, linear in the humidity ratio, solved for it.
            const double h = value / factor;
            FromSaturation(LineFamily::Enthalpy, value, steps_.enthalpy_unit, [h](double T) {
                const double dry = MoistAirEnthalpy(T, 0);
                return (h - dry) / (MoistAirEnthalpy(T, 1) - dry);
            });
        }
    }

    void SpecificVolumes()
    {
        const double factor = steps_.volume_per_m3_kg;
        for (const double value : Multiples(SpecificVolume(field_.t_min_K, field_.w_min, P()) * factor,
                 SpecificVolume(field_.t_max_K, field_.w_max, P()) * factor, steps_.specific_volume)) {
            // The specific-volume relation, linear in the humidity ratio, solved for it.
            const double v = value / factor;
            FromSaturation(LineFamily::SpecificVolume, value, steps_.volume_unit, [this, v](double T) {
                const double dry = SpecificVolume(T, 0, P());
                return (v - dry) / (SpecificVolume(T, 1, P()) - dry);
            });
        }
    }

    void DryBulbGrid()
    {
        const double low = DryBulbShown(field_.t_min_K, spec_.system);
        const double high = DryBulbShown(field_.t_max_K, spec_.system);
        for (const double value : Multiples(low, high, NiceStep(high - low, kMostDryBulbLines))) {
            const double T = std::clamp(DryBulbKelvin(value, spec_.system), field_.t_min_K, field_.t_max_K);
            if (T > t_end_)
                break;
            const double top = std::min(field_.w_max, AtRelativeHumidity(T, 1));
            if (top > field_.w_min)
                AddStraight(
                    LineFamily::DryBulb, value, DryBulbUnit(spec_.system), { T, field_.w_min }, { T, top });
        }
    }

    void HumidityRatioGrid()
    {
        const double low = HumidityRatioShown(field_.w_min, spec_.system);
        const double high = HumidityRatioShown(field_.w_max, spec_.system);
        for (const double value : Multiples(low, high, NiceStep(high - low, kMostHumidityRatioLines))) {
            const double W
                = std::clamp(HumidityRatioFromShown(value, spec_.system), field_.w_min, field_.w_max);
            const auto start = SaturationEnd([W](double) { return W; });
            if (start && *start < t_end_)
                AddStraight(LineFamily::HumidityRatio, value, HumidityRatioUnit(spec_.system), { *start, W },
                    { t_end_, W });
        }
    }

    const ChartSpec& spec_;
    const ChartField& field_;
    Sampler sampler_;
    const FamilySteps& steps_;
    const double t_end_; ///< the last dry bulb with states, K
    std::vector<ChartLine>* lines_ = nullptr;
};

} // namespace

std::string_view FamilyName(LineFamily family)
{
    static constexpr std::array<std::string_view, 7> kNames = { "saturation", "relative_humidity", "wet_bulb",
        "enthalpy", "specific_volume", "dry_bulb", "humidity_ratio" };
    return kNames[static_cast<std::size_t>(family)];
}

double LabelStep(double span)
{
    return NiceStep(span, kMostLabels);
}

ChartLines ComputeChartLines(const ChartSpec& setup)
{
    return LineBuilder(setup).Build();
}

std::shared_ptr<const ChartLines> ChartLineCache::Lines(const ChartSpec& setup)
{
    const auto found = std::find_if(entries_.begin(), entries_.end(),
        [&setup](const std::shared_ptr<const ChartLines>& entry) { return entry->setup == setup; });
    std::shared_ptr<const ChartLines> lines;
    if (found != entries_.end()) {
        lines = *found;
        entries_.erase(found);
    } else {
        lines = std::make_shared<const ChartLines>(ComputeChartLines(setup));
        ++computations_;
        if (entries_.size() == kEntries)
            entries_.pop_back();
    }
    entries_.insert(entries_.begin(), lines);
    return lines;
}

} // namespace humidora::chart
