// Where the overlay's texts go: each label of a point, a process or a guide is tried at a few places around
// its anchor and put at the first where it covers no label placed before it and no dot of a state; the
// pictures then draw every text at the place found here, so that "mix" never hides "RA". Sizes come from
// the painter's font metrics through a measuring function, so the placing itself needs no toolkit.
#pragma once

#include "chart/chart_model.h"

#include <functional>
#include <string>
#include <vector>

namespace humidora::chart {

/// A rectangle of a picture in pixels (y grows downwards).
struct LabelRect
{
    double left = 0, top = 0, width = 0, height = 0;

    double right() const { return left + width; }
    double bottom() const { return top + height; }
    /// The area the two rectangles share (0 when they only touch).
    double Overlap(const LabelRect& other) const;
};

/// Places rectangles one after another, each clear of those placed or blocked before it and inside the
/// bounds. The candidates lie around the anchor at growing distances, in a fixed order of preference;
/// when every candidate is covered the one covering least is taken, so that no label is ever dropped.
class LabelPlacer
{
public:
    explicit LabelPlacer(PixelRect bounds);

    /// Keeps later labels off `rect` (a dot, the marker).
    void Block(const LabelRect& rect);
    /// A label of width x height near `anchor`, `gap` pixels from it: above right first, then the other
    /// corners, then above, below and beside it; with `centred`, centred on the anchor before all of them
    /// (a label written over its line).
    LabelRect Place(PixelPoint anchor, double width, double height, double gap, bool centred = false);

    const std::vector<LabelRect>& taken() const { return taken_; }

private:
    double Cover(const LabelRect& rect) const;
    bool Inside(const LabelRect& rect) const;

    PixelRect bounds_;
    std::vector<LabelRect> taken_;
};

/// What a label names, for its font.
enum class LabelKind
{
    Point,   ///< a state point's name
    Process, ///< a process's kind on its arrow
    Guide,   ///< the end of a guide line ("ADP")
};

/// The width and height in pixels of a text in the font of its kind.
struct LabelSize
{
    double width = 0, height = 0;
};
using LabelMeasure = std::function<LabelSize(const std::string& text, LabelKind kind)>;

/// The places of the overlay's labels in a picture whose axes are `axes` and whose texts and marks are
/// drawn at `scale`: one rectangle per point, arrow and guide (an empty one where the label is empty or
/// its anchor lies outside the plot). The dots of the points and of `marker` are kept clear; points are
/// placed first, then guides, then processes.
struct OverlayLabels
{
    std::vector<LabelRect> points, arrows, guides;
};
OverlayLabels PlaceOverlayLabels(const ChartOverlay& overlay, const std::optional<ChartPoint>& marker,
    const ChartAxes& axes, double scale, const LabelMeasure& measure);

/// The radius in pixels at scale 1 of a point's dot and of the state marker's outer ring, as drawn.
inline constexpr double kPointDotRadius = 4.5;
inline constexpr double kMarkerRingRadius = 9;

} // namespace humidora::chart
