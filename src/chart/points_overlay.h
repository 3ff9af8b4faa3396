// The state points and processes of the "State Points" list as the chart's overlay: a labelled marker per
// point at its own state, an arrow from every entering point of a process to its leaving point, a coil's
// line on to its apparatus dew point, and the 95 % region of each measured point while the calculation's
// measurement uncertainty is on.
#pragma once

#include "calc/ambient/uncertainty.h"
#include "calc/points/state_points_list.h"
#include "chart/chart_model.h"

namespace humidora::chart {

/// Points the window refuses are left out, and so are the arrows of processes that are refused now (a
/// point renamed or deleted since).
///
/// With `uncertainty` on (and usable) and the main window's inputs `window`, a point carries the region
/// of its state when its inputs give the same three quantities in the same units as the window's, so that
/// the accuracies (stated in the window's units) mean the same for it. A process's leaving point is
/// computed, not measured, and carries none.
ChartOverlay PointsOverlay(const StatePointsList& list, const UncertaintySettings* uncertainty = nullptr,
    const AmbientInputs* window = nullptr);

} // namespace humidora::chart
