// The state points and processes of the "State Points" list as the chart's overlay: a labelled marker per
// point at its own state, an arrow from every entering point of a process to its leaving point.
#pragma once

#include "calc/state_points_list.h"
#include "chart/chart_model.h"

namespace humidora::chart {

/// Points the window refuses are left out, and so are the arrows of processes that are refused now (a
/// point renamed or deleted since).
ChartOverlay PointsOverlay(const StatePointsList& list);

} // namespace humidora::chart
