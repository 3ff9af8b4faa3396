// The chart's geometry as JSON for other tools: the field in the axis units, every line with its label
// and its points in SI units, and the state when there is one.
#pragma once

#include "chart/chart_lines.h"

#include <optional>
#include <string>
#include <vector>

namespace humidora::chart {

/// One JSON object on one line: {"pressure_Pa", "method", "system", "dry_bulb": {"unit", "min", "max"},
/// "humidity_ratio": {...}, "lines": [{"family", "value", "unit", "points": [[T_K, W], ...]}],
/// "state": {"T_K", "W"}} ("state" only when given). Points are written with 17 significant digits, so
/// that a reader gets back the very doubles; the state's dry bulb, held in single precision, is written
/// exactly. The axis ends and labels are written as the chart labels them (-10, not -9.99999999999997).
/// `members`, when given, are further members ("name":value,...) written last.
std::string ChartJson(
    const ChartLines& chart, const std::optional<ChartPoint>& state, const std::string& members = {});

/// The member "region":{"probability":0.95,"points":[[T_K, W], ...]}: the outline of the state's 95 %
/// region of dry bulb and humidity ratio, for `members` above.
std::string RegionJson(const std::vector<ChartPoint>& outline);

} // namespace humidora::chart
