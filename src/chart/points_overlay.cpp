#include "chart/points_overlay.h"

#include "calc/units/number_text.h"

#include <algorithm>
#include <utility>

namespace humidora::chart {
namespace {

/// The unit list (0-based) of each value box's quantity among AmbientInputs::selections: Combo1..Combo16.
std::size_t ListOfBox(int box)
{
    return static_cast<std::size_t>(box - 1);
}

/// True when `point` gives the dry bulb, the same humidity parameter and the same pressure or altitude as
/// `window`, each in the same unit.
bool StatedAlike(const AmbientInputs& point, const AmbientInputs& window)
{
    if (point.humidity_option != window.humidity_option || point.altitude_given != window.altitude_given)
        return false;
    const int humidity_box = BoxOfOption(point.humidity_option);
    const int pressure_box = point.altitude_given ? 10 : 2;
    for (const int box : { 1, humidity_box, pressure_box }) {
        if (box <= 0 || point.selections[ListOfBox(box)] != window.selections[ListOfBox(box)])
            return false;
    }
    return true;
}

} // namespace

ChartOverlay PointsOverlay(
    const StatePointsList& list, const UncertaintySettings* uncertainty, const AmbientInputs* window)
{
    const bool regions = uncertainty != nullptr && window != nullptr && uncertainty->enabled
        && !UncertaintySettingsProblem(*uncertainty);
    std::vector<std::string> results;
    for (const ProcessSpec& setup : list.processes()) {
        results.push_back(setup.result_name);
        if (!setup.exhaust_result_name.empty())
            results.push_back(setup.exhaust_result_name);
    }

    ChartOverlay overlay;
    std::vector<std::string> names;
    for (const StatePoint& point : list.points()) {
        const PointView view = ViewPoint(point.inputs);
        if (!view.ok())
            continue;
        OverlayPoint shown { point.name, { view.state.T_K, view.state.W }, {} };
        if (regions && std::find(results.begin(), results.end(), point.name) == results.end()
            && StatedAlike(point.inputs, *window)) {
            ControlsEvaluator evaluator(view.controls);
            shown.region
                = StateRegion(shown.point, PropagateUncertainty(evaluator, *uncertainty), view.controls);
        }
        overlay.points.push_back(std::move(shown));
        names.push_back(point.name);
    }
    const auto index = [&](const std::string& name) {
        return static_cast<std::size_t>(std::find(names.begin(), names.end(), name) - names.begin());
    };
    for (const ProcessSpec& setup : list.processes()) {
        const std::size_t to = index(setup.result_name);
        if (to == names.size())
            continue;
        const ProcessOutcome outcome = list.Evaluate(setup);
        if (!outcome.refusal.empty())
            continue;
        if (setup.kind == ProcessKind::Supply && outcome.result.apparatus_dew_point_K && !setup.points.empty()
            && index(setup.points.front()) != names.size()) {
            // The room's sensible-heat-ratio line, dashed from the room point through the supply point down
            // to the apparatus dew point on saturation, labelled there with the ratio.
            const double adp_K = *outcome.result.apparatus_dew_point_K;
            if (const auto w_adp = SaturationHumidityRatio(adp_K, outcome.entering.front().conditions)) {
                const std::optional<double>& ratio = outcome.result.loads.sensible_heat_ratio;
                overlay.guides.push_back({ { overlay.points[index(setup.points.front())].point,
                                               overlay.points[to].point, { adp_K, *w_adp } },
                    ratio ? "ADP, SHR " + NumberText(*ratio, 2) : std::string("ADP") });
            }
            continue;
        }
        if (setup.kind == ProcessKind::Recovery && setup.points.size() == 2) {
            // Each stream to its own leaving point.
            const std::size_t exhaust = index(setup.exhaust_result_name);
            if (index(setup.points[0]) != names.size())
                overlay.arrows.push_back({ index(setup.points[0]), to, "recovery" });
            if (index(setup.points[1]) != names.size() && exhaust != names.size())
                overlay.arrows.push_back({ index(setup.points[1]), exhaust, {} });
            continue;
        }
        // One label per process: a mixing's arrows meet at the mixture.
        std::string label(ProcessKindKey(setup.kind));
        for (const std::string& from : setup.points) {
            if (index(from) != names.size())
                overlay.arrows.push_back({ index(from), to, std::exchange(label, {}) });
        }
        // A coil's process line runs on from its leaving state to the apparatus dew point on saturation.
        if (setup.kind == ProcessKind::Coil && outcome.result.apparatus_dew_point_K && outcome.leaving) {
            const double adp_K = *outcome.result.apparatus_dew_point_K;
            if (const auto w_adp = SaturationHumidityRatio(adp_K, outcome.leaving->conditions))
                overlay.guides.push_back({ { overlay.points[to].point, { adp_K, *w_adp } }, "ADP" });
        }
    }
    return overlay;
}

} // namespace humidora::chart
