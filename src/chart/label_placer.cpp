#include "chart/label_placer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace humidora::chart {

double LabelRect::Overlap(const LabelRect& other) const
{
    const double w = std::min(right(), other.right()) - std::max(left, other.left);
    const double h = std::min(bottom(), other.bottom()) - std::max(top, other.top);
    return w > 0 && h > 0 ? w * h : 0;
}

LabelPlacer::LabelPlacer(PixelRect bounds)
    : bounds_(bounds)
{
}

void LabelPlacer::Block(const LabelRect& rect)
{
    taken_.push_back(rect);
}

double LabelPlacer::Cover(const LabelRect& rect) const
{
    double cover = 0;
    for (const LabelRect& other : taken_)
        cover += rect.Overlap(other);
    return cover;
}

bool LabelPlacer::Inside(const LabelRect& rect) const
{
    return rect.left >= bounds_.left && rect.top >= bounds_.top
        && rect.right() <= bounds_.left + bounds_.width && rect.bottom() <= bounds_.top + bounds_.height;
}

LabelRect LabelPlacer::Place(PixelPoint anchor, double width, double height, double gap, bool centred)
{
    std::vector<LabelRect> candidates;
    if (centred)
        candidates.push_back({ anchor.x - width / 2, anchor.y - height / 2, width, height });
    // Three rings of eight places; the first ring at the gap, the others a label's height further out
    // each, so that a crowded corner still finds room near its point.
    for (int ring = 0; ring < 3; ++ring) {
        const double g = gap + ring * (height + gap);
        const double x = anchor.x, y = anchor.y;
        const LabelRect around[] = {
            { x + g, y - g - height, width, height },         // above right
            { x + g, y + g, width, height },                  // below right
            { x - g - width, y - g - height, width, height }, // above left
            { x - g - width, y + g, width, height },          // below left
            { x - width / 2, y - g - height, width, height }, // above
            { x - width / 2, y + g, width, height },          // below
            { x + g, y - height / 2, width, height },         // right
            { x - g - width, y - height / 2, width, height }, // left
        };
        candidates.insert(candidates.end(), std::begin(around), std::end(around));
    }
    // The first clear candidate inside the bounds; else the inside one covering least; else (a label too
    // large for the bounds) the least covering of all.
    const LabelRect* best = nullptr;
    double best_cover = std::numeric_limits<double>::infinity();
    for (const bool inside_only : { true, false }) {
        for (const LabelRect& candidate : candidates) {
            if (inside_only && !Inside(candidate))
                continue;
            const double cover = Cover(candidate);
            if (cover == 0) {
                taken_.push_back(candidate);
                return candidate;
            }
            if (cover < best_cover) {
                best_cover = cover;
                best = &candidate;
            }
        }
        if (best != nullptr)
            break;
    }
    taken_.push_back(*best);
    return *best;
}

OverlayLabels PlaceOverlayLabels(const ChartOverlay& overlay, const std::optional<ChartPoint>& marker,
    const ChartAxes& axes, double scale, const LabelMeasure& measure)
{
    OverlayLabels labels;
    LabelPlacer placer(axes.plot());
    const auto pixel = [&axes](ChartPoint point) { return axes.ToPixel(point); };
    const auto dot = [](PixelPoint at, double radius) {
        return LabelRect { at.x - radius, at.y - radius, 2 * radius, 2 * radius };
    };
    for (const OverlayPoint& point : overlay.points)
        placer.Block(dot(pixel(point.point), (kPointDotRadius + 1) * scale));
    if (marker)
        placer.Block(dot(pixel(*marker), kMarkerRingRadius * scale));
    const double gap = 3 * scale;
    const auto place = [&](const std::string& text, PixelPoint anchor, LabelKind kind, bool centred) {
        if (text.empty() || !axes.Contains(anchor))
            return LabelRect {};
        const LabelSize size = measure(text, kind);
        return placer.Place(anchor, size.width, size.height, gap, centred);
    };
    for (const OverlayPoint& point : overlay.points)
        labels.points.push_back(place(point.label, pixel(point.point), LabelKind::Point, false));
    for (const OverlayGuide& guide : overlay.guides) {
        labels.guides.push_back(guide.points.empty()
                ? LabelRect {}
                : place(guide.label, pixel(guide.points.back()), LabelKind::Guide, false));
    }
    for (const OverlayArrow& arrow : overlay.arrows) {
        if (arrow.from >= overlay.points.size() || arrow.to >= overlay.points.size()) {
            labels.arrows.push_back({});
            continue;
        }
        const PixelPoint a = pixel(overlay.points[arrow.from].point);
        const PixelPoint b = pixel(overlay.points[arrow.to].point);
        labels.arrows.push_back(
            place(arrow.label, { (a.x + b.x) / 2, (a.y + b.y) / 2 }, LabelKind::Process, true));
    }
    return labels;
}

} // namespace humidora::chart
