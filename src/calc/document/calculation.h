// A calculation as the user keeps it: the main window's inputs, the state points with the processes on
// them, and the project's properties. What a calculation file holds, and what "unsaved changes" compares.
#pragma once

#include "calc/ambient/ambient_inputs.h"
#include "calc/ambient/uncertainty.h"
#include "calc/document/chart_data.h"
#include "calc/document/project_properties.h"
#include "calc/points/state_points.h"

#include <utility>
#include <vector>

namespace humidora {

struct Calculation
{
    Calculation() = default;
    /// The calculation of the main window's inputs alone.
    Calculation(AmbientInputs window_inputs)
        : inputs(std::move(window_inputs))
    {
    }

    AmbientInputs inputs;
    std::vector<StatePoint> points;
    std::vector<ProcessSpec> processes;
    ProjectProperties properties;
    /// The measurement uncertainty of the inputs (off in a calculation that never set it).
    UncertaintySettings uncertainty;
    ChartData chart_data; ///< the data file plotted on the chart and its zones

    /// True when there is more than the main window's inputs: points, processes, properties or chart data.
    bool HasMoreThanInputs() const
    {
        return !points.empty() || !processes.empty() || !properties.empty() || !chart_data.empty();
    }
    /// Exactly equal, texts included (SameCalculation is what the user would call the same).
    bool operator==(const Calculation&) const = default;
};

/// True when `a` and `b` bring the main window to the same state. The text of the pressure or the
/// altitude that is not given does not count: the window computes it from the one that is.
bool SameInputs(const AmbientInputs& a, const AmbientInputs& b);

/// True when nothing of `b` would be lost by keeping `a` instead: the same inputs, and the same points,
/// processes, properties and chart data.
bool SameCalculation(const Calculation& a, const Calculation& b);

} // namespace humidora
