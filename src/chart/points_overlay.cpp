#include "chart/points_overlay.h"

#include <algorithm>
#include <utility>

namespace humidora::chart {

ChartOverlay PointsOverlay(const StatePointsList& list)
{
    ChartOverlay overlay;
    std::vector<std::string> names;
    for (const StatePoint& point : list.points()) {
        const PointView view = ViewPoint(point.inputs);
        if (!view.ok())
            continue;
        overlay.points.push_back({ point.name, { view.state.T_K, view.state.W } });
        names.push_back(point.name);
    }
    const auto index = [&](const std::string& name) {
        return static_cast<std::size_t>(std::find(names.begin(), names.end(), name) - names.begin());
    };
    for (const ProcessSpec& setup : list.processes()) {
        const std::size_t to = index(setup.result_name);
        if (to == names.size() || !list.Evaluate(setup).refusal.empty())
            continue;
        // One label per process: a mixing's arrows meet at the mixture.
        std::string label(ProcessKindKey(setup.kind));
        for (const std::string& from : setup.points) {
            if (index(from) != names.size())
                overlay.arrows.push_back({ index(from), to, std::exchange(label, {}) });
        }
    }
    return overlay;
}

} // namespace humidora::chart
